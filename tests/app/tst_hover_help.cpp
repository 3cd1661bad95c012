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

// Counts the pointer moves that reach the widget it watches.
class MoveCounter : public QObject {
public:
    int moves = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove)
            ++moves;
        return QObject::eventFilter(watched, event);
    }
};
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

    // Every text a hover can write, with the Help lines it goes to. A control
    // named after a pane ("Frame2") stands for that pane's bare background.
    void hoverTexts_data()
    {
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("helpLines");
        QTest::addColumn<QString>("text");
        const QStringList backup{"Label11"}, restore{"Label15"}, utilities{"Label9"};
        const QStringList all{"Label11", "Label9", "Label15"};
        const QString address = QStringLiteral(
            "This can be found by going to Settings->Wi-Fi->Click the blue ''>'' next to the "
            "Wi-Fi you are connected to");
        const QString relocate = QStringLiteral(
            " folder on your iPod/iPhone to make more room avaliable so you can increase the "
            "amount of applications you can install onto your iPod/iPhone.");
        QTest::newRow("Check1") << "Command1"
                                << "Check1" << backup
                                << "You must agree to the README.txt terms before continuing.";
        QTest::newRow("optYes") << "Command1"
                                << "optYes" << backup
                                << "By clicking this, you have either manually SYMLINKED your "
                                   "applications, or have used BossTools to move your "
                                   "applications.";
        QTest::newRow("optNo") << "Command1"
                               << "optNo" << backup
                               << "By clicking this,  you have NOT symlinked your /Applications "
                                  "folder, or have not moved your applications folder with "
                                  "programs such as Boss Tool.";
        QTest::newRow("RichTextBox2") << "Command1"
                                      << "RichTextBox2" << backup << kReadMe;
        QTest::newRow("Frame2") << "Command1"
                                << "Frame2" << backup
                                << "Place your mouse over items for more information";
        QTest::newRow("Check2") << "Command4"
                                << "Check2" << restore
                                << "Before continuing, you must check I agree. Please read the "
                                   "README before selecting ''I agree''";
        QTest::newRow("Command5") << "Command4"
                                  << "Command5" << restore << "Click this to continue";
        QTest::newRow("RichTextBox1") << "Command4"
                                      << "RichTextBox1" << restore << kReadMe;
        QTest::newRow("Frame4") << "Command4"
                                << "Frame4" << restore << "Mouse over items for more information";
        QTest::newRow("Command10")
            << "Command6"
            << "Command10" << utilities
            << "If you have a freshly restored iPod/iPhone, or have never SSH-ed into your "
               "iPod/iPhone, the this is required before beginning backup, or restore. Failure "
               "to do so may result in Zorvane not responding. If you are not sure if you have "
               "ever SSH-ed your iPod before, you can click this button just to be sure.";
        QTest::newRow("Command7") << "Command6"
                                  << "Command7" << utilities
                                  << "Using this feature will automatically move your "
                                     "applications"
                                         + relocate;
        QTest::newRow("Command8") << "Command6"
                                  << "Command8" << utilities
                                  << "Using this feature will automatically move your Fonts"
                                         + relocate;
        QTest::newRow("Command9")
            << "Command6"
            << "Command9" << utilities
            << "Use this if you need to downgrade to an earlier firmware or "
               "if your iPod/iPhone is frozen and cant be detected by iTunes.";
        QTest::newRow("Frame5") << "Command6"
                                << "Frame5" << utilities
                                << "Move your mouse over something for more information";
        QTest::newRow("Label2") << "Command1"
                                << "Label2" << all << address;
        QTest::newRow("Text2") << "Command4"
                               << "Text2" << all << address;
        QTest::newRow("Label4") << "Command6"
                                << "Label4" << all << kPassword;
        QTest::newRow("Text3") << "Command1"
                               << "Text3" << all << kPassword;
    }
    void hoverTexts()
    {
        QFETCH(QString, pane);
        QFETCH(QString, control);
        QFETCH(QStringList, helpLines);
        QFETCH(QString, text);
        QTest::mouseClick(m_window->findChild<QPushButton *>(pane), Qt::LeftButton);
        const QStringList lines{"Label11", "Label15", "Label9"};
        // Twice: written on every movement, not only on entry.
        for (int move = 0; move < 2; ++move) {
            for (const QString &name : lines)
                m_window->findChild<QLabel *>(name)->setText(QString());
            if (control.startsWith(QLatin1String("Frame")))
                hoverBackground(control, move);
            else
                hover(control, move == 0 ? QPoint(2, 2) : QPoint(4, 4));
            for (const QString &name : helpLines)
                QTRY_COMPARE(m_window->findChild<QLabel *>(name)->text(), text);
            for (const QString &name : lines) {
                if (!helpLines.contains(name))
                    QCOMPARE(m_window->findChild<QLabel *>(name)->text(), QString());
            }
        }
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
        auto *pane = m_window->findChild<QGroupBox *>("Frame2");
        const QString agree = QStringLiteral("You must agree to the README.txt terms before "
                                             "continuing.");
        hover("Check1");
        QTRY_COMPARE(line->text(), agree);

        // The pointer over the pane's labels, pictures and greyed Continue button.
        const char *const silent[] = {"Label11", "Label7", "GIF1", "cmdAgree"};
        for (const char *name : silent) {
            m_window->findChild<QWidget *>(name)->setVisible(true);
            hover(name);
            QCoreApplication::processEvents();
            QCOMPARE(line->text(), agree);
        }
        // The same moves handed on to the pane, as Qt hands on a move that a
        // child does not take: they reach the pane's background help too.
        MoveCounter reached;
        pane->installEventFilter(&reached);
        for (const char *name : silent) {
            auto *child = m_window->findChild<QWidget *>(name);
            const QPoint at = child->mapTo(pane, QPoint(1, 1));
            QVERIFY2(pane->childAt(at) == child, name);
            reached.moves = 0;
            QMouseEvent move(QEvent::MouseMove, QPointF(at), pane->mapToGlobal(QPointF(at)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(pane, &move);
            QCOMPARE(reached.moves, 1);
            QCOMPARE(line->text(), agree);
        }
        pane->removeEventFilter(&reached);

        // Leaving the pane for the pane buttons keeps the text too.
        hover("Command2");
        QCoreApplication::processEvents();
        QCOMPARE(line->text(), agree);
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
    // Moves the pointer to the `skip`th spot of the pane's background that is
    // clear of its controls.
    void hoverBackground(const QString &pane, int skip = 0)
    {
        auto *frame = m_window->findChild<QGroupBox *>(pane);
        for (int y = frame->height() - 2; y > 0; --y) {
            for (int x = 2; x < frame->width(); x += 3) {
                if (!frame->childAt(QPoint(x, y)) && skip-- == 0) {
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
