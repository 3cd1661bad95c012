#pragma once
#include <QString>
#include <optional>

namespace jobs {

// How many files, of how many bytes, a backup's sizes record lists: what a
// restore of that backup will copy. Lines that are not a size and a path in
// one of the backup's trees (comments, an end line) are not counted.
struct ListedTotals {
    qint64 files = 0;
    qint64 bytes = 0;

    // From the record in the current folder; nothing when there is none, or
    // when it is beyond the backup check's limits (BackupVerifier::kLongestLine,
    // kLargestRecord).
    static std::optional<ListedTotals> read();
    static std::optional<ListedTotals> parse(const QByteArray &record);
};

} // namespace jobs
