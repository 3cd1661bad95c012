// QuickRepeat: run by the backup script when the user chose to copy only what
// changed since the last backup.
//
//   QuickRepeat plan      compares the device's list (Incoming/states.txt)
//                         with the one the previous backup keeps, links the
//                         unchanged files into Incoming and writes the list
//                         of what the device is to send (Incoming/fetch.lst).
//                         Exits with 2 when the whole device is to be copied.
//   QuickRepeat extract   puts what the device sent (Incoming/fetch.tar) into
//                         Incoming; exits with 1 when it did not arrive whole.
#include "jobs/BackupNames.h"
#include "jobs/QuickRepeat.h"
#include "jobs/TarStaging.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void print(const QStringList &lines)
{
    for (const QString &line : lines)
        std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString &staging = jobs::kIncomingFolder;
    platform::FileSystem &files = platform::Platform::files();
    if (mode == QLatin1String("plan")) {
        const jobs::QuickRepeat::Plan plan =
            jobs::QuickRepeat::plan(staging, jobs::kPreviousBackupFolder);
        print(jobs::QuickRepeat::report(plan));
        return plan.possible ? 0 : 2;
    }
    if (mode == QLatin1String("extract")) {
        QByteArray list;
        QString error;
        const QString listFile = staging + QLatin1Char('/') + jobs::QuickRepeat::kFetchList;
        if (!files.readFile(listFile, &list, &error)) {
            std::fprintf(stderr, "QuickRepeat: cannot read %s (%s)\n",
                         listFile.toLocal8Bit().constData(), error.toLocal8Bit().constData());
            return 1;
        }
        QSet<QByteArray> wanted;
        for (const QByteArray &name : list.split('\0'))
            if (!name.isEmpty())
                wanted.insert(name);
        const QString archive = staging + QStringLiteral("/fetch.tar");
        const jobs::TarStaging::Result r = jobs::TarStaging::extract(archive, staging, wanted);
        files.deleteFile(archive);
        print(jobs::TarStaging::report(r));
        return r.whole ? 0 : 1;
    }
    std::fprintf(stderr, "usage: QuickRepeat plan|extract\n");
    return 1;
}
