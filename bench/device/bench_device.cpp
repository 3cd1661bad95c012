// Prints how long the job scripts' steps take against the simulated device
// with its large media library (>= 2,000 files, >= 100 MB): fetching and
// putting back /var/mobile with pscp, recording owners and modes (move.sh),
// putting them back (other.sh's chown1) and relocating the applications.
#include "JobWorkspace.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <functional>

namespace {

bool step(const char *what, const std::function<SimulatedDevice::Result()> &run,
          double megabytes = 0)
{
    QElapsedTimer timer;
    timer.start();
    const SimulatedDevice::Result r = run();
    const double seconds = timer.elapsed() / 1000.0;
    if (!r.finished || r.exitCode != 0) {
        std::fprintf(stderr, "%s failed: %s\n", what, r.output.constData());
        return false;
    }
    if (megabytes > 0)
        std::printf("%-44s %8.2f s  %7.1f MB/s\n", what, seconds, megabytes / seconds);
    else
        std::printf("%-44s %8.2f s\n", what, seconds);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString why;
    if (!SimulatedDevice::canRun(&why)) {
        std::fprintf(stderr, "bench_device: %s\n", qPrintable(why));
        return 77;
    }
    if (qEnvironmentVariableIsEmpty("ZORVANE_BIN_DIR"))
        qputenv("ZORVANE_BIN_DIR", ZORVANE_BIN_DIR);

    SimulatedDevice device;
    SimulatedDevice::Options options;
    options.big = true;
    QElapsedTimer timer;
    timer.start();
    if (!device.start(options)) {
        std::fprintf(stderr, "bench_device: %s\n", qPrintable(device.lastError()));
        return 1;
    }
    std::printf("%-44s %8.2f s\n", "start device with the large library", timer.elapsed() / 1000.0);
    const TreeSnapshot mobile =
        TreeSnapshot::read(device.treePath() + QStringLiteral("/var/mobile"));
    const double mb = mobile.totalBytes() / 1e6;
    std::printf("/var/mobile: %d entries, %.1f MB\n", mobile.size(), mb);

    JobWorkspace ws(device);
    bool ok = ws.isValid();
    for (const char *f : {"cp", "chown", "chown1", "plink.exe", "move.sh"})
        ok = ok && ws.pscpTo(QLatin1String(f), QStringLiteral("/")).exitCode == 0;
    ok = ok && step("move.sh (record owners and modes)", [&] {
             return ws.plink(QStringLiteral("move.sh"));
         });
    ok = ok
         && step(
             "pscp -r root@IP:/var/mobile .",
             [&] { return ws.pscpFrom(QStringLiteral("/var/mobile")); }, mb);
    ok = ok
         && step(
             "pscp -r mobile root@IP:/var",
             [&] { return ws.pscpTo(QStringLiteral("mobile"), QStringLiteral("/var")); }, mb);
    QFile apply(ws.folder() + QStringLiteral("/apply.sh"));
    ok =
        ok && apply.open(QIODevice::WriteOnly)
        && apply.write("sh /chown1 /var/root/Library/Zorvane/owners-modes.txt mobile /var/mobile\n")
               > 0;
    apply.close();
    ok = ok && step("chown1 (put owners and modes back)", [&] {
             return ws.plink(QStringLiteral("apply.sh"));
         });
    ok = ok && ws.pscpTo(QStringLiteral("apps.sh"), QStringLiteral("/")).exitCode == 0;
    ok = ok && step("apps.sh (copy, verify, link)", [&] {
             return ws.plink(QStringLiteral("apps.sh"));
         });
    device.stop();
    return ok ? 0 : 1;
}
