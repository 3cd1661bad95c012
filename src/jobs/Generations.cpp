#include "jobs/Generations.h"

#include "jobs/BackupAmount.h"
#include "jobs/BackupHashes.h"
#include "jobs/BackupVerifier.h"
#include "jobs/BackupNames.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/TreePaths.h"
#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <algorithm>

namespace jobs {

const QString Generations::kFolder = QStringLiteral("Generations");
const QString Generations::kRecordName = QStringLiteral("generation.txt");
const QString Generations::kNoLinksMark = QStringLiteral("NoGenerations.txt");

namespace {

using platform::FileSystem;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane generation 1");
const QString kNewPrefix = QStringLiteral(".new-");
const QString kRemovingPrefix = QStringLiteral(".removing-");
const QString kSizes = QStringLiteral("root/Library/Zorvane/file-sizes.txt");

FileSystem &files()
{
    return platform::Platform::files();
}

QString inFolder(const QString &name)
{
    return Generations::kFolder + QLatin1Char('/') + name;
}

QByteArray bytes(const QString &path)
{
    return path.toUtf8();
}

// The backup's files by path, from its list of contents; `root` is where the
// backup lies ("" in place). False when the list is missing or not whole.
bool contents(const QString &root, QHash<QByteArray, BackupHashes::Entry> *out)
{
    QByteArray sizes, hashes;
    if (BackupVerifier::readRecord(root + kSizes, &sizes) != BackupVerifier::Refusal::None
        || BackupVerifier::readRecord(root + BackupHashes::kRecord, &hashes)
               != BackupVerifier::Refusal::None)
        return false;
    QList<BackupHashes::Entry> entries;
    const QByteArray sizesHash = QCryptographicHash::hash(sizes, QCryptographicHash::Sha256).toHex();
    if (BackupHashes::parse(hashes, sizesHash, &entries) != BackupVerifier::Refusal::None)
        return false;
    for (const BackupHashes::Entry &e : entries)
        out->insert(e.path, e);
    return true;
}

// When the backup at `root` was made: when its check wrote its list of
// contents (or, for an older backup, its sizes record arrived).
qint64 madeAt(const QString &root)
{
    const qint64 hashed = files().modifiedAt(bytes(root + BackupHashes::kRecord));
    return hashed >= 0 ? hashed : files().modifiedAt(bytes(root + kSizes));
}

QString folderName(qint64 made)
{
    const QString stamp =
        QDateTime::fromSecsSinceEpoch(made, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
    QString name = stamp;
    for (int n = 2; files().exists(inFolder(name)) || files().exists(inFolder(kNewPrefix + name));
         ++n)
        name = stamp + QLatin1Char('-') + QString::number(n);
    return name;
}

// The record of the backup lying at `root`, written beside it as a new file.
bool writeRecord(const QString &root, qint64 made)
{
    const BackupAmount amount =
        BackupAmount::of(root.isEmpty() ? QStringLiteral(".") : root.chopped(1));
    QByteArray device;
    files().readPart(root + kBackupDeviceRecord, 0, 4096, &device);
    device = device.trimmed();
    if (device.contains('\n') || device.contains('\r'))
        device.clear();
    QByteArray text = kHeader + "\nmade " + QByteArray::number(made) + "\nfiles "
                      + QByteArray::number(amount.files) + "\nbytes "
                      + QByteArray::number(amount.bytes) + '\n';
    if (!device.isEmpty())
        text += "device " + device + '\n';
    const QString record = root + Generations::kRecordName;
    QString error;
    files().deleteFile(record + QStringLiteral(".new"));
    return files().writeFile(record + QStringLiteral(".new"), text, &error)
           && files().rename(record + QStringLiteral(".new"), record);
}

bool readRecord(const QString &folder, Generations::Generation *g)
{
    QByteArray text;
    if (!files().readPart(inFolder(folder) + QLatin1Char('/') + Generations::kRecordName, 0, 8192,
                          &text))
        return false;
    const QList<QByteArray> lines = text.split('\n');
    if (lines.value(0) != kHeader)
        return false;
    g->folder = folder;
    bool made = false;
    for (const QByteArray &line : lines) {
        const QByteArray word = line.left(line.indexOf(' '));
        const QByteArray rest = line.mid(word.size() + 1);
        if (word == "made")
            g->made = rest.toLongLong(&made);
        else if (word == "files")
            g->files = rest.toLongLong();
        else if (word == "bytes")
            g->bytes = rest.toLongLong();
        else if (word == "device")
            g->device = QString::fromUtf8(rest);
    }
    return made;
}

// A backup moved into ".new-NAME" becomes the generation NAME: the marks of
// the step that set it aside go, its record is written, then one rename.
bool finishNew(const QString &staged, const QString &name, qint64 made)
{
    const QString root = inFolder(staged) + QLatin1Char('/');
    for (const QString &mark : {QStringLiteral("saved.txt"), QStringLiteral("putback.txt")}) {
        if (files().exists(root + mark))
            files().deleteFile(root + mark);
    }
    return writeRecord(root, made) && files().rename(inFolder(staged), inFolder(name));
}

// Whether hard links can be made in Generations.
FileSystem::Link probeLinks()
{
    const QByteArray probe = bytes(inFolder(QStringLiteral(".probe")));
    const QByteArray second = probe + "-link";
    files().deleteFileAt(second);
    QString error;
    if (!files().writeFile(QString::fromUtf8(probe), QByteArray(), &error))
        return FileSystem::Link::Failed;
    const FileSystem::Link made = files().hardLink(probe, second);
    files().deleteFileAt(second);
    files().deleteFileAt(probe);
    return made;
}

// Makes each file of the newest backup that is the same as the generation's
// copy (same path, size and content hash in both lists, and the same bytes)
// a link to that copy: a link under a new name first, then one rename over
// the file. A path that leaves its tree or passes a link is left alone.
void linkUnchanged(const QString &generation, Generations::Kept *kept)
{
    QHash<QByteArray, BackupHashes::Entry> newest, older;
    if (!contents(QString(), &newest) || !contents(inFolder(generation) + QLatin1Char('/'), &older))
        return;
    const QByteArray root = bytes(inFolder(generation)) + '/';
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        const QByteArray &path = it.key();
        const auto was = older.constFind(path);
        if (was == older.cend() || was->size != it->size || was->hash != it->hash
            || !treepaths::inATree(path))
            continue;
        const QByteArray copy = root + path;
        qint64 size = -1, copySize = -1;
        if (!treepaths::wayIsFolders(path, false) || !treepaths::wayIsFolders(copy, false)
            || files().entryAt(path, &size) != FileSystem::Entry::File
            || files().entryAt(copy, &copySize) != FileSystem::Entry::File || size != it->size
            || copySize != size)
            continue;
        // A quick repeat linked it already: it is shared all the same.
        if (files().sameFile(path, copy)) {
            ++kept->linked;
            kept->linkedBytes += size;
            continue;
        }
        if (!files().sameContent(path, copy))
            continue;
        const QByteArray link = path + ".zorvane-link";
        files().deleteFileAt(link);
        if (files().hardLink(copy, link) != FileSystem::Link::Made)
            continue;
        if (files().replaceFileAt(link, path)) {
            ++kept->linked;
            kept->linkedBytes += size;
        } else {
            files().deleteFileAt(link);
        }
    }
}

void removeOldest(int keep, Generations::Kept *kept)
{
    QList<Generations::Generation> all = Generations::list();
    // The newest backup, in place, is one of those kept.
    while (all.size() > std::max(0, keep - 1)) {
        const QString name = all.takeFirst().folder;
        const QString removing = inFolder(kRemovingPrefix + name);
        if (!files().rename(inFolder(name), removing))
            break;
        files().removeTree(removing);
        kept->removed << name;
    }
}

} // namespace

QList<Generations::Generation> Generations::list()
{
    QList<QByteArray> names;
    QList<Generation> all;
    if (!files().folderNames(bytes(kFolder), &names))
        return all;
    for (const QByteArray &n : names) {
        const QString name = QString::fromUtf8(n);
        Generation g;
        if (!name.startsWith(QLatin1Char('.')) && readRecord(name, &g))
            all << g;
    }
    std::sort(all.begin(), all.end(), [](const Generation &a, const Generation &b) {
        return a.made != b.made ? a.made < b.made : a.folder < b.folder;
    });
    return all;
}

qint64 Generations::newestMade()
{
    return madeAt(QString());
}

QStringList Generations::tidy(bool putNewestBack)
{
    QStringList lines;
    QList<QByteArray> names;
    if (!files().folderNames(bytes(kFolder), &names))
        return lines;
    for (const QByteArray &n : names) {
        const QString name = QString::fromUtf8(n);
        if (name.startsWith(kRemovingPrefix)) {
            if (files().removeTree(inFolder(name)))
                lines << QStringLiteral("Finished removing the old backup %1.")
                             .arg(name.mid(kRemovingPrefix.size()));
        } else if (name.startsWith(kNewPrefix)) {
            // Moved there whole once its check had passed: a complete backup.
            const QString root = inFolder(name) + QLatin1Char('/');
            const qint64 made = madeAt(root);
            if (made >= 0 && finishNew(name, folderName(made), made))
                lines << QStringLiteral("Kept the backup that an interrupted job was putting "
                                        "among the older backups.");
        } else if (inFolder(name) == PlacedGeneration::kAsideFolder && putNewestBack) {
            const std::optional<Generation> placed = PlacedGeneration::current();
            QStringList told;
            const bool back = PlacedGeneration::putBack(&told);
            if (back)
                lines << (placed ? QStringLiteral("A restore of your older backup of %1 was cut "
                                                  "off. Your newest backup is back in place, "
                                                  "unchanged, and that older backup is kept as "
                                                  "it was.")
                                       .arg(PlacedGeneration::madeText(placed->made))
                                 : QStringLiteral("A restore of an older backup was cut off "
                                                  "before it began. Your newest backup is back in "
                                                  "place, unchanged."));
            lines << told;
        } else if (name.startsWith(QStringLiteral(".probe"))) {
            files().deleteFileAt(bytes(inFolder(name)));
        }
    }
    return lines;
}

Generations::Kept Generations::keepPrevious(int keep)
{
    Kept kept;
    const QString prev = kPreviousBackupFolder + QLatin1Char('/');
    if (keep < 2 || !files().exists(kPreviousBackupFolder)
        || files().exists(prev + kIncompleteMark) || !files().exists(prev + BackupHashes::kRecord))
        return kept;
    if (!files().exists(kFolder) && !files().makeFolder(bytes(kFolder))) {
        kept.outcome = Kept::Outcome::Failed;
        kept.why = QStringLiteral("the folder %1 could not be made").arg(kFolder);
        return kept;
    }
    // The backup that runs now stands in place: nothing is put over it.
    tidy(false);
    switch (probeLinks()) {
    case FileSystem::Link::Made: break;
    case FileSystem::Link::Unsupported: kept.outcome = Kept::Outcome::NoLinks; return kept;
    case FileSystem::Link::Failed:
        kept.outcome = Kept::Outcome::Failed;
        kept.why = QStringLiteral("nothing could be written in the folder %1").arg(kFolder);
        return kept;
    }
    const qint64 made = std::max<qint64>(0, madeAt(prev));
    const QString name = folderName(made);
    // From this rename on, no previous backup is set aside: the new one stands.
    if (!files().rename(kPreviousBackupFolder, inFolder(kNewPrefix + name))) {
        kept.outcome = Kept::Outcome::Failed;
        kept.why = QStringLiteral("the folder %1 could not be moved").arg(kPreviousBackupFolder);
        return kept;
    }
    if (!finishNew(kNewPrefix + name, name, made)) {
        kept.outcome = Kept::Outcome::Failed;
        kept.why = QStringLiteral("its record could not be written; Zorvane finishes it at its "
                                  "next start");
        return kept;
    }
    kept.outcome = Kept::Outcome::Kept;
    kept.folder = name;
    linkUnchanged(name, &kept);
    removeOldest(keep, &kept);
    return kept;
}

QStringList Generations::report(const Kept &k)
{
    switch (k.outcome) {
    case Kept::Outcome::NotKept: return {};
    case Kept::Outcome::NoLinks:
        return {QStringLiteral("The disk of Zorvane's working folder cannot hold hard links "
                               "(FAT or exFAT), so older backups are not kept there: only the "
                               "newest one is.")};
    case Kept::Outcome::Failed:
        return {QStringLiteral("The previous backup could not be kept among the older backups "
                               "(%1); it is replaced as before.")
                    .arg(k.why)};
    case Kept::Outcome::Kept: break;
    }
    QStringList lines{
        QStringLiteral("The previous backup is kept among the older backups, in the folder "
                       "%1/%2; %3 of the new backup are unchanged since it and take no more "
                       "room.")
            .arg(kFolder, k.folder, BackupVerifier::amount(k.linked, k.linkedBytes))};
    if (!k.removed.isEmpty())
        lines << QStringLiteral("Removed the oldest kept backups, to keep %1 in all: %2.")
                     .arg(QString::number(list().size() + 1), k.removed.join(QStringLiteral(", ")));
    return lines;
}

} // namespace jobs
