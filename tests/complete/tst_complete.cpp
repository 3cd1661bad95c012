// The completion programs: each shows one window that says which job ended and
// how, from the notes and transcript the job left, and closes with its OK button.
#include "CompletionBox.h"
#include "ZcmdHarness.h"
#include "platform/desktop/CaptionFont.h"
#include "support/CaptionFit.h"
#include "support/FolderFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(complete::Job)

namespace {

// Every job a completion program reports, one per program.
#define ZORVANE_COMPLETION_JOB(kind, word, program) complete::Job::kind,
const QList<complete::Job> kJobs{ZORVANE_JOB_COMPLETIONS(ZORVANE_COMPLETION_JOB)};
#undef ZORVANE_COMPLETION_JOB

// What a job that did everything it was for leaves beside the program.
void leaveSuccessfulRun(complete::Job job)
{
    const char *notes = "";
    const char *transcript = "output\r\n";
    switch (job) {
    case complete::Job::Backup:
        notes = "job backup\r\nverified 10 1000 0 0\r\nkept new\r\nend\r\n";
        break;
    case complete::Job::Restore:
        notes = "job restore\r\nend\r\n";
        transcript = "Zorvane restore check: OK, every file of the backup is on the device\r\n";
        break;
    case complete::Job::Relocation: notes = "job relocation\r\nend\r\n"; break;
    case complete::Job::Dfu: notes = "job dfu\r\nend\r\n"; break;
    }
    QFile n(QStringLiteral("LastJob.txt")), t(QStringLiteral("LastJob.log"));
    QVERIFY(n.open(QIODevice::WriteOnly) && n.write(notes) >= 0);
    QVERIFY(t.open(QIODevice::WriteOnly) && t.write(transcript) >= 0);
}

} // namespace

class tst_complete : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<FolderFixture>();
        QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
    }
    void cleanup() { m_folder.reset(); }
    void eachProgramIsBuilt_data();
    void eachProgramIsBuilt();
    void boxTellsWhichJobEndedAndClosesWithOk_data();
    void boxTellsWhichJobEndedAndClosesWithOk();
    void textsDifferBetweenPrograms();
    void failedJobIsAWarningWithItsTranscript();
    void captionsFitInTheStandInFace();
    void leftOverScriptsGoOnceTheirInterpreterIsDone();

private:
    std::unique_ptr<FolderFixture> m_folder;
};

void tst_complete::eachProgramIsBuilt_data()
{
    QTest::addColumn<QString>("program");
    for (complete::Job job : kJobs) {
        const QString program = jobs::JobOutcome::completionProgram(job);
        QTest::newRow(qPrintable(program)) << program;
    }
}

void tst_complete::eachProgramIsBuilt()
{
    QFETCH(QString, program);
    const QFileInfo info(qEnvironmentVariable("ZORVANE_BIN_DIR") + QLatin1Char('/') + program);
    QVERIFY2(info.isFile() && info.isExecutable(), qPrintable(info.filePath()));
}

void tst_complete::boxTellsWhichJobEndedAndClosesWithOk_data()
{
    QTest::addColumn<complete::Job>("job");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mentions");
    for (complete::Job job : kJobs) {
        // The words the box of each job's program says it with.
        QString mentions;
        switch (job) {
        case complete::Job::Backup: mentions = QStringLiteral("backup"); break;
        case complete::Job::Restore: mentions = QStringLiteral("put back"); break;
        case complete::Job::Relocation: mentions = QStringLiteral("linked"); break;
        case complete::Job::Dfu: mentions = QStringLiteral("DFU mode"); break;
        }
        const QString program = jobs::JobOutcome::completionProgram(job);
        QTest::newRow(qPrintable(program)) << job << program << mentions;
    }
}

void tst_complete::boxTellsWhichJobEndedAndClosesWithOk()
{
    QFETCH(complete::Job, job);
    QFETCH(QString, name);
    QFETCH(QString, mentions);
    leaveSuccessfulRun(job);
    std::unique_ptr<QMessageBox> box(complete::createBox(job));
    QCOMPARE(box->objectName(), name);
    QVERIFY(box->text().contains(mentions, Qt::CaseInsensitive));
    QVERIFY(!box->windowTitle().isEmpty());
    QCOMPARE(box->icon(), QMessageBox::Information);
    // OK is its only answer (the details of the run are one click away).
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));

    // Shown as the program shows it; the OK button ends it.
    bool clicked = false;
    QTimer::singleShot(0, this, [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown || shown->objectName() != name)
            return;
        QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
        clicked = true;
    });
    QTimer::singleShot(10000, box.get(), [&] { box->done(-1); }); // never hang on a failure
    const int answer = box->exec();
    QVERIFY(clicked);
    QCOMPARE(answer, int(QMessageBox::Ok));
}

