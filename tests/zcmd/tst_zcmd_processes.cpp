// The interpreter's dealings with other processes: "start" detaches and
// returns at once, "taskkill" ends the named processes and nothing else, and
// a script keeps running after the reader of its output has gone.
#include "ZcmdHarness.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zcmdtest;

namespace {

constexpr int kTimeoutMs = 20000;

constexpr uid_t kOtherUser = 65534; // "nobody"

// Starts a program in `folder` with its standard output and error on a pipe
// whose read end is returned; as `otherUser` when one is given (with
// `rootEffective`, as a set-uid-root program that user started: the real user
// is otherUser, the effective one root).
pid_t spawn(const QString &program, const QStringList &arguments, const QString &folder,
            int *readEnd, uid_t otherUser = 0, bool rootEffective = false)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    QByteArray path = program.toLocal8Bit();
    QByteArray dir = folder.toLocal8Bit();
    QList<QByteArray> args{path};
    for (const QString &a : arguments)
        args << a.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        if (otherUser != 0 && rootEffective
            && (::setgroups(0, nullptr) != 0 || ::setresgid(otherUser, 0, 0) != 0
                || ::setresuid(otherUser, 0, 0) != 0))
            ::_exit(125);
        if (otherUser != 0 && !rootEffective
            && (::setgroups(0, nullptr) != 0 || ::setgid(otherUser) != 0
                || ::setuid(otherUser) != 0))
            ::_exit(125);
        if (::chdir(dir.constData()) != 0)
            ::_exit(126);
        int nul = ::open("/dev/null", O_RDONLY);
        ::dup2(nul, 0);
        if (readEnd) {
            ::dup2(fds[1], 1);
            ::dup2(fds[1], 2);
        }
        ::execv(path.constData(), argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    if (readEnd)
        *readEnd = fds[0];
    else
        ::close(fds[0]);
    return pid;
}

// Reads until `wanted` has arrived, or to the end of output when `wanted` is
// empty. False when the time ran out first.
bool readFrom(int fd, QByteArray &out, const QByteArray &wanted = QByteArray())
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired()) {
        if (!wanted.isEmpty() && out.contains(wanted))
            return true;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[4096];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return wanted.isEmpty();
        out.append(buffer, static_cast<int>(n));
    }
    return false;
}

// Waits for a child to end; its wait status, or -1 when the time ran out.
int waitForExit(pid_t pid)
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired()) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return status;
        if (r < 0 && errno != EINTR)
            return -1;
        QTest::qWait(10);
    }
    return -1;
}

bool isRunning(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = stat.readAll();
    int close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() && text.at(close + 2) != 'Z';
}

// Whether the lock file can be locked now (then it is released at once).
bool lockIsFree(const QString &path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_zcmd_processes : public QObject {
    Q_OBJECT

private slots:
    void init();
    void startReturnsAtOnceAndTheProgramOutlivesTheScript();
    void taskkillEndsTheNamedProcessAndNothingElse();
    void taskkillNeverEndsTheInterpreterItself();
    void scriptGoesOnAfterItsReaderClosedThePipe();
    void puttyToolThatGoesQuietIsStoppedAtItsLimit();
    void jobLockOutlivesTheInterpreterWhileItsToolsRun();

private:
    QString path(const QString &name) const { return folder_ + QLatin1Char('/') + name; }
    std::unique_ptr<QTemporaryDir> scratch_;
    QString folder_;
    QString id_;
};

void tst_zcmd_processes::init()
{
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
    folder_ = QDir(scratch_->path()).canonicalPath();
    id_ = QString::number(::getpid());
}

void tst_zcmd_processes::startReturnsAtOnceAndTheProgramOutlivesTheScript()
{
    QVERIFY(installStandIn(folder_, QStringLiteral("Lingerer"), true));
    QVERIFY(writeScript(path(QStringLiteral("s.bat")),
                        "@echo off\nstart \"\" Lingerer.exe lingerer.pid\necho started\n"));
    int out = -1;
    pid_t zcmd =
        spawn(zcmdPath(), {QStringLiteral("/c"), QStringLiteral("\"s.bat\"")}, folder_, &out);
    QVERIFY(zcmd > 0);
    QByteArray output;
    // The end of output arrives although the started program still runs:
    // it holds nothing of the script's pipe.
    QVERIFY2(readFrom(out, output), output.constData());
    ::close(out);
    QCOMPARE(output, QByteArray("started\r\n"));
    int status = waitForExit(zcmd);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("lingerer.pid"))), kTimeoutMs);
    pid_t lingerer = readFile(path(QStringLiteral("lingerer.pid"))).toInt();
    QVERIFY(lingerer > 0);
    QVERIFY(isRunning(lingerer));
    QVERIFY(::getsid(lingerer)
            != ::getsid(0)); // a session of its own, away from the script's terminal
    QCOMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/fd/1").arg(lingerer)),
             QStringLiteral("/dev/null"));

    ::kill(lingerer, SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!isRunning(lingerer), kTimeoutMs);
}

