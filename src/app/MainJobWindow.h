#pragma once
#include "app/JobControlMap.h"
#include "jobs/JobTable.h"
#include "jobs/JobWindow.h"

#include <functional>

class Console;
class QWidget;
class ReadOutput;

namespace app {

// The main window as the jobs see it: its controls (found once, when it is
// built: a control the jobs name that the window lacks ends the program there,
// in every build), its Console, its runner, its height and its alerts.
class MainJobWindow : public jobs::JobWindow {
public:
    struct Parts {
        QWidget *window;
        ::Console *console;
        ReadOutput *runner;
        std::function<void(int)> setHeightTwips;
        std::function<void(const QString &)> popAlert;
        std::function<void(const QString &)> setRunToken; // for the job's progress
        std::function<QString()> chosenGeneration;        // the Restore pane's choice
    };
    explicit MainJobWindow(Parts parts);

    // Wires every job in the job table: its button's press starts it, its
    // timer's ticks go to it, and its agreement box gates its Continue button.
    void connectJobs(const std::function<void(jobs::Job)> &start,
                     const std::function<void(jobs::Job)> &tick);

    QString address() const override;
    QString password() const override;
    bool isChecked(jobs::Control control) const override;
    void setHeightTwips(int twips) override { m_parts.setHeightTwips(twips); }
    void setEnabled(jobs::Control control, bool enabled) override;
    void setVisible(jobs::Control control, bool visible) override;
    void popAlert(const QString &message) override { m_parts.popAlert(message); }
    void setConsoleText(const QString &text) override;
    void startTimer(jobs::JobTimer timer) override;
    void stopTimer(jobs::JobTimer timer) override;
    void runThroughRunner(const QString &command) override;
    void setRunToken(const QString &token) override { m_parts.setRunToken(token); }
    bool isRunnerBusy() const override;
    QString runningCommand() const override { return m_running; }
    QString consoleText() const override;
    QString chosenGeneration() const override
    {
        return m_parts.chosenGeneration ? m_parts.chosenGeneration() : QString();
    }

private:
    Parts m_parts;
    QString m_running;
    JobControlMap m_controls;
};

} // namespace app
