#pragma once
#include "DeviceNetwork.h"
#include "SimulatedDevice.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class ProgramFolder;

namespace bench {

// What every benchmark that runs the program's jobs sets before its
// application exists: the program's folder to copy (ZORVANE_BIN_DIR, unless
// given). Those that drive the main window also get the offscreen platform,
// a private runtime folder (as a desktop session has one), no ComSpec (so
// that the folder's zcmd runs the scripts) and the embedded browser's
// start-up settings; the runtime folder lives as long as the returned object.
void useProgramFolder(const char *binDir);
struct WindowProcess {
    explicit WindowProcess(const char *binDir);
    QTemporaryDir runtime;
};

// A simulated device for a benchmark, whose network this process enters, so
// that everything the program starts reaches it at 127.0.0.1. Messages begin
// with the benchmark's name.
class BenchDevice {
public:
    explicit BenchDevice(const char *bench)
        : m_bench(bench)
    {}
    ~BenchDevice() { stop(); }
    BenchDevice(const BenchDevice &) = delete;
    BenchDevice &operator=(const BenchDevice &) = delete;

    enum class ProcessIds { Shared, Own };
    // 0 when the device runs and this process is in its network; otherwise
    // the exit code, after saying why: 77 when devices cannot run here, 1
    // when it failed. Own: the bench must run in a process-id namespace of
    // its own (PrivateProcessIds), so that a script's taskkill ends no
    // Zorvane outside it.
    int start(const SimulatedDevice::Options &options, ProcessIds ids);
    void stop();

    SimulatedDevice &device() { return m_device; }
    // The entries and bytes a backup copies.
    void totals(qint64 *entries, qint64 *bytes) const { m_device.backupTotals(entries, bytes); }
    // Whether the folder is a program folder whose HOME knows the device's host key.
    bool prepare(const ProgramFolder &folder, QString *error) const;

    // Prints "<bench>: why" and returns 1, the exit code of a failed run.
    int fail(const QString &why) const;

private:
    const char *m_bench;
    SimulatedDevice m_device;
    DeviceNetwork m_network;
    bool m_running = false;
};

// The environment a job's programs get in the folder: its private PuTTY
// home, no ComSpec.
QProcessEnvironment environmentFor(const ProgramFolder &folder);

} // namespace bench
