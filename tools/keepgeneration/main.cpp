// KeepGeneration: run by the backup script once a new copy has checked out
// complete and is to replace the previous backup set aside. The previous one
// becomes a generation of its own, the new one's unchanged files are linked to
// it, and the oldest generations beyond KEEP backups in all are removed.
// Whatever happens, the new backup stands; a previous backup still set aside
// afterwards is replaced by the script as before. Always exits with 0.
// Run by the restore script of an older backup once the restore is over, it
// puts the newest backup back in place ("putback"), exiting with 1 when it
// could not (the next start tries again).
//
//   KeepGeneration [KEEP]       (default 5, the newest backup counted)
//   KeepGeneration putback
#include "jobs/Generations.h"
#include "jobs/PlacedGeneration.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    using jobs::Generations;
    if (argc > 1 && qstrcmp(argv[1], "putback") == 0) {
        QStringList lines;
        const bool back = jobs::PlacedGeneration::putBack(&lines);
        if (back)
            lines.prepend(QStringLiteral("Your newest backup is back in place, unchanged."));
        for (const QString &line : lines)
            std::printf("%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
        return back ? 0 : 1;
    }
    bool given = false;
    const int keep = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt(&given) : 0;
    const Generations::Kept kept = Generations::keepPrevious(given ? keep : Generations::kDefaultKeep);
    platform::FileSystem &files = platform::Platform::files();
    const bool toldBefore = files.exists(Generations::kNoLinksMark);
    if (kept.outcome == Generations::Kept::Outcome::NoLinks) {
        QString error;
        files.writeFile(Generations::kNoLinksMark, "told\n", &error);
    } else if (toldBefore) {
        files.deleteFile(Generations::kNoLinksMark);
    }
    if (kept.outcome != Generations::Kept::Outcome::NoLinks || !toldBefore) {
        for (const QString &line : Generations::report(kept))
            std::printf("%s\n", line.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    return 0;
}
