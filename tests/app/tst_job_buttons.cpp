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
        QVERIFY(shown("DXAnimatedGIF3"));
        QCOMPARE(m_fakes.shell->started.size(), 1);
        QCOMPARE(m_fakes.shell->started.first().file, QStringLiteral("SSH.bat"));
        QCOMPARE(m_fakes.shell->started.first().style, platform::WindowStyle::NormalFocus);
        QCOMPARE(
            alertTexts(),
            QStringList({QStringLiteral("Welcome to Zorvane, Version: 1.0.5 Beta."),
                         QStringLiteral("Executing SSH for the First time... Please Wait...")}));

        // No script runs here: until its note and the key arrive, the job waits.
        qputenv("PUTTYSSHHOSTKEYS", m_fixture->file(QStringLiteral("sshhostkeys")).toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("PUTTYSSHHOSTKEYS"); });
        m_window->Timer1_Timer();
        QVERIFY(console().contains(QStringLiteral("Waiting for the SSH window")));
        QVERIFY(timer->isActive());
        QVERIFY(shown("DXAnimatedGIF3"));
        writeFile(m_fixture->file(QStringLiteral("sshhostkeys")),
                  "rsa2@22:127.0.0.1 0x23,0xc0ffee\n");
        writeFile(QStringLiteral("SSHresult.txt"), "copied\r\n");
        m_window->Timer1_Timer();
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
        button("Command7")->click();
        QCOMPARE(alertTexts().last(),
                 QStringLiteral("Executing Symlink Applications Process...Please Wait..."));
        bool indicatorFirst = false;
        m_fakes.messages->onShow = [&](const fake::ShownBox &box) {
            if (box.title == QStringLiteral("Before Symlinking Your Fonts...."))
                indicatorFirst = shown("DXAnimatedGIF2");
            if (box.title == QStringLiteral("DFU Mode WARNING")) {
                indicatorFirst = !shown("DXAnimatedGIF5");
                QCOMPARE(box.icon, platform::MsgIcon::Information);
            }
        };
        button("Command8")->click();
        QVERIFY(indicatorFirst);
        indicatorFirst = false;
        button("Command9")->click();
        QVERIFY(indicatorFirst);
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
