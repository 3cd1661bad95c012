#include "app/UpdateLauncher.h"
#include "platform/Platform.h"
#include "platform/ProgramEnd.h"

namespace app {

jobs::JobScript UpdateLauncher::script()
{
    // Started hidden, it starts the installer and ends; no job writes it.
    jobs::JobScript launcher(QStringLiteral("DeleteOLD.bat"));
    launcher.line(QStringLiteral("@Echo off"))
        .line(QStringLiteral("start Zorvane.msi"))
        .line(QStringLiteral("exit"));
    return launcher;
}

bool UpdateLauncher::run(QString *error)
{
    const jobs::JobScript launcher = script();
    if (!launcher.write(error))
        return false;
    if (!platform::Platform::shell().start(launcher.fileName(), platform::WindowStyle::Hidden)) {
        // Ending now would leave the user with neither program nor installer.
        *error = QStringLiteral("The downloaded installer could not be started (\"%1\" did not "
                                "run). Zorvane.msi is in Zorvane's working folder \"%2\"; open "
                                "it to install the new version.")
                     .arg(launcher.fileName(), platform::Platform::app().workFolder());
        return false;
    }
    platform::endProgramNow();
    return true;
}

} // namespace app
