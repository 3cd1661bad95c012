#pragma once
#include <cstdint>
#include <set>
#include <sys/types.h>

#include "zcmd/system/System.h"

namespace zcmd {

// Tells whether a running PuTTY tool's link to the device showed a sign of
// life since the last look. Its TCP sockets are looked at through copies of
// their descriptors (pidfd_getfd): bytes received, bytes the device
// acknowledged, or any acknowledgement at all. Each socket is given TCP
// keepalives (first after 5 s idle, then every 5 s), so a device that is
// awake acknowledges something every few seconds even while a device-side
// script prints nothing; a link that is cut answers nothing. Where the
// sockets cannot be looked at, the process's own reads and writes
// (/proc/PID/io) count instead, which cover a copy but not a quiet command.
class PosixTransferProbe final : public LinkProbe {
public:
    explicit PosixTransferProbe(pid_t pid);
    ~PosixTransferProbe() override;
    PosixTransferProbe(const PosixTransferProbe &) = delete;
    PosixTransferProbe &operator=(const PosixTransferProbe &) = delete;

    // Whether anything moved since the last call (the first call compares
    // with nothing having moved).
    bool moved(std::int64_t sinceLastMs) override;
    // Whether the sockets could be looked at (at the last call).
    bool seesSockets() const override { return seesSockets_; }
    // Until the process ends (its pidfd turns readable), or the whole time
    // where there is no pidfd.
    void waitAWhile(int ms) override;

private:
    bool socketsMoved(std::int64_t sinceLastMs, bool &looked);
    bool ioMoved();

    pid_t pid_;
    int pidfd_ = -1;
    bool seesSockets_ = false;
    std::uint64_t received_ = 0;
    std::uint64_t acked_ = 0;
    std::uint64_t io_ = 0;
    bool ioLooked_ = false;
    std::set<unsigned long> keptAlive_; // socket inodes given keepalives
};

} // namespace zcmd
