#include "jobs/NameStaging.h"
#include "jobs/BackupNames.h"

#include "jobs/BackupVerifier.h"
#include "platform/Platform.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace jobs {

const QString NameStaging::kFolder = QStringLiteral("StagedNames");
const QString NameStaging::kDeviceFolder = QStringLiteral("/var/root/Library/Zorvane");
const QString NameStaging::kListName = QStringLiteral("names.txt");
const QByteArray NameStaging::kListHeader = QByteArrayLiteral("# Zorvane names 1");
const QString NameStaging::kDeviceStep = QStringLiteral("names.sh");

namespace {

using platform::FileSystem;

const QList<QByteArray> &kTrees = backupTreeNames();

QString building() { return NameStaging::kFolder + QStringLiteral(".part"); }

bool renamedBySending(const QByteArray &path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return NameStaging::sentName(name) != name;
}

// Where pscp puts one entry of the backup on the device (as a path of the
// backup), and what it is.
struct Placed {
    QByteArray at;
    bool folder = false;
};

// Leaves out the paths that lie inside another of them.
QList<QByteArray> topmost(QSet<QByteArray> paths)
{
    QList<QByteArray> out;
    for (const QByteArray &p : paths) {
        bool inside = false;
        for (qsizetype slash = p.indexOf('/'); slash > 0 && !inside;
             slash = p.indexOf('/', slash + 1))
            inside = paths.contains(p.left(slash));
        if (!inside)
            out << p;
    }
    std::sort(out.begin(), out.end());
    return out;
}

struct Counted {
    qint64 files = 0;
    qint64 bytes = 0;
};

// Gives the backup's entry at `from` the name `to`: a file or link once, a
// folder made anew with its contents linked in the same way, except the
// entries that pscp renames, which go apart on their own.
bool layApart(const QByteArray &from, const QByteArray &to, Counted *counted, QByteArray *failed)
{
    FileSystem &files = platform::Platform::files();
    qint64 size = 0;
    const FileSystem::Entry kind = files.entryAt(from, &size);
    if (kind != FileSystem::Entry::Folder) {
        if (kind == FileSystem::Entry::None || !files.linkOrCopy(from, to)) {
            *failed = from;
            return false;
        }
        if (kind == FileSystem::Entry::File) {
            ++counted->files;
            counted->bytes += size;
        }
        return true;
    }
    QList<QByteArray> names;
    if (!files.makeFolder(to) || !files.folderNames(from, &names)) {
        *failed = from;
        return false;
    }
    for (const QByteArray &name : names) {
        if (NameStaging::sentName(name) == name
            && !layApart(from + '/' + name, to + '/' + name, counted, failed))
            return false;
    }
    return true;
}

} // namespace

QByteArray NameStaging::sentName(const QByteArray &name)
{
    return name.mid(name.lastIndexOf('\\') + 1);
}

NameStaging::Plan NameStaging::plan(const QList<Entry> &entries)
{
    Plan plan;
    QHash<QByteArray, Placed> placed; // by the entry's path
    QHash<QByteArray, int> kinds;     // at each place: 1 folder, 2 anything else
    QSet<QByteArray> genuine;
    for (const Entry &e : entries) {
        genuine.insert(e.path);
        const qsizetype slash = e.path.lastIndexOf('/');
        Placed p;
        p.folder = e.folder;
        if (slash < 0) {
            p.at = e.path;
        } else {
            const auto parent = placed.constFind(e.path.left(slash));
            if (parent == placed.cend())
                continue; // inside a refused folder
            const QByteArray sent = sentName(e.path.mid(slash + 1));
            // "..", and "" or "." for a file, name no place of the entry's own.
            if (sent == ".." || (!e.folder && (sent.isEmpty() || sent == "."))) {
                plan.refused << e.path;
                continue;
            }
            // A folder named "" or "." joins its parent.
            p.at = sent.isEmpty() || sent == "." ? parent->at : parent->at + '/' + sent;
        }
        placed.insert(e.path, p);
        kinds[p.at] |= e.folder ? 1 : 2;
    }
    QSet<QByteArray> strays;
    QSet<QByteArray> kept;
    for (const Entry &e : entries) {
        const auto p = placed.constFind(e.path);
        if (p == placed.cend() || p->at == e.path)
            continue;
        // A file and a folder in one place: pscp fails on whichever comes second.
        if (kinds.value(p->at) == 3) {
            plan.refused << e.path;
            continue;
        }
        if (!genuine.contains(p->at))
            strays.insert(p->at);
        else if (!p->folder && !kept.contains(p->at)) {
            kept.insert(p->at);
            plan.kept << p->at;
        }
        if (renamedBySending(e.path))
            plan.apart << e.path;
    }
    if (!plan.refused.isEmpty()) {
        plan.apart.clear();
        plan.kept.clear();
        return plan;
    }
    plan.strays = topmost(strays);
    return plan;
}

