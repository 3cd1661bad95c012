#include "app/MainJobWindow.h"
#include "app/Console.h"
#include "runner/ReadOutput.h"

#include <QAbstractButton>
#include <QLineEdit>
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
