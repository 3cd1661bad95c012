#include "about/frmAbout.h"
#include "alert/frmAlert.h"
#include "app/Console.h"
#include "app/ExitCleanup.h"
#include "app/InstructionDocuments.h"
#include "app/JobControlMap.h"
#include "app/frmMain.h"
#include "jobs/JobTable.h"
#include "platform/CoreServices.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using app::frmMain;

namespace {

QList<alert::frmAlert *> openAlerts()
{
    QList<alert::frmAlert *> alerts;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *a = qobject_cast<alert::frmAlert *>(w))
            alerts.append(a);
    }
    return alerts;
}

void touch(const QString &name)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

// Stand-in for a disk on which one named file cannot be deleted.
class StubbornFiles : public platform::QtFileSystem {
public:
    explicit StubbornFiles(QString stuck)
        : m_stuck(std::move(stuck))
    {}
    bool deleteFile(const QString &name) override
    {
        return name == m_stuck ? false : platform::QtFileSystem::deleteFile(name);
    }

private:
    QString m_stuck;
};

// Notes the names of the widgets it watches as they are hidden, in order
// (also those on a pane out of sight).
class HideOrder : public QObject {
public:
    QStringList names;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::HideToParent)
            names.append(watched->objectName());
        return false;
    }
};

} // namespace

