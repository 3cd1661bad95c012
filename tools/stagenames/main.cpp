// StageNames TOKEN: run by the restore script before anything is sent. Lays
// apart the backup's entries whose names pscp would change (see NameStaging),
// for the run with that token, and says so for the Console. Refuses, with a
// note in the job's notes and exit status 1, a backup that pscp would send
// in part to another place on the device, and fails the same way when the
// staging cannot be made: then nothing may be sent.
#include "jobs/BackupVerifier.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobProgress.h"
#include "jobs/NameStaging.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void say(const QString &line) { std::printf("%s\n", line.toLocal8Bit().constData()); }

bool note(const QString &what)
{
    QString error;
    const QByteArray line = QStringLiteral("failed %1\r\n").arg(what).toLocal8Bit();
    if (platform::Platform::files().appendFile(jobs::kOutcomeFile, line, &error))
        return true;
    std::fprintf(stderr, "StageNames: cannot write %s (%s)\n",
                 jobs::kOutcomeFile.toLocal8Bit().constData(), error.toLocal8Bit().constData());
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    using jobs::NameStaging;
    const NameStaging::Result r =
        NameStaging::stage(argc == 2 ? QString::fromLatin1(argv[1]) : QString());
    switch (r.outcome) {
    case NameStaging::Outcome::Nothing: return 0;
    case NameStaging::Outcome::Staged:
        say(QStringLiteral("%1 entries of your backup have a backslash in their names, where pscp "
                           "would cut them; they are sent to your device in a separate step and "
                           "put under their own names there.")
                .arg(r.plan.apart.size()));
        say(jobs::JobProgress::apartLine(r.files, r.bytes));
        std::fflush(stdout);
        return 0;
    case NameStaging::Outcome::Refused: {
        say(QStringLiteral("Nothing was sent: pscp would put these entries of your backup in "
                           "another place on your device (a name that ends in \"\\..\", or a "
                           "file and a folder under one name once pscp has cut the names):"));
        const int shown = std::min<int>(10, r.plan.refused.size());
        for (int i = 0; i < shown; ++i)
            say(QStringLiteral("  ") + jobs::BackupVerifier::printable(r.plan.refused[i]));
        if (r.plan.refused.size() > shown)
            say(QStringLiteral("  and %1 more").arg(r.plan.refused.size() - shown));
        say(QStringLiteral("Rename or remove them in the backup in Zorvane's working folder "
                           "\"%1\", then run the restore again.")
                .arg(platform::Platform::app().workFolder()));
        std::fflush(stdout);
        note(QStringLiteral("sending your backup: pscp would put %1 of its entries in another "
                            "place on your device (the first: %2); rename or remove them in the "
                            "backup, then run the restore again")
                 .arg(r.plan.refused.size())
                 .arg(jobs::BackupVerifier::printable(r.plan.refused.first())));
        return 1;
    }
    case NameStaging::Outcome::Failed: break;
    }
    say(QStringLiteral("Preparing your backup for sending failed: %1.").arg(r.error));
    std::fflush(stdout);
    note(QStringLiteral("preparing your backup for sending (%1)").arg(r.error));
    return 1;
}
