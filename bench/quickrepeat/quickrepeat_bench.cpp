// quickrepeat_bench: what history and repeated backups cost on a device of
// real size. The simulated device with its real-size media library (about
// 20,000 files, 1 GB) behind a link shaped with tc's tbf (20 Mbit/s) is
// backed up six times into one program folder through the main window
// (Backup pane, the agreement, "No, my apps are NOT symlinked", Continue),
// as a user repeats a backup:
//   1. a full backup;
//   2. a repeat with nothing changed on the device;
//   3. a repeat after 50 MB changed in 20 files, 100 files deleted and 100 added;
//   4-6. repeats after about 5 % of the files changed each time: after the
//      fifth backup five are kept, the sixth rotates the oldest out.
// Every repeat ticks "Copy only what changed since the last backup"
// (chkQuickRepeat) where the build has it; without it each repeat is a full
// backup, and the bench says so. Each backup must end complete (its verdict
// from the job's notes) and each repeat's copy must hold what the device
// holds, or the bench fails: a figure of a failed backup says nothing.
// Prints each time beside its goal, the space the five kept backups take by
// inode against one backup, and the time KeepGeneration takes to rotate the
// oldest out; and for each backup the time each program of the job ran
// (pscp, plink, BackupCheck, ...) and what is left, the interpreter's own
// steps (moving and deleting folders). The last line is
//   quickrepeat_bench: quick=<yes|no> full=<s> unchanged=<s> changed=<s>
//                      space=<kept/one> rotate=<s>
//
//   sudo build/bench/quickrepeat_bench [small] [RATE]   (default 20mbit;
//   small: the device with its large media library, 2,400 photos and 137 MB,
//   for trying the bench out; RATE "none": an unshaped link)
// Needs root (the device's namespaces). Runs in a process-id namespace of its
// own, so that No.bat's taskkill ends no Zorvane outside it.
#include "BackupWindow.h"
#include "BenchDevice.h"
#include "DiskSpace.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"
#include "app/frmMain.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "support/PrivateProcessIds.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QThread>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char *const kBench = "quickrepeat_bench";
constexpr uint kMobile = 501; // the device's user "mobile", owner of its data

// How long each program of the job runs: every 3 ms, on a thread of its own
// (the window's event loop is busy with the job's output), the processes
// working in the folder or below it are noted with the first and the last
// moment each was seen. The interpreter and this program, there all along,
// are left out.
class JobTimeline {
public:
    explicit JobTimeline(const QString &folder)
        : m_folder(QFileInfo(folder).canonicalFilePath().toLocal8Bit())
        , m_self(read("/proc/self/comm"))
        , m_thread([this] { watch(); })
    {}
    ~JobTimeline() { stop(); }
    JobTimeline(const JobTimeline &) = delete;
    JobTimeline &operator=(const JobTimeline &) = delete;

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // Seconds the processes of that name ran, all together; -1 when none
    // was seen. Only once stopped.
    double seconds(const QByteArray &name) const
    {
        double total = -1;
        for (const Seen &s : m_seen)
            if (s.name == name)
                total =
                    std::max(0.0, total) + std::chrono::duration<double>(s.last - s.first).count();
        return total;
    }
    // The names seen, in the order they first ran.
    QList<QByteArray> names() const
    {
        QList<QByteArray> list;
        for (const Seen &s : m_seen)
            if (!list.contains(s.name))
                list << s.name;
        return list;
    }

private:
    struct Seen {
        QByteArray name;
        std::chrono::steady_clock::time_point first, last;
    };

