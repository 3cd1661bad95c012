#pragma once
#include "jobs/JobWindow.h"

#include <functional>

class Console;
class QWidget;
class ReadOutput;

namespace app {

// The main window as the jobs see it: its controls found by name, its Console,
// its runner, its height and its alerts.
class MainJobWindow : public jobs::JobWindow {
public:
    struct Parts {
        QWidget *window;
        ::Console *console;
        ReadOutput *runner;
        std::function<void(int)> setHeightTwips;
        std::function<void(const QString &)> popAlert;
    };
    explicit MainJobWindow(Parts parts)
        : m_p(std::move(parts))
    {}

    QString address() const override;
    QString password() const override;
    bool isChecked(const QString &control) const override;
    void setHeightTwips(int twips) override { m_p.setHeightTwips(twips); }
    void setEnabled(const QString &control, bool enabled) override;
    void setVisible(const QString &control, bool visible) override;
    void popAlert(const QString &message) override { m_p.popAlert(message); }
    void setConsoleText(const QString &text) override;
    void startTimer(const QString &timer) override;
    void stopTimer(const QString &timer) override;
    void runThroughRunner(const QString &command) override;
    bool isRunnerBusy() const override;
    QString runningCommand() const override { return m_running; }
    QString consoleText() const override;

private:
    QWidget *control(const QString &name) const;

    Parts m_p;
    QString m_running;
};

} // namespace app
