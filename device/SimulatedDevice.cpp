#include "SimulatedDevice.h"
#include "TreeSnapshot.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcess>
#include <unistd.h>

namespace {

QString uniqueName()
{
    static QAtomicInt counter;
    return QStringLiteral("t%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1));
}

SimulatedDevice::Result runProcess(const QString &program, const QStringList &args,
                                   const QString &workDir, const QProcessEnvironment &env,
                                   int timeoutMs, const QByteArray &input)
{
    SimulatedDevice::Result result;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(program, args);
    if (!process.waitForStarted(timeoutMs)) {
        result.output = process.errorString().toUtf8();
        return result;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.output = process.readAll() + "\n[timed out]";
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = process.readAll();
    return result;
}

} // namespace

SimulatedDevice::SimulatedDevice()
    : m_name(uniqueName())
{}

SimulatedDevice::SimulatedDevice(const QString &name)
    : m_name(name)
{}

SimulatedDevice::~SimulatedDevice()
{
    if (m_started)
        stop();
}

bool SimulatedDevice::canRun(QString *why)
{
    if (geteuid() != 0) {
        if (why)
            *why = QStringLiteral(
                "the simulated device needs root (private namespaces, chroot, device owners)");
        return false;
    }
    return true;
}

QString SimulatedDevice::script() { return QStringLiteral(ZORVANE_DEVICE_SCRIPT); }

SimulatedDevice::Result SimulatedDevice::device(const QStringList &args, int timeoutMs) const
{
    return runProcess(script(), QStringList{QStringLiteral("--name"), m_name} + args, QString(),
                      QProcessEnvironment::systemEnvironment(), timeoutMs, {});
}

bool SimulatedDevice::start() { return start(Options()); }

bool SimulatedDevice::start(const Options &options)
{
    // Devices of test processes that were killed before they could stop them.
    runProcess(script(), {QStringLiteral("prune")}, QString(),
               QProcessEnvironment::systemEnvironment(), 60000, {});
    QStringList args{QStringLiteral("start")};
    if (options.big)
        args << QStringLiteral("--big");
    if (options.realSize)
        args << QStringLiteral("--real-size");
    if (!options.linkRate.isEmpty())
        args << QStringLiteral("--link") << options.linkRate;
    if (options.appsRelocated)
        args << QStringLiteral("--apps-relocated");
    if (!options.hostName.isEmpty())
        args << QStringLiteral("--host-name") << options.hostName;
    const Result r = device(args, 180000);
    m_started = r.finished && r.exitCode == 0;
    m_error = m_started ? QString() : QString::fromUtf8(r.output);
    return m_started;
}

bool SimulatedDevice::stop()
{
    const Result r = device({QStringLiteral("stop")}, 60000);
    const bool ok = r.finished && r.exitCode == 0;
    if (ok)
        m_started = false;
    else
        m_error = QString::fromUtf8(r.output);
    return ok;
}

bool SimulatedDevice::isRunning() const
{
    const Result r = device({QStringLiteral("status")}, 30000);
    return r.finished && r.exitCode == 0;
}

QString SimulatedDevice::treePath() const
{
    return QString::fromUtf8(device({QStringLiteral("tree")}, 30000).output).trimmed();
}

QString SimulatedDevice::hostPath(const QString &devicePath) const
{
    const Result r = device({QStringLiteral("path"), devicePath}, 30000);
    return r.exitCode == 0 ? QString::fromUtf8(r.output).trimmed() : QString();
}

int SimulatedDevice::rebootCount() const
{
    const Result r = device({QStringLiteral("reboots")}, 30000);
    bool ok = false;
    const int n = r.output.trimmed().toInt(&ok);
    return ok ? n : -1;
}

bool SimulatedDevice::limitSpace(const QString &devicePath, int kilobytes) const
{
    const Result r =
        device({QStringLiteral("limit"), devicePath, QString::number(kilobytes)}, 60000);
    return r.finished && r.exitCode == 0;
}

bool SimulatedDevice::seedHostKey(const QString &home) const
{
    const Result r = device({QStringLiteral("seed-hostkey"), home}, 30000);
    return r.finished && r.exitCode == 0;
}

SimulatedDevice::Result SimulatedDevice::run(const QStringList &command, const QString &workDir,
                                             const QProcessEnvironment &env, int timeoutMs,
                                             const QByteArray &input) const
{
    const QStringList w = wrap(command);
    return runProcess(w.first(), w.mid(1), workDir, env, timeoutMs, input);
}

SimulatedDevice::Result SimulatedDevice::shell(const QString &command, int timeoutMs) const
{
    return device({QStringLiteral("shell"), command}, timeoutMs);
}

QStringList SimulatedDevice::wrap(const QStringList &command) const
{
    return QStringList{script(), QStringLiteral("--name"), m_name, QStringLiteral("exec")}
           + command;
}

void SimulatedDevice::backupTotals(qint64 *entries, qint64 *bytes) const
{
    *entries = 0;
    *bytes = 0;
    for (const QString &path : {QStringLiteral("/Applications"), QStringLiteral("/var/mobile"),
                                QStringLiteral("/var/root")}) {
        const TreeSnapshot tree = TreeSnapshot::read(hostPath(path));
        *entries += tree.size();
        *bytes += tree.totalBytes();
    }
}

QStringList SimulatedDevice::shellCommand(const QString &command) const
{
    return {script(), QStringLiteral("--name"), m_name, QStringLiteral("shell"), command};
}
