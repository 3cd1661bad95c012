#pragma once
#include "jobs/ConnectionSettings.h"
#include "jobs/JobScript.h"
#include "jobs/JobTable.h"

namespace jobs {

// The lines of each device job's script, ready to write, from header to
// closing; the file name and the closing come from the job's table entry,
// which each is given.

// The backup ("Yes.bat" when the applications are symlinked, else "No.bat").
// The previous backup is set aside rather than deleted. A new copy that the
// check finds complete replaces it; when a step fails or the copy is
// incomplete, it is put back (and a run that was interrupted has it put back
// when the next backup starts). `deviceRecord` (see DeviceIdentity) is written
// beside a backup that checked out, to say which device it came from.
JobScript backupScript(const JobDescription &job, bool symlinked, const QString &versionText,
                       const ConnectionSettings &cs, const QString &deviceRecord = QString());
JobScript restoreScript(const JobDescription &job, const QString &versionText,
                        const ConnectionSettings &cs);
JobScript sshFirstRunScript(const JobDescription &job, const ConnectionSettings &cs);
JobScript relocationScript(const JobDescription &job, bool fonts, const ConnectionSettings &cs);
JobScript dfuScript(const JobDescription &job);

// The "set IP=" and "set PASS=" lines for the settings.
QStringList connectionLines(const ConnectionSettings &cs);

// The note the SSH first-run script leaves in the current folder after its copy
// to the device: "copied" or "failed".
extern const QString kSshCopyNote;

// The file the restore sends to the device's root folder with the run's token,
// which the device-side check repeats on its verdict line; and a new token.
extern const QString kRestoreRunFile;
QString restoreRunToken();

} // namespace jobs
