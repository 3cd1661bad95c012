#pragma once
#include <QString>

namespace jobs {

// How much a backup beside the program holds: its files (not links, not
// folders) and their bytes, in "Applications", "mobile" and "root" under a
// folder, without the device's own records of the backup.
struct BackupAmount {
    qint64 files = 0;
    qint64 bytes = 0;

    static BackupAmount of(const QString &folder);

    // True when this backup holds far less than `older`: fewer than half its
    // files or half its bytes, as a device wiped by a firmware restore does.
    bool isFarSmallerThan(const BackupAmount &older) const;
};

} // namespace jobs
