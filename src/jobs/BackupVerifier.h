#pragma once
#include <QString>
#include <QStringList>

namespace jobs {

// Checks a fetched backup against the sizes record that the device wrote while
// the backup ran and that arrived with the "root" folder: every file the device
// listed must lie in the local copy with the listed size. The trees are named
// as in the backup ("Applications", "mobile", "root"), relative to the current
// folder.
class BackupVerifier {
public:
    struct Result {
        bool recordFound = false;
        qint64 files = 0;      // files the device listed
        qint64 bytes = 0;      // their bytes
        QStringList missing;   // listed files that did not arrive
        QStringList wrongSize; // arrived with another size
        bool complete() const
        {
            return recordFound && files > 0 && missing.isEmpty() && wrongSize.isEmpty();
        }
    };

    static const QString kSizesRecord; // root\Library\Zorvane\file-sizes.txt

    static Result check(const QString &sizesRecord = kSizesRecord);

    // "1234 files, 147.7 MB" (MB of 1,000,000 bytes, one decimal).
    static QString amount(qint64 files, qint64 bytes);
    // The lines that tell the user what the check found.
    static QStringList report(const Result &result);
    // The line the check adds to the job's outcome file.
    static QString outcomeLine(const Result &result);
};

} // namespace jobs
