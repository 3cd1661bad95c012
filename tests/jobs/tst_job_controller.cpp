// The job controller without a window: what each job's click asks of the window
// and the platform, in order, given a window stand-in that records every request.
#include "jobs/JobController.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobScripts.h"
#include "jobs/JobWindow.h"
#include "support/FolderFixture.h"

#include <QDir>
#include <QSet>
#include <QtTest>
#include <memory>

namespace {

// Stand-in for the main window: records requests into the shared log.
class RecordingWindow : public jobs::JobWindow {
public:
    explicit RecordingWindow(QStringList &log)
        : m_log(log)
    {}
    QString address() const override { return addressText; }
    QString password() const override { return QStringLiteral("fennel"); }
    bool isChecked(jobs::Control control) const override
    {
        return checked.contains(jobs::controlName(control));
    }
    void setHeightTwips(int twips) override { m_log << QStringLiteral("height %1").arg(twips); }
    void setEnabled(jobs::Control c, bool on) override
    {
        m_log << (on ? QStringLiteral("enable ") : QStringLiteral("disable "))
                     + jobs::controlName(c);
    }
    void setVisible(jobs::Control c, bool on) override
    {
        m_log << (on ? QStringLiteral("show ") : QStringLiteral("hide ")) + jobs::controlName(c);
    }
    void popAlert(const QString &m) override { m_log << QStringLiteral("alert ") + m; }
    void setConsoleText(const QString &t) override
    {
        m_log << QStringLiteral("console ") + t.section(QStringLiteral("\r\n"), -1);
    }
    void startTimer(jobs::JobTimer t) override
    {
        m_log << QStringLiteral("timer ") + jobs::timerName(t);
    }
    void stopTimer(jobs::JobTimer t) override
    {
        m_log << QStringLiteral("stop ") + jobs::timerName(t);
    }
    void runThroughRunner(const QString &c) override { m_log << QStringLiteral("run ") + c; }
    bool isRunnerBusy() const override { return runnerBusy; }

    QString addressText = QStringLiteral("10.0.0.2");
    QSet<QString> checked;
    bool runnerBusy = false;

private:
    QStringList &m_log;
};

} // namespace

class tst_job_controller : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyJobTakesItsStepsInOrder_data();
    void everyJobTakesItsStepsInOrder();
    void badAddressStopsEveryConnectionJobBeforeAnyStep();
    void unchangedSshScriptIsStartedAgainWithoutWriting();
    void scriptThatCannotBeWrittenWithdrawsTheBusySigns();
    void runningScriptIsNeverRewritten();
    void sshFirstRunWithoutATerminalTakesNoStep();
    void sshFirstRunThatCannotStartSaysSoAndStopsItsTimer();
    void sshFirstRunTicksReportWhatHappened();
    void everyScriptEndsWithItsJobsCompletion();

private:
    std::unique_ptr<FolderFixture> m_folder;
    QStringList m_log;
    fake::Services m_fakes{};
};

void tst_job_controller::init()
{
    m_folder = std::make_unique<FolderFixture>();
    QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
    m_log.clear();
    m_fakes = m_folder->fakes();
    m_fakes.messages->onShow = [this](const fake::ShownBox &b) { m_log << "box " + b.title; };
    m_fakes.shell->onStart = [this](const fake::ShellStart &s) { m_log << "shell " + s.file; };
    m_fakes.files->onChange = [this](const QString &change) { m_log << change; };
    for (const char *folder : {"Applications", "mobile", "root"})
        QVERIFY(QDir().mkpath(QString::fromLatin1(folder)));
}

void tst_job_controller::cleanup() { m_folder.reset(); }

void tst_job_controller::everyJobTakesItsStepsInOrder_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("backup, symlinked")
        << int(jobs::Job::Backup) << "optYes"
        << QStringList{"height 8700", "disable cmdAgree", "box BEFORE YOU BEGIN!!!",
                       "show GIF1",   "show Label7",      "write Yes.bat",
                       "run Yes.bat"};
    QTest::newRow("backup, not symlinked")
        << int(jobs::Job::Backup) << "optNo"
        << QStringList{"height 8700", "disable cmdAgree", "box BEFORE YOU BEGIN!!!",
                       "show GIF1",   "show Label7",      "write No.bat",
                       "run no.bat"};
    QTest::newRow("backup, no option")
        << int(jobs::Job::Backup) << "" << QStringList{"box Zorvane"};
    QTest::newRow("restore")
        << int(jobs::Job::Restore) << ""
        << QStringList{"height 8700", "disable Command5",       "show GIF2",
                       "show Label8", "write PutFilesBack.bat", "run PutFilesBack.bat"};
    QTest::newRow("ssh first run")
        << int(jobs::Job::SshFirstRun) << ""
        << QStringList{
               "height 8700",         "console Please wait for the command prompt window to close.",
               "timer Timer1",        "alert Executing SSH for the First time... Please Wait...",
               "show DXAnimatedGIF3", "write SSH.bat",
               "shell SSH.bat"};
    QTest::newRow("applications")
        << int(jobs::Job::ApplicationsRelocation) << ""
        << QStringList{"alert Executing Symlink Applications Process...Please Wait...",
                       "height 8700", "show DXAnimatedGIF1", "write apps.bat", "run apps.bat"};
    QTest::newRow("fonts") << int(jobs::Job::FontsRelocation) << ""
                           << QStringList{"height 8700", "show DXAnimatedGIF2",
                                          "box Before Symlinking Your Fonts....", "write fonts.bat",
                                          "run fonts.bat"};
    QTest::newRow("dfu") << int(jobs::Job::Dfu) << ""
                         << QStringList{"height 8700", "box DFU Mode WARNING",
                                        "show DXAnimatedGIF5", "write DFU.bat", "run DFU.bat"};
}

