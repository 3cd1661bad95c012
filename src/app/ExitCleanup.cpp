#include "app/ExitCleanup.h"
#include "platform/Platform.h"

namespace app {

bool FileExists(const QString &name)
{
    if (name.isEmpty() || name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/')))
        return false;
    return platform::Platform::files().findOrdinaryFile(name);
}

const QStringList &exitCleanupScripts()
{
    static const QStringList names{QStringLiteral("Yes.bat"),   QStringLiteral("PutFilesBack.bat"),
                                   QStringLiteral("No.bat"),    QStringLiteral("apps.bat"),
                                   QStringLiteral("fonts.bat"), QStringLiteral("library.bat"),
                                   QStringLiteral("media.bat"), QStringLiteral("DFU.bat"),
                                   QStringLiteral("SSH.bat")};
    return names;
}

QStringList runExitCleanup()
{
    QStringList deleted;
    for (const QString &name : exitCleanupScripts()) {
        if (FileExists(name) && platform::Platform::files().deleteFile(name))
            deleted.append(name);
    }
    return deleted;
}

} // namespace app
