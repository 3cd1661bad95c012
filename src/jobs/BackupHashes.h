#pragma once
#include "jobs/BackupVerifier.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace jobs {

// The backup's list of contents: every file the device listed, with its size
// and the SHA-256 of its content as it arrived on this computer. Made by a
// backup check that passed, whole or not at all (a new file, then a rename),
// and moved with the backup's other lists in root/Library/Zorvane. Before a
// restore sends anything, the local backup is checked against it, so a file
// cut, grown, changed or deleted since the backup is found while the device
// is still untouched. A backup made before the list existed is checked by the
// sizes record alone.
//
// The list is text, one item a line, each line ending in a line feed:
//   # Zorvane file hashes 1           the first line, exactly
//   # for file-sizes.txt HASH         the second: the SHA-256 of the sizes
//                                     record it was made from (a list beside
//                                     another record is not this backup's)
//   SIZE HASH PATH                    one file: its bytes in decimal, the
//                                     SHA-256 of its content in 64 lowercase
//                                     hex digits, PATH as in the sizes record
//   # ...                             any other line beginning "#": a comment
//   # end N                           the last line: N is the number of files
// The limits are the sizes record's, widened by what a line adds.
class BackupHashes {
public:
    static const QString kRecord; // root/Library/Zorvane/file-hashes.txt
    static constexpr qsizetype kLongestLine = BackupVerifier::kLongestLine + 96;
    static constexpr qint64 kLargestRecord = 4 * BackupVerifier::kLargestRecord;

    using Refusal = BackupVerifier::Refusal;
    struct Entry {
        QByteArray path;
        qint64 size = 0;
        QByteArray hash; // hex; empty in a sizes record
    };

    // Files and bytes read so far, of all there are to read.
    using Progress =
        std::function<void(qint64 files, qint64 bytes, qint64 totalFiles, qint64 totalBytes)>;

    // Reads a list of contents made from the sizes record whose SHA-256 (hex)
    // is `sizesHash`; a list made from another record is refused as
    // unreadable, with *otherBackup set.
    static Refusal parse(const QByteArray &content, const QByteArray &sizesHash,
                         QList<Entry> *entries, bool *otherBackup = nullptr);
    // Reads the sizes record's files and sizes.
    static Refusal parseSizes(const QByteArray &content, QList<Entry> *entries);

    // After a passing backup check: removes any list that came with the copy
    // (from the device), then hashes every file the sizes record lists and
    // writes the list. `unreadable` names the files that could not be read or
    // changed while they were read; then no list is written. False with
    // *error set when no list could be made.
    static bool record(QStringList *unreadable, QString *error, const Progress &progress = {});

    // What a check before a restore found of one file.
    struct Finding {
        enum class Kind { Missing, Size, Content } kind = Kind::Missing;
        QString path; // printable
        qint64 size = 0;
        qint64 listed = 0;
        // "mobile/Library/SMS/sms.db is 1,000 bytes; it was 60,000 when it was backed up"
        QString describe() const;
    };
    struct Check {
        enum class By { Content, Sizes } by = By::Content;
        Refusal refused = Refusal::None; // of the list the check used
        bool sizesRefused = false;       // that list was the sizes record
        bool otherBackup = false;        // the list of contents is another record's
        qint64 files = 0;
        qint64 bytes = 0;
        QList<Finding> changed;
        bool passed() const
        {
            return refused == Refusal::None && !otherBackup && changed.isEmpty();
        }
    };
    // The local backup in the current folder against its list of contents,
    // or against its sizes record when it has no list of contents.
    static Check check(const Progress &progress = {});
    // The lines that tell the user what the check found.
    static QStringList report(const Check &check);
    // The lines it adds to the job's notes when it refuses the restore.
    static QStringList notes(const Check &check);
    // The progress line the check prints as it reads.
    static QString progressLine(qint64 files, qint64 bytes, qint64 totalFiles, qint64 totalBytes);
};

} // namespace jobs
