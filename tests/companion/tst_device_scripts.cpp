// The device-side command files and helpers, run against the simulated device
// exactly as the job scripts run them: placed with pscp, run with plink -m.
#include "JobWorkspace.h"
#include "SimulatedDevice.h"
#include "TreeSnapshot.h"
#include "jobs/QuickRepeat.h"
#include "jobs/TarStaging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

using Result = SimulatedDevice::Result;

QString failure(const QString &step, const Result &r)
{
    if (r.finished && r.exitCode == 0)
        return {};
    return QStringLiteral("%1 failed (%2): %3")
        .arg(step)
        .arg(r.exitCode)
        .arg(QString::fromUtf8(r.output));
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList notBackedUp{QStringLiteral("Library/Lockdown"),
                              QStringLiteral("Library/Zorvane")};

#define VERIFY_OK(expr)                                                                            \
    do {                                                                                           \
        const QString e_ = (expr);                                                                 \
        QVERIFY2(e_.isEmpty(), qPrintable(e_));                                                    \
    } while (0)

#define VERIFY_SAME(a, b, what)                                                                    \
    do {                                                                                           \
        const QStringList d_ = (a).differences((b), (what));                                       \
        QVERIFY2(d_.isEmpty(), qPrintable(d_.join(QLatin1Char('\n'))));                            \
    } while (0)

} // namespace

class tst_device_scripts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backupThenRestorePutsOwnersAndModesBack();
    void backupOfRelocatedApplications();
    void restoreWithoutARecordGivesMobileItsFiles();
    void fixmailRepairsTheMailSettings();
    void relocationLeavesAWorkingLink_data();
    void relocationLeavesAWorkingLink();
    void relocationNeverOverwritesOrLosesData();
    void recordCannotReachOutsideItsTree();
    void linksComeBackAsLinksOnlyInsideTheirTree();
    void linksToNothingAreHeldAndPutBackWhole();
    void namesListCannotReachOutsideItsTree();
    void filesThatChangeWhileCopiedAreCopiedAgainBoundedly();
    void quickRepeatListsAndSendsNamesAsData();

private:
    bool startDevice(const SimulatedDevice::Options &options = SimulatedDevice::Options());
    TreeSnapshot device(const QString &path, const QStringList &excluded = {}) const;
    TreeSnapshot wholeDevice() const;
    QString backup(const QString &applications);
    QString restore();
    QString relocate(const QString &script);
    QString wreckOwnersAndModes();
    QString deviceShell(const QString &command);

    std::unique_ptr<SimulatedDevice> m_device;
    std::unique_ptr<JobWorkspace> m_ws;
};

void tst_device_scripts::initTestCase()
{
    QString why;
    if (!SimulatedDevice::canRun(&why))
        QSKIP(qPrintable(why));
}

void tst_device_scripts::init() { m_device = std::make_unique<SimulatedDevice>(); }

void tst_device_scripts::cleanup()
{
    m_ws.reset();
    if (m_device && !m_device->stop())
        qWarning("device did not stop: %s", qPrintable(m_device->lastError()));
    m_device.reset();
}

bool tst_device_scripts::startDevice(const SimulatedDevice::Options &options)
{
    if (!m_device->start(options)) {
        qWarning("%s", qPrintable(m_device->lastError()));
        return false;
    }
    m_ws = std::make_unique<JobWorkspace>(*m_device);
    if (!m_ws->isValid())
        qWarning("%s", qPrintable(m_ws->error()));
    return m_ws->isValid();
}

TreeSnapshot tst_device_scripts::device(const QString &path, const QStringList &excluded) const
{
    return TreeSnapshot::read(m_device->hostPath(path), excluded);
}

// Everything a job may touch, without the places a session writes by itself.
TreeSnapshot tst_device_scripts::wholeDevice() const
{
    return TreeSnapshot::read(m_device->treePath(),
                              {QStringLiteral("private/var/logs"),
                               QStringLiteral("private/var/tmp"), QStringLiteral("dev")});
}

QString tst_device_scripts::deviceShell(const QString &command)
{
    return failure(command, m_device->shell(command));
}

