#include "platform/CompanionLinks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray linkTarget(const QByteArray &path)
{
    QByteArray buffer(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(path.constData(), buffer.data(), size_t(buffer.size()));
    return n < 0 ? QByteArray() : buffer.left(int(n));
}

// Links name in folder to target; an existing link is replaced, anything else
// is left as it is (true: nothing to do).
bool linkOne(const QByteArray &link, const QByteArray &target)
{
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            return true;
        if (linkTarget(link) == target)
            return true;
        if (::unlink(link.constData()) != 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    return ::symlink(target.constData(), link.constData()) == 0;
}

// Links into the program's folder whose file is gone (an older version's).
void removeStaleLinks(const QString &programFolder, const QString &folder)
{
    const QString prefix = QDir(programFolder).absolutePath() + QLatin1Char('/');
    for (const QFileInfo &entry :
         QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (!entry.isSymLink() || entry.exists())
            continue;
        const QByteArray path = QFile::encodeName(entry.absoluteFilePath());
        if (QFile::decodeName(linkTarget(path)).startsWith(prefix))
            ::unlink(path.constData());
    }
}

} // namespace

bool CompanionLinks::isLinked(const QString &fileName)
{
    return !fileName.endsWith(QLatin1String(".bat"), Qt::CaseInsensitive)
           && fileName.compare(QLatin1String("Zorvane.msi"), Qt::CaseInsensitive) != 0;
}

QStringList CompanionLinks::refresh(const QString &programFolder, const QString &folder)
{
    QStringList failed;
    const QDir program(programFolder);
    const QDir work(folder);
    for (const QFileInfo &file : program.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
        if (!isLinked(file.fileName()))
            continue;
        const QByteArray link = QFile::encodeName(work.absoluteFilePath(file.fileName()));
        const QByteArray target = QFile::encodeName(program.absoluteFilePath(file.fileName()));
        if (!linkOne(link, target))
            failed.append(file.fileName());
    }
    removeStaleLinks(programFolder, folder);
    return failed;
}

} // namespace platform
