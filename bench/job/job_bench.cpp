// job_bench: what the program adds to a backup. The simulated device with its
// large media library (>= 2,000 files, >= 100 MB) is backed up three ways per
// round, each into a fresh program folder:
//   program:   the main window's Continue (cmdAgree) with "No, my apps are NOT
//              symlinked": No.bat through the runner, zcmd and the Console;
//   zcmd only: No.bat through the interpreter, its output read through a pipe;
//   shell:     the same pscp and plink lines of No.bat, with the address and
//              password filled in, from a plain /bin/sh script, output piped.
// The copies are compared by content. Each run prints its time and the
// processor time of this process and of the job's processes. The last line
// (medians over the rounds) is
//   job_bench: program=<s> shell=<s> ratio=<program/shell>
// The shell way also times the device's listings that tell which files
// changed while they were copied: the listing before the first copy (hold.sh)
// and the second listing after the last with the fetch of what it copied
// again (changed.sh); each round prints them and their share of the job.
//
//   sudo build/bench/job_bench [ROUNDS] [real-size]   (default 3; real-size:
//   a real device's media library, about 19,000 files and 1 GB)
// Needs root (the device's namespaces). Runs in a process-id namespace of its
// own, so that No.bat's taskkill ends no Zorvane outside it.
#include "BackupWindow.h"
#include "BenchDevice.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/JobScript.h"
#include "jobs/JobScripts.h"
#include "platform/ChildReaper.h"
#include "support/PrivateProcessIds.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QStringList kBackupTrees{QStringLiteral("Applications"), QStringLiteral("mobile"),
                               QStringLiteral("root")};

// No.bat's pscp and plink lines with the address and password filled in.
QStringList deviceLines()
{
    const jobs::ConnectionSettings cs(QString::fromLatin1(SimulatedDevice::address),
                                      QString::fromLatin1(SimulatedDevice::password));
    const jobs::JobScript noBat = jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), false, QStringLiteral("1.0.0"), cs);
    QStringList lines;
    for (QString line : noBat.lines()) {
        if (!line.startsWith(QLatin1String("pscp ")) && !line.startsWith(QLatin1String("plink ")))
            continue;
        line.replace(QLatin1String("%PASS%"), cs.password())
            .replace(QLatin1String("%IP%"), cs.address());
        lines.append(line);
    }
    return lines;
}

// Wall-clock time and processor time of one run: this process's own (the
// window, runner and Console) and that of the job's processes (interpreter,
// pscp, plink; counted once they have ended).
struct Figures {
    double wall = 0;
    double own = 0;
    double job = 0;
};

