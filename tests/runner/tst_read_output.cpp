#include "ProcScan.h"
#include "RunRecorder.h"
#include "support/FolderFixture.h"

#include "platform/ProcessTerminator.h"
#include "runner/ReadOutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_read_output : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void simpleRunRaisesEventsInOrder();
    void refusalsRaiseTheirErrors();
    void secondCommandDuringARunIsRefused();
    void cancelFromStartingHasNoEffect();
    void chunksAreAtMost256Bytes();
    void multiByteCharactersSurviveSplitReads();
    void standardErrorArrivesInWriteOrder();
    void commandIsOneQuotedArgument();
    void zcmdFromTheProgramFolderWhenComSpecIsUnset();
    void commandRunsDetachedInTheCurrentFolder();
    void unknownCommandCompletesWithoutError();
    void processCreationFailureIsReportedAndIdle();
    void pipeCreationFailureIsReportedAndIdle();
    void cancelEndsASilentCommandAndItsChild();
    void cancelEndsAChildThatIgnoresThePoliteSignal();
    void cancelDuringCompleteFollowsComplete();
    void commandThatCannotBeEndedIsAnError();
    void controlDeletedDuringARunReturnsCleanly();
    void thousandRunsLeaveNothingBehind();

private:
    void useFakeInterpreter() { qputenv("ComSpec", FAKE_COMSPEC); }
    std::unique_ptr<FolderFixture> m_folder;
    fake::Services m_fakes{};
};

void tst_read_output::initTestCase()
{
    m_folder = std::make_unique<FolderFixture>();
    QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
    m_fakes = m_folder->fakes();
}

void tst_read_output::init() { useFakeInterpreter(); }

void tst_read_output::cleanupTestCase() { m_folder.reset(); }

void tst_read_output::simpleRunRaisesEventsInOrder()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    bool busyInStarting = false;
    rec.onStarting = [&] { busyInStarting = runner.isBusy(); };
    runner.SetCommand(QStringLiteral("printf hello"));
    QCOMPARE(runner.SetCommand(), QStringLiteral("printf hello"));
    runner.ProcessCommand();

    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "LastChunk", "Complete"}));
    QCOMPARE(rec.output(), QStringLiteral("hello"));
    const auto last = rec.events.at(rec.events.size() - 2);
    QVERIFY(last.text.isEmpty());
    QVERIFY(busyInStarting);
    QVERIFY(!runner.isBusy());
    QCOMPARE(runner.processId(), 0);
}

void tst_read_output::refusalsRaiseTheirErrors()
{
    ReadOutput runner;
    RunRecorder rec(runner);

    runner.ProcessCommand(); // no command text yet
    runner.CancelProcess();  // nothing running

    QCOMPARE(rec.events.size(), 2);
    QCOMPARE(rec.events[0].kind, QStringLiteral("Error"));
    QCOMPARE(rec.events[0].text, QStringLiteral("Invalid Command."));
    QCOMPARE(rec.events[0].code, 1200);
    QCOMPARE(rec.events[1].text, QStringLiteral("Not currently processing a command!"));
    QCOMPARE(rec.events[1].code, 1202);
    QVERIFY(!runner.isBusy());
    QVERIFY(!runner.isCancelRequested());
}

void tst_read_output::secondCommandDuringARunIsRefused()
{
    // The first run is asked again both from a timer that fires while the run
    // pumps events, and from inside its own chunk handler; neither touches it,
    // and changing the command text meanwhile changes nothing in the run.
    ReadOutput runner;
    RunRecorder rec(runner);
    bool timerRan = false;
    rec.onStarting = [&] {
        QTimer::singleShot(0, &runner, [&] {
            timerRan = true;
            runner.SetCommand(QStringLiteral("echo other"));
            runner.ProcessCommand();
        });
    };
    bool askedFromChunk = false;
    rec.onChunk = [&](const QString &, bool last) {
        if (!last && !askedFromChunk) {
            askedFromChunk = true;
            runner.ProcessCommand();
        }
    };
    runner.SetCommand(QStringLiteral("echo first; cat; echo second"));
    runner.ProcessCommand();

    QVERIFY(timerRan);
    const auto errors = rec.ofKind(QStringLiteral("Error"));
    QCOMPARE(errors.size(), 2);
    for (const auto &e : errors) {
        QCOMPARE(e.text, QStringLiteral("Currently processing a command!"));
        QCOMPARE(e.code, 1201);
    }
    QCOMPARE(rec.output(), QStringLiteral("first\nsecond\n"));
    QCOMPARE(rec.ofKind(QStringLiteral("Complete")).size(), 1);
    QCOMPARE(rec.ofKind(QStringLiteral("Starting")).size(), 1);
    QCOMPARE(rec.events.last().kind, QStringLiteral("Complete"));
}

