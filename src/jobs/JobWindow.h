#pragma once
#include "jobs/JobControl.h"

#include <QString>

namespace jobs {

// What a job asks of the main window. Controls and timers are named by
// `Control` and `JobTimer`, which the window maps to its own once, when built.
class JobWindow {
public:
    virtual ~JobWindow() = default;

    // The Connection settings as typed (Text2, Text3).
    virtual QString address() const = 0;
    virtual QString password() const = 0;
    // A check box's or option button's state.
    virtual bool isChecked(Control control) const = 0;

    virtual void setHeightTwips(int twips) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual void popAlert(const QString &message) = 0;
    virtual void setConsoleText(const QString &text) = 0;
    virtual void startTimer(JobTimer timer) = 0;
    virtual void stopTimer(JobTimer timer) = 0;
    // Hands the command to the window's runner; returns when its run has ended.
    // A runner still busy with another command refuses it with its error.
    virtual void runThroughRunner(const QString &command) = 0;
    // The run token (see JobScript::runToken) of the script handed to the
    // runner next; empty when it has none. The progress reads the restore's
    // verdict only from the line that carries it.
    virtual void setRunToken(const QString &token) = 0;
    virtual bool isRunnerBusy() const = 0;
    // The command a job handed to the runner that is running now; empty when
    // none is (or the runner runs something else).
    virtual QString runningCommand() const = 0;
    // The Console's whole text.
    virtual QString consoleText() const = 0;
    // The older backup chosen to be restored: its folder in Generations;
    // empty for the newest backup, in place.
    virtual QString chosenGeneration() const { return {}; }
};

} // namespace jobs
