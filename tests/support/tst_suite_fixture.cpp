#include "alert/frmAlert.h"
#include "platform/Platform.h"
#include "support/SuiteFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QtTest>

// The fixture of the window and end-to-end suites: what it sets up is in place
// while it stands, and what it changed is put back when it goes, so that
// nothing of one test reaches the next.
class tst_suite_fixture : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void emptyFolderIsCurrentWhileItStands()
    {
        const QString before = QDir::currentPath();
        QString folder;
        {
            SuiteFixture fixture;
            QVERIFY2(fixture.isValid(), qPrintable(fixture.error()));
            folder = fixture.path();
            QVERIFY(folder != before);
            QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
            QCOMPARE(platform::Platform::app().folder(), folder);
            QVERIFY(QDir(folder).isEmpty());
        }
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo(QDir::currentPath()).isDir());
        QVERIFY(platform::Platform::app().folder() != folder); // the production services again
    }

    void programCopyAndEnvironmentArePutBack_data()
    {
        QTest::addColumn<bool>("setBefore");
        QTest::newRow("HOME, PUTTYDIR and ComSpec set before") << true;
        QTest::newRow("HOME, PUTTYDIR and ComSpec unset before") << false;
    }
    void programCopyAndEnvironmentArePutBack()
    {
        QFETCH(bool, setBefore);
        const QByteArray home = qgetenv("HOME");
        const bool puttyDirSet = qEnvironmentVariableIsSet("PUTTYDIR");
        const QByteArray puttyDir = qgetenv("PUTTYDIR");
        const auto restoreHome = qScopeGuard([&] {
            qputenv("HOME", home);
            if (puttyDirSet)
                qputenv("PUTTYDIR", puttyDir);
            else
                qunsetenv("PUTTYDIR");
        });
        const char *const names[] = {"HOME", "PUTTYDIR", "ComSpec"};
        for (const char *name : names) {
            if (setBefore)
                qputenv(name, QByteArray("/before/") + name);
            else
                qunsetenv(name);
        }
        {
            SuiteFixture fixture(SuiteFixture::Folder::ProgramCopy);
            QVERIFY2(fixture.isValid(), qPrintable(fixture.error()));
            // The folder's own interpreter runs the scripts; PuTTY keeps its keys in a private HOME.
            QVERIFY(!qEnvironmentVariableIsSet("ComSpec"));
            QVERIFY(QFileInfo(fixture.file(QStringLiteral("zcmd"))).isExecutable());
            QCOMPARE(qEnvironmentVariable("HOME"), fixture.home());
            QCOMPARE(qEnvironmentVariable("PUTTYDIR"), fixture.home() + QStringLiteral("/.putty"));
            QVERIFY(QDir(fixture.home()).exists());
            QVERIFY(fixture.started().isEmpty());
            fixture.useInterpreter("/stand-in/interpreter");
            QCOMPARE(qgetenv("ComSpec"), QByteArray("/stand-in/interpreter"));
        }
        for (const char *name : names) {
            QCOMPARE(qEnvironmentVariableIsSet(name), setBefore);
            if (setBefore)
                QCOMPARE(qgetenv(name), QByteArray("/before/") + name);
        }
    }

    void alertsLeftOpenAreClosed()
    {
        QPointer<alert::frmAlert> left;
        {
            SuiteFixture fixture;
            QVERIFY(fixture.isValid());
            left = new alert::frmAlert;
            left->DisplayAlert(QStringLiteral("left open"), 3000);
            QCOMPARE(alert::frmAlert::AlertCount(), 1);
        }
        QVERIFY(left.isNull());
        QCOMPARE(alert::frmAlert::AlertCount(), 0);
    }
};

QTEST_MAIN(tst_suite_fixture)
#include "tst_suite_fixture.moc"
