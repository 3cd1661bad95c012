#include "jobs/ConnectionSettings.h"
#include "jobs/JobScripts.h"
#include "support/SuiteFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

// Passwords full of the interpreter's special characters reach pscp exactly:
// the device accepts the login only if the typed text arrived unchanged.
class tst_passwords_e2e : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why = SuiteFixture::whyDeviceCannotRun(SuiteFixture::ProcessIds::Shared);
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        m_fixture = std::make_unique<SuiteFixture>(SuiteFixture::Folder::ProgramCopy);
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        QVERIFY2(m_fixture->startDevice({}, SuiteFixture::HostKey::Stored, &why), qPrintable(why));
    }
    void cleanupTestCase() { m_fixture.reset(); }

    void passwordReachesPscp_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QStringLiteral("fennel");
        QTest::newRow("blank") << QStringLiteral("two words");
        QTest::newRow("ampersand") << QStringLiteral("a&b&&c");
        QTest::newRow("percent") << QStringLiteral("100%sure%PATH%");
        QTest::newRow("caret") << QStringLiteral("x^y^");
        QTest::newRow("pipe and arrows") << QStringLiteral("a|b<c>d");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\" \"");
        QTest::newRow("parentheses") << QStringLiteral("(a)b)");
        QTest::newRow("exclamation") << QStringLiteral("wow!x!");
        QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\\\\"x\\");
        QTest::newRow("non-ASCII") << QStringLiteral("Grüße äöü ß €");
        QTest::newRow("everything") << QStringLiteral(" a b&\"c%d^e|f<g>h(i)j!k \"\\ ");
    }
    void passwordReachesPscp()
    {
        QFETCH(QString, password);
        setDevicePassword(password);
        QVERIFY(m_fixture->device().shell(QStringLiteral("rm -f /tmp/pwned.jpg")).exitCode == 0);

        const jobs::ConnectionSettings cs(QStringLiteral("127.0.0.1"), password);
        QVERIFY(cs.isValid());
        jobs::JobScript script(QStringLiteral("Login.bat"));
        script.line(QStringLiteral("@echo off"));
        script.lines(jobs::connectionLines(cs));
        script.line(QStringLiteral("pscp -r -pw %PASS% pwned.jpg root@%IP%:/tmp"));
        script.line(QStringLiteral("exit"));
        QString error;
        QVERIFY(script.write(&error));

        QProcess zcmd;
        zcmd.setStandardInputFile(QProcess::nullDevice());
        zcmd.start(m_fixture->file(QStringLiteral("zcmd")),
                   {QStringLiteral("/c"), QStringLiteral("\"Login.bat\"")});
        QVERIFY(zcmd.waitForFinished(60000));
        const QByteArray output = zcmd.readAllStandardOutput() + zcmd.readAllStandardError();
        QVERIFY2(QFileInfo(m_fixture->device().hostPath(QStringLiteral("/tmp"))
                           + QStringLiteral("/pwned.jpg"))
                     .isFile(),
                 output.constData());
    }

    void wrongPasswordIsRefused()
    {
        // The check above means something: another text does not log in.
        setDevicePassword(QStringLiteral("a&b"));
        QVERIFY(m_fixture->device().shell(QStringLiteral("rm -f /tmp/pwned.jpg")).exitCode == 0);
        QProcess pscp;
        pscp.setStandardInputFile(QProcess::nullDevice());
        pscp.start(QStringLiteral("pscp"),
                   {QStringLiteral("-batch"), QStringLiteral("-pw"), QStringLiteral("a"),
                    m_fixture->file(QStringLiteral("pwned.jpg")),
                    QStringLiteral("root@127.0.0.1:/tmp")});
        QVERIFY(pscp.waitForFinished(60000));
        QVERIFY(pscp.exitCode() != 0);
        QVERIFY(!QFileInfo::exists(m_fixture->device().hostPath(QStringLiteral("/tmp"))
                                   + QStringLiteral("/pwned.jpg")));
    }

private:
    // Gives the device's root the password, in the private shadow file its
    // server reads (written in place, so the server's view of it changes too).
    void setDevicePassword(const QString &password)
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("passwd"), QStringLiteral("-6"), password});
        QVERIFY(openssl.waitForFinished(30000));
        const QByteArray hash = openssl.readAllStandardOutput().trimmed();
        QVERIFY(hash.startsWith("$6$"));
        QFile shadow(QFileInfo(m_fixture->device().treePath())
                         .dir()
                         .filePath(QStringLiteral("state/shadow")));
        QVERIFY(shadow.open(QIODevice::ReadWrite));
        QList<QByteArray> lines = shadow.readAll().split('\n');
        for (QByteArray &line : lines) {
            if (line.startsWith("root:")) {
                QList<QByteArray> fields = line.split(':');
                fields[1] = hash;
                line = fields.join(':');
            }
        }
        shadow.resize(0);
        shadow.seek(0);
        shadow.write(lines.join('\n'));
    }

    std::unique_ptr<SuiteFixture> m_fixture;
};

QTEST_MAIN(tst_passwords_e2e)
#include "tst_passwords_e2e.moc"
