#pragma once
#include <QDirIterator>
#include <QFile>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <sys/stat.h>

namespace bench {

// Bytes the disk gives the files under the folders, each inode once: a file
// shared by hard links counts once.
inline qint64 spaceByInode(const QStringList &folders)
{
    QSet<QPair<quint64, quint64>> seen;
    qint64 bytes = 0;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            struct stat st {};
            if (::lstat(QFile::encodeName(it.next()).constData(), &st) != 0)
                continue;
            if (!seen.contains({quint64(st.st_dev), quint64(st.st_ino)})) {
                seen.insert({quint64(st.st_dev), quint64(st.st_ino)});
                bytes += st.st_blocks * 512;
            }
        }
    }
    return bytes;
}

} // namespace bench
