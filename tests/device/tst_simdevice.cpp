// The simulated device itself: it starts and stops cleanly, looks like a
// device of its period, and answers pscp and plink as the job scripts use them.
#include "JobWorkspace.h"
#include "PrivatePutty.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool processAlive(const QByteArray &pidText)
{
    bool ok = false;
    const int pid = pidText.trimmed().toInt(&ok);
    return ok && pid > 0 && ::kill(pid, 0) == 0;
}

// sshd's pid file holds its number inside the device; find it by its configuration.
QList<int> processesMentioning(const QByteArray &text)
{
    QList<int> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &e : entries) {
        bool ok = false;
        const int pid = e.toInt(&ok);
        if (ok && readAll(QStringLiteral("/proc/%1/cmdline").arg(pid)).contains(text))
            pids << pid;
    }
    return pids;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

#define VERIFY_RUN(result)                                                                         \
    do {                                                                                           \
        const SimulatedDevice::Result r_ = (result);                                               \
        QVERIFY2(r_.finished &&r_.exitCode == 0, r_.output.constData());                           \
    } while (0)

} // namespace

class tst_simdevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startAndStopLeaveNothingBehind();
    void treeLooksLikeADeviceOfItsPeriod();
    void twoDevicesRunSideBySide();
    void copiesTreesOutAndInWithPscp();
    void copiesWithTheScpProtocolToo();
    void runsCommandFilesWithPlink();
    void refusesAWrongPassword();
    void asksForTheHostKeyOnFirstContact();
    void rebootIsAHarmlessStandIn();
    void bigTreeForBenchmarks();

private:
    std::unique_ptr<SimulatedDevice> m_device; // shared by the transfer tests
    std::unique_ptr<JobWorkspace> m_ws;
};

void tst_simdevice::initTestCase()
{
    QString why;
    if (!SimulatedDevice::canRun(&why))
        QSKIP(qPrintable(why));
    m_device = std::make_unique<SimulatedDevice>();
    QVERIFY2(m_device->start(), qPrintable(m_device->lastError()));
    m_ws = std::make_unique<JobWorkspace>(*m_device);
    QVERIFY2(m_ws->isValid(), qPrintable(m_ws->error()));
}

void tst_simdevice::cleanupTestCase()
{
    m_ws.reset();
    if (m_device)
        QVERIFY2(m_device->stop(), qPrintable(m_device->lastError()));
}

void tst_simdevice::startAndStopLeaveNothingBehind()
{
    const QByteArray passwd = readAll(QStringLiteral("/etc/passwd"));
    const QByteArray shadow = readAll(QStringLiteral("/etc/shadow"));
    const bool runSshdExisted = QFileInfo::exists(QStringLiteral("/run/sshd"));

    SimulatedDevice dev;
    QVERIFY(!dev.isRunning());
    QVERIFY2(dev.start(), qPrintable(dev.lastError()));
    QVERIFY(dev.isRunning());
    const QString tree = dev.treePath();
    const QString instance = QFileInfo(tree).path();
    const QByteArray nsPid = readAll(instance + QStringLiteral("/state/ns.pid"));
    const QByteArray config = QFile::encodeName(instance + QStringLiteral("/state/sshd_config"));
    QVERIFY(processAlive(nsPid));
    QVERIFY(!processesMentioning(config).isEmpty());

    // sshd only serves a chroot whose folders up to "/" are root's and closed to others.
    for (QString p = tree;; p = QFileInfo(p).path()) {
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(p).constData(), &st) == 0);
        QVERIFY2(st.st_uid == 0 && (st.st_mode & 022) == 0, qPrintable(p));
        if (p == QLatin1String("/"))
            break;
    }
    // The device's root password and home live in its own namespace only.
    QCOMPARE(readAll(QStringLiteral("/etc/passwd")), passwd);
    QCOMPARE(readAll(QStringLiteral("/etc/shadow")), shadow);

    QVERIFY2(dev.stop(), qPrintable(dev.lastError()));
    QVERIFY(!dev.isRunning());
    QVERIFY(!processAlive(nsPid));
    QVERIFY(processesMentioning(config).isEmpty());
    QVERIFY(!QFileInfo::exists(instance));
    QVERIFY(!readAll(QStringLiteral("/proc/self/mountinfo")).contains(QFile::encodeName(instance)));
    QCOMPARE(QFileInfo::exists(QStringLiteral("/run/sshd")), runSshdExisted);
    // A second stop finds nothing to do and still succeeds.
    QVERIFY(dev.stop());
}

