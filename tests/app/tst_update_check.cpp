#include "UpdateServer.h"
#include "app/InetTransfer.h"
#include "app/UpdateLocation.h"
#include "app/UpdateVersion.h"
#include "app/frmMain.h"
#include "platform/ProgramEnd.h"
#include "support/SuiteFixture.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using app::frmMain;

namespace {

const QByteArray kLauncher = "@Echo off\r\nstart Zorvane.msi\r\nexit\r\n";
const QString kQuestionEnd = QStringLiteral("\r\n\r\nWould you like to download the new version?");
const char *const kStatusControls[] = {"ProgressBar1", "Label13",      "Label10",
                                       "lblAction",    "lblPrcnt",     "Label1",
                                       "Label5",       "lblRemaining", "lblSize"};

QByteArray randomBytes(qsizetype size)
{
    QRandomGenerator generator{quint32(size)};
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

QByteArray contentOf(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString text(const frmMain &w, const char *label) { return w.findChild<QLabel *>(label)->text(); }

// The test process's resident memory in KiB (the program's, which runs in it).
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

enum class Fault {
    VersionNotFound,
    TextServerError,
    InstallerNotFound,
    ShortBody,
    ShortChunkedBody,
    StopsMidDownload,
    SilentServer,
    NoContentLength,
    Unreachable,
    InstallerUnwritable,
    LauncherNotStarted
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(UpdateServer::Response)

class tst_update_check : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(); }

private:
    std::unique_ptr<SuiteFixture> m_fixture;
    std::unique_ptr<UpdateServer> m_server;
    fake::Services m_fakes{};
    QStringList m_events;
    QByteArray m_launcherAtStart;

    void publish(const QString &version, const QByteArray &installer,
                 const QByteArray &about = "Faster backups")
    {
        m_server->putFile(QStringLiteral("newVersion.txt"), version.toUtf8());
        m_server->putFile(QStringLiteral("updateText.txt"), about);
        m_server->putFile(QStringLiteral("Zorvane.msi"), installer);
    }

    void useLocation(const QString &folder)
    {
        m_fakes.environment->variables.insert("ZORVANE_UPDATE_URL", folder.toUtf8());
    }

    void click(frmMain &w)
    {
        auto *button = w.findChild<QPushButton *>("cmdUpdate");
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!button->isEnabled());
    }

    QStringList boxTitles() const
    {
        QStringList titles;
        for (const fake::ShownBox &box : m_fakes.messages->shown)
            titles.append(box.title);
        return titles;
    }

    void verifyNothingStarted()
    {
        QVERIFY(m_fakes.shell->started.isEmpty());
        QVERIFY(!m_events.contains(QStringLiteral("end")));
        QVERIFY(!QFile::exists(QStringLiteral("DeleteOLD.bat")));
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_fakes = m_fixture->fakes();
        m_server = std::make_unique<UpdateServer>();
        QVERIFY(m_server->start());
        useLocation(m_server->folder());
        m_events.clear();
        m_launcherAtStart.clear();
        platform::setEndProgramNow([this] { m_events.append(QStringLiteral("end")); });
        m_fakes.shell->onStart = [this](const fake::ShellStart &start) {
            m_events.append(QStringLiteral("start ") + start.file);
            m_launcherAtStart = contentOf(start.file);
        };
    }

    void cleanup()
    {
        platform::setEndProgramNow({});
        m_server.reset();
        m_fixture.reset();
    }

    void versionsCompareByNumber_data()
    {
        QTest::addColumn<QString>("fetched");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("newer");
        QTest::newRow("next revision") << "1.0.6"
                                       << "1.0.5" << true;
        QTest::newRow("same") << "1.0.5"
                              << "1.0.5" << false;
        QTest::newRow("older") << "1.0.4"
                               << "1.0.5" << false;
        QTest::newRow("same, line break after") << "1.0.5\r\n"
                                                << "1.0.5" << false;
        QTest::newRow("newer, blanks around") << " 1.1.0 \n"
                                              << "1.0.5" << true;
        QTest::newRow("1.10.0 after 1.9.0") << "1.10.0"
                                            << "1.9.0" << true;
        QTest::newRow("1.9.0 before 1.10.0") << "1.9.0"
                                             << "1.10.0" << false;
        QTest::newRow("missing part is 0") << "1.0"
                                           << "1.0.0" << false;
        QTest::newRow("extra part") << "1.0.5.1"
                                    << "1.0.5" << true;
        QTest::newRow("leading zeros") << "01.00.06"
                                       << "1.0.5" << true;
        QTest::newRow("empty") << ""
                               << "1.0.5" << false;
        QTest::newRow("error page") << "<html>9.9.9</html>"
                                    << "1.0.5" << false;
        QTest::newRow("letters") << "2.0.0beta"
                                 << "1.0.5" << false;
        QTest::newRow("empty part") << "2..0"
                                    << "1.0.5" << false;
        QTest::newRow("sign") << "+2.0.0"
                              << "1.0.5" << false;
    }
    void versionsCompareByNumber()
    {
        QFETCH(QString, fetched);
        QFETCH(QString, current);
        QFETCH(bool, newer);
        QCOMPARE(app::UpdateVersion::isNewer(fetched, current), newer);
    }

    void updateLocation()
    {
        // HTTPS goes through a proxy of the test's own, which sees the host the
        // check asks for and refuses it, so nothing leaves the machine.
        UpdateServer proxy;
        QVERIFY(proxy.start());
        const QByteArray names[] = {"https_proxy", "no_proxy"};
        QHash<QByteArray, QByteArray> saved;
        for (const QByteArray &name : names) {
            if (qEnvironmentVariableIsSet(name.constData()))
                saved.insert(name, qgetenv(name.constData()));
        }
        const auto restore = qScopeGuard([&] {
            for (const QByteArray &name : names) {
                if (saved.contains(name))
                    qputenv(name.constData(), saved.value(name));
                else
                    qunsetenv(name.constData());
            }
        });
        qputenv("https_proxy", proxy.folder().section(QLatin1Char('/'), 0, 2).toUtf8());
        qunsetenv("no_proxy");

        // The folder as given, with blanks around it and without its last "/".
        publish(QStringLiteral("1.0.5"), randomBytes(10));
        useLocation("  " + m_server->folder().chopped(1) + " ");
        {
            frmMain w;
            w.show();
            click(w);
        }
        QCOMPARE(m_server->requested, QStringList{"/updates/newVersion.txt"});
        QVERIFY(m_fakes.messages->shown.isEmpty());
        QVERIFY(proxy.requested.isEmpty());

        // Not set, or blank: the built-in location, over HTTPS.
        const QUrl builtIn(QString::fromLatin1(app::UpdateLocation::kBuiltIn));
        const QString hostAsked = builtIn.host() + QStringLiteral(":443");
        for (const char *setting : {"", "   "}) {
            if (*setting)
                useLocation(QString::fromLatin1(setting));
            else {
                m_fakes.environment->variables.remove("ZORVANE_UPDATE_URL");
                m_fakes.environment->unset.insert("ZORVANE_UPDATE_URL");
            }
            m_fakes.messages->shown.clear();
            proxy.requested.clear();
            frmMain w;
            w.show();
            click(w);
            QCOMPARE(proxy.requested, QStringList{hostAsked});
            QCOMPARE(m_fakes.messages->shown.size(), 1); // the refusal, told
            QCOMPARE(m_fakes.messages->shown.first().title, QStringLiteral("Zorvane"));
        }
        QCOMPARE(m_server->requested.size(), 1);
    }

    void noNewerVersion_data()
    {
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("published");
        QTest::newRow("same") << 0 << "1.0.5";
        QTest::newRow("older") << 0 << "1.0.4";
        QTest::newRow("empty file") << 0 << "";
        QTest::newRow("same with trailing line break") << 0 << "1.0.5\r\n";
        QTest::newRow("1.9.0 published, 1.10.5 running") << 10 << "1.9.0";
        QTest::newRow("not a version") << 0 << "<html>Moved</html>";
    }
    void noNewerVersion()
    {
        QFETCH(int, minor);
        QFETCH(QString, published);
        m_fakes.app->min = minor;
        publish(published, randomBytes(100));
        frmMain w;
        w.show();
        const QString caption = w.windowTitle();
        click(w);

        QCOMPARE(m_server->requested, QStringList{"/updates/newVersion.txt"});
        QVERIFY(m_fakes.messages->shown.isEmpty());
        for (const char *name : kStatusControls)
            QVERIFY2(w.findChild<QWidget *>(name)->isVisibleTo(&w), name);
        QCOMPARE(text(w, "lblAction"), QStringLiteral("Authenticating, please wait"));
        QCOMPARE(text(w, "lblSize"), QStringLiteral("Size"));
        QCOMPARE(w.windowTitle(), caption);
        QVERIFY(!QFile::exists(QStringLiteral("Zorvane.msi")));
        verifyNothingStarted();

        // One check per run: the button stays disabled and a click does nothing.
        QTest::mouseClick(w.findChild<QPushButton *>("cmdUpdate"), Qt::LeftButton);
        QCOMPARE(m_server->requested.size(), 1);
        QVERIFY(!w.findChild<QPushButton *>("cmdUpdate")->isEnabled());
    }

    void newerVersionDeclined_data()
    {
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("shown");
        QTest::newRow("next revision, line break after") << 0 << 5 << "1.0.6\n"
                                                         << "1.0.6";
        QTest::newRow("1.10.0 published, 1.9.0 running") << 9 << 0 << "1.10.0"
                                                         << "1.10.0";
    }
    void newerVersionDeclined()
    {
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, published);
        QFETCH(QString, shown);
        m_fakes.app->min = minor;
        m_fakes.app->rev = revision;
        publish(published, randomBytes(2500), "Restores fonts too");
        m_fakes.messages->answers = {platform::MsgAnswer::No};
        frmMain w;
        w.show();
        click(w);

        QCOMPARE(m_server->requested,
                 (QStringList{"/updates/newVersion.txt", "/updates/updateText.txt",
                              "/updates/Zorvane.msi"}));
        // Each file is fetched afresh and as stored: no cache answers for the
        // update location, and the body's length can be held to Content-Length.
        QCOMPARE(m_fakes.network->sent.size(), 3);
        for (const fake::SentRequest &sent : std::as_const(m_fakes.network->sent)) {
            QCOMPARE(sent.operation, QByteArray("GET"));
            QCOMPARE(sent.request.rawHeader("Cache-Control"), QByteArray("no-cache"));
            QCOMPARE(sent.request.rawHeader("Accept-Encoding"), QByteArray("identity"));
        }
        QCOMPARE(boxTitles(), (QStringList{"Update available", "Update Pending"}));
        const fake::ShownBox &question = m_fakes.messages->shown[0];
        QCOMPARE(question.text, "There is a new version available v " + shown
                                    + "\r\n\r\nThis update - Restores fonts too" + kQuestionEnd);
        QCOMPARE(question.buttons, platform::MsgButtons::YesNo);
        const fake::ShownBox &pending = m_fakes.messages->shown[1];
        QCOMPARE(pending.text, QStringLiteral("You choose not to update this time, you will be "
                                              "asked again next time you open this program."));
        QCOMPARE(pending.icon, platform::MsgIcon::Information);
        QCOMPARE(text(w, "lblAction"), QStringLiteral("Download update?"));
        QCOMPARE(text(w, "lblSize"), QStringLiteral("2500 bytes"));
        QCOMPARE(text(w, "lblRemaining"), QStringLiteral("Remaining"));
        QVERIFY(!QFile::exists(QStringLiteral("Zorvane.msi")));
        verifyNothingStarted();
        QVERIFY(!w.findChild<QPushButton *>("cmdUpdate")->isEnabled());
    }

