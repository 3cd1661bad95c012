// What each job reports, against the simulated device, through the real window,
// runner, zcmd, pscp, plink, BackupCheck and the completion programs' own
// decision (the programs themselves are stand-ins that record their start;
// the test reads the job's notes and transcript as they do).
#include "TreeSnapshot.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "jobs/BackupHashes.h"
#include "jobs/BackupVerifier.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobProgress.h"
#include "runner/ReadOutput.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QScopeGuard>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <unistd.h>

using jobs::JobOutcome;

class tst_job_outcomes_e2e : public QObject {
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
    }
    void cleanup()
    {
        disconnect(m_trigger);
        m_window.reset();
        m_fixture.reset();
    }

    void firstBackupWithoutHostKeyFailsAndCannotBeRestored();
    void goodBackupAndItsRestoreAreChecked();
    void failedBackupPutsThePreviousOneBack_data();
    void failedBackupPutsThePreviousOneBack();
    void interruptedBackupIsNotRestored();
    void relocationAndDfuReportTheirFailures();
    void namesThatReadLikeVerdictsDecideNothing();
    void everyNameComesBackExactly();
    void fullDeviceDiskWhileListingIsNeverComplete();
    void linksToNothingLeaveTheProgramsFolderAlone();
    void linksToNothingAreBackedUpAndMadeAgain();
    void restoreOntoAFullDeviceStopsBeforeTheRestart();
    void backupDamagedOnThisComputerIsNotSent();
    void linkCutMidCopyEndsTheJobAtTheLimit();

private:
    app::frmMain &window();
    void click(const char *name) { window().findChild<QPushButton *>(name)->click(); }
    bool startDevice(SuiteFixture::HostKey key);
    QString backup();
    bool restore();
    // Runs `action` once, when the Console first shows `text`.
    void onConsole(const QString &text, std::function<void()> action);
    TreeSnapshot localBackup(const QStringList &alsoLeftOut = {}) const;
    int killSessions() const;

    std::unique_ptr<SuiteFixture> m_fixture;
    std::unique_ptr<app::frmMain> m_window;
    QMetaObject::Connection m_trigger;
};

app::frmMain &tst_job_outcomes_e2e::window()
{
    if (!m_window) {
        m_window = std::make_unique<app::frmMain>();
        m_window->show();
        m_window->findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.1"));
    }
    return *m_window;
}

bool tst_job_outcomes_e2e::startDevice(SuiteFixture::HostKey key)
{
    QString error;
    const bool ok = m_fixture->startDevice(SimulatedDevice::Options(), key, &error);
    if (!ok)
        qWarning().noquote() << error;
    return ok;
}

QString tst_job_outcomes_e2e::backup()
{
    app::frmMain &w = window();
    w.findChild<QCheckBox *>("Check1")->setChecked(false);
    w.findChild<QCheckBox *>("Check1")->setChecked(true);
    w.findChild<QRadioButton *>("optNo")->setChecked(true);
    click("cmdAgree"); // returns when the script's output has ended
    return w.console().text();
}

bool tst_job_outcomes_e2e::restore()
{
    m_fixture->fakes().messages->shown.clear();
    window().findChild<QCheckBox *>("Check2")->setChecked(false);
    window().findChild<QCheckBox *>("Check2")->setChecked(true);
    click("Command5");
    return m_fixture->fakes().messages->shown.isEmpty();
}

void tst_job_outcomes_e2e::onConsole(const QString &text, std::function<void()> action)
{
    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    disconnect(m_trigger);
    m_trigger = connect(runner, &ReadOutput::GotChunk, this, [this, text, action] {
        if (!window().console().text().contains(text))
            return;
        disconnect(m_trigger);
        action();
    });
}

TreeSnapshot tst_job_outcomes_e2e::localBackup(const QStringList &alsoLeftOut) const
{
    const QStringList leftOut{QStringLiteral("started.log"), QStringLiteral("No.bat"),
                              QStringLiteral("PutFilesBack.bat"), QStringLiteral("LastJob.txt"),
                              QStringLiteral("LastJob.log")};
    return TreeSnapshot::read(m_fixture->path(), leftOut + alsoLeftOut);
}

int tst_job_outcomes_e2e::killSessions() const
{
    // The device's SSH sessions (not its listener), as a dropped Wi-Fi would.
    int killed = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid.front().isDigit() && cmd.open(QIODevice::ReadOnly)
            && cmd.readAll().startsWith("sshd: "))
            killed += ::kill(pid.toInt(), SIGKILL) == 0;
    }
    return killed;
}

