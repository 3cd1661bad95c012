#pragma once
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QTextEdit;
class ReadOutput;

// The Console: the transcript the main window keeps in its rich-text box Output,
// in the manner of a command prompt: the command the runner starts, what the
// command writes, and the prompt "C:\> " when it has ended.
//
// text() is the transcript exactly as rewriting the whole text on every event
// would leave it (plain text, CR LF line breaks). The box itself is brought up
// to date incrementally: additions are appended at its end, a few times a
// second while output streams in and at once when a run ends, so that a run
// that prints hundreds of megabytes costs the same per chunk at its end as at
// its start. Whenever the box's text changes, the caret moves to the end so the
// end stays in view.
class Console {
public:
    // Output: the box the transcript is shown in (not owned).
    explicit Console(QTextEdit *Output);
    ~Console();
    Console(const Console &) = delete;
    Console &operator=(const Console &) = delete;

    // The whole transcript.
    QString text() const { return m_text; }
    // Replaces the whole transcript (the start-up text, the SSH first-run job).
    // Text put into the box directly is taken over as the transcript too.
    void setText(const QString &text);

    // Called when a run ends (Complete, Canceled); the main window hides its
    // busy indicators here: DXAnimatedGIF5, DXAnimatedGIF2, DXAnimatedGIF1,
    // GIF1, GIF2, in that order.
    void setHideBusyIndicators(std::function<void()> hook) { m_hideBusy = std::move(hook); }

    // Connects the runner's five events to the handlers below.
    void attach(ReadOutput *runner);

    // Handlers of the runner's events.
    void Starting(const QString &commandText);
    void GotChunk(const QString &sChunk, bool LastChunk);
    void Complete();
    void Canceled();
    void Error(const QString &Error, int LastDLLError);

    // Brings the box up to date with the transcript now.
    void flush();

    // How long additions may wait before they are shown.
    static constexpr int kRepaintIntervalMs = 40;

private:
    void append(const QString &addition);
    void showWhole();
    void keepEndInView();
    void takeOverBoxText();
    void hideBusyIndicators();

    QPointer<QTextEdit> m_output;
    QString m_text;
    // Additions not yet in the box, with the box's line breaks.
    QString m_pending;
    // A CR at the very end of the transcript, not yet shown: it may be the
    // first half of a CR LF pair.
    bool m_heldCr = false;
    bool m_writing = false;
    QTimer m_repaint;
    std::function<void()> m_hideBusy;
};
