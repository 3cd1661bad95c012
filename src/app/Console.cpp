#include "app/Console.h"

#include "platform/Platform.h"
#include "runner/ReadOutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kOutputBanner = QStringLiteral("**Farrowmoss's Output Console**");
const QString kPrompt = QStringLiteral("C:\\> ");
const QString kCanceledLine = QStringLiteral("[**] Process Canceled [**]");
const QString kLeftOutLine = QStringLiteral("[... earlier output is left out here ...]");
constexpr QChar kCr(13);
constexpr QChar kLf(10);
constexpr QChar kFormFeed(12);
// One insertion into the box; small enough to keep inside the slice budget.
constexpr qsizetype kInsertChars = 16 * 1024;

// The box keeps one line break where the transcript has CR LF.
QString toBoxText(QString text) { return text.replace(kCrLf, QStringLiteral("\n")); }

QString fromBoxText(QString text) { return text.replace(kLf, kCrLf); }

} // namespace

Console::Console(QTextEdit *Output)
    : m_output(Output)
    , m_folder(platform::Platform::app().folder())
{
    m_repaint.setSingleShot(true);
    QObject::connect(&m_repaint, &QTimer::timeout, &m_repaint, [this] { showSlice(); });
    if (!m_output)
        return;
    // The transcript is never undone; an undo history would double its memory.
    m_output->setUndoRedoEnabled(false);
    m_text = fromBoxText(m_output->toPlainText());
    m_shown = m_text.size();
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
    QObject::connect(
        runner, &ReadOutput::GotChunk, &m_repaint,
        [this](const QString &sChunk, bool LastChunk) { GotChunk(sChunk, LastChunk); });
    QObject::connect(runner, &ReadOutput::Complete, &m_repaint, [this] { Complete(); });
    QObject::connect(runner, &ReadOutput::Canceled, &m_repaint, [this] { Canceled(); });
    QObject::connect(runner, &ReadOutput::Error, &m_repaint,
                     [this](const QString &error, int &code) { Error(error, code); });
}

bool Console::isShown() const { return unshownChars() == (m_text.endsWith(kCr) ? 1 : 0); }

void Console::setText(const QString &text)
{
    m_text = text;
    showWhole();
}

void Console::Starting(const QString &commandText)
{
    m_folder = platform::Platform::app().folder();
    append(commandText + kCrLf);
    m_transcript.start(commandText + kCrLf);
}

void Console::GotChunk(const QString &sChunk, bool LastChunk)
{
    Q_UNUSED(LastChunk);
    // A form feed is the script's "Cls" wherever the pipe's reads cut the
    // output: a chunk that holds one is taken as the text before it, the form
    // feed alone and the text after it.
    qsizetype start = 0;
    for (qsizetype formFeed = sChunk.indexOf(kFormFeed); formFeed >= 0;
         formFeed = sChunk.indexOf(kFormFeed, start)) {
        if (formFeed > start)
            showPiece(sChunk.mid(start, formFeed - start));
        showPiece(QString(kFormFeed));
        start = formFeed + 1;
    }
    if (start == 0)
        showPiece(sChunk);
    else if (start < sChunk.size())
        showPiece(sChunk.mid(start));
}

void Console::showPiece(const QString &piece)
{
    // The interpreter's line naming the program's folder shows as the drive root.
    if (piece.size() > 2 && piece.size() - 2 == m_folder.size() && piece.startsWith(m_folder)) {
        append(QStringLiteral("C:\\") + kCrLf);
        m_transcript.add(QStringLiteral("C:\\") + kCrLf);
        return;
    }
    const qsizetype before = m_text.size();
    appendChunk(piece);
    m_transcript.add(m_text.mid(before));
    dropOldest();
    // The form feed starts the script's transcript afresh with the output banner.
    if (piece.size() == 1 && piece.at(0) == kFormFeed)
        setText(kOutputBanner + kCrLf);
}

void Console::Complete()
{
    if (m_text.isEmpty())
        setText(kPrompt);
    else
        append(kCrLf + kPrompt);
    m_transcript.add(kCrLf + kPrompt);
    runEnded();
}

void Console::Canceled()
{
    append(kCrLf + kCanceledLine + kCrLf + kCrLf + kPrompt);
    m_transcript.add(kCrLf + kCanceledLine + kCrLf + kCrLf + kPrompt);
    runEnded();
}

void Console::Error(const QString &Error, int LastDLLError)
{
    platform::Platform::messages().show(
        QStringLiteral("Error"),
        QStringLiteral("Error!") + kCrLf + QStringLiteral("Description: ") + Error + kCrLf
            + QStringLiteral("LastDLLError: ") + QString::number(LastDLLError),
        platform::MsgIcon::Critical, platform::MsgButtons::Ok);
}

