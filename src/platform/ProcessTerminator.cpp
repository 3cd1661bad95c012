#include "platform/ProcessTerminator.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <unistd.h>

namespace platform {

namespace {

struct ProcState {
    bool exists = false;
    char state = '?';
    qint64 pgrp = 0;
};

// Reads the state and process group of one process from /proc.
ProcState readProcState(const QString &pidText)
{
    ProcState result;
    QFile file(QStringLiteral("/proc/") + pidText + QStringLiteral("/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray line = file.readAll();
    // "pid (comm) state ppid pgrp ...": comm may hold blanks and parentheses.
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return result;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 3 || fields[0].isEmpty())
        return result;
    result.exists = true;
    result.state = fields[0].at(0);
    result.pgrp = fields[2].toLongLong();
    return result;
}

bool isRunningState(char state) { return state != 'Z' && state != 'X' && state != 'x'; }

void sleepMs(int ms)
{
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// Waits until done() holds or the time is up; checks every few milliseconds
// (only while a process is being ended, never while a command just runs).
template <typename Done>
bool waitUntil(Done done, int timeoutMs)
{
    constexpr int kStepMs = 5;
    for (int waited = 0;; waited += kStepMs) {
        if (done())
            return true;
        if (waited >= timeoutMs)
            return false;
        sleepMs(kStepMs);
    }
}

} // namespace

bool ProcessTerminator::isGone(qint64 pid)
{
    const ProcState s = readProcState(QString::number(pid));
    return !s.exists || !isRunningState(s.state);
}

int ProcessTerminator::liveGroupMembers(qint64 pgid)
{
    if (pgid <= 0)
        return 0;
    if (::kill(static_cast<pid_t>(-pgid), 0) != 0 && errno == ESRCH)
        return 0;
    int live = 0;
    const QStringList entries =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (!entry.at(0).isDigit())
            continue;
        const ProcState s = readProcState(entry);
        if (s.exists && s.pgrp == pgid && isRunningState(s.state))
            ++live;
    }
    return live;
}

bool ProcessTerminator::end(qint64 pid, int graceMs)
{
    if (pid <= 0)
        return false;
    const pid_t id = static_cast<pid_t>(pid);
    const bool leadsGroup = ::getpgid(id) == id;
    const pid_t target = leadsGroup ? -id : id;
    auto gone = [&] { return leadsGroup ? liveGroupMembers(pid) == 0 : isGone(pid); };

    if (gone())
        return true;
    if (::kill(target, SIGTERM) != 0 && errno != ESRCH)
        return false;
    // A stopped process would not see the polite signal until it continues.
    ::kill(target, SIGCONT);
    if (waitUntil(gone, graceMs))
        return true;
    if (::kill(target, SIGKILL) != 0 && errno != ESRCH)
        return false;
    return waitUntil(gone, kKillWaitMs);
}

} // namespace platform