// The device part of "Yes.bat" / "No.bat", in the program folder.
QString tst_device_scripts::backup(const QString &applications)
{
    const JobWorkspace &ws = *m_ws;
    QString e;
    for (const char *f : {"plink.exe", "hold.sh", "unhold.sh", "changed.sh"})
        e += failure(QLatin1String(f), ws.pscpTo(QLatin1String(f), QStringLiteral("/")));
    e += failure(QStringLiteral("hold.sh"), ws.plink(QStringLiteral("hold.sh")));
    e += failure(QStringLiteral("fetch applications"), ws.pscpFrom(applications));
    for (const char *f : {"cp", "chown", "plink.exe", "move.sh"})
        e += failure(QLatin1String(f), ws.pscpTo(QLatin1String(f), QStringLiteral("/")));
    e += failure(QStringLiteral("move.sh"), ws.plink(QStringLiteral("move.sh")));
    e += failure(QStringLiteral("fetch mobile"), ws.pscpFrom(QStringLiteral("/var/mobile")));
    e += failure(QStringLiteral("fetch root"), ws.pscpFrom(QStringLiteral("/var/root")));
    e += failure(QStringLiteral("unhold.sh"), ws.plink(QStringLiteral("unhold.sh")));
    // The files as they are after the copy, and what changed, put in place.
    e += failure(QStringLiteral("changed.sh"), ws.plink(QStringLiteral("changed.sh")));
    e += failure(QStringLiteral("fetch again"),
                 ws.pscpFrom(QStringLiteral("/private/var/zorvane-changed/Refetched")));
    QDir(ws.folder()).mkdir(QStringLiteral("Incoming"));
    QDir(ws.folder()).rename(QStringLiteral("Refetched"), QStringLiteral("Incoming/Refetched"));
    e += failure(QStringLiteral("ChangedFiles"),
                 ws.run({qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/ChangedFiles")}));
    QDir(ws.folder() + QStringLiteral("/Incoming")).removeRecursively();
    e += failure(QStringLiteral("back.sh"), ws.putAndRun(QStringLiteral("back.sh")));
    QDir(ws.folder() + QStringLiteral("/mobile/Library/Lockdown")).removeRecursively();
    QDir(ws.folder() + QStringLiteral("/root/Library/Lockdown")).removeRecursively();
    return e;
}

// The device part of "PutFilesBack.bat" (lines 9 to 24).
QString tst_device_scripts::restore()
{
    const JobWorkspace &ws = *m_ws;
    QString e;
    for (const char *f : {"chown1", "install.sh", "cp", "plink.exe", "chown"})
        e += failure(QLatin1String(f), ws.pscpTo(QLatin1String(f), QStringLiteral("/")));
    e += failure(QStringLiteral("install.sh"), ws.plink(QStringLiteral("install.sh")));
    e += failure(QStringLiteral("put Applications"),
                 ws.pscpTo(QStringLiteral("Applications"), QStringLiteral("/")));
    e += failure(QStringLiteral("put mobile"),
                 ws.pscpTo(QStringLiteral("mobile"), QStringLiteral("/var")));
    e += failure(QStringLiteral("put root"),
                 ws.pscpTo(QStringLiteral("root"), QStringLiteral("/var")));
    e += failure(QStringLiteral("fixmail.sh"),
                 ws.putAndRun(QStringLiteral("fixmail.sh"), QStringLiteral("/usr/bin")));
    e += failure(QStringLiteral("other.sh"), ws.putAndRun(QStringLiteral("other.sh")));
    return e;
}

// The device part of "apps.bat" / "fonts.bat" (lines 9 to 14).
QString tst_device_scripts::relocate(const QString &script)
{
    QString e;
    for (const QString &f : {QStringLiteral("chown1"), script, QStringLiteral("cp"),
                             QStringLiteral("chown"), QStringLiteral("plink.exe")})
        e += failure(f, m_ws->pscpTo(f, QStringLiteral("/")));
    return e + failure(script, m_ws->plink(script));
}

// What a restore meets on a freshly restored device: its own files root's,
// with plain modes, and the user's mail and photos gone.
QString tst_device_scripts::wreckOwnersAndModes()
{
    return deviceShell(QStringLiteral(
        "rm -rf /var/mobile/Library/Mail /var/mobile/Media/DCIM '/Applications/Sketch Pad.app' && "
        "chown -R 0:0 /Applications/ /var/mobile /var/root && "
        "find /Applications/ /var/mobile /var/root -type d -exec chmod 755 {} + && "
        "find /Applications/ /var/mobile /var/root -type f -exec chmod 644 {} +"));
}

void tst_device_scripts::backupThenRestorePutsOwnersAndModesBack()
{
    QVERIFY(startDevice());
    const TreeSnapshot apps = device(QStringLiteral("/Applications"));
    const TreeSnapshot mobile = device(QStringLiteral("/var/mobile"), notBackedUp);
    const TreeSnapshot root = device(QStringLiteral("/var/root"), notBackedUp);
    const TreeSnapshot fonts = device(QStringLiteral("/System/Library/Fonts"));
    const TreeSnapshot mobileAll = device(QStringLiteral("/var/mobile"));
    const TreeSnapshot rootAll = device(QStringLiteral("/var/root"));

    VERIFY_OK(backup(QStringLiteral("/Applications")));
    // The record travelled with /var/root and left the device again.
    const QByteArray record =
        readAll(m_ws->folder() + QStringLiteral("/root/Library/Zorvane/owners-modes.txt"));
    QVERIFY(record.startsWith("# Zorvane owners and modes 1\n"));
    QVERIFY(record.contains("\n0 80 4755 f Applications/Installer.app/Installer\n"));
    QVERIFY(
        record.contains("\n501 501 600 f mobile/Library/Preferences/com.apple.mobilemail.plist\n"));
    QVERIFY(record.contains("\n501 501 644 f mobile/Media/Fotos für Oma/Strand à Nice.jpg\n"));
    QVERIFY(!record.contains("Lockdown"));
    // The backup leaves the backed-up trees as it found them.
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);
    VERIFY_SAME(device(QStringLiteral("/var/mobile")), mobileAll, TreeSnapshot::Everything);
    VERIFY_SAME(device(QStringLiteral("/var/root")), rootAll, TreeSnapshot::Everything);
    VERIFY_SAME(TreeSnapshot::read(m_ws->folder() + QStringLiteral("/mobile")), mobile,
                TreeSnapshot::Content);

    // The backup side is safe to repeat: the same record again.
    VERIFY_OK(failure(QStringLiteral("move.sh again"), m_ws->plink(QStringLiteral("move.sh"))));
    const QByteArray again =
        readAll(m_device->hostPath(QStringLiteral("/var/root/Library/Zorvane/owners-modes.txt")));
    QCOMPARE(again.mid(again.indexOf("\n0 ")), record.mid(record.indexOf("\n0 ")));
    VERIFY_OK(failure(QStringLiteral("back.sh again"), m_ws->plink(QStringLiteral("back.sh"))));
    VERIFY_OK(
        failure(QStringLiteral("back.sh a third time"), m_ws->plink(QStringLiteral("back.sh"))));
    VERIFY_SAME(device(QStringLiteral("/var/root")), rootAll, TreeSnapshot::Everything);

    VERIFY_OK(wreckOwnersAndModes());
    VERIFY_OK(restore());
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);
    VERIFY_SAME(device(QStringLiteral("/var/mobile"), notBackedUp), mobile,
                TreeSnapshot::Everything);
    VERIFY_SAME(device(QStringLiteral("/var/root"), notBackedUp), root, TreeSnapshot::Everything);
    QCOMPARE(m_device->rebootCount(), 1);
    // install.sh moved the fonts out of the way of the applications.
    QCOMPARE(
        QFileInfo(m_device->treePath() + QStringLiteral("/System/Library/Fonts")).symLinkTarget(),
        QStringLiteral("/var/Fonts"));
    VERIFY_SAME(device(QStringLiteral("/System/Library/Fonts")), fonts, TreeSnapshot::Everything);

    // Running the restore's device scripts again changes nothing more.
    const TreeSnapshot restored = wholeDevice();
    for (const char *script : {"install.sh", "fixmail.sh", "other.sh"})
        VERIFY_OK(failure(QLatin1String(script), m_ws->plink(QLatin1String(script))));
    VERIFY_SAME(wholeDevice(), restored, TreeSnapshot::Everything);
    QCOMPARE(m_device->rebootCount(), 2);
}

void tst_device_scripts::backupOfRelocatedApplications()
{
    SimulatedDevice::Options options;
    options.appsRelocated = true;
    QVERIFY(startDevice(options));
    const TreeSnapshot apps = device(QStringLiteral("/var/Applications"));
    QVERIFY(apps.contains(QStringLiteral("MobileSafari.app/MobileSafari")));

    // A thousand messages more: the listing's line groups its thousands.
    VERIFY_OK(deviceShell(QStringLiteral(
        "mkdir -p /var/mobile/Library/SMS/Parts && cd /var/mobile/Library/SMS/Parts && i=0 && "
        "while [ $i -lt 1000 ]; do echo part $i > $i.txt; i=$((i + 1)); done")));
    VERIFY_OK(backup(QStringLiteral("/var/Applications")));
    VERIFY_SAME(TreeSnapshot::read(m_ws->folder() + QStringLiteral("/Applications")), apps,
                TreeSnapshot::Content);
    const Result listing = m_ws->plink(QStringLiteral("move.sh"));
    VERIFY_OK(failure(QStringLiteral("move.sh again"), listing));
    const QByteArray sizes =
        readAll(m_device->hostPath(QStringLiteral("/var/root/Library/Zorvane/file-sizes.txt")));
    qint64 files = 0;
    double bytes = 0;
    for (const QByteArray &line : sizes.split('\n')) {
        if (!line.isEmpty() && line.front() >= '0' && line.front() <= '9' && line.contains(' ')) {
            ++files;
            bytes += line.left(line.indexOf(' ')).toDouble();
        }
    }
    QVERIFY(files > 1000 && files < 10000);
    const QString said = QStringLiteral("The device holds %1,%2 files, %3 MB to back up.")
                             .arg(files / 1000)
                             .arg(files % 1000, 3, 10, QLatin1Char('0'))
                             .arg(bytes / 1e6, 0, 'f', 1);
    QVERIFY2(QString::fromUtf8(listing.output).contains(said),
             qPrintable(said + QStringLiteral(" / ") + QString::fromUtf8(listing.output)));
    VERIFY_OK(failure(QStringLiteral("back.sh again"), m_ws->plink(QStringLiteral("back.sh"))));
    VERIFY_OK(wreckOwnersAndModes());
    VERIFY_OK(restore());
    // The applications went back through the link into /var/Applications.
    QCOMPARE(QFileInfo(m_device->treePath() + QStringLiteral("/Applications")).symLinkTarget(),
             QStringLiteral("/var/Applications"));
    VERIFY_SAME(device(QStringLiteral("/var/Applications")), apps, TreeSnapshot::Everything);
}

void tst_device_scripts::restoreWithoutARecordGivesMobileItsFiles()
{
    QVERIFY(startDevice());
    VERIFY_OK(backup(QStringLiteral("/Applications")));
    QVERIFY(
        QFile::remove(m_ws->folder() + QStringLiteral("/root/Library/Zorvane/owners-modes.txt")));
    VERIFY_OK(wreckOwnersAndModes());
    VERIFY_OK(restore());
    const TreeSnapshot mobile = device(QStringLiteral("/var/mobile"));
    QVERIFY(mobile.contains(QStringLiteral("Library/Mail/Envelope Index")));
    for (auto it = mobile.entries().cbegin(); it != mobile.entries().cend(); ++it)
        QVERIFY2(it->uid == 501 && it->gid == 501, qPrintable(it.key()));
    QCOMPARE(m_device->rebootCount(), 1);
}

void tst_device_scripts::fixmailRepairsTheMailSettings()
{
    QVERIFY(startDevice());
    const TreeSnapshot mobile = device(QStringLiteral("/var/mobile"));
    VERIFY_OK(deviceShell(
        QStringLiteral("chown -R 0:0 /var/mobile/Library/Mail /var/mobile/Library/Preferences && "
                       "chmod 755 /var/mobile/Library/Mail && chmod 644 "
                       "/var/mobile/Library/Preferences/*.plist")));
    for (const char *f : {"plink.exe", "cp", "chown", "chown1"})
        VERIFY_OK(failure(QLatin1String(f), m_ws->pscpTo(QLatin1String(f), QStringLiteral("/"))));
    VERIFY_OK(failure(QStringLiteral("fixmail.sh"),
                      m_ws->putAndRun(QStringLiteral("fixmail.sh"), QStringLiteral("/usr/bin"))));

    const TreeSnapshot fixed = device(QStringLiteral("/var/mobile"));
    for (auto it = fixed.entries().cbegin(); it != fixed.entries().cend(); ++it) {
        if (it.key().startsWith(QLatin1String("Library/Mail")))
            QVERIFY2(it->uid == 501 && it->gid == 501, qPrintable(it.key()));
    }
    QCOMPARE(fixed.entry(QStringLiteral("Library/Mail")).mode, 0700u);
    for (const QString &p :
         {QStringLiteral("Library/Preferences/com.apple.mobilemail.plist"),
          QStringLiteral("Library/Preferences/com.apple.accountsettings.plist")}) {
        QCOMPARE(fixed.entry(p).uid, 501u);
        QCOMPARE(fixed.entry(p).mode, 0600u);
    }
    // Other settings are not its business.
    QCOMPARE(fixed.entry(QStringLiteral("Library/Preferences/com.apple.springboard.plist")).uid,
             0u);
    VERIFY_SAME(fixed, mobile, TreeSnapshot::Content);

    // Twice changes nothing more; a missing mail folder is made again.
    VERIFY_OK(
        failure(QStringLiteral("fixmail.sh again"), m_ws->plink(QStringLiteral("fixmail.sh"))));
    VERIFY_SAME(device(QStringLiteral("/var/mobile")), fixed, TreeSnapshot::Everything);
    VERIFY_OK(deviceShell(QStringLiteral("rm -rf /var/mobile/Library/Mail")));
    VERIFY_OK(failure(QStringLiteral("fixmail.sh without Mail"),
                      m_ws->plink(QStringLiteral("fixmail.sh"))));
    const TreeSnapshot::Entry mail =
        device(QStringLiteral("/var/mobile")).entry(QStringLiteral("Library/Mail"));
    QCOMPARE(mail.type, 'd');
    QCOMPARE(mail.uid, 501u);

    // Mail a link to a folder elsewhere: that folder keeps its owner and mode.
    VERIFY_OK(deviceShell(QStringLiteral(
        "rm -rf /var/mobile/Library/Mail && mkdir -p /var/root/Elsewhere && chmod 755 "
        "/var/root/Elsewhere && ln -s /var/root/Elsewhere /var/mobile/Library/Mail")));
    VERIFY_OK(failure(QStringLiteral("fixmail.sh with Mail a link"),
                      m_ws->plink(QStringLiteral("fixmail.sh"))));
    const TreeSnapshot::Entry elsewhere =
        device(QStringLiteral("/var/root")).entry(QStringLiteral("Elsewhere"));
    QCOMPARE(elsewhere.mode, 0755u);
    QCOMPARE(elsewhere.uid, 0u);
}

void tst_device_scripts::relocationLeavesAWorkingLink_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("probe");
    QTest::newRow("apps.sh") << QStringLiteral("apps.sh") << QStringLiteral("/Applications")
                             << QStringLiteral("/var/Applications")
                             << QStringLiteral("/Applications/Sketch Pad.app/Info.plist");
    QTest::newRow("fonts.sh") << QStringLiteral("fonts.sh")
                              << QStringLiteral("/System/Library/Fonts")
                              << QStringLiteral("/var/Fonts")
                              << QStringLiteral("/System/Library/Fonts/Cache/Courier New.ttf");
}

