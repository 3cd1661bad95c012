#pragma once
#include "DeviceNetwork.h"
#include "SimulatedDevice.h"
#include "support/FakePlatform.h"
#include "support/FolderFixture.h"
#include "support/ProgramFolder.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <memory>

// What a window or end-to-end suite sets up around the program, and takes
// down again when it goes: the program's folder as the current folder and as
// the fakes' program and working folder, the platform fakes (FolderFixture), the environment the
// program and PuTTY read (HOME, PUTTYDIR, ComSpec), and for end-to-end runs a simulated device
// whose network this process enters. Going, it leaves and stops the device,
// closes the alerts a test left open, puts the production services, the
// environment and the current folder back and removes the folder. A suite
// deletes its own windows first.
class SuiteFixture {
public:
    enum class Folder {
        Empty,      // an empty temporary folder; HOME, PUTTYDIR and ComSpec stay as they are
        ProgramCopy // a copy of the program's folder with stand-ins (ProgramFolder), its
                    // private HOME and PuTTY folder (PrivatePutty), ComSpec unset so that
                    // the folder's zcmd runs the scripts
    };
    enum class ProcessIds {
        Shared, // this process's process-id namespace as it was started
        Own     // one of its own, where a script's taskkill sees only what the suite started
    };
    enum class HostKey {
        Stored, // PuTTY's cache in HOME knows the device's key
        Unknown // the first contact asks for it, as on a new machine
    };

    explicit SuiteFixture(Folder folder = Folder::Empty);
    ~SuiteFixture();
    SuiteFixture(const SuiteFixture &) = delete;
    SuiteFixture &operator=(const SuiteFixture &) = delete;

    // Before the application exists, as the program's main() does: the
    // embedded browser's start-up settings, after entering a process-id
    // namespace of its own when asked.
    static void prepareProcess(ProcessIds ids = ProcessIds::Shared);
    // Why suites with a simulated device cannot run here; empty when they can.
    static QString whyDeviceCannotRun(ProcessIds ids);
    // Deletes every alert window still open and starts their count afresh.
    static void closeAlerts();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const;
    QString file(const QString &name) const;
    QString home() const;                   // ProgramCopy only
    QStringList started() const;            // ProgramCopy only: see ProgramFolder::started()
    QByteArray startedEnvironments() const; // ProgramCopy only
    fake::Services &fakes() { return m_folder ? m_folder->fakes() : m_noFakes; }

    // The runner's interpreter (ComSpec) while the fixture stands.
    void useInterpreter(const QByteArray &comspec);

    // Starts a simulated device and moves this process into its network, so
    // that everything the program starts reaches it at 127.0.0.1.
    bool startDevice(const SimulatedDevice::Options &options, HostKey key, QString *error);
    SimulatedDevice &device() { return *m_device; }

private:
    struct SavedVariable {
        QByteArray name;
        bool set;
        QByteArray value;
    };
    void save(const QByteArray &name);

    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<FolderFixture> m_folder;
    fake::Services m_noFakes{}; // when the folder could not be made
    QList<SavedVariable> m_saved;
    std::unique_ptr<SimulatedDevice> m_device;
    std::unique_ptr<DeviceNetwork> m_network;
    QString m_error;
};
