// Prints how long the framed panel takes to repaint itself: every property
// change repaints the whole control, one pen-and-line per gradient line.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bench/bench_xpframe
#include "draw/XPFrame.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

using draw::XPFrame;

namespace {

void measure(const char *what, XPFrame &frame, int rounds)
{
    frame.Redraw(); // warm up: surface and font caches
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        frame.Redraw();
    const double ms = double(timer.nsecsElapsed()) / 1e6 / rounds;
    std::printf("%-44s %8.3f ms per redraw\n", what, ms);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    platform::installDesktopServices();
    XPFrame frame;
    measure("235 x 180, start values (180 + 25 lines)", frame, 500);
    frame.setBackAngle(45);
    frame.setHeaderAngle(20);
    measure("235 x 180, body 45, header 20 degrees", frame, 500);
    frame.resize(1600, 1200);
    frame.setBackAngle(180);
    frame.setHeaderAngle(180);
    measure("1600 x 1200, start angles", frame, 50);
    frame.setBackAngle(45);
    measure("1600 x 1200, body 45 degrees (2799 lines)", frame, 50);
    frame.setHeaderHeight(4000000);
    measure("1600 x 1200, header 4 000 000 pixels high", frame, 3);
    return 0;
}