    static QByteArray read(const QByteArray &path)
    {
        QFile f(QString::fromLocal8Bit(path));
        return f.open(QIODevice::ReadOnly) ? f.read(64).trimmed() : QByteArray();
    }
    void look()
    {
        DIR *proc = ::opendir("/proc");
        if (!proc)
            return;
        const auto now = std::chrono::steady_clock::now();
        while (const dirent *e = ::readdir(proc)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9')
                continue;
            const QByteArray dir = QByteArray("/proc/") + e->d_name;
            char cwd[4096];
            const ssize_t n = ::readlink((dir + "/cwd").constData(), cwd, sizeof cwd);
            const QByteArray at(cwd, n > 0 ? int(n) : 0);
            if (at != m_folder && !at.startsWith(m_folder + '/'))
                continue;
            const int pid = atoi(e->d_name);
            const auto known = m_seen.find(pid);
            if (known != m_seen.end()) {
                known->last = now;
                continue;
            }
            const QByteArray name = read(dir + "/comm");
            if (!name.isEmpty() && name != "zcmd" && name != m_self)
                m_seen.insert(pid, {name, now, now});
        }
        ::closedir(proc);
    }
    void watch()
    {
        while (!m_stop) {
            look();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }

    const QByteArray m_folder;
    const QByteArray m_self;
    std::atomic<bool> m_stop{false};
    QMap<int, Seen> m_seen; // written by the thread, read once it has ended
    std::thread m_thread;
};

struct Backup {
    double wall = 0;
    bool quick = false;         // chkQuickRepeat was ticked
    double keepGeneration = -1; // KeepGeneration's run; -1: it did not run
    QString steps;              // each program's time, "pscp 412.0 s, ..."
    QString title;              // the completion's title
};

// One backup through the main window. A repeat ticks the quick-repeat box
// where the build has one; a first backup leaves it unticked.
bool backup(const ProgramFolder &folder, bool repeat, Backup *b, QString *error)
{
    bench::BackupWindow window(folder);
    auto *quick = window.window().findChild<QCheckBox *>(QStringLiteral("chkQuickRepeat"));
    if (quick && quick->isChecked() != repeat)
        quick->click();
    if (quick && quick->isChecked() != repeat) {
        *error = QStringLiteral("\"Copy only what changed since the last backup\" could not be %1")
                     .arg(repeat ? QStringLiteral("ticked") : QStringLiteral("unticked"));
        return false;
    }
    b->quick = quick && repeat;
    static bool told = false;
    if (repeat && !quick && !told)
        std::printf("quick repeat: not available in this build\n");
    told = told || (repeat && !quick);
    QElapsedTimer wall;
    JobTimeline timeline(folder.path());
    wall.start();
    window.clickContinue(); // returns when No.bat's output has ended
    b->wall = wall.nsecsElapsed() / 1e9;
    timeline.stop();
    b->keepGeneration = timeline.seconds("KeepGeneration");
    double programs = 0;
    for (const QByteArray &name : timeline.names()) {
        programs += timeline.seconds(name);
        b->steps += QStringLiteral("%1 %2 s, ")
                        .arg(QString::fromLatin1(name))
                        .arg(timeline.seconds(name), 0, 'f', 1);
    }
    b->steps +=
        QStringLiteral("the interpreter's own steps %1 s").arg(b->wall - programs, 0, 'f', 1);
    // The verdict the completion window gives, from the job's notes and transcript.
    const jobs::JobOutcome outcome = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Backup);
    b->title = outcome.title;
    if (!outcome.succeeded)
        *error = QStringLiteral("the backup did not complete: %1\n%2\n\nThe Console's end:\n%3")
                     .arg(outcome.title, outcome.text, window.console().right(3000));
    return error->isEmpty();
}

// The backup's trees against the device's, by content: empty when the copy
// holds what the device holds. The pairing records stay out of a backup, and
// the backup's own lists lie in root/Library/Zorvane.
QString differencesFromDevice(SimulatedDevice &device, const ProgramFolder &folder)
{
    const QString lockdown = QStringLiteral("Library/Lockdown");
    const QString lists = QStringLiteral("Library/Zorvane");
    const struct {
        const char *local;
        QStringList localExcluded;
        const char *device;
        QStringList deviceExcluded;
    } trees[] = {{"Applications", {}, "/Applications", {}},
                 {"mobile", {}, "/var/mobile", {lockdown}},
                 {"root", {lists}, "/var/root", {lockdown, lists}}};
    for (const auto &t : trees) {
        const QString local = QLatin1String(t.local);
        const QString onDevice = QLatin1String(t.device);
        const QStringList d =
            TreeSnapshot::read(folder.file(local), t.localExcluded)
                .differences(TreeSnapshot::read(device.hostPath(onDevice), t.deviceExcluded),
                             TreeSnapshot::Content);
        if (!d.isEmpty())
            return QStringLiteral("the backup's %1 is not the device's %2:\n%3")
                .arg(local, onDevice, d.join(QLatin1Char('\n')));
    }
    return QString();
}