void tst_simdevice::treeLooksLikeADeviceOfItsPeriod()
{
    const QString tree = m_device->treePath();
    const QStringList paths{
        QStringLiteral("Applications/MobileSafari.app/Info.plist"),
        QStringLiteral("Applications/Sketch Pad.app"),
        QStringLiteral("Applications/Wörterbuch Café.app"),
        QStringLiteral("System/Library/Fonts/Cache/Helvetica.ttf"),
        QStringLiteral("var/mobile/Library/Mail/Envelope Index"),
        QStringLiteral("var/mobile/Library/Preferences/com.apple.mobilemail.plist"),
        QStringLiteral("var/mobile/Library/Lockdown"),
        QStringLiteral("var/mobile/Media/Fotos für Oma/Strand à Nice.jpg"),
        QStringLiteral("var/root/Library/Lockdown/data_ark.plist"),
        QStringLiteral("bin/sh"),
        QStringLiteral("sbin/reboot")};
    for (const QString &p : paths)
        QVERIFY2(QFileInfo::exists(tree + QLatin1Char('/') + p), qPrintable(p));
    QVERIFY(QDir(tree + QStringLiteral("/var/mobile/Media/Recordings")).isEmpty());

    const TreeSnapshot mobile = TreeSnapshot::read(tree + QStringLiteral("/var/mobile"));
    QVERIFY(mobile.totalBytes() > 2000000);
    QCOMPARE(mobile.entry(QStringLiteral(".")).uid, 501u);
    const TreeSnapshot apps = TreeSnapshot::read(tree + QStringLiteral("/Applications"));
    QCOMPARE(apps.entry(QStringLiteral("Installer.app/Installer")).mode, 04755u);
    QCOMPARE(apps.entry(QStringLiteral("MobileMail.app")).gid, 80u);
    // Device paths resolve through the device's own links.
    QCOMPARE(m_device->hostPath(QStringLiteral("/var/mobile")),
             tree + QStringLiteral("/private/var/mobile"));
}

void tst_simdevice::twoDevicesRunSideBySide()
{
    SimulatedDevice other;
    QVERIFY2(other.start(), qPrintable(other.lastError()));
    VERIFY_RUN(other.shell(QStringLiteral("echo second > /tmp/which-device")));
    VERIFY_RUN(m_device->shell(QStringLiteral("echo first > /tmp/which-device")));

    JobWorkspace ws(other);
    QVERIFY2(ws.isValid(), qPrintable(ws.error()));
    VERIFY_RUN(ws.pscpFrom(QStringLiteral("/tmp/which-device")));
    QCOMPARE(readAll(ws.folder() + QStringLiteral("/which-device")), QByteArray("second\n"));
    VERIFY_RUN(m_ws->pscpFrom(QStringLiteral("/tmp/which-device")));
    QCOMPARE(readAll(m_ws->folder() + QStringLiteral("/which-device")), QByteArray("first\n"));
    QVERIFY2(other.stop(), qPrintable(other.lastError()));
    QVERIFY(m_device->isRunning());
}

void tst_simdevice::copiesTreesOutAndInWithPscp()
{
    const QString tree = m_device->treePath();
    const QString local = m_ws->folder() + QStringLiteral("/mobile");
    VERIFY_RUN(m_ws->pscpFrom(QStringLiteral("/var/mobile")));
    QStringList diff = TreeSnapshot::read(local).differences(
        TreeSnapshot::read(tree + QStringLiteral("/var/mobile")), TreeSnapshot::Content);
    QVERIFY2(diff.isEmpty(), qPrintable(diff.join(QLatin1Char('\n'))));

    // Changed and new files, also with blanks and non-ASCII letters, go back.
    QVERIFY(writeFile(local + QStringLiteral("/Media/Fotos für Oma/Neue Datei ä.txt"), "neu\n"));
    QVERIFY(writeFile(local + QStringLiteral("/Library/Notes/notes.db"), "changed notes\n"));
    QVERIFY(QDir().mkpath(local + QStringLiteral("/Library/Leer Ordner")));
    VERIFY_RUN(m_ws->pscpTo(QStringLiteral("mobile"), QStringLiteral("/var")));
    diff = TreeSnapshot::read(local).differences(
        TreeSnapshot::read(tree + QStringLiteral("/var/mobile")), TreeSnapshot::Content);
    QVERIFY2(diff.isEmpty(), qPrintable(diff.join(QLatin1Char('\n'))));
}

void tst_simdevice::copiesWithTheScpProtocolToo()
{
    QTemporaryDir target;
    QVERIFY(target.isValid());
    const SimulatedDevice::Result r =
        m_ws->run({QStringLiteral("pscp"), QStringLiteral("-scp"), QStringLiteral("-r"),
                   QStringLiteral("-pw"), QStringLiteral("fennel"),
                   QStringLiteral("root@127.0.0.1:/var/root"), target.path()});
    QVERIFY2(r.finished && r.exitCode == 0, r.output.constData());
    const QStringList diff =
        TreeSnapshot::read(target.path() + QStringLiteral("/root"))
            .differences(TreeSnapshot::read(m_device->treePath() + QStringLiteral("/var/root")),
                         TreeSnapshot::Content);
    QVERIFY2(diff.isEmpty(), qPrintable(diff.join(QLatin1Char('\n'))));
}

