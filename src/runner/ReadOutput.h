#pragma once
#include <QObject>
#include <QString>

class QEventLoop;
class QSocketNotifier;

namespace platform {
class PipeProcess;
}

// The command runner control: runs one command line at a time through the
// command interpreter, with the command's standard output and standard error
// joined in one pipe, and hands the output to its host in chunks of at most
// 256 bytes through its events while the host's window keeps working. It has no
// window of its own.
//
// ProcessCommand() returns only when the run has ended; while it waits for the
// command's output it runs the application's event loop, so the host's handlers,
// timers and clicks run meanwhile (a second ProcessCommand then meets the busy
// flag, CancelProcess sets the cancel flag). A command that writes nothing costs
// no processor time, and a cancellation takes effect at once even then.
class ReadOutput : public QObject {
    Q_OBJECT
public:
    static constexpr int kChunkBytes = 256;

    explicit ReadOutput(QObject *parent = nullptr);
    ~ReadOutput() override;

    // The command text (property SetCommand). Changing it during a run changes
    // nothing in the running command.
    QString SetCommand() const { return m_command; }
    void SetCommand(const QString &sCommandVal) { m_command = sCommandVal; }

    // Runs the command text, see the events below. Never throws; refusals and
    // failures are Error events.
    void ProcessCommand();
    // Asks the running command to stop (between two reads); Error 1202 when idle.
    void CancelProcess();
    // Ends the process with this id, and the whole process group it leads, with
    // a polite signal first and a forced end after a short grace. True when it is
    // gone afterwards. uExitCode is not used: a process ended from outside on
    // this system has no exit code of our choosing. A cancelled run ends its
    // command through this call.
    virtual bool CloseProcess(qint64 lProcessID, quint32 uExitCode);

    bool isBusy() const { return m_busy; }
    bool isCancelRequested() const { return m_cancel; }
    // The running command's interpreter process (and process group) id; 0 when idle.
    qint64 processId() const { return m_pid; }

signals:
    // Every refusal and failure, with its description and code (1200 to 1203,
    // or the system's error number).
    void Error(const QString &Error, int &LastDLLError);
    // Once per read from the pipe; the last one is empty with LastChunk true.
    void GotChunk(const QString &sChunk, bool LastChunk);
    // Once, after the last chunk.
    void Complete();
    // Once, after the process has been started; the cancel flag is cleared
    // right after it returns.
    void Starting();
    // Once, after a cancelled command has been ended.
    void Canceled();

private:
    void run(const QString &quotedCommand);
    // Waits in a nested event loop until the pipe has something to read or a
    // cancellation arrives; false when the application is quitting.
    bool waitForOutput(QSocketNotifier &notifier);
    void raiseError(const QString &description, int code);

    QString m_command;
    bool m_busy = false;
    bool m_cancel = false;
    qint64 m_pid = 0;
    QEventLoop *m_wait = nullptr;
};
