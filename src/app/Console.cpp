#include "app/Console.h"

#include "platform/Platform.h"
#include "runner/ReadOutput.h"

#include <QObject>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kOutputBanner = QStringLiteral("**Farrowmoss's Output Console**");
const QString kPrompt = QStringLiteral("C:\\> ");
const QString kCanceledLine = QStringLiteral("[**] Process Canceled [**]");
constexpr QChar kFormFeed(12);

// The box keeps one line break where the transcript has CR LF.
QString toBoxText(QString text) { return text.replace(kCrLf, QStringLiteral("\n")); }

QString fromBoxText(QString text) { return text.replace(QLatin1Char('\n'), kCrLf); }

} // namespace

Console::Console(QTextEdit *Output)
    : m_output(Output)
{
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(kRepaintIntervalMs);
    QObject::connect(&m_repaint, &QTimer::timeout, &m_repaint, [this] { flush(); });
    if (!m_output)
        return;
    // The transcript is never undone; an undo history would double its memory.
    m_output->setUndoRedoEnabled(false);
    m_text = fromBoxText(m_output->toPlainText());
    QObject::connect(m_output, &QTextEdit::textChanged, &m_repaint, [this] {
        if (!m_writing)
            takeOverBoxText();
        keepEndInView();
    });
    // The box lays long texts out in steps after they are put in; while the
    // caret stands at the end, the view follows the growing end.
    QObject::connect(m_output->verticalScrollBar(), &QScrollBar::rangeChanged, &m_repaint,
                     [this](int, int maximum) {
                         if (m_output->textCursor().atEnd())
                             m_output->verticalScrollBar()->setValue(maximum);
                     });
}

Console::~Console() = default;

void Console::attach(ReadOutput *runner)
{
    QObject::connect(runner, &ReadOutput::Starting, &m_repaint,
                     [this, runner] { Starting(runner->SetCommand()); });
    QObject::connect(runner, &ReadOutput::GotChunk, &m_repaint,
                     [this](const QString &sChunk, bool LastChunk) { GotChunk(sChunk, LastChunk); });
    QObject::connect(runner, &ReadOutput::Complete, &m_repaint, [this] { Complete(); });
    QObject::connect(runner, &ReadOutput::Canceled, &m_repaint, [this] { Canceled(); });
    QObject::connect(runner, &ReadOutput::Error, &m_repaint,
                     [this](const QString &error, int &code) { Error(error, code); });
}

void Console::setText(const QString &text)
{
    m_text = text;
    showWhole();
}

void Console::Starting(const QString &commandText) { append(commandText + kCrLf); }

void Console::GotChunk(const QString &sChunk, bool LastChunk)
{
    Q_UNUSED(LastChunk);
    // The interpreter's line naming the program's folder shows as the drive root.
    const QString folder = platform::Platform::app().folder();
    if (sChunk.size() > 2 && sChunk.size() - 2 == folder.size() && sChunk.startsWith(folder)) {
        append(QStringLiteral("C:\\") + kCrLf);
        return;
    }
    QString cleaned = sChunk;
    cleaned.remove(QLatin1Char('\r'));
    cleaned.replace(QLatin1Char('\n'), kCrLf);
    append(cleaned);
    // A form feed by itself is the script's "Cls": its transcript starts afresh.
    if (sChunk.size() == 1 && sChunk.at(0) == kFormFeed)
        setText(kOutputBanner + kCrLf);
}

void Console::Complete()
{
    if (m_text.isEmpty())
        setText(kPrompt);
    else
        append(kCrLf + kPrompt);
    flush();
    hideBusyIndicators();
}

void Console::Canceled()
{
    append(kCrLf + kCanceledLine + kCrLf + kCrLf + kPrompt);
    flush();
    hideBusyIndicators();
}

void Console::Error(const QString &Error, int LastDLLError)
{
    platform::Platform::messages().show(QStringLiteral("Error"),
                                        QStringLiteral("Error!") + kCrLf
                                            + QStringLiteral("Description: ") + Error + kCrLf
                                            + QStringLiteral("LastDLLError: ")
                                            + QString::number(LastDLLError),
                                        platform::MsgIcon::Critical, platform::MsgButtons::Ok);
}

void Console::hideBusyIndicators()
{
    if (m_hideBusy)
        m_hideBusy();
}

void Console::append(const QString &addition)
{
    if (addition.isEmpty())
        return;
    m_text += addition;
    QString shown = m_heldCr ? QLatin1Char('\r') + addition : addition;
    m_heldCr = shown.endsWith(QLatin1Char('\r'));
    if (m_heldCr)
        shown.chop(1);
    m_pending += toBoxText(shown);
    if (!m_repaint.isActive())
        m_repaint.start();
}

void Console::flush()
{
    m_repaint.stop();
    if (m_pending.isEmpty() || !m_output)
        return;
    m_writing = true;
    QTextCursor end(m_output->document());
    end.movePosition(QTextCursor::End);
    end.insertText(m_pending);
    m_writing = false;
    m_pending.clear();
    keepEndInView();
}

void Console::showWhole()
{
    m_repaint.stop();
    m_pending.clear();
    QString shown = m_text;
    m_heldCr = shown.endsWith(QLatin1Char('\r'));
    if (m_heldCr)
        shown.chop(1);
    if (!m_output)
        return;
    m_writing = true;
    m_output->setPlainText(toBoxText(shown));
    m_writing = false;
    keepEndInView();
}

void Console::keepEndInView()
{
    if (!m_output)
        return;
    QTextCursor caret = m_output->textCursor();
    caret.movePosition(QTextCursor::End);
    m_output->setTextCursor(caret);
    m_output->ensureCursorVisible();
}

void Console::takeOverBoxText()
{
    // Someone wrote into the box directly: its text is the transcript now,
    // followed by what has not been shown yet.
    m_text = fromBoxText(m_output->toPlainText()) + fromBoxText(m_pending)
             + (m_heldCr ? QStringLiteral("\r") : QString());
}
