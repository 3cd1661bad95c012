#include "PrivatePutty.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"
#include "support/PrivateProcessIds.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The user the package is used by: not root, in no group of root's.
constexpr uint kUser = 65534;

QStringList asUser(const QStringList &command)
{
    return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(kUser),
                       QStringLiteral("--regid=%1").arg(kUser), QStringLiteral("--clear-groups")}
           + command;
}

bool run(const QStringList &command, QByteArray *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command.first(), command.mid(1));
    const bool ok =
        p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = p.readAll();
    else if (!ok)
        qWarning().noquote() << command.join(QLatin1Char(' ')) << p.readAll();
    return ok;
}

bool chownToUser(const QString &path)
{
    return run(
        {QStringLiteral("chown"), QStringLiteral("-R"), QStringLiteral("%1:%1").arg(kUser), path});
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Running processes whose program file is `executable`.
QList<qint64> processesOf(const QString &executable)
{
    QList<qint64> found;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number
            && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == executable)
            found.append(pid);
    }
    return found;
}

QString currentFolderOf(qint64 pid)
{
    return QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget();
}

} // namespace

// The Debian package as a user installs it: its contents extracted into a
// private root, the program's folder read-only, used by a user who is not
// root. The installed program works in the user's own folder; a backup and a
// restore against the simulated device work end to end from there and write
// nothing into the program's folder.
class tst_package_e2e : public QObject {
    Q_OBJECT

public:
    // The scripts' taskkill ends every Zorvane it can see: let it see only ours.
    static void initMain() { PrivateProcessIds::enter(); }

private slots:
    void initTestCase()
    {
        QString why;
        if (!SimulatedDevice::canRun(&why))
            QSKIP(qPrintable(why));
        if (!PrivateProcessIds::active())
            QSKIP("needs a process-id namespace of its own (unshare)");

        const QFileInfoList debs =
            QDir(qEnvironmentVariable("ZORVANE_PACKAGE_DIR"))
                .entryInfoList({QStringLiteral("zorvane_*.deb")}, QDir::Files);
        QVERIFY2(debs.size() == 1, "run the package_build test first");
        QVERIFY(m_root.isValid());
        QVERIFY(QFile::setPermissions(m_root.path(), QFile::ReadOwner | QFile::WriteOwner
                                                         | QFile::ExeOwner | QFile::ReadOther
                                                         | QFile::ExeOther));
        QVERIFY(run({QStringLiteral("dpkg-deb"), QStringLiteral("-x"), debs.first().filePath(),
                     m_root.path()}));
        m_program = m_root.filePath(QStringLiteral("usr/lib/zorvane"));
        QVERIFY(QFileInfo(m_program + QStringLiteral("/Zorvane")).isExecutable());
        QVERIFY(
            run({QStringLiteral("chmod"), QStringLiteral("-R"), QStringLiteral("a-w"), m_program}));
        m_programBefore = TreeSnapshot::read(m_program);

        m_home = m_root.filePath(QStringLiteral("home"));
        m_tmp = m_root.filePath(QStringLiteral("tmp"));
        m_runtime = m_root.filePath(QStringLiteral("run"));
        for (const QString &folder : {m_home, m_tmp, m_runtime})
            QVERIFY(QDir().mkdir(folder) && chownToUser(folder));
        m_work = m_home + QStringLiteral("/.local/share/Zorvane");

        QVERIFY2(m_device.start(), qPrintable(m_device.lastError()));
        QVERIFY(m_device.seedHostKey(m_home));
        QVERIFY(chownToUser(m_home));
    }

    void cleanupTestCase()
    {
        endInstalledPrograms();
        m_device.stop();
    }

    void cleanup() { endInstalledPrograms(); }

