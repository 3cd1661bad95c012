#include "app/MainJobWindow.h"
#include "app/Console.h"
#include "runner/ReadOutput.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

namespace app {

QWidget *MainJobWindow::control(const QString &name) const
{
    auto *found = m_p.window->findChild<QWidget *>(name);
    Q_ASSERT_X(found, "MainJobWindow", qPrintable(name));
    return found;
}

QString MainJobWindow::address() const
{
    return static_cast<QLineEdit *>(control(QStringLiteral("Text2")))->text();
}

QString MainJobWindow::password() const
{
    return static_cast<QLineEdit *>(control(QStringLiteral("Text3")))->text();
}

bool MainJobWindow::isChecked(const QString &control) const
{
    const auto *button = qobject_cast<QAbstractButton *>(this->control(control));
    return button && button->isChecked();
}

void MainJobWindow::setEnabled(const QString &name, bool enabled)
{
    control(name)->setEnabled(enabled);
}

void MainJobWindow::setVisible(const QString &name, bool visible)
{
    control(name)->setVisible(visible);
}

void MainJobWindow::setConsoleText(const QString &text) { m_p.console->setText(text); }

void MainJobWindow::startTimer(const QString &timer)
{
    m_p.window->findChild<QTimer *>(timer)->start();
}

void MainJobWindow::stopTimer(const QString &timer)
{
    m_p.window->findChild<QTimer *>(timer)->stop();
}

void MainJobWindow::runThroughRunner(const QString &command)
{
    // A busy runner refuses the command; the one it runs stays the running one.
    const bool busy = m_p.runner->isBusy();
    if (!busy)
        m_running = command;
    m_p.runner->SetCommand(command);
    m_p.runner->ProcessCommand();
    if (!busy)
        m_running.clear();
}

QString MainJobWindow::consoleText() const { return m_p.console->text(); }

bool MainJobWindow::isRunnerBusy() const { return m_p.runner->isBusy(); }

} // namespace app