void tst_read_output::cancelFromStartingHasNoEffect()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    rec.onStarting = [&] {
        runner.CancelProcess();
        QVERIFY(runner.isCancelRequested());
    };
    runner.SetCommand(QStringLiteral("echo still runs"));
    runner.ProcessCommand();

    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "LastChunk", "Complete"}));
    QCOMPARE(rec.output(), QStringLiteral("still runs\n"));
    QVERIFY(!runner.isCancelRequested());
}

void tst_read_output::chunksAreAtMost256Bytes()
{
    QTemporaryDir dir;
    QByteArray data;
    for (int i = 0; data.size() < 20000; ++i)
        data += QByteArray(i % 97, char('a' + i % 26)) + "\n";
    QFile file(dir.filePath(QStringLiteral("big.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();

    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("cat '%1'").arg(file.fileName()));
    runner.ProcessCommand();

    QCOMPARE(rec.output().toUtf8(), data);
    const auto chunks = rec.ofKind(QStringLiteral("GotChunk"));
    QVERIFY(chunks.size() >= 1 + (data.size() + 255) / 256);
    for (int i = 0; i < chunks.size(); ++i) {
        QVERIFY(chunks[i].text.toUtf8().size() <= 256);
        QCOMPARE(chunks[i].last, i == chunks.size() - 1);
    }
    QVERIFY(chunks.last().text.isEmpty());
    QCOMPARE(rec.events.last().kind, QStringLiteral("Complete"));
}

void tst_read_output::multiByteCharactersSurviveSplitReads()
{
    // Characters of two, three and four bytes at every offset, so that many
    // of them straddle the 256-byte reads.
    QString text;
    const QStringList letters{QStringLiteral("é"), QStringLiteral("€"), QStringLiteral("𝄞"),
                              QStringLiteral("x")};
    for (int i = 0; text.toUtf8().size() < 8000; ++i)
        text += letters[i % letters.size()] + (i % 41 == 0 ? QStringLiteral("\n") : QString());
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("utf8.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();

    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("cat '%1'").arg(file.fileName()));
    runner.ProcessCommand();

    QCOMPARE(rec.output(), text);
    QVERIFY(!rec.output().contains(QChar::ReplacementCharacter));
    for (const auto &chunk : rec.ofKind(QStringLiteral("GotChunk")))
        QVERIFY(chunk.text.toUtf8().size() <= 256);
}

void tst_read_output::standardErrorArrivesInWriteOrder()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("echo one; echo two >&2; echo three >&2; echo four"));
    runner.ProcessCommand();
    QCOMPARE(rec.output(), QStringLiteral("one\ntwo\nthree\nfour\n"));
}

void tst_read_output::commandIsOneQuotedArgument()
{
    qputenv("ComSpec", PRINT_ARGS_COMSPEC);
    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("my script.bat"));
    runner.ProcessCommand();
    QCOMPARE(rec.output(), QStringLiteral(PRINT_ARGS_COMSPEC "\n[/c]\n[\"my script.bat\"]\n"));

    // ComSpec is read through the platform's environment: a stand-in's wins.
    qputenv("ComSpec", FAKE_COMSPEC);
    m_fakes.environment->setVariable("ComSpec", PRINT_ARGS_COMSPEC);
    const auto unset = qScopeGuard([this] { m_fakes.environment->variables.remove("ComSpec"); });
    ReadOutput viaPlatform;
    RunRecorder seen(viaPlatform);
    viaPlatform.SetCommand(QStringLiteral("apps.bat"));
    viaPlatform.ProcessCommand();
    QCOMPARE(seen.output(), QStringLiteral(PRINT_ARGS_COMSPEC "\n[/c]\n[\"apps.bat\"]\n"));
}

