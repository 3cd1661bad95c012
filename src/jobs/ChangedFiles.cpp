#include "jobs/ChangedFiles.h"
#include "jobs/BackupNames.h"

#include "jobs/BackupVerifier.h"
#include "jobs/TreePaths.h"
#include "platform/Platform.h"

#include <QFile>

namespace jobs {

const QString ChangedFiles::kFolder = QStringLiteral("Incoming/Refetched");

namespace {

using platform::FileSystem;
using treepaths::inATree;
using treepaths::wayIsFolders;

const QByteArray kHeader = QByteArrayLiteral("# Zorvane changed files 1");
const QByteArray kSpecialsHeader = QByteArrayLiteral("# Zorvane special entries 1");
const QByteArray kEnd = QByteArrayLiteral("# end ");
// The records of the trees as they were after the copy, in the backup's place for them.
const QList<QByteArray> kRecords{QByteArrayLiteral("file-sizes.txt"),
                                 QByteArrayLiteral("owners-modes.txt"),
                                 QByteArrayLiteral("links.txt"), QByteArrayLiteral("specials.txt")};
const QByteArray kRecordFolder = QByteArrayLiteral("root/Library/Zorvane");


// The lines between the header and the end line, when the list is whole.
bool wholeLines(const QString &file, const QByteArray &header, QList<QByteArray> *lines)
{
    QByteArray content;
    if (BackupVerifier::readRecord(file, &content) != BackupVerifier::Refusal::None
        || !BackupVerifier::linesWithinLimit(content) || !content.endsWith('\n'))
        return false;
    QList<QByteArray> all = content.split('\n');
    all.removeLast();
    if (all.size() < 2 || all.first() != header || !all.last().startsWith(kEnd))
        return false;
    qint64 count = 0;
    if (!BackupVerifier::readCount(all.last().mid(kEnd.size()), &count))
        return false;
    qint64 entries = 0;
    for (qsizetype i = 1; i + 1 < all.size(); ++i) {
        if (all[i].startsWith('#'))
            continue;
        if (all[i].startsWith(kEnd))
            return false;
        ++entries;
        *lines << all[i];
    }
    return entries == count;
}

bool parseEntry(const QByteArray &line, ChangedFiles::Entry *e)
{
    static const QList<QPair<QByteArray, ChangedFiles::Kind>> kinds{
        {"whole ", ChangedFiles::Kind::Whole},
        {"changing ", ChangedFiles::Kind::Changing},
        {"unfetched ", ChangedFiles::Kind::Unfetched},
        {"vanished ", ChangedFiles::Kind::Vanished}};
    for (const auto &[word, kind] : kinds) {
        if (!line.startsWith(word))
            continue;
        e->kind = kind;
        QByteArray rest = line.mid(word.size());
        if (kind == ChangedFiles::Kind::Whole || kind == ChangedFiles::Kind::Changing) {
            const QList<QByteArray> f = rest.split(' ');
            if (f.size() < 3 || !BackupVerifier::readCount(f[0], &e->copy)
                || !BackupVerifier::readCount(f[1], &e->size))
                return false;
            rest = rest.mid(f[0].size() + f[1].size() + 2);
        }
        e->path = rest;
        return true;
    }
    return false;
}

void readSpecials(const QString &file, ChangedFiles::Result *r)
{
    QList<QByteArray> lines;
    if (!wholeLines(file, kSpecialsHeader, &lines))
        return;
    for (const QByteArray &line : lines) {
        // "UID GID MODE TYPE PATH"
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 5 || f[3].size() != 1)
            continue;
        const QByteArray path = line.mid(f[0].size() + f[1].size() + f[2].size() + 5);
        QString what;
        switch (f[3].at(0)) {
        case 'p': ++r->pipes; what = QStringLiteral("a named pipe"); break;
        case 's': ++r->sockets; what = QStringLiteral("a socket"); break;
        case 'c':
        case 'b': ++r->devices; what = QStringLiteral("a device node"); break;
        default: continue;
        }
        r->specials << BackupVerifier::printable(path) + QStringLiteral(" (") + what
                           + QLatin1Char(')');
    }
}

QString words(ChangedFiles::Kind kind)
{
    switch (kind) {
    case ChangedFiles::Kind::Whole: return QStringLiteral("whole");
    case ChangedFiles::Kind::Changing: return QStringLiteral("changing");
    case ChangedFiles::Kind::Unfetched: return QStringLiteral("unfetched");
    case ChangedFiles::Kind::Vanished: break;
    }
    return QStringLiteral("vanished");
}

} // namespace

QStringList ChangedFiles::Result::named(Kind kind) const
{
    QStringList names;
    for (const Entry &e : entries) {
        if (e.kind == kind)
            names << BackupVerifier::printable(e.path);
    }
    return names;
}

