#include "runner/ReadOutput.h"
#include "runner/Utf8ChunkDecoder.h"

#include "platform/PipeProcess.h"
#include "platform/ProcessTerminator.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSocketNotifier>

namespace {

// The control's picture: a small console window with a prompt.
QPixmap consolePicture()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0x00, 0x00, 0x80));
    p.drawRect(1, 2, 29, 6);
    p.setBrush(Qt::black);
    p.drawRect(1, 8, 29, 21);
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 2));
    p.drawLine(5, 13, 10, 18);
    p.drawLine(10, 18, 5, 23);
    p.drawLine(13, 24, 20, 24);
    return picture;
}

} // namespace

ReadOutput::ReadOutput(QWidget *parent)
    : QWidget(parent)
    , imgIcon(new QLabel(this))
{
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(consolePicture());
    imgIcon->move(0, 0);
    imgIcon->resize(imgIcon->sizeHint());
    m_busy = false;
    m_cancel = false;
    fitToPicture();
}

ReadOutput::~ReadOutput()
{
    // A run still on the stack stops waiting; it notices that we are gone.
    if (m_wait)
        m_wait->quit();
}

void ReadOutput::fitToPicture()
{
    // Height first, then width. Fixed, so that no layout or resize, shown or
    // not, gives the control any other size.
    if (height() != imgIcon->height() || maximumHeight() != imgIcon->height())
        setFixedHeight(imgIcon->height());
    if (width() != imgIcon->width() || maximumWidth() != imgIcon->width())
        setFixedWidth(imgIcon->width());
}

void ReadOutput::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitToPicture();
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