void tst_zcmd_processes::taskkillEndsTheNamedProcessAndNothingElse()
{
    const QString victimName = QStringLiteral("Victim_") + id_;
    const QString bystanderName = victimName + QStringLiteral("x");
    QVERIFY(installStandIn(folder_, victimName, true));
    QVERIFY(installStandIn(folder_, bystanderName, true));
    pid_t victim = spawn(path(victimName), {QStringLiteral("victim.pid")}, folder_, nullptr);
    pid_t bystander =
        spawn(path(bystanderName), {QStringLiteral("bystander.pid")}, folder_, nullptr);
    QVERIFY(victim > 0 && bystander > 0);
    // Run as root, another user's process of the same name is spared, as
    // taskkill spares other users' processes for a user who is no administrator.
    QTemporaryDir othersFolder;
    pid_t othersVictim = -1;
    // One of a set-uid-root program that user runs: its /proc folder belongs
    // to root, but the process is that user's.
    pid_t othersSealedVictim = -1;
    if (::geteuid() == 0) {
        QVERIFY(othersFolder.isValid());
        QVERIFY(::chmod(othersFolder.path().toLocal8Bit().constData(), 0777) == 0);
        QVERIFY(installStandIn(othersFolder.path(), victimName, true));
        othersVictim =
            spawn(othersFolder.path() + QLatin1Char('/') + victimName,
                  {QStringLiteral("victim.pid")}, othersFolder.path(), nullptr, kOtherUser);
        othersSealedVictim =
            spawn(othersFolder.path() + QLatin1Char('/') + victimName,
                  {QStringLiteral("sealed.pid")}, othersFolder.path(), nullptr, kOtherUser, true);
        QVERIFY(othersVictim > 0 && othersSealedVictim > 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(othersFolder.filePath(QStringLiteral("victim.pid")))
                && QFile::exists(othersFolder.filePath(QStringLiteral("sealed.pid"))),
            kTimeoutMs);
        struct stat sealed {};
        const QByteArray sealedEntry = "/proc/" + QByteArray::number(othersSealedVictim);
        QVERIFY(::stat(sealedEntry.constData(), &sealed) == 0);
        QCOMPARE(sealed.st_uid, 0u);
    }
    // Both have started under their own names once they wrote their ids.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("victim.pid")))
                                 && QFile::exists(path(QStringLiteral("bystander.pid"))),
                             kTimeoutMs);

    const QByteArray image = "victim_" + id_.toUtf8() + ".EXE";
    QVERIFY(writeScript(path(QStringLiteral("k.bat")),
                        "@echo off\ntaskkill.exe /F /IM " + image + "\necho %ERRORLEVEL%\n"));
    RunResult run = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("\"k.bat\"")});
    QVERIFY(run.finished);
    QCOMPARE(run.output, "SUCCESS: The process \"" + victimName.toUtf8() + "\" with PID "
                             + QByteArray::number(victim) + " has been terminated.\r\n0\r\n");
    QCOMPARE(run.exitCode, 0);

    int status = waitForExit(victim);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGKILL);
    int bystanderStatus = 0;
    QCOMPARE(::waitpid(bystander, &bystanderStatus, WNOHANG), 0);

    // Nothing of that name is left.
    RunResult again = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("\"k.bat\"")});
    QCOMPARE(again.output, "ERROR: The process \"" + image + "\" not found.\r\n128\r\n");
    QCOMPARE(again.exitCode, 128);

    ::kill(bystander, SIGKILL);
    QVERIFY(waitForExit(bystander) != -1);
    for (pid_t others : {othersVictim, othersSealedVictim}) {
        if (others <= 0)
            continue;
        QCOMPARE(::waitpid(others, &bystanderStatus, WNOHANG), 0);
        ::kill(others, SIGKILL);
        QVERIFY(waitForExit(others) != -1);
    }
}

