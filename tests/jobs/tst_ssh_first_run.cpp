// What the SSH first run reads to tell its outcome: PuTTY's key cache (where it
// lies and what it holds) and the script's note about its copy.
#include "jobs/DeviceIdentity.h"
#include "jobs/HostKeyCache.h"
#include "jobs/SshFirstRunOutcome.h"
#include "platform/PuttyHostKeyFile.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using jobs::SshCopyResult;
using jobs::SshFirstRunOutcome;

class tst_SshFirstRun : public QObject {
    Q_OBJECT
private slots:
    void cacheHoldsAKeyOnlyForTheAddressAndPortAsTyped();
    void cacheLiesWherePuttyToolsKeepIt();
    void cacheFollowsThePuttyToolsFallbacks();
    void outcomeFollowsTheKeyAndTheCopy_data();
    void outcomeFollowsTheKeyAndTheCopy();
    void onlyAStoredKeyIsReportedComplete();
};

void tst_SshFirstRun::cacheHoldsAKeyOnlyForTheAddressAndPortAsTyped()
{
    const jobs::HostKeyCache cache("rsa2@22:10.0.0.2 0x23,0xc0ffee\r\n"
                                   "ssh-ed25519@2222:10.0.0.3 0x1a,0x2b\n"
                                   "ecdsa-sha2-nistp256@22:10.0.0.40 0x1,0x2,0x3\n"
                                   "rsa2@22:10.0.0.5\n"
                                   "rsa2@22:ipod.local 0x23,0x99");
    QVERIFY(cache.holdsKeyFor(QStringLiteral("10.0.0.2")));
    QVERIFY(cache.holdsKeyFor(QStringLiteral("10.0.0.40")));
    QVERIFY(cache.holdsKeyFor(QStringLiteral("ipod.local")));
    QVERIFY(cache.holdsKeyFor(QStringLiteral("10.0.0.3"), 2222));
    QVERIFY(!cache.holdsKeyFor(QStringLiteral("10.0.0.3"))); // another port
    QVERIFY(!cache.holdsKeyFor(QStringLiteral("10.0.0.4"))); // a longer address is another host
    QVERIFY(!cache.holdsKeyFor(QStringLiteral("0.0.0.2")));
    QVERIFY(!cache.holdsKeyFor(QStringLiteral("10.0.0.5"))); // a name without its key
    QVERIFY(!jobs::HostKeyCache(QByteArray()).holdsKeyFor(QStringLiteral("10.0.0.2")));
    QCOMPARE(cache.keyFor(QStringLiteral("10.0.0.2")), QByteArray("rsa2 0x23,0xc0ffee"));
    QCOMPARE(cache.keyFor(QStringLiteral("10.0.0.3"), 2222), QByteArray("ssh-ed25519 0x1a,0x2b"));
    QCOMPARE(cache.keyFor(QStringLiteral("10.0.0.5")), QByteArray());
    // A device's record: its key type and a digest of its key, safe to echo.
    const QString record = jobs::DeviceIdentity::fromKey(cache.keyFor(QStringLiteral("10.0.0.2")));
    QVERIFY2(
        QRegularExpression(QStringLiteral("^hostkey rsa2 [0-9a-f]{32}$")).match(record).hasMatch(),
        qPrintable(record));
    QVERIFY(record != jobs::DeviceIdentity::fromKey("rsa2 0x23,0xc0ffef"));
    QCOMPARE(jobs::DeviceIdentity::fromKey("ss%h&<x> 0x1").section(QLatin1Char(' '), 1, 1),
             QStringLiteral("sshx"));
}