QByteArray NameStaging::listed(const QByteArray &path)
{
    QByteArray out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (u < 0x20 || u == 0x7f)
            out += "\\0" + QByteArray::number(u, 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

QByteArray NameStaging::list(const Plan &plan)
{
    QByteArray out = kListHeader + '\n';
    qint64 lines = 0;
    for (const QByteArray &path : plan.strays) {
        out += "R " + listed(path) + '\n';
        ++lines;
    }
    int item = 0;
    for (const QByteArray &path : plan.kept) {
        out += "K " + QByteArray::number(++item) + ' ' + listed(path) + '\n';
        ++lines;
    }
    for (const QByteArray &path : plan.apart) {
        out += "M " + QByteArray::number(++item) + ' ' + listed(path) + '\n';
        ++lines;
    }
    return out + "# end " + QByteArray::number(lines) + '\n';
}

bool NameStaging::read(QList<Entry> *entries, QByteArray *unreadable)
{
    const FileSystem &files = platform::Platform::files();
    for (const QByteArray &tree : kTrees) {
        if (files.entryAt(tree, nullptr) != FileSystem::Entry::Folder)
            continue; // no such tree: its send fails on its own
        QList<QByteArray> folders{tree};
        entries->append({tree, true});
        // Each folder is listed before anything in it.
        while (!folders.isEmpty()) {
            const QByteArray folder = folders.takeLast();
            QList<QByteArray> names;
            if (!files.folderNames(folder, &names)) {
                *unreadable = folder;
                return false;
            }
            std::sort(names.begin(), names.end());
            for (const QByteArray &name : names) {
                const QByteArray path = folder + '/' + name;
                const bool folderHere = files.entryAt(path, nullptr) == FileSystem::Entry::Folder;
                entries->append({path, folderHere});
                if (folderHere)
                    folders << path;
            }
        }
    }
    return true;
}

NameStaging::Result NameStaging::stage(const QString &token)
{
    Result r;
    static const QRegularExpression kToken(QStringLiteral("^[0-9a-f]{32}$"));
    if (!kToken.match(token).hasMatch()) {
        r.error = QStringLiteral("the run's token is not 32 hexadecimal digits");
        return r;
    }
    if (!removeLeftOver()) {
        r.error = QStringLiteral("the folder %1 left by an earlier restore cannot be removed")
                      .arg(kFolder);
        return r;
    }
    QList<Entry> entries;
    QByteArray unreadable;
    if (!read(&entries, &unreadable)) {
        r.error = QStringLiteral("the folder %1 of your backup cannot be read")
                      .arg(BackupVerifier::printable(unreadable));
        return r;
    }
    r.plan = plan(entries);
    if (!r.plan.refused.isEmpty()) {
        r.outcome = Outcome::Refused;
        return r;
    }
    if (r.plan.apart.isEmpty()) {
        r.outcome = Outcome::Nothing;
        return r;
    }
    FileSystem &files = platform::Platform::files();
    const QByteArray root = QFile::encodeName(building());
    const QByteArray folder = root + "/names-" + token.toLatin1();
    if (!files.makeFolder(root) || !files.makeFolder(folder)) {
        r.error = QStringLiteral("the folder %1 cannot be made").arg(building());
        return r;
    }
    Counted counted;
    QByteArray failed;
    int item = 0;
    for (const QByteArray &path : r.plan.kept + r.plan.apart) {
        if (!layApart(path, folder + '/' + QByteArray::number(++item), &counted, &failed)) {
            r.error = QStringLiteral("%1 cannot be linked or copied into %2")
                          .arg(BackupVerifier::printable(failed), building());
            removeLeftOver();
            return r;
        }
    }
    const QByteArray listText = list(r.plan);
    QByteArray step;
    QString error;
    const QString local = QFile::decodeName(folder) + QLatin1Char('/');
    if (!files.readFile(kDeviceStep, &step, &error)
        || !files.writeFile(local + kDeviceStep, step, &error)
        || !files.writeFile(local + kListName, listText, &error)) {
        r.error = QStringLiteral("the folder %1 cannot be written (%2)").arg(building(), error);
        removeLeftOver();
        return r;
    }
    if (!files.rename(building(), kFolder)) {
        r.error = QStringLiteral("the folder %1 cannot be renamed %2").arg(building(), kFolder);
        removeLeftOver();
        return r;
    }
    r.files = counted.files + 2;
    r.bytes = counted.bytes + step.size() + listText.size();
    r.outcome = Outcome::Staged;
    return r;
}

bool NameStaging::removeLeftOver()
{
    FileSystem &files = platform::Platform::files();
    const bool whole = files.removeTree(kFolder);
    return files.removeTree(building()) && whole;
}

} // namespace jobs
