#include "BenchDevice.h"
#include "PrivatePutty.h"
#include "about/WebEngineSetup.h"
#include "support/PrivateProcessIds.h"
#include "support/ProgramFolder.h"

#include <cstdio>

namespace bench {

void useProgramFolder(const char *binDir)
{
    if (qEnvironmentVariableIsEmpty("ZORVANE_BIN_DIR"))
        qputenv("ZORVANE_BIN_DIR", binDir);
}

WindowProcess::WindowProcess(const char *binDir)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    useProgramFolder(binDir);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qunsetenv("ComSpec");
    about::prepareWebEngine();
}

int BenchDevice::start(const SimulatedDevice::Options &options, ProcessIds ids)
{
    QString why;
    if (!SimulatedDevice::canRun(&why)) {
        std::fprintf(stderr, "%s: %s\n", m_bench, qPrintable(why));
        return 77;
    }
    if (ids == ProcessIds::Own && !PrivateProcessIds::active())
        return fail(QStringLiteral("cannot make a process-id namespace of its own (unshare)"));
    if (!m_device.start(options))
        return fail(m_device.lastError());
    if (!m_network.enter(m_device, &why)) {
        m_device.stop();
        return fail(why);
    }
    m_running = true;
    return 0;
}

void BenchDevice::stop()
{
    // Stopped from inside its network, as it was started.
    if (m_running)
        m_device.stop();
    m_running = false;
    m_network.leave();
}

bool BenchDevice::prepare(const ProgramFolder &folder, QString *error) const
{
    if (!folder.isValid())
        *error = folder.error();
    else if (!m_device.seedHostKey(folder.home()))
        *error = QStringLiteral("cannot store the device's host key");
    return error->isEmpty();
}

int BenchDevice::fail(const QString &why) const
{
    std::fprintf(stderr, "%s: %s\n", m_bench, qPrintable(why));
    return 1;
}

QProcessEnvironment environmentFor(const ProgramFolder &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    PrivatePutty::apply(&env, folder.home());
    env.remove(QStringLiteral("ComSpec"));
    return env;
}

} // namespace bench
