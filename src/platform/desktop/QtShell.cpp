#include "platform/desktop/QtShell.h"
#include "platform/Platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

// The terminal command to put before a program, when a terminal program is
// there: ZORVANE_TERMINAL (whose program must be found), else the system's
// terminal emulator or xterm.
QStringList terminalCommand()
{
    const QString custom =
        QString::fromLocal8Bit(Platform::environment().variable("ZORVANE_TERMINAL"));
    if (!custom.isEmpty()) {
        const QStringList command = QProcess::splitCommand(custom);
        if (command.isEmpty() || QStandardPaths::findExecutable(command.first()).isEmpty())
            return {};
        return command;
    }
    for (const char *candidate : {"x-terminal-emulator", "xterm"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(candidate));
        if (!path.isEmpty())
            return {path, QStringLiteral("-e")};
    }
    return {};
}

QString localPath(const QString &file)
{
    return QString(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// The program line that runs the file: a script under the interpreter in the
// program's folder (the same one the runner uses), a program by itself; empty
// for documents.
QStringList programFor(const QString &file)
{
    const QString path = localPath(file);
    const QFileInfo info(path);
    if (info.suffix().compare(QLatin1String("bat"), Qt::CaseInsensitive) == 0)
        return {Platform::app().folder() + QStringLiteral("/zcmd"), path};
    if (info.isExecutable() && info.isFile())
        return {info.absoluteFilePath()};
    return {};
}

} // namespace

bool QtShell::canShowConsoleWindow() const { return !terminalCommand().isEmpty(); }

QStringList QtShell::commandFor(const QString &file, WindowStyle style)
{
    const QStringList program = programFor(file);
    if (program.isEmpty() || style == WindowStyle::Hidden)
        return program;
    const QStringList terminal = terminalCommand();
    return terminal.isEmpty() ? QStringList() : terminal + program;
}

bool QtShell::openFolder(const QString &folder)
{
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(localPath(folder)).absoluteFilePath()));
}

bool QtShell::start(const QString &file, WindowStyle style)
{
    if (programFor(file).isEmpty())
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(QFileInfo(localPath(file)).absoluteFilePath()));
    const QStringList command = commandFor(file, style);
    // What the user must see is never run unseen.
    if (command.isEmpty())
        return false;
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.mid(1));
    process.setWorkingDirectory(QDir::currentPath());
    process.setStandardInputFile(QProcess::nullDevice());
    if (style == WindowStyle::Hidden) {
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    return process.startDetached();
}

} // namespace platform
