// generations_bench: the cost of keeping older backups as generations. A
// backup of real size (20,000 files, 1 GB, as a media library: a few large
// files, many small ones) is made in a scratch folder with its lists, as a
// passing check leaves it. Then, round after round, the backup is set aside
// and a new one arrives as a backup's copies do, whole new files, with
// PERCENT of its files changed; KeepGeneration's work is timed. The space all
// generations take is counted by inode (a file shared by links counts once)
// against one backup's size, and the last rounds time the removal of the
// oldest generation. The last line is
//   generations_bench: keep=<s> rotate=<s> space=<all generations / one backup>
//
//   build/bench/generations_bench [ROUNDS] [PERCENT-CHANGED]   (default 6, 5)
#include "DiskSpace.h"
#include "jobs/BackupHashes.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "jobs/Generations.h"
#include "jobs/PlacedGeneration.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kFiles = 20000;
constexpr qint64 kLarge = 40 * 1000 * 1000; // twenty videos and songs
constexpr int kLargeFiles = 20;
constexpr qint64 kSmall = (1000LL * 1000 * 1000 - kLarge * kLargeFiles) / (kFiles - kLargeFiles);

QString pathOf(int i)
{
    return QStringLiteral("mobile/Media/DCIM/%1/IMG_%2.JPG").arg(100 + i / 1000).arg(i, 5, 10, QLatin1Char('0'));
}

qint64 sizeOf(int i)
{
    return i < kLargeFiles ? kLarge : kSmall;
}

bool writeBackup(int round, const QSet<int> &changed, const QHash<int, int> &versions)
{
    QList<QByteArray> lines;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = pathOf(i);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        QByteArray piece(64 * 1024, char('a' + (versions.value(i) + i) % 26));
        for (qint64 left = sizeOf(i); left > 0; left -= piece.size())
            f.write(piece.constData(), std::min<qint64>(left, piece.size()));
        lines << QByteArray::number(sizeOf(i)) + ' ' + path.toUtf8();
    }
    Q_UNUSED(round);
    Q_UNUSED(changed);
    QDir().mkpath(QStringLiteral("root/Library/Zorvane"));
    QDir().mkpath(QStringLiteral("Applications"));
    QFile sizes(jobs::BackupVerifier::kSizesRecord);
    if (!sizes.open(QIODevice::WriteOnly))
        return false;
    sizes.write("# Zorvane file sizes 1\n");
    for (const QByteArray &l : lines)
        sizes.write(l + '\n');
    sizes.write("# end " + QByteArray::number(lines.size()) + '\n');
    sizes.close();
    QStringList unreadable;
    QString error;
    if (jobs::BackupHashes::record(&unreadable, &error))
        return true;
    std::fprintf(stderr, "generations_bench: no list of contents: %s %s\n", qPrintable(error),
                 qPrintable(unreadable.join(QLatin1Char(' ')).left(200)));
    return false;
}

bool setAside()
{
    platform::FileSystem &files = platform::Platform::files();
    bool moved = QDir().mkdir(jobs::kPreviousBackupFolder);
    for (const QString &t : jobs::backupTrees())
        moved = moved && files.rename(t, jobs::kPreviousBackupFolder + QLatin1Char('/') + t);
    // As the script writes it (zcmd reads "\\" as a folder separator).
    QFile mark(QString(jobs::kPreviousBackupMark).replace(QLatin1Char('\\'), QLatin1Char('/')));
    return moved && mark.open(QIODevice::WriteOnly) && mark.write("saved\n") > 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 6;
    const double percent = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 5.0;
    QTemporaryDir scratch(QDir::currentPath() + QStringLiteral("/generations-bench-XXXXXX"));
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path()))
        return 1;
    QHash<int, int> versions;
    if (!writeBackup(0, {}, versions))
        return 1;
    const qint64 one = bench::spaceByInode(
        {QStringLiteral("mobile"), QStringLiteral("root"), QStringLiteral("Applications")});
    std::printf("backup: %d files, %.1f MB on disk; %.1f %% of its files change each round\n",
                kFiles, one / 1e6, percent);
    QElapsedTimer clock;
    double keepTotal = 0, rotate = -1;
    for (int round = 1; round < rounds; ++round) {
        QSet<int> changed;
        while (changed.size() < int(kFiles * percent / 100))
            changed.insert(int(QRandomGenerator::global()->bounded(kFiles)));
        for (int i : changed)
            ++versions[i];
        if (!setAside() || !writeBackup(round, changed, versions)) {
            std::fprintf(stderr, "generations_bench: round %d: the backup could not be made\n", round);
            return 1;
        }
        clock.start();
        const jobs::Generations::Kept kept = jobs::Generations::keepPrevious(jobs::Generations::kDefaultKeep);
        const double s = clock.nsecsElapsed() / 1e9;
        if (kept.outcome != jobs::Generations::Kept::Outcome::Kept) {
            std::fprintf(stderr, "generations_bench: round %d: not kept (%s)\n", round,
                         qPrintable(kept.why));
            return 1;
        }
        if (kept.removed.isEmpty())
            keepTotal += s;
        else
            rotate = s;
        std::printf("round %d: kept %s in %.2f s, %lld files linked, %zd removed\n", round,
                    qPrintable(kept.folder), s, static_cast<long long>(kept.linked),
                    static_cast<size_t>(kept.removed.size()));
    }
    const qint64 all =
        bench::spaceByInode({QStringLiteral("mobile"), QStringLiteral("root"),
                             QStringLiteral("Applications"), jobs::Generations::kFolder});
    const int kept = int(jobs::Generations::list().size()) + 1;
    std::printf("%d backups kept take %.1f MB: %.2f times one backup (goal: at most 1.3 for 5)\n",
                kept, all / 1e6, double(all) / double(one));
    // The oldest kept put in place for a restore, and the newest put back.
    const QString oldest = jobs::Generations::list().first().folder;
    QString why;
    clock.start();
    if (!jobs::PlacedGeneration::place(oldest, &why)) {
        std::fprintf(stderr, "generations_bench: not put in place (%s)\n", qPrintable(why));
        return 1;
    }
    const double place = clock.nsecsElapsed() / 1e9;
    const qint64 placedSpace = bench::spaceByInode({QStringLiteral("mobile"), QStringLiteral("root"),
                                      QStringLiteral("Applications"), jobs::Generations::kFolder});
    QStringList lines;
    clock.start();
    if (!jobs::PlacedGeneration::putBack(&lines)) {
        std::fprintf(stderr, "generations_bench: not put back\n");
        return 1;
    }
    const double back = clock.nsecsElapsed() / 1e9;
    std::printf("the oldest put in place in %.2f s (%.1f MB more on disk), the newest back in "
                "%.2f s\n",
                place, (placedSpace - all) / 1e6, back);
    std::printf("generations_bench: keep=%.2f rotate=%.2f space=%.3f\n",
                keepTotal / std::max(1, std::min(rounds - 1, jobs::Generations::kDefaultKeep - 1)),
                rotate, double(all) / double(one));
    return 0;
}
