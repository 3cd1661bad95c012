#include "app/UpdateLocation.h"
#include "platform/Platform.h"

namespace app {

const char *const UpdateLocation::kBuiltIn = "https://updates.zorvane.net/zorvane/";

QString UpdateLocation::folder()
{
    QString folder =
        QString::fromLocal8Bit(platform::Platform::environment().variable("ZORVANE_UPDATE_URL"))
            .trimmed();
    if (folder.isEmpty())
        folder = QString::fromLatin1(kBuiltIn);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QUrl UpdateLocation::address(const QString &fileName)
{
    return QUrl((folder() + fileName).trimmed());
}

} // namespace app