void tst_device_scripts::relocationLeavesAWorkingLink()
{
    QFETCH(QString, script);
    QFETCH(QString, folder);
    QFETCH(QString, target);
    QFETCH(QString, probe);
    QVERIFY(startDevice());
    const TreeSnapshot before = device(folder);

    VERIFY_OK(relocate(script));
    const QString hostFolder = m_device->treePath() + folder;
    QCOMPARE(QFileInfo(hostFolder).symLinkTarget(), target);
    QCOMPARE(m_device->hostPath(folder), m_device->hostPath(target));
    VERIFY_SAME(device(folder), before, TreeSnapshot::Everything);
    QVERIFY(!QFileInfo::exists(hostFolder + QStringLiteral(".zorvane-old")));
    QVERIFY(!QFileInfo::exists(m_device->hostPath(target) + QStringLiteral(".zorvane-partial")));

    // The device reads through the link.
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/probe.sh"),
                      "cat '" + probe.toUtf8() + "' | wc -c\n"));
    const Result r = m_ws->plink(QStringLiteral("probe.sh"));
    VERIFY_OK(failure(QStringLiteral("probe"), r));
    QCOMPARE(r.output.trimmed().toLongLong(), before.entry(probe.mid(folder.size() + 1)).size);

    // A second run sees the link and changes nothing.
    const TreeSnapshot relocated = wholeDevice();
    const Result second = m_ws->plink(script);
    VERIFY_OK(failure(QStringLiteral("second run"), second));
    QVERIFY2(second.output.contains("already a link"), second.output.constData());
    VERIFY_SAME(wholeDevice(), relocated, TreeSnapshot::Everything);
}