double cpuSeconds(int who)
{
    rusage r{};
    ::getrusage(who, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec)
           + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

class Stopwatch {
public:
    Stopwatch()
        : m_own(cpuSeconds(RUSAGE_SELF))
        , m_job(cpuSeconds(RUSAGE_CHILDREN))
    {
        m_timer.start();
    }
    Figures read() const
    {
        return {m_timer.nsecsElapsed() / 1e9, cpuSeconds(RUSAGE_SELF) - m_own,
                cpuSeconds(RUSAGE_CHILDREN) - m_job};
    }

private:
    QElapsedTimer m_timer;
    double m_own;
    double m_job;
};

// Runs a command in folder with its output read through a pipe.
bool runPiped(const ProgramFolder &folder, const QString &program, const QStringList &arguments,
              Figures *figures, QString *error, QByteArray *printed = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(bench::environmentFor(folder));
    p.setWorkingDirectory(folder.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    QByteArray output;
    QObject::connect(&p, &QProcess::readyRead, [&p, &output] { output += p.readAll(); });
    const Stopwatch watch;
    p.start(program, arguments);
    if (!p.waitForFinished(1800000) || p.exitStatus() != QProcess::NormalExit) {
        *error = program + QStringLiteral(" did not finish");
        return false;
    }
    *figures = watch.read();
    output += p.readAll();
    if (output.isEmpty())
        *error = program + QStringLiteral(" wrote nothing");
    if (printed)
        *printed = output;
    return output.size() > 0;
}

// The backup through the main window, as the user starts it.
bool programBackup(const ProgramFolder &folder, Figures *figures, QString *error)
{
    QString console;
    {
        bench::BackupWindow window(folder);
        const Stopwatch watch;
        window.clickContinue(); // returns when No.bat's output has ended
        *figures = watch.read();
        // The interpreter is collected by the event loop once it has ended;
        // only then does its processor time count.
        QDeadlineTimer collected(30000);
        while (platform::ChildReaper::instance().pending() > 0 && !collected.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        figures->job = watch.read().job;
        console = window.console();
    }
    if (!console.contains(QStringLiteral("The new backup is complete")))
        *error = QStringLiteral("the program's backup did not complete:\n") + console.right(3000);
    return error->isEmpty();
}

// No.bat through the interpreter alone: no runner, no Console.
bool interpreterBackup(const ProgramFolder &folder, Figures *figures, QString *error)
{
    const jobs::ConnectionSettings cs(QString::fromLatin1(SimulatedDevice::address),
                                      QString::fromLatin1(SimulatedDevice::password));
    QDir::setCurrent(folder.path());
    const bool written = jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), false, QStringLiteral("1.0.0"), cs).write(error);
    QDir::setCurrent(QDir::tempPath());
    return written
           && runPiped(folder, folder.file(QStringLiteral("zcmd")),
                       {QStringLiteral("/c"), QStringLiteral("\"no.bat\"")}, figures, error);
}

// Seconds between the marks "zvmark NAME1 TIME" and "zvmark NAME2 TIME" in output.
double between(const QByteArray &output, const QByteArray &from, const QByteArray &to)
{
    const auto at = [&output](const QByteArray &name) {
        const qsizetype i = output.indexOf("zvmark " + name + ' ');
        return i < 0 ? -1.0 : output.mid(i + name.size() + 8, 24).split('\n').first().toDouble();
    };
    const double a = at(from), b = at(to);
    return a < 0 || b < 0 ? -1.0 : b - a;
}

// The listings' share of the shell way's job, from its last run.
struct Listings {
    double before = -1; // hold.sh: links, pipes and sockets set aside, files listed
    double after = -1;  // changed.sh and the fetch of what it copied again
};
Listings lastListings;

// The same device lines from /bin/sh.
bool shellBackup(const ProgramFolder &folder, Figures *figures, QString *error)
{
    QFile script(folder.file(QStringLiteral("backup.sh")));
    if (!script.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write backup.sh");
        return false;
    }
    // Marks around the listings, for their times.
    QStringList lines;
    const QString mark = QStringLiteral("echo zvmark %1 $(date +%s.%N)");
    for (const QString &line : deviceLines()) {
        const bool hold = line.endsWith(QLatin1String("-m hold.sh"));
        const bool changed = line.endsWith(QLatin1String("-m changed.sh"));
        if (hold || changed)
            lines << mark.arg(hold ? QStringLiteral("hold1") : QStringLiteral("changed1"));
        lines << line;
        if (hold)
            lines << mark.arg(QStringLiteral("hold2"));
        if (line.contains(QLatin1String("zorvane-changed/Refetched")))
            lines << mark.arg(QStringLiteral("changed2"));
    }
    script.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    script.close();
    QByteArray output;
    const bool ok = runPiped(folder, QStringLiteral("/bin/sh"), {QStringLiteral("backup.sh")},
                             figures, error, &output);
    lastListings = {between(output, "hold1", "hold2"), between(output, "changed1", "changed2")};
    return ok;
}

// A record's entries, sorted; its comments (the time it was written) left out.
QByteArrayList sortedLines(const QString &path)
{
    QFile f(path);
    QByteArrayList lines;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (!line.startsWith('#'))
                lines.append(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Differences between two backup copies (empty when they hold the same). The
// owners and modes records list the same entries in the order the device's
// folders list them, which may change.
QString differences(const ProgramFolder &a, const ProgramFolder &b)
{
    const QStringList skipped{QStringLiteral("Library/Lockdown"),
                              QStringLiteral("Library/Zorvane")};
    for (const QString &tree : kBackupTrees) {
        const QStringList d =
            TreeSnapshot::read(a.file(tree), skipped)
                .differences(TreeSnapshot::read(b.file(tree), skipped), TreeSnapshot::Content);
        if (!d.isEmpty())
            return QStringLiteral("the copies of %1 differ:\n%2")
                .arg(tree, d.join(QLatin1Char('\n')));
    }
    const QString record = QStringLiteral("root/Library/Zorvane/owners-modes.txt");
    if (sortedLines(a.file(record)) != sortedLines(b.file(record)))
        return QStringLiteral("the owners and modes records differ");
    return QString();
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = int(values.size());
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

enum Way { Program, Interpreter, Shell };
const char *const kWayNames[] = {"program", "zcmd only", "shell"};

} // namespace

int main(int argc, char **argv)
{
    PrivateProcessIds::enter();
    const bench::WindowProcess process(ZORVANE_BIN_DIR);
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;

    bench::BenchDevice bench("job_bench");
    SimulatedDevice::Options options;
    options.big = true;
    options.realSize = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("real-size");
    if (const int failed = bench.start(options, bench::BenchDevice::ProcessIds::Own))
        return failed;
    qint64 files = 0;
    qint64 bytes = 0;
    bench.totals(&files, &bytes);
    std::printf("device: %lld entries, %.1f MB to back up; %d round(s)\n", files, bytes / 1e6,
                rounds);

    QList<double> wall[3];
    QString error;
    for (int round = 0; round < rounds && error.isEmpty(); ++round) {
        std::unique_ptr<ProgramFolder> folders[3];
        for (int way = 0; way < 3 && error.isEmpty(); ++way) {
            folders[way] = std::make_unique<ProgramFolder>();
            bench.prepare(*folders[way], &error);
        }
        // Each round starts with another way, so that none always goes first.
        for (int i = 0; i < 3 && error.isEmpty(); ++i) {
            const int way = (round + i) % 3;
            // The previous run's writes reach the disk now, not during this run.
            ::sync();
            Figures f;
            const bool ok = way == Program       ? programBackup(*folders[way], &f, &error)
                            : way == Interpreter ? interpreterBackup(*folders[way], &f, &error)
                                                 : shellBackup(*folders[way], &f, &error);
            if (!ok)
                break;
            wall[way].append(f.wall);
            std::printf(
                "round %d %-10s %7.2f s   CPU: this process %5.2f s, the job's processes %6.2f s\n",
                round + 1, kWayNames[way], f.wall, f.own, f.job);
            if (way == Shell)
                std::printf("round %d listings: before the copy (hold.sh) %.2f s, after it "
                            "(changed.sh and its fetch) %.2f s, %.1f %% of the shell job\n",
                            round + 1, lastListings.before, lastListings.after,
                            100 * (lastListings.before + lastListings.after) / f.wall);
            std::fflush(stdout);
        }
        if (error.isEmpty())
            error = differences(*folders[Program], *folders[Shell]);
        if (error.isEmpty())
            error = differences(*folders[Interpreter], *folders[Shell]);
    }
    bench.stop();
    if (!error.isEmpty())
        return bench.fail(error);

    const double program = median(wall[Program]);
    const double shell = median(wall[Shell]);
    std::printf("medians: program %.2f s, zcmd only %.2f s, shell %.2f s\n", program,
                median(wall[Interpreter]), shell);
    std::printf("job_bench: program=%.2f shell=%.2f ratio=%.3f\n", program, shell, program / shell);
    return 0;
}
