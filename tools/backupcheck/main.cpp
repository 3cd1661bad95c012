// BackupCheck: run by the backup script after the fetches. Checks the local
// copy against the list of files the device wrote during the backup, prints
// what it found for the Console, adds its line to the job's notes, and exits
// with 1 when the backup is not complete.
#include "jobs/BackupVerifier.h"
#include "jobs/JobOutcome.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const jobs::BackupVerifier::Result result = jobs::BackupVerifier::check();
    for (const QString &line : jobs::BackupVerifier::report(result))
        std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    QString error;
    const QByteArray note = jobs::BackupVerifier::outcomeLine(result).toLocal8Bit() + "\r\n";
    if (!platform::Platform::files().appendFile(jobs::kOutcomeFile, note, &error)) {
        std::fprintf(stderr, "BackupCheck: cannot write %s (%s)\n",
                     jobs::kOutcomeFile.toLocal8Bit().constData(), error.toLocal8Bit().constData());
        return 1;
    }
    return result.complete() ? 0 : 1;
}