void tst_complete::textsDifferBetweenPrograms()
{
    QSet<QString> texts, titles;
    for (complete::Job job : kJobs) {
        leaveSuccessfulRun(job);
        texts << complete::messageFor(job).text;
        titles << complete::messageFor(job).title;
    }
    QCOMPARE(texts.size(), kJobs.size());
    QCOMPARE(titles.size(), kJobs.size());
}

void tst_complete::failedJobIsAWarningWithItsTranscript()
{
    QFile n(QStringLiteral("LastJob.txt")), t(QStringLiteral("LastJob.log"));
    QVERIFY(n.open(QIODevice::WriteOnly));
    n.write("job dfu\r\nfailed the first USB phase (phase1.script)\r\nend\r\n");
    n.close();
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("DFU.bat\r\niphuc: no iPod Touch or iPhone is connected over USB.\r\n");
    t.close();
    std::unique_ptr<QMessageBox> box(complete::createBox(complete::Job::Dfu));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QVERIFY(box->text().contains(QStringLiteral("did NOT complete")));
    QVERIFY(box->text().contains(QStringLiteral("No iPod Touch or iPhone was found on USB")));
    QVERIFY(box->detailedText().contains(QStringLiteral("iphuc: no iPod Touch")));

    // Notes of another job, or none, never read as a success.
    QVERIFY(QFile::remove(QStringLiteral("LastJob.txt")));
    box.reset(complete::createBox(complete::Job::Backup));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QVERIFY(!box->text().contains(QStringLiteral("complete and checked")));
}

// Done or failed, each box's captions lie whole in it and its title in its
// title bar.
void tst_complete::captionsFitInTheStandInFace()
{
    for (complete::Job job : kJobs) {
        for (const bool failed : {false, true}) {
            leaveSuccessfulRun(job);
            if (failed) {
                QFile n(QStringLiteral("LastJob.txt"));
                QVERIFY(n.open(QIODevice::Append));
                n.write("failed sending the backup to the device\r\n");
            }
            std::unique_ptr<QMessageBox> box(complete::createBox(job));
            QCOMPARE(box->icon() == QMessageBox::Warning, failed);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QCOMPARE(QFontInfo(box->font()).family(), platform::CaptionFont::family());
            QStringList overflows = captionfit::overflowsWithin(box.get());
            const QString title = captionfit::titleOverflow(box.get());
            if (!title.isEmpty())
                overflows.append(title);
            QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
        }
    }
}

// The job's script (and any an earlier job left) holds the device's
// password: the completion program removes it once the interpreter running it
// is done, not before; SSH.bat, which the program keeps while unchanged, stays.
void tst_complete::leftOverScriptsGoOnceTheirInterpreterIsDone()
{
    const QByteArray waits = "@echo off\r\necho running\r\npause >NUL\r\nexit\r\n";
    for (const char *name : {"DFU.bat", "Yes.bat", "SSH.bat"}) {
        QFile script{QLatin1String(name)};
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write(waits) == waits.size());
    }
    QProcess job; // the script that starts the completion program at its end
    job.setProgram(zcmdtest::zcmdPath());
    job.setArguments({QStringLiteral("/c"), QStringLiteral("\"DFU.bat\"")});
    job.start();
    QVERIFY(job.waitForReadyRead(20000)); // "running": the script holds its lock

    QProcess completion;
    completion.setProgram(qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/DFUmode"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    completion.setProcessEnvironment(env);
    completion.start();
    QVERIFY(completion.waitForStarted(20000));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("Yes.bat")), 20000);
    QVERIFY(QFile::exists(QStringLiteral("DFU.bat")));

    job.write("\n");
    QVERIFY(job.waitForFinished(20000));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("DFU.bat")), 20000);
    QVERIFY(QFile::exists(QStringLiteral("SSH.bat")));
    QCOMPARE(completion.state(), QProcess::Running); // its window waits for the user
    completion.kill();
    QVERIFY(completion.waitForFinished(20000));
}

QTEST_MAIN(tst_complete)
#include "tst_complete.moc"
