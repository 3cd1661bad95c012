#include "runner/ReadOutput.h"
#include "runner/Utf8ChunkDecoder.h"

#include "platform/PipeProcess.h"
#include "platform/ProcessTerminator.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>

ReadOutput::ReadOutput(QObject *parent)
    : QObject(parent)
{}

ReadOutput::~ReadOutput()
{
    // A run still on the stack stops waiting; it notices that we are gone.
    if (m_wait)
        m_wait->quit();
}

void ReadOutput::raiseError(const QString &description, int code)
{
    int lastDllError = code;
    emit Error(description, lastDllError);
}

void ReadOutput::ProcessCommand()
{
    if (m_command.isEmpty()) {
        raiseError(QStringLiteral("Invalid Command."), 1200);
        return;
    }
    if (m_busy) {
        raiseError(QStringLiteral("Currently processing a command!"), 1201);
        return;
    }
    run(QLatin1Char('"') + m_command + QLatin1Char('"'));
}

void ReadOutput::CancelProcess()
{
    if (!m_busy) {
        raiseError(QStringLiteral("Not currently processing a command!"), 1202);
        return;
    }
    m_cancel = true;
    if (m_wait)
        m_wait->quit();
}

bool ReadOutput::CloseProcess(qint64 lProcessID, quint32 uExitCode)
{
    Q_UNUSED(uExitCode);
    return platform::ProcessTerminator::end(lProcessID);
}

bool ReadOutput::waitForOutput(QSocketNotifier &notifier)
{
    QEventLoop loop;
    connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QPointer<ReadOutput> self(this);
    m_wait = &loop;
    notifier.setEnabled(true);
    const int result = loop.exec();
    notifier.setEnabled(false);
    if (self)
        m_wait = nullptr;
    return result == 0;
}

void ReadOutput::run(const QString &quotedCommand)
{
    m_busy = true;
    platform::PipeProcess process;
    if (!process.start(quotedCommand)) {
        m_busy = false;
        raiseError(process.failure() == platform::PipeProcess::Failure::Pipe
                       ? QStringLiteral("CreatePipe failed.")
                       : QStringLiteral("CreateProcess failed."),
                   process.errorNumber());
        return;
    }

    // Handlers may delete this control; from then on the run only cleans up.
    QPointer<ReadOutput> self(this);
    const qint64 pid = process.processId();
    m_pid = pid;
    emit Starting();
    if (!self)
        return;
    m_cancel = false;

    QSocketNotifier notifier(process.readEnd(), QSocketNotifier::Read);
    notifier.setEnabled(false);
    Utf8ChunkDecoder decoder;
    char buffer[kChunkBytes];
    bool cancelled = false;

    for (;;) {
        QCoreApplication::processEvents();
        if (!self)
            return;
        if (m_cancel) {
            cancelled = true;
            break;
        }
        const qint64 n = process.read(buffer, decoder.room(kChunkBytes));
        if (n < 0) {
            if (!waitForOutput(notifier)) {
                // The application is quitting: leave the command to itself.
                if (self) {
                    m_pid = 0;
                    m_busy = false;
                    m_cancel = false;
                }
                return;
            }
            if (!self)
                return;
            continue;
        }
        if (n == 0) {
            const QString rest = decoder.finish();
            if (!rest.isEmpty()) {
                emit GotChunk(rest, false);
                if (!self)
                    return;
            }
            emit GotChunk(QString(), true);
            if (!self)
                return;
            emit Complete();
            if (!self)
                return;
            cancelled = m_cancel;
            break;
        }
        // A read that holds only the start of a character gives no chunk yet.
        const QString chunk = decoder.decode(buffer, int(n));
        if (!chunk.isEmpty()) {
            emit GotChunk(chunk, false);
            if (!self)
                return;
        }
    }

    if (cancelled) {
        if (CloseProcess(pid, 0))
            emit Canceled();
        else
            raiseError(QStringLiteral("Cannot close process id: ") + QString::number(pid), 1203);
        if (!self)
            return;
    }
    m_pid = 0;
    m_busy = false;
    m_cancel = false;
}