void tst_device_scripts::relocationNeverOverwritesOrLosesData()
{
    QVERIFY(startDevice());
    const TreeSnapshot apps = device(QStringLiteral("/Applications"));
    VERIFY_OK(relocate(QStringLiteral("apps.sh"))); // places the helpers, relocates
    VERIFY_OK(deviceShell(QStringLiteral(
        "rm /Applications && mv /var/Applications /Applications"))); // and back, by hand
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);

    // A different /var/Applications is never merged into or replaced.
    VERIFY_OK(deviceShell(
        QStringLiteral("mkdir /var/Applications && echo mine > /var/Applications/note")));
    const TreeSnapshot stranger = device(QStringLiteral("/var/Applications"));
    const Result refused = m_ws->plink(QStringLiteral("apps.sh"));
    QVERIFY(refused.finished && refused.exitCode != 0);
    QVERIFY2(refused.output.contains("differs"), refused.output.constData());
    QVERIFY(!QFileInfo(m_device->treePath() + QStringLiteral("/Applications")).isSymLink());
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);
    VERIFY_SAME(device(QStringLiteral("/var/Applications")), stranger, TreeSnapshot::Everything);
    VERIFY_OK(deviceShell(QStringLiteral("rm -r /var/Applications")));

    // A copy cut short is thrown away and made again.
    VERIFY_OK(deviceShell(QStringLiteral("mkdir /var/Applications.zorvane-partial && echo half > "
                                         "/var/Applications.zorvane-partial/half")));
    VERIFY_OK(
        failure(QStringLiteral("after a partial copy"), m_ws->plink(QStringLiteral("apps.sh"))));
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);
    QVERIFY(!QFileInfo::exists(
        m_device->hostPath(QStringLiteral("/var/Applications.zorvane-partial"))));

    // Cut short after the original was moved aside, before the link: finished.
    VERIFY_OK(deviceShell(
        QStringLiteral("rm /Applications && cp -a /var/Applications /Applications.zorvane-old")));
    VERIFY_OK(
        failure(QStringLiteral("after moving aside"), m_ws->plink(QStringLiteral("apps.sh"))));
    QVERIFY(QFileInfo(m_device->treePath() + QStringLiteral("/Applications")).isSymLink());
    VERIFY_SAME(device(QStringLiteral("/Applications")), apps, TreeSnapshot::Everything);
    QVERIFY(!QFileInfo::exists(m_device->treePath() + QStringLiteral("/Applications.zorvane-old")));
}

