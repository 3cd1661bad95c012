#pragma once
#include <QString>

namespace jobs {

// What a job asks of the main window. Controls are named as on the window
// ("GIF1", "cmdAgree", "optYes"...), so the job table can name them too.
class JobWindow {
public:
    virtual ~JobWindow() = default;

    // The Connection settings as typed (Text2, Text3).
    virtual QString address() const = 0;
    virtual QString password() const = 0;
    // A check box's or option button's state.
    virtual bool isChecked(const QString &control) const = 0;

    virtual void setHeightTwips(int twips) = 0;
    virtual void setEnabled(const QString &control, bool enabled) = 0;
    virtual void setVisible(const QString &control, bool visible) = 0;
    virtual void popAlert(const QString &message) = 0;
    virtual void setConsoleText(const QString &text) = 0;
    virtual void startTimer(const QString &timer) = 0;
    virtual void stopTimer(const QString &timer) = 0;
    // Hands the command to the window's runner; returns when its run has ended.
    // A runner still busy with another command refuses it with its error.
    virtual void runThroughRunner(const QString &command) = 0;
    virtual bool isRunnerBusy() const = 0;
    // The command a job handed to the runner that is running now; empty when
    // none is (or the runner runs something else).
    virtual QString runningCommand() const = 0;
    // The Console's whole text.
    virtual QString consoleText() const = 0;
};

} // namespace jobs
