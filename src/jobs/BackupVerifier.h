#pragma once
#include <QString>
#include <QStringList>

namespace jobs {

// Checks a fetched backup against the sizes record that the device wrote while
// the backup ran and that arrived with the "root" folder: every file the device
// listed must lie in the local copy with the listed size. The trees are named
// as in the backup ("Applications", "mobile", "root"), relative to the current
// folder. The record is the device's data: a record that is not whole (no end
// line, another count), too large, or holds a line that cannot be read leaves
// the backup unchecked, never verified, and no name in it is looked up outside
// the three trees. The links list beside it, which a restore makes the links
// again from, must be whole in the same way; its links are not looked up in
// the copy, where pscp left the files or folders they pointed at.
class BackupVerifier {
public:
    // Why a record cannot be used; None when it was read whole.
    enum class Refusal { None, Missing, TooLarge, Unreadable, Cut, Count, Outside };

    // Which list was refused.
    enum class List { Sizes, Links };

    struct Result {
        Refusal refused = Refusal::Missing;
        List refusedList = List::Sizes;
        qint64 files = 0;      // files the device listed (a name listed twice counts once)
        qint64 bytes = 0;      // their bytes
        QStringList missing;   // listed files that did not arrive
        QStringList wrongSize; // arrived with another size
        QStringList notListed; // files the device could not list (a line break in the name)
        qint64 links = 0;      // links listed with their targets
        QStringList linksNotListed; // links whose target holds a line break
        bool complete() const
        {
            return refused == Refusal::None && files > 0 && missing.isEmpty()
                   && wrongSize.isEmpty();
        }
    };

    static const QString kSizesRecord; // root\Library\Zorvane\file-sizes.txt
    static const QString kLinksRecord; // root\Library\Zorvane\links.txt
    // The limits beyond which a record is refused as unreadable: no device
    // path comes near the line length, and a device of 16 GB full of the
    // smallest files lists far fewer bytes.
    static constexpr qsizetype kLongestLine = 4096;
    static constexpr qint64 kLargestRecord = 64 * 1024 * 1024;

    // Reads a list from the device into content, measured before it is read:
    // Missing when it is not there, TooLarge beyond kLargestRecord.
    static Refusal readRecord(const QString &path, QByteArray *content);
    // Whether every line of content holds at most kLongestLine bytes.
    static bool linesWithinLimit(const QByteArray &content);
    // A number of decimal digits only, without overflow, as the lists write
    // their counts and sizes.
    static bool readCount(const QByteArray &digits, qint64 *value);

    static Result check(const QString &sizesRecord = kSizesRecord,
                        const QString &linksRecord = kLinksRecord);

    // "1234 files, 147.7 MB" (MB of 1,000,000 bytes, one decimal).
    static QString amount(qint64 files, qint64 bytes);
    // The lines that tell the user what the check found.
    static QStringList report(const Result &result);
    // The line the check adds to the job's outcome file: "verified" or
    // "incomplete" with FILES BYTES MISSING WRONG NOTLISTED, or "unchecked" and
    // a word for the reason (missing, toolarge, unreadable, cut, count, outside).
    static QString outcomeLine(const Result &result);
    // A name from the device as one line of text: control characters become
    // \n, \r or \xNN, so that no name can start a line of its own.
    static QString printable(const QByteArray &name);
};

} // namespace jobs
