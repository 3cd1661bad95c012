// Prints the rates of one large file (a long video) put on the simulated
// device with the restore's pscp line and fetched back with the backup's.
#include "JobWorkspace.h"
#include "SimulatedDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    if (megabytes <= 0) {
        std::fprintf(stderr, "usage: bench_transfer [MEGABYTES]\n");
        return 2;
    }
    QString why;
    if (!SimulatedDevice::canRun(&why)) {
        std::fprintf(stderr, "bench_transfer: %s\n", qPrintable(why));
        return 77;
    }
    if (qEnvironmentVariableIsEmpty("ZORVANE_BIN_DIR"))
        qputenv("ZORVANE_BIN_DIR", ZORVANE_BIN_DIR);

    SimulatedDevice device;
    if (!device.start()) {
        std::fprintf(stderr, "bench_transfer: %s\n", qPrintable(device.lastError()));
        return 1;
    }
    JobWorkspace ws(device);
    if (!ws.isValid()) {
        std::fprintf(stderr, "bench_transfer: %s\n", qPrintable(ws.error()));
        return 1;
    }
    // Random content, as a video's, so nothing on the way can shrink it.
    const QString up = ws.folder() + QStringLiteral("/mobile");
    QDir().mkpath(up);
    QFile file(up + QStringLiteral("/video.m4v"));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 i = 0; i < megabytes; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                              block.size() / 4);
        if (file.write(block) != block.size())
            return 1;
    }
    file.close();
    const double mb = megabytes * 1048576.0 / 1e6;
    const int timeoutMs = 3600 * 1000;
    const QString pass = QString::fromLatin1(SimulatedDevice::password);
    const QString ip = QString::fromLatin1(SimulatedDevice::address);

    QElapsedTimer timer;
    timer.start();
    SimulatedDevice::Result r = device.run(
        {QStringLiteral("pscp"), QStringLiteral("-r"), QStringLiteral("-pw"), pass,
         QStringLiteral("mobile"), QStringLiteral("root@%1:/var").arg(ip)},
        ws.folder(), ws.environment(), timeoutMs);
    double s = timer.elapsed() / 1000.0;
    const QFileInfo there(device.hostPath(QStringLiteral("/var/mobile/video.m4v")));
    if (!r.finished || r.exitCode != 0 || there.size() != file.size()) {
        std::fprintf(stderr, "upload failed: %s\n", r.output.constData());
        return 1;
    }
    std::printf("%-40s %8.1f MB %8.2f s %7.1f MB/s\n", "pscp -r mobile root@IP:/var", mb, s, mb / s);

    const QString back = ws.folder() + QStringLiteral("/back");
    QDir().mkpath(back);
    timer.restart();
    r = device.run({QStringLiteral("pscp"), QStringLiteral("-r"), QStringLiteral("-pw"), pass,
                    QStringLiteral("root@%1:/var/mobile/video.m4v").arg(ip), QStringLiteral(".")},
                   back, ws.environment(), timeoutMs);
    s = timer.elapsed() / 1000.0;
    if (!r.finished || r.exitCode != 0
        || QFileInfo(back + QStringLiteral("/video.m4v")).size() != file.size()) {
        std::fprintf(stderr, "download failed: %s\n", r.output.constData());
        return 1;
    }
    std::printf("%-40s %8.1f MB %8.2f s %7.1f MB/s\n", "pscp -r root@IP:/var/mobile/... .", mb, s, mb / s);
    device.stop();
    return 0;
}
