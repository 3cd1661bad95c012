#include "jobs/QuickRepeat.h"

#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/JobProgress.h"
#include "jobs/ProgressText.h"
#include "jobs/TreePaths.h"
#include "platform/Platform.h"

#include <QFile>
#include <QSet>

namespace jobs {

const QString QuickRepeat::kFetchedList = QStringLiteral("states.txt");
const QString QuickRepeat::kFetchList = QStringLiteral("fetch.lst");
const QByteArray QuickRepeat::kKeptList = QByteArrayLiteral("root/Library/Zorvane/states.txt");

namespace {

using platform::FileSystem;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane states 1");
const QByteArray kListed = QByteArrayLiteral("# listed ");
const QByteArray kBreaks = QByteArrayLiteral("# line breaks ");
const QByteArray kEnd = QByteArrayLiteral("# end ");
// The records the backup makes on the device after the listing: always sent.
const QByteArray kRecordFolder = QByteArrayLiteral("root/Library/Zorvane");

FileSystem &files() { return platform::Platform::files(); }

bool number(const QByteArray &text, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && !text.isEmpty() && text.size() <= 20;
}

// "SIZE MSECONDS CSECONDS MODIFIED(3) CHANGED(3) INODE PATH" of a file.
bool parseFile(const QByteArray &rest, QuickRepeat::Entry *e, QByteArray *path)
{
    qsizetype at = 0;
    QList<QByteArray> words;
    for (int i = 0; i < 10; ++i) {
        const qsizetype blank = rest.indexOf(' ', at);
        if (blank <= at)
            return false;
        words << rest.mid(at, blank - at);
        at = blank + 1;
    }
    qint64 inode = 0;
    if (!number(words[0], &e->size) || e->size < 0 || !number(words[1], &e->modified)
        || !number(words[2], &e->changed) || !number(words[9], &inode))
        return false;
    e->state = rest.left(at - 1);
    *path = rest.mid(at);
    return true;
}

bool pathOfATree(const QByteArray &path)
{
    return treepaths::inATree(path) || backupTreeNames().contains(path);
}

QByteArray under(const QString &folder, const QByteArray &path)
{
    return QFile::encodeName(folder) + '/' + path;
}


} // namespace

QuickRepeat::Listing QuickRepeat::parse(const QByteArray &text)
{
    Listing l;
    if (!text.endsWith('\n'))
        return l;
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    if (lines.size() < 3 || lines.first() != kHeader || !lines[1].startsWith(kListed)
        || !number(lines[1].mid(kListed.size()), &l.listedAt) || !lines.last().startsWith(kEnd))
        return l;
    qint64 count = 0, entries = 0;
    if (!BackupVerifier::readCount(lines.last().mid(kEnd.size()), &count))
        return l;
    for (qsizetype i = 2; i + 1 < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.startsWith(kBreaks)) {
            qint64 n = 0;
            if (!number(line.mid(kBreaks.size()), &n) || n < 0)
                return l;
            l.lineBreaks += n;
            continue;
        }
        if (line.startsWith('#'))
            continue;
        ++entries;
        if (line.size() < 3 || line[1] != ' ' || !QByteArray("fdlox").contains(line[0]))
            return l;
        Entry e;
        e.type = line[0];
        QByteArray path = line.mid(2);
        if (e.type == 'f' && !parseFile(path, &e, &path))
            return l;
        // A name no tree can hold, or listed twice, spoils the whole list.
        if (!pathOfATree(path) || l.entries.contains(path))
            return l;
        l.entries.insert(path, e);
    }
    l.whole = entries == count;
    return l;
}

bool QuickRepeat::unchanged(const Entry &now, const Entry &before, qint64 beforeListedAt)
{
    if (now.type != 'f' || before.type != 'f' || now.state != before.state)
        return false;
    const qint64 edge = beforeListedAt - kSameSecondMargin;
    return now.modified < edge && now.changed < edge;
}

