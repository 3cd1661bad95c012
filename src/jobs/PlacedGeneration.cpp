#include "jobs/PlacedGeneration.h"
#include "jobs/BackupNames.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QPair>

namespace jobs {

const QString PlacedGeneration::kAsideFolder = QStringLiteral("Generations/.newest-aside");
const QString PlacedGeneration::kFoundFolder = QStringLiteral("FoundDuringRestore");

namespace {

using platform::FileSystem;

const QString kRecord = QStringLiteral("placed.txt");
const QString kLinkingMark = QStringLiteral("linking.txt");
const QByteArray kRecordWord = QByteArrayLiteral("generation ");

FileSystem &files() { return platform::Platform::files(); }

QByteArray bytes(const QString &path) { return path.toUtf8(); }

QString aside(const QString &name)
{
    return PlacedGeneration::kAsideFolder + QLatin1Char('/') + name;
}

QString generationRoot(const QString &folder)
{
    return Generations::kFolder + QLatin1Char('/') + folder;
}

bool isEntry(const QString &name)
{
    return files().entryAt(bytes(name), nullptr) != FileSystem::Entry::None;
}

// The generation named in the holding folder's record: a plain folder name.
bool readPlaced(QString *folder)
{
    QByteArray text;
    if (!files().readPart(aside(kRecord), 0, 4096, &text))
        return false;
    text = text.trimmed();
    if (!text.startsWith(kRecordWord))
        return false;
    *folder = QString::fromUtf8(text.mid(kRecordWord.size()));
    return !folder->isEmpty() && !folder->startsWith(QLatin1Char('.'))
           && !folder->contains(QLatin1Char('/')) && !folder->contains(QLatin1Char('\\'));
}

// Makes `to` a new tree of hard links to what lies at `from`: folders anew,
// each file a second name of the generation's file. A list of folders still
// to make rather than recursion: a device's tree may nest deeper than a call
// stack goes.
bool linkTree(const QByteArray &from, const QByteArray &to)
{
    QList<QPair<QByteArray, QByteArray>> pending{{from, to}};
    while (!pending.isEmpty()) {
        const auto [source, target] = pending.takeLast();
        switch (files().entryAt(source, nullptr)) {
        case FileSystem::Entry::None: return false;
        case FileSystem::Entry::File:
            if (files().hardLink(source, target) != FileSystem::Link::Made)
                return false;
            continue;
        case FileSystem::Entry::Other:
            if (!files().linkOrCopy(source, target))
                return false;
            continue;
        case FileSystem::Entry::Folder: break;
        }
        QList<QByteArray> names;
        if (!files().makeFolder(target) || !files().folderNames(source, &names))
            return false;
        for (const QByteArray &name : names)
            pending.append({source + '/' + name, target + '/' + name});
    }
    return true;
}

// Whether what lies at `copy` is only a linked copy of the generation's
// `original`: each file the generation's own file, each folder one it has too.
bool isLinkedCopy(const QByteArray &copy, const QByteArray &original)
{
    QList<QPair<QByteArray, QByteArray>> pending{{copy, original}};
    while (!pending.isEmpty()) {
        const auto [path, own] = pending.takeLast();
        const FileSystem::Entry kind = files().entryAt(path, nullptr);
        if (kind == FileSystem::Entry::None || files().entryAt(own, nullptr) != kind)
            return false;
        if (kind != FileSystem::Entry::Folder) {
            if (!files().sameFile(path, own))
                return false;
            continue;
        }
        QList<QByteArray> names;
        if (!files().folderNames(path, &names))
            return false;
        for (const QByteArray &name : names)
            pending.append({path + '/' + name, own + '/' + name});
    }
    return true;
}

// Moves what lies at `item` into the found folder, under a name not yet taken.
bool moveToFound(const QString &item, QString *where)
{
    if (!files().exists(PlacedGeneration::kFoundFolder)
        && !files().makeFolder(bytes(PlacedGeneration::kFoundFolder)))
        return false;
    QString target = PlacedGeneration::kFoundFolder + QLatin1Char('/') + item;
    for (int n = 2; isEntry(target); ++n)
        target = PlacedGeneration::kFoundFolder + QLatin1Char('/') + item + QLatin1Char('-')
                 + QString::number(n);
    *where = target;
    return files().rename(item, target);
}

} // namespace

bool PlacedGeneration::newestIsAside() { return isEntry(kAsideFolder); }

std::optional<Generations::Generation> PlacedGeneration::current()
{
    QString folder;
    if (!newestIsAside() || !files().exists(aside(kLinkingMark)) || !readPlaced(&folder))
        return std::nullopt;
    for (const Generations::Generation &g : Generations::list()) {
        if (g.folder == folder)
            return g;
    }
    return std::nullopt;
}

bool PlacedGeneration::place(const QString &folder, QString *why)
{
    if (newestIsAside()) {
        *why = QStringLiteral("an earlier restore of an older backup was not tidied up; close "
                              "Zorvane and start it again, which puts your newest backup back");
        return false;
    }
    bool kept = false;
    for (const Generations::Generation &g : Generations::list())
        kept = kept || g.folder == folder;
    if (!kept) {
        *why = QStringLiteral("that older backup is no longer kept in the folder %1")
                   .arg(Generations::kFolder);
        return false;
    }
    QString error;
    if (!files().makeFolder(bytes(kAsideFolder))) {
        *why = QStringLiteral("the folder %1 could not be made").arg(kAsideFolder);
        return false;
    }
    QStringList lines;
    const QString record = aside(kRecord);
    if (!files().writeFile(record + QStringLiteral(".new"), kRecordWord + folder.toUtf8() + '\n',
                           &error)
        || !files().rename(record + QStringLiteral(".new"), record)) {
        *why = QStringLiteral("nothing could be written in the folder %1").arg(kAsideFolder);
        putBack(&lines);
        return false;
    }
    // One rename each: every item lies either in place or aside.
    for (const QString &item : backupItems()) {
        if (isEntry(item) && !files().rename(item, aside(item))) {
            *why = QStringLiteral("%1 could not be moved aside").arg(item);
            putBack(&lines);
            return false;
        }
    }
    // From here on, what lies in place is the linked copy.
    if (!files().writeFile(aside(kLinkingMark), "links in place\n", &error)) {
        *why = QStringLiteral("nothing could be written in the folder %1").arg(kAsideFolder);
        putBack(&lines);
        return false;
    }
    const QString root = generationRoot(folder) + QLatin1Char('/');
    for (const QString &item : backupItems()) {
        if (isEntry(root + item) && !linkTree(bytes(root + item), bytes(item))) {
            *why = QStringLiteral("its files could not be linked in place (%1)").arg(item);
            putBack(&lines);
            return false;
        }
    }
    return true;
}

bool PlacedGeneration::putBack(QStringList *lines)
{
    if (!newestIsAside())
        return true;
    QString folder;
    const bool named = readPlaced(&folder);
    bool whole = true;
    if (files().exists(aside(kLinkingMark))) {
        const QString root = generationRoot(folder) + QLatin1Char('/');
        for (const QString &item : backupItems()) {
            if (!isEntry(item))
                continue;
            if (named && isLinkedCopy(bytes(item), bytes(root + item))) {
                // Only second names of the generation's files go.
                whole = files().removeTree(item) && whole;
                continue;
            }
            // Not the copy made for the restore: kept, out of the newest's way.
            QString where;
            if (moveToFound(item, &where))
                *lines << QStringLiteral("What lay at %1 in Zorvane's working folder was not the "
                                         "copy of the older backup made for the restore; it is "
                                         "kept in %2.")
                              .arg(item, where);
            else
                whole = false;
        }
        // Gone before anything comes back: what lies in place from now on
        // is the newest backup's own.
        if (!whole || !files().deleteFile(aside(kLinkingMark))) {
            *lines << QStringLiteral("Your newest backup could not be put back in place: it lies "
                                     "whole in the folder %1 of Zorvane's working folder \"%2\". "
                                     "Do not delete it; Zorvane tries again when it next starts.")
                          .arg(kAsideFolder, platform::Platform::app().workFolder());
            return false;
        }
    }
    for (const QString &item : backupItems()) {
        if (!isEntry(aside(item)))
            continue;
        if (isEntry(item) || !files().rename(aside(item), item))
            whole = false;
    }
    if (whole) {
        files().deleteFile(aside(kRecord));
        files().deleteFile(aside(kRecord + QStringLiteral(".new")));
        whole = files().removeEmptyFolder(kAsideFolder);
    }
    if (!whole)
        *lines << QStringLiteral("Your newest backup could not be put back in place whole: what "
                                 "is missing there lies in the folder %1 of Zorvane's working "
                                 "folder \"%2\". Do not delete it; Zorvane tries again when it "
                                 "next starts.")
                      .arg(kAsideFolder, platform::Platform::app().workFolder());
    return whole;
}

QString PlacedGeneration::madeText(qint64 made)
{
    return QDateTime::fromSecsSinceEpoch(made).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace jobs
