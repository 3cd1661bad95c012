// A backup's life beside the program, against simulated devices through the
// real window, runner, zcmd, pscp, plink and BackupCheck: which device a backup
// came from, and what is left when a backup is stopped at any point.
#include "DeviceNetwork.h"
#include "TreeSnapshot.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "jobs/BackupAmount.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobScripts.h"
#include "jobs/PlacedGeneration.h"
#include "runner/ReadOutput.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>

using jobs::JobOutcome;

class tst_backup_lifecycle_e2e : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(SuiteFixture::ProcessIds::Own); }

private slots:
    void initTestCase()
    {
        const QString why = SuiteFixture::whyDeviceCannotRun(SuiteFixture::ProcessIds::Own);
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    }
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>(SuiteFixture::Folder::ProgramCopy);
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        QString error;
        QVERIFY2(m_fixture->startDevice(SimulatedDevice::Options(), SuiteFixture::HostKey::Stored,
                                        &error),
                 qPrintable(error));
    }
    void cleanup()
    {
        disconnect(m_trigger);
        m_watch.stop();
        m_watch.disconnect();
        m_window.reset();
        m_fixture.reset();
    }

    void anotherDevicesBackupIsJoinedOnlyWhenAgreed();
    void stoppedBackupLeavesTheNewestCompleteOne_data();
    void stoppedBackupLeavesTheNewestCompleteOne();
    void emptiedDeviceAsksBeforeReplacingALargerBackup();
    void closingDuringABackupAsksFirst_data();
    void closingDuringABackupAsksFirst();
    void secondWindowLeavesARunningBackupAlone();
    void killedRestoreIsToldAtTheNextStart();
    void stoppedRestoreOfAnOlderBackupLeavesEveryBackupWhole_data();
    void stoppedRestoreOfAnOlderBackupLeavesEveryBackupWhole();

private:
    app::frmMain &window();
    void click(const char *name) { window().findChild<QPushButton *>(name)->click(); }
    // With `quick`, copying only what changed since the last backup.
    QString backup(bool quick = false);
    bool restore();
    TreeSnapshot localBackup() const;
    TreeSnapshot deviceVar() const
    {
        return TreeSnapshot::read(m_fixture->device().hostPath(QStringLiteral("/var")));
    }
    // Runs the backup script through the window's runner, stopped right after
    // its first line that starts with `stopAfter`: what a stop there leaves.
    void runBackupStoppedAfter(const QString &stopAfter);
    // A file on the device large enough that its copy is still running when
    // the test acts on it.
    bool addLargeFile();
    // Calls `act` once, as soon as `ready` holds while the window's runner runs.
    void whenCopying(std::function<bool()> ready, std::function<void()> act);
    // The job's interpreters and tools that still run in the working folder.
    QStringList jobProcessesLeft() const;

    std::unique_ptr<SuiteFixture> m_fixture;
    std::unique_ptr<app::frmMain> m_window;
    QMetaObject::Connection m_trigger;
    QTimer m_watch;
};

app::frmMain &tst_backup_lifecycle_e2e::window()
{
    if (!m_window) {
        m_window = std::make_unique<app::frmMain>();
        m_window->show();
        m_window->findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.1"));
    }
    return *m_window;
}

QString tst_backup_lifecycle_e2e::backup(bool quick)
{
    app::frmMain &w = window();
    w.findChild<QCheckBox *>("chkQuickRepeat")->setChecked(quick);
    w.findChild<QCheckBox *>("Check1")->setChecked(false);
    w.findChild<QCheckBox *>("Check1")->setChecked(true);
    w.findChild<QRadioButton *>("optNo")->setChecked(true);
    click("cmdAgree"); // returns when the script's output has ended
    return w.console().text();
}

bool tst_backup_lifecycle_e2e::restore()
{
    m_fixture->fakes().messages->shown.clear();
    window().findChild<QCheckBox *>("Check2")->setChecked(false);
    window().findChild<QCheckBox *>("Check2")->setChecked(true);
    click("Command5");
    return m_fixture->fakes().messages->shown.isEmpty();
}

