#include "alert/frmAlert.h"
#include "app/frmMain.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using app::frmMain;

namespace {

// Calls back whenever an alert window is shown, while it exists.
class AlertShowWatch : public QObject {
public:
    explicit AlertShowWatch(std::function<void()> onShow)
        : m_onShow(std::move(onShow))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<alert::frmAlert *>(watched))
            m_onShow();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onShow;
};

} // namespace

// The job buttons of the main window: the order of their steps, the scripts
// they write, what they hand to the runner or the shell, and what they refuse.
// The runner's interpreter is a recording stand-in, so no script really runs.
class tst_job_buttons : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_fixture->useInterpreter(qgetenv("ZORVANE_TEST_COMSPEC"));
        qputenv("ZORVANE_COMSPEC_LOG",
                m_fixture->file(QStringLiteral("comspec.log")).toLocal8Bit());
        m_fakes = m_fixture->fakes();
        m_window = new frmMain;
        m_window->show();
        text("Text2")->setText(QStringLiteral("127.0.0.1"));
    }
    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_fixture.reset();
    }

    void backupStepsInOrder()
    {
        button("Command1")->click();
        check("Check1")->setChecked(true);
        radio("optNo")->setChecked(true);
        bool checkedAtBox = false;
        m_fakes.messages->onShow = [&](const fake::ShownBox &box) {
            if (box.title != QStringLiteral("BEFORE YOU BEGIN!!!"))
                return;
            checkedAtBox = true;
            QCOMPARE(m_window->heightTwips(), 8700);
            QVERIFY(!button("cmdAgree")->isEnabled());
            QVERIFY(!shown("GIF1"));
            QVERIFY(!shown("Label7"));
            QCOMPARE(box.icon, platform::MsgIcon::Critical);
            QCOMPARE(box.buttons, platform::MsgButtons::Ok);
        };
        button("cmdAgree")->click();
        QVERIFY(checkedAtBox);
        QCOMPARE(
            m_fakes.messages->shown.first().text,
            QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer that your "
                           "iTunes is CLOSED. DO NOT plug in your iPod DURING the backup process. "
                           "If you have done all of this, press ''OK''"));
        QVERIFY(QFile::exists(QStringLiteral("No.bat")));
        QVERIFY(!QFile::exists(QStringLiteral("Yes.bat")));
        QCOMPARE(ranCommands(), QStringList{QStringLiteral("/c \"no.bat\"")});
        // The run has ended: its indicator is hidden, the caption stays.
        QVERIFY(!shown("GIF1"));
        QVERIFY(shown("Label7"));
        QVERIFY(!button("cmdAgree")->isEnabled());
        QVERIFY(console().endsWith(QStringLiteral("C:\\> ")));
    }

    void symlinkedBackupRunsYesBat()
    {
        check("Check1")->setChecked(true);
        radio("optYes")->setChecked(true);
        button("cmdAgree")->click();
        QCOMPARE(ranCommands(), QStringList{QStringLiteral("/c \"Yes.bat\"")});
        QVERIFY(QFile::exists(QStringLiteral("Yes.bat")));
    }

    void backupWithoutAnOptionChangesNothing()
    {
        check("Check1")->setChecked(true);
        button("cmdAgree")->click();
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY(m_fakes.messages->shown.first().text.contains(
            QStringLiteral("Choose one of the two options")));
        QVERIFY(button("cmdAgree")->isEnabled());
        QVERIFY(!shown("GIF1"));
        QVERIFY(!shown("Label7"));
        QCOMPARE(m_window->heightTwips(), 5490 + 405);
        QVERIFY(ranCommands().isEmpty());
    }

    void badAddressRefusesEveryDeviceJob_data()
    {
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("go");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("told");
        const QString incomplete = QStringLiteral("not a complete IP address");
        QTest::newRow("backup") << "Check1"
                                << "cmdAgree"
                                << "192.168." << incomplete;
        QTest::newRow("restore") << "Check2"
                                 << "Command5"
                                 << "192.168." << incomplete;
        QTest::newRow("ssh") << ""
                             << "Command10"
                             << "192.168." << incomplete;
        QTest::newRow("apps") << ""
                              << "Command7"
                              << "192.168." << incomplete;
        QTest::newRow("fonts") << ""
                               << "Command8"
                               << "192.168." << incomplete;
        // pscp cannot take an IPv6 address in "root@%IP%:folder".
        const QString ipv4 = QStringLiteral("Type the IPv4 address");
        QTest::newRow("backup over IPv6") << "Check1"
                                          << "cmdAgree"
                                          << "::1" << ipv4;
        QTest::newRow("restore over IPv6") << "Check2"
                                           << "Command5"
                                           << "fe80::1" << ipv4;
    }
    void badAddressRefusesEveryDeviceJob()
    {
        QFETCH(QString, pane);
        QFETCH(QString, go);
        QFETCH(QString, address);
        QFETCH(QString, told);
        text("Text2")->setText(address);
        radio("optYes")->setChecked(true);
        if (!pane.isEmpty())
            check(pane)->setChecked(true);
        button(go)->click();
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY(m_fakes.messages->shown.first().text.contains(told));
        QCOMPARE(QDir().entryList(QStringList{QStringLiteral("*.bat")}, QDir::Files),
                 QStringList());
        QVERIFY(ranCommands().isEmpty());
        QVERIFY(m_fakes.shell->started.isEmpty());
        QCOMPARE(m_window->heightTwips(), 5490 + 405);
        QVERIFY(button(go)->isEnabled());
    }

    void restoreWithoutBackupSendsNothing()
    {
        QDir().mkdir(QStringLiteral("Applications"));
        QDir().mkdir(QStringLiteral("mobile"));
        check("Check2")->setChecked(true);
        button("Command5")->click();
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY(m_fakes.messages->shown.first().text.contains(QStringLiteral("\"root\" missing")));
        QVERIFY(!QFile::exists(QStringLiteral("PutFilesBack.bat")));
        QVERIFY(ranCommands().isEmpty());
        QVERIFY(button("Command5")->isEnabled());
        QVERIFY(!shown("GIF2"));
    }

    void restoreRunsPutFilesBack()
    {
        for (const char *f : {"Applications", "mobile", "root"})
            QDir().mkdir(QString::fromLatin1(f));
        check("Check2")->setChecked(true);
        button("Command5")->click();
        QVERIFY(m_fakes.messages->shown.isEmpty()); // no confirmation box
        QCOMPARE(ranCommands(), QStringList{QStringLiteral("/c \"PutFilesBack.bat\"")});
        QVERIFY(shown("Label8"));
        QVERIFY(!button("Command5")->isEnabled());
        // Unticking and ticking makes it usable again.
        check("Check2")->setChecked(false);
        check("Check2")->setChecked(true);
        QVERIFY(button("Command5")->isEnabled());
    }

    void sshFirstRun()
    {
        button("Command10")->click();
        QCOMPARE(console(), QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                           "Executing SSH on first time run....\r\n"
                                           "Please wait for the command prompt window to close."));
        auto *timer = m_window->findChild<QTimer *>("Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 7000);
        QVERIFY(shown("DXAnimatedGIF3"));
        QCOMPARE(m_fakes.shell->started.size(), 1);
        QCOMPARE(m_fakes.shell->started.first().file, QStringLiteral("SSH.bat"));
        QCOMPARE(m_fakes.shell->started.first().style, platform::WindowStyle::NormalFocus);
        QCOMPARE(
            alertTexts(),
            QStringList({QStringLiteral("Welcome to Zorvane, Version: 1.0.5 Beta."),
                         QStringLiteral("Executing SSH for the First time... Please Wait...")}));

        // No script runs here: until its note and the key arrive, the job waits.
        // The timer's ticks come from the event loop, sooner than its 7 seconds.
        const QString keys = m_fixture->file(QStringLiteral("sshhostkeys"));
        qputenv("PUTTYSSHHOSTKEYS", keys.toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("PUTTYSSHHOSTKEYS"); });
        timer->setInterval(20);
        QTRY_VERIFY(console().contains(QStringLiteral("Waiting for the SSH window")));
        timer->setInterval(7000);
        QVERIFY(timer->isActive());
        QVERIFY(shown("DXAnimatedGIF3"));
        writeFile(keys, "rsa2@22:127.0.0.1 0x23,0xc0ffee\n");
        writeFile(QStringLiteral("SSHresult.txt"), "copied\r\n");
        timer->setInterval(20);
        QTRY_VERIFY(!timer->isActive());
        QVERIFY(console().endsWith(
            QStringLiteral("SSH Complete.\r\nYou can now run the Backup or Restore "
                           "options when the command prompt closes!")));
        QCOMPARE(console().count(QStringLiteral("\r\n")), 5);
        QVERIFY(!timer->isActive());
        QVERIFY(!shown("DXAnimatedGIF3"));

        // Unchanged settings: the same file is started again, not rewritten.
        {
            QFile f(QStringLiteral("SSH.bat"));
            QVERIFY(f.open(QIODevice::Append));
            f.write("rem marker\r\n");
        }
        button("Command10")->click();
        QCOMPARE(m_fakes.shell->started.size(), 2);
        QVERIFY(m_fakes.messages->shown.isEmpty());
        QVERIFY(readAll(QStringLiteral("SSH.bat")).contains("rem marker"));

        // A corrected address reaches the script.
        text("Text2")->setText(QStringLiteral("10.0.0.9"));
        button("Command10")->click();
        const QByteArray rewritten = readAll(QStringLiteral("SSH.bat"));
        QVERIFY(rewritten.contains("set IP=10.0.0.9\r\n"));
        QVERIFY(!rewritten.contains("rem marker"));
    }

    void relocationAndDfuJobs()
    {
        // The Applications job opens its alert before the window grows.
        int heightAtAlert = 0;
        AlertShowWatch watch([&] { heightAtAlert = m_window->heightTwips(); });
        button("Command7")->click();
        QCOMPARE(heightAtAlert, 5490 + 405);
        QCOMPARE(m_window->heightTwips(), 8700);
        QCOMPARE(alertTexts().last(),
                 QStringLiteral("Executing Symlink Applications Process...Please Wait..."));

        // The fonts box comes after its indicator, the DFU box before it; both
        // after the window grew, with their exact texts and one OK button.
        QList<bool> indicatorAtBox;
        QList<int> heightAtBox;
        m_fakes.messages->onShow = [&](const fake::ShownBox &box) {
            indicatorAtBox << (box.title == QStringLiteral("DFU Mode WARNING")
                                   ? shown("DXAnimatedGIF5")
                                   : shown("DXAnimatedGIF2"));
            heightAtBox << m_window->heightTwips();
        };
        m_window->setHeightTwips(5490 + 405);
        button("Command8")->click();
        m_window->setHeightTwips(5490 + 405);
        button("Command9")->click();
        QCOMPARE(m_fakes.messages->shown.size(), 2);
        const fake::ShownBox &fonts = m_fakes.messages->shown.at(0);
        QCOMPARE(fonts.title, QStringLiteral("Before Symlinking Your Fonts...."));
        QCOMPARE(fonts.text, QStringLiteral("If you have restored your applications then that "
                                            "auto moves the fonts for you, so you do not need to "
                                            "do it again!"));
        QCOMPARE(fonts.icon, platform::MsgIcon::Critical);
        QCOMPARE(fonts.buttons, platform::MsgButtons::Ok);
        const fake::ShownBox &dfu = m_fakes.messages->shown.at(1);
        QCOMPARE(dfu.title, QStringLiteral("DFU Mode WARNING"));
        QCOMPARE(dfu.text,
                 QStringLiteral("Please make sure your iPod/iPhone is connected to your computer "
                                "with the USB cable. Also make sure that the iPod/iPhone is on. "
                                "Do not dissconnect your iPod/iPhone until a popup says it is "
                                "complete"));
        QCOMPARE(dfu.icon, platform::MsgIcon::Information);
        QCOMPARE(dfu.buttons, platform::MsgButtons::Ok);
        QCOMPARE(indicatorAtBox, (QList<bool>{true, false}));
        QCOMPARE(heightAtBox, (QList<int>{8700, 8700}));
        QCOMPARE(ranCommands(),
                 (QStringList{QStringLiteral("/c \"apps.bat\""), QStringLiteral("/c \"fonts.bat\""),
                              QStringLiteral("/c \"DFU.bat\"")}));
        // Every click rewrites its script.
        QFile::remove(QStringLiteral("apps.bat"));
        button("Command7")->click();
        QVERIFY(QFile::exists(QStringLiteral("apps.bat")));
    }

    void unwritableScriptIsToldAndTheProgramGoesOn()
    {
        QDir().mkdir(QStringLiteral("apps.bat")); // a folder where the script should go
        button("Command7")->click();
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY(m_fakes.messages->shown.first().text.contains(QStringLiteral("apps.bat")));
        QVERIFY(ranCommands().isEmpty());
        QVERIFY(!shown("DXAnimatedGIF1"));
    }

