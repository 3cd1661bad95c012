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

QStringList terminalCommand()
{
    const QString custom = qEnvironmentVariable("ZORVANE_TERMINAL");
    if (!custom.isEmpty())
        return QProcess::splitCommand(custom);
    for (const char *candidate : {"x-terminal-emulator", "xterm"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(candidate));
        if (!path.isEmpty())
            return {path, QStringLiteral("-e")};
    }
    return {};
}

} // namespace

QStringList QtShell::commandFor(const QString &file, WindowStyle style)
{
    const QString path = QString(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(path);
    QStringList program;
    // The interpreter in the program's folder, the same one the runner uses.
    if (info.suffix().compare(QLatin1String("bat"), Qt::CaseInsensitive) == 0)
        program = {Platform::app().folder() + QStringLiteral("/zcmd"), path};
    else if (info.isExecutable() && info.isFile())
        program = {info.absoluteFilePath()};
    else
        return {};

    if (style == WindowStyle::NormalFocus) {
        const QStringList terminal = terminalCommand();
        if (!terminal.isEmpty())
            return terminal + program;
    }
    return program;
}

bool QtShell::start(const QString &file, WindowStyle style)
{
    const QStringList command = commandFor(file, style);
    if (command.isEmpty()) {
        const QString path = QString(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    }
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
