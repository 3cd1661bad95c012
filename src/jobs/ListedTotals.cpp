#include "jobs/ListedTotals.h"
#include "jobs/BackupVerifier.h"
#include "platform/Platform.h"

namespace jobs {

std::optional<ListedTotals> ListedTotals::read()
{
    QByteArray content;
    if (!platform::Platform::files().readFile(BackupVerifier::kSizesRecord, &content, nullptr))
        return std::nullopt;
    return parse(content);
}

std::optional<ListedTotals> ListedTotals::parse(const QByteArray &record)
{
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