void tst_read_output::zcmdFromTheProgramFolderWhenComSpecIsUnset()
{
    QTemporaryDir folder;
    const QString zcmd = folder.filePath(QStringLiteral("zcmd"));
    QVERIFY(QFile::copy(QStringLiteral(PRINT_ARGS_COMSPEC), zcmd));
    QVERIFY(QFile::setPermissions(zcmd, QFile::ReadOwner | QFile::ExeOwner));
    m_fakes.app->dir = folder.path();
    qunsetenv("ComSpec");

    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("apps.bat"));
    runner.ProcessCommand();
    m_fakes.app->dir = QDir::currentPath();

    QCOMPARE(rec.output(), zcmd + QStringLiteral("\n[/c]\n[\"apps.bat\"]\n"));
}

void tst_read_output::commandRunsDetachedInTheCurrentFolder()
{
    // Current folder and environment are the program's; standard input is
    // empty (cat ends at once); the interpreter leads its own session and
    // process group and has no terminal.
    qputenv("ZORVANE_RUNNER_PROBE", "inherited");

    ReadOutput runner;
    RunRecorder rec(runner);
    qint64 pid = 0;
    rec.onStarting = [&] { pid = runner.processId(); };
    runner.SetCommand(QStringLiteral("pwd; cat; echo $ZORVANE_RUNNER_PROBE; "
                                     "ps -o pid=,pgid=,sid=,tty= -p $$"));
    runner.ProcessCommand();

    const QStringList lines = rec.output().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(QDir(lines[0]).canonicalPath(), QDir(m_folder->path()).canonicalPath());
    QCOMPARE(lines[1], QStringLiteral("inherited"));
    const QStringList ids = lines[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(ids, (QStringList{QString::number(pid), QString::number(pid), QString::number(pid),
                               QStringLiteral("?")}));
}

void tst_read_output::unknownCommandCompletesWithoutError()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("no_such_command_zorvane"));
    runner.ProcessCommand();
    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "LastChunk", "Complete"}));
    QVERIFY(rec.output().contains(QStringLiteral("no_such_command_zorvane")));
}

void tst_read_output::processCreationFailureIsReportedAndIdle()
{
    qputenv("ComSpec", "/nonexistent/zorvane/zcmd");
    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("echo hi"));
    runner.ProcessCommand();
    QCOMPARE(rec.events.size(), 1);
    QCOMPARE(rec.events[0].kind, QStringLiteral("Error"));
    QCOMPARE(rec.events[0].text, QStringLiteral("CreateProcess failed."));
    QCOMPARE(rec.events[0].code, ENOENT);
    QVERIFY(!runner.isBusy());

    useFakeInterpreter();
    rec.events.clear();
    runner.ProcessCommand();
    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "LastChunk", "Complete"}));
}

void tst_read_output::pipeCreationFailureIsReportedAndIdle()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    runner.SetCommand(QStringLiteral("echo hi"));
    const int fdsBefore = procscan::openFdCount();

    // With no descriptor left to open, the pipe cannot be made.
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 3;
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
    runner.ProcessCommand();
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    QCOMPARE(rec.events.size(), 1);
    QCOMPARE(rec.events[0].text, QStringLiteral("CreatePipe failed."));
    QCOMPARE(rec.events[0].code, EMFILE);
    QVERIFY(!runner.isBusy());
    QCOMPARE(procscan::openFdCount(), fdsBefore);

    rec.events.clear();
    runner.ProcessCommand();
    QCOMPARE(rec.output(), QStringLiteral("hi\n"));
}

void tst_read_output::cancelEndsASilentCommandAndItsChild()
{
    // The interpreter's shell waits for a child that writes nothing. A timer
    // that runs while the run waits sees both alive, then cancels.
    ReadOutput runner;
    RunRecorder rec(runner);
    qint64 group = 0;
    int liveBeforeCancel = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        liveBeforeCancel = procscan::liveInGroup(group);
        if (liveBeforeCancel >= 2) {
            watch.stop();
            runner.CancelProcess();
        }
    });
    rec.onStarting = [&] {
        group = runner.processId();
        watch.start();
    };
    runner.SetCommand(QStringLiteral("sleep 300; true"));
    runner.ProcessCommand();

    QCOMPARE(rec.outline(), (QStringList{"Starting", "Canceled"}));
    QCOMPARE(liveBeforeCancel, 2);
    QCOMPARE(procscan::liveInGroup(group), 0);
    QVERIFY(!runner.isBusy());
    QVERIFY(!runner.isCancelRequested());
}

