// restorecheck_bench: the cost of checking a backup by content. The simulated
// device with its real-size media library (about 19,000 files, 1 GB) is backed
// up by No.bat's pscp and plink lines from a plain /bin/sh script; then, in
// that copy, timed one after the other:
//   record:  BackupCheck as the backup runs it (the check of the sizes and
//            the SHA-256 of every file, written to the list of contents);
//   check:   BackupCheck restore, the restore's check before it sends anything;
//   sends:   the restore's copies of Applications, mobile and root to the
//            device (PutFilesBack.bat's pscp lines, from a plain shell).
// The files were just written, so they are read from the page cache, as they
// are right after a backup. The last line is
//   restorecheck_bench: record=<s> check=<s> sends=<s> check_share=<check/(check+sends)>
//
//   sudo build/bench/restorecheck_bench [RATE]   (RATE for tc's tbf, e.g. 20mbit;
//                                                  default: unshaped)
// Needs root (the device's namespaces).
#include "BenchDevice.h"
#include "SimulatedDevice.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/JobScript.h"
#include "jobs/JobScripts.h"
#include "support/ProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// The script's pscp and plink lines that `keep` accepts, filled in.
QString shellLines(const jobs::JobScript &script, const std::function<bool(const QString &)> &keep)
{
    const jobs::ConnectionSettings cs(QString::fromLatin1(SimulatedDevice::address),
                                      QString::fromLatin1(SimulatedDevice::password));
    QString text = QStringLiteral("set -e\n");
    for (QString line : script.lines()) {
        if (!(line.startsWith(QLatin1String("pscp ")) || line.startsWith(QLatin1String("plink ")))
            || !keep(line))
            continue;
        line.replace(QLatin1String("%PASS%"), cs.password())
            .replace(QLatin1String("%IP%"), cs.address());
        text += line + QLatin1Char('\n');
    }
    return text;
}

// Runs a program in the folder; its time in seconds, or -1 (and *error) when it fails.
double timed(const ProgramFolder &folder, const QString &program, const QStringList &arguments,
             QString *error)
{
    QProcess p;
    p.setProcessEnvironment(bench::environmentFor(folder));
    p.setWorkingDirectory(folder.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer wall;
    wall.start();
    p.start(program, arguments);
    const bool finished = p.waitForFinished(7200000);
    const double seconds = wall.nsecsElapsed() / 1e9;
    const QByteArray output = p.readAll();
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QStringLiteral("%1 %2 failed: %3")
                     .arg(program, arguments.join(QLatin1Char(' ')),
                          QString::fromLocal8Bit(output.right(2000)));
        return -1;
    }
    return seconds;
}

bool writeScript(const ProgramFolder &folder, const QString &name, const QString &text)
{
    QFile f(folder.file(name));
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    bench::useProgramFolder(ZORVANE_BIN_DIR);
    const QString rate = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    bench::BenchDevice bench("restorecheck_bench");
    SimulatedDevice::Options options;
    options.realSize = true;
    options.linkRate = rate;
    if (const int failed = bench.start(options, bench::BenchDevice::ProcessIds::Shared))
        return failed;
    qint64 files = 0, bytes = 0;
    bench.totals(&files, &bytes);
    std::printf("device: %lld entries, %.1f MB, link %s\n", files, bytes / 1e6,
                rate.isEmpty() ? "unshaped" : qPrintable(rate));
    std::fflush(stdout);

    ProgramFolder folder;
    QString error;
    bench.prepare(folder, &error);
    const jobs::ConnectionSettings cs(QString::fromLatin1(SimulatedDevice::address),
                                      QString::fromLatin1(SimulatedDevice::password));
    // The backup: every pscp and plink line but the one that removes the lists.
    const QString backup = shellLines(jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), false, QStringLiteral("1.0.0"), cs),
                                      [](const QString &l) { return !l.contains("back.sh"); });
    const QString sends =
        shellLines(jobs::restoreScript(jobs::jobDescription(jobs::Job::Restore), QStringLiteral("1.0.0"), cs), [](const QString &l) {
            return l.contains(QLatin1String(" Applications root@"))
                   || l.contains(QLatin1String(" mobile root@"))
                   || l.contains(QLatin1String(" root root@"));
        });
    double fetch = -1, record = -1, check = -1, send = -1;
    if (error.isEmpty() && writeScript(folder, QStringLiteral("backup.sh"), backup)
        && writeScript(folder, QStringLiteral("sends.sh"), sends)) {
        fetch = timed(folder, QStringLiteral("/bin/sh"), {QStringLiteral("backup.sh")}, &error);
        if (fetch >= 0)
            record = timed(folder, folder.file(QStringLiteral("BackupCheck")), {}, &error);
        if (record >= 0)
            check = timed(folder, folder.file(QStringLiteral("BackupCheck")),
                          {QStringLiteral("restore")}, &error);
        if (check >= 0)
            send = timed(folder, QStringLiteral("/bin/sh"), {QStringLiteral("sends.sh")}, &error);
    } else if (error.isEmpty()) {
        error = QStringLiteral("cannot write the scripts");
    }
    bench.stop();
    if (!error.isEmpty())
        return bench.fail(error);
    std::printf("backup's copies: %.1f s\n", fetch);
    std::printf("restorecheck_bench: record=%.2f check=%.2f sends=%.1f check_share=%.3f\n", record,
                check, send, check / (check + send));
    return 0;
}