class tst_main_window : public QObject {
    Q_OBJECT

public:
    // Runs before the QApplication exists, as the program's main() does.
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_fakes = m_fixture->fakes();
    }
    void cleanup()
    {
        platform::Platform::setFiles(nullptr);
        m_fixture.reset();
    }

    void startUp()
    {
        frmMain w;
        // The welcome alert is already on its way.
        const QList<alert::frmAlert *> alerts = openAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first()->findChild<QLabel *>("lblAlert")->text(),
                 QStringLiteral("Welcome to Zorvane, Version: 1.0.5 Beta."));
        QCOMPARE(w.windowTitle(), QStringLiteral("Zorvane Version: 1.0.5 Beta"));

        auto *output = w.findChild<QTextEdit *>("Output");
        const QString banner = QStringLiteral("**Farrowmoss's CONSOLE**\nGUI by pellridge");
        QCOMPARE(output->toPlainText(), banner);
        QTextCursor selection = output->textCursor();
        QCOMPARE(selection.selectionStart(), 0);
        QCOMPARE(selection.selectionEnd(), output->document()->characterCount() - 1);
        for (QTextBlock b = output->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it)
                QCOMPARE(it.fragment().charFormat().foreground().color(), QColor(0, 0, 255));
        }

        QVERIFY(w.findChild<QGroupBox *>("Frame1")->isVisibleTo(&w));
        for (const char *pane : {"Frame2", "Frame4", "Frame5"})
            QVERIFY(!w.findChild<QGroupBox *>(pane)->isVisibleTo(&w));
        for (const char *sign : {"GIF1", "GIF2", "DXAnimatedGIF1", "DXAnimatedGIF2",
                                 "DXAnimatedGIF3", "DXAnimatedGIF5", "Label7", "Label8"})
            QVERIFY2(!w.findChild<QWidget *>(sign)->isVisibleTo(
                         w.findChild<QWidget *>(sign)->parentWidget()),
                     sign);
        QVERIFY(!w.findChild<QPushButton *>("cmdAgree")->isEnabled());
        QVERIFY(!w.findChild<QPushButton *>("Command5")->isEnabled());
        QVERIFY(!w.findChild<QCheckBox *>("Check1")->isChecked());
        QVERIFY(!w.findChild<QCheckBox *>("Check2")->isChecked());
        QVERIFY(!w.findChild<QRadioButton *>("optYes")->isChecked());
        QVERIFY(!w.findChild<QRadioButton *>("optNo")->isChecked());
        QCOMPARE(w.findChild<QLineEdit *>("Text2")->text(), QStringLiteral("192.168."));
        QCOMPARE(w.findChild<QLineEdit *>("Text3")->text(), QStringLiteral("fennel"));
        QCOMPARE(w.findChild<QLineEdit *>("Text3")->toolTip(),
                 QStringLiteral("By default: this is \"fennel\" without quotes!"));
        QVERIFY(!w.findChild<QTimer *>("Timer1")->isActive());
        QCOMPARE(w.findChild<QTimer *>("Timer1")->interval(), 7000);
        // The Console lies below the client area until a job grows the window.
        QCOMPARE(w.height(), 5490 / 15);
        QVERIFY(w.findChild<QTextEdit *>("Output")->geometry().top() >= w.height());
        QCOMPARE(w.findChild<QWidget *>("Command7")->geometry(), QRect(40, 80, 289, 17));
    }

    void restorePreparesLikeTheBackup()
    {
        // Every preparation step of the backup instructions is a step of the
        // restore instructions too, with the job's name changed.
        const QRegularExpression step(QStringLiteral("<li>(.*?)</li>"));
        QStringList restoreSteps;
        for (auto m = step.globalMatch(app::restoreInstructions()); m.hasNext();)
            restoreSteps.append(m.next().captured(1));
        int backupSteps = 0;
        for (auto m = step.globalMatch(app::backupInstructions()); m.hasNext(); ++backupSteps) {
            const QString asRestore =
                m.next().captured(1).replace(QStringLiteral("backup"), QStringLiteral("restore"));
            QVERIFY2(restoreSteps.contains(asRestore), qPrintable(asRestore));
        }
        QVERIFY(backupSteps >= 8);
        QVERIFY(app::restoreInstructions().contains(QStringLiteral("theme tool")));
    }

    void versionFromTheBuildShapesTheTexts()
    {
        m_fakes.app->maj = 2;
        m_fakes.app->min = 0;
        m_fakes.app->rev = 11;
        frmMain w;
        QCOMPARE(openAlerts().first()->findChild<QLabel *>("lblAlert")->text(),
                 QStringLiteral("Welcome to Zorvane, Version: 2.0.11 Beta."));
        QCOMPARE(w.windowTitle(), QStringLiteral("Zorvane Version: 2.0.11 Beta"));
    }

    void twoPopAlertsOpenTwoWindows()
    {
        frmMain w;
        w.PopAlert(QStringLiteral("one"));
        w.PopAlert(QStringLiteral("two"));
        QCOMPARE(openAlerts().size(), 3);
        QCOMPARE(alert::frmAlert::AlertCount(), 3);
    }

    void paneSwitching()
    {
        frmMain w;
        w.show();
        const QStringList buttons{"Command2", "Command1", "Command4", "Command6"};
        const QStringList panes{"Frame1", "Frame2", "Frame4", "Frame5"};
        for (int from = 0; from < 4; ++from) {
            for (int to = 0; to < 4; ++to) {
                QTest::mouseClick(w.findChild<QPushButton *>(buttons[from]), Qt::LeftButton);
                QTest::mouseClick(w.findChild<QPushButton *>(buttons[to]), Qt::LeftButton);
                for (int p = 0; p < 4; ++p)
                    QCOMPARE(w.findChild<QGroupBox *>(panes[p])->isVisible(), p == to);
            }
        }
    }

    void hiddenPanesKeepTheirState()
    {
        frmMain w;
        w.show();
        QTest::mouseClick(w.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        w.findChild<QCheckBox *>("Check1")->setChecked(true);
        w.findChild<QWidget *>("GIF1")->show();
        w.findChild<QWidget *>("Label7")->show();
        QTest::mouseClick(w.findChild<QPushButton *>("Command6"), Qt::LeftButton);
        QVERIFY(!w.findChild<QWidget *>("GIF1")->isVisible());
        QTest::mouseClick(w.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(w.findChild<QCheckBox *>("Check1")->isChecked());
        QVERIFY(w.findChild<QWidget *>("GIF1")->isVisible());
        QVERIFY(w.findChild<QWidget *>("Label7")->isVisible());
    }

    void fileExists()
    {
        QVERIFY(!frmMain::FileExists(QString()));
        QVERIFY(!frmMain::FileExists(QStringLiteral("somewhere\\")));
        QVERIFY(!frmMain::FileExists(QStringLiteral("somewhere/")));
        touch(QStringLiteral("Yes.bat"));
        touch(QStringLiteral(".hidden.bat"));
        QDir().mkdir(QStringLiteral("folder.bat"));
        QVERIFY(frmMain::FileExists(QStringLiteral("Yes.bat")));
        QVERIFY(!frmMain::FileExists(QStringLiteral(".hidden.bat")));
        QVERIFY(!frmMain::FileExists(QStringLiteral("folder.bat")));
        QVERIFY(!frmMain::FileExists(QStringLiteral("No.bat")));
    }

    void exitCleanupDeletesExactlyTheScriptsPresent()
    {
        touch(QStringLiteral("SSH.bat"));
        touch(QStringLiteral("Yes.bat"));
        touch(QStringLiteral("DeleteOLD.bat"));
        touch(QStringLiteral("keep.txt"));
        {
            frmMain w;
            w.show();
            w.close();
        }
        QVERIFY(!QFile::exists(QStringLiteral("SSH.bat")));
        QVERIFY(!QFile::exists(QStringLiteral("Yes.bat")));
        QVERIFY(QFile::exists(QStringLiteral("DeleteOLD.bat")));
        QVERIFY(QFile::exists(QStringLiteral("keep.txt")));
        QVERIFY(m_fakes.messages->shown.isEmpty());
        QVERIFY(app::runExitCleanup().isEmpty()); // nothing left, nothing reported
    }

    void exitCleanupGoesOnPastAStuckFile()
    {
        for (const QString &name : app::exitCleanupScripts())
            touch(name);
        platform::Platform::setFiles(std::make_unique<StubbornFiles>(QStringLiteral("apps.bat")));
        const QStringList deleted = app::runExitCleanup();
        QCOMPARE(deleted.size(), app::exitCleanupScripts().size() - 1);
        // One after the other in their order, past the one that stays.
        QCOMPARE(deleted, (QStringList{"Yes.bat", "PutFilesBack.bat", "No.bat", "fonts.bat",
                                       "library.bat", "media.bat", "DFU.bat", "SSH.bat"}));
        QVERIFY(!deleted.contains(QStringLiteral("apps.bat")));
        QVERIFY(QFile::exists(QStringLiteral("apps.bat")));
        QVERIFY(!QFile::exists(QStringLiteral("SSH.bat")));
    }

    void jobControlsAreFoundWhenTheWindowIsBuilt()
    {
        // Every control and timer the jobs name is on the window, of its kind.
        frmMain w;
        const app::JobControlMap map(&w);
        QCOMPARE(map.faults(), QStringList());
        for (int i = 0; i < jobs::kControlCount; ++i) {
            const auto control = static_cast<jobs::Control>(i);
            QCOMPARE(map.widget(control)->objectName(), jobs::controlName(control));
        }
        QCOMPARE(map.timer(jobs::JobTimer::Timer1), w.findChild<QTimer *>("Timer1"));
        for (int i = 0; i < jobs::kJobTimerCount; ++i) {
            const auto timer = static_cast<jobs::JobTimer>(i);
            QCOMPARE(map.timer(timer)->objectName(), jobs::timerName(timer));
        }

        // A window without them says which are missing or of another kind.
        QWidget bare;
        (new QLineEdit(&bare))->setObjectName(QStringLiteral("Text2"));
        (new QLabel(&bare))->setObjectName(QStringLiteral("optYes"));
        (new QPushButton(&bare))->setObjectName(QStringLiteral("Check1")); // not checkable
        (new QLabel(&bare))->setObjectName(QStringLiteral("Command9")); // a job's button
        const QStringList faults = app::JobControlMap(&bare).faults();
        QVERIFY(!faults.join('\n').contains(QStringLiteral("Text2")));
        QVERIFY(faults.contains(QStringLiteral("no control named Text3")));
        QVERIFY(faults.contains(QStringLiteral("optYes is a QLabel")));
        QVERIFY(faults.contains(QStringLiteral("Check1 is a QPushButton")));
        QVERIFY(faults.contains(QStringLiteral("Command9 is a QLabel")));
        QVERIFY(faults.contains(QStringLiteral("no control named DXAnimatedGIF5")));
        QVERIFY(faults.contains(QStringLiteral("no timer named Timer1")));
    }

    void runEndHidesTheRunnerJobsSignsOnly()
    {
        frmMain w;
        w.show();
        const QStringList runnerSigns{"GIF1", "GIF2", "DXAnimatedGIF1", "DXAnimatedGIF2",
                                      "DXAnimatedGIF5"};
        HideOrder hidden;
        for (const QString &sign : runnerSigns + QStringList{"DXAnimatedGIF3"}) {
            w.findChild<QWidget *>(sign)->show();
            w.findChild<QWidget *>(sign)->installEventFilter(&hidden);
        }
        w.console().Complete();
        for (const QString &sign : runnerSigns)
            QVERIFY2(w.findChild<QWidget *>(sign)->isHidden(), qPrintable(sign));
        // The last job's sign first, the backup's and the restore's last.
        QCOMPARE(hidden.names, (QStringList{"DXAnimatedGIF5", "DXAnimatedGIF2", "DXAnimatedGIF1",
                                            "GIF1", "GIF2"}));
        // The SSH first run goes on in its own window: only its timer ends it.
        QVERIFY(!w.findChild<QWidget *>("DXAnimatedGIF3")->isHidden());
    }

    void aboutButtonKeepsOneWindow()
    {
        frmMain w;
        w.show();
        auto *aboutButton = w.findChild<QPushButton *>("Command3");
        QTest::mouseClick(aboutButton, Qt::LeftButton);
        auto aboutWindows = [] {
            QList<about::frmAbout *> found;
            for (QWidget *t : QApplication::topLevelWidgets())
                if (auto *a = qobject_cast<about::frmAbout *>(t))
                    found.append(a);
            return found;
        };
        QCOMPARE(aboutWindows().size(), 1);
        QPointer<about::frmAbout> first = aboutWindows().first();
        QVERIFY(first->isVisible());
        QVERIFY(!first->isModal());
        QTest::mouseClick(aboutButton, Qt::LeftButton);
        QCOMPARE(aboutWindows().size(), 1);
        QCOMPARE(aboutWindows().first(), first.data());
        first->close();
        QTRY_VERIFY(first.isNull());
        QTest::mouseClick(aboutButton, Qt::LeftButton);
        QCOMPARE(aboutWindows().size(), 1);
    }

    void growingTheWindowShowsTheConsole()
    {
        frmMain w;
        w.setHeightTwips(8700);
        QCOMPARE(w.heightTwips(), 8700);
        const QRect console = w.findChild<QTextEdit *>("Output")->geometry();
        QVERIFY(console.bottom() < w.height());
        if (qEnvironmentVariableIsSet("ZORVANE_SCREENSHOT"))
            w.grab().save(qEnvironmentVariable("ZORVANE_SCREENSHOT"));
    }

private:
    std::unique_ptr<SuiteFixture> m_fixture;
    fake::Services m_fakes{};
};

QTEST_MAIN(tst_main_window)
#include "tst_main_window.moc"
