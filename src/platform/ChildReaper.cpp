#include "platform/ChildReaper.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

// True when the child has been reaped now or was never ours to reap.
bool reapNow(qint64 pid)
{
    for (;;) {
        const pid_t r = ::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);
        if (r == 0)
            return false;
        if (r < 0 && errno == EINTR)
            continue;
        return true;
    }
}

int openProcessDescriptor(qint64 pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

constexpr int kPollIntervalMs = 500;

} // namespace

ChildReaper &ChildReaper::instance()
{
    static QPointer<ChildReaper> reaper;
    if (!reaper)
        reaper = new ChildReaper(QCoreApplication::instance());
    return *reaper;
}

ChildReaper::ChildReaper(QObject *parent)
    : QObject(parent)
{}

void ChildReaper::adopt(qint64 pid)
{
    if (pid <= 0 || reapNow(pid))
        return;

    const int fd = openProcessDescriptor(pid);
    if (fd < 0) {
        m_polled.append(pid);
        if (!m_pollTimer) {
            m_pollTimer = new QTimer(this);
            m_pollTimer->setInterval(kPollIntervalMs);
            connect(m_pollTimer, &QTimer::timeout, this, &ChildReaper::reapPolled);
        }
        m_pollTimer->start();
        return;
    }

    // The descriptor becomes readable when the process ends.
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    ++m_watched;
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, fd, pid] {
        if (!reapNow(pid))
            return;
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(fd);
        --m_watched;
    });
}

int ChildReaper::pending() const { return m_watched + int(m_polled.size()); }

void ChildReaper::reapPolled()
{
    m_polled.removeIf([](qint64 pid) { return reapNow(pid); });
    if (m_polled.isEmpty())
        m_pollTimer->stop();
}

} // namespace platform
