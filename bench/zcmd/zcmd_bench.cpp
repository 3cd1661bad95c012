// zcmd_bench: batch lines per second through zcmd, which opens the batch file
// and seeks to its saved offset for every line it runs.
//
//   zcmd_bench [lines]   (default 20000)
//
// Three scripts: straight-line built-in commands (SET, ECHO to NUL, IF), a
// loop that jumps back with GOTO across the whole file each round, and
// CALL :label to a label at the far end of the file.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// Runs the script; returns the seconds it took, or a negative number on failure.
double runScript(const QString &folder, const QByteArray &script)
{
    QFile file(folder + QStringLiteral("/b.bat"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(script) != script.size())
        return -1;
    file.close();
    QProcess zcmd;
    zcmd.setWorkingDirectory(folder);
    zcmd.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    zcmd.start(QStringLiteral(ZCMD_PROGRAM), {QStringLiteral("/c"), QStringLiteral("b.bat")});
    if (!zcmd.waitForFinished(600000) || zcmd.exitCode() != 0) {
        std::fprintf(stderr, "zcmd failed: %s\n", zcmd.readAll().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

void report(const char *what, long lines, double seconds)
{
    if (seconds < 0)
        std::printf("%-44s failed\n", what);
    else
        std::printf("%-44s %8ld lines  %7.3f s  %10.0f lines/s\n", what, lines, seconds,
                    lines / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 20000;
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;

    QByteArray straight("@echo off\r\n");
    for (long i = 0; i < lines / 3; ++i)
        straight += "set V=value " + QByteArray::number(i)
                    + "\r\necho %V% >NUL\r\nif \"%V%\"==\"x\" echo never\r\n";
    report("straight-line built-ins", lines / 3 * 3, runScript(scratch.path(), straight));

    // 100 rounds over a file of lines/100 lines, jumping back to the top each round.
    const long perRound = std::max(1L, lines / 100);
    QByteArray loop("@echo off\r\nset ZB_N=x\r\n:top\r\nset ZB_N=%ZB_N%x\r\n");
    for (long i = 0; i < perRound; ++i)
        loop += "rem filler line\r\n";
    loop += "if not \"%ZB_N:~100,1%\"==\"x\" goto top\r\n";
    report("GOTO back across the file, 100 rounds", (perRound + 3) * 100,
           runScript(scratch.path(), loop));

    // CALL to a label at the far end, 200 times.
    QByteArray far("@echo off\r\n");
    for (int i = 0; i < 200; ++i)
        far += "call :far\r\n";
    far += "goto :eof\r\n";
    for (long i = 0; i < lines; ++i)
        far += "rem filler line\r\n";
    far += ":far\r\nexit /b 0\r\n";
    report("CALL :label at the end of the file, 200 calls", 200 * 3,
           runScript(scratch.path(), far));
    return 0;
}
