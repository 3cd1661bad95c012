#pragma once
#include "jobs/JobProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QLabel;
class QProgressBar;
class QWidget;
class ReadOutput;

namespace app {

// Shows how far a running backup or restore is: a progress bar and one line in
// the job's pane beside its busy sign, and the percentage in the window's title
// (so that it shows in the task bar). It reads the runner's output beside the
// Console and knows the job by the script the runner starts; other jobs show
// nothing. The controls are shown when the job starts and keep its last words
// after it has ended.
class JobProgressView : public QObject {
    Q_OBJECT
public:
    struct Pane {
        QProgressBar *bar;
        QLabel *line;
    };
    JobProgressView(QWidget *window, ReadOutput *runner, Pane backup, Pane restore);
    ~JobProgressView() override;

    // How often the shown figures follow the output.
    static constexpr int kRefreshMs = 250;

    // The run token of the script the runner starts next (see
    // JobScript::runToken): a restore's progress reads its check's verdict
    // only from the line that carries it.
    void setRunToken(const QString &token) { m_runToken = token; }

    // The running (or last) job's progress; null before a backup or restore.
    const jobs::JobProgress *progress() const { return m_progress.get(); }

private:
    void starting(const QString &command);
    void chunk(const QString &text);
    void ended();
    void refresh();
    Pane pane() const;

    QWidget *m_window;
    ReadOutput *m_runner;
    Pane m_backup;
    Pane m_restore;
    std::unique_ptr<jobs::JobProgress> m_progress;
    QElapsedTimer m_clock;
    QTimer m_refresh;
    QString m_title; // the window's title without the progress
    QString m_runToken;
};

} // namespace app