TreeSnapshot tst_backup_lifecycle_e2e::localBackup() const
{
    const QStringList leftOut{QStringLiteral("started.log"), QStringLiteral("No.bat"),
                              QStringLiteral("Zorvane.lock"),
                              QStringLiteral("PutFilesBack.bat"), QStringLiteral("LastJob.txt"),
                              QStringLiteral("LastJob.log")};
    return TreeSnapshot::read(m_fixture->path(), leftOut);
}

void tst_backup_lifecycle_e2e::runBackupStoppedAfter(const QString &stopAfter)
{
    const QString address = QStringLiteral("127.0.0.1");
    const jobs::JobScript whole = jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), 
        false, QStringLiteral("1.0.5"),
        jobs::ConnectionSettings(address, QString::fromLatin1(SimulatedDevice::password)),
        jobs::DeviceIdentity::ofAddress(address));
    jobs::JobScript stopped(whole.fileName());
    bool reached = false;
    for (const QString &line : whole.lines()) {
        stopped.line(line);
        if (line.startsWith(stopAfter)) {
            reached = true;
            break;
        }
    }
    QVERIFY2(reached, qPrintable(stopAfter));
    QString error;
    QVERIFY2(stopped.write(&error), qPrintable(error));
    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    runner->SetCommand(QStringLiteral("no.bat"));
    runner->ProcessCommand();
}

bool tst_backup_lifecycle_e2e::addLargeFile()
{
    return m_fixture->device()
               .shell(QStringLiteral("yes 'large media file' | head -c 67108864 > "
                                     "/var/mobile/Media/zz-large.bin"))
               .exitCode
           == 0;
}

void tst_backup_lifecycle_e2e::whenCopying(std::function<bool()> ready, std::function<void()> act)
{
    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    m_watch.disconnect();
    connect(&m_watch, &QTimer::timeout, this, [this, runner, ready, act] {
        if (!runner->isBusy() || !ready())
            return;
        m_watch.stop();
        act();
    });
    m_watch.start(5);
}

QStringList tst_backup_lifecycle_e2e::jobProcessesLeft() const
{
    QStringList left;
    const QString here = QFileInfo(m_fixture->path()).canonicalFilePath();
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!pid.front().isDigit() || !comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        const bool zombie = stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
        if (!zombie && QStringList{"zcmd", "pscp", "plink"}.contains(name)
            && QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).canonicalFilePath() == here)
            left << name + QLatin1Char(' ') + pid;
    }
    return left;
}

void tst_backup_lifecycle_e2e::closingDuringABackupAsksFirst_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("stopped") << true;
    QTest::newRow("kept running") << false;
}

void tst_backup_lifecycle_e2e::closingDuringABackupAsksFirst()
{
    QFETCH(bool, stop);
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    const TreeSnapshot complete = localBackup();
    QVERIFY(addLargeFile());

    fake::MessageBoxes &boxes = *m_fixture->fakes().messages;
    boxes.shown.clear();
    bool closed = false;
    whenCopying([] { return QFileInfo::exists(QStringLiteral("Incoming/mobile/Media/zz-large.bin")); },
                [&] {
                    boxes.answers = {stop ? platform::MsgAnswer::Yes : platform::MsgAnswer::No};
                    // What the window's close box sends.
                    closed = window().close();
                });
    const QString console = backup();
    QVERIFY(!m_watch.isActive());
    QCOMPARE(closed, stop);
    QCOMPARE(window().isVisible(), !stop);
    const auto asked = std::find_if(boxes.shown.begin(), boxes.shown.end(), [](const fake::ShownBox &b) {
        return b.text == QStringLiteral("A backup is running. Stop it? Your previous backup is kept.");
    });
    QVERIFY(asked != boxes.shown.end());
    QCOMPARE(asked->buttons, platform::MsgButtons::YesNoDefaultNo);
    QCOMPARE(jobProcessesLeft(), QStringList());
    if (stop) {
        // The previous backup is back in place, byte for byte, and nothing is left aside.
        QCOMPARE(localBackup().differences(complete, TreeSnapshot::Everything), QStringList());
        QVERIFY(!QFileInfo::exists(jobs::kPreviousBackupFolder));
        QVERIFY(!QFileInfo::exists(jobs::kIncomingFolder));
        // A start afterwards finds nothing to tell.
        boxes.shown.clear();
        m_window.reset();
        window();
        QCOMPARE(boxes.shown.size(), 0);
    } else {
        const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
        QVERIFY2(o.succeeded, qPrintable(console.right(2000)));
        QVERIFY(QFileInfo::exists(QStringLiteral("mobile/Media/zz-large.bin")));
    }
}

