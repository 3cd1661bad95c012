#include "app/frmMain.h"
#include "alert/frmAlert.h"
#include "app/Console.h"
#include "app/ExitCleanup.h"
#include "app/GenerationChooser.h"
#include "app/JobProgressView.h"
#include "app/MainJobWindow.h"
#include "app/MainWindowHoverHelp.h"
#include "app/UpdateCheck.h"
#include "jobs/BackupRecovery.h"
#include "jobs/JobController.h"
#include "jobs/JobTable.h"
#include "jobs/JobStop.h"
#include "jobs/StartupRecovery.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/desktop/CaptionFont.h"
#include "runner/ReadOutput.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace app {

namespace {

constexpr int kClientWidthTwips = 5655;
constexpr int kClientHeightTwips = 5490;
// Outer height minus client height: the title bar and frame of the window.
constexpr int kFrameHeightTwips = 405;

const QString kConsoleBanner = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge");

} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
    , m_controls(buildMainWindowControls(this))
    , m_panes({m_controls.Frame1, m_controls.Frame2, m_controls.Frame4, m_controls.Frame5})
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zorvane"));
    setFont(platform::CaptionFont::ofSize(8.25));
    setFixedSize(platform::twipsToPixels(kClientWidthTwips),
                 platform::twipsToPixels(kClientHeightTwips));

    m_update = new UpdateCheck({this, m_controls.cmdUpdate, m_controls.ProgressBar1,
                                m_controls.Label13, m_controls.Label10, m_controls.Label5,
                                m_controls.Label1, m_controls.lblSize, m_controls.lblAction,
                                m_controls.lblRemaining, m_controls.lblPrcnt},
                               this);
    ReadOutput1 = new ReadOutput(this);
    ReadOutput1->setObjectName(QStringLiteral("ReadOutput1"));
    m_console = std::make_unique<::Console>(m_controls.Output);
    m_console->setHideBusyIndicators([this] { hideBusyIndicators(); });
    m_console->attach(ReadOutput1);
    m_progress =
        new JobProgressView(this, ReadOutput1, {m_controls.prgBackup, m_controls.lblBackupProgress},
                            {m_controls.prgRestore, m_controls.lblRestoreProgress});
    m_generations = new GenerationChooser(m_controls.Frame4, m_controls.cboGeneration,
                                          m_controls.cmdShowGeneration,
                                          {m_controls.Label8, m_controls.lblRestoreProgress}, this);
    m_jobWindow = std::make_unique<MainJobWindow>(MainJobWindow::Parts{
        this, m_console.get(), ReadOutput1, [this](int twips) { setHeightTwips(twips); },
        [this](const QString &message) { PopAlert(message); },
        [this](const QString &token) { m_progress->setRunToken(token); },
        [this] { return m_generations->chosen(); }});
    m_jobs = std::make_unique<jobs::JobController>(*m_jobWindow);

    connectControls();
    addMainWindowHoverHelp(this, m_controls);
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::connectControls()
{
    connect(m_controls.Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(m_controls.Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(m_controls.Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(m_controls.Command6, &QPushButton::clicked, this, &frmMain::Command6_Click);
    connect(m_controls.Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    // Each job's button, timer and agreement box, as the job table names them.
    m_jobWindow->connectJobs([this](jobs::Job job) { m_jobs->start(job); },
                             [this](jobs::Job job) { m_jobs->timerTick(job); });
    connect(m_controls.cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);
}

void frmMain::Form_Load()
{
    // A backup stopped part-way (this program, its interpreter or the machine)
    // leaves its previous backup set aside: put it back before anything runs,
    // but only once no job runs in the folder (another window's, or the one
    // whose end started this window and is still finishing).
    recoverWhenFree();
    const QString version = platform::Platform::app().versionText();
    PopAlert(QStringLiteral("Welcome to Zorvane, Version: ") + version + QStringLiteral(" Beta."));

    m_controls.Output->setPlainText(kConsoleBanner);
    // Blue over the whole banner; the selection stays in place.
    QTextCursor cursor = m_controls.Output->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    cursor.mergeCharFormat(blue);
    m_controls.Output->setTextCursor(cursor);

    setWindowTitle(QStringLiteral("Zorvane Version: ") + version + QStringLiteral(" Beta"));

    m_controls.Frame1->show();
    m_controls.Frame2->hide();
    m_controls.Frame4->hide();
}

int frmMain::heightTwips() const { return platform::pixelsToTwips(height()) + kFrameHeightTwips; }

void frmMain::setHeightTwips(int twips)
{
    setFixedHeight(platform::twipsToPixels(twips - kFrameHeightTwips));
}

bool frmMain::FileExists(const QString &name) { return app::FileExists(name); }

void frmMain::PopAlert(const QString &message)
{
    auto *popup = new alert::frmAlert;
    popup->DisplayAlert(message, 3000);
}

void frmMain::Command2_Click() { m_panes.show(m_controls.Frame1); }
void frmMain::Command1_Click() { m_panes.show(m_controls.Frame2); }
void frmMain::Command4_Click() { m_panes.show(m_controls.Frame4); }
void frmMain::Command6_Click() { m_panes.show(m_controls.Frame5); }
void frmMain::Command3_Click() { m_about.show(); }
void frmMain::cmdUpdate_Click() { m_update->cmdUpdate_Click(); }

void frmMain::Form_Unload() { runExitCleanup(); }

void frmMain::hideBusyIndicators()
{
    // The signs of the jobs that run through the runner, in the order the job
    // table gives them.
    for (const jobs::Control sign : jobs::runEndSigns())
        m_jobWindow->setVisible(sign, false);
}

void frmMain::recoverWhenFree()
{
    const std::optional<QStringList> notices = jobs::StartupRecovery::tryNow();
    if (notices) {
        if (m_recoveryRetry)
            m_recoveryRetry->stop();
        for (const QString &notice : *notices)
            platform::Platform::messages().show(QStringLiteral("Zorvane"), notice,
                                                platform::MsgIcon::Exclamation,
                                                platform::MsgButtons::Ok);
        return;
    }
    if (m_recoveryRetry)
        return;
    m_recoveryRetry = new QTimer(this);
    m_recoveryRetry->setObjectName(QStringLiteral("recoveryRetry"));
    m_recoveryRetry->setInterval(250);
    connect(m_recoveryRetry, &QTimer::timeout, this, &frmMain::recoverWhenFree);
    m_recoveryRetry->start();
    // A job whose end started this window is gone within moments; one that
    // still runs after a while is another window's, and the Console says so.
    QTimer::singleShot(1500, this, [this] {
        if (m_recoveryRetry->isActive())
            m_console->setText(m_controls.Output->toPlainText() + QStringLiteral("\r\n")
                               + jobs::StartupRecovery::runningElsewhereText());
    });
}

bool frmMain::stopRunningJob()
{
    if (!ReadOutput1->isBusy())
        return true;
    const std::optional<jobs::Job> job = jobs::JobStop::jobOfCommand(m_jobWindow->runningCommand());
    if (!m_endingWithoutAsking
        && platform::Platform::messages().show(QStringLiteral("Zorvane"),
                                               jobs::JobStop::question(job),
                                               platform::MsgIcon::Question,
                                               platform::MsgButtons::YesNoDefaultNo)
               != platform::MsgAnswer::Yes)
        return false;
    const jobs::JobStop::Result stopped = jobs::JobStop::stop(ReadOutput1->processId(), job);
    if (stopped == jobs::JobStop::Result::Alive && !m_endingWithoutAsking) {
        platform::warningBox(QStringLiteral("The job could not be stopped, so it goes on and "
                                            "Zorvane stays open. Wait for the job to finish, "
                                            "then close Zorvane."));
        return false;
    }
    return true;
}

void frmMain::endWithoutAsking()
{
    m_endingWithoutAsking = true;
    close();
    QApplication::quit();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!stopRunningJob()) {
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

} // namespace app
