#include "DeviceNetwork.h"
#include "PrivatePutty.h"
#include "TreeSnapshot.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "jobs/JobScripts.h"
#include "platform/Platform.h"
#include "platform/desktop/QtShell.h"
#include "support/SuiteFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>

namespace {

const QString kKeyQuestion = QStringLiteral("Store key in cache?");
const QString kTerminalEnd = QStringLiteral("[terminal stand-in: exit ");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The state letter of a process in /proc ('Z' for one that has ended but was
// not collected yet), or 0 when there is none.
char processState(qint64 pid)
{
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() ? stat.at(close + 2) : 0;
}

bool isRunning(qint64 pid)
{
    const char state = processState(pid);
    return state != 0 && state != 'Z' && state != 'X';
}

QString processName(qint64 pid)
{
    return QString::fromLocal8Bit(readAll(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed());
}

// Running processes of the given executable file, other than `except`.
QList<qint64> runningCopiesOf(const QString &executable, qint64 except)
{
    QList<qint64> found;
    const QString wanted = QFileInfo(executable).canonicalFilePath();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == except || !isRunning(pid))
            continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == wanted)
            found.append(pid);
    }
    return found;
}

QSet<QString> asSet(const QStringList &list) { return QSet<QString>(list.begin(), list.end()); }

} // namespace

// The utility jobs through the real main window against a simulated device:
// the SSH first run in a (stand-in) terminal through the real shell start, the
// relocation of the applications and the fonts through the runner and the real
// interpreter; and a job script's closing lines ending the real program and
// starting a fresh copy of it.
class tst_utility_jobs_e2e : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(SuiteFixture::ProcessIds::Own); }

