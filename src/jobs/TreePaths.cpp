#include "jobs/TreePaths.h"

#include "jobs/BackupNames.h"

#include "platform/Platform.h"

#include <QList>

namespace jobs::treepaths {

bool inATree(const QByteArray &path)
{
    const QList<QByteArray> parts = path.split('/');
    if (parts.size() < 2 || !backupTreeNames().contains(parts.first()))
        return false;
    for (const QByteArray &part : parts) {
        if (part.isEmpty() || part == "." || part == "..")
            return false;
    }
    return true;
}

bool wayIsFolders(const QByteArray &path, bool make)
{
    platform::FileSystem &files = platform::Platform::files();
    for (qsizetype slash = path.indexOf('/'); slash > 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray folder = path.left(slash);
        const platform::FileSystem::Entry e = files.entryAt(folder, nullptr);
        if (e == platform::FileSystem::Entry::None && make && files.makeFolder(folder))
            continue;
        if (e != platform::FileSystem::Entry::Folder)
            return false;
    }
    return true;
}

bool makeFolders(const QByteArray &root, const QByteArray &path, bool itself)
{
    platform::FileSystem &files = platform::Platform::files();
    const QList<QByteArray> parts = path.split('/');
    QByteArray at = root;
    for (qsizetype i = 0; i < parts.size() - (itself ? 0 : 1); ++i) {
        at += '/' + parts[i];
        const platform::FileSystem::Entry e = files.entryAt(at, nullptr);
        if (e == platform::FileSystem::Entry::Folder)
            continue;
        if (e != platform::FileSystem::Entry::None || !files.makeFolder(at))
            return false;
    }
    return true;
}

bool foldersAbove(const QByteArray &path, const platform::FileSystem &files,
                  QSet<QByteArray> *known)
{
    for (qsizetype slash = path.indexOf('/'); slash > 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray folder = path.left(slash);
        if (known->contains(folder))
            continue;
        if (files.entryAt(folder, nullptr) != platform::FileSystem::Entry::Folder)
            return false;
        known->insert(folder);
    }
    return true;
}

} // namespace jobs::treepaths
