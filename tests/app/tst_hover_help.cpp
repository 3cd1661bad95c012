#include "app/frmMain.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using app::frmMain;

namespace {
const QString kReadMe = QStringLiteral(
    "The read me will tell you the terms and conditions, as well as how to use the program.");
const QString kPassword = QStringLiteral("By Default, this is ''fennel'' without quotes");
} // namespace

// The Help lines that follow the pointer, and the agreement boxes that gate the
// Continue buttons.
class tst_hover_help : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_window = new frmMain;
        m_window->move(0, 0);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_fixture.reset();
    }

    void hoverTexts_data()
    {
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("helpLine");
        QTest::addColumn<QString>("text");
        QTest::newRow("Check1") << "Command1"
                                << "Check1"
                                << "Label11"
                                << "You must agree to the README.txt terms before continuing.";
        QTest::newRow("optNo") << "Command1"
                               << "optNo"
                               << "Label11"
                               << "By clicking this,  you have NOT symlinked your /Applications "
                                  "folder, or have not moved your applications folder with "
                                  "programs such as Boss Tool.";
        QTest::newRow("RichTextBox2") << "Command1"
                                      << "RichTextBox2"
                                      << "Label11" << kReadMe;
        QTest::newRow("Check2") << "Command4"
                                << "Check2"
                                << "Label15"
                                << "Before continuing, you must check I agree. Please read the "
                                   "README before selecting ''I agree''";
        QTest::newRow("Command5") << "Command4"
                                  << "Command5"
                                  << "Label15"
                                  << "Click this to continue";
        QTest::newRow("Command9")
            << "Command6"
            << "Command9"
            << "Label9"
            << "Use this if you need to downgrade to an earlier firmware or "
               "if your iPod/iPhone is frozen and cant be detected by iTunes.";
    }
    void hoverTexts()
    {
        QFETCH(QString, pane);
        QFETCH(QString, control);
        QFETCH(QString, helpLine);
        QFETCH(QString, text);
        QTest::mouseClick(m_window->findChild<QPushButton *>(pane), Qt::LeftButton);
        auto *line = m_window->findChild<QLabel *>(helpLine);
        hover(control);
        QTRY_COMPARE(line->text(), text);
        // Written on every movement, not only on entry.
        line->setText(QString());
        hover(control, QPoint(4, 4));
        QTRY_COMPARE(line->text(), text);
    }

    void backgroundRestingTextDiffersFromTheStartText()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        auto *line = m_window->findChild<QLabel *>("Label11");
        QCOMPARE(line->text(), QStringLiteral("Mouse over items for more information"));
        hoverBackground("Frame2");
        QTRY_COMPARE(line->text(),
                     QStringLiteral("Place your mouse over items for more information"));
    }

    void labelsOfAPaneWriteNothing()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        auto *line = m_window->findChild<QLabel *>("Label11");
        hover("Check1");
        QTRY_VERIFY(line->text().startsWith(QStringLiteral("You must agree")));
        hover("Label11");
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QVERIFY(line->text().startsWith(QStringLiteral("You must agree")));
        // Leaving the pane for the pane buttons keeps the text too.
        hover("Command2");
        QCoreApplication::processEvents();
        QVERIFY(line->text().startsWith(QStringLiteral("You must agree")));
    }

    void sshLoginWritesAllThreeHelpLines()
    {
        // Main Screen shown: nothing visible changes, the hidden lines are written.
        hover("Text3");
        for (const char *name : {"Label11", "Label15", "Label9"})
            QTRY_COMPARE(m_window->findChild<QLabel *>(name)->text(), kPassword);
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command6"), Qt::LeftButton);
        QCOMPARE(m_window->findChild<QLabel *>("Label9")->text(), kPassword);
        hover("Label2");
        QTRY_VERIFY(m_window->findChild<QLabel *>("Label15")->text().startsWith(
            QStringLiteral("This can be found by going to Settings->Wi-Fi->Click the blue ''>''")));
    }

    void documentsWriteOnlyTheirOwnPane()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command4"), Qt::LeftButton);
        hover("RichTextBox1");
        QTRY_COMPARE(m_window->findChild<QLabel *>("Label15")->text(), kReadMe);
        QCOMPARE(m_window->findChild<QLabel *>("Label11")->text(),
                 QStringLiteral("Mouse over items for more information"));
    }

    void agreementGatesContinue()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        auto *box = m_window->findChild<QCheckBox *>("Check1");
        auto *go = m_window->findChild<QPushButton *>("cmdAgree");
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(go->isEnabled());
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!go->isEnabled());
        // The greyed state changes nothing.
        box->setTristate(true);
        box->setCheckState(Qt::Checked);
        QVERIFY(go->isEnabled());
        box->setCheckState(Qt::PartiallyChecked);
        QVERIFY(go->isEnabled());
        box->setCheckState(Qt::Unchecked);
        QVERIFY(!go->isEnabled());
        box->setCheckState(Qt::PartiallyChecked);
        QVERIFY(!go->isEnabled());
        box->setTristate(false);

        // After a job disabled it, only a new tick enables it again.
        box->setChecked(true);
        go->setEnabled(false);
        box->setChecked(false);
        box->setChecked(true);
        QVERIFY(go->isEnabled());

        auto *box2 = m_window->findChild<QCheckBox *>("Check2");
        auto *go2 = m_window->findChild<QPushButton *>("Command5");
        box2->setChecked(true);
        QVERIFY(go2->isEnabled());
        box2->setChecked(false);
        QVERIFY(!go2->isEnabled());
    }

private:
    void hover(const QString &name, QPoint at = QPoint(2, 2))
    {
        auto *w = m_window->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QTest::mouseMove(w, at);
    }
    void hoverBackground(const char *pane)
    {
        auto *frame = m_window->findChild<QGroupBox *>(pane);
        // A spot of the pane's background, clear of its controls.
        for (int y = frame->height() - 2; y > 0; --y) {
            for (int x = 2; x < frame->width(); x += 3) {
                if (!frame->childAt(QPoint(x, y))) {
                    QTest::mouseMove(frame, QPoint(x, y));
                    return;
                }
            }
        }
        QFAIL("no free background");
    }

    std::unique_ptr<SuiteFixture> m_fixture;
    frmMain *m_window = nullptr;
};

QTEST_MAIN(tst_hover_help)
#include "tst_hover_help.moc"
