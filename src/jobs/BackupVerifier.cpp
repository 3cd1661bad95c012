#include "jobs/BackupVerifier.h"
#include "jobs/BackupNames.h"
#include "jobs/TreePaths.h"

#include "platform/Platform.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace jobs {

const QString BackupVerifier::kSizesRecord = QStringLiteral("root/Library/Zorvane/file-sizes.txt");
const QString BackupVerifier::kLinksRecord = QStringLiteral("root/Library/Zorvane/links.txt");

namespace {

using platform::FileSystem;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane file sizes 1");
const QByteArray kLinksHeader = QByteArrayLiteral("# Zorvane links 1");
const QByteArray kEnd = QByteArrayLiteral("# end ");
const QByteArray kNotListed = QByteArrayLiteral("# not listed: ");
const QByteArray kTargetNotListed = QByteArrayLiteral("# target not listed: ");
const QByteArray kArrow = QByteArrayLiteral(" -> ");

// Paths as the device wrote them: "\\" is a letter here, as on the device.
using treepaths::inATree;

struct Listed {
    QList<QByteArray> paths; // in the order listed, each once
    QHash<QByteArray, qint64> sizes;
};

// Reads a list's lines: refuses a list that is not whole or not readable, and
// hands each line between the header and the end line to `line`, which says
// why it refuses the line, or counts it as an entry.
template <typename Line>
BackupVerifier::Refusal readList(const QByteArray &content, const QByteArray &header, Line line)
{
    using Refusal = BackupVerifier::Refusal;
    qint64 entries = 0;
    qint64 endCount = -1;
    qsizetype at = 0;
    bool first = true;
    while (at < content.size()) {
        const qsizetype eol = content.indexOf('\n', at);
        if (eol < 0)
            return Refusal::Cut; // the last line was never finished
        if (eol - at > BackupVerifier::kLongestLine)
            return Refusal::Unreadable;
        const QByteArray text = content.mid(at, eol - at);
        at = eol + 1;
        if (first) {
            if (text != header)
                return Refusal::Unreadable;
            first = false;
            continue;
        }
        if (endCount >= 0)
            return Refusal::Unreadable; // nothing may follow the end line
        if (text.startsWith(kEnd)) {
            if (!BackupVerifier::readCount(text.mid(kEnd.size()), &endCount))
                return Refusal::Unreadable;
            continue;
        }
        bool entry = false;
        const Refusal refused = line(text, &entry);
        if (refused != Refusal::None)
            return refused;
        entries += entry ? 1 : 0;
    }
    if (first)
        return Refusal::Unreadable;
    if (endCount < 0)
        return Refusal::Cut;
    return endCount == entries ? Refusal::None : Refusal::Count;
}

// Reads the sizes record's lines.
BackupVerifier::Refusal parse(const QByteArray &content, Listed *listed, BackupVerifier::Result *r)
{
    using Refusal = BackupVerifier::Refusal;
    return readList(content, kHeader, [&](const QByteArray &line, bool *entry) {
        if (line.startsWith(kNotListed)) {
            r->notListed << BackupVerifier::printable(line.mid(kNotListed.size()));
            return Refusal::None;
        }
        if (line.startsWith('#'))
            return Refusal::None;
        const qsizetype blank = line.indexOf(' ');
        qint64 size = 0;
        if (blank <= 0 || !BackupVerifier::readCount(line.left(blank), &size))
            return Refusal::Unreadable;
        const QByteArray path = line.mid(blank + 1);
        if (!inATree(path))
            return Refusal::Outside;
        *entry = true;
        const auto seen = listed->sizes.constFind(path);
        if (seen != listed->sizes.cend())
            return *seen == size ? Refusal::None : Refusal::Unreadable; // one name, two sizes
        if (r->bytes > std::numeric_limits<qint64>::max() - size)
            return Refusal::Unreadable;
        r->bytes += size;
        ++r->files;
        listed->sizes.insert(path, size);
        listed->paths << path;
        return Refusal::None;
    });
}

// Reads the links list's lines, "LENGTH PATH -> TARGET": the length, in
// bytes, says where the path ends, whatever it holds.
BackupVerifier::Refusal parseLinks(const QByteArray &content, BackupVerifier::Result *r)
{
    using Refusal = BackupVerifier::Refusal;
    QHash<QByteArray, QByteArray> targets;
    return readList(content, kLinksHeader, [&](const QByteArray &line, bool *entry) {
        if (line.startsWith(kTargetNotListed)) {
            r->linksNotListed << BackupVerifier::printable(line.mid(kTargetNotListed.size()));
            return Refusal::None;
        }
        if (line.startsWith('#'))
            return Refusal::None;
        const qsizetype blank = line.indexOf(' ');
        qint64 length = 0;
        if (blank <= 0 || !BackupVerifier::readCount(line.left(blank), &length)
            || length > line.size() - blank - 1 - kArrow.size())
            return Refusal::Unreadable;
        const QByteArray path = line.mid(blank + 1, length);
        const QByteArray rest = line.mid(blank + 1 + length);
        if (!rest.startsWith(kArrow) || rest.size() == kArrow.size())
            return Refusal::Unreadable;
        if (!inATree(path))
            return Refusal::Outside;
        *entry = true;
        const QByteArray target = rest.mid(kArrow.size());
        const auto seen = targets.constFind(path);
        if (seen != targets.cend())
            return *seen == target ? Refusal::None : Refusal::Unreadable; // one name, two targets
        targets.insert(path, target);
        ++r->links;
        return Refusal::None;
    });
}


} // namespace