void tst_job_controller::everyJobTakesItsStepsInOrder()
{
    QFETCH(int, job);
    QFETCH(QString, option);
    QFETCH(QStringList, steps);
    RecordingWindow window(m_log);
    if (!option.isEmpty())
        window.checked.insert(option);
    jobs::JobController(window).start(jobs::Job(job));
    QCOMPARE(m_log, steps);
}

void tst_job_controller::badAddressStopsEveryConnectionJobBeforeAnyStep()
{
    for (jobs::Job job : {jobs::Job::Backup, jobs::Job::Restore, jobs::Job::SshFirstRun,
                          jobs::Job::ApplicationsRelocation, jobs::Job::FontsRelocation}) {
        m_log.clear();
        RecordingWindow window(m_log);
        window.addressText = QStringLiteral("192.168.");
        window.checked = {QStringLiteral("optNo"), QStringLiteral("Check1")};
        jobs::JobController(window).start(job);
        QCOMPARE(m_log, QStringList{"box SSH Login"});
    }
    // The DFU job uses no Connection settings and goes ahead.
    m_log.clear();
    RecordingWindow window(m_log);
    window.addressText = QStringLiteral("192.168.");
    jobs::JobController(window).start(jobs::Job::Dfu);
    QCOMPARE(m_log.last(), QStringLiteral("run DFU.bat"));
}

void tst_job_controller::unchangedSshScriptIsStartedAgainWithoutWriting()
{
    RecordingWindow window(m_log);
    jobs::JobController jobs(window);
    jobs.start(jobs::Job::SshFirstRun);
    m_log.clear();
    jobs.start(jobs::Job::SshFirstRun);
    QVERIFY(!m_log.contains(QStringLiteral("write SSH.bat")));
    QCOMPARE(m_log.last(), QStringLiteral("shell SSH.bat"));

    window.addressText = QStringLiteral("10.0.0.3");
    m_log.clear();
    jobs.start(jobs::Job::SshFirstRun);
    QVERIFY(m_log.contains(QStringLiteral("write SSH.bat")));
}

void tst_job_controller::scriptThatCannotBeWrittenWithdrawsTheBusySigns()
{
    // A folder where the script should go.
    QFile::remove(QStringLiteral("No.bat"));
    QVERIFY(QDir().mkpath(QStringLiteral("No.bat")));
    RecordingWindow window(m_log);
    window.checked = {QStringLiteral("optNo"), QStringLiteral("Check1")};
    jobs::JobController(window).start(jobs::Job::Backup);
    QCOMPARE(m_log.mid(5), (QStringList{"write No.bat", "box Zorvane", "hide GIF1", "hide Label7",
                                        "enable cmdAgree"}));
}

void tst_job_controller::runningScriptIsNeverRewritten()
{
    // zcmd reads the running apps.bat line by line from disk: a second click
    // while it runs goes to the busy runner (which refuses it) unwritten.
    RecordingWindow window(m_log);
    window.runnerBusy = true;
    jobs::JobController(window).start(jobs::Job::ApplicationsRelocation);
    QVERIFY(!m_log.contains(QStringLiteral("write apps.bat")));
    QCOMPARE(m_log.last(), QStringLiteral("run apps.bat"));
    QVERIFY(!m_log.contains(QStringLiteral("hide DXAnimatedGIF1")));
}

void tst_job_controller::sshFirstRunWithoutATerminalTakesNoStep()
{
    m_fakes.shell->consoleWindow = false;
    RecordingWindow window(m_log);
    jobs::JobController(window).start(jobs::Job::SshFirstRun);
    QCOMPARE(m_log, QStringList{"box No terminal window"});
    QVERIFY(m_fakes.messages->shown.first().text.contains(QStringLiteral("\"xterm\"")));
}

