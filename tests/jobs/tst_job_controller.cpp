// The job controller without a window: what each job's click asks of the window
// and the platform, in order, given a window stand-in that records every request.
#include "jobs/BackupNames.h"
#include "jobs/DeviceIdentity.h"
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
        console = t;
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
    void runThroughRunner(const QString &c) override
    {
        m_log << QStringLiteral("run ") + c;
        tokenOfRun.append(runToken);
    }
    void setRunToken(const QString &token) override { runToken = token; }
    bool isRunnerBusy() const override { return runnerBusy; }
    QString runningCommand() const override { return running; }
    QString consoleText() const override { return console; }

    QString addressText = QStringLiteral("10.0.0.2");
    QString running; // the runner's command while runnerBusy (empty: unknown)
    QString console;
    QSet<QString> checked;
    bool runnerBusy = false;
    QString runToken;       // the last one handed over
    QStringList tokenOfRun; // the token handed over when each run began

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
    void otherScriptsAreWrittenWhileOneRuns();
    void restoreRefusesWithTheTrueReason();
    void restoreHandsItsRunTokenToTheWindow();
    void anotherDevicesBackupIsJoinedOnlyWhenAgreed_data();
    void anotherDevicesBackupIsJoinedOnlyWhenAgreed();
    void sshFirstRunLeavesALaterJobsConsoleAlone();
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
                       "show GIF1",   "hide chkQuickRepeat", "show Label7", "write Yes.bat",
                       "run Yes.bat"};
    QTest::newRow("backup, not symlinked")
        << int(jobs::Job::Backup) << "optNo"
        << QStringList{"height 8700", "disable cmdAgree", "box BEFORE YOU BEGIN!!!",
                       "show GIF1",   "hide chkQuickRepeat", "show Label7", "write No.bat",
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
    // The quick repeat's box, hidden under the caption, comes back with the caption gone.
    QCOMPARE(m_log.mid(6), (QStringList{"write No.bat", "box Zorvane", "hide GIF1", "hide Label7",
                                        "show chkQuickRepeat", "enable cmdAgree"}));
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
                          "console Fix what the Zorvane message said, then click \"Run SSH "
                          "Fingerprint\" again.",
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

    // A key stored by an earlier run, and no note: the device's key may have
    // changed and the question wait unanswered, so nothing is called complete.
    jobs.start(jobs::Job::SshFirstRun);
    m_log.clear();
    for (int tick = 1; tick < jobs::SshFirstRunWatch::kAnswerLimitTicks; ++tick)
        jobs.timerTick(jobs::Job::SshFirstRun);
    QCOMPARE(m_log, QStringList{waiting});
    jobs.timerTick(jobs::Job::SshFirstRun);
    QVERIFY2(!m_log.join('|').contains(QStringLiteral("Backup or Restore options when")),
             qPrintable(m_log.join('|')));
    QVERIFY(m_log.contains(QStringLiteral("stop Timer1")));

    // This run stores the key, but the copy never notes its end (its window was closed).
    QVERIFY(QFile::remove(keys));
    jobs.start(jobs::Job::SshFirstRun);
    writeFile(keys, "rsa2@22:10.0.0.2 0x23,0xc0ffee\n");
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

void tst_job_controller::otherScriptsAreWrittenWhileOneRuns()
{
    // Only the script being run stays as it is; the others are written all the
    // same, and the busy runner refuses them.
    RecordingWindow window(m_log);
    window.runnerBusy = true;
    window.running = QStringLiteral("no.bat");
    jobs::JobController jobs(window);
    jobs.start(jobs::Job::ApplicationsRelocation);
    QVERIFY(m_log.contains(QStringLiteral("write apps.bat")));
    QCOMPARE(m_log.last(), QStringLiteral("run apps.bat"));

    m_log.clear();
    window.checked.insert(QStringLiteral("optNo"));
    jobs.start(jobs::Job::Backup);
    QVERIFY2(!m_log.contains(QStringLiteral("write No.bat")), qPrintable(m_log.join('|')));
    QCOMPARE(m_log.last(), QStringLiteral("run no.bat"));

    m_log.clear();
    window.checked = {QStringLiteral("optYes")};
    jobs.start(jobs::Job::Backup);
    QVERIFY(m_log.contains(QStringLiteral("write Yes.bat")));
    QCOMPARE(m_log.last(), QStringLiteral("run Yes.bat"));
}

void tst_job_controller::restoreRefusesWithTheTrueReason()
{
    RecordingWindow window(m_log);
    jobs::JobController jobs(window);
    // A backup that runs now, even with its previous backup set aside.
    QVERIFY(QDir().mkpath(jobs::kPreviousBackupFolder));
    QVERIFY(QFile(QStringLiteral("PreviousBackup/saved.txt")).open(QIODevice::WriteOnly));
    window.runnerBusy = true;
    window.running = QStringLiteral("Yes.bat");
    jobs.start(jobs::Job::Restore);
    QCOMPARE(m_log, QStringList{"box Nothing to restore"});
    QVERIFY(m_fakes.messages->shown.last().text.contains(QStringLiteral("A backup is running")));
    QVERIFY(!m_fakes.messages->shown.last().text.contains(QStringLiteral("interrupted")));

    // Stopped part-way: the previous backup is set aside, and the advice is not
    // to run a backup that could replace it.
    m_log.clear();
    window.runnerBusy = false;
    window.running.clear();
    jobs.start(jobs::Job::Restore);
    QCOMPARE(m_log, QStringList{"box Nothing to restore"});
    const QString why = m_fakes.messages->shown.last().text;
    QVERIFY2(why.contains(QStringLiteral("interrupted"))
                 && why.contains(QStringLiteral("\"PreviousBackup\""))
                 && !why.contains(QStringLiteral("Run the backup again")),
             qPrintable(why));

    // Stopped while the replaced backup was being deleted: the backup in place
    // checked out and is restored.
    QVERIFY(QDir(jobs::kPreviousBackupFolder).removeRecursively());
    QVERIFY(QDir().mkpath(jobs::kDiscardedBackupFolder + QStringLiteral("/mobile")));
    m_log.clear();
    jobs.start(jobs::Job::Restore);
    QCOMPARE(m_log.last(), QStringLiteral("run PutFilesBack.bat"));
}

void tst_job_controller::restoreHandsItsRunTokenToTheWindow()
{
    // The restore's progress reads the check's verdict by the token the
    // script's lines carry; each run has its own, a script without one none.
    RecordingWindow window(m_log);
    window.checked.insert(QStringLiteral("optNo"));
    jobs::JobController jobs(window);
    for (jobs::Job job :
         {jobs::Job::Restore, jobs::Job::Dfu, jobs::Job::Restore, jobs::Job::Backup}) {
        jobs.start(job);
        QCOMPARE(window.tokenOfRun.size(),
                 m_log.filter(QRegularExpression(QStringLiteral("^run "))).size());
        const QString token = window.tokenOfRun.last();
        if (job != jobs::Job::Restore) {
            QCOMPARE(token, QString());
            continue;
        }
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(token).hasMatch(),
                 qPrintable(token));
        QFile script(QStringLiteral("PutFilesBack.bat"));
        QVERIFY(script.open(QIODevice::ReadOnly));
        QVERIFY(script.readAll().contains(
            QStringLiteral("echo %1>RestoreRun.txt\r\n").arg(token).toLatin1()));
    }
    QCOMPARE(window.tokenOfRun.size(), 4);
    QVERIFY(window.tokenOfRun[0] != window.tokenOfRun[2]);
}