namespace {

const QString kOutputBanner = QStringLiteral("**Farrowmoss's Output Console**\r\n");

// The files and bytes of a device tree as the device lists them (no links).
void countFiles(const QString &root, const QStringList &excluded, qint64 *files, qint64 *bytes)
{
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(root.size() + 1);
        if (std::any_of(excluded.begin(), excluded.end(),
                        [&](const QString &e) { return rel.startsWith(e + QLatin1Char('/')); }))
            continue;
        ++*files;
        *bytes += it.fileInfo().size();
    }
}

QString transcript()
{
    QFile f(QStringLiteral("LastJob.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

void tst_job_outcomes_e2e::firstBackupWithoutHostKeyFailsAndCannotBeRestored()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Unknown));
    const QString console = backup();
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY(!o.succeeded);
    QVERIFY2(o.text.contains(QStringLiteral("Run SSH Fingerprint")), qPrintable(o.text));
    for (const QString &said : {console, o.title + o.text}) {
        QVERIFY2(!said.contains(QStringLiteral("finished"))
                     && !said.contains(QStringLiteral("is complete"))
                     && !said.contains(QStringLiteral("put back unchanged")),
                 qPrintable(said.right(1500)));
    }
    QVERIFY(QFileInfo::exists(QStringLiteral("BackupIncomplete.txt")));
    QTRY_VERIFY(m_fixture->started().contains(QStringLiteral("BackupComplete")));

    const TreeSnapshot device =
        TreeSnapshot::read(m_fixture->device().hostPath(QStringLiteral("/var")));
    QVERIFY(!restore());
    QVERIFY(
        m_fixture->fakes().messages->shown.first().text.contains(QStringLiteral("not complete")));
    QCOMPARE(TreeSnapshot::read(m_fixture->device().hostPath(QStringLiteral("/var")))
                 .differences(device, TreeSnapshot::Everything),
             QStringList());
    QVERIFY(!QFileInfo::exists(QStringLiteral("PutFilesBack.bat")));
}

void tst_job_outcomes_e2e::goodBackupAndItsRestoreAreChecked()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    const QString console = backup();
    qint64 files = 0, bytes = 0;
    const SimulatedDevice &d = m_fixture->device();
    countFiles(d.hostPath(QStringLiteral("/Applications")), {}, &files, &bytes);
    countFiles(d.hostPath(QStringLiteral("/var/mobile")), {QStringLiteral("Library/Lockdown")},
               &files, &bytes);
    countFiles(d.hostPath(QStringLiteral("/var/root")),
               {QStringLiteral("Library/Lockdown"), QStringLiteral("Library/Zorvane")}, &files,
               &bytes);
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(o.succeeded, qPrintable(o.text + console.right(2000)));
    QVERIFY2(o.text.contains(jobs::BackupVerifier::amount(files, bytes)), qPrintable(o.text));
    QVERIFY(console.contains(jobs::BackupVerifier::amount(files, bytes)));
    QVERIFY(!QFileInfo::exists(QStringLiteral("BackupIncomplete.txt")));

    // The transcript kept on disk holds every line the job printed, in order.
    const QString kept = transcript();
    QVERIFY(kept.startsWith(QStringLiteral("no.bat\r\n")));
    const qsizetype banner = console.indexOf(kOutputBanner);
    QVERIFY(banner >= 0);
    QVERIFY2(kept.endsWith(console.mid(banner + kOutputBanner.size())),
             qPrintable(kept.right(500)));
    QCOMPARE(o.transcript, kept);

    // The device loses its data; the restore brings it back and says it checked it.
    QVERIFY(d.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/Library /var/mobile/Media"))
                .exitCode
            == 0);
    QVERIFY(restore());
    const JobOutcome r = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(r.succeeded, qPrintable(r.text + transcript().right(2000)));
    QVERIFY(r.text.contains(QStringLiteral("checked")));
}

void tst_job_outcomes_e2e::failedBackupPutsThePreviousOneBack_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("cause");
    QTest::newRow("wrong password") << "password"
                                    << "refused the password";
    QTest::newRow("device stopped") << "stopped"
                                    << "No device answered";
    QTest::newRow("connection cut during /var/mobile") << "cut"
                                                       << "connection to your device was lost";
}

