// progress_bench: a backup of a device of real size over a Wi-Fi-like link.
// The simulated device with its real-size media library (about 19,000 files,
// 1 GB, most of them small) behind a link shaped with tc's tbf is backed up
//   program: the main window's Continue with "No, my apps are NOT symlinked"
//            (No.bat through the runner, zcmd, the Console and the progress);
//   shell:   No.bat's pscp and plink lines from a plain /bin/sh script, each
//            line timed, followed by BackupCheck in the copy it made.
// Prints the times and their ratio, the device's listing time (move.sh),
// BackupCheck's time, the processor time of this process (the main window)
// during the program's run, and the error of the progress line's time
// estimate at 25, 50 and 75 % of the job against the time that was really left.
//
//   sudo build/bench/progress_bench [RATE [program]]   (default 20mbit; about 20 minutes;
//                                    "program": the program's backup alone, with a trace)
// Needs root (the device's namespaces). Runs in a process-id namespace of its
// own, so that No.bat's taskkill ends no Zorvane outside it.
#include "BackupWindow.h"
#include "BenchDevice.h"
#include "SimulatedDevice.h"
#include "app/JobProgressView.h"
#include "app/frmMain.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/JobScript.h"
#include "jobs/JobScripts.h"
#include "support/PrivateProcessIds.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec)
           + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// No.bat's pscp and plink lines, filled in, each followed by a time stamp.
QString timedShellScript()
{
    const jobs::ConnectionSettings cs(QString::fromLatin1(SimulatedDevice::address),
                                      QString::fromLatin1(SimulatedDevice::password));
    QString script = QStringLiteral("stamp() { echo \"@@ $(date +%s.%N) $1\"; }\nstamp start\n");
    int n = 0;
    const jobs::JobScript noBat = jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), false, QStringLiteral("1.0.0"), cs);
    for (QString line : noBat.lines()) {
        if (!line.startsWith(QLatin1String("pscp ")) && !line.startsWith(QLatin1String("plink ")))
            continue;
        line.replace(QLatin1String("%PASS%"), cs.password())
            .replace(QLatin1String("%IP%"), cs.address());
        script += line + QStringLiteral("\nstamp %1\n").arg(++n);
    }
    return script;
}

struct ShellRun {
    double wall = 0;
    double listing = 0; // the plink line that runs move.sh
    double check = 0;   // BackupCheck in the copy
};

bool shellBackup(const ProgramFolder &folder, ShellRun *run, QString *error)
{
    QFile script(folder.file(QStringLiteral("backup.sh")));
    if (!script.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write backup.sh");
        return false;
    }
    script.write(timedShellScript().toUtf8());
    script.close();
    QProcess p;
    p.setProcessEnvironment(bench::environmentFor(folder));
    p.setWorkingDirectory(folder.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    QByteArray output;
    QObject::connect(&p, &QProcess::readyRead, [&p, &output] { output += p.readAll(); });
    QElapsedTimer wall;
    wall.start();
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("backup.sh")});
    if (!p.waitForFinished(7200000)) {
        *error = QStringLiteral("the shell's backup did not finish");
        return false;
    }
    run->wall = wall.nsecsElapsed() / 1e9;
    output += p.readAll();
    // The stamps around the line that runs move.sh.
    QMap<QString, double> stamps;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (f.size() == 3 && f[0] == "@@")
            stamps[QString::fromLatin1(f[2])] = f[1].toDouble();
    }
    int moveLine = 0;
    int n = 0;
    for (const QString &line : timedShellScript().split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("pscp ")) || line.startsWith(QLatin1String("plink ")))
            ++n;
        if (line.startsWith(QLatin1String("plink ")) && line.endsWith(QLatin1String("move.sh")))
            moveLine = n;
    }
    run->listing =
        stamps.value(QString::number(moveLine)) - stamps.value(QString::number(moveLine - 1));
    QProcess check;
    check.setProcessEnvironment(bench::environmentFor(folder));
    check.setWorkingDirectory(folder.path());
    wall.restart();
    check.start(folder.file(QStringLiteral("BackupCheck")), {});
    check.waitForFinished(600000);
    run->check = wall.nsecsElapsed() / 1e9;
    if (check.exitCode() != 0)
        *error = QStringLiteral("BackupCheck found the shell's copy incomplete: ")
                 + QString::fromLocal8Bit(check.readAll());
    return error->isEmpty();
}

struct Sample {
    double t;
    int percent;
    qint64 secondsLeft; // -1: estimating
    qint64 files;
    qint64 bytes;
};

struct ProgramRun {
    double wall = 0;
    double cpu = 0;
    double copyEnded = 0; // when the copies had ended (the check began)
    QList<Sample> samples;
    QString lastLine;
};

