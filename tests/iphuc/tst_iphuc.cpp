#include "CommandFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using iphuc::Command;

// The DFU job's USB tool: its command files, and what it says with no device.
class tst_iphuc : public QObject {
    Q_OBJECT

private slots:
    void readsTheCommandFiles()
    {
        std::vector<Command> commands;
        std::string error;
        const std::string text = "# phase 2\n\nwaitfor recovery\r\ncmd setenv auto-boot false\n"
                                 "  enterdfu  \nwaitfor dfu\nexit\n";
        QVERIFY(iphuc::parseCommandFile(text, "phase2.script", &commands, &error));
        QCOMPARE(commands.size(), size_t(5));
        QCOMPARE(int(commands[0].kind), int(Command::Kind::WaitFor));
        QCOMPARE(commands[0].argument, std::string("recovery"));
        QCOMPARE(commands[0].line, 3);
        QCOMPARE(commands[1].argument, std::string("setenv auto-boot false"));
        QCOMPARE(int(commands[2].kind), int(Command::Kind::EnterDfu));
        QCOMPARE(int(commands[4].kind), int(Command::Kind::Exit));
    }

    void malformedLinesAreNamed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unknown") << "enterrecovery\nreboot now\n"
                                 << "x.script, line 2: unknown command \"reboot\"";
        QTest::newRow("bad mode") << "\n\nwaitfor sleep\n"
                                  << "x.script, line 3: \"waitfor\" needs one of";
        QTest::newRow("empty cmd") << "cmd\n"
                                   << "x.script, line 1: \"cmd\" needs the text";
        QTest::newRow("extra argument") << "exit now\n"
                                        << "x.script, line 1: \"exit\" takes no argument";
    }
    void malformedLinesAreNamed()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        std::vector<Command> commands;
        std::string error;
        QVERIFY(!iphuc::parseCommandFile(text.toStdString(), "x.script", &commands, &error));
        QVERIFY2(QString::fromStdString(error).startsWith(expected), error.c_str());
    }

    void toolRefusesAMalformedFileBeforeTouchingUsb()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("bad.script")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("enterrecovery\nfly\n");
        f.close();
        const auto [code, err] = run({QStringLiteral("-s"), f.fileName()});
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(QStringLiteral("line 2: unknown command \"fly\"")), qPrintable(err));
    }

    void noDeviceOnUsbIsAClearFailure()
    {
        // This machine has no iPod on its USB bus (and no usbmuxd), as in CI.
        const QString phase1 =
            qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/phase1.script");
        QTemporaryDir dir;
        QString script = phase1;
        if (!QFile::exists(phase1)) {
            script = dir.filePath(QStringLiteral("phase1.script"));
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("enterrecovery\nwaitfor recovery\nexit\n");
        }
        const auto [code, err] = run({QStringLiteral("-s"), script});
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(QStringLiteral("no iPod Touch or iPhone is connected over USB")),
                 qPrintable(err));
    }

    void usageAndMissingFile()
    {
        QCOMPARE(run({}).first, 2);
        const auto [code, err] =
            run({QStringLiteral("-s"), QStringLiteral("/nonexistent/phase9.script")});
        QCOMPARE(code, 1);
        QVERIFY(err.contains(QStringLiteral("cannot read the command file")));
    }

private:
    std::pair<int, QString> run(const QStringList &args)
    {
        QProcess p;
        p.start(qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/iphuc"), args);
        if (!p.waitForFinished(30000))
            return {-1, QStringLiteral("timed out")};
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
    }
};

QTEST_MAIN(tst_iphuc)
#include "tst_iphuc.moc"
