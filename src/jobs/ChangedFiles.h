#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace jobs {

// After the copies, the device lists its files again and copies each that
// changed while it was copied once more, alone (companion/plink.exe,
// zv_changes); the backup fetches that folder into Incoming. This puts those
// copies in place of what the first copy brought, puts the records of the
// trees as they were after the copy in place of the ones fetched with "root"
// (so that the backup check compares with them), removes the copies of the
// files that went, and says which files these were. Every name comes from the
// device: a name that does not lie inside the three trees, or whose way there
// passes anything but a folder, is refused and nothing is done for it.
class ChangedFiles {
public:
    enum class Kind { Whole, Changing, Unfetched, Vanished };

    struct Entry {
        Kind kind = Kind::Whole;
        qint64 copy = 0; // number of the copy in files/ (Whole, Changing)
        qint64 size = 0; // its bytes
        QByteArray path; // "mobile/Library/..."
    };

    struct Result {
        bool listRead = false;  // the changes list arrived whole
        QList<Entry> entries;   // as listed
        QStringList notPlaced;  // a copy that did not arrive whole, or a refused name
        QStringList missing;    // changed, no copy made, and the first copy is not here
        QStringList recordsNotPlaced;
        qint64 pipes = 0, sockets = 0, devices = 0; // special entries the device listed
        QStringList specials;   // their names, with what they are
        bool complete() const
        {
            return listRead && notPlaced.isEmpty() && missing.isEmpty()
                   && recordsNotPlaced.isEmpty();
        }
        QStringList named(Kind kind) const;
    };

    static const QString kFolder; // Incoming/Refetched
    static constexpr int kNamesNoted = 20;

    static Result place(const QString &folder = kFolder);
    // Lines for the Console.
    static QStringList report(const Result &result);
    // Lines for the job's notes: "changes WHOLE CHANGING UNFETCHED VANISHED",
    // "changed KIND NAME" for the first kNamesNoted of each kind, "specials
    // PIPES SOCKETS DEVICES" and "special NAME (WHAT)".
    static QStringList noteLines(const Result &result);
};

} // namespace jobs