void tst_simdevice::runsCommandFilesWithPlink()
{
    const QString file = m_ws->folder() + QStringLiteral("/commands.sh");
    QVERIFY(writeFile(file, "cd /var/mobile/Media\n"
                            "for f in Fotos*; do echo \"$f\"; done\n"
                            "id -u\n"
                            "hostname\n"
                            "echo 'made by plink' > /tmp/plink-mark\n"));
    const SimulatedDevice::Result r = m_ws->plink(QStringLiteral("commands.sh"));
    QVERIFY2(r.finished && r.exitCode == 0, r.output.constData());
    QCOMPARE(r.output, QByteArray("Fotos für Oma\n0\niPod\n"));
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/tmp/plink-mark"))),
             QByteArray("made by plink\n"));
}

void tst_simdevice::refusesAWrongPassword()
{
    const SimulatedDevice::Result r =
        m_ws->run({QStringLiteral("pscp"), QStringLiteral("-batch"), QStringLiteral("-r"),
                   QStringLiteral("-pw"), QStringLiteral("Fennel"),
                   QStringLiteral("root@127.0.0.1:/var/root"), QStringLiteral("wrong-password")});
    QVERIFY(r.finished);
    QVERIFY(r.exitCode != 0);
    QVERIFY(!QFileInfo::exists(m_ws->folder() + QStringLiteral("/wrong-password")));
}

void tst_simdevice::asksForTheHostKeyOnFirstContact()
{
    QTemporaryDir home, seeded;
    QVERIFY(home.isValid() && seeded.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    PrivatePutty::apply(&env, home.path());
    const QString folder = m_ws->folder();

    // Without an answer the copy does not happen.
    SimulatedDevice::Result r =
        m_device->run({QStringLiteral("pscp"), QStringLiteral("-batch"), QStringLiteral("-r"),
                       QStringLiteral("-pw"), QStringLiteral("fennel"), QStringLiteral("pwned.jpg"),
                       QStringLiteral("root@127.0.0.1:/tmp")},
                      folder, env, 60000);
    QVERIFY(r.finished && r.exitCode != 0);
    QVERIFY(!QFileInfo::exists(m_device->hostPath(QStringLiteral("/tmp/pwned.jpg"))));

    // A person answers "y" on the terminal, as in the SSH first-run job's window.
    r = m_device->run({QStringLiteral("script"), QStringLiteral("-qec"),
                       QStringLiteral("pscp -r -pw fennel pwned.jpg root@127.0.0.1:/tmp"),
                       QStringLiteral("/dev/null")},
                      folder, env, 60000, "y\n");
    QVERIFY2(r.finished && r.exitCode == 0, r.output.constData());
    QVERIFY2(r.output.contains("Store key in cache?"), r.output.constData());
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/tmp/pwned.jpg"))),
             readAll(folder + QStringLiteral("/pwned.jpg")));

    // The stored key is the one that seeding writes.
    QVERIFY(m_device->seedHostKey(seeded.path()));
    const QByteArray stored = readAll(home.path() + QStringLiteral("/.putty/sshhostkeys"));
    QVERIFY(stored.startsWith("rsa2@22:127.0.0.1 0x"));
    QCOMPARE(stored, readAll(seeded.path() + QStringLiteral("/.putty/sshhostkeys")));
}

void tst_simdevice::rebootIsAHarmlessStandIn()
{
    const int before = m_device->rebootCount();
    QVERIFY(before >= 0);
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/restart.sh"), "reboot\n"));
    VERIFY_RUN(m_ws->plink(QStringLiteral("restart.sh")));
    QCOMPARE(m_device->rebootCount(), before + 1);
    QVERIFY(m_device->isRunning());
    VERIFY_RUN(m_ws->pscpFrom(QStringLiteral("/var/root/.profile")));
}

void tst_simdevice::bigTreeForBenchmarks()
{
    SimulatedDevice big;
    SimulatedDevice::Options options;
    options.big = true;
    QVERIFY2(big.start(options), qPrintable(big.lastError()));
    const TreeSnapshot media = TreeSnapshot::read(big.treePath() + QStringLiteral("/var/mobile"));
    int files = 0;
    for (const TreeSnapshot::Entry &e : media.entries())
        files += e.type == 'f';
    QVERIFY2(files >= 2000, qPrintable(QString::number(files)));
    QVERIFY(media.totalBytes() >= 100 * 1000 * 1000);
    QVERIFY2(big.stop(), qPrintable(big.lastError()));
}

QTEST_GUILESS_MAIN(tst_simdevice)
#include "tst_simdevice.moc"
