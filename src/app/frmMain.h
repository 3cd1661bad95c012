#pragma once
#include "about/AboutLauncher.h"
#include "app/MainWindowControls.h"
#include "app/PaneSwitcher.h"

#include <QWidget>
#include <memory>

class Console;
class ReadOutput;
class QTimer;

namespace jobs {
class JobController;
}

namespace app {

class GenerationChooser;
class JobProgressView;
class MainJobWindow;
class UpdateCheck;

// The main window: Connection settings, the pane buttons, four panes of which
// one is visible, and the Console below them. It wires the controls' events to
// the parts that do the work: the job controller, the Console, the update check.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Outer window height in twips (client height plus the window frame).
    int heightTwips() const;
    void setHeightTwips(int twips);

    // The Console that shows the runner's output in Output.
    ::Console &console() { return *m_console; }

    static bool FileExists(const QString &name);
    void PopAlert(const QString &message);

public slots:
    void Command2_Click();
    void Command1_Click();
    void Command4_Click();
    void Command6_Click();
    void Command3_Click();
    void cmdUpdate_Click();
    // The session ends or a termination signal came: a running job is
    // stopped as after a "Yes" to the close question, without asking, and
    // the window closes.
    void endWithoutAsking();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void connectControls();
    void hideBusyIndicators();
    // Start-up recovery, once no job's processes hold the job lock; until
    // then it is tried again on a timer.
    void recoverWhenFree();
    // Asks (unless ending without asking) and stops a running job; false
    // when the window is to stay open.
    bool stopRunningJob();

    MainWindowControls m_controls;
    PaneSwitcher m_panes;
    ReadOutput *ReadOutput1;
    std::unique_ptr<::Console> m_console;
    std::unique_ptr<MainJobWindow> m_jobWindow;
    std::unique_ptr<jobs::JobController> m_jobs;
    about::AboutLauncher m_about{this};
    UpdateCheck *m_update = nullptr;
    JobProgressView *m_progress = nullptr;
    GenerationChooser *m_generations = nullptr;
    QTimer *m_recoveryRetry = nullptr;
    bool m_endingWithoutAsking = false;
};

} // namespace app
