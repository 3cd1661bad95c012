#include "DeviceNetwork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

DeviceNetwork::DeviceNetwork() { m_home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC); }

DeviceNetwork::~DeviceNetwork()
{
    leave();
    if (m_home >= 0)
        ::close(m_home);
}

bool DeviceNetwork::enter(const SimulatedDevice &device, QString *error)
{
    // device.sh keeps the pid of the process that holds the device's namespaces
    // next to the device's tree.
    const QString tree = device.treePath();
    QFile pidFile(QFileInfo(tree).dir().filePath(QStringLiteral("state/ns.pid")));
    if (tree.isEmpty() || !pidFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no namespace pid for device %1").arg(device.name());
        return false;
    }
    const QByteArray pid = pidFile.readAll().trimmed();
    const int fd = ::open(("/proc/" + pid + "/ns/net").constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::setns(fd, CLONE_NEWNET) != 0) {
        *error = QStringLiteral("cannot enter the network of device %1").arg(device.name());
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    m_inside = true;
    return true;
}

void DeviceNetwork::leave()
{
    if (m_inside && m_home >= 0)
        ::setns(m_home, CLONE_NEWNET);
    m_inside = false;
}
