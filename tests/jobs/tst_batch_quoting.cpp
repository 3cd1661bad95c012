// The "set" lines written for typed text: a password (or address) holding
// blanks and batch special characters must reach pscp and plink as exactly
// the typed text, one argument, through the job scripts' fixed lines. Checked
// end to end through zcmd with stand-ins that print their arguments.
#include "ZcmdHarness.h"
#include "jobs/BatchQuoting.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace zcmdtest;

namespace {

// The fixed lines of the job scripts that use %PASS% and %IP%, and the
// arguments the stand-ins print for them.
QByteArray fixedLines()
{
    return "pscp -r -pw %PASS% root@%IP%:/var/mobile .\n"
           "pscp  -r -pw %PASS% root@%IP%:/var/mobile .\n"
           "pscp -r -pw %PASS% chown1 root@%IP%:/\n"
           "plink -ssh %IP% -l root -pw %PASS% -m apps.sh\n";
}

QByteArray expectedArguments(const QString &password, const QString &ip)
{
    const QByteArray pw = password.toUtf8();
    const QByteArray host = ip.toUtf8();
    QByteArray one = "-r\n-pwfile\n" + pw + "\nroot@" + host + ":/var/mobile\n.\n";
    return one + one + "-r\n-pwfile\n" + pw + "\nchown1\nroot@" + host + ":/\n" + "-ssh\n" + host
           + "\n-l\nroot\n-pwfile\n" + pw + "\n-m\napps.sh\n";
}

} // namespace

class tst_batch_quoting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void lineForms_data();
    void lineForms();
    void roundTrip_data();
    void roundTrip();
    void randomTextRoundTrips();
    void unwritableText();

private:
    QByteArray runLines(const QList<QPair<QString, QString>> &settings);
    QTemporaryDir scratch_;
    QString folder_;
};

void tst_batch_quoting::initTestCase()
{
    QVERIFY(scratch_.isValid());
    folder_ = QDir(scratch_.path()).canonicalPath();
    QVERIFY(installStandIn(folder_, QStringLiteral("pscp")));
    QVERIFY(installStandIn(folder_, QStringLiteral("plink")));
}

// Writes one script that sets IP and PASS and runs the fixed lines for every
// pair of (password, address); returns what the stand-ins printed.
QByteArray tst_batch_quoting::runLines(const QList<QPair<QString, QString>> &settings)
{
    QByteArray script = "@echo off\n";
    for (const auto &[password, ip] : settings) {
        script += jobs::batchSetLine(QStringLiteral("IP"), ip).value_or(QString()).toUtf8() + "\n";
        script += jobs::batchSetLine(QStringLiteral("PASS"), password).value_or(QString()).toUtf8()
                  + "\n";
        script += fixedLines();
    }
    if (!writeScript(folder_ + QStringLiteral("/q.bat"), script))
        return "<cannot write script>";
    RunResult run = runZcmd(folder_, {QStringLiteral("/c"), QStringLiteral("\"q.bat\"")});
    return run.finished ? run.output : QByteArray("<did not finish>");
}

void tst_batch_quoting::lineForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("unchanged");
    QTest::addColumn<QString>("line");

    QTest::newRow("plain password") << "fennel" << true << "set PASS=fennel";
    QTest::newRow("address") << "192.168.0.5" << true << "set PASS=192.168.0.5";
    QTest::newRow("harmless punctuation")
        << "p@ss!w.rd,=;:\\x" << true << "set PASS=p@ss!w.rd,=;:\\x";
    QTest::newRow("non-ASCII") << "Grüße" << true << "set PASS=Grüße";
    QTest::newRow("blank") << "a b" << false << "set PASS=\"a b\"";
    QTest::newRow("ampersand") << "a&b" << false << "set PASS=a^^^&b";
    QTest::newRow("percent") << "50%" << false << "set PASS=50%%";
    QTest::newRow("caret") << "^" << false << "set PASS=^^^^";
    QTest::newRow("mixed with an odd quote")
        << "a b&\"c%d" << false << "set PASS=\"a b&\\\"c%%d^^^\"";
    QTest::newRow("even quotes") << "\"&\"" << false << "set PASS=\"\\\"^^^&\\\"\"";
    QTest::newRow("trailing backslash in quotes") << "a b\\" << false << "set PASS=\"a b\\\\\"";
    QTest::newRow("empty") << "" << false << "set PASS=\"\"";
}

