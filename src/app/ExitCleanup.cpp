#include "app/ExitCleanup.h"
#include "jobs/JobTable.h"
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
    static const QStringList names = [] {
        QStringList list;
        for (const jobs::JobDescription &job : jobs::jobTable()) {
            if (!job.removedAtExit)
                continue;
            for (const jobs::JobScriptChoice &script : job.scripts) {
                const QString name = jobs::scriptForm(script.kind, QString()).fileName;
                if (!list.contains(name))
                    list.append(name);
            }
        }
        // Scripts no job of this program writes, removed when found.
        list << QStringLiteral("library.bat") << QStringLiteral("media.bat");
        return list;
    }();
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