void tst_backup_lifecycle_e2e::secondWindowLeavesARunningBackupAlone()
{
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    QVERIFY(addLargeFile());

    fake::MessageBoxes &boxes = *m_fixture->fakes().messages;
    boxes.shown.clear();
    std::unique_ptr<app::frmMain> second;
    bool asideWhileSecondStarted = false;
    bool incomingWhileSecondStarted = false;
    whenCopying([] { return QFileInfo::exists(QStringLiteral("Incoming/mobile/Media/zz-large.bin")); },
                [&] {
                    second = std::make_unique<app::frmMain>();
                    asideWhileSecondStarted = QFileInfo::exists(jobs::kPreviousBackupFolder);
                    incomingWhileSecondStarted = QFileInfo::exists(jobs::kIncomingFolder);
                    // A backup started there is refused, saying why.
                    second->findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.1"));
                    second->findChild<QCheckBox *>("Check1")->setChecked(true);
                    second->findChild<QRadioButton *>("optNo")->setChecked(true);
                    second->findChild<QPushButton *>("cmdAgree")->click();
                });
    const QString console = backup();
    QVERIFY(second);
    QVERIFY(asideWhileSecondStarted && incomingWhileSecondStarted);
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(o.succeeded, qPrintable(console.right(2000)));
    QVERIFY(QFileInfo::exists(QStringLiteral("mobile/Media/zz-large.bin")));
    QStringList texts;
    for (const fake::ShownBox &b : boxes.shown)
        texts << b.text;
    QVERIFY2(texts.contains(QStringLiteral(
                 "A backup is running in another Zorvane window; wait for it to finish before "
                 "you start a job here.")),
             qPrintable(texts.join(QLatin1Char('\n'))));
    // Its start-up recovery ran once the job had ended, finding nothing to do.
    QTRY_VERIFY(!second->findChild<QTimer *>("recoveryRetry")->isActive());
    QVERIFY(!QFileInfo::exists(jobs::kPreviousBackupFolder));
}

