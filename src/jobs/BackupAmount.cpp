#include "jobs/BackupAmount.h"

#include <QDirIterator>
#include <QFileInfo>

namespace jobs {

BackupAmount BackupAmount::of(const QString &folder)
{
    BackupAmount a;
    for (const char *tree : {"Applications", "mobile", "root"}) {
        const QString top = folder + QLatin1Char('/') + QLatin1String(tree);
        const QString records = folder + QStringLiteral("/root/Library/Zorvane/");
        QDirIterator it(top, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(records))
                continue;
            ++a.files;
            a.bytes += it.fileInfo().size();
        }
    }
    return a;
}

bool BackupAmount::isFarSmallerThan(const BackupAmount &older) const
{
    return files < older.files / 2 || bytes < older.bytes / 2;
}

} // namespace jobs
