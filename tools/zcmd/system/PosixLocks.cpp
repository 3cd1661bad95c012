// The real system's file locks: the job lock and a running script's lock.
#include "zcmd/system/PosixSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zcmd {

namespace {

int g_jobLock = -1;

} // namespace

JobLockResult PosixSystem::takeJobLock(const char *fileName)
{
    if (g_jobLock >= 0)
        return JobLockResult::Taken;
    struct stat found {};
    if (::lstat(fileName, &found) != 0)
        return errno == ENOENT ? JobLockResult::NoLockFile : JobLockResult::Refused;
    // Inherited on purpose (no close-on-exec): see JobLock.
    const int fd = ::open(fileName, O_RDWR | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0)
        return JobLockResult::Refused;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_uid != ::geteuid()
        || (opened.st_mode & 0077) != 0) {
        ::close(fd);
        return JobLockResult::Refused;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return errno == EWOULDBLOCK ? JobLockResult::Busy : JobLockResult::Refused;
    }
    g_jobLock = fd;
    return JobLockResult::Taken;
}

int PosixSystem::openSharedLocked(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0)
        ::flock(fd, LOCK_SH);
    return fd;
}

} // namespace zcmd
