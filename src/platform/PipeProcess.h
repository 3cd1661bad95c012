#pragma once
#include <QString>

namespace platform {

// One command run through the command interpreter with its standard output and
// standard error joined in one pipe that this process reads.
//
// The interpreter is the one named by the environment variable ComSpec, or else
// zcmd in the program's folder; it is started as `<interpreter> /c <command line>`
// in the program's current folder and environment, with standard input from
// /dev/null, in a session and process group of its own (no controlling terminal,
// so no tool can ask the user a question on a terminal nobody sees).
class PipeProcess {
public:
    enum class Failure { None, Pipe, Process };

    PipeProcess() = default;
    // Closes the read end and leaves the exit status of the child to ChildReaper.
    ~PipeProcess();
    PipeProcess(const PipeProcess &) = delete;
    PipeProcess &operator=(const PipeProcess &) = delete;

    // Makes the pipe and starts the interpreter. On failure, failure() says which
    // step failed and errorNumber() holds the system's error number.
    bool start(const QString &commandLine);

    Failure failure() const { return m_failure; }
    int errorNumber() const { return m_errno; }

    // The interpreter's process id; it leads its own session and process group.
    qint64 processId() const { return m_pid; }
    // The pipe's read end (non-blocking), for waiting on it.
    int readEnd() const { return m_readFd; }

    // Reads up to maxBytes without waiting: the count read, 0 at the end of the
    // output, -1 when nothing is there yet. A failed read counts as the end.
    qint64 read(char *buffer, qint64 maxBytes);

    // The interpreter this system uses: ComSpec if set, else zcmd in the program's folder.
    static QString interpreter();

private:
    bool fail(Failure failure, int error);

    int m_readFd = -1;
    qint64 m_pid = 0;
    Failure m_failure = Failure::None;
    int m_errno = 0;
};

} // namespace platform
