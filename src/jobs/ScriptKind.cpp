#include "jobs/ScriptKind.h"

namespace jobs {

namespace {

const QString kEndProgram = QStringLiteral("taskkill.exe >NUL /F /IM Zorvane.exe");
const QString kStartProgram = QStringLiteral("start Zorvane.exe");
const QString kExit = QStringLiteral("exit");

QStringList header(const QString &title, const QString &colour, const QString &label)
{
    return {QStringLiteral("@echo off"), title, colour, QStringLiteral("Cls"), label};
}

QStringList restartThen(const QString &completion)
{
    return {kEndProgram, kStartProgram, QStringLiteral("start ") + completion, kExit};
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
                restartThen(QStringLiteral("BackupComplete.exe"))};
    case ScriptKind::BackupNotSymlinked:
        return {QStringLiteral("No.bat"), QStringLiteral("no.bat"),
                header(QStringLiteral("title iPod Touch Files Backup version ") + v
                           + QStringLiteral(" Beta"),
                       QStringLiteral("color 2F"), start),
                restartThen(QStringLiteral("BackupComplete.exe"))};
    case ScriptKind::Restore:
        return {QStringLiteral("PutFilesBack.bat"),
                QStringLiteral("PutFilesBack.bat"),
                header(QStringLiteral("title iPod Touch Put Files Back Version ") + v
                           + QStringLiteral(" Beta"),
                       QStringLiteral("color 1E"), start),
                {kEndProgram, QStringLiteral("start RestoreComplete.exe"), kStartProgram, kExit}};
    case ScriptKind::SshFirstRun:
        return {QStringLiteral("SSH.bat"),
                QString(),
                header(QStringLiteral("title SSHing for the First Time"),
                       QStringLiteral("color 0E"), QStringLiteral(":start")),
                {QStringLiteral("pause"), kExit}};
    case ScriptKind::RelocateApps:
        return {QStringLiteral("apps.bat"), QStringLiteral("apps.bat"),
                header(QStringLiteral("title Relocate (symlink) Applications"),
                       QStringLiteral("color 0E"), start),
                restartThen(QStringLiteral("SymlinkComplete.exe"))};
    case ScriptKind::RelocateFonts:
        return {QStringLiteral("fonts.bat"), QStringLiteral("fonts.bat"),
                header(QStringLiteral("title Relocate (symlink) Applications"),
                       QStringLiteral("Color E0"), start),
                restartThen(QStringLiteral("SymlinkComplete.exe"))};
    case ScriptKind::Dfu:
        return {QStringLiteral("DFU.bat"),
                QStringLiteral("DFU.bat"),
                {QStringLiteral("@echo off")},
                restartThen(QStringLiteral("DFUmode.exe"))};
    case ScriptKind::UpdateLauncher:
        return {QStringLiteral("DeleteOLD.bat"), QString(), {QStringLiteral("@Echo off")}, {kExit}};
    }
    return {};
}

} // namespace jobs