void tst_backup_lifecycle_e2e::killedRestoreIsToldAtTheNextStart()
{
    QVERIFY(addLargeFile());
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    SimulatedDevice &device = m_fixture->device();
    // A device erased by a firmware restore.
    QVERIFY(device.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/*")).exitCode == 0);

    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    bool killed = false;
    // The device's folder exists still; the file's own path does not yet.
    const QString arriving =
        device.hostPath(QStringLiteral("/var/mobile")) + QStringLiteral("/Media/zz-large.bin");
    whenCopying([arriving] { return QFileInfo::exists(arriving); }, [&] {
        // The interpreter and its pscp at once; the window goes with them below.
        killed = ::kill(-pid_t(runner->processId()), SIGKILL) == 0;
    });
    restore();
    QVERIFY2(killed, qPrintable(window().console().text().right(3000)));
    QCOMPARE(jobProcessesLeft(), QStringList());

    fake::MessageBoxes &boxes = *m_fixture->fakes().messages;
    boxes.shown.clear();
    m_window.reset();
    window();
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown.first().text.contains(QStringLiteral("The last restore did not finish"))
                 && boxes.shown.first().text.contains(QStringLiteral("part of your backup"))
                 && boxes.shown.first().text.contains(QStringLiteral("Run the restore again")),
             qPrintable(boxes.shown.first().text));

    // Run again, the restore completes the device, and the next start is silent.
    QVERIFY2(restore(), qPrintable(boxes.shown.value(0).text));
    const JobOutcome restored = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(restored.succeeded, qPrintable(restored.text));
    QCOMPARE(QFileInfo(arriving).size(), qint64(67108864));
    boxes.shown.clear();
    m_window.reset();
    window();
    QCOMPARE(boxes.shown.size(), 0);
}

void tst_backup_lifecycle_e2e::stoppedRestoreOfAnOlderBackupLeavesEveryBackupWhole_data()
{
    QTest::addColumn<bool>("killed"); // the program and its interpreter at once; else closed
    QTest::newRow("killed") << true;
    QTest::newRow("stopped") << false;
}

void tst_backup_lifecycle_e2e::stoppedRestoreOfAnOlderBackupLeavesEveryBackupWhole()
{
    QFETCH(bool, killed);
    QVERIFY(addLargeFile());
    SimulatedDevice &device = m_fixture->device();
    const QString changed = QStringLiteral("/var/mobile/Library/Preferences/zv-changed.txt");
    for (const char *state : {"before", "after"}) {
        QVERIFY(device.shell(QStringLiteral("echo %1 > ").arg(state) + changed).exitCode == 0);
        const QString console = backup();
        QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded,
                 qPrintable(console.right(2000)));
    }
    const QList<jobs::Generations::Generation> older = jobs::Generations::list();
    QCOMPARE(older.size(), 1);
    // The backup's trees and every older backup, with the record of its device.
    const QStringList kept{QStringLiteral("Applications"), QStringLiteral("mobile"),
                           QStringLiteral("root"), jobs::Generations::kFolder};
    const auto readKept = [&kept] {
        QList<TreeSnapshot> trees;
        for (const QString &tree : kept)
            trees << TreeSnapshot::read(tree);
        return trees;
    };
    const QList<TreeSnapshot> whole = readKept();
    QFile record(jobs::kBackupDeviceRecord);
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QByteArray device0 = record.readAll();
    record.close();
    QVERIFY(device.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/*")).exitCode == 0);

    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    fake::MessageBoxes &boxes = *m_fixture->fakes().messages;
    const QString arriving =
        device.hostPath(QStringLiteral("/var/mobile")) + QStringLiteral("/Media/zz-large.bin");
    bool stopped = false;
    bool inPlace = false;
    whenCopying([arriving] { return QFileInfo::exists(arriving); }, [&] {
        inPlace = jobs::PlacedGeneration::current().has_value();
        if (killed) {
            stopped = ::kill(-pid_t(runner->processId()), SIGKILL) == 0;
        } else {
            boxes.answers = {platform::MsgAnswer::Yes};
            stopped = window().close();
        }
    });
    if (killed) {
        // What a program killed with its interpreter leaves: the older backup
        // put in place as the window does, its script cut off mid-copy.
        QString why;
        QVERIFY2(jobs::PlacedGeneration::place(older.first().folder, &why), qPrintable(why));
        const jobs::JobScript script = jobs::restoreScript(
            jobs::jobDescription(jobs::Job::Restore), QStringLiteral("1.0.5"),
            jobs::ConnectionSettings(QStringLiteral("127.0.0.1"),
                                     QString::fromLatin1(SimulatedDevice::password)));
        QVERIFY2(script.write(&why), qPrintable(why));
        runner->SetCommand(script.fileName());
        runner->ProcessCommand();
    } else {
        click("Command4");
        window().findChild<QComboBox *>("cboGeneration")->setCurrentIndex(1);
        restore();
    }
    QVERIFY2(stopped && inPlace, qPrintable(window().console().text().right(3000)));
    QCOMPARE(jobProcessesLeft(), QStringList());
    QCOMPARE(jobs::PlacedGeneration::newestIsAside(), killed);

    // The next start tells, and every backup is whole: the newest in place.
    boxes.shown.clear();
    m_window.reset();
    window();
    QStringList told;
    for (const fake::ShownBox &b : boxes.shown)
        told << b.text;
    const QString olderTold =
        QStringLiteral("A restore of your older backup of %1 was cut off. Your newest backup is "
                       "back in place, unchanged")
            .arg(jobs::PlacedGeneration::madeText(older.first().made));
    QVERIFY2(told.join(QLatin1Char('\n')).contains(olderTold) == killed,
             qPrintable(told.join(QLatin1Char('\n'))));
    QVERIFY2(told.join(QLatin1Char('\n')).contains(QStringLiteral("The last restore did not finish")),
             qPrintable(told.join(QLatin1Char('\n'))));
    const QList<TreeSnapshot> now = readKept();
    for (int i = 0; i < kept.size(); ++i)
        QCOMPARE(now[i].differences(whole[i], TreeSnapshot::Everything), QStringList());
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll(), device0);
    QVERIFY(!jobs::PlacedGeneration::newestIsAside());
    QVERIFY(!QFileInfo::exists(jobs::PlacedGeneration::kFoundFolder));
    QCOMPARE(jobs::Generations::list().size(), 1);
}

void tst_backup_lifecycle_e2e::anotherDevicesBackupIsJoinedOnlyWhenAgreed()
{
    // A first backup replaces nothing and does not say it did.
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    QVERIFY(first.contains(QStringLiteral("The new backup is complete.")));
    QVERIFY(!first.contains(QStringLiteral("replaced")));
    const QString firstDevice = jobs::DeviceIdentity::ofAddress(QStringLiteral("127.0.0.1"));
    QCOMPARE(jobs::DeviceIdentity::ofBackup(), firstDevice);
    const TreeSnapshot firstBackup = localBackup();

    // The backup names the device by the name it told, too.
    QCOMPARE(jobs::DeviceIdentity::nameOfBackup(), QStringLiteral("\"iPod\""));

    // Another device at the same address, with its own host key, which the
    // user has accepted.
    SimulatedDevice other;
    SimulatedDevice::Options named;
    named.hostName = QStringLiteral("Kims-iPhone");
    QVERIFY2(other.start(named), qPrintable(other.lastError()));
    QVERIFY(other.seedHostKey(m_fixture->home()));
    DeviceNetwork network;
    QString error;
    QVERIFY2(network.enter(other, &error), qPrintable(error));
    const QString otherDevice = jobs::DeviceIdentity::ofAddress(QStringLiteral("127.0.0.1"));
    QVERIFY(!otherDevice.isEmpty() && otherDevice != firstDevice);
    const TreeSnapshot otherBefore = TreeSnapshot::read(other.hostPath(QStringLiteral("/var")));
    const int reboots = other.rebootCount();

    // Backup and restore ask first, naming both; "No" (the default) changes nothing.
    fake::MessageBoxes &boxes = *m_fixture->fakes().messages;
    const int started = m_fixture->started().size();
    for (const char *job : {"backup", "restore"}) {
        boxes.shown.clear();
        if (QByteArray(job) == "backup")
            backup();
        else
            QVERIFY(!restore());
        QCOMPARE(boxes.shown.size(), 1);
        const fake::ShownBox &asked = boxes.shown.first();
        QVERIFY2(asked.title.contains(QStringLiteral("another device's backup")),
                 qPrintable(asked.title));
        QCOMPARE(asked.buttons, platform::MsgButtons::YesNoDefaultNo);
        QVERIFY2(asked.text.contains(jobs::DeviceIdentity::describe(firstDevice,
                                                                     QStringLiteral("\"iPod\"")))
                     && asked.text.contains(jobs::DeviceIdentity::describe(otherDevice)),
                 qPrintable(asked.text));
        QCOMPARE(localBackup().differences(firstBackup, TreeSnapshot::Everything), QStringList());
        QCOMPARE(TreeSnapshot::read(other.hostPath(QStringLiteral("/var")))
                     .differences(otherBefore, TreeSnapshot::Everything),
                 QStringList());
        QCOMPARE(other.rebootCount(), reboots);
        QCOMPARE(m_fixture->started().size(), started);
    }

    // "Yes": the other device's backup replaces the first one's, and says so.
    boxes.answers = {platform::MsgAnswer::Yes};
    const QString replaced = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded,
             qPrintable(replaced.right(2000)));
    QVERIFY(replaced.contains(QStringLiteral("the previous backup has been replaced")));
    QCOMPARE(jobs::DeviceIdentity::ofBackup(), otherDevice);
    QCOMPARE(jobs::DeviceIdentity::nameOfBackup(), QStringLiteral("\"Kims-iPhone\""));

    // The first device's backup, now an older one, is marked as another
    // device's; restoring it onto this device asks as well, and No sends nothing.
    click("Command4");
    auto *choice = window().findChild<QComboBox *>("cboGeneration");
    QCOMPARE(choice->count(), 2);
    QVERIFY2(!choice->itemText(0).contains(QStringLiteral("another device"))
                 && choice->itemText(1).contains(QStringLiteral(", another device, ")),
             qPrintable(choice->itemText(0) + QLatin1Char('\n') + choice->itemText(1)));
    choice->setCurrentIndex(1);
    const TreeSnapshot otherBackup = localBackup();
    const TreeSnapshot otherNow = TreeSnapshot::read(other.hostPath(QStringLiteral("/var")));
    QVERIFY(!restore());
    QCOMPARE(boxes.shown.size(), 1);
    const QString olderWhen =
        jobs::PlacedGeneration::madeText(jobs::Generations::list().first().made);
    QVERIFY2(boxes.shown.first().title.contains(QStringLiteral("another device's backup"))
                 && boxes.shown.first().text.startsWith(QStringLiteral("The older backup of ")
                                                        + olderWhen)
                 && boxes.shown.first().text.contains(
                     jobs::DeviceIdentity::describe(firstDevice, QStringLiteral("\"iPod\"")))
                 && boxes.shown.first().text.contains(jobs::DeviceIdentity::describe(otherDevice)),
             qPrintable(boxes.shown.first().text));
    QCOMPARE(localBackup().differences(otherBackup, TreeSnapshot::Everything), QStringList());
    QCOMPARE(TreeSnapshot::read(other.hostPath(QStringLiteral("/var")))
                 .differences(otherNow, TreeSnapshot::Everything),
             QStringList());
    QCOMPARE(other.rebootCount(), reboots);
    QVERIFY(!jobs::PlacedGeneration::newestIsAside());
    network.leave();
}

void tst_backup_lifecycle_e2e::stoppedBackupLeavesTheNewestCompleteOne_data()
{
    QTest::addColumn<QString>("stopAfter"); // empty: the interpreter killed during the copy
    QTest::addColumn<bool>("newSurvives");
    QTest::addColumn<bool>("quick"); // copying only what changed
    QTest::newRow("setting the previous backup aside")
        << "if exist root move root PreviousBackup\\root" << false << false;
    QTest::newRow("interpreter killed during the copy") << QString() << false << false;
    QTest::newRow("interpreter killed during a quick repeat's copy") << QString() << false << true;
    QTest::newRow("checked, not yet in place") << "BackupCheck.exe" << false << false;
    QTest::newRow("keeping the replaced backup among the older ones")
        << "ReplaceBackup.exe" << true << false;
}

void tst_backup_lifecycle_e2e::stoppedBackupLeavesTheNewestCompleteOne()
{
    QFETCH(QString, stopAfter);
    QFETCH(bool, newSurvives);
    QFETCH(bool, quick);
    SimulatedDevice &device = m_fixture->device();
    const QString changed = QStringLiteral("/var/mobile/Library/Preferences/zv-changed.txt");
    QVERIFY(device.shell(QStringLiteral("echo before > ") + changed).exitCode == 0);
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    const TreeSnapshot complete = localBackup();
    QVERIFY(complete.size() > 50);
    const TreeSnapshot completeMobile = TreeSnapshot::read(QStringLiteral("mobile"));

    // The device changes, then a backup of it stops part-way.
    QVERIFY(device.shell(QStringLiteral("echo after > ") + changed).exitCode == 0);
    if (stopAfter.isEmpty()) {
        // A large file, so that the copy is still running when it is killed.
        QVERIFY(device
                    .shell(QStringLiteral("yes 'large media file' | head -c 67108864 > "
                                          "/var/mobile/Media/zz-large.bin"))
                    .exitCode
                == 0);
        auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
        bool killed = false;
        QTimer watch;
        // A quick repeat fetches the new file in its stream, the unchanged
        // ones linked from the backup set aside.
        const QString arriving = quick ? QStringLiteral("Incoming/fetch.tar")
                                       : QStringLiteral("Incoming/mobile/Media/zz-large.bin");
        connect(&watch, &QTimer::timeout, this, [runner, &killed, arriving] {
            if (killed || !runner->isBusy() || QFileInfo(arriving).size() <= 0)
                return;
            // The interpreter and everything it started, at once.
            killed = ::kill(-pid_t(runner->processId()), SIGKILL) == 0;
        });
        watch.start(5);
        const QString console = backup(quick);
        QVERIFY2(killed, qPrintable(console.right(3000)));
        QVERIFY(!quick || console.contains(QStringLiteral("Quick repeat: ")));
    } else {
        runBackupStoppedAfter(stopAfter);
        // Stopped inside KeepGeneration, right after its first rename.
        if (newSurvives)
            QVERIFY(QDir().mkdir(jobs::Generations::kFolder)
                    && QDir().rename(jobs::kPreviousBackupFolder,
                                     jobs::Generations::kFolder + QStringLiteral("/.new-x")));
    }
    QVERIFY(QFileInfo::exists(jobs::kPreviousBackupFolder)
            || QFileInfo::exists(jobs::Generations::kFolder + QStringLiteral("/.new-x")));

    // The next start settles the folder: the newest complete backup, whole.
    m_window.reset();
    window();
    if (quick) {
        // And tells.
        bool told = false;
        for (const auto &box : m_fixture->fakes().messages->shown)
            told = told || box.text.startsWith(QStringLiteral("The last backup did not finish."));
        QVERIFY(told);
    }
    QVERIFY(!QFileInfo::exists(jobs::kPreviousBackupFolder));
    QVERIFY(!QFileInfo::exists(jobs::kDiscardedBackupFolder));
    QVERIFY(!QFileInfo::exists(jobs::kIncompleteMark));
    if (newSurvives) {
        QFile kept(QStringLiteral("mobile/Library/Preferences/zv-changed.txt"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("after\n"));
        // The replaced backup, whole, is the one generation kept.
        const QList<jobs::Generations::Generation> older = jobs::Generations::list();
        QCOMPARE(older.size(), 1);
        QCOMPARE(TreeSnapshot::read(jobs::Generations::kFolder + QLatin1Char('/')
                                    + older.first().folder + QStringLiteral("/mobile"))
                     .differences(completeMobile, TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
    } else {
        QCOMPARE(localBackup().differences(complete, TreeSnapshot::Everything), QStringList());
    }

    // A restore afterwards restores it, checked on the device.
    QVERIFY2(restore(), qPrintable(m_fixture->fakes().messages->shown.value(0).text));
    const JobOutcome restored = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(restored.succeeded, qPrintable(restored.text));
    QFile onDevice(device.hostPath(changed));
    QVERIFY(onDevice.open(QIODevice::ReadOnly));
    QCOMPARE(onDevice.readAll(), newSurvives ? QByteArray("after\n") : QByteArray("before\n"));
}

void tst_backup_lifecycle_e2e::emptiedDeviceAsksBeforeReplacingALargerBackup()
{
    const QString first = backup();
    QVERIFY2(JobOutcome::read(JobOutcome::Kind::Backup).succeeded, qPrintable(first.right(2000)));
    const TreeSnapshot complete = localBackup();

    // Erased by a firmware restore: a few settings are all it holds now.
    QVERIFY(m_fixture->device()
                .shell(QStringLiteral("rm -rf /Applications/* /var/mobile/Library "
                                      "/var/mobile/Media"))
                .exitCode
            == 0);
    // The person at the program answers the question the script's program
    // asks with its default, No.
    qputenv("LD_PRELOAD",
            (QCoreApplication::applicationDirPath() + QStringLiteral("/libuser_stand_in.so"))
                .toLocal8Bit());
    qputenv("ZORVANE_USER_ANSWER", "No");
    const auto unset = qScopeGuard([] {
        qunsetenv("LD_PRELOAD");
        qunsetenv("ZORVANE_USER_ANSWER");
    });
    const QString console = backup();
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY(!o.succeeded);
    QVERIFY2(o.text.contains(QStringLiteral("you chose to keep the previous backup")),
             qPrintable(o.text));
    QVERIFY(console.contains(QStringLiteral("your previous backup has been kept unchanged")));
    QCOMPARE(localBackup().differences(complete, TreeSnapshot::Everything), QStringList());
    // The question named both sizes: the kept backup's is the larger one.
    const jobs::BackupAmount kept = jobs::BackupAmount::of(QStringLiteral("."));
    QVERIFY2(console.contains(QStringLiteral("; the backup it would replace holds %1.")
                                  .arg(jobs::BackupVerifier::amount(kept.files, kept.bytes))),
             qPrintable(console.right(2000)));
    QVERIFY(!QFileInfo::exists(jobs::kPreviousBackupFolder));
}

QTEST_MAIN(tst_backup_lifecycle_e2e)
#include "tst_backup_lifecycle_e2e.moc"
