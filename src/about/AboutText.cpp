#include "about/AboutText.h"

namespace about {
namespace AboutText {

QString versionLine(const platform::AppInfo &app)
{
    return QStringLiteral("Version: ") + app.versionText() + QStringLiteral(" Beta");
}

QString companyLine() { return QStringLiteral("Company: Farrowmoss. GUI by pellridge"); }

QString applicationLine(const platform::AppInfo &app)
{
    return QStringLiteral("Application Name: ") + app.title() + QStringLiteral(" Beta");
}

QString credits()
{
    return QStringLiteral("Made by Farrowmoss.\nGUI by pellridge.\n"
                          "Your iPod Touch and iPhone apps, backed up and restored.");
}

QString description()
{
    return QStringLiteral(
        "This application is to backup your iPod's Applications and application data. "
        "After a restore, all of your applications are back without downloading them "
        "again.\nThanks to the designer of our icon!");
}

} // namespace AboutText
} // namespace about
