#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

namespace jobs {

// pscp names each entry it sends by what follows the last backslash of the
// local name: a backup's "a\b.txt" reaches the device as "b.txt" (over a
// genuine "b.txt" there), and a folder "x\.." would pour its contents into
// the folder above. Before a restore sends the backup's trees as they are,
// the entries whose names pscp changes are laid apart under plain numbers in
// a staging folder beside the backup (hard links or copies: the backup itself
// is never changed), with the genuine files that a changed name may
// overwrite, and a list that tells the device where each belongs and which
// names pscp made there belong to nothing. The device puts them right
// (names.sh) before the owners and modes go back.
class NameStaging {
public:
    // One entry of a backup tree: its path from the tree's name on
    // ("mobile/a\\b.txt"; a tree's own folder is just its name).
    struct Entry {
        QByteArray path;
        bool folder = false;
    };
    // What sending the trees as they are would do wrong, and the mend.
    struct Plan {
        // Entries that pscp would send outside their place, or onto an entry
        // of another kind (a file onto a folder): no mend can undo that, so
        // nothing may be sent.
        QList<QByteArray> refused;
        // Entries whose names pscp changes: sent apart and put in place under
        // their own names, parents before their contents.
        QList<QByteArray> apart;
        // Genuine files that an entry sent under a changed name may overwrite:
        // sent again apart and put back.
        QList<QByteArray> kept;
        // Names that pscp makes on the device and that belong to nothing,
        // each the topmost of its kind: removed there.
        QList<QByteArray> strays;
    };
    enum class Outcome { Nothing, Staged, Refused, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        Plan plan;
        qint64 files = 0; // the files the staging folder sends, with its own two
        qint64 bytes = 0;
        QString error; // why staging failed
    };

    // The local folder the staging is built in, and the device folder that
    // receives it: the staging's own folder, named "names-" and the run's
    // token, in both.
    static const QString kFolder;
    static const QString kDeviceFolder;
    // The list's name and its first line; the device step's file.
    static const QString kListName;
    static const QByteArray kListHeader;
    static const QString kDeviceStep;

    // The name under which pscp sends a local entry named `name`.
    static QByteArray sentName(const QByteArray &name);
    // The plan for a backup's entries, listed with each folder before its contents.
    static Plan plan(const QList<Entry> &entries);
    // A path as the list holds it: "\" doubled, control characters as "\0"
    // and three octal digits, so that one line holds any name.
    static QByteArray listed(const QByteArray &path);
    // The list's lines for a plan whose staged entries are numbered from 1,
    // the kept files first, then the entries apart.
    static QByteArray list(const Plan &plan);

    // Reads the trees "Applications", "mobile" and "root" in the current
    // folder without following links; false (and the folder) when one cannot be read.
    static bool read(QList<Entry> *entries, QByteArray *unreadable);
    // Lays the current folder's backup apart for the run with this token:
    // kFolder/names-TOKEN holds the staged entries, the list and the device
    // step. Built under another name and renamed when whole, after removing
    // what an earlier run left; nothing is built when nothing needs it.
    static Result stage(const QString &token);
    // Removes a staging folder that an earlier run left, whole or in part.
    static bool removeLeftOver();
};

} // namespace jobs
