#include "platform/PuttyHostKeyFile.h"

#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    const passwd *pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? QString::fromLocal8Bit(pw->pw_dir) : QString();
}

QString puttyFolder()
{
    if (qEnvironmentVariableIsSet("PUTTYDIR"))
        return qEnvironmentVariable("PUTTYDIR");
    const QString home = homeFolder();
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString xdg = (configHome.isEmpty() ? home + QStringLiteral("/.config") : configHome)
                        + QStringLiteral("/putty");
    // The newer folder only when it is there; otherwise the traditional one,
    // which the tools create on first use.
    if (QFileInfo::exists(xdg))
        return xdg;
    return home + QStringLiteral("/.putty");
}

} // namespace

QString puttyHostKeyFile()
{
    const QString file = qEnvironmentVariable("PUTTYSSHHOSTKEYS");
    if (!file.isEmpty())
        return file;
    return puttyFolder() + QStringLiteral("/sshhostkeys");
}

} // namespace platform
