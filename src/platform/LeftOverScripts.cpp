#include "platform/LeftOverScripts.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
           && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Waits until no interpreter runs the script any more, then removes it if it
// is still the file found at start.
void removeOnceFinished(const QByteArray &path, const struct stat &found)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {};
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat now {};
    if (locked == 0 && ::fstat(fd, &opened) == 0 && sameFile(opened, found)
        && ::lstat(path.constData(), &now) == 0 && sameFile(now, found))
        ::unlink(path.constData());
    ::close(fd);
}

} // namespace

void LeftOverScripts::removeWhenFinished(const QStringList &names)
{
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(QDir::current().absoluteFilePath(name));
        struct stat found {};
        if (::lstat(path.constData(), &found) != 0 || !S_ISREG(found.st_mode))
            continue;
        // Most scripts are long finished: only a running one makes the thread wait.
        std::thread(removeOnceFinished, path, found).detach();
    }
}

} // namespace platform
