// console_bench: how the Console holds up under a long, fast run.
//
//   console_bench [MiB]      measure (default 32 MiB of output)
//   console_bench --emit N   the command it runs: N bytes of text lines
//   console_bench --silent   the command it runs: writes nothing, waits to be ended
//
// The command runs through the interpreter named by ComSpec, else zcmd from the
// program's folder, else the tests' stand-in interpreter.

#include "app/Console.h"
#include "app/frmMain.h"
#include "jobs/JobOutcome.h"
#include "platform/desktop/DesktopServices.h"
#include "runner/ReadOutput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kEdge = 4 * kMiB;

// Text lines of mixed lengths (0 to 199 characters), most ending in CR LF as
// the interpreter's own lines do, some in a bare LF as tools' lines do. The same
// seed always gives the same bytes.
class LineSource {
public:
    QByteArray next()
    {
        const int length = int(step() % 200);
        QByteArray line(length, ' ');
        for (int i = 0; i < length; ++i)
            line[i] = char(' ' + 1 + step() % 94);
        line += step() % 4 == 0 ? "\n" : "\r\n";
        return line;
    }

private:
    quint64 step()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return m_state >> 33;
    }
    quint64 m_state = 20260308;
};

// Exactly `total` bytes of lines; returns how many bare LFs they hold.
template <typename Sink>
qint64 produce(qint64 total, Sink sink)
{
    LineSource source;
    qint64 written = 0;
    qint64 bareLf = 0;
    QByteArray buffer;
    while (written < total) {
        QByteArray line = source.next();
        line.truncate(int(std::min<qint64>(line.size(), total - written)));
        if (line.endsWith('\n') && !line.endsWith("\r\n"))
            ++bareLf;
        written += line.size();
        buffer += line;
        if (buffer.size() >= 65536 || written == total) {
            sink(buffer);
            buffer.clear();
        }
    }
    return bareLf;
}

int emitLines(qint64 total)
{
    produce(total, [](const QByteArray &bytes) {
        const char *p = bytes.constData();
        qint64 left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(1, p, size_t(left));
            if (n <= 0)
                std::_Exit(1);
            p += n;
            left -= n;
        }
    });
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString chooseInterpreter()
{
    QString chosen = qEnvironmentVariable("ComSpec");
    if (chosen.isEmpty()) {
        const QString zcmd = QStringLiteral(ZORVANE_BIN_DIR "/zcmd");
        chosen = QFileInfo(zcmd).isExecutable() ? zcmd : QStringLiteral(STAND_IN_COMSPEC);
    }
    qputenv("ComSpec", chosen.toLocal8Bit());
    return chosen;
}

// The main window's own Console, box and runner, offscreen, with the Console in
// view as a job shows it.
struct ConsoleUnderTest {
    std::unique_ptr<app::frmMain> window;
    Console *console = nullptr;
    QTextEdit *output = nullptr;
    ReadOutput *runner = nullptr;
};

ConsoleUnderTest makeConsole()
{
    ConsoleUnderTest made;
    made.window = std::make_unique<app::frmMain>();
    made.window->setHeightTwips(8700);
    made.window->show();
    made.console = &made.window->console();
    made.output = made.window->findChild<QTextEdit *>(QStringLiteral("Output"));
    made.runner = made.window->findChild<ReadOutput *>(QStringLiteral("ReadOutput1"));
    return made;
}

double megabytesPerSecond(qint64 bytes, qint64 ns)
{
    return double(bytes) / 1e6 / (double(ns) / 1e9);
}

struct RunnerFigures {
    double mbPerSecond = 0;
    qint64 bytes = 0;
};

RunnerFigures measureRunner(const QString &command)
{
    ReadOutput runner;
    qint64 bytes = 0;
    QObject::connect(&runner, &ReadOutput::GotChunk,
                     [&](const QString &chunk, bool) { bytes += chunk.size(); });
    QObject::connect(&runner, &ReadOutput::Starting, [] {});
    QObject::connect(&runner, &ReadOutput::Complete, [] {});
    runner.SetCommand(command);
    QElapsedTimer clock;
    clock.start();
    runner.ProcessCommand();
    return {megabytesPerSecond(bytes, clock.nsecsElapsed()), bytes};
}

struct ConsoleFigures {
    double mbPerSecond = 0;
    double flatness = 0;
    double latenessP99Ms = 0;
    qint64 bytes = 0;
    double catchUpSeconds = 0;
    std::vector<double> segmentMbPerSecond;
    QString text;
};

