// Helper program of tst_update_check: shows the real main window in the folder given
// as first argument, then either ends the program at once ("now") or closes the
// window normally ("close"). The test tells the two apart by whether the exit
// clean-up removed "Yes.bat" from that folder.
#include "about/WebEngineSetup.h"
#include "app/frmMain.h"
#include "platform/ProgramEnd.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    about::prepareWebEngine();
    QApplication application(argc, argv);
    platform::installDesktopServices();
    if (argc != 3)
        return 2;
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    const bool now = qstrcmp(argv[2], "now") == 0;

    app::frmMain window;
    window.show();
    QTimer::singleShot(0, &window, [&window, now] {
        if (now) {
            platform::endProgramNow();
            std::puts("endProgramNow returned");
        }
        window.close();
        QCoreApplication::quit();
    });
    const int code = application.exec();
    std::puts("event loop ended");
    return code;
}
