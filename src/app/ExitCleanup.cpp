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

const QStringList &exitCleanupScripts()
{
    static const QStringList names = [] {
        // Each script by its place in the order; the job table gives the jobs'.
        QList<std::pair<int, QString>> placed;
        for (const jobs::JobDescription &job : jobs::jobTable()) {
            for (const jobs::JobScriptChoice &script : job.scripts) {
                if (script.exitCleanupOrder > 0)
                    placed.append({script.exitCleanupOrder, script.fileName});
            }
        }
        // Scripts no job of this program writes, removed when found.
        placed.append({6, QStringLiteral("library.bat")});
        placed.append({7, QStringLiteral("media.bat")});
        std::stable_sort(placed.begin(), placed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        QStringList list;
        for (const auto &[order, name] : placed) {
            if (!list.contains(name))
                list.append(name);
        }
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
