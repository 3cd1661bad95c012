#include "about/WebEngineSetup.h"
#include "app/frmMain.h"
#include "platform/PrivateFiles.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    about::prepareWebEngine();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    platform::installDesktopServices();
    // Job scripts, the backup copy and every companion file live beside the
    // program: work from its folder whatever folder it was started from.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    platform::restrictNewFilesToUser();

    app::frmMain window;
    window.show();
    return application.exec();
}
