#pragma once

namespace jobs {

// Settles what a backup stopped part-way (the program, its interpreter or the
// machine stopped) left beside the program, as the backup script itself
// would at its start, so that the newest complete backup is in place again:
// a replaced backup still being deleted goes; a backup still set aside in
// PreviousBackup is put back, the unchecked copy in its place deleted first
// while the holding folder is marked "saved". Every step is a rename, or a
// deletion of what is no backup any more, so a stop during this settling
// leaves a state it settles again. Nothing is touched while a backup script
// runs in the folder.
class BackupRecovery {
public:
    enum class Result {
        Nothing, // nothing was left to settle
        Settled, // the folder holds a settled backup (or none) again
        Running, // a backup runs in this folder now: left alone
        Failed,  // something could not be moved; PreviousBackup still holds it
    };

    static Result settle();
};

} // namespace jobs
