// The completion programs: each shows one window that says which job ended and
// closes with its OK button.
#include "CompletionBox.h"
#include "platform/CaptionFont.h"
#include "support/CaptionFit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(complete::Job)

class tst_complete : public QObject {
    Q_OBJECT

private slots:
    void eachProgramIsBuilt_data();
    void eachProgramIsBuilt();
    void boxTellsWhichJobEndedAndClosesWithOk_data();
    void boxTellsWhichJobEndedAndClosesWithOk();
    void textsDifferBetweenPrograms();
    void captionsFitInTheStandInFace();
};

void tst_complete::eachProgramIsBuilt_data()
{
    QTest::addColumn<QString>("program");
    for (const char *p : {"BackupComplete", "RestoreComplete", "SymlinkComplete", "DFUmode"})
        QTest::newRow(p) << QString::fromLatin1(p);
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
    QTest::newRow("backup") << complete::Job::Backup << QStringLiteral("BackupComplete") << QStringLiteral("backup");
    QTest::newRow("restore") << complete::Job::Restore << QStringLiteral("RestoreComplete") << QStringLiteral("put back");
    QTest::newRow("symlink") << complete::Job::Symlink << QStringLiteral("SymlinkComplete") << QStringLiteral("linking");
    QTest::newRow("dfu") << complete::Job::Dfu << QStringLiteral("DFUmode") << QStringLiteral("DFU mode");
}

void tst_complete::boxTellsWhichJobEndedAndClosesWithOk()
{
    QFETCH(complete::Job, job);
    QFETCH(QString, name);
    QFETCH(QString, mentions);
    std::unique_ptr<QMessageBox> box(complete::createBox(job));
    QCOMPARE(box->objectName(), name);
    QVERIFY(box->text().contains(mentions, Qt::CaseInsensitive));
    QVERIFY(!box->windowTitle().isEmpty());
    QCOMPARE(box->icon(), QMessageBox::Information);
    QCOMPARE(box->buttons().size(), 1);

    // Shown as the program shows it; the OK button ends it.
    bool clicked = false;
    QTimer::singleShot(0, this, [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown || shown->objectName() != name)
            return;
        QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
        clicked = true;
    });
    QTimer::singleShot(10000, box.get(), [&] { box->done(-1); });   // never hang on a failure
    const int answer = box->exec();
    QVERIFY(clicked);
    QCOMPARE(answer, int(QMessageBox::Ok));
}

void tst_complete::textsDifferBetweenPrograms()
{
    QSet<QString> texts, titles;
    for (complete::Job job : {complete::Job::Backup, complete::Job::Restore, complete::Job::Symlink, complete::Job::Dfu}) {
        texts << complete::messageFor(job).text;
        titles << complete::messageFor(job).title;
    }
    QCOMPARE(texts.size(), 4);
    QCOMPARE(titles.size(), 4);
}

void tst_complete::captionsFitInTheStandInFace()
{
    for (complete::Job job : {complete::Job::Backup, complete::Job::Restore, complete::Job::Symlink,
                              complete::Job::Dfu}) {
        std::unique_ptr<QMessageBox> box(complete::createBox(job));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(QFontInfo(box->font()).family(), platform::CaptionFont::family());
        const QStringList overflows = captionfit::overflowsWithin(box.get());
        QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
    }
}

QTEST_MAIN(tst_complete)
#include "tst_complete.moc"
