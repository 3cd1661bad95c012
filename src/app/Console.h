#pragma once
#include "app/TranscriptFile.h"

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
// text() is always the transcript exactly as rewriting the whole text on every
// event would leave it (plain text, CR LF line breaks), and the box always comes
// to show exactly that text. The box is brought up to date incrementally:
// additions are appended at its end a few times a second, in slices of bounded
// time, so that a command that prints hundreds of megabytes is read as fast as
// it writes, costs the same per chunk at its end as at its start, and leaves
// the window responsive. Laying text out in the box is far slower than reading
// it, so after such a flood the box may finish showing the output a little
// after the run has ended; small outputs are shown at once when the run ends.
// Whenever the box's text changes, the caret moves to the end, so the end
// stays in view. Output without end cannot fill the memory: past
// kLargestText characters, the oldest half goes, replaced by a line that says
// so (the transcript on disk keeps its own beginning).
class Console {
public:
    // Output: the box the transcript is shown in (not owned).
    explicit Console(QTextEdit *Output);
    ~Console();
    Console(const Console &) = delete;
    Console &operator=(const Console &) = delete;

    // The whole transcript.
    QString text() const { return m_text; }
    // Replaces the whole transcript (the start-up text, the SSH first-run job)
    // and shows it at once. Text put into the box directly is taken over as the
    // transcript too.
    void setText(const QString &text);

    // Called when a run ends (Complete, Canceled); the main window hides here
    // the busy indicators of the jobs that run through the runner.
    void setHideBusyIndicators(std::function<void()> hook) { m_hideBusy = std::move(hook); }

    // Connects the runner's five events to the handlers below.
    void attach(ReadOutput *runner);

    // Handlers of the runner's events.
    void Starting(const QString &commandText);
    void GotChunk(const QString &sChunk, bool LastChunk);
    void Complete();
    void Canceled();
    void Error(const QString &Error, int LastDLLError);

    // True when the box shows the whole transcript.
    bool isShown() const;
    // Shows everything now, however long it takes.
    void flush();

    // How long additions may wait before they are shown.
    static constexpr int kRepaintIntervalMs = 40;
    // How long one slice of showing may keep the window busy.
    static constexpr int kSliceBudgetMs = 12;
    // A backlog up to this size is shown at once when a run ends.
    static constexpr qsizetype kShowAtOnceChars = 256 * 1024;
    // The most text kept, about a hundred thousand lines of a backup.
    static constexpr qsizetype kLargestText = 8 * 1024 * 1024;

private:
    // One chunk, or one part of a chunk cut at its form feeds.
    void showPiece(const QString &piece);
    void appendChunk(const QString &chunk);
    void append(const QString &addition);
    void scheduleShowing();
    void dropOldest();
    qsizetype unshownChars() const { return m_text.size() - m_shown; }
    QString takeUnshown(qsizetype maxChars);
    void showSlice();
    void insertIntoBox(const QString &boxText);
    void showWhole();
    void runEnded();
    void keepEndInView();
    void takeOverBoxText();

    QPointer<QTextEdit> m_output;
    QString m_text;
    // How much of m_text the box shows. A CR at the very end is not shown until
    // more text follows, as it may be the first half of a CR LF pair.
    qsizetype m_shown = 0;
    // The program's folder, read when a run starts.
    QString m_folder;
    bool m_writing = false;
    int m_additionsSinceSlice = 0;
    QTimer m_repaint;
    std::function<void()> m_hideBusy;
    // Everything the runner brought, on disk as it arrives.
    app::TranscriptFile m_transcript;
};