ConsoleFigures measureConsole(const QString &command, qint64 total)
{
    ConsoleUnderTest target = makeConsole();
    ReadOutput &runner = *target.runner;

    QElapsedTimer clock;
    qint64 bytes = 0;
    qint64 firstChunkNs = -1;
    qint64 firstEdgeNs = -1;
    qint64 lastEdgeNs = -1;
    qint64 completeNs = 0;
    std::vector<qint64> segmentEndNs;
    QObject::connect(&runner, &ReadOutput::GotChunk, [&](const QString &chunk, bool) {
        if (chunk.isEmpty())
            return;
        if (firstChunkNs < 0)
            firstChunkNs = clock.nsecsElapsed();
        const qint64 before = bytes;
        bytes += chunk.size();
        if (before / kEdge != bytes / kEdge)
            segmentEndNs.push_back(clock.nsecsElapsed());
        if (before < kEdge && bytes >= kEdge)
            firstEdgeNs = clock.nsecsElapsed();
        if (before < total - kEdge && bytes >= total - kEdge)
            lastEdgeNs = clock.nsecsElapsed();
    });
    QObject::connect(&runner, &ReadOutput::Complete, [&] { completeNs = clock.nsecsElapsed(); });

    // A 10 ms timer, as the main window's own timers would run during a job.
    std::vector<double> lateness;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    qint64 lastTickNs = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateness.push_back(std::max(0.0, double(now - lastTickNs) / 1e6 - 10.0));
        lastTickNs = now;
    });
    QObject::connect(&runner, &ReadOutput::Starting, [&] {
        lastTickNs = clock.nsecsElapsed();
        tick.start();
    });

    runner.SetCommand(command);
    clock.start();
    runner.ProcessCommand();
    tick.stop();

    // How long the box goes on showing the flood after the run has ended.
    QElapsedTimer catchUp;
    catchUp.start();
    while (!target.console->isShown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    ConsoleFigures figures;
    figures.bytes = bytes;
    figures.mbPerSecond = megabytesPerSecond(bytes, completeNs);
    if (firstEdgeNs > firstChunkNs && lastEdgeNs >= 0)
        figures.flatness = double(completeNs - lastEdgeNs) / double(firstEdgeNs - firstChunkNs);
    std::sort(lateness.begin(), lateness.end());
    if (!lateness.empty())
        figures.latenessP99Ms = lateness[std::min(lateness.size() - 1, lateness.size() * 99 / 100)];
    figures.catchUpSeconds = double(catchUp.nsecsElapsed()) / 1e9;
    qint64 segmentStartNs = firstChunkNs;
    for (qint64 endNs : segmentEndNs) {
        figures.segmentMbPerSecond.push_back(megabytesPerSecond(kEdge, endNs - segmentStartNs));
        segmentStartNs = endNs;
    }
    figures.text = target.console->text();
    // The box must show what the transcript holds.
    const qint64 shownBreaks = figures.text.count(QStringLiteral("\r\n"));
    if (target.output->toPlainText().size() != figures.text.size() - shownBreaks)
        figures.text.clear();
    return figures;
}

double measureIdleCpu(const QString &command)
{
    ConsoleUnderTest target = makeConsole();
    ReadOutput &runner = *target.runner;
    QElapsedTimer clock;
    double cpuAtStart = 0;
    double percent = -1;
    QObject::connect(&runner, &ReadOutput::Starting, [&] {
        clock.start();
        cpuAtStart = cpuSeconds();
        QTimer::singleShot(5000, &runner, [&] {
            percent = (cpuSeconds() - cpuAtStart) / (double(clock.nsecsElapsed()) / 1e9) * 100.0;
            runner.CancelProcess();
        });
    });
    runner.SetCommand(command);
    runner.ProcessCommand();
    return percent;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--emit") == 0)
        return emitLines(QByteArray(argv[2]).toLongLong());
    if (argc == 2 && qstrcmp(argv[1], "--silent") == 0) {
        for (;;)
            ::pause();
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::installDesktopServices();
    const qint64 total = (argc == 2 ? QByteArray(argv[1]).toLongLong() : 32) * kMiB;
    const QString self = QCoreApplication::applicationFilePath();
    const QString interpreter = chooseInterpreter();
    std::printf("console_bench: interpreter %s, %lld bytes\n", qPrintable(interpreter), total);

    const QString emitCommand = QStringLiteral("%1 --emit %2").arg(self).arg(total);
    const RunnerFigures runner = measureRunner(emitCommand);
    const ConsoleFigures console = measureConsole(emitCommand, total);
    const qint64 onDisk = QFileInfo(jobs::kTranscriptFile).size(); // before the next run's
    const double idle = measureIdleCpu(self + QStringLiteral(" --silent"));

    // The transcript must be exactly what the run wrote, cleaned: in the
    // Console its newest part past Console::kLargestText, on disk all of it up
    // to TranscriptFile::kLargest.
    const qint64 bareLf = produce(total, [](const QByteArray &) {});
    const qint64 whole = emitCommand.size() + 2 + total + bareLf + 2 + 5;
    const qint64 shown =
        QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge").size() + whole;
    const bool transcriptOk =
        console.text.endsWith(QStringLiteral("\r\nC:\\> "))
        && (shown <= Console::kLargestText
                ? console.text.size() == shown
                : console.text.size() <= Console::kLargestText
                      && console.text.startsWith(QStringLiteral("[... earlier output is left out")))
        && (whole <= app::TranscriptFile::kLargest ? onDisk == whole
                                                   : onDisk <= app::TranscriptFile::kLargest);
    std::printf("console_bench: runner read %lld bytes, console read %lld bytes, transcript %s, "
                "box caught up %.1f s after the run\n",
                runner.bytes, console.bytes, transcriptOk ? "ok" : "WRONG", console.catchUpSeconds);
    std::printf("console_bench: console MB/s per 4 MiB:");
    for (double rate : console.segmentMbPerSecond)
        std::printf(" %.1f", rate);
    std::printf("\n");
    std::printf("console_bench: runner=%.1f console=%.1f ratio=%.2f flatness=%.2f "
                "lateness_p99_ms=%.1f idle_cpu_pct=%.2f\n",
                runner.mbPerSecond, console.mbPerSecond, console.mbPerSecond / runner.mbPerSecond,
                console.flatness, console.latenessP99Ms, idle);
    return transcriptOk && runner.bytes == total && console.bytes == total ? 0 : 1;
}
