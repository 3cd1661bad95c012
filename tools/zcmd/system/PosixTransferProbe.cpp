#include "zcmd/system/PosixTransferProbe.h"
#include "zcmd/system/PosixSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <linux/tcp.h>
#include <string>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zcmd {

namespace {

constexpr unsigned char kSynSent = 2; // the kernel's TCP_SYN_SENT: still connecting

int openPidfd(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int copyDescriptor(int pidfd, int fd)
{
    return static_cast<int>(::syscall(SYS_pidfd_getfd, pidfd, fd, 0));
}

// The socket inode a descriptor link names ("socket:[123]"), or 0.
unsigned long socketInode(const char *link)
{
    unsigned long inode = 0;
    return std::sscanf(link, "socket:[%lu]", &inode) == 1 ? inode : 0;
}

void keepAlive(int fd)
{
    const int on = 1, idle = 5, interval = 5, count = 127;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    // Not the kernel's verdict: the watchdog's limit ends the step first.
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

} // namespace

PosixTransferProbe::PosixTransferProbe(pid_t pid)
    : pid_(pid)
    , pidfd_(openPidfd(pid))
{}

PosixTransferProbe::~PosixTransferProbe()
{
    if (pidfd_ >= 0)
        ::close(pidfd_);
}

void PosixTransferProbe::waitAWhile(int ms)
{
    if (pidfd_ >= 0) {
        pollfd p{pidfd_, POLLIN, 0};
        ::poll(&p, 1, ms);
        return;
    }
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

std::unique_ptr<LinkProbe> PosixSystem::probeLink(ProcessId child)
{
    return std::make_unique<PosixTransferProbe>(child);
}

bool PosixTransferProbe::moved(std::int64_t sinceLastMs)
{
    bool looked = false;
    const bool sockets = socketsMoved(sinceLastMs, looked);
    seesSockets_ = looked;
    const bool io = ioMoved();
    return looked ? sockets : io;
}

bool PosixTransferProbe::socketsMoved(std::int64_t sinceLastMs, bool &looked)
{
    looked = false;
    if (pidfd_ < 0)
        return false;
    const std::string folder = "/proc/" + std::to_string(pid_) + "/fd";
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    std::uint64_t received = 0, acked = 0;
    bool answered = false;
    bool refused = false;
    while (dirent *e = ::readdir(dir)) {
        char link[64] = {};
        const std::string path = folder + "/" + e->d_name;
        if (::readlink(path.c_str(), link, sizeof link - 1) <= 0)
            continue;
        const unsigned long inode = socketInode(link);
        if (!inode)
            continue;
        const int fd = copyDescriptor(pidfd_, std::atoi(e->d_name));
        if (fd < 0) {
            refused = refused || errno == EPERM || errno == EACCES || errno == ENOSYS;
            continue;
        }
        struct tcp_info info;
        std::memset(&info, 0, sizeof info);
        socklen_t size = sizeof info;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0) {
            looked = true;
            if (keptAlive_.insert(inode).second)
                keepAlive(fd);
            received += info.tcpi_bytes_received;
            acked += info.tcpi_bytes_acked;
            // An acknowledgement (of data or of a keepalive) since the last look.
            if (info.tcpi_state != kSynSent && info.tcpi_last_ack_recv <= sinceLastMs)
                answered = true;
        }
        ::close(fd);
    }
    ::closedir(dir);
    if (refused && !looked)
        return false;
    const bool more = received > received_ || acked > acked_;
    received_ = received;
    acked_ = acked;
    return more || answered;
}

bool PosixTransferProbe::ioMoved()
{
    const std::string path = "/proc/" + std::to_string(pid_) + "/io";
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return false;
    std::uint64_t total = 0;
    char key[32];
    unsigned long long value;
    while (std::fscanf(f, "%31[^:]: %llu\n", key, &value) == 2) {
        if (!std::strcmp(key, "rchar") || !std::strcmp(key, "wchar"))
            total += value;
    }
    std::fclose(f);
    // The first look is the baseline: starting the program reads and writes.
    const bool more = ioLooked_ && total > io_;
    io_ = total;
    ioLooked_ = true;
    return more;
}

} // namespace zcmd
