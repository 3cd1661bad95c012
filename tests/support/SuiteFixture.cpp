#include "support/SuiteFixture.h"

#include "PrivatePutty.h"

#include "about/WebEngineSetup.h"
#include "alert/frmAlert.h"
#include "support/PrivateProcessIds.h"

#include <QApplication>
#include <QDir>

SuiteFixture::SuiteFixture(Folder folder)
{
    closeAlerts();
    save("HOME");
    save("PUTTYDIR");
    save("ComSpec");
    if (folder == Folder::ProgramCopy) {
        m_program = std::make_unique<ProgramFolder>();
        m_error = m_program->error();
        if (!isValid())
            return;
        m_folder = std::make_unique<FolderFixture>(m_program->path());
    } else {
        m_folder = std::make_unique<FolderFixture>();
    }
    if (!m_folder->isValid()) {
        m_error = m_folder->error();
        return;
    }
    if (m_program) {
        PrivatePutty::applyToProcess(home());
        qunsetenv("ComSpec");
    }
}

SuiteFixture::~SuiteFixture()
{
    m_network.reset(); // leaves the device's network
    if (m_device)
        m_device->stop();
    m_device.reset();
    closeAlerts();
    m_folder.reset();
    for (const SavedVariable &v : m_saved) {
        if (v.set)
            qputenv(v.name.constData(), v.value);
        else
            qunsetenv(v.name.constData());
    }
}

void SuiteFixture::prepareProcess(ProcessIds ids)
{
    if (ids == ProcessIds::Own)
        PrivateProcessIds::enter();
    about::prepareWebEngine();
}

QString SuiteFixture::whyDeviceCannotRun(ProcessIds ids)
{
    QString why;
    if (!SimulatedDevice::canRun(&why))
        return why;
    if (ids == ProcessIds::Own && !PrivateProcessIds::active())
        return QStringLiteral("needs a process-id namespace of its own (unshare)");
    return QString();
}

void SuiteFixture::closeAlerts()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<alert::frmAlert *>(w))
            delete w;
    alert::frmAlert::resetAlertCount();
}

QString SuiteFixture::path() const { return m_program ? m_program->path() : m_folder->path(); }

QString SuiteFixture::file(const QString &name) const
{
    return m_program ? m_program->file(name) : m_folder->file(name);
}

QString SuiteFixture::home() const { return m_program ? m_program->home() : QString(); }

QStringList SuiteFixture::started() const
{
    return m_program ? m_program->started() : QStringList();
}

QByteArray SuiteFixture::startedEnvironments() const
{
    return m_program ? m_program->startedEnvironments() : QByteArray();
}

void SuiteFixture::useInterpreter(const QByteArray &comspec) { qputenv("ComSpec", comspec); }

bool SuiteFixture::startDevice(const SimulatedDevice::Options &options, HostKey key, QString *error)
{
    if (!m_device)
        m_device = std::make_unique<SimulatedDevice>();
    if (!m_network)
        m_network = std::make_unique<DeviceNetwork>(); // remembers the network to come back to
    if (!m_device->start(options)) {
        *error = m_device->lastError();
        return false;
    }
    if (key == HostKey::Stored && !m_device->seedHostKey(home())) {
        *error = QStringLiteral("cannot store the device's host key in %1").arg(home());
        return false;
    }
    return m_network->enter(*m_device, error);
}

void SuiteFixture::save(const QByteArray &name)
{
    m_saved.append({name, qEnvironmentVariableIsSet(name.constData()), qgetenv(name.constData())});
}