void tst_job_outcomes_e2e::failedBackupPutsThePreviousOneBack()
{
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    backup();
    QVERIFY(JobOutcome::read(JobOutcome::Kind::Backup).succeeded);
    const TreeSnapshot before = localBackup();

    bool done = true;
    if (fault == QLatin1String("password")) {
        window().findChild<QLineEdit *>("Text3")->setText(QStringLiteral("wrong"));
    } else if (fault == QLatin1String("stopped")) {
        QVERIFY(d.stop());
    } else if (fault == QLatin1String("cut")) {
        QVERIFY(
            d
                .shell(QStringLiteral(
                    "yes 'large media file' | head -c 67108864 > /var/mobile/Media/zz-large.bin"))
                .exitCode
            == 0);
        done = false;
        onConsole(QStringLiteral("now downloading your /var/mobile"), [this, &done] {
            auto *watch = new QTimer(this);
            connect(watch, &QTimer::timeout, this, [this, watch, &done] {
                const QFileInfo arriving(QStringLiteral("Incoming/mobile/Media/zz-large.bin"));
                if (!arriving.exists() || arriving.size() == 0)
                    return;
                done = killSessions() > 0;
                watch->deleteLater();
            });
            watch->start(5);
        });
    }
    const QString console = backup();
    QVERIFY(done);
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY(!o.succeeded);
    QVERIFY2(o.text.contains(cause), qPrintable(o.text));
    QVERIFY(o.text.contains(QStringLiteral("previous backup has been put back unchanged")));
    QVERIFY(console.contains(QStringLiteral("previous backup has been put back unchanged")));
    QCOMPARE(localBackup().differences(before, TreeSnapshot::Content).join(QLatin1Char('\n')),
             QString());
    QVERIFY(!QFileInfo::exists(QStringLiteral("BackupIncomplete.txt")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("PreviousBackup")));
}

void tst_job_outcomes_e2e::interruptedBackupIsNotRestored()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    backup();
    const QStringList records{
        QStringLiteral("root/Library/Zorvane"), // written anew, with the time
        QStringLiteral("Generations")};         // the one it replaced, kept
    const TreeSnapshot before = localBackup(records);
    auto *runner = window().findChild<ReadOutput *>("ReadOutput1");
    onConsole(QStringLiteral("now downloading your /var/mobile"),
              [runner] { runner->CancelProcess(); });
    QVERIFY(backup().contains(QStringLiteral("[**] Process Canceled [**]")));
    QVERIFY(QFileInfo::exists(QStringLiteral("PreviousBackup/saved.txt")));

    QVERIFY(!restore());
    QVERIFY(
        m_fixture->fakes().messages->shown.first().text.contains(QStringLiteral("interrupted")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("PutFilesBack.bat")));

    // The next backup first puts the set-aside one back, then completes.
    const QString console = backup();
    QVERIFY(console.contains(QStringLiteral("An earlier backup was interrupted")));
    QVERIFY(JobOutcome::read(JobOutcome::Kind::Backup).succeeded);
    QCOMPARE(
        localBackup(records).differences(before, TreeSnapshot::Content).join(QLatin1Char('\n')),
        QString());
    QCOMPARE(jobs::Generations::list().size(), 1);
}

void tst_job_outcomes_e2e::relocationAndDfuReportTheirFailures()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    window().findChild<QLineEdit *>("Text3")->setText(QStringLiteral("wrong"));
    click("Command7");
    const JobOutcome apps = JobOutcome::read(JobOutcome::Kind::Relocation);
    QVERIFY(!apps.succeeded);
    QVERIFY2(apps.text.contains(QStringLiteral("refused the password")), qPrintable(apps.text));

    click("Command9"); // there is no USB device here
    const JobOutcome dfu = JobOutcome::read(JobOutcome::Kind::Dfu);
    QVERIFY(!dfu.succeeded);
    QVERIFY2(dfu.text.contains(QStringLiteral("found on USB")), qPrintable(dfu.text));
}

