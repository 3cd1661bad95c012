#include "jobs/ScriptKind.h"
#include "jobs/JobTable.h"

namespace jobs {

namespace {

const QString kEndProgram = QStringLiteral("taskkill.exe >NUL /F /IM Zorvane.exe");
const QString kStartProgram = QStringLiteral("start Zorvane.exe");
const QString kExit = QStringLiteral("exit");

QStringList header(const QString &title, const QString &colour, const QString &label)
{
    return {QStringLiteral("@echo off"), title, colour, QStringLiteral("Cls"), label};
}

// "start" of the completion program that reports the end of the job writing
// the script.
QString startCompletion(ScriptKind kind)
{
    const JobDescription *job = jobWriting(kind);
    if (!job || !job->completion)
        qFatal("No completion program reports the end of script %d", static_cast<int>(kind));
    return QStringLiteral("start ") + JobOutcome::completionProgram(*job->completion)
           + QStringLiteral(".exe");
}

QStringList restartThen(ScriptKind kind)
{
    return {kEndProgram, kStartProgram, startCompletion(kind), kExit};
}

} // namespace

ScriptForm scriptForm(ScriptKind kind, const QString &v)
{
    const QString start = QStringLiteral(": start");
    switch (kind) {
    case ScriptKind::BackupSymlinked:
        return {QStringLiteral("Yes.bat"), QStringLiteral("Yes.bat"),
                header(QStringLiteral("title iPod Touch Files Backup version: ") + v
                           + QStringLiteral(" Beta"),
                       QStringLiteral("Color F2"), start),
                restartThen(kind)};
    case ScriptKind::BackupNotSymlinked:
        return {QStringLiteral("No.bat"), QStringLiteral("no.bat"),
                header(QStringLiteral("title iPod Touch Files Backup version ") + v
                           + QStringLiteral(" Beta"),
                       QStringLiteral("color 2F"), start),
                restartThen(kind)};
    case ScriptKind::Restore:
        return {QStringLiteral("PutFilesBack.bat"),
                QStringLiteral("PutFilesBack.bat"),
                header(QStringLiteral("title iPod Touch Put Files Back Version ") + v
                           + QStringLiteral(" Beta"),
                       QStringLiteral("color 1E"), start),
                {kEndProgram, startCompletion(kind), kStartProgram, kExit}};
    case ScriptKind::SshFirstRun:
        return {QStringLiteral("SSH.bat"),
                QString(),
                header(QStringLiteral("title SSHing for the First Time"),
                       QStringLiteral("color 0E"), QStringLiteral(":start")),
                {QStringLiteral("pause"), kExit}};
    case ScriptKind::ApplicationsRelocation:
        return {QStringLiteral("apps.bat"), QStringLiteral("apps.bat"),
                header(QStringLiteral("title Relocate (symlink) Applications"),
                       QStringLiteral("color 0E"), start),
                restartThen(kind)};
    case ScriptKind::FontsRelocation:
        return {QStringLiteral("fonts.bat"), QStringLiteral("fonts.bat"),
                header(QStringLiteral("title Relocate (symlink) Applications"),
                       QStringLiteral("Color E0"), start),
                restartThen(kind)};
    case ScriptKind::Dfu:
        return {QStringLiteral("DFU.bat"),
                QStringLiteral("DFU.bat"),
                {QStringLiteral("@echo off")},
                restartThen(kind)};
    case ScriptKind::UpdateLauncher:
        return {QStringLiteral("DeleteOLD.bat"), QString(), {QStringLiteral("@Echo off")}, {kExit}};
    }
    return {};
}

} // namespace jobs