private:
    static void writeFile(const QString &name, const QByteArray &content)
    {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray readAll(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QWidget *widget(const QString &name) { return m_window->findChild<QWidget *>(name); }
    // Shown by the window, whether or not its pane is the one in view.
    bool shown(const QString &name) { return !widget(name)->isHidden(); }
    QPushButton *button(const QString &name) { return m_window->findChild<QPushButton *>(name); }
    QCheckBox *check(const QString &name) { return m_window->findChild<QCheckBox *>(name); }
    QRadioButton *radio(const QString &name) { return m_window->findChild<QRadioButton *>(name); }
    QLineEdit *text(const QString &name) { return m_window->findChild<QLineEdit *>(name); }
    QString console()
    {
        return m_window->findChild<QTextEdit *>("Output")->toPlainText().replace(
            QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    QStringList ranCommands()
    {
        QFile log(m_fixture->file(QStringLiteral("comspec.log")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList alertTexts()
    {
        QStringList texts;
        QList<alert::frmAlert *> alerts;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *a = qobject_cast<alert::frmAlert *>(w))
                alerts.append(a);
        std::sort(alerts.begin(), alerts.end(),
                  [](auto *a, auto *b) { return a->AlertIndex() < b->AlertIndex(); });
        for (auto *a : alerts)
            texts.append(a->findChild<QLabel *>("lblAlert")->text());
        return texts;
    }

    std::unique_ptr<SuiteFixture> m_fixture;
    fake::Services m_fakes{};
    frmMain *m_window = nullptr;
};

QTEST_MAIN(tst_job_buttons)
#include "tst_job_buttons.moc"
