// The real system's folders, files and handles.
#include "zcmd/system/PosixSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace zcmd {

namespace {

int errorOf(int result) { return result == 0 ? 0 : errno; }

FileStatus toStatus(int result, const struct stat &st)
{
    FileStatus out;
    if (result != 0) {
        out.error = errno;
        return out;
    }
    if (S_ISREG(st.st_mode))
        out.kind = FileKind::File;
    else if (S_ISDIR(st.st_mode))
        out.kind = FileKind::Folder;
    else if (S_ISLNK(st.st_mode))
        out.kind = FileKind::Link;
    else
        out.kind = FileKind::Other;
    out.size = static_cast<std::uint64_t>(st.st_size);
    out.permissions = st.st_mode & 0777;
    out.device = st.st_dev;
    out.inode = st.st_ino;
    return out;
}

} // namespace

std::string PosixSystem::currentFolder()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

int PosixSystem::changeFolder(const std::string &path) { return errorOf(::chdir(path.c_str())); }

FileStatus PosixSystem::statusOf(const std::string &path)
{
    struct stat st {};
    return toStatus(::stat(path.c_str(), &st), st);
}

FileStatus PosixSystem::linkStatusOf(const std::string &path)
{
    struct stat st {};
    return toStatus(::lstat(path.c_str(), &st), st);
}

bool PosixSystem::isExecutable(const std::string &path) { return ::access(path.c_str(), X_OK) == 0; }

std::vector<std::string> PosixSystem::listFolder(const std::string &path)
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(path.empty() ? "." : path.c_str());
    if (!dir)
        return names;
    while (dirent *entry = ::readdir(dir)) {
        std::string name(entry->d_name);
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    ::closedir(dir);
    return names;
}

int PosixSystem::makeFolder(const std::string &path) { return errorOf(::mkdir(path.c_str(), 0777)); }

int PosixSystem::removeFolder(const std::string &path) { return errorOf(::rmdir(path.c_str())); }

int PosixSystem::removeFile(const std::string &path) { return errorOf(::unlink(path.c_str())); }

int PosixSystem::renameEntry(const std::string &from, const std::string &to)
{
    return errorOf(::rename(from.c_str(), to.c_str()));
}

int PosixSystem::openFile(const std::string &path, OpenMode mode, unsigned permissions)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::Read: flags |= O_RDONLY; break;
    case OpenMode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case OpenMode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    }
    const int fd = ::open(path.c_str(), flags, permissions);
    return fd >= 0 ? fd : -errno;
}

long PosixSystem::readHandle(int handle, char *buffer, std::size_t size)
{
    ssize_t n;
    do {
        n = ::read(handle, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

long PosixSystem::readAt(int handle, char *buffer, std::size_t size, std::uint64_t offset)
{
    ssize_t n;
    do {
        n = ::pread(handle, buffer, size, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    return n;
}

bool PosixSystem::writeAll(int handle, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(handle, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

FileStatus PosixSystem::handleStatus(int handle)
{
    struct stat st {};
    return toStatus(::fstat(handle, &st), st);
}

int PosixSystem::closeHandle(int handle) { return errorOf(::close(handle)); }

bool PosixSystem::handleIsOpen(int handle) { return ::fcntl(handle, F_GETFD) >= 0; }

int PosixSystem::copyHandleAbove(int handle, int lowest)
{
    return ::fcntl(handle, F_DUPFD_CLOEXEC, lowest);
}

bool PosixSystem::putHandle(int from, int to) { return ::dup2(from, to) >= 0; }

void PosixSystem::makeInheritable(int handle) { ::fcntl(handle, F_SETFD, 0); }

bool PosixSystem::makePipe(int ends[2]) { return ::pipe2(ends, O_CLOEXEC) == 0; }

bool PosixSystem::isTerminal(int handle) { return ::isatty(handle) == 1; }

void PosixSystem::waitForKey()
{
    char key;
    termios saved;
    const bool raw = ::isatty(0) == 1 && ::tcgetattr(0, &saved) == 0;
    if (raw) {
        termios keys = saved;
        keys.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        keys.c_cc[VMIN] = 1;
        keys.c_cc[VTIME] = 0;
        ::tcsetattr(0, TCSANOW, &keys);
    }
    readHandle(0, &key, 1);
    if (raw)
        ::tcsetattr(0, TCSANOW, &saved);
}

} // namespace zcmd
