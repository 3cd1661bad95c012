#include "platform/JobLock.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

const QString JobLock::kFileName = QStringLiteral("Zorvane.lock");

namespace {

int openLockFile(bool create)
{
    const QByteArray path = QFile::encodeName(JobLock::kFileName);
    const int fd = ::open(path.constData(),
                          O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | (create ? O_CREAT : 0), 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    // Another user's file, or one others may write, is never trusted.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & 0077) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool JobLock::tryTake(bool create)
{
    m_busy = false;
    if (m_fd >= 0)
        return true;
    const int fd = openLockFile(create);
    if (fd < 0)
        return false;
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        m_busy = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool JobLock::take(int timeoutMs, bool create)
{
    QElapsedTimer clock;
    clock.start();
    while (!tryTake(create)) {
        if (!m_busy || clock.elapsed() >= timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void JobLock::release()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
}

bool JobLock::heldElsewhere()
{
    JobLock probe;
    return !probe.tryTake() && probe.m_busy;
}

} // namespace platform
