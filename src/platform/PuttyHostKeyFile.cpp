#include "platform/PuttyHostKeyFile.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QStringList>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

std::optional<QString> variable(const char *name)
{
    const Environment &environment = Platform::environment();
    if (!environment.isSet(name))
        return std::nullopt;
    return QString::fromLocal8Bit(environment.variable(name));
}

// The account's own home as the passwd database gives it; empty when none.
QString accountHome()
{
    const passwd *pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? QString::fromLocal8Bit(pw->pw_dir) : QString();
}

// The configuration home's "putty" folder when it exists; else the first of
// $HOME/.putty, the account's ~/.putty and /.putty that exists; else the
// first of those, which the tools would create. HOME counts when it is set at
// all, even empty; the account's home stands in for it only when it is unset.
QString puttyFolder(const PuttyLookup &l)
{
    if (l.puttyDir)
        return *l.puttyDir;
    const QString xdg = l.configHome.isEmpty()
                            ? l.home.value_or(l.accountHome) + QStringLiteral("/.config/putty")
                            : l.configHome + QStringLiteral("/putty");
    if (l.exists(xdg))
        return xdg;
    QStringList traditional;
    if (l.home)
        traditional << *l.home + QStringLiteral("/.putty");
    if (!l.accountHome.isEmpty())
        traditional << l.accountHome + QStringLiteral("/.putty");
    traditional << QStringLiteral("/.putty");
    for (const QString &folder : traditional) {
        if (l.exists(folder))
            return folder;
    }
    return traditional.first();
}

} // namespace

QString puttyHostKeyFile(const PuttyLookup &lookup)
{
    if (lookup.hostKeysFile)
        return *lookup.hostKeysFile;
    return puttyFolder(lookup) + QStringLiteral("/sshhostkeys");
}

QString puttyHostKeyFile()
{
    PuttyLookup lookup;
    lookup.hostKeysFile = variable("PUTTYSSHHOSTKEYS");
    lookup.puttyDir = variable("PUTTYDIR");
    lookup.home = variable("HOME");
    lookup.configHome = variable("XDG_CONFIG_HOME").value_or(QString());
    lookup.accountHome = accountHome();
    lookup.exists = [](const QString &path) { return QFileInfo::exists(path); };
    return puttyHostKeyFile(lookup);
}

} // namespace platform
