#include "jobs/BackupAmount.h"
#include "platform/Platform.h"

#include <QFile>
#include <QList>

namespace jobs {

BackupAmount BackupAmount::of(const QString &folder)
{
    const platform::FileSystem &disk = platform::Platform::files();
    const QByteArray base = QFile::encodeName(folder);
    const QByteArray records = base + "/root/Library/Zorvane";
    BackupAmount a;
    // Folders still to read; a list rather than recursion, since a device's
    // tree may nest deeper than a call stack goes. Links are never followed.
    QList<QByteArray> folders{base + "/Applications", base + "/mobile", base + "/root"};
    while (!folders.isEmpty()) {
        const QByteArray path = folders.takeLast();
        QList<QByteArray> names;
        if (!disk.folderNames(path, &names))
            continue;
        for (const QByteArray &name : names) {
            const QByteArray entry = path + '/' + name;
            qint64 size = 0;
            switch (disk.entryAt(entry, &size)) {
            case platform::FileSystem::Entry::File:
                ++a.files;
                a.bytes += size;
                break;
            case platform::FileSystem::Entry::Folder:
                if (entry != records)
                    folders.append(entry);
                break;
            case platform::FileSystem::Entry::None:
            case platform::FileSystem::Entry::Other: break;
            }
        }
    }
    return a;
}

bool BackupAmount::isFarSmallerThan(const BackupAmount &older) const
{
    return files < older.files / 2 || bytes < older.bytes / 2;
}

} // namespace jobs