void tst_SshFirstRun::cacheLiesWherePuttyToolsKeepIt()
{
    // The order pscp 0.78 (putty-tools) follows.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray names[] = {"HOME", "XDG_CONFIG_HOME", "PUTTYDIR", "PUTTYSSHHOSTKEYS"};
    QHash<QByteArray, QByteArray> saved;
    for (const QByteArray &name : names) {
        if (qEnvironmentVariableIsSet(name.constData()))
            saved.insert(name, qgetenv(name.constData()));
        qunsetenv(name.constData());
    }
    const auto restore = qScopeGuard([&] {
        for (const QByteArray &name : names) {
            if (saved.contains(name))
                qputenv(name.constData(), saved.value(name));
            else
                qunsetenv(name.constData());
        }
    });
    const QString home = dir.filePath(QStringLiteral("home"));
    qputenv("HOME", home.toLocal8Bit());

    QCOMPARE(platform::puttyHostKeyFile(), home + QStringLiteral("/.putty/sshhostkeys"));
    QVERIFY(QDir().mkpath(home + QStringLiteral("/.config/putty")));
    QCOMPARE(platform::puttyHostKeyFile(), home + QStringLiteral("/.config/putty/sshhostkeys"));

    const QString config = dir.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    QCOMPARE(platform::puttyHostKeyFile(), home + QStringLiteral("/.putty/sshhostkeys"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/putty")));
    QCOMPARE(platform::puttyHostKeyFile(), config + QStringLiteral("/putty/sshhostkeys"));

    qputenv("PUTTYDIR", dir.filePath(QStringLiteral("p")).toLocal8Bit());
    QCOMPARE(platform::puttyHostKeyFile(), dir.filePath(QStringLiteral("p/sshhostkeys")));
    qputenv("PUTTYSSHHOSTKEYS", dir.filePath(QStringLiteral("keys")).toLocal8Bit());
    QCOMPARE(platform::puttyHostKeyFile(), dir.filePath(QStringLiteral("keys")));

    // Read through the platform's environment: what a stand-in sets or unsets wins.
    fake::Services fakes = fake::install();
    const auto unfake = qScopeGuard([] { fake::restore(); });
    fakes.environment->unset << "PUTTYSSHHOSTKEYS"
                             << "PUTTYDIR";
    QCOMPARE(platform::puttyHostKeyFile(), config + QStringLiteral("/putty/sshhostkeys"));
    fakes.environment->setVariable("PUTTYDIR", "/stand-in");
    QCOMPARE(platform::puttyHostKeyFile(), QStringLiteral("/stand-in/sshhostkeys"));
}

void tst_SshFirstRun::cacheFollowsThePuttyToolsFallbacks()
{
    // Stand-in folders: the lookup asks this set whether a folder exists.
    QSet<QString> folders;
    platform::PuttyLookup l;
    l.accountHome = QStringLiteral("/home/user");
    l.exists = [&folders](const QString &f) { return folders.contains(f); };
    l.home = QStringLiteral("/tmp/elsewhere");
    // A HOME without ".putty": pscp reads the account's own when it exists.
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/tmp/elsewhere/.putty/sshhostkeys"));
    folders.insert(QStringLiteral("/home/user/.putty"));
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/home/user/.putty/sshhostkeys"));
    folders.insert(QStringLiteral("/tmp/elsewhere/.putty"));
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/tmp/elsewhere/.putty/sshhostkeys"));
    // HOME unset: the account's home, for the configuration folder too.
    l.home.reset();
    folders.insert(QStringLiteral("/home/user/.config/putty"));
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/home/user/.config/putty/sshhostkeys"));
    // HOME set but empty counts as set: "/.putty" before the account's.
    folders.clear();
    folders.insert(QStringLiteral("/home/user/.putty"));
    folders.insert(QStringLiteral("/.putty"));
    l.home = QString();
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/.putty/sshhostkeys"));
    l.hostKeysFile = QStringLiteral("/k");
    QCOMPARE(platform::puttyHostKeyFile(l), QStringLiteral("/k"));
}

void tst_SshFirstRun::outcomeFollowsTheKeyAndTheCopy_data()
{
    QTest::addColumn<bool>("keyStored");
    QTest::addColumn<QByteArray>("note");
    QTest::addColumn<bool>("timeIsUp");
    QTest::addColumn<SshFirstRunOutcome>("outcome");
    QTest::newRow("unanswered") << false << QByteArray() << false << SshFirstRunOutcome::Waiting;
    // The key is written before the copy runs: the copy may still fail.
    QTest::newRow("key stored, copy running")
        << true << QByteArray() << false << SshFirstRunOutcome::Waiting;
    QTest::newRow("note half written")
        << false << QByteArray("cop") << false << SshFirstRunOutcome::Waiting;
    QTest::newRow("stored") << true << QByteArray("copied\r\n") << false
                            << SshFirstRunOutcome::KeyStored;
    QTest::newRow("answered n") << false << QByteArray("copied\r\n") << false
                                << SshFirstRunOutcome::KeyDeclined;
    QTest::newRow("wrong password")
        << true << QByteArray("failed\r\n") << false << SshFirstRunOutcome::KeyStoredCopyFailed;
    QTest::newRow("abandoned or unreachable")
        << false << QByteArray("failed\r\n") << false << SshFirstRunOutcome::NotConnected;
    QTest::newRow("no answer in time")
        << false << QByteArray() << true << SshFirstRunOutcome::NoAnswer;
    QTest::newRow("key stored, copy hangs")
        << true << QByteArray() << true << SshFirstRunOutcome::KeyStored;
    // The copy went through, but a copy that may ask nothing was refused the
    // key: the stored key is an old one (changed key answered "n"), or none.
    QTest::newRow("changed key refused") << true << QByteArray("keynotstored\r\n") << false
                                         << SshFirstRunOutcome::KeyChangedDeclined;
    QTest::newRow("new key refused")
        << false << QByteArray("keynotstored\r\n") << false << SshFirstRunOutcome::KeyDeclined;
}

void tst_SshFirstRun::outcomeFollowsTheKeyAndTheCopy()
{
    QFETCH(bool, keyStored);
    QFETCH(QByteArray, note);
    QFETCH(bool, timeIsUp);
    QFETCH(SshFirstRunOutcome, outcome);
    QCOMPARE(jobs::sshFirstRunOutcome(keyStored, jobs::sshCopyResult(note), timeIsUp), outcome);
}

void tst_SshFirstRun::onlyAStoredKeyIsReportedComplete()
{
    const QString executing =
        QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                       "Executing SSH on first time run....\r\n"
                       "Please wait for the command prompt window to close.\r\n");
    QCOMPARE(
        jobs::sshFirstRunConsoleText(SshFirstRunOutcome::KeyStored, QStringLiteral("10.0.0.2")),
        executing
            + QStringLiteral("SSH Complete.\r\nYou can now run the Backup or Restore options "
                             "when the command prompt closes!"));
    const struct {
        SshFirstRunOutcome outcome;
        const char *says;
    } others[] = {
        {SshFirstRunOutcome::Waiting, "Waiting for the SSH window"},
        {SshFirstRunOutcome::KeyStoredCopyFailed, "the password was not accepted"},
        {SshFirstRunOutcome::KeyDeclined, "this once without keeping its key"},
        {SshFirstRunOutcome::NotConnected, "or no device answered at 10.0.0.2."},
        {SshFirstRunOutcome::NoAnswer, "key was NOT stored: no answer came"},
        {SshFirstRunOutcome::NotStarted, "could not be opened"},
        {SshFirstRunOutcome::KeyChangedDeclined, "key has changed since it was stored"},
    };
    for (const auto &other : others) {
        const QString text =
            jobs::sshFirstRunConsoleText(other.outcome, QStringLiteral("10.0.0.2"));
        QVERIFY2(text.startsWith(executing), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String(other.says)), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("Complete")), qPrintable(text));
        QCOMPARE(jobs::isFinal(other.outcome), other.outcome != SshFirstRunOutcome::Waiting);
    }
}

QTEST_GUILESS_MAIN(tst_SshFirstRun)
#include "tst_ssh_first_run.moc"
