#include "jobs/BackupVerifier.h"

#include "platform/Platform.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace jobs {

const QString BackupVerifier::kSizesRecord = QStringLiteral("root/Library/Zorvane/file-sizes.txt");

namespace {

using platform::FileSystem;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane file sizes 1");
const QByteArray kEnd = QByteArrayLiteral("# end ");
const QByteArray kNotListed = QByteArrayLiteral("# not listed: ");
const QList<QByteArray> kTrees{QByteArrayLiteral("Applications"), QByteArrayLiteral("mobile"),
                               QByteArrayLiteral("root")};

// A path inside one of the three trees: "TREE/NAME/..." whose every part is a
// name (not empty, not "." or ".."). "\" is a letter here, as on the device.
bool inATree(const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('/');
    if (parts.size() < 2 || !kTrees.contains(parts.first()))
        return false;
    for (const QByteArray &part : parts) {
        if (part.isEmpty() || part == "." || part == "..")
            return false;
    }
    return true;
}

// A number of decimal digits only, without overflow.
bool readCount(const QByteArray &digits, qint64 *value)
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

struct Listed {
    QList<QByteArray> paths; // in the order listed, each once
    QHash<QByteArray, qint64> sizes;
};

// Reads the record's lines; refuses a record that is not whole or not readable.
BackupVerifier::Refusal parse(const QByteArray &content, Listed *listed, BackupVerifier::Result *r)
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
        const QByteArray line = content.mid(at, eol - at);
        at = eol + 1;
        if (first) {
            if (line != kHeader)
                return Refusal::Unreadable;
            first = false;
            continue;
        }
        if (endCount >= 0)
            return Refusal::Unreadable; // nothing may follow the end line
        if (line.startsWith(kEnd)) {
            if (!readCount(line.mid(kEnd.size()), &endCount))
                return Refusal::Unreadable;
            continue;
        }
        if (line.startsWith(kNotListed)) {
            r->notListed << BackupVerifier::printable(line.mid(kNotListed.size()));
            continue;
        }
        if (line.startsWith('#'))
            continue;
        const qsizetype blank = line.indexOf(' ');
        qint64 size = 0;
        if (blank <= 0 || !readCount(line.left(blank), &size))
            return Refusal::Unreadable;
        const QByteArray path = line.mid(blank + 1);
        if (!inATree(path))
            return Refusal::Outside;
        ++entries;
        const auto seen = listed->sizes.constFind(path);
        if (seen != listed->sizes.cend()) {
            if (*seen != size)
                return Refusal::Unreadable; // one name, two sizes
            continue;
        }
        if (r->bytes > std::numeric_limits<qint64>::max() - size)
            return Refusal::Unreadable;
        r->bytes += size;
        ++r->files;
        listed->sizes.insert(path, size);
        listed->paths << path;
    }
    if (first)
        return Refusal::Unreadable;
    if (endCount < 0)
        return Refusal::Cut;
    return endCount == entries ? Refusal::None : Refusal::Count;
}

// Whether every folder above the path is a real folder of the backup (no
// link that could lead elsewhere); folders found are remembered.
bool foldersAbove(const QByteArray &path, const FileSystem &files, QSet<QByteArray> *known)
{
    for (qsizetype slash = path.indexOf('/'); slash > 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray folder = path.left(slash);
        if (known->contains(folder))
            continue;
        if (files.entryAt(folder, nullptr) != FileSystem::Entry::Folder)
            return false;
        known->insert(folder);
    }
    return true;
}

} // namespace

BackupVerifier::Result BackupVerifier::check(const QString &sizesRecord)
{
    Result r;
    const FileSystem &files = platform::Platform::files();
    const qint64 recordBytes = files.fileSize(sizesRecord);
    if (recordBytes < 0)
        return r;
    // Measured before it is read: a hostile record must not cost minutes and gigabytes.
    QByteArray content;
    if (recordBytes > kLargestRecord) {
        r.refused = Refusal::TooLarge;
        return r;
    }
    if (!files.readFile(sizesRecord, &content, nullptr))
        return r;
    if (content.size() > kLargestRecord) { // grew after it was measured
        r.refused = Refusal::TooLarge;
        return r;
    }
    Listed listed;
    r.refused = parse(content, &listed, &r);
    if (r.refused != Refusal::None) {
        r.files = r.bytes = 0;
        return r;
    }
    QSet<QByteArray> folders;
    for (const QByteArray &path : listed.paths) {
        qint64 local = -1;
        if (!foldersAbove(path, files, &folders)
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
    switch (r.refused) {
    case Refusal::None: break;
    case Refusal::Missing:
        return {unchecked.arg(QStringLiteral("the list of the device's files did not arrive"))};
    case Refusal::TooLarge:
        return {unchecked.arg(QStringLiteral("the list of the device's files is larger than "
                                             "%1 MB, more than any device lists")
                                  .arg(kLargestRecord / (1024 * 1024)))};
    case Refusal::Unreadable:
        return {unchecked.arg(QStringLiteral("the list of the device's files holds a line that "
                                             "cannot be read (longer than %1 bytes, a size that "
                                             "is not a number or too large, or one name with "
                                             "two sizes)")
                                  .arg(kLongestLine))};
    case Refusal::Cut:
        return {unchecked.arg(
            QStringLiteral("the list of the device's files is cut short (its end line is "
                           "missing)"))};
    case Refusal::Count:
        return {unchecked.arg(QStringLiteral("the list of the device's files does not hold as "
                                             "many entries as its end line states"))};
    case Refusal::Outside:
        return {unchecked.arg(QStringLiteral("the list of the device's files names a file "
                                             "outside the backup"))};
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