private slots:
    void initTestCase()
    {
        // The scripts' taskkill would end every Zorvane on the machine.
        QString why = SuiteFixture::whyDeviceCannotRun(SuiteFixture::ProcessIds::Own);
        if (!why.isEmpty())
            QSKIP(qPrintable(why));

        m_fixture = std::make_unique<SuiteFixture>(SuiteFixture::Folder::ProgramCopy);
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_fakes = m_fixture->fakes();
        // The SSH first run goes through the real shell start, into a terminal.
        platform::Platform::setShell(std::make_unique<platform::QtShell>());
        m_terminalLog = m_fixture->file(QStringLiteral("terminal.log"));

        QVERIFY2(m_fixture->startDevice({}, SuiteFixture::HostKey::Unknown, &why), qPrintable(why));

        m_window = std::make_unique<app::frmMain>();
        m_window->show();
        m_window->findChild<QLineEdit *>("Text2")->setText(
            QString::fromLatin1(SimulatedDevice::address));
        click("Command6"); // the Misc Utilities pane
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_fixture.reset();
        qunsetenv("ZORVANE_TERMINAL");
    }

    void sshFirstRunWithoutATerminalProgram()
    {
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&path] { qputenv("PATH", path); });
        QTemporaryDir noPrograms;
        qputenv("PATH", noPrograms.path().toLocal8Bit());
        qunsetenv("ZORVANE_TERMINAL");
        const QString console = m_window->console().text();
        const int height = m_window->heightTwips();

        click("Command10");
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QCOMPARE(m_fakes.messages->shown.first().title, QStringLiteral("No terminal window"));
        QVERIFY(m_fakes.messages->shown.first().text.contains(
            QStringLiteral("Install the package \"xterm\"")));
        m_fakes.messages->shown.clear();
        // Nothing written, started or shown as busy.
        QVERIFY(!QFile::exists(m_fixture->file(QStringLiteral("SSH.bat"))));
        QCOMPARE(m_window->console().text(), console);
        QCOMPARE(m_window->heightTwips(), height);
        QVERIFY(!m_window->findChild<QWidget *>("DXAnimatedGIF3")->isVisible());
        QVERIFY(!m_window->findChild<QTimer *>("Timer1")->isActive());
        QVERIFY(readAll(m_fixture->device().hostPath(QStringLiteral("/tmp/pwned.jpg"))).isEmpty());
    }

    void sshFirstRunWithTheKeyRefused()
    {
        const QString console = runSshFirstRun(QStringLiteral("n"));
        QVERIFY(readAll(m_terminalLog).contains(kKeyQuestion.toLatin1()));
        QVERIFY2(
            console.contains(QStringLiteral("the device's key was NOT stored. The SSH window was "
                                            "answered with something other than \"y\"")),
            qPrintable(console));
        QVERIFY2(!console.contains(QStringLiteral("Complete")), qPrintable(console));
        QVERIFY(!keyCache().contains("@22:127.0.0.1 "));
        // "n" connects once without storing: the copy itself went ahead.
        QCOMPARE(readAll(m_fixture->device().hostPath(QStringLiteral("/tmp/pwned.jpg"))),
                 readAll(m_fixture->file(QStringLiteral("pwned.jpg"))));
        QVERIFY(plinkBatch() != 0);
    }

    void sshFirstRunWithNoDeviceAtTheAddress()
    {
        // Nothing listens there, next to the device.
        m_window->findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.2"));
        const auto restore = qScopeGuard([this] {
            m_window->findChild<QLineEdit *>("Text2")->setText(
                QString::fromLatin1(SimulatedDevice::address));
        });
        const QString console = runSshFirstRun(QStringLiteral("y"));
        QVERIFY2(console.contains(
                     QStringLiteral("the device's key was NOT stored: it was not accepted in the "
                                    "SSH window, or no device answered at 127.0.0.2.")),
                 qPrintable(console));
        QVERIFY(keyCache().isEmpty());
    }

    void sshFirstRunStoresTheDeviceKey()
    {
        QVERIFY(keyCache().isEmpty());
        // Without the key a batch-mode plink refuses, so its success later
        // shows that the key was stored.
        QVERIFY(plinkBatch() != 0);

        const QString console = runSshFirstRun(QStringLiteral("y"));
        QVERIFY(readAll(m_terminalLog).contains(kKeyQuestion.toLatin1()));
        QCOMPARE(console,
                 QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                "Executing SSH on first time run....\r\n"
                                "Please wait for the command prompt window to close.\r\n"
                                "SSH Complete.\r\n"
                                "You can now run the Backup or Restore options when the command "
                                "prompt closes!"));

        // The cache holds exactly the device's key.
        QTemporaryDir reference;
        QVERIFY(m_fixture->device().seedHostKey(reference.path()));
        const QByteArray expected =
            readAll(reference.filePath(QStringLiteral(".putty/sshhostkeys")));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(keyCache().trimmed(), expected.trimmed());
        // pscp's copy of the picture arrived whole.
        QCOMPARE(readAll(m_fixture->device().hostPath(QStringLiteral("/tmp/pwned.jpg"))),
                 readAll(m_fixture->file(QStringLiteral("pwned.jpg"))));

        // From now on plink and pscp go ahead without asking.
        QCOMPARE(plinkBatch(), 0);
        QCOMPARE(run({QStringLiteral("pscp"), QStringLiteral("-batch"), QStringLiteral("-pw"),
                      QString::fromLatin1(SimulatedDevice::password), QStringLiteral("pwned.jpg"),
                      QStringLiteral("root@127.0.0.1:/tmp/again.jpg")}),
                 0);
        QCOMPARE(readAll(m_fixture->device().hostPath(QStringLiteral("/tmp/again.jpg"))),
                 readAll(m_fixture->file(QStringLiteral("pwned.jpg"))));
    }

    void sshFirstRunWithAChangedKeyRefused()
    {
        // Another device at the address the stored key belongs to (a device
        // restored since): its new key is refused with "n", and the copy goes
        // ahead all the same.
        QVERIFY(keyCache().contains("@22:127.0.0.1 "));
        const QByteArray stored = keyCache();
        SimulatedDevice other;
        QVERIFY2(other.start(), qPrintable(other.lastError()));
        DeviceNetwork network;
        QString error;
        QVERIFY2(network.enter(other, &error), qPrintable(error));
        const QString console = runSshFirstRun(QStringLiteral("n"));
        network.leave();
        QVERIFY(readAll(m_terminalLog).contains("Update cached key?"));
        QCOMPARE(readAll(other.hostPath(QStringLiteral("/tmp/pwned.jpg"))),
                 readAll(m_fixture->file(QStringLiteral("pwned.jpg"))));
        QVERIFY2(!console.contains(QStringLiteral("Complete")), qPrintable(console));
        QVERIFY2(console.contains(QStringLiteral("the device's key has changed")),
                 qPrintable(console));
        QCOMPARE(keyCache(), stored);
    }

    void applicationsRelocation()
    {
        relocateTwice("Command7", "DXAnimatedGIF1", QStringLiteral("/Applications"),
                      QStringLiteral("/var/Applications"),
                      QStringLiteral("Relocating your Applications folder, please wait..."));
        QVERIFY(m_fakes.messages->shown.isEmpty());
    }

    void fontsRelocation()
    {
        relocateTwice("Command8", "DXAnimatedGIF2", QStringLiteral("/System/Library/Fonts"),
                      QStringLiteral("/var/Fonts"),
                      QStringLiteral("Relocating your Fonts folder, please wait..."));
        // One box per click, answered before the script is written.
        QCOMPARE(m_fakes.messages->shown.size(), 2);
        for (const fake::ShownBox &box : m_fakes.messages->shown)
            QCOMPARE(box.title, QStringLiteral("Before Symlinking Your Fonts...."));
    }

    // The closing lines of a job script end the running program itself and
    // start a fresh copy of it as a new process.
    void scriptEndsTheRealProgramAndStartsAFreshOne()
    {
        QVERIFY(
            !processName(QCoreApplication::applicationPid()).startsWith(QStringLiteral("Zorvane")));
        ProgramFolder folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
        const QString program = folder.file(QStringLiteral("Zorvane"));
        QVERIFY(QFile::remove(program));
        QVERIFY(QFile::copy(qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/Zorvane"),
                            program));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        PrivatePutty::apply(&env, folder.home());
        QTemporaryDir runtime;
        if (env.value(QStringLiteral("XDG_RUNTIME_DIR")).isEmpty())
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

        QProcess first;
        first.setProgram(program);
        first.setWorkingDirectory(folder.path());
        first.setProcessEnvironment(env);
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start();
        QVERIFY(first.waitForStarted());
        const auto endFirst = qScopeGuard([&first] {
            first.kill();
            first.waitForFinished();
        });
        const qint64 firstPid = first.processId();
        QTRY_COMPARE(processName(firstPid), QStringLiteral("Zorvane"));

        QString error;
        bool written = false;
        {
            // The script is written where the program it ends runs.
            const ScopedCurrentFolder there(folder.path());
            QVERIFY(there.entered());
            written = jobs::dfuScript(jobs::jobDescription(jobs::Job::Dfu)).write(&error);
        }
        QVERIFY2(written, qPrintable(error));

        QVERIFY(isRunning(firstPid));
        QProcess script;
        script.setProgram(folder.file(QStringLiteral("zcmd")));
        script.setArguments({QStringLiteral("/c"), QStringLiteral("\"DFU.bat\"")});
        script.setWorkingDirectory(folder.path());
        script.setProcessEnvironment(env);
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start();
        QVERIFY(script.waitForFinished(60000));
        const QString transcript = QString::fromLocal8Bit(script.readAll());
        QVERIFY2(transcript.contains(QStringLiteral("Restore your iPod in iTunes")),
                 qPrintable(transcript));

        // taskkill ended the first program by force (its output goes to NUL)...
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::CrashExit);
        QVERIFY(!isRunning(firstPid));

        // ...and "start Zorvane.exe" started a fresh copy of the real program.
        QList<qint64> fresh;
        QTRY_VERIFY((fresh = runningCopiesOf(program, firstPid)).size() == 1);
        const qint64 freshPid = fresh.first();
        QVERIFY(freshPid != firstPid);
        QCOMPARE(processName(freshPid), QStringLiteral("Zorvane"));
        QTRY_VERIFY(folder.started().contains(QStringLiteral("DFUmode")));
        QVERIFY(!folder.started().contains(QStringLiteral("Zorvane"))); // no stand-in here
        // The script the job left (job scripts may hold the password) is
        // removed by the fresh copy once the interpreter is done with it.
        QTRY_VERIFY(!QFile::exists(folder.file(QStringLiteral("DFU.bat"))));

        // The fresh copy keeps running until it is ended.
        QVERIFY(isRunning(freshPid));
        auto endFresh = qScopeGuard([freshPid] { ::kill(pid_t(freshPid), SIGKILL); });
        QCOMPARE(::kill(pid_t(freshPid), SIGTERM), 0);
        QTRY_VERIFY(!isRunning(freshPid));
        endFresh.dismiss();
    }

