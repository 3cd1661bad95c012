#include "platform/RunningScripts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace platform {

bool scriptRunsHere(const QStringList &scriptNames)
{
    const QString here = QFileInfo(QDir::currentPath()).canonicalFilePath();
    const QString self = QString::number(::getpid());
    const QStringList pids =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).canonicalFilePath();
        if (cwd.isEmpty() || cwd != here)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        // Arguments are separated by NUL; a quoted script name keeps its quotes.
        for (QByteArray argument : cmdline.readAll().split('\0')) {
            const QString word =
                QString::fromLocal8Bit(argument).remove(QLatin1Char('"')).trimmed();
            for (const QString &script : scriptNames) {
                if (word.compare(script, Qt::CaseInsensitive) == 0)
                    return true;
            }
        }
    }
    return false;
}

} // namespace platform