// Changes the device's files as its owner does between two backups, through
// the host's view of its /var/mobile. New contents are pseudo-random from a
// fixed seed, so every run makes the same changes.
class DeviceChanges {
public:
    explicit DeviceChanges(const QString &mobile)
        : m_mobile(mobile)
        , m_random(20261210)
    {}

    struct Made {
        int files = 0;
        qint64 bytes = 0;
    };

    // The 20 largest files get 2.5 MB of new content each (50 MB).
    bool rewriteLargest(Made *made, QString *error)
    {
        QList<QPair<qint64, QString>> bySize;
        for (const QString &f : files())
            bySize.append({QFileInfo(f).size(), f});
        std::sort(bySize.begin(), bySize.end(), std::greater<>());
        for (int i = 0; i < std::min<int>(20, bySize.size()); ++i)
            if (!rewrite(bySize[i].second, 2500000, made, error))
                return false;
        return true;
    }
    // Removes `count` media files spread over the library; adds `count`
    // photos of 100 kB in a new folder, the device user's own.
    bool removeAndAdd(int count, Made *removed, Made *added, QString *error)
    {
        QStringList media;
        for (const QString &f : files())
            if (f.startsWith(m_mobile + QStringLiteral("/Media/")))
                media << f;
        for (int i = 0; i < count && !media.isEmpty(); ++i) {
            const QString f = media.takeAt(int(qint64(i) * media.size() / count));
            removed->bytes += QFileInfo(f).size();
            if (!QFile::remove(f)) {
                *error = QStringLiteral("cannot remove %1").arg(f);
                return false;
            }
            ++removed->files;
        }
        const QString folder = m_mobile + QStringLiteral("/Media/DCIM/199APPLE");
        if (!QDir().mkpath(folder) || !own(folder)) {
            *error = QStringLiteral("cannot make %1").arg(folder);
            return false;
        }
        for (int i = 1; i <= count; ++i) {
            const QString f =
                folder + QStringLiteral("/IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'));
            if (!rewrite(f, 100000, added, error) || !own(f)) {
                *error = QStringLiteral("cannot add %1").arg(f);
                return false;
            }
        }
        return true;
    }
    // Gives `percent` of the files, drawn at random, new content of their size.
    bool rewriteShare(double percent, Made *made, QString *error)
    {
        QStringList all = files();
        const int n = int(all.size() * percent / 100);
        for (int i = 0; i < n; ++i) {
            const QString f = all.takeAt(int(m_random.bounded(quint32(all.size()))));
            if (!rewrite(f, QFileInfo(f).size(), made, error))
                return false;
        }
        return true;
    }

private:
    // The regular files of /var/mobile but its pairing records, sorted.
    QStringList files() const
    {
        QStringList list;
        QDirIterator it(m_mobile, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        const QString lockdown = m_mobile + QStringLiteral("/Library/Lockdown/");
        while (it.hasNext()) {
            const QString f = it.next();
            struct stat st {};
            if (!f.startsWith(lockdown) && ::lstat(QFile::encodeName(f).constData(), &st) == 0
                && S_ISREG(st.st_mode))
                list << f;
        }
        list.sort();
        return list;
    }
    static bool own(const QString &path)
    {
        return ::chown(QFile::encodeName(path).constData(), kMobile, kMobile) == 0;
    }
    // New content in place: the file keeps its owner and mode.
    bool rewrite(const QString &path, qint64 size, Made *made, QString *error)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        QByteArray piece(64 * 1024, Qt::Uninitialized);
        for (qint64 left = size; left > 0; left -= piece.size()) {
            m_random.fillRange(reinterpret_cast<quint32 *>(piece.data()), piece.size() / 4);
            if (f.write(piece.constData(), std::min<qint64>(left, piece.size())) < 0) {
                *error = QStringLiteral("cannot write %1").arg(path);
                return false;
            }
        }
        ++made->files;
        made->bytes += size;
        return true;
    }

    QString m_mobile;
    QRandomGenerator m_random;
};

// The generations kept in the folder, by name, oldest first.
QStringList generationsIn(const ProgramFolder &folder)
{
    return QDir(folder.file(jobs::Generations::kFolder))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

double percentOf(double part, double whole) { return 100.0 * part / whole; }

} // namespace

int main(int argc, char **argv)
{
    PrivateProcessIds::enter();
    const bench::WindowProcess process(ZORVANE_BIN_DIR);
    QApplication application(argc, argv);
    QStringList args = application.arguments().mid(1);
    const bool small = args.removeAll(QStringLiteral("small")) > 0;
    const QString rate = args.value(0, QStringLiteral("20mbit"));

    bench::BenchDevice bench(kBench);
    SimulatedDevice::Options options;
    options.big = small;
    options.realSize = !small;
    if (rate != QLatin1String("none"))
        options.linkRate = rate;
    if (const int failed = bench.start(options, bench::BenchDevice::ProcessIds::Own))
        return failed;
    qint64 entries = 0, bytes = 0;
    bench.totals(&entries, &bytes);
    std::printf("device: %lld entries, %.1f MB to back up, link %s\n", entries, bytes / 1e6,
                options.linkRate.isEmpty() ? "unshaped" : qPrintable(rate));
    std::fflush(stdout);

    ProgramFolder folder;
    QString error;
    if (!bench.prepare(folder, &error))
        return bench.fail(error);
    SimulatedDevice &device = bench.device();
    DeviceChanges changes(device.hostPath(QStringLiteral("/var/mobile")));

    // Runs backup `n`, says how it went, and checks a repeat's copy against the device.
    const auto run = [&](int n, const char *what, Backup *b) {
        if (!backup(folder, n > 1, b, &error)) {
            error = QStringLiteral("backup %1 (%2): %3").arg(n).arg(QLatin1String(what), error);
            return false;
        }
        std::printf("backup %d, %s: %s, %.1f s, \"%s\"\n  programs: %s\n", n, what,
                    b->quick ? "quick repeat" : "full", b->wall, qPrintable(b->title),
                    qPrintable(b->steps));
        std::fflush(stdout);
        if (n > 1)
            error = differencesFromDevice(device, folder);
        if (!error.isEmpty())
            error = QStringLiteral("backup %1 (%2): %3").arg(n).arg(QLatin1String(what), error);
        return error.isEmpty();
    };
    const auto share = [](const Backup &b, const Backup &full, double goal) {
        std::printf(
            "  %.1f %% of the full backup's time (goal for a quick repeat: at most %.0f %%)\n",
            percentOf(b.wall, full.wall), goal);
    };

    // A file changed within two seconds of a listing counts as changed at the
    // next one; the device's tree, made as it started, must be older than
    // that, as a real device's files are, or every repeat fetches it all.
    const auto newest = device.shell(QStringLiteral(
        "find /Applications/ /var/mobile/ /var/root/ -exec stat -c %Z {} + | sort -n | tail -n 1"));
    const qint64 made = newest.output.trimmed().toLongLong();
    while (QDateTime::currentSecsSinceEpoch() <= made + 3)
        QThread::msleep(200);

    // 1. The full backup.
    Backup full;
    if (!run(1, "the first", &full))
        return bench.fail(error);
    const qint64 one = bench::spaceByInode({folder.file(QStringLiteral("Applications")),
                                            folder.file(QStringLiteral("mobile")),
                                            folder.file(QStringLiteral("root"))});
    std::printf("  one backup takes %.1f MB on disk\n", one / 1e6);

    // 2. Nothing changed.
    Backup unchanged;
    if (!run(2, "nothing changed", &unchanged))
        return bench.fail(error);
    share(unchanged, full, 5);

    // 3. 50 MB changed in 20 files, 100 files deleted and 100 added.
    DeviceChanges::Made rewritten, removed, added;
    if (!changes.rewriteLargest(&rewritten, &error)
        || !changes.removeAndAdd(100, &removed, &added, &error))
        return bench.fail(error);
    std::printf("changed on the device: %d files rewritten (%.1f MB), %d removed (%.1f MB), "
                "%d added (%.1f MB)\n",
                rewritten.files, rewritten.bytes / 1e6, removed.files, removed.bytes / 1e6,
                added.files, added.bytes / 1e6);
    Backup changed;
    if (!run(3, "50 MB changed", &changed))
        return bench.fail(error);
    share(changed, full, 15);

    // 4 to 6: about 5 % of the files changed each time; the sixth backup
    // finds five kept and rotates the oldest out.
    Backup later[3];
    QStringList before;
    for (int i = 0; i < 3; ++i) {
        DeviceChanges::Made share5;
        if (!changes.rewriteShare(5, &share5, &error))
            return bench.fail(error);
        std::printf("changed on the device: %d files rewritten (%.1f MB, %.1f %% of the bytes)\n",
                    share5.files, share5.bytes / 1e6, percentOf(share5.bytes, bytes));
        before = generationsIn(folder);
        if (!run(4 + i, "5 % changed", &later[i]))
            return bench.fail(error);
        std::printf("  KeepGeneration: %.2f s, %lld generation(s) kept besides the backup in "
                    "place\n",
                    later[i].keepGeneration, static_cast<long long>(generationsIn(folder).size()));
    }
    const QStringList after = generationsIn(folder);
    if (before.isEmpty() || after.contains(before.first())
        || after.size() != jobs::Generations::kDefaultKeep - 1)
        return bench.fail(QStringLiteral("the sixth backup did not rotate the oldest out: before "
                                         "it %1, after it %2")
                              .arg(before.join(QLatin1Char(' ')), after.join(QLatin1Char(' '))));
    const qint64 all = bench::spaceByInode(
        {folder.file(QStringLiteral("Applications")), folder.file(QStringLiteral("mobile")),
         folder.file(QStringLiteral("root")), folder.file(jobs::Generations::kFolder)});
    const double rotate = later[2].keepGeneration;
    bench.stop();

    std::printf("\nfull backup:         %7.1f s\n", full.wall);
    std::printf(
        "nothing changed:     %7.1f s  %5.1f %% of the full backup (goal: at most 5 %%)%s\n",
        unchanged.wall, percentOf(unchanged.wall, full.wall),
        unchanged.quick ? "" : "  [a full backup: no quick repeat in this build]");
    std::printf(
        "50 MB changed:       %7.1f s  %5.1f %% of the full backup (goal: at most 15 %%)%s\n",
        changed.wall, percentOf(changed.wall, full.wall),
        changed.quick ? "" : "  [a full backup: no quick repeat in this build]");
    std::printf(
        "5 backups kept:      %7.1f MB %5.2f times one backup (%.1f MB) (goal: at most 1.3)\n",
        all / 1e6, double(all) / double(one), one / 1e6);
    std::printf(
        "rotating the oldest: %7.2f s  KeepGeneration in the sixth backup (goal: under 10 s)\n",
        rotate);
    std::printf("%s: quick=%s full=%.1f unchanged=%.1f changed=%.1f space=%.3f rotate=%.2f\n",
                kBench, unchanged.quick ? "yes" : "no", full.wall, unchanged.wall, changed.wall,
                double(all) / double(one), rotate);
    return 0;
}