void tst_zcmd_processes::taskkillNeverEndsTheInterpreterItself()
{
    const QString interpreterName = QStringLiteral("Interp_") + id_;
    QVERIFY(QFile::copy(zcmdPath(), path(interpreterName)));
    QVERIFY(QFile::setPermissions(path(interpreterName), QFile::permissions(zcmdPath())));
    QVERIFY(writeScript(path(QStringLiteral("self.bat")), "@echo off\ntaskkill /F /IM interp_"
                                                              + id_.toUtf8()
                                                              + ".exe\necho still here\n"));
    int out = -1;
    pid_t pid = spawn(path(interpreterName), {QStringLiteral("/c"), QStringLiteral("self.bat")},
                      folder_, &out);
    QVERIFY(pid > 0);
    QByteArray output;
    QVERIFY(readFrom(out, output));
    ::close(out);
    QCOMPARE(output,
             "ERROR: The process \"interp_" + id_.toUtf8() + ".exe\" not found.\r\nstill here\r\n");
    int status = waitForExit(pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 128);
}

void tst_zcmd_processes::scriptGoesOnAfterItsReaderClosedThePipe()
{
    QVERIFY(installStandIn(folder_, QStringLiteral("blocker")));
    QVERIFY(installStandIn(folder_, QStringLiteral("chatty")));
    QVERIFY(installStandIn(folder_, QStringLiteral("Restarted")));
    const QByteArray fifo = path(QStringLiteral("go.fifo")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QVERIFY(writeScript(path(QStringLiteral("r.bat")),
                        "@echo off\necho first\nblocker go.fifo\necho after-1\necho after-2\n"
                        "chatty chatty.done\nstart Restarted.exe\necho done> done.txt\n"));
    int out = -1;
    pid_t pid =
        spawn(zcmdPath(), {QStringLiteral("/c"), QStringLiteral("\"r.bat\"")}, folder_, &out);
    QVERIFY(pid > 0);
    QByteArray output;
    QVERIFY(readFrom(out, output, "first\r\n"));
    ::close(out); // the reader goes away, as the program does when a job ends it

    // Let the script on: open the FIFO once "blocker" waits on it, then close it.
    int writer = -1;
    auto openWriter = [&] {
        if (writer < 0)
            writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK); // fails until a reader waits
        return writer >= 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(openWriter(), kTimeoutMs);
    ::close(writer);

    int status = waitForExit(pid);
    QVERIFY2(WIFEXITED(status), "the interpreter was ended by a signal");
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(readFile(path(QStringLiteral("done.txt"))), QByteArray("done\r\n"));
    QCOMPARE(readFile(path(QStringLiteral("chatty.done"))), QByteArray("done\n"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("Restarted.started"))), kTimeoutMs);
}

// The watchdog over pscp and plink, with stand-ins whose output stops: the
// stand-ins have no socket, so only the process's own reads and writes count.
void tst_zcmd_processes::puttyToolThatGoesQuietIsStoppedAtItsLimit()
{
    const QByteArray saved = qgetenv("ZORVANE_STALL_LIMITS");
    const bool wasSet = qEnvironmentVariableIsSet("ZORVANE_STALL_LIMITS");
    const auto restore = qScopeGuard([&] {
        if (wasSet)
            qputenv("ZORVANE_STALL_LIMITS", saved);
        else
            qunsetenv("ZORVANE_STALL_LIMITS");
    });
    qputenv("ZORVANE_STALL_LIMITS", "1,3,2");
    QVERIFY(installStandIn(folder_, QStringLiteral("pscp")));
    QVERIFY(installStandIn(folder_, QStringLiteral("plink")));
    // A copy silent for good is stopped; the next is given the shorter limit;
    // a copy that pauses shorter than the limit, and a command that prints
    // nothing for longer (its quiet cannot be told from a cut link without
    // its socket), run to their end.
    QVERIFY(writeScript(path(QStringLiteral("w.bat")),
                        "@echo off\npscp --quiet=forever\necho first %errorlevel%\n"
                        "pscp --quiet=forever\necho second %errorlevel%\n"
                        "pscp --quiet=1500,2500\necho third %errorlevel%\n"
                        "plink --quiet=4500\necho fourth %errorlevel%\n"));
    const RunResult r = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("w.bat")});
    QVERIFY(r.finished);
    const QString out = QString::fromUtf8(r.output);
    const QStringList parts = out.split(QRegularExpression(QStringLiteral("(first|second|third) ")));
    QCOMPARE(parts.size(), 4);
    QVERIFY2(parts[0].contains(QStringLiteral("No data from the device for 1 s: is it asleep or "
                                              "out of Wi-Fi? (the step stops at 3 s)")),
             qPrintable(out));
    QVERIFY2(parts[0].contains(
                 QStringLiteral("Zorvane stopped this step: no data from the device for 3 s.")),
             qPrintable(out));
    QVERIFY2(parts[1].startsWith(QStringLiteral("1\r\n")), qPrintable(out));
    QVERIFY2(parts[1].contains(
                 QStringLiteral("Zorvane stopped this step: no data from the device for 2 s.")),
             qPrintable(out));
    QVERIFY2(parts[2].startsWith(QStringLiteral("1\r\n")), qPrintable(out));
    QCOMPARE(parts[2].count(QStringLiteral("moved\n")), 2);
    QVERIFY2(parts[2].contains(QStringLiteral("No data from the device for ")), qPrintable(out));
    QVERIFY2(parts[2].contains(QStringLiteral("Data from the device again; the job goes on.")),
             qPrintable(out));
    QVERIFY2(!parts[2].contains(QStringLiteral("stopped")), qPrintable(out));
    QVERIFY2(parts[3].startsWith(QStringLiteral("0\r\n")), qPrintable(out));
    QVERIFY2(out.endsWith(QStringLiteral("moved\nfourth 0\r\n")), qPrintable(out));
}

