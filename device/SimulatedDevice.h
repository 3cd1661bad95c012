#pragma once
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Stand-in for the iPod Touch in tests: drives device/device.sh, which
// runs a real OpenSSH server in private namespaces at 127.0.0.1:22 (root,
// password "fennel") over a device tree on the host. Programs that talk to the
// device run next to it, in its network namespace (run(), wrap()).
class SimulatedDevice {
public:
    struct Options {
        bool big = false;           // adds >= 2,000 files / >= 100 MB of media
        bool appsRelocated = false; // /Applications is a link to /var/Applications
        bool realSize = false;      // a real device's media library: ~19,000 files, ~1 GB
        // Shapes the device's network like Wi-Fi with tc's tbf ("20mbit"); empty: unshaped.
        QString linkRate;
        // The device's own name, which its host name tells; empty: "iPod".
        QString hostName;
    };

    struct Result {
        bool finished = false; // false: not started or timed out (then killed)
        int exitCode = -1;
        QByteArray output; // standard output and error, joined
    };

    static constexpr const char *password = "fennel";
    static constexpr const char *address = "127.0.0.1";

    // A device with a name unique to this process (several may run at once).
    SimulatedDevice();
    explicit SimulatedDevice(const QString &name);
    ~SimulatedDevice(); // stops the device if it still runs
    SimulatedDevice(const SimulatedDevice &) = delete;
    SimulatedDevice &operator=(const SimulatedDevice &) = delete;

    // Whether devices can run here (root); why not, otherwise.
    static bool canRun(QString *why);
    static QString script(); // path of device.sh

    bool start();
    bool start(const Options &options);
    bool stop();
    bool isRunning() const;
    QString lastError() const { return m_error; }

    QString name() const { return m_name; }
    QString treePath() const;                          // host folder of the device's "/"
    // The entries and bytes of the trees a backup copies (/Applications,
    // /var/mobile, /var/root), as they lie on the device's disk.
    void backupTotals(qint64 *entries, qint64 *bytes) const;
    QString hostPath(const QString &devicePath) const; // links resolved inside the device
    int rebootCount() const;
    // Gives a device folder a disk of its own of that size, with its content,
    // as the device sees it (not hostPath()) until it stops: a disk that fills.
    bool limitSpace(const QString &devicePath, int kilobytes) const;

    // Stores the device's host key for pscp/plink in home/.putty/sshhostkeys.
    bool seedHostKey(const QString &home) const;

    // Runs command next to the device, in workDir with env, feeding input.
    Result run(const QStringList &command, const QString &workDir,
               const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
               int timeoutMs = 120000, const QByteArray &input = {}) const;
    // Runs a command with the device's /bin/sh as its root, inside its tree.
    Result shell(const QString &command, int timeoutMs = 60000) const;
    // Program and arguments that run command next to the device, for callers
    // that start their own process.
    QStringList wrap(const QStringList &command) const;
    // Program and arguments that run command as shell() does, for a process
    // the caller starts and stops itself (a program at work on the device).
    QStringList shellCommand(const QString &command) const;

private:
    Result device(const QStringList &args, int timeoutMs = 120000) const;

    QString m_name;
    bool m_started = false;
    QString m_error;
};