// A hostile list must not cost minutes and gigabytes.
BackupVerifier::Refusal BackupVerifier::readRecord(const QString &path, QByteArray *content)
{
    const FileSystem &files = platform::Platform::files();
    const qint64 bytes = files.fileSize(path);
    if (bytes < 0)
        return Refusal::Missing;
    if (bytes > kLargestRecord)
        return Refusal::TooLarge;
    if (!files.readFile(path, content, nullptr))
        return Refusal::Missing;
    if (content->size() > kLargestRecord) // grew after it was measured
        return Refusal::TooLarge;
    return Refusal::None;
}

bool BackupVerifier::readCount(const QByteArray &digits, qint64 *value)
{
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    *value = digits.toLongLong();
    return true;
}

bool BackupVerifier::linesWithinLimit(const QByteArray &content)
{
    qsizetype at = 0;
    while (at < content.size()) {
        qsizetype eol = content.indexOf('\n', at);
        if (eol < 0)
            eol = content.size();
        if (eol - at > kLongestLine)
            return false;
        at = eol + 1;
    }
    return true;
}

BackupVerifier::Result BackupVerifier::check(const QString &sizesRecord, const QString &linksRecord)
{
    Result r;
    const FileSystem &files = platform::Platform::files();
    QByteArray content;
    Listed listed;
    r.refused = readRecord(sizesRecord, &content);
    if (r.refused == Refusal::None)
        r.refused = parse(content, &listed, &r);
    if (r.refused == Refusal::None) {
        r.refusedList = List::Links;
        r.refused = readRecord(linksRecord, &content);
        if (r.refused == Refusal::None)
            r.refused = parseLinks(content, &r);
    }
    if (r.refused != Refusal::None) {
        r.files = r.bytes = r.links = 0;
        return r;
    }
    QSet<QByteArray> folders;
    for (const QByteArray &path : listed.paths) {
        qint64 local = -1;
        if (!treepaths::foldersAbove(path, files, &folders)
            || files.entryAt(path, &local) != FileSystem::Entry::File)
            r.missing << printable(path);
        else if (local != listed.sizes.value(path))
            r.wrongSize << printable(path);
    }
    return r;
}

QString BackupVerifier::printable(const QByteArray &name)
{
    QByteArray out;
    out.reserve(name.size());
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (u < 0x20 || u == 0x7f)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return QFile::decodeName(out);
}

