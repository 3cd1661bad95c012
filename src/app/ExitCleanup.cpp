#include "app/ExitCleanup.h"
#include "jobs/JobTable.h"
#include "platform/Platform.h"

#include <algorithm>
#include <utility>

namespace app {

bool FileExists(const QString &name)
{
    if (name.isEmpty() || name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/')))
        return false;
    return platform::Platform::files().findOrdinaryFile(name);
}

const QStringList &exitCleanupScripts() { return jobs::scriptsRemovedAtExit(); }

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