void Console::runEnded()
{
    if (unshownChars() <= kShowAtOnceChars)
        flush();
    if (m_hideBusy)
        m_hideBusy();
}

void Console::appendChunk(const QString &chunk)
{
    // Every CR removed, every LF made CR LF, in one pass straight into the
    // transcript: this runs for every chunk of a long output.
    const QChar *segment = chunk.constData();
    const QChar *end = segment + chunk.size();
    for (const QChar *p = segment; p != end; ++p) {
        if (*p != kCr && *p != kLf)
            continue;
        m_text.append(segment, p - segment);
        if (*p == kLf)
            m_text.append(kCrLf);
        segment = p + 1;
    }
    m_text.append(segment, end - segment);
    scheduleShowing();
}

void Console::append(const QString &addition)
{
    m_text += addition;
    dropOldest();
    scheduleShowing();
}

void Console::dropOldest()
{
    if (m_text.size() <= kLargestText)
        return;
    // The oldest half goes, up to the start of a line where one is near, and
    // never between a CR and its LF or the halves of a character.
    qsizetype cut = m_text.size() - kLargestText / 2;
    const qsizetype lineStart = m_text.indexOf(kLf, cut);
    if (lineStart >= 0 && lineStart - cut < kInsertChars)
        cut = lineStart + 1;
    else if (m_text.at(cut).isLowSurrogate())
        ++cut;
    const QString leftOut = kLeftOutLine + kCrLf;
    // The box loses what it shows of the dropped text.
    const qsizetype shownCut = qMin(cut, m_shown);
    if (m_output) {
        const qsizetype boxCut = shownCut - QStringView(m_text).left(shownCut).count(kCrLf);
        m_writing = true;
        QTextCursor start(m_output->document());
        start.setPosition(int(boxCut), QTextCursor::KeepAnchor);
        start.insertText(toBoxText(leftOut));
        m_writing = false;
    }
    m_shown = leftOut.size() + m_shown - shownCut;
    m_text.replace(0, cut, leftOut);
}

void Console::scheduleShowing()
{
    ++m_additionsSinceSlice;
    if (!m_repaint.isActive() && !isShown())
        m_repaint.start(kRepaintIntervalMs);
}

QString Console::takeUnshown(qsizetype maxChars)
{
    const qsizetype available = unshownChars();
    qsizetype count = qMin(maxChars, available);
    if (count < available) {
        // Whole lines where possible: a line shown in two pieces is laid out twice.
        const qsizetype lineEnd = QStringView(m_text).mid(m_shown, count).lastIndexOf(kLf);
        if (lineEnd >= 0)
            count = lineEnd + 1;
        else if (m_text.at(m_shown + count - 1).isHighSurrogate())
            --count;
    }
    // A CR waits for what follows it.
    if (count > 0 && m_text.at(m_shown + count - 1) == kCr)
        --count;
    const QString slice = m_text.mid(m_shown, count);
    m_shown += count;
    return toBoxText(slice);
}

void Console::showSlice()
{
    QElapsedTimer clock;
    clock.start();
    while (!isShown() && clock.elapsed() < kSliceBudgetMs) {
        const QString slice = takeUnshown(kInsertChars);
        if (slice.isEmpty())
            break;
        insertIntoBox(slice);
    }
    keepEndInView();
    if (isShown())
        return;
    // While output keeps coming, showing takes at most a quarter of the time, so
    // the command's output goes on being read at speed; once it has stopped,
    // the box catches up at full speed, still yielding to the window between
    // slices.
    const bool outputFlowing = m_additionsSinceSlice > 0;
    m_additionsSinceSlice = 0;
    m_repaint.start(outputFlowing ? int(3 * clock.elapsed()) : 0);
}

void Console::flush()
{
    m_repaint.stop();
    while (!isShown()) {
        const QString slice = takeUnshown(kInsertChars * 64);
        if (slice.isEmpty())
            break;
        insertIntoBox(slice);
    }
    keepEndInView();
}

void Console::insertIntoBox(const QString &boxText)
{
    if (!m_output)
        return;
    m_writing = true;
    QTextCursor end(m_output->document());
    end.movePosition(QTextCursor::End);
    end.insertText(boxText);
    m_writing = false;
}

void Console::showWhole()
{
    m_repaint.stop();
    m_shown = m_text.endsWith(kCr) ? m_text.size() - 1 : m_text.size();
    if (!m_output)
        return;
    m_writing = true;
    m_output->setPlainText(toBoxText(m_text.left(m_shown)));
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
    const QString unshown = m_text.mid(m_shown);
    m_text = fromBoxText(m_output->toPlainText());
    m_shown = m_text.size();
    m_text += unshown;
}