void tst_zcmd_processes::jobLockOutlivesTheInterpreterWhileItsToolsRun()
{
    // Without the lock file a batch file runs as anywhere else, and makes none.
    QVERIFY(writeScript(path(QStringLiteral("other.bat")), "@echo off\necho ran>ran.txt\n"));
    RunResult plain = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("other.bat")});
    QVERIFY(plain.finished && QFile::exists(path(QStringLiteral("ran.txt"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("Zorvane.lock"))));
    QVERIFY(QFile::remove(path(QStringLiteral("ran.txt"))));

    const QString lockFile = path(QStringLiteral("Zorvane.lock"));
    QFile made(lockFile);
    QVERIFY(made.open(QIODevice::WriteOnly));
    made.close();
    QVERIFY(made.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    // The job's tool waits; the program it starts at its end is not the job's.
    QVERIFY(installStandIn(folder_, QStringLiteral("Lingerer"), true));
    QVERIFY(installStandIn(folder_, QStringLiteral("bystander"), true));
    QVERIFY(writeScript(path(QStringLiteral("Job.bat")),
                        "@echo off\nstart \"\" bystander.exe bystander.pid\n"
                        "Lingerer.exe lingerer.pid\n"));
    pid_t zcmd =
        spawn(zcmdPath(), {QStringLiteral("/c"), QStringLiteral("\"Job.bat\"")}, folder_, nullptr);
    QVERIFY(zcmd > 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("lingerer.pid")))
                                 && QFile::exists(path(QStringLiteral("bystander.pid"))),
                             kTimeoutMs);
    const pid_t lingerer = readFile(path(QStringLiteral("lingerer.pid"))).toInt();
    const pid_t bystander = readFile(path(QStringLiteral("bystander.pid"))).toInt();
    QVERIFY(lingerer > 0 && bystander > 0);
    const auto endAll = qScopeGuard([&] {
        ::kill(zcmd, SIGKILL);
        ::kill(lingerer, SIGKILL);
        ::kill(bystander, SIGKILL);
    });
    QVERIFY(!lockIsFree(lockFile));

    // The interpreter killed: its tool still holds the lock, and a second job
    // in the folder does not run a line.
    ::kill(zcmd, SIGKILL);
    QVERIFY(WIFSIGNALED(waitForExit(zcmd)));
    QVERIFY(isRunning(lingerer));
    QVERIFY(!lockIsFree(lockFile));
    RunResult second = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("other.bat")});
    QVERIFY(second.finished);
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.output.contains("Another Zorvane job is running in this folder"),
             second.output.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("ran.txt"))));

    // The last tool gone, the lock is free although the started program runs on.
    ::kill(lingerer, SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!isRunning(lingerer), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(lockIsFree(lockFile), kTimeoutMs);
    QVERIFY(isRunning(bystander));

    // A lock file others may write is not used: the script is refused.
    QVERIFY(made.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::WriteOther));
    RunResult open = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("other.bat")});
    QCOMPARE(open.exitCode, 1);
    QVERIFY(!QFile::exists(path(QStringLiteral("ran.txt"))));
}

QTEST_GUILESS_MAIN(tst_zcmd_processes)
#include "tst_zcmd_processes.moc"
