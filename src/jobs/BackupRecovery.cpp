#include "jobs/BackupRecovery.h"
#include "jobs/BackupNames.h"
#include "jobs/JobTable.h"
#include "platform/Platform.h"
#include "platform/RunningScripts.h"

#include <QStringList>

namespace jobs {

namespace {

QString held(const QString &item) { return kPreviousBackupFolder + QLatin1Char('/') + item; }

} // namespace

BackupRecovery::Result BackupRecovery::settle()
{
    platform::FileSystem &files = platform::Platform::files();
    const bool discarded = files.exists(kDiscardedBackupFolder);
    const bool aside = files.exists(kPreviousBackupFolder);
    const bool incoming = files.exists(kIncomingFolder);
    if (!discarded && !aside && !incoming)
        return Result::Nothing;
    if (platform::scriptRunsHere(scriptFiles(Job::Backup)))
        return Result::Running;
    // Copies that a stopped backup had not yet moved into place: never a backup.
    if (incoming && !files.removeTree(kIncomingFolder))
        return Result::Failed;
    if (!discarded && !aside)
        return Result::Settled;
    // Renamed away once the new copy had checked out: no backup any more.
    if (discarded && !files.removeTree(kDiscardedBackupFolder))
        return Result::Failed;
    if (!aside)
        return Result::Settled;
    if (files.exists(kPreviousBackupMark) && !files.exists(kPutBackMark)) {
        // What lies in place is an unchecked copy.
        for (const QString &item : backupItems()) {
            if (files.exists(item) && !files.removeTree(item))
                return Result::Failed;
        }
        if (!files.rename(kPreviousBackupMark, kPutBackMark))
            return Result::Failed;
    }
    for (const QString &item : backupItems()) {
        if (files.exists(held(item)) && !files.rename(held(item), item))
            return Result::Failed;
    }
    if (files.exists(kPutBackMark) && !files.deleteFile(kPutBackMark))
        return Result::Failed;
    return files.removeEmptyFolder(kPreviousBackupFolder) ? Result::Settled : Result::Failed;
}

} // namespace jobs
