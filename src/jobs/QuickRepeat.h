#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace jobs {

// A backup that copies only what changed since the backup in place. The
// device lists every entry of its trees before the first copy (hold.sh,
// companion/plink.exe zv_entries) and each backup keeps that list
// (kKeptList). This compares the list fetched now with the previous
// backup's: an unchanged file is hard-linked from the previous backup into
// the folder the copy is made in, every other file is named in the list of
// what the device is to send (kFetchList). Every name comes from the device:
// a name outside the three trees, or whose way passes anything but a
// folder, is never linked nor made.
class QuickRepeat {
public:
    struct Entry {
        char type = 'f';  // f file, d folder, l link, o other, x subtree no list covers
        QByteArray state; // a file's size, times and inode, as listed
        qint64 size = 0;
        qint64 modified = 0, changed = 0; // seconds since 1970, by the device's clock
    };
    struct Listing {
        bool whole = false;
        qint64 listedAt = 0;             // the device's clock before its walk began
        qint64 lineBreaks = 0;           // entries whose names hold a line break (not listed)
        QMap<QByteArray, Entry> entries; // by path; a folder sorts before what it holds
    };
    static Listing parse(const QByteArray &text);
    // Whether the file listed now is the one the previous list names: every
    // listed figure equal (never "newer than"), and neither of its times
    // within two seconds of the previous listing or later, when a write in
    // the same second as that listing may have left them as they were.
    static bool unchanged(const Entry &now, const Entry &before, qint64 beforeListedAt);

    struct Plan {
        bool possible = false;
        QString reason;          // why the whole device is copied instead
        QList<QByteArray> fetch; // paths of files, links and subtrees the device sends
        qint64 fetchFiles = 0, fetchBytes = 0;
        qint64 linkedFiles = 0, linkedBytes = 0;
    };
    // Lays out the trees in `staging` from the list fetched there
    // (kFetchedList) and the previous backup in `previous`, and writes the
    // list of what to fetch (kFetchList, each name ended by NUL).
    static Plan plan(const QString &staging, const QString &previous);
    // Lines for the Console, the first one the progress's totals.
    static QStringList report(const Plan &plan);

    // Why a quick repeat chosen now would copy the whole device: no complete
    // backup of this device lies in place, or it holds no list of entries.
    // Empty when it can go ahead.
    static QString refusal(const QString &deviceRecord);

    static const QString kFetchedList; // states.txt, in the folder copied into
    static const QString kFetchList;   // fetch.lst, there too
    static const QByteArray kKeptList; // root/Library/Zorvane/states.txt, in a backup
    static constexpr qint64 kSameSecondMargin = 2;
};

} // namespace jobs
