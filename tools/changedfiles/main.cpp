// ChangedFiles: run by the backup script after it fetched what the device
// copied again. Puts the copies and the records in place, prints what
// changed while the copy was made, adds it to the job's notes, and exits
// with 1 when something that changed did not arrive.
#include "jobs/ChangedFiles.h"
#include "jobs/JobOutcome.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const jobs::ChangedFiles::Result result = jobs::ChangedFiles::place();
    for (const QString &line : jobs::ChangedFiles::report(result))
        std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    QByteArray notes;
    for (const QString &line : jobs::ChangedFiles::noteLines(result))
        notes += line.toLocal8Bit() + "\r\n";
    QString error;
    if (!platform::Platform::files().appendFile(jobs::kOutcomeFile, notes, &error)) {
        std::fprintf(stderr, "ChangedFiles: cannot write %s (%s)\n",
                     jobs::kOutcomeFile.toLocal8Bit().constData(), error.toLocal8Bit().constData());
        return 1;
    }
    return result.complete() ? 0 : 1;
}
