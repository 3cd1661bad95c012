#include "jobs/ListedTotals.h"
#include "jobs/BackupVerifier.h"

namespace jobs {

std::optional<ListedTotals> ListedTotals::read()
{
    QByteArray content;
    if (BackupVerifier::readRecord(BackupVerifier::kSizesRecord, &content)
        != BackupVerifier::Refusal::None)
        return std::nullopt;
    return parse(content);
}

std::optional<ListedTotals> ListedTotals::parse(const QByteArray &record)
{
    // The device's data: a list the backup check would refuse as unreadable
    // gives no totals either.
    if (record.size() > BackupVerifier::kLargestRecord || !BackupVerifier::linesWithinLimit(record))
        return std::nullopt;
    const QList<QByteArray> lines = record.split('\n');
    if (lines.isEmpty() || !lines.first().startsWith("# Zorvane file sizes"))
        return std::nullopt;
    ListedTotals t;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0 || line.startsWith('#'))
            continue;
        const QByteArray path = line.mid(blank + 1);
        if (!path.startsWith("Applications/") && !path.startsWith("mobile/")
            && !path.startsWith("root/"))
            continue;
        bool ok = false;
        const qint64 size = line.left(blank).toLongLong(&ok);
        if (!ok || size < 0)
            continue;
        ++t.files;
        t.bytes += size;
    }
    return t;
}

} // namespace jobs