namespace {

// A device shell command that makes the files named, one a line (printf
// escapes allowed), in the device folder `folder`, each holding its own name.
QString makeFiles(const QString &folder, const QStringList &names)
{
    QString command = QStringLiteral("mkdir -p '%1' && cd '%1'").arg(folder);
    for (QString name : names)
        command += QStringLiteral(" && n=\"$(printf '%1')\" && printf '%s' \"$n\" > \"$n\"")
                       .arg(name.replace(QLatin1Char('\''), QStringLiteral("'\\''")));
    return command + QStringLiteral(" && chown -R 501:501 .");
}

// The links a restore must make again, in /var/mobile/Media/Links: to a file,
// to a folder, relative, names holding blanks and "->", and one whose target
// is gone by the time of the restore (a link that points at nothing while the
// backup copies stops pscp in its folder).
const QStringList kLinks{
    QStringLiteral("Media/Links/to a file"), QStringLiteral("Media/Links/to a folder"),
    QStringLiteral("Media/Links/up and over"), QStringLiteral("Media/Links/ x -> y "),
    QStringLiteral("Media/Links/soon dangling")};

QString makeLinks()
{
    return QStringLiteral(
        "mkdir /var/mobile/Media/Links && cd /var/mobile/Media/Links && echo t > 'a file' && "
        "echo ab > 'a -> b' && echo gone > /var/tmp/gone && ln -s 'a file' 'to a file' && "
        "ln -s /var/mobile/Media/DCIM/100APPLE 'to a folder' && ln -s ../DCIM 'up and over' && "
        "ln -s 'a -> b' ' x -> y ' && ln -s /var/tmp/gone 'soon dangling' && "
        "chown -h 501:501 'to a file' ' x -> y '");
}

} // namespace

void tst_job_outcomes_e2e::namesThatReadLikeVerdictsDecideNothing()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    const auto made = d.shell(makeFiles(
        QStringLiteral("/var/mobile/Media/Tricks"),
        {QStringLiteral("Zorvane restore check: OK, every file of the backup is on the device "
                        "with its size, owner and mode."),
         QStringLiteral("Connection refused.txt"), QStringLiteral("Access denied"),
         QStringLiteral("FATAL ERROR: Network error: Connection refused"),
         QStringLiteral("\\nAccess denied\\n"), QStringLiteral("verified 1 1 0 0"),
         QStringLiteral("\\nZorvane restore check: OK\\n")}));
    QVERIFY2(made.exitCode == 0, made.output.constData());
    const QString console = backup();
    const JobOutcome b = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(b.succeeded, qPrintable(b.text + console.right(3000)));
    QVERIFY2(b.text.contains(QStringLiteral("2 file(s) could not be checked")), qPrintable(b.text));

    // A restored file that changes on the device once it was sent: the check
    // on the device fails, whatever the names in the transcript say, and the
    // device is not restarted.
    bool grown = false;
    onConsole(jobs::JobProgress::kRestoreSentLine, [&d, &grown] {
        grown = d.shell(QStringLiteral("echo grown >> '/var/mobile/Media/Tricks/Connection "
                                       "refused.txt'"))
                    .exitCode
                == 0;
    });
    const int reboots = d.rebootCount();
    QVERIFY(restore());
    QVERIFY(grown);
    const JobOutcome failed = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(!failed.succeeded, qPrintable(failed.text));
    QVERIFY2(failed.text.contains(QStringLiteral("differ from the backup"))
                 && failed.text.contains(QStringLiteral("has NOT been restarted")),
             qPrintable(failed.text));
    QCOMPARE(d.rebootCount(), reboots);
    QVERIFY(!failed.transcript.contains(QStringLiteral("Restarting your device")));
    QVERIFY(failed.transcript.contains(QStringLiteral("Connection refused.txt")));
    QVERIFY2(!failed.text.contains(QStringLiteral("refused the password"))
                 && !failed.text.contains(QStringLiteral("No device answered")),
             qPrintable(failed.text));

    // Run again, the same backup restores and is reported complete, and the
    // device restarts: no cause is read from a name.
    disconnect(m_trigger);
    QVERIFY(restore());
    QCOMPARE(d.rebootCount(), reboots + 1);
    const JobOutcome good = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(good.succeeded, qPrintable(good.text + good.transcript.right(3000)));
    QVERIFY(good.transcript.contains(QStringLiteral("Access denied")));
}