void tst_device_scripts::recordCannotReachOutsideItsTree()
{
    QVERIFY(startDevice());
    for (const char *f : {"plink.exe", "chown1"})
        VERIFY_OK(failure(QLatin1String(f), m_ws->pscpTo(QLatin1String(f), QStringLiteral("/"))));
    VERIFY_OK(deviceShell(QStringLiteral("ln -s /private/etc /var/mobile/etc-link")));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/evil.txt"),
                      "# Zorvane owners and modes 1\n"
                      "0 0 777 f mobile/../../etc/passwd\n"
                      "0 0 777 f mobile/etc-link/passwd\n"
                      "0 0 777 d mobile/etc-link\n"
                      "this line is not an entry\n"
                      "0 0 600 f mobile/Library/SMS/sms.db\n"));
    VERIFY_OK(failure(QStringLiteral("put record"),
                      m_ws->pscpTo(QStringLiteral("evil.txt"), QStringLiteral("/tmp"))));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/apply.sh"),
                      "sh /chown1 /tmp/evil.txt mobile /var/mobile\n"));
    const TreeSnapshot etc = device(QStringLiteral("/etc"));
    const Result r = m_ws->plink(QStringLiteral("apply.sh"));
    VERIFY_OK(failure(QStringLiteral("chown1"), r));
    QVERIFY2(r.output.contains("1 entries put back (3 not on the device, 1 unreadable lines)"),
             r.output.constData());
    VERIFY_SAME(device(QStringLiteral("/etc")), etc, TreeSnapshot::Everything);
    const TreeSnapshot::Entry sms =
        device(QStringLiteral("/var/mobile")).entry(QStringLiteral("Library/SMS/sms.db"));
    QCOMPARE(sms.uid, 0u);
    QCOMPARE(sms.mode, 0600u);

    // A line over 4096 bytes makes the record unreadable: nothing of it is
    // applied, whether chown1 or zv_apply alone reads it; a links list with
    // such a line is not whole.
    const QByteArray longPath = "mobile/Library/" + QByteArray(4100, 'n');
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/evil.txt"),
                      "# Zorvane owners and modes 1\n0 0 644 f mobile/Library/SMS/sms.db\n"
                      "0 0 644 f "
                          + longPath + "\n"));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/links.txt"),
                      "# Zorvane links 1\n" + QByteArray::number(longPath.size()) + ' ' + longPath
                          + " -> x\n# end 1\n"));
    for (const char *f : {"evil.txt", "links.txt"})
        VERIFY_OK(
            failure(QLatin1String(f), m_ws->pscpTo(QLatin1String(f), QStringLiteral("/tmp"))));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/apply.sh"),
                      "sh /chown1 /tmp/evil.txt mobile /var/mobile\n"
                      ". /plink.exe\nzv_apply /tmp/evil.txt mobile /var/mobile\n"
                      "zv_list_whole /tmp/links.txt \"$ZV_LINKS_HEADER\" || echo links refused\n"));
    const Result longLine = m_ws->plink(QStringLiteral("apply.sh"));
    QCOMPARE(longLine.output.count("/tmp/evil.txt: line 3 is longer than 4096 bytes"), 2);
    QVERIFY2(longLine.output.contains("/tmp/links.txt: line 2 is longer than 4096 bytes; it is "
                                      "not used.\nlinks refused"),
             longLine.output.constData());
    QVERIFY(!longLine.output.contains("entries put back"));
    QCOMPARE(device(QStringLiteral("/var/mobile")).entry(QStringLiteral("Library/SMS/sms.db")).mode,
             0600u);
}

void tst_device_scripts::linksComeBackAsLinksOnlyInsideTheirTree()
{
    QVERIFY(startDevice());
    VERIFY_OK(deviceShell(QStringLiteral(
        "mkdir /var/mobile/Media/Links && cd /var/mobile/Media/Links && echo t > target && "
        "echo ab > 'a -> b' && ln -s target 'to a file' && ln -s ../DCIM 'to a folder' && "
        "ln -s 'a -> b' 'x -> y' && ln -s /var/mobile/Library/Keyboard ' -> ' && "
        "chown -h 501:501 'x -> y'")));
    const TreeSnapshot mobile = device(QStringLiteral("/var/mobile"), notBackedUp);
    VERIFY_OK(backup(QStringLiteral("/Applications")));
    const QByteArray list =
        readAll(m_ws->folder() + QStringLiteral("/root/Library/Zorvane/links.txt"));
    QVERIFY2(list.startsWith("# Zorvane links 1\n") && list.endsWith("\n# end 4\n")
                 && list.contains("\n25 mobile/Media/Links/x -> y -> a -> b\n")
                 && list.contains("\n23 mobile/Media/Links/ ->  -> /var/mobile/Library/Keyboard\n"),
             list.constData());
    QVERIFY(
        !QFileInfo(m_ws->folder() + QStringLiteral("/mobile/Media/Links/to a folder")).isSymLink());

    // pscp put copies where the links were: the restore makes the links again.
    VERIFY_OK(wreckOwnersAndModes());
    VERIFY_OK(restore());
    VERIFY_SAME(device(QStringLiteral("/var/mobile"), notBackedUp), mobile,
                TreeSnapshot::Everything);

    // The check finds a link that is a file now, or points elsewhere.
    VERIFY_OK(deviceShell(QStringLiteral("cd /var/mobile/Media/Links && rm 'to a file' 'x -> y' "
                                         "&& echo t > 'to a file' && ln -s target 'x -> y'")));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/check.sh"),
                      ". /plink.exe\nzv_check \"$ZV_RECORD\" \"$ZV_SIZES\" mobile /var/mobile "
                      "\"$ZV_LINKS\"\n"));
    const Result checked = m_ws->plink(QStringLiteral("check.sh"));
    QVERIFY(checked.finished && checked.exitCode != 0);
    for (const char *said : {"not a link as in the backup: /var/mobile/Media/Links/to a file",
                             "link points elsewhere: /var/mobile/Media/Links/x -> y",
                             "4 links checked, 2 differences"})
        QVERIFY2(checked.output.contains(said), checked.output.constData());

    // A list that names places outside its trees changes nothing there.
    VERIFY_OK(deviceShell(QStringLiteral("ln -s /private/etc /var/mobile/etc-link")));
    QByteArray evil = "# Zorvane links 1\n";
    for (const QByteArray &path :
         {QByteArray("mobile/../../etc/passwd"), QByteArray("mobile/etc-link/passwd"),
          QByteArray("etc/passwd"), QByteArray("mobile"), QByteArray("root/Library/Zorvane/x"),
          QByteArray("mobile/Media/Links/to a folder/inner"), QByteArray("mobile/Media/made/inner"),
          QByteArray("mobile/Media/made")})
        evil += QByteArray::number(path.size()) + ' ' + path + " -> /etc/passwd\n";
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/evil.txt"), evil + "# end 8\n"));
    VERIFY_OK(failure(QStringLiteral("put list"),
                      m_ws->pscpTo(QStringLiteral("evil.txt"), QStringLiteral("/tmp"))));
    QVERIFY(
        writeFile(m_ws->folder() + QStringLiteral("/apply.sh"),
                  ". /plink.exe\nzv_put_links /tmp/evil.txt mobile /var/mobile root /var/root\n"));
    const TreeSnapshot etc = device(QStringLiteral("/etc"));
    const Result applied = m_ws->plink(QStringLiteral("apply.sh"));
    VERIFY_OK(failure(QStringLiteral("zv_put_links"), applied));
    for (const char *said :
         {"/var/mobile: 1 links made again (0 already in place, 2 without their folder",
          "/tmp/evil.txt: 5 unreadable lines"})
        QVERIFY2(applied.output.contains(said), applied.output.constData());
    VERIFY_SAME(device(QStringLiteral("/etc")), etc, TreeSnapshot::Everything);
    QCOMPARE(
        QFileInfo(m_device->treePath() + QStringLiteral("/var/mobile/Media/made")).symLinkTarget(),
        QStringLiteral("/etc/passwd"));

    // A backup made before links were listed restores its links as copies, and says so;
    // the list the last restore left on the device is another backup's.
    const QString records = m_ws->folder() + QStringLiteral("/root/Library/Zorvane/");
    QVERIFY(QFile::remove(records + QStringLiteral("links.txt")));
    QByteArray record = readAll(records + QStringLiteral("owners-modes.txt"));
    QVERIFY(writeFile(records + QStringLiteral("owners-modes.txt"),
                      record.replace(", written 2", ", written 1")));
    VERIFY_OK(deviceShell(QStringLiteral("rm -r /var/mobile/Media/Links")));
    VERIFY_OK(restore());
    const Result old = m_ws->plink(QStringLiteral("other.sh"));
    for (const char *said : {"did not record where its 4 links point", "restore check: OK"})
        QVERIFY2(old.output.contains(said), old.output.constData());
    QVERIFY(!QFileInfo(m_device->treePath() + QStringLiteral("/var/mobile/Media/Links/to a file"))
                 .isSymLink());
}