void tst_batch_quoting::lineForms()
{
    QFETCH(QString, text);
    QFETCH(bool, unchanged);
    QFETCH(QString, line);
    QCOMPARE(jobs::passesBatchSetUnchanged(text), unchanged);
    QCOMPARE(jobs::batchSetLine(QStringLiteral("PASS"), text), std::optional<QString>(line));
    if (unchanged)
        QCOMPARE(line, QStringLiteral("set PASS=") + text);
}

void tst_batch_quoting::roundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("ip");

    const char *const passwords[] = {
        "fennel",    "a b",
        "a b&\"c%d", "&",
        "&&",        "|",
        "||",        "<",
        ">",         "a>b",
        "2>&1",      "^",
        "^^",        "a^",
        "(",         ")",
        "()",        "(a) b",
        "!",         "!a!",
        "%",         "%%",
        "%PASS%",    "%IP%",
        "%~1",       "%0",
        "\"",        "\"\"",
        "\"\"\"",    "a\"b",
        "\"a b\"",   "\\",
        "\\\\",      "a\\",
        "a b\\",     "a\\\"b",
        "\\\"",      " ",
        "  lead",    "trail  ",
        "\t",        "a\tb",
        "é è",       "Ελληνικά & ^",
        "/?",        "a /? b",
        "=",         "a=b",
        ";,",        "^\"",
        "\"^",       "\"&\"&\"",
        "@echo",     ":label",
        "rem x",     "if a==a",
        "x & exit",  "%ERRORLEVEL%",
        "^&^",       "\"%\"",
        "%\"%",
    };
    for (const char *pw : passwords)
        QTest::newRow(pw) << QString::fromUtf8(pw) << QStringLiteral("10.0.0.2");
    QTest::newRow("address with blank") << QStringLiteral("pw") << QStringLiteral("host name");
    QTest::newRow("address with specials") << QStringLiteral("p w") << QStringLiteral("a&b^c%d\"e");
}

void tst_batch_quoting::roundTrip()
{
    QFETCH(QString, password);
    QFETCH(QString, ip);
    QCOMPARE(runLines({{password, ip}}), expectedArguments(password, ip));
}

// Many random texts over the characters that matter, in one script.
void tst_batch_quoting::randomTextRoundTrips()
{
    const QString alphabet = QStringLiteral("ab &%^|<>\"()!\\\t=;,/?éΩ");
    QRandomGenerator random(20240611);
    QList<QPair<QString, QString>> settings;
    QByteArray expected;
    for (int i = 0; i < 120; ++i) {
        QString password;
        const int length = 1 + random.bounded(12);
        for (int j = 0; j < length; ++j)
            password += alphabet.at(random.bounded(alphabet.size()));
        settings.append({password, QStringLiteral("10.0.0.2")});
        expected += expectedArguments(password, QStringLiteral("10.0.0.2"));
    }
    QCOMPARE(runLines(settings), expected);
}

void tst_batch_quoting::unwritableText()
{
    for (const QString &text : {QStringLiteral("a\nb"), QStringLiteral("a\rb"),
                                QString(QChar(0x1a)), QStringLiteral("x") + QChar(0)}) {
        QVERIFY(!jobs::isBatchWritable(text));
        QVERIFY(!jobs::passesBatchSetUnchanged(text));
        QVERIFY(!jobs::batchSetLine(QStringLiteral("PASS"), text).has_value());
    }
}

QTEST_GUILESS_MAIN(tst_batch_quoting)
#include "tst_batch_quoting.moc"
