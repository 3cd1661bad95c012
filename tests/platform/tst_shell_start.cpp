#include "platform/desktop/QtShell.h"
#include "support/FolderFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

using platform::QtShell;
using platform::WindowStyle;

// How a file is started through the shell on this system.
class tst_shell_start : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<FolderFixture>();
        QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
        m_folder->fakes().app->dir = qEnvironmentVariable("ZORVANE_BIN_DIR");
    }
    void cleanup() { m_folder.reset(); }

    void batchScriptsRunUnderTheInterpreter()
    {
        const QString zcmd = qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/zcmd");
        const QString terminal = executable(QStringLiteral("stand-in-terminal"));
        qputenv("ZORVANE_TERMINAL", (terminal + QStringLiteral(" --hold -e")).toLocal8Bit());
        QCOMPARE(QtShell::commandFor(QStringLiteral("SSH.bat"), WindowStyle::NormalFocus),
                 (QStringList{terminal, "--hold", "-e", zcmd, "SSH.bat"}));
        QCOMPARE(QtShell::commandFor(QStringLiteral("DeleteOLD.BAT"), WindowStyle::Hidden),
                 (QStringList{zcmd, "DeleteOLD.BAT"}));
        // Folder separators may be written the Windows way.
        QCOMPARE(QtShell::commandFor(QStringLiteral("jobs\\SSH.bat"), WindowStyle::Hidden),
                 (QStringList{zcmd, "jobs/SSH.bat"}));
        qunsetenv("ZORVANE_TERMINAL");
    }

    void withoutATerminalNothingRunsUnseen()
    {
        // No terminal program on the search path, or one named that is not there.
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&path] {
            qputenv("PATH", path);
            qunsetenv("ZORVANE_TERMINAL");
        });
        qputenv("PATH", m_folder->path().toLocal8Bit());
        for (const char *terminal : {"", "no-such-terminal -e"}) {
            qputenv("ZORVANE_TERMINAL", terminal);
            QtShell shell;
            QVERIFY(!shell.canShowConsoleWindow());
            QVERIFY(
                QtShell::commandFor(QStringLiteral("SSH.bat"), WindowStyle::NormalFocus).isEmpty());
            QVERIFY(!shell.start(QStringLiteral("mark.bat"), WindowStyle::NormalFocus));
        }
        // xterm, once installed, is found.
        executable(QStringLiteral("xterm"));
        qunsetenv("ZORVANE_TERMINAL");
        QVERIFY(QtShell().canShowConsoleWindow());
        QCOMPARE(QtShell::commandFor(QStringLiteral("SSH.bat"), WindowStyle::NormalFocus).mid(0, 2),
                 (QStringList{m_folder->file(QStringLiteral("xterm")), "-e"}));
    }

    void programsStartThemselvesAndDocumentsHaveNoCommand()
    {
        executable(QStringLiteral("tool"));
        QCOMPARE(QtShell::commandFor(QStringLiteral("tool"), WindowStyle::Hidden),
                 QStringList{m_folder->file(QStringLiteral("tool"))});

        QFile doc(QStringLiteral("Zorvane.msi"));
        QVERIFY(doc.open(QIODevice::WriteOnly));
        doc.close();
        QVERIFY(QtShell::commandFor(QStringLiteral("Zorvane.msi"), WindowStyle::Hidden).isEmpty());
    }

    void hiddenStartRunsDetached()
    {
        // A hidden start really runs the script, without waiting for it.
        QFile script(QStringLiteral("mark.bat"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("@echo off\r\necho done>mark.txt\r\nexit\r\n");
        script.close();
        QtShell shell;
        QVERIFY(shell.start(QStringLiteral("mark.bat"), WindowStyle::Hidden));
        QTRY_VERIFY(QFile::exists(QStringLiteral("mark.txt")));
    }

private:
    // An executable stand-in of that name in the test's folder; its path.
    QString executable(const QString &name)
    {
        QFile program(m_folder->file(name));
        if (program.open(QIODevice::WriteOnly)) {
            program.write("#!/bin/sh\n");
            program.close();
            program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        return program.fileName();
    }

    std::unique_ptr<FolderFixture> m_folder;
};

QTEST_MAIN(tst_shell_start)
#include "tst_shell_start.moc"