void tst_device_scripts::linksToNothingAreHeldAndPutBackWhole()
{
    QVERIFY(startDevice());
    // Links to nothing with hostile names, one whose name no list can hold.
    VERIFY_OK(deviceShell(QStringLiteral(
        "mkdir -p /var/mobile/Media/Held/in /private/var/outside /var/mobile/Media/NL && "
        "cd /var/mobile/Media/Held && ln -s /nothing 'a b' && ln -s gone ./-n && "
        "ln -s 'x\\y' 'back\\slash' && ln -s loop loop && ln -s /nothing in/deep && "
        "chown -h 501:501 'a b' in/deep && ln -s /nothing '/Applications/Gone.app' && "
        "ln -s /nothing \"/var/mobile/Media/NL/new$(printf '\\nline')\"")));
    const QStringList helpers = QStringLiteral("dev private/var/logs private/var/tmp plink.exe "
                                               "hold.sh unhold.sh changed.sh cp chown move.sh "
                                               "back.sh")
                                    .split(QLatin1Char(' '));
    const TreeSnapshot whole = TreeSnapshot::read(m_device->treePath(), helpers);
    const QStringList notRestored = notBackedUp + QStringList{QStringLiteral("Media/NL")};
    const TreeSnapshot mobile = device(QStringLiteral("/var/mobile"), notRestored);
    QVERIFY(mobile.contains(QStringLiteral("Media/Held/back\\slash")));

    // The backup copies past them, lists them, and leaves the device as it was.
    VERIFY_OK(backup(QStringLiteral("/Applications")));
    VERIFY_SAME(TreeSnapshot::read(m_device->treePath(), helpers), whole, TreeSnapshot::Everything);
    QVERIFY(!QFileInfo::exists(m_device->treePath() + QStringLiteral("/private/var/zorvane-held")));
    const QByteArray list =
        readAll(m_ws->folder() + QStringLiteral("/root/Library/Zorvane/links.txt"));
    for (const char *line :
         {"\n21 mobile/Media/Held/a b -> /nothing\n", "\n20 mobile/Media/Held/-n -> gone\n",
          "\n28 mobile/Media/Held/back\\slash -> x\\y\n",
          "\n25 mobile/Media/Held/in/deep -> /nothing\n",
          "\n21 Applications/Gone.app -> /nothing\n"})
        QVERIFY2(list.contains(line), list.constData());

    // The restore makes them again, owners and all.
    VERIFY_OK(deviceShell(QStringLiteral("rm -r /var/mobile/Media/Held /Applications/Gone.app")));
    VERIFY_OK(restore());
    VERIFY_SAME(device(QStringLiteral("/var/mobile"), notRestored), mobile,
                TreeSnapshot::Everything);
    QCOMPARE(
        QFileInfo(m_device->treePath() + QStringLiteral("/Applications/Gone.app")).symLinkTarget(),
        QStringLiteral("/nothing"));

    // A backup cut after setting them aside: the put back never overwrites
    // what lies at a link's place now, nor goes through a folder become a link.
    VERIFY_OK(failure(QStringLiteral("hold.sh"), m_ws->plink(QStringLiteral("hold.sh"))));
    VERIFY_OK(deviceShell(QStringLiteral("cd /var/mobile/Media/Held && echo mine > 'a b' && "
                                         "rm -r in && ln -s /private/var/outside in")));
    const TreeSnapshot outside = device(QStringLiteral("/private/var/outside"));
    const Result put = m_ws->plink(QStringLiteral("unhold.sh"));
    QVERIFY(put.finished && put.exitCode != 0);
    for (const char *said : {"Media/Held/a b holds something else now",
                             "/private/var/zorvane-held/mobile/Media/Held/in/deep: the link",
                             "still held in /private/var/zorvane-held"})
        QVERIFY2(put.output.contains(said), put.output.constData());
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/var/mobile/Media/Held/a b"))),
             QByteArray("mine\n"));
    VERIFY_SAME(device(QStringLiteral("/private/var/outside")), outside, TreeSnapshot::Everything);
    const TreeSnapshot held = device(QStringLiteral("/private/var/zorvane-held/mobile/Media/Held"));
    QVERIFY(held.entry(QStringLiteral("a b")).type == 'l'
            && held.entry(QStringLiteral("in/deep")).uid == 501);
    const TreeSnapshot now = device(QStringLiteral("/var/mobile/Media/Held"));
    QVERIFY(now.entry(QStringLiteral("back\\slash")).type == 'l'
            && now.entry(QStringLiteral("-n")).type == 'l');
    // A put back cut short after making the link again (across disks): the held one goes.
    VERIFY_OK(deviceShell(
        QStringLiteral("cd /var/mobile/Media/Held && rm 'a b' && ln -s /nothing 'a b'")));
    QVERIFY(m_ws->plink(QStringLiteral("unhold.sh")).output.contains("Held/in/deep: the link"));
    QVERIFY(!device(QStringLiteral("/private/var/zorvane-held/mobile/Media/Held"))
                 .contains(QStringLiteral("a b")));
}