    void downloadedAndStarted_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QString>("percent");
        QTest::newRow("empty installer") << 0 << "Remaining"
                                         << "%";
        QTest::newRow("1025 bytes") << 1025 << "1 bytes"
                                    << "100%";
        QTest::newRow("3 MB") << 3 * 1024 * 1024 + 17 << "17 bytes"
                              << "100%";
    }
    void downloadedAndStarted()
    {
        QFETCH(int, size);
        QFETCH(QString, remaining);
        QFETCH(QString, percent);
        const QByteArray installer = randomBytes(size);
        publish(QStringLiteral("1.1.0"), installer);
        // A job script of an earlier job: the exit clean-up must not run.
        QFile(QStringLiteral("Yes.bat")).open(QIODevice::WriteOnly);

        frmMain w;
        w.show();
        const QString caption = w.windowTitle();
        auto *bar = w.findChild<QProgressBar *>("ProgressBar1");
        QSignalSpy barValues(bar, &QProgressBar::valueChanged);
        struct {
            QString remaining, percent, caption, action;
            int bar = -1;
            QByteArray file;
        } atComplete;
        m_fakes.messages->onShow = [&](const fake::ShownBox &box) {
            if (box.title != QLatin1String("Update Complete"))
                return;
            atComplete = {text(w, "lblRemaining"), text(w, "lblPrcnt"), w.windowTitle(),
                          text(w, "lblAction"),    bar->value(),        contentOf("Zorvane.msi")};
        };
        click(w);

        QCOMPARE(boxTitles(), (QStringList{"Update available", "Update Complete"}));
        const fake::ShownBox &complete = m_fakes.messages->shown[1];
        QCOMPARE(complete.text,
                 QStringLiteral("The update is complete. Press ok to open the new version."));
        QCOMPARE(complete.icon, platform::MsgIcon::Information);
        QCOMPARE(text(w, "lblSize"), QString::number(size) + " bytes");
        QCOMPARE(atComplete.action, QStringLiteral("Downloading update, please wait"));
        QCOMPARE(atComplete.remaining, remaining);
        QCOMPARE(atComplete.percent, percent);
        QCOMPARE(atComplete.caption, size == 0 ? caption : QStringLiteral("100% - Downloaded"));
        QCOMPARE(atComplete.bar, size == 0 ? 0 : 100);
        QVERIFY(atComplete.file == installer);
        for (int i = 1; i < barValues.size(); ++i)
            QVERIFY(barValues[i - 1][0].toInt() < barValues[i][0].toInt());
        if (size > 0)
            QCOMPARE(barValues.last()[0].toInt(), 100);

        // The launcher is written whole before it starts; then the program ends.
        QCOMPARE(m_events, (QStringList{"start DeleteOLD.bat", "end"}));
        QCOMPARE(m_fakes.shell->started.size(), 1);
        QCOMPARE(m_fakes.shell->started[0].style, platform::WindowStyle::Hidden);
        QCOMPARE(m_launcherAtStart, kLauncher);
        QCOMPARE(contentOf("DeleteOLD.bat"), kLauncher);
        QVERIFY(contentOf("Zorvane.msi") == installer);
        QVERIFY(QFile::exists(QStringLiteral("Yes.bat")));
        QVERIFY(!QFile::exists(QStringLiteral("Zorvane.msi.part")));
    }

    // A server that never ends its body, offers an installer over the limit,
    // trickles past the deadline or sends the request where it may not go:
    // the transfer is given up with a message, memory stays bounded, and
    // nothing half-fetched is kept or started.
    void hostileServersAreGivenUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<UpdateServer::Response>("response");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("deadlineMs");
        UpdateServer::Response endless;
        endless.body = "1.0.6";
        endless.contentLength = -2;
        endless.endlessEveryMs = 0;
        QTest::newRow("newVersion.txt never ends")
            << "newVersion.txt" << endless
            << "The update server sent more than the 65536 bytes Zorvane accepts for "
               "newVersion.txt, so the transfer was given up and nothing of it was kept. Try again "
               "later."
            << 1500;
        UpdateServer::Response huge;
        huge.body = randomBytes(4096);
        huge.contentLength = 3LL * 1024 * 1024 * 1024;
        huge.endlessEveryMs = 0;
        QTest::newRow("installer of 3 GB")
            << "Zorvane.msi" << huge
            << "The update server announced 3221225472 bytes for Zorvane.msi, more than the "
               "268435456 bytes Zorvane accepts for it, so the transfer was given up and nothing "
               "of it was kept. Try again later."
            << 1500;
        UpdateServer::Response trickle = huge;
        trickle.contentLength = 100000000;
        trickle.endlessEveryMs = 50;
        QTest::newRow("installer trickles past the deadline")
            << "Zorvane.msi" << trickle
            << "Fetching Zorvane.msi from the update server took longer than 1.5 seconds in all, "
               "so the transfer was given up. Try again later."
            << 1500;
        UpdateServer::Response away;
        away.status = 302;
        away.reason = "Found";
        away.location = "file:///etc/shadow";
        QTest::newRow("sent on to a local file")
            << "updateText.txt" << away
            << "The update server sent the request for updateText.txt on to "
               "\"file:///etc/shadow\", "
               "which Zorvane does not follow: it is not a web address. Nothing was fetched; try "
               "again later."
            << 1500;
        // An installer of no stated length that never ends: cut off at the
        // limit, however long that takes on its own.
        UpdateServer::Response unmeasured = endless;
        unmeasured.body = randomBytes(4096);
        QTest::newRow("installer without a length never ends")
            << "Zorvane.msi" << unmeasured
            << "The update server sent more than the 268435456 bytes Zorvane accepts for "
               "Zorvane.msi, so the transfer was given up and nothing of it was kept. Try again "
               "later."
            << 120000;
    }
    void hostileServersAreGivenUp()
    {
        QFETCH(QString, file);
        QFETCH(UpdateServer::Response, response);
        QFETCH(QString, message);
        QFETCH(int, deadlineMs);
        publish(QStringLiteral("1.0.6"), randomBytes(5000));
        m_server->put(file, response);

        frmMain w;
        w.show();
        w.findChild<app::InetTransfer *>("Inet1")->setDeadline(deadlineMs);
        const qint64 before = residentKiB();
        click(w);

        QVERIFY(!m_fakes.messages->shown.isEmpty());
        QCOMPARE(m_fakes.messages->shown.last().text, message);
        QVERIFY(!boxTitles().contains(QStringLiteral("Update available")));
        // Whatever the server sent went through a file, never into memory.
        QVERIFY2(residentKiB() - before < 64 * 1024,
                 qPrintable(QString::number(residentKiB() - before)));
        verifyNothingStarted();
        QVERIFY(!QFileInfo::exists(QStringLiteral("Zorvane.msi")));
        QVERIFY(QDir::current().entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
    }

    // An installed program works in a folder of the user's own: the installer
    // goes where its launcher starts it, never into the program's folder.
    void installerGoesToTheWorkingFolder()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        m_fakes.app->dir = program.path();
        const QByteArray installer = randomBytes(3000);
        publish(QStringLiteral("1.0.6"), installer);
        frmMain w;
        w.show();
        click(w);
        QCOMPARE(m_events, (QStringList{"start DeleteOLD.bat", "end"}));
        QVERIFY(contentOf("Zorvane.msi") == installer);
        QCOMPARE(contentOf("DeleteOLD.bat"), kLauncher);
        QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void leftOverLauncherDeleted()
    {
        {
            QFile old(QStringLiteral("DeleteOLD.bat"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(kLauncher);
        }
        publish(QStringLiteral("1.0.5"), QByteArray());
        frmMain w;
        w.show();
        click(w);
        QVERIFY(!QFile::exists(QStringLiteral("DeleteOLD.bat")));
        QVERIFY(m_fakes.messages->shown.isEmpty());
    }

    void windowWorksDuringTransfer()
    {
        const QByteArray installer = randomBytes(70000);
        publish(QStringLiteral("1.0.6"), installer);
        UpdateServer::Response held;
        held.body = installer;
        held.hold = true;
        m_server->put(QStringLiteral("Zorvane.msi"), held);

        frmMain w;
        w.show();
        bool paneSwitched = false;
        QString actionMeanwhile;
        connect(m_server.get(), &UpdateServer::held, this, [&](const QString &file) {
            QCOMPARE(file, QStringLiteral("Zorvane.msi"));
            actionMeanwhile = text(w, "lblAction");
            // The click handler is still waiting; other buttons answer.
            QTest::mouseClick(w.findChild<QPushButton *>("Command6"), Qt::LeftButton);
            paneSwitched = w.findChild<QGroupBox *>("Frame5")->isVisible()
                           && !w.findChild<QGroupBox *>("Frame1")->isVisible();
            m_server->release();
        });
        click(w);

        QVERIFY(paneSwitched);
        QCOMPARE(actionMeanwhile, QStringLiteral("Authenticating, please wait"));
        QCOMPARE(boxTitles(), (QStringList{"Update available", "Update Complete"}));
        QVERIFY(contentOf("Zorvane.msi") == installer);
        QCOMPARE(m_events, (QStringList{"start DeleteOLD.bat", "end"}));
    }

    void failuresEndTheCheck_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");
        const QString stopped = QStringLiteral(
            "The update server stopped answering: nothing arrived for 0.5 seconds while fetching "
            "%1, so the transfer was given up. Check the internet connection and try again later.");
        QTest::newRow("404 for newVersion.txt")
            << Fault::VersionNotFound
            << "The update server could not deliver newVersion.txt: it answered \"404 Not Found\". "
               "Nothing was installed; try again later.";
        QTest::newRow("500 for updateText.txt")
            << Fault::TextServerError
            << "The update server could not deliver updateText.txt: it answered \"500 Internal "
               "Server Error\". Nothing was installed; try again later.";
        QTest::newRow("404 for the installer")
            << Fault::InstallerNotFound
            << "The update server could not deliver Zorvane.msi: it answered \"404 Not Found\". "
               "Nothing was installed; try again later.";
        QTest::newRow("short body")
            << Fault::ShortBody
            << "The transfer of Zorvane.msi broke off after 3000 of 5000 bytes (Connection "
               "closed). Try again later.";
        // The transfer itself ends well here; only counting the bytes shows the gap.
        QTest::newRow("short body, sent chunked")
            << Fault::ShortChunkedBody
            << "The download of Zorvane.msi is incomplete: only 3000 of 5000 bytes arrived. "
               "Nothing was installed; try again later.";
        QTest::newRow("stops mid-download")
            << Fault::StopsMidDownload << stopped.arg("Zorvane.msi");
        QTest::newRow("never answers") << Fault::SilentServer << stopped.arg("newVersion.txt");
        QTest::newRow("no Content-Length")
            << Fault::NoContentLength
            << "The update server did not say how large Zorvane.msi is (no valid Content-Length), "
               "so the download cannot be checked. Try again later.";
        QTest::newRow("unreachable")
            << Fault::Unreachable
            << "Could not fetch newVersion.txt from the update server at %1 (Connection refused). "
               "Check the internet connection and try again later.";
        QTest::newRow("installer not writable")
            << Fault::InstallerUnwritable
            << "Could not save Zorvane.msi in Zorvane's working folder \"%1\" (";
        QTest::newRow("launcher does not start")
            << Fault::LauncherNotStarted
            << "The downloaded installer could not be started (\"DeleteOLD.bat\" did not run). "
               "Zorvane.msi is in Zorvane's working folder \"%1\"; open it to install the new "
               "version.";
    }
    void failuresEndTheCheck()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, message);
        const QByteArray installer = randomBytes(5000);
        publish(QStringLiteral("1.0.6"), installer);
        UpdateServer::Response broken;
        broken.body = installer.left(3000);
        broken.contentLength = 5000;
        switch (fault) {
        case Fault::VersionNotFound:
            m_server->putStatus(QStringLiteral("newVersion.txt"), 404, "Not Found");
            break;
        case Fault::TextServerError:
            m_server->putStatus(QStringLiteral("updateText.txt"), 500, "Internal Server Error");
            break;
        case Fault::InstallerNotFound:
            m_server->putStatus(QStringLiteral("Zorvane.msi"), 404, "Not Found");
            break;
        case Fault::ShortBody: m_server->put(QStringLiteral("Zorvane.msi"), broken); break;
        case Fault::ShortChunkedBody:
            broken.chunked = true;
            m_server->put(QStringLiteral("Zorvane.msi"), broken);
            break;
        case Fault::StopsMidDownload:
            broken.stall = true;
            m_server->put(QStringLiteral("Zorvane.msi"), broken);
            break;
        case Fault::SilentServer: {
            UpdateServer::Response silent;
            silent.hold = true;
            m_server->put(QStringLiteral("newVersion.txt"), silent);
            break;
        }
        case Fault::NoContentLength:
            broken.body = installer;
            broken.contentLength = -2;
            m_server->put(QStringLiteral("Zorvane.msi"), broken);
            break;
        case Fault::Unreachable: {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            const QString folder =
                QStringLiteral("http://127.0.0.1:%1/updates/").arg(closed.serverPort());
            closed.close();
            useLocation(folder);
            message = message.arg(folder);
            break;
        }
        case Fault::InstallerUnwritable:
            QVERIFY(QDir().mkdir(QStringLiteral("Zorvane.msi")));
            message = message.arg(QDir::currentPath());
            break;
        case Fault::LauncherNotStarted:
            m_fakes.shell->result = false;
            message = message.arg(QDir::currentPath());
            break;
        }

        frmMain w;
        w.show();
        w.findChild<app::InetTransfer *>("Inet1")->setTimeout(500);
        click(w);

        QVERIFY(!m_fakes.messages->shown.isEmpty());
        const fake::ShownBox &error = m_fakes.messages->shown.last();
        QCOMPARE(error.title, QStringLiteral("Zorvane"));
        QCOMPARE(error.buttons, platform::MsgButtons::Ok);
        QCOMPARE(error.icon, platform::MsgIcon::None);
        if (fault == Fault::InstallerUnwritable)
            QVERIFY2(error.text.startsWith(message), qPrintable(error.text));
        else
            QCOMPARE(error.text, message);
        QVERIFY(!m_events.contains(QStringLiteral("end")));
        QVERIFY(!w.findChild<QPushButton *>("cmdUpdate")->isEnabled());
        for (const char *name : kStatusControls)
            QVERIFY2(w.findChild<QWidget *>(name)->isVisibleTo(&w), name);

        if (fault == Fault::LauncherNotStarted) {
            // The download itself was sound: the installer stays for the user.
            QVERIFY(contentOf("Zorvane.msi") == installer);
            return;
        }
        verifyNothingStarted();
        QVERIFY(!QFileInfo(QStringLiteral("Zorvane.msi")).isFile());
    }

    // The real end of the program, in a process of its own: the window's close
    // handling (which deletes "Yes.bat") must not run.
    void endingSkipsExitCleanup_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("scriptKept");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("ended at once") << "now" << true << QByteArray();
        QTest::newRow("closed normally") << "close" << false << QByteArray("event loop ended\n");
    }
    void endingSkipsExitCleanup()
    {
        QFETCH(QString, mode);
        QFETCH(bool, scriptKept);
        QFETCH(QByteArray, output);
        QFile(QStringLiteral("Yes.bat")).open(QIODevice::WriteOnly);
        QProcess probe;
        probe.setProgram(QCoreApplication::applicationDirPath() + "/end_now_probe");
        probe.setArguments({m_fixture->path(), mode});
        probe.setProcessChannelMode(QProcess::SeparateChannels);
        probe.start();
        QVERIFY(probe.waitForFinished(60000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(probe.readAllStandardOutput(), output);
        QCOMPARE(QFile::exists(QStringLiteral("Yes.bat")), scriptKept);
    }
};

QTEST_MAIN(tst_update_check)
#include "tst_update_check.moc"