void tst_job_controller::sshFirstRunThatCannotStartSaysSoAndStopsItsTimer()
{
    m_fakes.shell->result = false;
    RecordingWindow window(m_log);
    jobs::JobController(window).start(jobs::Job::SshFirstRun);
    QCOMPARE(m_log.mid(m_log.indexOf(QStringLiteral("shell SSH.bat"))),
             (QStringList{"shell SSH.bat", "box Zorvane",
                          "console SSH did NOT complete: the SSH window could not be opened, so "
                          "nothing was sent to your device.",
                          "hide DXAnimatedGIF3", "stop Timer1"}));
}

void tst_job_controller::sshFirstRunTicksReportWhatHappened()
{
    const QString keys = m_folder->file(QStringLiteral("sshhostkeys"));
    qputenv("PUTTYSSHHOSTKEYS", keys.toLocal8Bit());
    const auto unset = qScopeGuard([] { qunsetenv("PUTTYSSHHOSTKEYS"); });
    auto writeFile = [](const QString &name, const QByteArray &content) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    const QString waiting =
        QStringLiteral("console Waiting for the SSH window: answer \"y\" there when "
                       "it asks whether to store the device's key.");
    // A note left by an earlier run must not count for this one.
    writeFile(jobs::kSshCopyNote, "copied\r\n");
    RecordingWindow window(m_log);
    jobs::JobController jobs(window);
    jobs.start(jobs::Job::SshFirstRun);
    QVERIFY(m_log.contains(QStringLiteral("delete ") + jobs::kSshCopyNote));
    QCOMPARE(m_log.last(), QStringLiteral("shell SSH.bat"));

    m_log.clear();
    jobs.timerTick(jobs::Job::SshFirstRun);
    jobs.timerTick(jobs::Job::SshFirstRun); // unchanged: the Console is left alone
    QCOMPARE(m_log, QStringList{waiting});

    // The key answered with "y", then the copy.
    writeFile(keys, "rsa2@22:10.0.0.2 0x23,0xc0ffee\n");
    writeFile(jobs::kSshCopyNote, "copied\r\n");
    m_log.clear();
    jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log, (QStringList{"console You can now run the Backup or Restore options when the "
                                 "command prompt closes!",
                                 "hide DXAnimatedGIF3", "stop Timer1"}));

    // The key stored, but the copy never notes its end (its window was closed).
    jobs.start(jobs::Job::SshFirstRun);
    m_log.clear();
    for (int tick = 0; tick < jobs::SshFirstRunWatch::kCopyLimitTicks; ++tick)
        jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log, QStringList{waiting});
    jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log.mid(1).first(),
             QStringLiteral("console You can now run the Backup or Restore options "
                            "when the command prompt closes!"));

    // No answer at all: the job gives up waiting after its limit.
    QVERIFY(QFile::remove(keys));
    jobs.start(jobs::Job::SshFirstRun);
    m_log.clear();
    for (int tick = 1; tick < jobs::SshFirstRunWatch::kAnswerLimitTicks; ++tick)
        jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log, QStringList{waiting});
    jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log.mid(1),
             (QStringList{"console Click \"Run SSH Fingerprint\" again and answer \"y\" "
                          "when the SSH window asks \"Store key in cache?\".",
                          "hide DXAnimatedGIF3", "stop Timer1"}));
}

void tst_job_controller::everyScriptEndsWithItsJobsCompletion()
{
    // Each script notes its job in the word its completion program looks for,
    // and starts that program; a job that reports its end itself starts none.
    const jobs::ConnectionSettings cs(QStringLiteral("10.0.0.2"), QStringLiteral("fennel"));
    for (const jobs::JobDescription &job : jobs::jobTable()) {
        for (const jobs::JobScriptChoice &choice : job.scripts) {
            const jobs::JobScript script = choice.lines(QStringLiteral("1.0.5"), cs);
            QCOMPARE(script.fileName(), jobs::scriptForm(choice.kind, QString()).fileName);
            QStringList completions;
            QStringList jobNotes;
            for (const QString &line : script.lines()) {
                if (line.startsWith(QLatin1String("start "))
                    && line != QLatin1String("start Zorvane.exe"))
                    completions << line;
                if (line.startsWith(QLatin1String("echo job ")))
                    jobNotes << line;
            }
            if (!job.completion) {
                QVERIFY2(completions.isEmpty() && jobNotes.isEmpty(),
                         qPrintable(script.fileName()));
                continue;
            }
            const QString word = jobs::JobOutcome::notesWord(*job.completion);
            QCOMPARE(completions,
                     QStringList{"start " + jobs::JobOutcome::completionProgram(*job.completion)
                                 + ".exe"});
            QCOMPARE(jobNotes, QStringList{"echo job " + word + ">" + jobs::kOutcomeFile});
            // The completion program takes those notes for its own job's.
            const QByteArray notes = "job " + word.toLatin1() + "\r\nend\r\n";
            QVERIFY(!jobs::JobOutcome::decide(*job.completion, notes, QString(), QString())
                         .text.contains(QStringLiteral("belong to another job")));
        }
    }
}

QTEST_GUILESS_MAIN(tst_job_controller)
#include "tst_job_controller.moc"
