#include "app/JobProgressView.h"
#include "jobs/JobTable.h"
#include "jobs/ProgressText.h"
#include "runner/ReadOutput.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace app {

using jobs::JobProgress;

JobProgressView::JobProgressView(QWidget *window, ReadOutput *runner, Pane backup, Pane restore)
    : QObject(window)
    , m_window(window)
    , m_runner(runner)
    , m_backup(backup)
    , m_restore(restore)
{
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &JobProgressView::refresh);
    connect(runner, &ReadOutput::Starting, this, [this] { starting(m_runner->SetCommand()); });
    connect(runner, &ReadOutput::GotChunk, this,
            [this](const QString &sChunk, bool) { chunk(sChunk); });
    connect(runner, &ReadOutput::Complete, this, &JobProgressView::ended);
    connect(runner, &ReadOutput::Canceled, this, &JobProgressView::ended);
}

JobProgressView::~JobProgressView() = default;

void JobProgressView::starting(const QString &command)
{
    // The job whose script the command starts, if its table entry shows progress.
    std::optional<JobProgress::Kind> kind;
    for (const jobs::JobDescription &job : jobs::jobTable()) {
        for (const jobs::JobScriptChoice &script : job.scripts) {
            if (job.progress && !script.runnerCommand.isEmpty()
                && command.compare(script.runnerCommand, Qt::CaseInsensitive) == 0)
                kind = job.progress;
        }
    }
    m_refresh.stop();
    if (!kind)
        return; // another job: the last backup's or restore's words stay
    m_progress = std::make_unique<JobProgress>(
        *kind, *kind == JobProgress::Kind::Restore ? m_runToken : QString());
    if (m_title.isEmpty())
        m_title = m_window->windowTitle();
    for (const Pane &p : {m_backup, m_restore}) {
        p.bar->hide();
        p.line->hide();
    }
    pane().bar->setValue(0);
    pane().bar->show();
    pane().line->show();
    m_clock.start();
    refresh();
    m_refresh.start();
}

void JobProgressView::chunk(const QString &text)
{
    if (!m_progress || !m_refresh.isActive())
        return;
    m_progress->feed(text, m_clock.elapsed());
}

void JobProgressView::ended()
{
    if (!m_progress || !m_refresh.isActive())
        return;
    m_refresh.stop();
    m_progress->runEnded();
    refresh();
}

JobProgressView::Pane JobProgressView::pane() const
{
    return m_progress && m_progress->kind() == JobProgress::Kind::Restore ? m_restore : m_backup;
}

void JobProgressView::refresh()
{
    if (!m_progress)
        return;
    // Time passes also without output: a stalled copy lengthens the estimate.
    m_progress->tick(m_clock.elapsed());
    const JobProgress::Figures f = m_progress->figures();
    const QString line = jobs::progresstext::line(f);
    const Pane p = pane();
    if (p.line->text() != line)
        p.line->setText(line);
    if (p.bar->value() != f.percent)
        p.bar->setValue(f.percent);
    const QString title = jobs::progresstext::windowTitle(m_title, m_progress->kind(), f);
    if (m_window->windowTitle() != title)
        m_window->setWindowTitle(title);
}

} // namespace app