void tst_read_output::cancelEndsAChildThatIgnoresThePoliteSignal()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    qint64 group = 0;
    rec.onChunk = [&](const QString &chunk, bool) {
        if (chunk.contains(QLatin1String("ready")))
            runner.CancelProcess();
    };
    rec.onStarting = [&] { group = runner.processId(); };
    runner.SetCommand(QStringLiteral("trap '' TERM; sleep 300 & echo ready; wait"));
    runner.ProcessCommand();

    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "Canceled"}));
    QCOMPARE(procscan::liveInGroup(group), 0);
}

void tst_read_output::cancelDuringCompleteFollowsComplete()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    rec.onComplete = [&] { runner.CancelProcess(); };
    runner.SetCommand(QStringLiteral("echo done"));
    runner.ProcessCommand();
    QCOMPARE(rec.outline(),
             (QStringList{"Starting", "Chunks", "LastChunk", "Complete", "Canceled"}));
    QVERIFY(!runner.isBusy());
}

namespace {

// A runner whose process ending always fails, as it does for a process this
// program may not signal.
class RunnerThatCannotClose : public ReadOutput {
public:
    bool CloseProcess(qint64 lProcessID, quint32) override
    {
        asked = lProcessID;
        return false;
    }
    qint64 asked = 0;
};

} // namespace

void tst_read_output::commandThatCannotBeEndedIsAnError()
{
    RunnerThatCannotClose runner;
    RunRecorder rec(runner);
    qint64 pid = 0;
    rec.onStarting = [&] { pid = runner.processId(); };
    rec.onChunk = [&](const QString &, bool) { runner.CancelProcess(); };
    runner.SetCommand(QStringLiteral("echo started; sleep 300; true"));
    runner.ProcessCommand();
    const bool endedByTest = platform::ProcessTerminator::end(pid);

    QCOMPARE(rec.outline(), (QStringList{"Starting", "Chunks", "Error"}));
    QCOMPARE(runner.asked, pid);
    QCOMPARE(rec.events.last().text, QStringLiteral("Cannot close process id: %1").arg(pid));
    QCOMPARE(rec.events.last().code, 1203);
    QVERIFY(!runner.isBusy());
    QVERIFY(endedByTest);
    QCOMPARE(procscan::liveInGroup(pid), 0);
}

void tst_read_output::controlDeletedDuringARunReturnsCleanly()
{
    // The command waits on a named pipe, so it writes nothing until the test
    // lets it end.
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("gate")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const int childrenBefore = procscan::childCount();

    auto *runner = new ReadOutput;
    RunRecorder rec(*runner);
    rec.onStarting = [&] { QTimer::singleShot(0, [&] { delete runner; }); };
    runner->SetCommand(QStringLiteral("cat '%1'").arg(QString::fromLocal8Bit(fifo)));
    runner->ProcessCommand();
    QCOMPARE(rec.outline(), QStringList{"Starting"});

    // Let the command end; the program still collects it.
    const int gate = ::open(fifo.constData(), O_WRONLY);
    QVERIFY(gate >= 0);
    ::close(gate);
    QTRY_COMPARE(procscan::childCount(), childrenBefore);
}

void tst_read_output::thousandRunsLeaveNothingBehind()
{
    ReadOutput runner;
    RunRecorder rec(runner);
    rec.onChunk = [&](const QString &chunk, bool) {
        if (chunk.contains(QLatin1String("wait")))
            runner.CancelProcess();
    };
    // One run first, so that whatever the first run sets up once is there.
    runner.SetCommand(QStringLiteral("true"));
    runner.ProcessCommand();
    QTRY_COMPARE(procscan::childCount(), 0);
    const int fdsBefore = procscan::openFdCount();

    int cancelled = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool cancel = i % 50 == 49;
        runner.SetCommand(cancel ? QStringLiteral("echo wait; sleep 300; true")
                                 : QStringLiteral("true"));
        rec.events.clear();
        runner.ProcessCommand();
        QCOMPARE(rec.events.last().kind,
                 cancel ? QStringLiteral("Canceled") : QStringLiteral("Complete"));
        cancelled += cancel ? 1 : 0;
    }
    QCOMPARE(cancelled, 20);
    QTRY_COMPARE(procscan::childCount(), 0);
    QTRY_COMPARE(procscan::openFdCount(), fdsBefore);
}

QTEST_GUILESS_MAIN(tst_read_output)
#include "tst_read_output.moc"