ChangedFiles::Result ChangedFiles::place(const QString &folder)
{
    Result r;
    FileSystem &files = platform::Platform::files();
    const QByteArray base = QFile::encodeName(folder);
    QList<QByteArray> lines;
    r.listRead = wholeLines(folder + QStringLiteral("/changes.txt"), kHeader, &lines);
    if (!r.listRead)
        return r;
    for (const QByteArray &line : lines) {
        Entry e;
        if (!parseEntry(line, &e) || !inATree(e.path)) {
            r.notPlaced << BackupVerifier::printable(line);
            continue;
        }
        const FileSystem::Entry here = wayIsFolders(e.path, false)
                                           ? files.entryAt(e.path, nullptr)
                                           : FileSystem::Entry::Other;
        switch (e.kind) {
        case Kind::Whole:
        case Kind::Changing: {
            const QByteArray copy = base + "/files/" + QByteArray::number(e.copy);
            qint64 size = -1;
            // A file that came while the copy was made may lie in a folder that came too.
            if (files.entryAt(copy, &size) != FileSystem::Entry::File || size != e.size
                || !wayIsFolders(e.path, true) || !files.replaceFileAt(copy, e.path)) {
                r.notPlaced << BackupVerifier::printable(e.path);
                continue;
            }
            break;
        }
        case Kind::Unfetched:
            if (here != FileSystem::Entry::File) {
                r.missing << BackupVerifier::printable(e.path);
                continue;
            }
            break;
        case Kind::Vanished:
            // Not in the records any more: the backup holds the trees as they are now.
            if (here == FileSystem::Entry::File)
                files.deleteFileAt(e.path);
            break;
        }
        r.entries << e;
    }
    readSpecials(folder + QStringLiteral("/specials.txt"), &r);
    // Nothing at all changed on the device: the records the copy brought
    // hold, and only the list of special entries came.
    const bool unchanged = files.entryAt(base + "/records-unchanged", nullptr)
                           == FileSystem::Entry::File;
    for (const QByteArray &record : kRecords) {
        if (unchanged && record != "specials.txt")
            continue;
        const QByteArray from = base + '/' + record;
        const QByteArray to = kRecordFolder + '/' + record;
        if (!wayIsFolders(to, true) || !files.replaceFileAt(from, to))
            r.recordsNotPlaced << QString::fromLatin1(record);
    }
    return r;
}

QStringList ChangedFiles::report(const Result &r)
{
    if (!r.listRead)
        return {QStringLiteral("Changed files: the list of the files that changed while they "
                               "were copied did not arrive whole, so the backup cannot be "
                               "checked against the device as it is now.")};
    QStringList lines;
    const auto names = [&lines, &r](Kind kind, const QString &text) {
        const QStringList n = r.named(kind);
        if (n.isEmpty())
            return;
        lines << text.arg(n.size());
        for (const QString &name : n.mid(0, 20))
            lines << QStringLiteral("  ") + name;
    };
    names(Kind::Whole,
          QStringLiteral("Changed files: %1 file(s) changed while they were copied and were "
                         "copied again, each as one whole version:"));
    names(Kind::Changing, QStringLiteral("Changed files: %1 file(s) kept changing while they "
                                         "were copied again and may not be consistent:"));
    names(Kind::Unfetched, QStringLiteral("Changed files: %1 file(s) changed while they were "
                                          "copied and could not be copied again; the first copy "
                                          "is kept and may not be consistent:"));
    names(Kind::Vanished, QStringLiteral("Changed files: %1 file(s) were removed from the device "
                                         "while they were copied and are not in the backup:"));
    if (!r.specials.isEmpty()) {
        lines << QStringLiteral("Not copied: %1 special entries (named pipes, sockets, device "
                                "nodes); a restore makes the named pipes again:")
                     .arg(r.specials.size());
        for (const QString &name : r.specials.mid(0, 20))
            lines << QStringLiteral("  ") + name;
    }
    for (const QString &name : r.notPlaced.mid(0, 20))
        lines << QStringLiteral("Changed files: not put in place (did not arrive whole, or a "
                                "name outside the backup): ")
                     + name;
    for (const QString &name : r.missing.mid(0, 20))
        lines << QStringLiteral("Changed files: missing: ") + name;
    for (const QString &name : r.recordsNotPlaced)
        lines << QStringLiteral("Changed files: the record %1 from after the copy could not be "
                                "put in place.")
                     .arg(name);
    return lines;
}

QStringList ChangedFiles::noteLines(const Result &r)
{
    if (!r.listRead)
        return {QStringLiteral("failed receiving the list of the files that changed while they "
                               "were copied")};
    QStringList lines;
    lines << QStringLiteral("changes %1 %2 %3 %4")
                 .arg(r.named(Kind::Whole).size())
                 .arg(r.named(Kind::Changing).size())
                 .arg(r.named(Kind::Unfetched).size())
                 .arg(r.named(Kind::Vanished).size());
    for (Kind kind : {Kind::Whole, Kind::Changing, Kind::Unfetched, Kind::Vanished}) {
        for (const QString &name : r.named(kind).mid(0, kNamesNoted))
            lines << QStringLiteral("changed ") + words(kind) + QLatin1Char(' ') + name;
    }
    lines << QStringLiteral("specials %1 %2 %3").arg(r.pipes).arg(r.sockets).arg(r.devices);
    for (const QString &name : r.specials.mid(0, kNamesNoted))
        lines << QStringLiteral("special ") + name;
    if (!r.notPlaced.isEmpty() || !r.missing.isEmpty())
        lines << QStringLiteral("failed putting in place %1 file(s) that changed while they were "
                                "copied (not arrived whole)")
                     .arg(r.notPlaced.size() + r.missing.size());
    if (!r.recordsNotPlaced.isEmpty())
        lines << QStringLiteral("failed putting the lists of the device's files from after the "
                                "copy in place");
    return lines;
}

} // namespace jobs