QString BackupVerifier::amount(qint64 files, qint64 bytes)
{
    return QStringLiteral("%1 files, %2 MB").arg(files).arg(double(bytes) / 1e6, 0, 'f', 1);
}

QStringList BackupVerifier::report(const Result &r)
{
    const QString unchecked =
        QStringLiteral("Backup check: %1, so the backup cannot be checked and is not complete.");
    const bool links = r.refusedList == List::Links;
    const QString list = links ? QStringLiteral("the list of the device's links")
                               : QStringLiteral("the list of the device's files");
    switch (r.refused) {
    case Refusal::None: break;
    case Refusal::Missing: return {unchecked.arg(list + QStringLiteral(" did not arrive"))};
    case Refusal::TooLarge:
        return {unchecked.arg(list
                              + QStringLiteral(" is larger than %1 MB, more than any device lists")
                                    .arg(kLargestRecord / (1024 * 1024)))};
    case Refusal::Unreadable:
        return {unchecked.arg(
            list
            + (links ? QStringLiteral(" holds a line that cannot be read (longer than %1 bytes, "
                                      "a length that does not fit its name, or one name with "
                                      "two targets)")
                     : QStringLiteral(" holds a line that cannot be read (longer than %1 bytes, "
                                      "a size that is not a number or too large, or one name "
                                      "with two sizes)"))
                  .arg(kLongestLine))};
    case Refusal::Cut:
        return {unchecked.arg(list + QStringLiteral(" is cut short (its end line is missing)"))};
    case Refusal::Count:
        return {unchecked.arg(
            list + QStringLiteral(" does not hold as many entries as its end line states"))};
    case Refusal::Outside:
        return {unchecked.arg(list
                              + (links ? QStringLiteral(" names a link outside the backup")
                                       : QStringLiteral(" names a file outside the backup")))};
    }
    QStringList lines;
    if (r.complete())
        lines << QStringLiteral("Backup check: %1 arrived, every file with the size the device "
                                "listed.")
                     .arg(amount(r.files, r.bytes));
    else
        lines << QStringLiteral("Backup check: the backup is NOT complete. The device listed %1; "
                                "%2 did not arrive and %3 arrived with another size.")
                     .arg(amount(r.files, r.bytes))
                     .arg(r.missing.size())
                     .arg(r.wrongSize.size());
    for (const QString &path : r.missing.mid(0, 5))
        lines << QStringLiteral("  missing: ") + path;
    for (const QString &path : r.wrongSize.mid(0, 5))
        lines << QStringLiteral("  size differs: ") + path;
    if (!r.notListed.isEmpty())
        lines << QStringLiteral("Backup check: %1 file(s) could not be checked, because a line "
                                "break in the name cannot be listed:")
                     .arg(r.notListed.size());
    for (const QString &path : r.notListed)
        lines << QStringLiteral("  not checked: ") + path;
    if (r.links > 0)
        lines << QStringLiteral("Backup check: the device listed %1 link(s) with their targets; "
                                "a restore makes them again.")
                     .arg(r.links);
    if (!r.linksNotListed.isEmpty())
        lines << QStringLiteral("Backup check: %1 link(s) cannot be made again by a restore, "
                                "because a line break in the target cannot be listed:")
                     .arg(r.linksNotListed.size());
    for (const QString &path : r.linksNotListed)
        lines << QStringLiteral("  link not listed: ") + path;
    return lines;
}

QString BackupVerifier::outcomeLine(const Result &r)
{
    static const char *const kReasons[] = {"",    "missing", "toolarge", "unreadable",
                                           "cut", "count",   "outside"};
    if (r.refused != Refusal::None)
        return QStringLiteral("unchecked ") + QLatin1String(kReasons[int(r.refused)]);
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(r.complete() ? QStringLiteral("verified") : QStringLiteral("incomplete"))
        .arg(r.files)
        .arg(r.bytes)
        .arg(r.missing.size())
        .arg(r.wrongSize.size())
        .arg(r.notListed.size());
}

} // namespace jobs