QuickRepeat::Plan QuickRepeat::plan(const QString &staging, const QString &previous)
{
    Plan p;
    const auto read = [](const QString &file, Listing *l) {
        QByteArray content;
        if (BackupVerifier::readRecord(file, &content) != BackupVerifier::Refusal::None
            || !BackupVerifier::linesWithinLimit(content))
            return false;
        *l = parse(content);
        return l->whole;
    };
    Listing now, before;
    if (!read(staging + QLatin1Char('/') + kFetchedList, &now)) {
        p.reason = QStringLiteral("the device's list of its files did not arrive whole");
        return p;
    }
    if (!read(previous + QLatin1Char('/') + QString::fromLatin1(kKeptList), &before)) {
        p.reason = QStringLiteral("the previous backup holds no whole list of its files");
        return p;
    }
    if (now.lineBreaks > 0) {
        p.reason = QStringLiteral("%1 names on the device hold a line break").arg(now.lineBreaks);
        return p;
    }
    const QByteArray root = QFile::encodeName(staging);
    const QByteArray old = QFile::encodeName(previous);
    QSet<QByteArray> fetch;
    QSet<QByteArray> knownOld;
    for (auto it = now.entries.cbegin(); it != now.entries.cend(); ++it) {
        const QByteArray &path = it.key();
        const Entry &e = it.value();
        switch (e.type) {
        case 'd':
            if (!treepaths::makeFolders(root, path, true)) {
                p.reason = QStringLiteral("the folder %1 could not be made in %2")
                               .arg(BackupVerifier::printable(path), staging);
                return p;
            }
            break;
        case 'f': {
            const auto b = before.entries.constFind(path);
            qint64 size = -1;
            if (b != before.entries.cend() && unchanged(e, *b, before.listedAt)
                && treepaths::foldersAbove(under(previous, path), files(), &knownOld)
                && files().entryAt(old + '/' + path, &size) == FileSystem::Entry::File
                && size == e.size && treepaths::makeFolders(root, path, false)
                && files().linkOrCopy(old + '/' + path, root + '/' + path)) {
                ++p.linkedFiles;
                p.linkedBytes += e.size;
                break;
            }
            fetch.insert(path);
            ++p.fetchFiles;
            p.fetchBytes += e.size;
            break;
        }
        case 'l':
        case 'x': fetch.insert(path); break;
        default: break; // set aside while the backup copies, listed as special entries
        }
    }
    fetch.insert(kRecordFolder);
    QList<QByteArray> sorted(fetch.cbegin(), fetch.cend());
    std::sort(sorted.begin(), sorted.end());
    QByteArray list;
    for (const QByteArray &path : sorted)
        list += path + '\0';
    QString error;
    if (!files().writeFile(staging + QLatin1Char('/') + kFetchList, list, &error)) {
        p.reason = QStringLiteral("the list of what to fetch could not be written (%1)").arg(error);
        return p;
    }
    p.fetch = sorted;
    p.possible = true;
    return p;
}

QStringList QuickRepeat::report(const Plan &plan)
{
    if (!plan.possible)
        return {QStringLiteral("Copying the whole device instead: %1.").arg(plan.reason)};
    return {JobProgress::quickTotalsLine(plan.fetchFiles, plan.fetchBytes),
            QStringLiteral("%1 unchanged since the last backup are linked from it.")
                .arg(BackupVerifier::amount(plan.linkedFiles, plan.linkedBytes))};
}

QString QuickRepeat::refusal(const QString &deviceRecord)
{
    FileSystem &f = files();
    if (f.exists(kPreviousBackupFolder))
        return QStringLiteral("an earlier backup was interrupted");
    if (!f.exists(QStringLiteral("mobile")) || !f.exists(QStringLiteral("root"))
        || f.exists(kIncompleteMark))
        return QStringLiteral("there is no complete backup here yet");
    if (deviceRecord.isEmpty() || DeviceIdentity::ofBackup() != deviceRecord)
        return QStringLiteral("the backup here does not say it comes from this device");
    if (f.entryAt(kKeptList, nullptr) != FileSystem::Entry::File)
        return QStringLiteral("the backup here holds no list of its files to compare with");
    return QString();
}

} // namespace jobs
