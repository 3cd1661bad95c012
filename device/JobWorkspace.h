#pragma once
#include "SimulatedDevice.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>

// A private program folder for talking to a simulated device the way the job
// scripts do: the companion files copied from the build's program folder, a
// private HOME (PrivatePutty) whose PuTTY host-key cache knows the device, and the job
// scripts' pscp and plink lines with the address and password filled in.
class JobWorkspace {
public:
    explicit JobWorkspace(const SimulatedDevice &device);

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString folder() const { return m_dir.path(); }
    QString home() const { return m_home.path(); }
    QProcessEnvironment environment() const;

    // "pscp -r -pw %PASS% <local> root@%IP%:<deviceFolder>"
    SimulatedDevice::Result pscpTo(const QString &local, const QString &deviceFolder) const;
    // "pscp -r -pw %PASS% root@%IP%:<devicePath> ."
    SimulatedDevice::Result pscpFrom(const QString &devicePath) const;
    // "plink -ssh %IP% -l root -pw %PASS% -m <file>"
    SimulatedDevice::Result plink(const QString &file) const;
    // Places a device-side command file in / and runs it, as the relocation
    // and restore jobs do with their scripts.
    SimulatedDevice::Result putAndRun(const QString &file,
                                      const QString &deviceFolder = QStringLiteral("/")) const;
    // Any command, next to the device, in the program folder.
    SimulatedDevice::Result run(const QStringList &command, const QByteArray &input = {}) const;

private:
    const SimulatedDevice &m_device;
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    bool m_valid = false;
    QString m_error;
};
