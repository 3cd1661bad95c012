#include "JobWorkspace.h"
#include "PrivatePutty.h"

#include <QDir>
#include <QFile>

namespace {

const QStringList companionFiles{
    QStringLiteral("move.sh"),   QStringLiteral("hold.sh"),    QStringLiteral("unhold.sh"), QStringLiteral("changed.sh"),
    QStringLiteral("back.sh"),   QStringLiteral("install.sh"), QStringLiteral("fixmail.sh"),
    QStringLiteral("other.sh"),  QStringLiteral("apps.sh"),    QStringLiteral("fonts.sh"),
    QStringLiteral("cp"),        QStringLiteral("chown"),      QStringLiteral("chown1"),
    QStringLiteral("plink.exe"), QStringLiteral("pwned.jpg"),  QStringLiteral("names.sh")};

QString remote(const QString &path)
{
    return QStringLiteral("root@%1:%2").arg(QLatin1String(SimulatedDevice::address), path);
}

} // namespace

JobWorkspace::JobWorkspace(const SimulatedDevice &device)
    : m_device(device)
{
    const QString bin = qEnvironmentVariable("ZORVANE_BIN_DIR");
    if (!m_dir.isValid() || !m_home.isValid() || bin.isEmpty()) {
        m_error = QStringLiteral("no temporary folders or ZORVANE_BIN_DIR unset");
        return;
    }
    for (const QString &f : companionFiles) {
        if (!QFile::copy(bin + QLatin1Char('/') + f, m_dir.filePath(f))) {
            m_error = QStringLiteral("companion file %1 missing in %2").arg(f, bin);
            return;
        }
    }
    if (!m_device.seedHostKey(m_home.path())) {
        m_error = QStringLiteral("cannot store the device's host key");
        return;
    }
    m_valid = true;
}

QProcessEnvironment JobWorkspace::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    PrivatePutty::apply(&env, m_home.path());
    return env;
}

SimulatedDevice::Result JobWorkspace::run(const QStringList &command, const QByteArray &input) const
{
    return m_device.run(command, m_dir.path(), environment(), 300000, input);
}

SimulatedDevice::Result JobWorkspace::pscpTo(const QString &local,
                                             const QString &deviceFolder) const
{
    return run({QStringLiteral("pscp"), QStringLiteral("-r"), QStringLiteral("-pw"),
                QLatin1String(SimulatedDevice::password), local, remote(deviceFolder)});
}

SimulatedDevice::Result JobWorkspace::pscpFrom(const QString &devicePath) const
{
    return run({QStringLiteral("pscp"), QStringLiteral("-r"), QStringLiteral("-pw"),
                QLatin1String(SimulatedDevice::password), remote(devicePath), QStringLiteral(".")});
}

SimulatedDevice::Result JobWorkspace::plink(const QString &file) const
{
    return run({QStringLiteral("plink"), QStringLiteral("-ssh"),
                QLatin1String(SimulatedDevice::address), QStringLiteral("-l"),
                QStringLiteral("root"), QStringLiteral("-pw"),
                QLatin1String(SimulatedDevice::password), QStringLiteral("-m"), file});
}

SimulatedDevice::Result JobWorkspace::putAndRun(const QString &file,
                                                const QString &deviceFolder) const
{
    SimulatedDevice::Result put = pscpTo(file, deviceFolder);
    if (!put.finished || put.exitCode != 0)
        return put;
    return plink(file);
}