private:
    void click(const char *name) { m_window->findChild<QPushButton *>(name)->click(); }

    QByteArray keyCache() const
    {
        return readAll(m_fixture->home() + QStringLiteral("/.putty/sshhostkeys"));
    }

    // Runs "Run SSH Fingerprint" in the stand-in terminal, which answers the
    // key question with `answer`, and returns the Console once the job's timer
    // has shown its outcome.
    QString runSshFirstRun(const QString &answer)
    {
        QFile::remove(m_terminalLog);
        qputenv(
            "ZORVANE_TERMINAL",
            QStringLiteral("\"%1/terminal_stand_in\" --log \"%2\" --timeout 120 --key-answer %3")
                .arg(QCoreApplication::applicationDirPath(), m_terminalLog, answer)
                .toLocal8Bit());
        auto *timer = m_window->findChild<QTimer *>("Timer1");
        const QWidget *busy = m_window->findChild<QWidget *>("DXAnimatedGIF3");

        click("Command10");
        [&] {
            QVERIFY(m_fakes.messages->shown.isEmpty());
            QVERIFY(timer->isActive());
            QVERIFY(busy->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(readAll(m_terminalLog).contains(kTerminalEnd.toLatin1()),
                                     150000);
            const QString shown = QString::fromLocal8Bit(readAll(m_terminalLog));
            QVERIFY2(!shown.contains(QStringLiteral("timeout]")), qPrintable(shown));
            // The job's own timer tells the outcome.
            QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 30000);
            QVERIFY(!busy->isVisible());
        }();
        return QTest::currentTestFailed() ? QString() : m_window->console().text();
    }

    // A command next to the device, in the program folder; its exit code (-1
    // when it did not finish within a minute).
    int run(const QStringList &command)
    {
        QProcess p;
        p.setProgram(command.first());
        p.setArguments(command.mid(1));
        p.setWorkingDirectory(m_fixture->path());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start();
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (p.exitCode() != 0)
            qWarning().noquote() << command.join(QLatin1Char(' ')) << p.readAll();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    // A plink that fails rather than asks when the device's key is unknown.
    int plinkBatch()
    {
        return run({QStringLiteral("plink"), QStringLiteral("-batch"), QStringLiteral("-ssh"),
                    QString::fromLatin1(SimulatedDevice::address), QStringLiteral("-l"),
                    QStringLiteral("root"), QStringLiteral("-pw"),
                    QString::fromLatin1(SimulatedDevice::password), QStringLiteral("true")});
    }

    TreeSnapshot deviceTree(const QString &devicePath) const
    {
        return TreeSnapshot::read(m_fixture->device().hostPath(devicePath));
    }

    // Whether the transcript reports errors other than taskkill's: no Zorvane
    // runs in this test's process namespace for it to end.
    static bool deviceErrors(QString console)
    {
        console.remove(QStringLiteral("ERROR: The process \"Zorvane.exe\" not found."));
        return console.contains(QStringLiteral("ERROR"));
    }

    QString linkOnDevice(const QString &devicePath) const
    {
        return QString::fromLocal8Bit(m_fixture->device()
                                          .shell(QStringLiteral("readlink '%1'").arg(devicePath))
                                          .output.trimmed());
    }

    // Runs a relocation job twice: the first run moves `folder` to `target`
    // and links it back with every file still there; the second changes nothing.
    void relocateTwice(const char *button, const char *indicator, const QString &folder,
                       const QString &target, const QString &echo)
    {
        const QWidget *busy = m_window->findChild<QWidget *>(indicator);
        QVERIFY2(QFile::exists(m_fixture->home() + QStringLiteral("/.putty/sshhostkeys")),
                 "the SSH first run stores the device's key first");
        m_fakes.messages->shown.clear();
        QVERIFY(linkOnDevice(folder).isEmpty());
        const TreeSnapshot before = deviceTree(folder);
        QVERIFY(before.size() > 3);
        const int started = m_fixture->started().size();

        click(button); // returns when the script's output has ended
        QVERIFY(!busy->isVisible());
        QString console = m_window->console().text();
        QVERIFY2(console.contains(echo), qPrintable(console));
        QVERIFY2(!deviceErrors(console), qPrintable(console));
        QCOMPARE(linkOnDevice(folder), target);
        QCOMPARE(m_fixture->device().hostPath(folder), m_fixture->device().hostPath(target));
        QCOMPARE(deviceTree(folder)
                     .differences(before, TreeSnapshot::Everything)
                     .join(QLatin1Char('\n')),
                 QString());
        // Started detached by the script's last lines: they may still be starting.
        QTRY_COMPARE(m_fixture->started().size(), started + 2);
        QCOMPARE(asSet(m_fixture->started().mid(started)),
                 (QSet<QString>{QStringLiteral("Zorvane"), QStringLiteral("SymlinkComplete")}));

        const TreeSnapshot device = TreeSnapshot::read(m_fixture->device().treePath());
        click(button);
        console = m_window->console().text();
        QVERIFY2(console.contains(echo), qPrintable(console));
        QVERIFY2(!deviceErrors(console), qPrintable(console));
        QCOMPARE(TreeSnapshot::read(m_fixture->device().treePath())
                     .differences(device, TreeSnapshot::Everything)
                     .join(QLatin1Char('\n')),
                 QString());
        QTRY_COMPARE(m_fixture->started().size(), started + 4);
    }

    std::unique_ptr<SuiteFixture> m_fixture;
    std::unique_ptr<app::frmMain> m_window;
    fake::Services m_fakes{};
    QString m_terminalLog;
};

QTEST_MAIN(tst_utility_jobs_e2e)
#include "tst_utility_jobs_e2e.moc"