void tst_device_scripts::namesListCannotReachOutsideItsTree()
{
    QVERIFY(startDevice());
    VERIFY_OK(failure(QStringLiteral("plink.exe"),
                      m_ws->pscpTo(QStringLiteral("plink.exe"), QStringLiteral("/"))));
    VERIFY_OK(deviceShell(QStringLiteral("ln -s /private/etc /var/mobile/etc-link && "
                                         "echo stray > /var/mobile/stray && "
                                         "mkdir -p /var/root/Library/Zorvane")));
    // What a restore sends apart: numbered entries, the list and the step.
    const QString staged = m_ws->folder() + QStringLiteral("/names-t");
    QVERIFY(QDir().mkpath(staged));
    QVERIFY(QFile::copy(m_ws->folder() + QStringLiteral("/names.sh"),
                        staged + QStringLiteral("/names.sh")));
    QVERIFY(writeFile(staged + QStringLiteral("/1"), "root:x:0:0::/:/bin/sh\n"));
    QVERIFY(writeFile(staged + QStringLiteral("/2"), "a\\b"));
    QVERIFY(writeFile(staged + QStringLiteral("/names.txt"), "# Zorvane names 1\n"
                                                             "R mobile/../../etc/passwd\n"
                                                             "R mobile/etc-link/passwd\n"
                                                             "R etc/passwd\n"
                                                             "R mobile\n"
                                                             "K 1 mobile/etc-link/passwd\n"
                                                             "M 1 mobile/./passwd\n"
                                                             "M x mobile/Media/x\n"
                                                             "M 2 mobile/Media/a\\\\b\\0012\n"
                                                             "R mobile/stray\n"
                                                             "# end 9\n"));
    VERIFY_OK(failure(QStringLiteral("send apart"),
                      m_ws->pscpTo(staged, QStringLiteral("/var/root/Library/Zorvane"))));
    QVERIFY(writeFile(m_ws->folder() + QStringLiteral("/apply.sh"),
                      "sh /var/root/Library/Zorvane/names-t/names.sh "
                      "/var/root/Library/Zorvane/names-t\n"));
    const TreeSnapshot etc = device(QStringLiteral("/etc"));
    const Result r = m_ws->plink(QStringLiteral("apply.sh"));
    QVERIFY2(r.output.contains("1 entries put in place, 1 names that pscp made removed, 7 failed."),
             r.output.constData());
    VERIFY_SAME(device(QStringLiteral("/etc")), etc, TreeSnapshot::Everything);
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/var/mobile/Media")) + "/a\\b\n"),
             QByteArray("a\\b"));
    QVERIFY(!QFileInfo::exists(m_device->hostPath(QStringLiteral("/var/mobile")) + "/stray"));
    QVERIFY(!QFileInfo::exists(m_device->hostPath(QStringLiteral("/var/root/Library/Zorvane"))
                               + "/names-t"));

    // A list cut short is not acted on at all.
    QVERIFY(writeFile(staged + QStringLiteral("/names.txt"),
                      "# Zorvane names 1\nR mobile/Media\n# end 2\n"));
    VERIFY_OK(failure(QStringLiteral("send apart again"),
                      m_ws->pscpTo(staged, QStringLiteral("/var/root/Library/Zorvane"))));
    QVERIFY(m_ws->plink(QStringLiteral("apply.sh")).exitCode != 0);
    QVERIFY(QFileInfo::exists(m_device->hostPath(QStringLiteral("/var/mobile/Media")) + "/a\\b\n"));

    // A link to a folder elsewhere where a file goes back is replaced by the
    // file, never followed: nothing lands in the folder it pointed at.
    VERIFY_OK(deviceShell(QStringLiteral("ln -s /private/etc /var/mobile/Media/etc-here")));
    QVERIFY(writeFile(staged + QStringLiteral("/3"), "kept\n"));
    QVERIFY(writeFile(staged + QStringLiteral("/names.txt"),
                      "# Zorvane names 1\nK 3 mobile/Media/etc-here\n# end 1\n"));
    VERIFY_OK(failure(QStringLiteral("send apart a third time"),
                      m_ws->pscpTo(staged, QStringLiteral("/var/root/Library/Zorvane"))));
    const Result linked = m_ws->plink(QStringLiteral("apply.sh"));
    QVERIFY2(linked.output.contains("1 entries put in place, 0 names that pscp made removed, 0 "
                                    "failed."),
             linked.output.constData());
    VERIFY_SAME(device(QStringLiteral("/etc")), etc, TreeSnapshot::Everything);
    const QFileInfo placed(m_device->hostPath(QStringLiteral("/var/mobile/Media/etc-here")));
    QVERIFY(placed.isFile() && !placed.isSymLink());
    QCOMPARE(readAll(placed.filePath()), QByteArray("kept\n"));
}

// After the copy the device lists its files again: a file rewritten in place
// with the same size, one that came and one that went count as changed, an
// untouched one does not; each changed file is copied again alone, and one
// that changes at every copy is copied only as often as allowed, then kept as
// last copied. The records after the copy know nothing of the file that went.
void tst_device_scripts::filesThatChangeWhileCopiedAreCopiedAgainBoundedly()
{
    QVERIFY(startDevice());
    const QString name = QString::fromUtf8("mobile/Media/b \\ \xc3\xa9%\"'.txt");
    const QString media = m_device->hostPath(QStringLiteral("/var/mobile/Media"));
    QVERIFY(writeFile(media + QString::fromUtf8("/b \\ \xc3\xa9%\"'.txt"), "first"));
    QVERIFY(writeFile(media + QStringLiteral("/c.txt"), "going"));
    QVERIFY(writeFile(media + QStringLiteral("/untouched.txt"), "same"));
    QVERIFY(writeFile(m_device->hostPath(QStringLiteral("/var/mobile")) + QStringLiteral("/busy.log"),
                      "line\n"));
    for (const char *f : {"plink.exe", "chown", "hold.sh"})
        VERIFY_OK(failure(QLatin1String(f), m_ws->pscpTo(QLatin1String(f), QStringLiteral("/"))));
    VERIFY_OK(failure(QStringLiteral("hold.sh"), m_ws->plink(QStringLiteral("hold.sh"))));

    // Meanwhile: rewritten in place with the same size, one gone, one new.
    VERIFY_OK(deviceShell(QString::fromUtf8(
        "printf again | dd of='/var/mobile/Media/b \\ \xc3\xa9%\"'\"'\"'.txt' conv=notrunc 2>/dev/null && "
        "rm /var/mobile/Media/c.txt && mkdir /var/mobile/Media/New && echo new > "
        "/var/mobile/Media/New/d.txt && echo line >> /var/mobile/busy.log")));
    // Stand-in for a program that writes to busy.log whenever it is copied.
    VERIFY_OK(deviceShell(QStringLiteral(
        ". /plink.exe && cp() { command cp \"$@\" || return; case $1 in *busy.log) echo line "
        ">> \"$1\" ;; esac; } && zv_changes >/dev/null")));

    const QString out = m_device->hostPath(QStringLiteral("/private/var/zorvane-changed/Refetched"));
    const QList<QByteArray> lines = readAll(out + QStringLiteral("/changes.txt")).split('\n');
    const auto line = [&lines](const QByteArray &kind, const QString &path) {
        for (const QByteArray &l : lines)
            if (l.startsWith(kind + ' ') && l.endsWith(' ' + path.toUtf8()))
                return l;
        return QByteArray();
    };
    const QByteArray b = line("whole", name);
    QVERIFY2(b.startsWith("whole ") && b.split(' ').value(2) == "5", lines.join('\n').constData());
    QCOMPARE(readAll(out + QStringLiteral("/files/") + QString::fromLatin1(b.split(' ').value(1))),
             QByteArray("again"));
    QVERIFY(!line("whole", QStringLiteral("mobile/Media/New/d.txt")).isEmpty());
    QVERIFY(!line("vanished", QStringLiteral("mobile/Media/c.txt")).isEmpty());
    QVERIFY(!line("changing", QStringLiteral("mobile/busy.log")).isEmpty());
    QVERIFY(!lines.join('\n').contains("untouched"));
    QCOMPARE(lines.value(lines.size() - 2), QByteArray("# end 4"));
    // The line it held, the one added meanwhile, and one for each of the eight copies.
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/var/mobile/busy.log"))),
             QByteArray("line\n").repeated(10));
    for (const char *record : {"/file-sizes.txt", "/owners-modes.txt"}) {
        const QByteArray text = readAll(out + QLatin1String(record));
        QVERIFY2(!text.contains("c.txt") && text.contains("untouched.txt"), text.constData());
    }
}

