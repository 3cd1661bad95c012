#include "jobs/BackupHashes.h"
#include "jobs/BackupNames.h"
#include "jobs/ProgressText.h"
#include "jobs/TreePaths.h"
#include "platform/ContentHash.h"
#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <limits>

namespace jobs {

const QString BackupHashes::kRecord = QStringLiteral("root/Library/Zorvane/file-hashes.txt");

namespace {

using platform::FileSystem;
using Refusal = BackupHashes::Refusal;
using Entry = BackupHashes::Entry;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane file hashes 1");
const QByteArray kSizesHeader = QByteArrayLiteral("# Zorvane file sizes 1");
const QByteArray kFor = QByteArrayLiteral("# for file-sizes.txt ");
const QByteArray kEnd = QByteArrayLiteral("# end ");
const QList<QByteArray> &kTrees = backupTreeNames();
constexpr qint64 kChunk = 4 * 1024 * 1024;

// A path inside one of the three trees whose every part is a name.
bool inATree(const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('/');
    if (parts.size() < 2 || !kTrees.contains(parts.first()))
        return false;
    return std::none_of(parts.begin(), parts.end(), [](const QByteArray &part) {
        return part.isEmpty() || part == "." || part == "..";
    });
}

bool readCount(const QByteArray &digits, qint64 *value)
{
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    *value = digits.toLongLong();
    return true;
}

bool isHash(const QByteArray &hex)
{
    return hex.size() == 64 && std::all_of(hex.begin(), hex.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// Reads either list: the header, for a list of contents the line that binds
// it to its sizes record, entries, comments and the end line, refusing a list
// that is not whole or holds a line that cannot be read.
Refusal readList(const QByteArray &content, bool hashes, const QByteArray &sizesHash,
                 QList<Entry> *entries, bool *otherBackup)
{
    const qsizetype longest = hashes ? BackupHashes::kLongestLine : BackupVerifier::kLongestLine;
    QHash<QByteArray, qsizetype> seen;
    qint64 lines = 0, endCount = -1, total = 0;
    int at = 0;
    for (qsizetype from = 0; from < content.size(); ++at) {
        const qsizetype eol = content.indexOf('\n', from);
        if (eol < 0)
            return Refusal::Cut;
        if (eol - from > longest)
            return Refusal::Unreadable;
        const QByteArray line = content.mid(from, eol - from);
        from = eol + 1;
        if (at == 0) {
            if (line != (hashes ? kHeader : kSizesHeader))
                return Refusal::Unreadable;
            continue;
        }
        if (hashes && at == 1) {
            if (!line.startsWith(kFor) || !isHash(line.mid(kFor.size())))
                return Refusal::Unreadable;
            if (line.mid(kFor.size()) != sizesHash) {
                if (otherBackup)
                    *otherBackup = true;
                return Refusal::Unreadable;
            }
            continue;
        }
        if (endCount >= 0)
            return Refusal::Unreadable; // nothing may follow the end line
        if (line.startsWith(kEnd)) {
            if (!readCount(line.mid(kEnd.size()), &endCount))
                return Refusal::Unreadable;
            continue;
        }
        if (line.startsWith('#'))
            continue;
        Entry e;
        const qsizetype blank = line.indexOf(' ');
        if (blank <= 0 || !readCount(line.left(blank), &e.size))
            return Refusal::Unreadable;
        qsizetype pathAt = blank + 1;
        if (hashes) {
            e.hash = line.mid(pathAt, 64);
            if (!isHash(e.hash) || line.mid(pathAt + 64, 1) != " ")
                return Refusal::Unreadable;
            pathAt += 65;
        }
        e.path = line.mid(pathAt);
        if (!inATree(e.path))
            return Refusal::Outside;
        ++lines;
        const auto known = seen.constFind(e.path);
        if (known != seen.cend()) {
            const Entry &first = entries->at(*known);
            if (first.size != e.size || first.hash != e.hash)
                return Refusal::Unreadable; // one name, two sizes or contents
            continue;
        }
        if (total > std::numeric_limits<qint64>::max() - e.size)
            return Refusal::Unreadable;
        total += e.size;
        seen.insert(e.path, entries->size());
        entries->append(e);
    }
    if (at < (hashes ? 2 : 1))
        return at == 0 ? Refusal::Unreadable : Refusal::Cut;
    if (endCount < 0)
        return Refusal::Cut;
    return endCount == lines ? Refusal::None : Refusal::Count;
}


// A list measured before it is read.
Refusal readBounded(const QString &path, qint64 largest, QByteArray *content)
{
    const FileSystem &files = platform::Platform::files();
    const qint64 bytes = files.fileSize(path);
    if (bytes < 0)
        return files.exists(path) ? Refusal::Unreadable : Refusal::Missing;
    if (bytes > largest)
        return Refusal::TooLarge;
    if (!files.readFile(path, content, nullptr))
        return Refusal::Unreadable;
    return content->size() > largest ? Refusal::TooLarge : Refusal::None;
}

QByteArray sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// Reads the files of the list one after the other, hashing them when asked,
// and reports each as it goes.
class Reader {
public:
    Reader(const QList<Entry> &entries, const BackupHashes::Progress &progress)
        : m_progress(progress)
    {
        for (const Entry &e : entries)
            m_totalBytes += e.size;
        m_totalFiles = entries.size();
        report();
    }
    // The file's bytes and hash; false when it cannot be read.
    bool read(const QByteArray &path, qint64 *bytes, QByteArray *hash)
    {
        platform::ContentHash h;
        *bytes = 0;
        const bool ok = m_files.readChunks(path, kChunk, [&](const QByteArray &piece) {
            h.add(piece);
            *bytes += piece.size();
            m_bytes += piece.size();
            report();
            return true;
        });
        *hash = h.hex();
        return ok;
    }
    void done(qint64 listedSize, qint64 readBytes)
    {
        // What was not read counts as done: the figures reach their totals.
        m_bytes += std::max<qint64>(0, listedSize - readBytes);
        ++m_doneFiles;
        report();
    }

private:
    void report()
    {
        if (m_progress)
            m_progress(m_doneFiles, std::min(m_bytes, m_totalBytes), m_totalFiles, m_totalBytes);
    }
    const FileSystem &m_files = platform::Platform::files();
    const BackupHashes::Progress &m_progress;
    qint64 m_doneFiles = 0, m_bytes = 0, m_totalFiles = 0, m_totalBytes = 0;
};

QString listWords(const BackupHashes::Check &c)
{
    if (c.otherBackup)
        return QStringLiteral("was made for another list of its files (file-sizes.txt has changed "
                              "since the backup was made)");
    switch (c.refused) {
    case Refusal::None: break;
    case Refusal::Missing: return QStringLiteral("is missing");
    case Refusal::TooLarge: return QStringLiteral("is larger than any backup's list");
    case Refusal::Unreadable: return QStringLiteral("holds a line that cannot be read");
    case Refusal::Cut: return QStringLiteral("is cut short (its end line is missing)");
    case Refusal::Count:
        return QStringLiteral("does not hold as many files as its end line states");
    case Refusal::Outside: return QStringLiteral("names a file outside the backup");
    }
    return QString();
}

QString listName(const BackupHashes::Check &c)
{
    return c.sizesRefused
               ? QStringLiteral("list of its files (%1)").arg(BackupVerifier::kSizesRecord)
               : QStringLiteral("list of its contents (%1)").arg(BackupHashes::kRecord);
}

// Where to put an older copy: the working folder, named by its path.
QString advice()
{
    return QStringLiteral("Back up your device again to make a new backup, or, if you keep an "
                          "older copy of the backup, put it in place in Zorvane's working folder "
                          "\"%1\" and restore that.")
        .arg(platform::Platform::app().workFolder());
}

} // namespace

Refusal BackupHashes::parse(const QByteArray &content, const QByteArray &sizesHash,
                            QList<Entry> *entries, bool *otherBackup)
{
    return readList(content, true, sizesHash, entries, otherBackup);
}

Refusal BackupHashes::parseSizes(const QByteArray &content, QList<Entry> *entries)
{
    return readList(content, false, QByteArray(), entries, nullptr);
}

bool BackupHashes::record(QStringList *unreadable, QString *error, const Progress &progress)
{
    FileSystem &files = platform::Platform::files();
    const QString fresh = kRecord + QStringLiteral(".new");
    // A list that came with the copy is the device's, not this check's.
    for (const QString &old : {kRecord, fresh}) {
        if (files.entryAt(QFile::encodeName(old), nullptr) != FileSystem::Entry::None
            && !files.removeTree(old)) {
            *error = QStringLiteral("%1 cannot be removed").arg(old);
            return false;
        }
    }
    QByteArray sizes;
    QList<Entry> entries;
    if (BackupVerifier::readRecord(BackupVerifier::kSizesRecord, &sizes) != Refusal::None
        || parseSizes(sizes, &entries) != Refusal::None) {
        *error = QStringLiteral("the list of the device's files cannot be read");
        return false;
    }
    QByteArray list = kHeader + '\n' + kFor + sha256(sizes) + '\n';
    Reader reader(entries, progress);
    QSet<QByteArray> folders;
    for (const Entry &e : entries) {
        qint64 bytes = 0;
        QByteArray hash;
        if (!treepaths::foldersAbove(e.path, files, &folders)
            || !reader.read(e.path, &bytes, &hash) || bytes != e.size)
            *unreadable << BackupVerifier::printable(e.path);
        reader.done(e.size, bytes);
        list += QByteArray::number(e.size) + ' ' + hash + ' ' + e.path + '\n';
    }
    if (!unreadable->isEmpty()) {
        *error = QStringLiteral("%1 file(s) could not be read back").arg(unreadable->size());
        return false;
    }
    list += kEnd + QByteArray::number(entries.size()) + '\n';
    QString why;
    if (!files.writeFile(fresh, list, &why) || !files.rename(fresh, kRecord)) {
        files.deleteFile(fresh);
        *error = why.isEmpty() ? QStringLiteral("%1 cannot be put in place").arg(kRecord) : why;
        return false;
    }
    return true;
}

QString BackupHashes::Finding::describe() const
{
    using progresstext::grouped;
    switch (kind) {
    case Kind::Missing:
        return QStringLiteral("%1 is missing; it was %2 bytes when it was backed up")
            .arg(path, grouped(listed));
    case Kind::Size:
        return QStringLiteral("%1 is %2 bytes; it was %3 when it was backed up")
            .arg(path, grouped(size), grouped(listed));
    case Kind::Content:
        return QStringLiteral("%1 has other content than when it was backed up (the same %2 "
                              "bytes)")
            .arg(path, grouped(size));
    }
    return path;
}

BackupHashes::Check BackupHashes::check(const Progress &progress)
{
    Check c;
    const FileSystem &files = platform::Platform::files();
    QByteArray sizes;
    QList<Entry> entries;
    c.refused = readBounded(BackupVerifier::kSizesRecord, BackupVerifier::kLargestRecord, &sizes);
    QByteArray contents;
    const Refusal hashList = readBounded(kRecord, kLargestRecord, &contents);
    if (c.refused == Refusal::None && hashList == Refusal::Missing) {
        c.by = Check::By::Sizes;
        c.refused = parseSizes(sizes, &entries);
    }
    if (c.refused != Refusal::None) {
        c.sizesRefused = true;
        return c;
    }
    if (c.by == Check::By::Content) {
        c.refused = hashList;
        if (c.refused == Refusal::None)
            c.refused = parse(contents, sha256(sizes), &entries, &c.otherBackup);
        if (c.refused != Refusal::None)
            return c;
    }
    Reader reader(entries, progress);
    QSet<QByteArray> folders;
    for (const Entry &e : entries) {
        Finding f;
        f.path = BackupVerifier::printable(e.path);
        f.listed = e.size;
        qint64 bytes = 0;
        QByteArray hash;
        if (!treepaths::foldersAbove(e.path, files, &folders)
            || files.entryAt(e.path, &f.size) != FileSystem::Entry::File) {
            c.changed << f;
        } else if (f.size != e.size) {
            f.kind = Finding::Kind::Size;
            c.changed << f;
        } else if (c.by == Check::By::Content) {
            if (!reader.read(e.path, &bytes, &hash) || bytes != e.size) {
                f.kind = Finding::Kind::Size;
                f.size = bytes;
                c.changed << f;
            } else if (hash != e.hash) {
                f.kind = Finding::Kind::Content;
                c.changed << f;
            }
        }
        reader.done(e.size, bytes);
        ++c.files;
        c.bytes += e.size;
    }
    return c;
}

QString BackupHashes::progressLine(qint64 files, qint64 bytes, qint64 totalFiles, qint64 totalBytes)
{
    return QStringLiteral("Checking your backup on this computer: %1 of %2 MB, %3 of %4 files...")
        .arg(QString::number(double(bytes) / 1e6, 'f', 1),
             QString::number(double(totalBytes) / 1e6, 'f', 1), progresstext::grouped(files),
             progresstext::grouped(totalFiles));
}

QStringList BackupHashes::report(const Check &c)
{
    if (c.refused != Refusal::None || c.otherBackup)
        return {QStringLiteral("Nothing was sent: your backup's %1 %2, so the backup cannot be "
                               "checked.")
                    .arg(listName(c), listWords(c)),
                advice()};
    const QString amount = BackupVerifier::amount(c.files, c.bytes);
    if (c.passed() && c.by == Check::By::Content)
        return {QStringLiteral("Backup check before sending: %1, every file as it was when it was "
                               "backed up.")
                    .arg(amount)};
    if (c.passed())
        return {QStringLiteral("Backup check before sending: %1, every file with the size it had "
                               "when it was backed up.")
                    .arg(amount),
                QStringLiteral("This backup was made before Zorvane recorded its files' contents, "
                               "so it could not be checked by content, only by size.")};
    QStringList lines{QStringLiteral("Nothing was sent: your backup has changed since it was "
                                     "backed up; %1 of its %2 files are not as they were:")
                          .arg(c.changed.size())
                          .arg(c.files)};
    constexpr int kShown = 20;
    for (const Finding &f : c.changed.mid(0, kShown))
        lines << QStringLiteral("  ") + f.describe();
    if (c.changed.size() > kShown)
        lines << QStringLiteral("  and %1 more").arg(c.changed.size() - kShown);
    lines << advice();
    return lines;
}

QStringList BackupHashes::notes(const Check &c)
{
    if (c.passed())
        return {};
    if (c.refused != Refusal::None || c.otherBackup)
        return {QStringLiteral("failed checking your backup on this computer before sending: its "
                               "%1 %2")
                    .arg(listName(c), listWords(c))};
    QStringList lines{QStringLiteral("failed checking your backup on this computer before "
                                     "sending: %1 of its files are not as they were when it was "
                                     "backed up")
                          .arg(c.changed.size())};
    constexpr int kNoted = 10;
    for (const Finding &f : c.changed.mid(0, kNoted))
        lines << QStringLiteral("damaged ") + f.describe();
    if (c.changed.size() > kNoted)
        lines << QStringLiteral("damaged and %1 more").arg(c.changed.size() - kNoted);
    return lines;
}

} // namespace jobs