void tst_job_controller::anotherDevicesBackupIsJoinedOnlyWhenAgreed_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<QString>("title"); // empty: the job joins no backup with a device
    QTest::newRow("backup") << int(jobs::Job::Backup) << "Replace another device's backup?";
    QTest::newRow("restore") << int(jobs::Job::Restore) << "Restore another device's backup?";
    QTest::newRow("relocation") << int(jobs::Job::ApplicationsRelocation) << "";
}

void tst_job_controller::anotherDevicesBackupIsJoinedOnlyWhenAgreed()
{
    QFETCH(int, job);
    QFETCH(QString, title);
    QDir(QStringLiteral("No.bat")).removeRecursively(); // left by an earlier case
    const QString keys = m_folder->file(QStringLiteral("sshhostkeys"));
    qputenv("PUTTYSSHHOSTKEYS", keys.toLocal8Bit());
    const auto unset = qScopeGuard([] { qunsetenv("PUTTYSSHHOSTKEYS"); });
    QFile cache(keys);
    QVERIFY(cache.open(QIODevice::WriteOnly));
    cache.write("ssh-ed25519@22:10.0.0.2 0x1a,0x2b\nssh-ed25519@22:10.0.0.3 0x3c,0x4d\n");
    cache.close();
    const QString first = jobs::DeviceIdentity::fromKey("ssh-ed25519 0x1a,0x2b");
    const QString second = jobs::DeviceIdentity::fromKey("ssh-ed25519 0x3c,0x4d");
    QCOMPARE(jobs::DeviceIdentity::ofAddress(QStringLiteral("10.0.0.2")), first);
    QVERIFY(first != second);
    QFile record(jobs::kBackupDeviceRecord);
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write(first.toLatin1() + "\r\n");
    record.close();
    // The name the device told, which the backup brought: shown, printable only.
    QVERIFY(QDir().mkpath(QStringLiteral("root/Library/Zorvane")));
    QFile named(QStringLiteral("root/Library/Zorvane/device-name.txt"));
    QVERIFY(named.open(QIODevice::WriteOnly));
    named.write("name Kim's\x1b[2J iPod\r\nserial  AB\x07"
                "C1\nhostkey forged\n");
    named.close();
    const auto removeName = qScopeGuard([] { QDir(QStringLiteral("root")).removeRecursively(); });

    RecordingWindow window(m_log);
    window.checked.insert(QStringLiteral("optNo"));
    jobs::JobController jobs(window);
    // The device the backup came from: no question.
    jobs.start(jobs::Job(job));
    QVERIFY(!m_log.contains(QStringLiteral("box ") + title));
    QVERIFY2(m_log.last().startsWith(QStringLiteral("run ")), qPrintable(m_log.join('|')));

    // Another device: asked, naming both; the default answer changes nothing.
    m_log.clear();
    m_fakes.files->changes.clear();
    window.addressText = QStringLiteral("10.0.0.3");
    jobs.start(jobs::Job(job));
    if (title.isEmpty()) {
        QVERIFY2(m_log.last().startsWith(QStringLiteral("run ")), qPrintable(m_log.join('|')));
        QVERIFY(m_fakes.messages->shown.isEmpty());
        return;
    }
    QCOMPARE(m_log, QStringList{"box " + title});
    const fake::ShownBox asked = m_fakes.messages->shown.last();
    QCOMPARE(asked.buttons, platform::MsgButtons::YesNoDefaultNo);
    QVERIFY2(asked.text.contains(QStringLiteral("(\"Kim's[2J iPod\", serial number ABC1, ")
                                 + jobs::DeviceIdentity::describe(first) + QLatin1Char(')'))
                 && asked.text.contains(jobs::DeviceIdentity::describe(second))
                 && asked.text.contains(QStringLiteral("10.0.0.3")),
             qPrintable(asked.text));
    QVERIFY(m_fakes.files->changes.isEmpty());

    // "Yes": the job runs; a backup records the device it comes from.
    m_log.clear();
    m_fakes.messages->answers = {platform::MsgAnswer::Yes};
    jobs.start(jobs::Job(job));
    QVERIFY(m_log.last().startsWith(QStringLiteral("run ")));
    if (jobs::Job(job) == jobs::Job::Backup) {
        QFile script(QStringLiteral("No.bat"));
        QVERIFY(script.open(QIODevice::ReadOnly));
        QVERIFY(script.readAll().contains("echo " + second.toLatin1() + ">BackupDevice.txt\r\n"));
    }
}