    // The zorvane command starts the installed program, which makes the
    // user's working folder, private, and works there.
    void installedProgramWorksInThePrivateUserFolder()
    {
        const qint64 pid = startInstalled(environment());
        QTRY_VERIFY(QFileInfo(m_work + QStringLiteral("/zcmd")).isSymLink());
        QTRY_COMPARE(currentFolderOf(pid), m_work);
        const struct stat st = statOf(m_work);
        QCOMPARE(st.st_mode & 07777, 0700u);
        QCOMPARE(uint(st.st_uid), kUser);
        for (const char *name :
             {"Zorvane", "zcmd", "BackupComplete", "iphuc", "move.sh", "loading.gif"})
            QCOMPARE(QFileInfo(m_work + QLatin1Char('/') + QLatin1String(name)).symLinkTarget(),
                     m_program + QLatin1Char('/') + QLatin1String(name));
        QCOMPARE(
            TreeSnapshot::read(m_program).differences(m_programBefore, TreeSnapshot::Everything),
            QStringList());
    }

    // What a job script's "start Zorvane.exe" does in the working folder: the
    // link there starts the installed program, which again works there (it
    // has refreshed the folder's links by the time it looks at it).
    void startedByNameFromTheWorkingFolder()
    {
        QVERIFY(QFileInfo(m_work + QStringLiteral("/zcmd")).isSymLink());
        const QString stale = m_work + QStringLiteral("/gone.sh");
        QVERIFY(QFile::link(m_program + QStringLiteral("/gone.sh"), stale));
        QProcess start;
        start.setProcessEnvironment(environment());
        start.setWorkingDirectory(m_work);
        const QStringList command =
            asUser({m_program + QStringLiteral("/zcmd"), QStringLiteral("/c"),
                    QStringLiteral("start Zorvane.exe")});
        start.start(command.first(), command.mid(1));
        QVERIFY(start.waitForFinished(30000));
        QCOMPARE(start.exitCode(), 0);
        QTRY_VERIFY(!QFileInfo(stale).isSymLink());
        const QList<qint64> started = processesOf(m_program + QStringLiteral("/Zorvane"));
        QCOMPARE(started.size(), 1);
        QCOMPARE(currentFolderOf(started.first()), m_work);
    }

    void backupAndRestoreFromTheUserFolder()
    {
        const TreeSnapshot apps = deviceTree(QStringLiteral("/Applications"));
        const TreeSnapshot mobile = deviceTree(QStringLiteral("/var/mobile"), kLockdown);
        const TreeSnapshot root = deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord);

        const QString backup = runJob(QStringLiteral("backup"));
        QVERIFY2(backup.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(backup.right(3000)));
        const auto same = [](const TreeSnapshot &local, const TreeSnapshot &device) {
            return local.differences(device, TreeSnapshot::Content).join(QLatin1Char('\n'));
        };
        QCOMPARE(same(TreeSnapshot::read(m_work + QStringLiteral("/Applications")), apps),
                 QString());
        QCOMPARE(same(TreeSnapshot::read(m_work + QStringLiteral("/mobile")), mobile), QString());
        QCOMPARE(same(TreeSnapshot::read(m_work + QStringLiteral("/root"),
                                         {QStringLiteral("Library/Zorvane")}),
                      root),
                 QString());
        QCOMPARE(uint(statOf(m_work + QStringLiteral("/mobile")).st_uid), kUser);
        QCOMPARE(
            TreeSnapshot::read(m_program).differences(m_programBefore, TreeSnapshot::Everything),
            QStringList());

        // The closing lines started the installed program and completion program.
        QTRY_VERIFY(!processesOf(m_program + QStringLiteral("/Zorvane")).isEmpty());
        QTRY_VERIFY(!processesOf(m_program + QStringLiteral("/BackupComplete")).isEmpty());
        endInstalledPrograms();

