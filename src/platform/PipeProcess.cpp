#include "platform/PipeProcess.h"
#include "platform/ChildReaper.h"
#include "platform/Platform.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char **environ;

namespace platform {

namespace {

// posix_spawn attributes and file actions, released on every path.
struct SpawnSetup {
    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    int error = 0;

    explicit SpawnSetup(int writeFd)
    {
        ::posix_spawnattr_init(&attr);
        ::posix_spawn_file_actions_init(&actions);
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        // The command starts clean: no blocked signals, no handlers or ignored
        // signals of ours (SIGPIPE in particular), a session of its own.
        const int steps[] = {
            ::posix_spawnattr_setsigmask(&attr, &none),
            ::posix_spawnattr_setsigdefault(&attr, &all),
            ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF
                                                  | POSIX_SPAWN_SETSID),
            ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0),
            ::posix_spawn_file_actions_adddup2(&actions, writeFd, 1),
            ::posix_spawn_file_actions_adddup2(&actions, writeFd, 2),
            // Nothing else of ours leaks into the command (a leaked pipe end
            // would keep some other reader from ever seeing its end).
            ::posix_spawn_file_actions_addclosefrom_np(&actions, 3),
        };
        for (int step : steps) {
            if (step != 0 && error == 0)
                error = step;
        }
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attr);
    }
};

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

PipeProcess::~PipeProcess()
{
    closeFd(m_readFd);
    if (m_pid > 0)
        ChildReaper::instance().adopt(m_pid);
}

QString PipeProcess::interpreter()
{
    const QString comSpec = QString::fromLocal8Bit(Platform::environment().variable("ComSpec"));
    if (!comSpec.isEmpty())
        return comSpec;
    return Platform::app().folder() + QStringLiteral("/zcmd");
}

bool PipeProcess::fail(Failure failure, int error)
{
    m_failure = failure;
    m_errno = error;
    return false;
}

bool PipeProcess::start(const QString &commandLine)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return fail(Failure::Pipe, errno);
    int readFd = fds[0];
    int writeFd = fds[1];
    // Only our end is non-blocking; the command writes to a blocking pipe.
    ::fcntl(readFd, F_SETFL, ::fcntl(readFd, F_GETFL) | O_NONBLOCK);

    const QByteArray program = QFile::encodeName(interpreter());
    QByteArray slashC("/c");
    QByteArray command = commandLine.toLocal8Bit();
    char *argv[] = {const_cast<char *>(program.constData()), slashC.data(), command.data(),
                    nullptr};

    SpawnSetup setup(writeFd);
    pid_t pid = 0;
    const int rc = setup.error != 0 ? setup.error
                                    : ::posix_spawn(&pid, program.constData(), &setup.actions,
                                                    &setup.attr, argv, environ);
    // Our copy of the write end goes at once, so that the read end reports the
    // end of output when the command and its children have closed theirs.
    closeFd(writeFd);
    if (rc != 0) {
        closeFd(readFd);
        return fail(Failure::Process, rc);
    }
    m_pid = pid;
    m_readFd = readFd;
    m_failure = Failure::None;
    m_errno = 0;
    return true;
}

qint64 PipeProcess::read(char *buffer, qint64 maxBytes)
{
    if (m_readFd < 0)
        return 0;
    for (;;) {
        const ssize_t n = ::read(m_readFd, buffer, static_cast<size_t>(maxBytes));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return -1;
        return 0;
    }
}

} // namespace platform
