#include "app/MainJobWindow.h"
#include "app/AgreementGate.h"
#include "app/Console.h"
#include "runner/ReadOutput.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace app {

MainJobWindow::MainJobWindow(Parts parts)
    : m_parts(std::move(parts))
    , m_controls(m_parts.window)
{
    // A control the jobs name but the window lacks is a fault of the program
    // itself: it stops here, before any click could reach it.
    if (!m_controls.faults().isEmpty())
        qFatal("The main window does not have the controls its jobs use: %s",
               qPrintable(m_controls.faults().join(QStringLiteral("; "))));
}

void MainJobWindow::connectJobs(const std::function<void(jobs::Job)> &start,
                                const std::function<void(jobs::Job)> &tick)
{
    QWidget *window = m_parts.window;
    for (const jobs::JobDescription &job : jobs::jobTable()) {
        const jobs::Job which = job.job;
        // The table's check has given every job a button, found as a button.
        auto *button = static_cast<QAbstractButton *>(m_controls.widget(*job.button));
        QObject::connect(button, &QAbstractButton::clicked, window,
                         [start, which] { start(which); });
        if (job.timer)
            QObject::connect(m_controls.timer(*job.timer), &QTimer::timeout, window,
                             [tick, which] { tick(which); });
        if (!job.agreement || !job.continueButton)
            continue;
        auto *agreement = qobject_cast<QCheckBox *>(m_controls.widget(*job.agreement));
        auto *go = qobject_cast<QPushButton *>(m_controls.widget(*job.continueButton));
        if (!agreement || !go)
            qFatal("The agreement box or Continue button of job %d is not one",
                   static_cast<int>(which));
        QObject::connect(agreement, &QCheckBox::stateChanged, window,
                         [agreement, go] { gateOnAgreement(agreement, go); });
    }
}

QString MainJobWindow::address() const
{
    return static_cast<QLineEdit *>(m_controls.widget(jobs::Control::Text2))->text();
}

QString MainJobWindow::password() const
{
    return static_cast<QLineEdit *>(m_controls.widget(jobs::Control::Text3))->text();
}

bool MainJobWindow::isChecked(jobs::Control control) const
{
    const auto *button = qobject_cast<QAbstractButton *>(m_controls.widget(control));
    return button && button->isChecked();
}

void MainJobWindow::setEnabled(jobs::Control control, bool enabled)
{
    m_controls.widget(control)->setEnabled(enabled);
}

void MainJobWindow::setVisible(jobs::Control control, bool visible)
{
    m_controls.widget(control)->setVisible(visible);
}

void MainJobWindow::setConsoleText(const QString &text) { m_parts.console->setText(text); }

void MainJobWindow::startTimer(jobs::JobTimer timer) { m_controls.timer(timer)->start(); }

void MainJobWindow::stopTimer(jobs::JobTimer timer) { m_controls.timer(timer)->stop(); }

void MainJobWindow::runThroughRunner(const QString &command)
{
    // A busy runner refuses the command; the one it runs stays the running one.
    const bool busy = m_parts.runner->isBusy();
    if (!busy)
        m_running = command;
    m_parts.runner->SetCommand(command);
    m_parts.runner->ProcessCommand();
    if (!busy)
        m_running.clear();
}

QString MainJobWindow::consoleText() const { return m_parts.console->text(); }

bool MainJobWindow::isRunnerBusy() const { return m_parts.runner->isBusy(); }

} // namespace app