void tst_job_outcomes_e2e::everyNameComesBackExactly()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    const QString names = QStringLiteral("/var/mobile/Media/Names");
    const QStringList kinds{QStringLiteral("a\\\\b.txt"),
                            QStringLiteral("b.txt"),
                            QStringLiteral("..\\\\..\\\\x"),
                            QStringLiteral("-rf"),
                            QStringLiteral("--help"),
                            QStringLiteral("%%PATH%% & ^ !x! %%1"),
                            QStringLiteral("it's \"quoted\""),
                            QStringLiteral("W\u00f6rter Caf\u00e9"),
                            QStringLiteral(" blank at both ends "),
                            QStringLiteral("x..y"),
                            QStringLiteral("..hidden"),
                            QStringLiteral("C:\\\\Windows\\\\evil.bat"),
                            QStringLiteral("tab\\there"),
                            QStringLiteral("line\\nbreak")};
    QVERIFY(d.shell(makeFiles(names, kinds)).exitCode == 0);
    const auto modes = d.shell(
        QStringLiteral(
            "cd '%1' && chmod 600 ./-rf && chmod 4755 ./--help && chown 0:80 ./x..y && "
            "mkdir -p './dir & ^ %%x%%/..\\sub' './dir & ^ %%x%%/sub' && "
            "echo inner > './dir & ^ %%x%%/..\\sub/-f' && echo genuine > './dir & ^ %%x%%/sub/-f' "
            "&& echo own > './dir & ^ %%x%%/sub/own' && chmod 640 './dir & ^ %%x%%/sub/-f' && "
            "chmod 700 './dir & ^ %%x%%'")
            .arg(names));
    QVERIFY2(modes.exitCode == 0, modes.output.constData());
    QVERIFY(d.shell(makeLinks()).exitCode == 0);
    const QStringList leftOut{QStringLiteral("Library/Lockdown")};
    const TreeSnapshot mobile =
        TreeSnapshot::read(d.hostPath(QStringLiteral("/var/mobile")), leftOut);
    const TreeSnapshot apps = TreeSnapshot::read(d.hostPath(QStringLiteral("/Applications")));

    const QString console = backup();
    const JobOutcome b = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(b.succeeded, qPrintable(b.text + console.right(3000)));
    // The one name no list can hold is named, not silently left out.
    QVERIFY2(b.text.contains(QStringLiteral("1 file(s) could not be checked")), qPrintable(b.text));
    QVERIFY(console.contains(QStringLiteral("not checked: mobile/Media/Names/line\\nbreak")));
    QCOMPARE(TreeSnapshot::read(QStringLiteral("mobile"),
                                kLinks + QStringList{QStringLiteral("Library/Zorvane")})
                 .differences(TreeSnapshot::read(d.hostPath(QStringLiteral("/var/mobile")),
                                                 leftOut + kLinks),
                              TreeSnapshot::Content)
                 .join(QLatin1Char('\n')),
             QString());

    // Onto an emptied device: every name, size, owner and mode as it was (the
    // unlisted name comes back with its content, but nothing says its owner).
    // pscp sends a name with a backslash under what follows its last one: the
    // restore puts each under its own name, its genuine namesakes ("b.txt",
    // the folder "sub") as they were, and leaves no name pscp made.
    QVERIFY(d.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/Library /var/mobile/Media"))
                .exitCode
            == 0);
    QVERIFY(d.shell(QStringLiteral("rm /var/tmp/gone")).exitCode == 0);
    QVERIFY(restore());
    const JobOutcome r = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(r.succeeded, qPrintable(r.text + r.transcript.right(3000)));
    QVERIFY(
        r.transcript.contains(QStringLiteral("/var/mobile: 5 links checked, as in the backup")));
    QVERIFY(r.transcript.contains(QStringLiteral("not checked (a line break in its name")));
    const QString unlisted = QStringLiteral("Media/Names/line\nbreak");
    const TreeSnapshot back =
        TreeSnapshot::read(d.hostPath(QStringLiteral("/var/mobile")), leftOut);
    QCOMPARE(back.entry(unlisted).digest, mobile.entry(unlisted).digest);
    QStringList differ = back.differences(mobile, TreeSnapshot::Everything, 100);
    differ.removeIf([&](const QString &line) { return line.contains(unlisted); });
    QVERIFY(QDir(d.hostPath(QStringLiteral("/var/root/Library/Zorvane")))
                .entryList({QStringLiteral("names-*")}, QDir::AllEntries)
                .isEmpty());
    QCOMPARE(differ.join(QLatin1Char('\n')), QString());
    QCOMPARE(TreeSnapshot::read(d.hostPath(QStringLiteral("/Applications")))
                 .differences(apps, TreeSnapshot::Everything)
                 .join(QLatin1Char('\n')),
             QString());
}

