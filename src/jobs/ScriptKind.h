#pragma once
#include <QString>
#include <QStringList>

namespace jobs {

// The job scripts the program writes, with what they share: header lines and
// the closing lines that end the program, restart it and report the job's end.
enum class ScriptKind {
    BackupSymlinked,
    BackupNotSymlinked,
    Restore,
    SshFirstRun,
    ApplicationsRelocation,
    FontsRelocation,
    Dfu,
    UpdateLauncher
};

struct ScriptForm {
    QString fileName;      // the file written beside the program
    QString runnerCommand; // what the command runner is given (empty: shell start)
    QStringList header;    // "@echo off", title, colour, "Cls", start label
    QStringList closing;   // the lines after the job's own lines
};

ScriptForm scriptForm(ScriptKind kind, const QString &versionText);

} // namespace jobs
