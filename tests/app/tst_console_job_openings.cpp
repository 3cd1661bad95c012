// The opening lines of every job script that runs through the command runner,
// run for real: the runner, the Console and zcmd, the interpreter the program
// uses. zcmd writes the "Cls" form feed and the next echo line so close
// together that the runner often reads them as one chunk; the transcript must
// have the same shape however the output was cut.
#include "support/SuiteFixture.h"

#include "app/Console.h"
#include "jobs/BackupNames.h"
#include "jobs/JobScripts.h"
#include "runner/ReadOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextEdit>
#include <QtTest>
#include <memory>

namespace {

const QString kStartUp = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge");
const QString kBanner = QStringLiteral("**Farrowmoss's Output Console**\r\n");
constexpr int kRuns = 50;

// The script's lines up to its first contact with a device or a process.
jobs::JobScript openingLines(const jobs::JobScript &whole)
{
    jobs::JobScript opening(whole.fileName());
    for (const QString &line : whole.lines()) {
        const QString word =
            line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty).toLower();
        if (word == QLatin1String("pscp") || word == QLatin1String("plink")
            || word == QLatin1String("iphuc") || word == QLatin1String("taskkill.exe")
            || word == QLatin1String("stagenames.exe") || word == QLatin1String("backupcheck.exe"))
            break;
        opening.line(line);
    }
    return opening;
}

// What the lines print in a folder without a backup: the text of every echo
// line not redirected elsewhere, past the ones that a jump over a missing
// file skips (a backup's recovery of an interrupted run).
QString echoed(const jobs::JobScript &script)
{
    static const QRegularExpression jump(QStringLiteral("^if not exist (\\S+) goto (\\S+)$"));
    QString out;
    QString skipTo;
    for (const QString &line : script.lines()) {
        if (!skipTo.isEmpty()) {
            if (line == QLatin1Char(':') + skipTo)
                skipTo.clear();
            continue;
        }
        const QRegularExpressionMatch m = jump.match(line);
        if (m.hasMatch() && !QFileInfo::exists(m.captured(1)))
            skipTo = m.captured(2);
        else if (line.startsWith(QLatin1String("echo ")) && !line.contains(QLatin1Char('>')))
            out += line.mid(5) + QStringLiteral("\r\n");
    }
    return out;
}

} // namespace

class tst_console_job_openings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        const QString zcmd = qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/zcmd");
        QVERIFY2(QFileInfo(zcmd).isExecutable(), qPrintable(zcmd));
        m_fixture->useInterpreter(zcmd.toLocal8Bit());
    }
    void cleanupTestCase() { m_fixture.reset(); }

    void everyRunStartsWithCommandThenBanner_data()
    {
        const jobs::ConnectionSettings cs(QStringLiteral("127.0.0.1"), QStringLiteral("fennel"));
        const QString version = QStringLiteral("1.0.5");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const QString &command, const jobs::JobScript &whole) {
            const jobs::JobScript opening = openingLines(whole);
            QTest::newRow(qPrintable(opening.fileName()))
                << command << opening.fileName() << opening.lines();
        };
        row(QStringLiteral("Yes.bat"), jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), true, version, cs));
        row(QStringLiteral("no.bat"), jobs::backupScript(jobs::jobDescription(jobs::Job::Backup), false, version, cs));
        row(QStringLiteral("PutFilesBack.bat"), jobs::restoreScript(jobs::jobDescription(jobs::Job::Restore), version, cs));
        row(QStringLiteral("apps.bat"), jobs::relocationScript(jobs::jobDescription(jobs::Job::ApplicationsRelocation), false, cs));
        row(QStringLiteral("fonts.bat"), jobs::relocationScript(jobs::jobDescription(jobs::Job::FontsRelocation), true, cs));
    }
    void everyRunStartsWithCommandThenBanner()
    {
        QFETCH(QString, command);
        QFETCH(QString, fileName);
        QFETCH(QStringList, lines);
        jobs::JobScript script(fileName);
        script.lines(lines);
        QVERIFY(script.lines().contains(QStringLiteral("Cls")));
        QString error;
        QVERIFY2(script.write(&error), qPrintable(error));
        const QString expected = kBanner + echoed(script) + QStringLiteral("\r\nC:\\> ");

        QTextEdit output;
        Console console(&output);
        ReadOutput runner;
        console.attach(&runner);
        QString afterStarting;
        // Connected after the Console's own handler: sees what it appended.
        connect(&runner, &ReadOutput::Starting, this, [&] { afterStarting = console.text(); });
        runner.SetCommand(command);
        for (int run = 0; run < kRuns; ++run) {
            console.setText(kStartUp);
            runner.ProcessCommand();
            QCOMPARE(afterStarting, kStartUp + command + QStringLiteral("\r\n"));
            QCOMPARE(console.text(), expected);
            // The backup sets its previous copy aside; every run starts without one.
            QVERIFY(QDir(jobs::kPreviousBackupFolder).removeRecursively());
        }
        console.flush();
        QCOMPARE(output.toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")), expected);
    }

    void dfuScriptHasNoBanner()
    {
        // DFU.bat clears nothing: its transcript follows the command name.
        const jobs::JobScript script = openingLines(jobs::dfuScript(jobs::jobDescription(jobs::Job::Dfu)));
        QVERIFY(!script.lines().contains(QStringLiteral("Cls")));
        QString error;
        QVERIFY2(script.write(&error), qPrintable(error));
        QTextEdit output;
        Console console(&output);
        ReadOutput runner;
        console.attach(&runner);
        runner.SetCommand(QStringLiteral("DFU.bat"));
        for (int run = 0; run < kRuns; ++run) {
            console.setText(kStartUp);
            runner.ProcessCommand();
            QCOMPARE(console.text(), kStartUp + QStringLiteral("DFU.bat\r\n") + echoed(script)
                                         + QStringLiteral("\r\nC:\\> "));
        }
    }

private:
    std::unique_ptr<SuiteFixture> m_fixture;
};

QTEST_MAIN(tst_console_job_openings)
#include "tst_console_job_openings.moc"
