#include "zcmd/JobLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zcmd {

namespace {

int g_held = -1;

} // namespace

JobLock::Result JobLock::take()
{
    if (g_held >= 0)
        return Result::Taken;
    struct stat found {};
    if (::lstat(kFileName, &found) != 0)
        return errno == ENOENT ? Result::NoLockFile : Result::Refused;
    // Inherited on purpose (no close-on-exec): see the class comment.
    const int fd = ::open(kFileName, O_RDWR | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0)
        return Result::Refused;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid()
        || (opened.st_mode & 0077) != 0) {
        ::close(fd);
        return Result::Refused;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return errno == EWOULDBLOCK ? Result::Busy : Result::Refused;
    }
    g_held = fd;
    return Result::Taken;
}

} // namespace zcmd