        // The device loses its applications and data; the restore brings them back.
        const auto wiped =
            m_device.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/Library "
                                          "/var/mobile/Media /var/root/Library/Preferences"));
        QVERIFY2(wiped.exitCode == 0, wiped.output.constData());
        const int reboots = m_device.rebootCount();
        const QString restore = runJob(QStringLiteral("restore"));
        QVERIFY2(!restore.contains(QStringLiteral("[box]")), qPrintable(restore.left(2000)));
        const auto differ = [](const TreeSnapshot &now, const TreeSnapshot &then) {
            return now.differences(then, TreeSnapshot::Everything).join(QLatin1Char('\n'));
        };
        QCOMPARE(differ(deviceTree(QStringLiteral("/Applications")), apps), QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/mobile"), kLockdown), mobile), QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord), root),
                 QString());
        QCOMPARE(m_device.rebootCount(), reboots + 1);
        QTRY_VERIFY(!processesOf(m_program + QStringLiteral("/RestoreComplete")).isEmpty());

        // Nothing was written beside the program.
        QCOMPARE(
            TreeSnapshot::read(m_program).differences(m_programBefore, TreeSnapshot::Everything),
            QStringList());
    }

    // A working folder that cannot be made: the program still starts, in a
    // private folder of the temporary folder (after telling the user so).
    void uncreatableFolderStillStarts()
    {
        const QString blocker = m_home + QStringLiteral("/not-a-folder");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), blocker);
        const qint64 pid = startInstalled(env);
        const QString fallback = m_tmp + QStringLiteral("/Zorvane-%1").arg(kUser);
        QTRY_COMPARE(currentFolderOf(pid), fallback);
        QCOMPARE(statOf(fallback).st_mode & 07777, 0700u);
        QVERIFY(QFileInfo(fallback + QStringLiteral("/zcmd")).isSymLink());
        QVERIFY(QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
    }

private:
    const QStringList kLockdown{QStringLiteral("Library/Lockdown")};
    const QStringList kLockdownAndRecord{QStringLiteral("Library/Lockdown"),
                                         QStringLiteral("Library/Zorvane")};

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        PrivatePutty::apply(&env, m_home);
        env.insert(QStringLiteral("TMPDIR"), m_tmp);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    // The installed zorvane command, as the user, in the home folder.
    qint64 startInstalled(const QProcessEnvironment &env)
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_home);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        const QStringList command = asUser({m_root.filePath(QStringLiteral("usr/bin/zorvane"))});
        process.setProgram(command.first());
        process.setArguments(command.mid(1));
        qint64 pid = 0;
        process.startDetached(&pid);
        return pid;
    }

    // One job through the main window as the user, next to the device; its
    // transcript and message boxes.
    QString runJob(const QString &job)
    {
        const QString driver = qEnvironmentVariable("ZORVANE_JOB_DRIVER");
        const SimulatedDevice::Result r =
            m_device.run(asUser({driver, job, m_program}), m_home, environment(), 300000);
        if (!r.finished || r.exitCode != 0)
            qWarning().noquote() << job << "driver failed:" << r.output.right(3000);
        return QString::fromLocal8Bit(r.output);
    }

    TreeSnapshot deviceTree(const QString &devicePath, const QStringList &excluded = {})
    {
        return TreeSnapshot::read(m_device.hostPath(devicePath), excluded);
    }

    // Ends every installed program this suite or its jobs started.
    void endInstalledPrograms()
    {
        // The program and the completion programs its jobs start.
        const QStringList &programs = ProgramFolder::standIns();
        for (const QString &name : programs)
            for (qint64 pid : processesOf(m_program + QLatin1Char('/') + name))
                ::kill(pid_t(pid), SIGKILL);
        for (const QString &name : programs)
            QTRY_VERIFY(processesOf(m_program + QLatin1Char('/') + name).isEmpty());
    }

    QTemporaryDir m_root;
    SimulatedDevice m_device;
    QString m_program;
    QString m_home;
    QString m_tmp;
    QString m_runtime;
    QString m_work;
    TreeSnapshot m_programBefore;
};

QTEST_MAIN(tst_package_e2e)
#include "tst_package_e2e.moc"