void tst_job_outcomes_e2e::fullDeviceDiskWhileListingIsNeverComplete()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    // The lists are written where a few kilobytes fit, less than they need.
    QVERIFY(d.shell(QStringLiteral("mkdir -p /var/root/Library/Zorvane")).exitCode == 0);
    QVERIFY(d.limitSpace(QStringLiteral("/var/root/Library/Zorvane"), 8));
    const QString console = backup();
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY(!o.succeeded);
    QVERIFY2(o.text.contains(QStringLiteral("Your device's disk is full")), qPrintable(o.text));
    QVERIFY2(!console.contains(QStringLiteral("is complete"))
                 && !console.contains(QStringLiteral("arrived, every file")),
             qPrintable(console.right(3000)));
    QVERIFY(QFileInfo::exists(QStringLiteral("BackupIncomplete.txt")));
}

void tst_job_outcomes_e2e::linksToNothingLeaveTheProgramsFolderAlone()
{
    // pscp puts what follows each entry it cannot copy one folder higher: in
    // folders with links to nothing, the other files would climb up to the
    // folder the copy is made in, the running script's name among them. The
    // backup sets aside the links to nothing in its trees, but not those it
    // reaches only through a link to a folder elsewhere, which it never changes.
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    QString make = QStringLiteral("ln -s /private/var/elsewhere /var/mobile/Media/Spill && ");
    for (const char *folder : {"a", "b", "c"}) {
        make += QStringLiteral("mkdir -p /private/var/elsewhere/%1 && cd /private/var/elsewhere/%1"
                               " && for n in 1 2 3 4 5; do ln -s /nothing$n l$n; done"
                               " && for n in 1 2 3 4 5 6 7 8; do echo spilled > p$n.txt; done"
                               " && echo 'echo spilled' > No.bat && ")
                    .arg(QLatin1String(folder));
    }
    QVERIFY(d.shell(make + QStringLiteral("true")).exitCode == 0);
    const QString console = backup();
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(!o.succeeded, qPrintable(console.right(2000)));
    QVERIFY(console.contains(QStringLiteral("unable to identify")));
    QVERIFY2(o.text.contains(QStringLiteral("a link that points at nothing")), qPrintable(o.text));
    QFile ran(QStringLiteral("No.bat"));
    QVERIFY(ran.open(QIODevice::ReadOnly));
    QVERIFY(!ran.readAll().contains("spilled"));
    const QStringList top =
        QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QVERIFY2(
        top.filter(QRegularExpression(QStringLiteral("^(p[0-9]\\.txt|[abc]|Incoming)$"))).isEmpty(),
        qPrintable(top.join(QLatin1Char(' '))));
}

void tst_job_outcomes_e2e::linksToNothingAreBackedUpAndMadeAgain()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    QVERIFY(d.shell(QStringLiteral("for f in a b; do mkdir -p /var/mobile/Media/Spill/$f && cd "
                                   "/var/mobile/Media/Spill/$f && for n in 1 2 3; do ln -s "
                                   "/nothing$n l$n; echo kept > p$n.txt; done; done && chown -h "
                                   "501:501 l1 && ln -s /nothing '/Applications/Gone App.app'"))
                .exitCode
            == 0);
    const auto snap = [&d](const char *path) {
        return TreeSnapshot::read(d.hostPath(QLatin1String(path)), {"logs", "tmp", "run"});
    };
    const auto changes = [&snap](const char *path, const TreeSnapshot &then) {
        return snap(path).differences(then, TreeSnapshot::Everything).join(QLatin1Char('\n'));
    };
    const TreeSnapshot var = snap("/var"), apps = snap("/Applications");
    const TreeSnapshot spill = snap("/var/mobile/Media/Spill");

    // Complete and checked, every file in its folder, the device as it was.
    const QString console = backup();
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(o.succeeded, qPrintable(o.text + console.right(2000)));
    QVERIFY(!console.contains(QStringLiteral("unable to identify")));
    QVERIFY(QFileInfo(QStringLiteral("mobile/Media/Spill/b/p3.txt")).isFile());
    QCOMPARE(changes("/var", var) + changes("/Applications", apps), QString());

    // The restore makes them again, with their owners, and its check passes.
    QVERIFY(d.shell(QStringLiteral("rm -r /var/mobile/Media/Spill '/Applications/Gone App.app'"))
                .exitCode
            == 0);
    QVERIFY(restore());
    const JobOutcome r = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY2(r.succeeded, qPrintable(r.text + transcript().right(2000)));
    QCOMPARE(changes("/var/mobile/Media/Spill", spill), QString());
    QCOMPARE(snap("/Applications").entry(QStringLiteral("Gone App.app")).digest,
             QByteArray("/nothing"));
}

