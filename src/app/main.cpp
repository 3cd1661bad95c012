#include "about/WebEngineSetup.h"
#include "app/ExitCleanup.h"
#include "app/frmMain.h"
#include "platform/LeftOverScripts.h"
#include "platform/Platform.h"
#include "platform/PrivateFiles.h"
#include "platform/TerminationSignals.h"
#include "platform/WorkFolder.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QSessionManager>
#include <QIcon>

int main(int argc, char *argv[])
{
    about::prepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    platform::installDesktopServices();
    // Ties the windows to the menu entry and icon of an installed copy.
    QApplication::setDesktopFileName(QStringLiteral("net.zorvane.Zorvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zorvane")));
    platform::restrictNewFilesToUser();
    // Job scripts, the backup copy and the companion files are found in the
    // working folder, which becomes the current folder: the program's own
    // folder when it is writable, else the user's own folder.
    platform::WorkFolder::enter(platform::Platform::app().folder());
    // A job that ended this program from outside (and started it again) left
    // its script, which holds the device's password: it goes once it has run.
    platform::LeftOverScripts::removeWhenFinished(app::exitCleanupScripts());

    app::frmMain window;
    // Logging out or a termination signal stops a running job safely, unasked.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                     &app::frmMain::endWithoutAsking);
    QObject::connect(&platform::TerminationSignals::instance(),
                     &platform::TerminationSignals::requested, &window,
                     &app::frmMain::endWithoutAsking);
    window.show();
    return application.exec();
}