void tst_job_controller::sshFirstRunLeavesALaterJobsConsoleAlone()
{
    const QString keys = m_folder->file(QStringLiteral("sshhostkeys"));
    qputenv("PUTTYSSHHOSTKEYS", keys.toLocal8Bit());
    const auto unset = qScopeGuard([] { qunsetenv("PUTTYSSHHOSTKEYS"); });
    RecordingWindow window(m_log);
    jobs::JobController jobs(window);
    jobs.start(jobs::Job::SshFirstRun);
    jobs.timerTick(jobs::Job::SshFirstRun);
    QVERIFY(m_log.last().startsWith(QStringLiteral("console Waiting for the SSH window")));

    // A relocation job's transcript now fills the Console.
    window.console = QStringLiteral("apps.bat\r\nRelocating your Applications folder");
    QFile key(keys);
    QVERIFY(key.open(QIODevice::WriteOnly));
    key.write("rsa2@22:10.0.0.2 0x23,0xc0ffee\n");
    key.close();
    QFile note(jobs::kSshCopyNote);
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write("copied\r\n");
    note.close();
    m_log.clear();
    jobs.timerTick(jobs::Job::SshFirstRun);
    // The transcript stays whole; the result follows it, and the alert says where.
    QCOMPARE(m_log.mid(1), (QStringList{"alert SSH Complete. More in the Console.",
                                        "hide DXAnimatedGIF3", "stop Timer1"}));
    QVERIFY(window.console.startsWith(
        QStringLiteral("apps.bat\r\nRelocating your Applications folder\r\n\r\nSSH Complete.")));
    QVERIFY(window.console.contains(QStringLiteral("You can now run the Backup or Restore")));
}

void tst_job_controller::everyScriptEndsWithItsJobsCompletion()
{
    // Each script notes its job in the word its completion program looks for,
    // and starts that program; a job that reports its end itself starts none.
    const jobs::ConnectionSettings cs(QStringLiteral("10.0.0.2"), QStringLiteral("fennel"));
    for (const jobs::JobDescription &job : jobs::jobTable()) {
        for (const jobs::JobScriptChoice &choice : job.scripts) {
            const jobs::JobScript script = choice.lines(job, QStringLiteral("1.0.5"), cs);
            QCOMPARE(script.fileName(), choice.fileName);
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