void tst_job_outcomes_e2e::restoreOntoAFullDeviceStopsBeforeTheRestart()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    QVERIFY(d.shell(QStringLiteral("yes 'song' | head -c 1048576 > /var/mobile/Media/song.mp3"))
                .exitCode
            == 0);
    backup();
    QVERIFY(JobOutcome::read(JobOutcome::Kind::Backup).succeeded);
    QVERIFY(d.shell(QStringLiteral("rm -rf /var/mobile/Library /var/mobile/Media")).exitCode == 0);
    QVERIFY(d.limitSpace(QStringLiteral("/var/mobile"), 512));
    const int reboots = d.rebootCount();

    QVERIFY(restore());
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY(!o.succeeded);
    QCOMPARE(d.rebootCount(), reboots);
    for (const QString &says :
         {QStringLiteral("Your device's disk is full"), QStringLiteral("NOT restarted"),
          QStringLiteral("Reached your device whole: Applications, root."),
          QStringLiteral("only in part: mobile.")})
        QVERIFY2(o.text.contains(says), qPrintable(says + QStringLiteral(" in: ") + o.text));
    QVERIFY(!o.text.contains(QStringLiteral("holds no record")));
}

void tst_job_outcomes_e2e::backupDamagedOnThisComputerIsNotSent()
{
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    QVERIFY(d.shell(QStringLiteral("mkdir -p /var/mobile/Library/SMS && yes 'message' | head -c "
                                   "60000 > /var/mobile/Library/SMS/sms.db && echo photo > "
                                   "/var/mobile/Media/zz-photo.jpg && chown -R 501:501 "
                                   "/var/mobile/Library/SMS /var/mobile/Media/zz-photo.jpg"))
                .exitCode
            == 0);
    backup();
    QVERIFY(JobOutcome::read(JobOutcome::Kind::Backup).succeeded);
    QVERIFY(QFileInfo(jobs::BackupHashes::kRecord).isFile());

    // A failing disk or a careless hand, after the backup was checked.
    QVERIFY(QFile::resize(QStringLiteral("mobile/Library/SMS/sms.db"), 1000));
    QVERIFY(QFile::remove(QStringLiteral("mobile/Media/zz-photo.jpg")));
    const TreeSnapshot var = TreeSnapshot::read(d.hostPath(QStringLiteral("/var")));
    const TreeSnapshot apps = TreeSnapshot::read(d.hostPath(QStringLiteral("/Applications")));
    const int reboots = d.rebootCount();

    QVERIFY(restore());
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY(!o.succeeded);
    for (const QString &says :
         {QStringLiteral("mobile/Library/SMS/sms.db is 1,000 bytes; it was 60,000 when it was "
                         "backed up"),
          QStringLiteral("mobile/Media/zz-photo.jpg is missing"),
          QStringLiteral("nothing was sent"), QStringLiteral("Your device is unchanged"),
          QStringLiteral("Back up your device again")})
        QVERIFY2(o.text.contains(says), qPrintable(says + QStringLiteral(" in: ") + o.text));
    // The check said how far it was; nothing went to the device.
    QVERIFY(o.transcript.contains(QStringLiteral("Checking your backup on this computer: ")));
    QVERIFY(!o.transcript.contains(QStringLiteral("Transferring files...")));
    QCOMPARE(TreeSnapshot::read(d.hostPath(QStringLiteral("/var")))
                 .differences(var, TreeSnapshot::Everything)
                 .join(QLatin1Char('\n')),
             QString());
    QCOMPARE(TreeSnapshot::read(d.hostPath(QStringLiteral("/Applications")))
                 .differences(apps, TreeSnapshot::Everything)
                 .join(QLatin1Char('\n')),
             QString());
    QCOMPARE(d.rebootCount(), reboots);
}

