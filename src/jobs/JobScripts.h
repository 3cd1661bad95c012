#pragma once
#include "jobs/ConnectionSettings.h"
#include "jobs/JobScript.h"
#include "jobs/ScriptKind.h"

namespace jobs {

// The lines of each device job's script, ready to write.

// The backup ("Yes.bat" when the applications are symlinked, else "No.bat").
// The previous backup is set aside rather than deleted. A new copy that the
// check finds complete replaces it; when a step fails or the copy is
// incomplete, it is put back (and a run that was interrupted has it put back
// when the next backup starts).
JobScript backupScript(bool symlinked, const QString &versionText, const ConnectionSettings &cs);
JobScript restoreScript(const QString &versionText, const ConnectionSettings &cs);
JobScript sshFirstRunScript(const ConnectionSettings &cs);
JobScript relocationScript(bool fonts, const ConnectionSettings &cs);
JobScript dfuScript();

// The "set IP=" and "set PASS=" lines for the settings.
QStringList connectionLines(const ConnectionSettings &cs);

// The note the SSH first-run script leaves in the current folder after its copy
// to the device: "copied" or "failed".
extern const QString kSshCopyNote;

// The folder beside the program that holds the previous backup while a new one
// is fetched, and the mark inside it that says it holds one.
extern const QString kPreviousBackupFolder;
extern const QString kPreviousBackupMark;

} // namespace jobs