// The quick repeat's device side: hold.sh lists every entry with names as
// data (a name holding a line break is counted, never read as entries; one
// shaped like a list line stays a name), keeps the list among the backup's
// records, and the device's tar sends named files, links followed, whose
// stream the program's reader puts whole into its staging folder.
void tst_device_scripts::quickRepeatListsAndSendsNamesAsData()
{
    QVERIFY(startDevice());
    const QString media = m_device->hostPath(QStringLiteral("/var/mobile/Media"));
    const QByteArray forged = "f 1 1 1 a b c d e f 1 forged";
    const QByteArray longName = QByteArray(120, 'L') + " -> x | y.txt";
    QVERIFY(writeFile(media + QStringLiteral("/-rf *"), "dash"));
    QVERIFY(writeFile(media + QStringLiteral("/x\\n") + QString::fromUtf8(forged), "break"));
    QVERIFY(writeFile(media + QLatin1Char('/') + QString::fromUtf8(longName), "long"));
    VERIFY_OK(deviceShell(QStringLiteral(
        "printf 'two\\nlines' > \"/var/mobile/Media/nl$(printf '\\nf') 1 2 3\" && "
        "mkdir -p /var/mobile/Media/zv-target && echo in > /var/mobile/Media/zv-target/f && "
        "ln -s zv-target /var/mobile/Media/zv-link")));
    for (const char *f : {"plink.exe", "hold.sh"})
        VERIFY_OK(failure(QLatin1String(f), m_ws->pscpTo(QLatin1String(f), QStringLiteral("/"))));
    VERIFY_OK(failure(QStringLiteral("hold.sh"), m_ws->plink(QStringLiteral("hold.sh"))));

    const QByteArray text =
        readAll(m_device->hostPath(QStringLiteral("/private/var/zorvane-changed/states.txt")));
    QCOMPARE(readAll(m_device->hostPath(QStringLiteral("/var/root/Library/Zorvane/states.txt"))), text);
    const jobs::QuickRepeat::Listing l = jobs::QuickRepeat::parse(text);
    QVERIFY2(l.whole, text.right(2000).constData());
    QCOMPARE(l.lineBreaks, 1);
    QVERIFY(l.listedAt > 0);
    QCOMPARE(l.entries.value("mobile/Media/-rf *").size, 4);
    QCOMPARE(l.entries.value("mobile/Media/x\\n" + forged).size, 5);
    QCOMPARE(l.entries.value("mobile/Media/" + longName).type, 'f');
    QCOMPARE(l.entries.value("mobile/Media/zv-link").type, 'l');
    QCOMPARE(l.entries.value("mobile/Media/zv-target").type, 'd');
    QVERIFY(l.entries.contains("root/Library/Lockdown"));
    QVERIFY(!l.entries.contains("mobile/Media/forged"));
    for (auto it = l.entries.cbegin(); it != l.entries.cend(); ++it)
        QVERIFY2(!it.key().contains("f 1 2 3") && !it.key().startsWith("root/Library/Zorvane"),
                 it.key().constData());

    // The stream of some of them, and the program's reading of it.
    const QList<QByteArray> asked{"mobile/Media/-rf *", "mobile/Media/x\\n" + forged,
                                  "mobile/Media/" + longName, "mobile/Media/zv-link",
                                  "mobile/Media/gone meanwhile"};
    QVERIFY(writeFile(m_device->hostPath(QStringLiteral("/private/var/zorvane-changed/fetch.lst")),
                      asked.join('\0') + '\0'));
    VERIFY_OK(deviceShell(QStringLiteral(". /plink.exe && zv_quick_send >/private/var/tmp/q.tar")));
    QTemporaryDir staging;
    QVERIFY(QDir(staging.path()).mkpath(QStringLiteral("mobile")));
    const jobs::TarStaging::Result r = jobs::TarStaging::extract(
        m_device->hostPath(QStringLiteral("/private/var/tmp/q.tar")), staging.path(),
        QSet<QByteArray>(asked.cbegin(), asked.cend()));
    QVERIFY2(r.whole && r.refused.isEmpty(),
             qPrintable(jobs::TarStaging::report(r).join(QLatin1Char('\n'))));
    QCOMPARE(readAll(staging.path() + QStringLiteral("/mobile/Media/-rf *")), QByteArray("dash"));
    QCOMPARE(readAll(staging.path() + QStringLiteral("/mobile/Media/x\\n") + QString::fromUtf8(forged)),
             QByteArray("break"));
    QCOMPARE(readAll(staging.path() + QStringLiteral("/mobile/Media/") + QString::fromUtf8(longName)),
             QByteArray("long"));
    QCOMPARE(readAll(staging.path() + QStringLiteral("/mobile/Media/zv-link/f")), QByteArray("in\n"));
    QCOMPARE(r.files, 4);
}

QTEST_GUILESS_MAIN(tst_device_scripts)
#include "tst_device_scripts.moc"