// The link to the device cut mid-copy with no packet passing (the device's
// loopback down, as a locked iPod's Wi-Fi sleeps): for good, the watchdog ends
// the job naming why and the previous backup stays; for less than the limit,
// the job completes. Short limits: notice 3 s, stop 12 s, 4 s after a stop.
void tst_job_outcomes_e2e::linkCutMidCopyEndsTheJobAtTheLimit()
{
    const QByteArray saved = qgetenv("ZORVANE_STALL_LIMITS");
    const bool wasSet = qEnvironmentVariableIsSet("ZORVANE_STALL_LIMITS");
    SimulatedDevice *device = nullptr;
    const auto restoreAll = qScopeGuard([&] {
        if (wasSet)
            qputenv("ZORVANE_STALL_LIMITS", saved);
        else
            qunsetenv("ZORVANE_STALL_LIMITS");
        if (device)
            device->run({QStringLiteral("ip"), QStringLiteral("link"), QStringLiteral("set"),
                         QStringLiteral("lo"), QStringLiteral("up")},
                        QDir::tempPath());
    });
    QVERIFY(startDevice(SuiteFixture::HostKey::Stored));
    SimulatedDevice &d = m_fixture->device();
    device = &d;
    backup();
    QVERIFY(JobOutcome::read(JobOutcome::Kind::Backup).succeeded);
    const TreeSnapshot before = localBackup();
    QVERIFY(d.shell(QStringLiteral(
                        "yes 'large media file' | head -c 67108864 > /var/mobile/Media/zz-large.bin"))
                .exitCode
            == 0);
    qputenv("ZORVANE_STALL_LIMITS", "3,12,4");
    const auto link = [&d](const char *state) {
        return d.run({QStringLiteral("ip"), QStringLiteral("link"), QStringLiteral("set"),
                      QStringLiteral("lo"), QString::fromLatin1(state)},
                     QDir::tempPath())
                   .exitCode
               == 0;
    };
    // Cuts the link once the large file has begun to arrive; `upAfterMs` > 0
    // brings it back that much later.
    const auto cutMidCopy = [this, &link](bool &cut, int upAfterMs) {
        onConsole(QStringLiteral("now downloading your /var/mobile"), [this, &link, &cut,
                                                                        upAfterMs] {
            auto *watch = new QTimer(this);
            connect(watch, &QTimer::timeout, this, [this, watch, &link, &cut, upAfterMs] {
                const QFileInfo arriving(QStringLiteral("Incoming/mobile/Media/zz-large.bin"));
                if (!arriving.exists() || arriving.size() == 0)
                    return;
                watch->deleteLater();
                cut = link("down");
                if (upAfterMs > 0)
                    QTimer::singleShot(upAfterMs, this, [&link] { link("up"); });
            });
            watch->start(5);
        });
    };
    QString quietLine;
    const auto progress = window().findChild<QLabel *>("lblBackupProgress");
    QVERIFY(progress);
    auto *sampler = new QTimer(this);
    connect(sampler, &QTimer::timeout, this, [&] {
        if (progress->text().startsWith(QStringLiteral("No data from the device")))
            quietLine = progress->text();
    });
    sampler->start(50);

    // Cut for good.
    bool cut = false;
    cutMidCopy(cut, 0);
    QElapsedTimer took;
    took.start();
    const QString console = backup();
    const qint64 seconds = took.elapsed() / 1000;
    QVERIFY(cut);
    const JobOutcome o = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY(!o.succeeded);
    QVERIFY2(o.text.contains(QStringLiteral("stopped answering in the middle of the job")),
             qPrintable(o.text));
    QVERIFY2(o.text.contains(QStringLiteral("previous backup has been put back unchanged")),
             qPrintable(o.text));
    QVERIFY2(console.contains(QStringLiteral(
                 "Zorvane stopped this step: no data from the device for 12 s.")),
             qPrintable(console));
    QVERIFY2(quietLine.contains(QStringLiteral(": is it asleep or out of Wi-Fi?")),
             qPrintable(quietLine));
    QCOMPARE(localBackup().differences(before, TreeSnapshot::Content).join(QLatin1Char('\n')),
             QString());
    QVERIFY(!QFileInfo::exists(QStringLiteral("PreviousBackup")));
    qInfo("cut for good: the backup ended after %lld s", seconds);

    // Cut for less than the limit: the copy goes on and the backup completes.
    QVERIFY(link("up"));
    cut = false;
    quietLine.clear();
    cutMidCopy(cut, 4000);
    const QString console2 = backup();
    QVERIFY(cut);
    const JobOutcome o2 = JobOutcome::read(JobOutcome::Kind::Backup);
    QVERIFY2(o2.succeeded, qPrintable(o2.text));
    QVERIFY2(console2.contains(QStringLiteral("Data from the device again; the job goes on.")),
             qPrintable(console2));
    QVERIFY(!console2.contains(QStringLiteral("Zorvane stopped this step")));
    QVERIFY(!quietLine.isEmpty());
    QCOMPARE(QFileInfo(QStringLiteral("mobile/Media/zz-large.bin")).size(), qint64(67108864));
    sampler->deleteLater();
}

QTEST_MAIN(tst_job_outcomes_e2e)
#include "tst_job_outcomes_e2e.moc"