bool programBackup(const ProgramFolder &folder, ProgramRun *run, QString *error)
{
    {
        bench::BackupWindow backup(folder);
        app::frmMain &window = backup.window();
        const app::JobProgressView *view = window.findChild<app::JobProgressView *>();
        QElapsedTimer wall;
        // What the user would read, four times a second.
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            const jobs::JobProgress *p = view ? view->progress() : nullptr;
            if (!p)
                return;
            const jobs::JobProgress::Figures f = p->figures();
            const double t = wall.nsecsElapsed() / 1e9;
            // The check may take less than a sample's time: a stage past it counts.
            using Stage = jobs::JobProgress::Stage;
            if ((f.stage == Stage::Checking || f.stage == Stage::Passed
                 || f.stage == Stage::Failed)
                && run->copyEnded == 0)
                run->copyEnded = t;
            if (f.totalsKnown)
                run->samples.append({t, f.percent, f.secondsLeft.value_or(-1), f.files, f.bytes});
        });
        sampler.start(250);
        const double cpu = cpuSeconds();
        wall.start();
        backup.clickContinue(); // returns when No.bat has ended
        run->wall = wall.nsecsElapsed() / 1e9;
        run->cpu = cpuSeconds() - cpu;
        sampler.stop();
        run->lastLine = window.findChild<QLabel *>("lblBackupProgress")->text();
        const QString console = backup.console();
        if (!console.contains(QStringLiteral("The new backup is complete")))
            *error =
                QStringLiteral("the program's backup did not complete:\n") + console.right(3000);
    }
    return error->isEmpty();
}

// The estimate shown when the job first reached a percentage, against the
// time that was really left until the copies ended, with its goal from 50 %
// on; the error in percent, or nothing when there was no estimate.
std::optional<double> printEstimateError(const ProgramRun &run, int percent)
{
    const char *goal = percent >= 50 ? " (goal: within 25 %)" : "";
    for (const Sample &s : run.samples) {
        if (s.percent < percent)
            continue;
        const double left = run.copyEnded - s.t;
        if (s.secondsLeft < 0) {
            std::printf("estimate at %2d %%: still estimating (%.0f s were left)%s\n", percent,
                        left, goal);
            return std::nullopt;
        }
        const double error = 100.0 * (double(s.secondsLeft) - left) / left;
        std::printf("estimate at %2d %%: %lld s, really %.0f s left: error %+.1f %%%s\n", percent,
                    s.secondsLeft, left, error, goal);
        return error;
    }
    std::printf("estimate at %2d %%: never reached%s\n", percent, goal);
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    PrivateProcessIds::enter();
    const bench::WindowProcess process(ZORVANE_BIN_DIR);
    QApplication application(argc, argv);
    const QString rate = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("20mbit");

    bench::BenchDevice bench("progress_bench");
    SimulatedDevice::Options options;
    options.realSize = true;
    options.linkRate = rate;
    if (const int failed = bench.start(options, bench::BenchDevice::ProcessIds::Own))
        return failed;
    qint64 files = 0;
    qint64 bytes = 0;
    bench.totals(&files, &bytes);
    std::printf("device: %lld entries, %.1f MB to back up, link %s\n", files, bytes / 1e6,
                qPrintable(rate));
    std::fflush(stdout);

    ProgramFolder programFolder;
    ProgramFolder shellFolder;
    QString error;
    for (const ProgramFolder *f : {&programFolder, &shellFolder})
        if (error.isEmpty())
            bench.prepare(*f, &error);
    ShellRun shell;
    ProgramRun program;
    // "program" as the second argument leaves out the shell's backup.
    const bool programOnly = argc > 2 && QByteArray(argv[2]) == "program";
    const bool shellMeasured =
        error.isEmpty() && !programOnly && shellBackup(shellFolder, &shell, &error);
    if (shellMeasured) {
        std::printf("shell:   %7.1f s (device listing %.2f s, BackupCheck %.2f s)\n", shell.wall,
                    shell.listing, shell.check);
        std::fflush(stdout);
    }
    if (error.isEmpty() && programBackup(programFolder, &program, &error))
        std::printf("program: %7.1f s, main window CPU %.2f s; last line: %s\n", program.wall,
                    program.cpu, qPrintable(program.lastLine));
    bench.stop();
    if (!error.isEmpty())
        return bench.fail(error);
    if (shellMeasured)
        std::printf("ratio:   %.3f, the program's time over the shell's (goal: at most 1.05)\n",
                    program.wall / shell.wall);
    QString errors;
    for (int percent : {25, 50, 75}) {
        const std::optional<double> e = printEstimateError(program, percent);
        errors += e ? QStringLiteral(" estimate_error_%1=%2").arg(percent).arg(*e, 0, 'f', 1)
                    : QStringLiteral(" estimate_error_%1=none").arg(percent);
    }
    // How the copy went, every tenth: where an estimate goes wrong, the rate
    // of files and bytes around it tells why.
    int next = 10;
    for (const Sample &sample : program.samples) {
        if (sample.percent < next)
            continue;
        std::printf("trace: %5.0f s %3d %% %6lld files %8.1f MB, estimate %lld s, really %.0f s\n",
                    sample.t, sample.percent, sample.files, sample.bytes / 1e6,
                    sample.secondsLeft, program.copyEnded - sample.t);
        next = sample.percent / 10 * 10 + 10;
    }
    // The summary holds only what was measured: the shell's figures are left
    // out when only the program ran.
    QString summary = QStringLiteral("progress_bench: program=%1").arg(program.wall, 0, 'f', 1);
    if (shellMeasured)
        summary += QStringLiteral(" shell=%1 ratio=%2 (goal <=1.05) listing=%3 check=%4")
                       .arg(shell.wall, 0, 'f', 1)
                       .arg(program.wall / shell.wall, 0, 'f', 3)
                       .arg(shell.listing, 0, 'f', 2)
                       .arg(shell.check, 0, 'f', 2);
    summary += QStringLiteral(" window_cpu=%1").arg(program.cpu, 0, 'f', 2) + errors
               + QStringLiteral(" (goal: |error| <=25 from 50 % on)");
    std::printf("%s\n", qPrintable(summary));
    return 0;
}
