// BackupCheck: run by the backup script after the fetches. Checks the local
// copy against the list of files the device wrote during the backup, and when
// it is complete records the content of every file (BackupHashes); prints
// what it found for the Console, adds its line to the job's notes, and exits
// with 1 when the backup is not complete.
//
// BackupCheck restore: run by the restore script before anything is sent.
// Checks the local backup against its list of contents, printing its
// progress; exits with 1, with its notes, when the backup is not as it was
// when it was backed up, so that nothing is sent.
#include "jobs/BackupHashes.h"
#include "jobs/BackupVerifier.h"
#include "jobs/JobOutcome.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

void say(const QString &line) { std::printf("%s\n", line.toLocal8Bit().constData()); }

bool note(const QStringList &lines)
{
    QString error;
    QByteArray text;
    for (const QString &line : lines)
        text += line.toLocal8Bit() + "\r\n";
    if (platform::Platform::files().appendFile(jobs::kOutcomeFile, text, &error))
        return true;
    std::fprintf(stderr, "BackupCheck: cannot write %s (%s)\n",
                 jobs::kOutcomeFile.toLocal8Bit().constData(), error.toLocal8Bit().constData());
    return false;
}

// The check's progress for the Console and the progress line, a few times a
// second and at its end.
jobs::BackupHashes::Progress progressPrinter(QElapsedTimer *clock)
{
    clock->start();
    return [clock, shown = qint64(-1000)](qint64 files, qint64 bytes, qint64 totalFiles,
                                          qint64 totalBytes) mutable {
        const qint64 now = clock->elapsed();
        if (now - shown < 500 && files < totalFiles)
            return;
        shown = now;
        say(jobs::BackupHashes::progressLine(files, bytes, totalFiles, totalBytes));
        std::fflush(stdout);
    };
}

int checkBeforeRestore()
{
    QElapsedTimer clock;
    const jobs::BackupHashes::Check check = jobs::BackupHashes::check(progressPrinter(&clock));
    for (const QString &line : jobs::BackupHashes::report(check))
        say(line);
    std::fflush(stdout);
    if (check.passed())
        return 0;
    note(jobs::BackupHashes::notes(check));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "restore") == 0)
        return checkBeforeRestore();
    jobs::BackupVerifier::Result result = jobs::BackupVerifier::check();
    QString unrecorded;
    if (result.complete()) {
        QStringList unreadable;
        QElapsedTimer clock;
        if (!jobs::BackupHashes::record(&unreadable, &unrecorded, progressPrinter(&clock))) {
            // Files that cannot be read back, or changed since they were
            // measured, are not the device's files as it listed them.
            result.wrongSize << unreadable;
            say(QStringLiteral("Backup check: the contents of the backup could not be recorded "
                               "(%1).")
                    .arg(unrecorded));
            for (const QString &path : unreadable.mid(0, 5))
                say(QStringLiteral("  could not be read back: ") + path);
        }
    }
    for (const QString &line : jobs::BackupVerifier::report(result))
        say(line);
    std::fflush(stdout);
    // Complete, but without a list of its contents: a restore could not tell
    // a damaged copy from a good one.
    const bool recorded = unrecorded.isEmpty();
    if (!note({result.complete() && !recorded ? QStringLiteral("unchecked contents")
                                              : jobs::BackupVerifier::outcomeLine(result)}))
        return 1;
    return result.complete() && recorded ? 0 : 1;
}
