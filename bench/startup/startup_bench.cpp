// Measures the program's start: the application object, the main window with
// its load steps (welcome alert, Console banner, caption, panes), and the first
// painting of the window. Run offscreen: QT_QPA_PLATFORM=offscreen startup_bench
#include "about/WebEngineSetup.h"
#include "app/frmMain.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    about::prepareWebEngine();
    QApplication application(argc, argv);
    platform::installDesktopServices();
    const double appMs = double(clock.nsecsElapsed()) / 1e6;

    auto *window = new app::frmMain;
    const double loadMs = double(clock.nsecsElapsed()) / 1e6;
    window->show();
    QApplication::processEvents();
    const QPixmap painted = window->grab();
    const double shownMs = double(clock.nsecsElapsed()) / 1e6;

    std::printf("startup_bench: application_ms=%.1f loaded_ms=%.1f painted_ms=%.1f window=%dx%d\n",
                appMs, loadMs, shownMs, painted.width(), painted.height());
    delete window;
    return 0;
}
