#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace jobs {

// The backups kept before the newest one. The newest lies in place
// (Applications, mobile, root beside the program); each older complete one is
// a folder of Generations, named by the time it was made, a whole tree with
// its lists and a record of its own (generation.txt):
//   # Zorvane generation 1
//   made SECONDS        when its check passed (since 1970, UTC)
//   files N / bytes N   what its sizes record lists
//   device RECORD       the device record it came with, when it had one
// A file of the newest backup that is the same as in the generation before it
// is a hard link to that generation's copy, so an unchanged file costs no
// space. Nothing ever writes into a backup's file: new data is a new file,
// then a rename, so a file shared by links never changes.
//
// Every step is a rename that happens whole or not at all, so a stop at any
// point leaves each complete generation whole and findable: a backup on its
// way into Generations lies in ".new-NAME" until its record is written, a
// generation being removed is renamed ".removing-NAME" first; tidy() finishes
// or removes what such a stop left.
class Generations {
public:
    static const QString kFolder;          // "Generations"
    static const QString kRecordName;      // "generation.txt"
    static const QString kNoLinksMark;     // said once: the disk holds no hard links
    static constexpr int kDefaultKeep = 5; // the newest in place and four before it

    struct Generation {
        QString folder; // its name in Generations
        qint64 made = 0;
        qint64 files = 0;
        qint64 bytes = 0;
        QString device;
    };
    // The complete generations, oldest first.
    static QList<Generation> list();
    // When the backup in place was made (its check passed); -1 when unknown.
    static qint64 newestMade();

    struct Kept {
        enum class Outcome {
            Kept,        // the previous backup is now a generation
            NotKept,     // not a complete backup, or no generations are to be kept
            NoLinks,     // the disk cannot hold hard links
            Failed,      // it could not be moved into Generations; it lies as it was
        } outcome = Outcome::NotKept;
        QString folder;         // the new generation
        qint64 linked = 0;      // files of the newest backup now shared with it
        qint64 linkedBytes = 0; // the space that saves
        QStringList removed;    // generations removed to keep `keep` in all
        QString why;
    };
    // After a new backup checked out complete and took the previous one's
    // place: makes the previous one (in PreviousBackup) a generation, links the
    // newest backup's unchanged files to it, and removes the oldest
    // generations beyond `keep` backups in all, counting the newest.
    static Kept keepPrevious(int keep);
    // The Console's lines about it.
    static QStringList report(const Kept &kept);

    // Finishes a generation a stop left on its way in, and removes one a stop
    // left half removed; with `putNewestBack`, also puts the newest backup back
    // where a stop left an older one in place for a restore (PlacedGeneration).
    // The lines say what was done.
    static QStringList tidy(bool putNewestBack = true);
};

} // namespace jobs
