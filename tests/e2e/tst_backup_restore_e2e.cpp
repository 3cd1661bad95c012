#include "TreeSnapshot.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "jobs/BackupHashes.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/ProgressText.h"
#include "runner/ReadOutput.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Backup and restore through the real main window, runner, interpreter, pscp
// and plink, against a simulated device.
class tst_backup_restore_e2e : public QObject {
    Q_OBJECT

public:
    static void initMain()
    {
        // The scripts' taskkill ends every Zorvane it can see: let it see only ours.
        SuiteFixture::prepareProcess(SuiteFixture::ProcessIds::Own);
    }

private slots:
    void initTestCase()
    {
        const QString why = SuiteFixture::whyDeviceCannotRun(SuiteFixture::ProcessIds::Own);
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>(SuiteFixture::Folder::ProgramCopy);
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
        m_fakes = m_fixture->fakes();
    }

    void cleanup()
    {
        m_window.reset();
        m_fixture.reset();
    }

    void backupCopiesTheDeviceWithEitherOption_data()
    {
        QTest::addColumn<bool>("relocated");
        QTest::newRow("apps in /Applications, No.bat") << false;
        QTest::newRow("apps in /var/Applications, Yes.bat") << true;
    }
    void backupCopiesTheDeviceWithEitherOption()
    {
        QFETCH(bool, relocated);
        startDevice(relocated);
        const QString console = backup(relocated);
        QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(console.right(2000)));
        compareWithDevice(TreeSnapshot::Content);
        // Started detached by the script's last lines: they may still be starting.
        QTRY_COMPARE(m_fixture->started().size(), 2);
        const QStringList started = m_fixture->started();
        QCOMPARE(QSet<QString>(started.begin(), started.end()),
                 (QSet<QString>{"Zorvane", "BackupComplete"}));
        // The pairing records stay out of the backup.
        QVERIFY(!QDir(QStringLiteral("mobile/Library/Lockdown")).exists());
        QVERIFY(!QDir(QStringLiteral("root/Library/Lockdown")).exists());
        QVERIFY(!QDir(QStringLiteral("PreviousBackup")).exists());
    }

    // Also: all the while, another user's ps never shows the password, and no
    // process but PuTTY's tools, nor any program the scripts started, has it
    // in its environment.
    void restoreBringsBackEveryFileWithOwnersAndModes()
    {
        startDevice(false);
        const QByteArray password = frmMain().findChild<QLineEdit *>("Text3")->text().toUtf8();
        QProcess othersPs, environments;
        for (QProcess *watch : {&othersPs, &environments}) {
            watch->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            watch->start(
                QCoreApplication::applicationDirPath() + QStringLiteral("/password_watch"),
                {watch == &othersPs ? QStringLiteral("cmdline") : QStringLiteral("environ")});
            QVERIFY(watch->waitForStarted());
            watch->write(password + '\n');
            QVERIFY(watch->waitForBytesWritten());
        }

        const TreeSnapshot apps = deviceTree(QStringLiteral("/Applications"));
        const TreeSnapshot mobile = deviceTree(QStringLiteral("/var/mobile"), kLockdown);
        const TreeSnapshot root = deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord);
        backup(false);
        m_fakes.messages->shown.clear();

        // The device loses its applications and data.
        const auto wiped = m_fixture->device().shell(
            QStringLiteral("rm -rf /Applications/* /var/mobile/Library /var/mobile/Media "
                           "/var/root/Library/Preferences"));
        QVERIFY2(wiped.exitCode == 0, wiped.output.constData());
        QVERIFY(deviceTree(QStringLiteral("/var/mobile"), kLockdown)
                    .differences(mobile, TreeSnapshot::Content)
                    .size()
                > 0);
        const int reboots = m_fixture->device().rebootCount();

        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        click("Command5");
        QVERIFY2(m_fakes.messages->shown.isEmpty(),
                 qPrintable(m_fakes.messages->shown.value(0).text));
        QTRY_COMPARE(m_fixture->started().size(), 4);
        const QStringList restarted = m_fixture->started().mid(2);
        QCOMPARE(QSet<QString>(restarted.begin(), restarted.end()),
                 (QSet<QString>{"RestoreComplete", "Zorvane"}));

        const auto differ = [](const TreeSnapshot &now, const TreeSnapshot &then) {
            return now.differences(then, TreeSnapshot::Everything).join(QLatin1Char('\n'));
        };
        QCOMPARE(differ(deviceTree(QStringLiteral("/Applications")), apps), QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/mobile"), kLockdown), mobile), QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord), root),
                 QString());
        QCOMPARE(m_fixture->device().rebootCount(), reboots + 1);

        for (QProcess *watch : {&othersPs, &environments}) {
            watch->closeWriteChannel();
            QVERIFY(watch->waitForFinished(30000));
            const QByteArray seen = watch->readAllStandardOutput();
            QVERIFY2(seen.startsWith("scans: ") && seen.mid(7).trimmed().toLong() > 100,
                     seen.constData());
        }
        QVERIFY(!m_fixture->startedEnvironments().isEmpty());
        QVERIFY(!m_fixture->startedEnvironments().contains(password));
    }

    void failedBackupKeepsThePreviousOne_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("wrong password") << "password";
        QTest::newRow("device stopped") << "stopped";
        QTest::newRow("connection cut during /var/mobile") << "cut";
    }
    void failedBackupKeepsThePreviousOne()
    {
        QFETCH(QString, fault);
        startDevice(false);
        backup(false);
        const TreeSnapshot before = localBackup();
        QVERIFY(before.size() > 50);
        m_fixture.get(); // the same folder holds the previous backup

        // Something new on the device that must not half-arrive.
        QVERIFY(m_fixture->device()
                    .shell(QStringLiteral("echo new > /var/mobile/Media/new.txt"))
                    .exitCode
                == 0);
        m_fakes.messages->shown.clear();
        if (fault == QLatin1String("password")) {
            frmMain().findChild<QLineEdit *>("Text3")->setText(QStringLiteral("wrong"));
        } else if (fault == QLatin1String("stopped")) {
            QVERIFY(m_fixture->device().stop());
        } else {
            // Enough data in /var/mobile that its transfer is still going when the
            // connection is cut, soon after it has started.
            QVERIFY(m_fixture->device()
                        .shell(QStringLiteral("yes 'large media file' | head -c 67108864 > "
                                              "/var/mobile/Media/zz-large.bin"))
                        .exitCode
                    == 0);
            QCOMPARE(QFileInfo(m_fixture->device().hostPath(
                                   QStringLiteral("/var/mobile/Media/zz-large.bin")))
                         .size(),
                     kLargeFileBytes);
            cutWhenConsoleShows(QStringLiteral("now downloading your /var/mobile"));
        }
        const QString console = backup(false);
        if (!console.contains(QStringLiteral("your previous backup has been put back unchanged")))
            qWarning().noquote() << console.right(4000);
        QVERIFY(
            console.contains(QStringLiteral("your previous backup has been put back unchanged")));
        QCOMPARE(localBackup().differences(before, TreeSnapshot::Content).join(QLatin1Char('\n')),
                 QString());
        QVERIFY(!QDir(QStringLiteral("PreviousBackup")).exists());
        if (fault == QLatin1String("cut"))
            QVERIFY(m_cutDone);
        // The progress says in words that the job did not complete.
        const QString line = frmMain().findChild<QLabel *>("lblBackupProgress")->text();
        QVERIFY2(line.startsWith(QStringLiteral("Did not complete")), qPrintable(line));
        QVERIFY(frmMain().findChild<QProgressBar *>("prgBackup")->value() < 100);
        QVERIFY(frmMain().windowTitle().contains(QStringLiteral("did not complete")));
    }

    // Over a link as slow as the device's Wi-Fi, a backup and then a restore
    // show their progress beside the busy sign while they run: the line's
    // figures and the bar only increase, and they end at the device's totals
    // once the job's check has passed.
    void progressFollowsBackupAndRestoreOverASlowLink()
    {
        SimulatedDevice::Options options;
        options.linkRate = QStringLiteral("12mbit");
        QString error;
        QVERIFY2(m_fixture->startDevice(options, SuiteFixture::HostKey::Stored, &error),
                 qPrintable(error));
        const auto [files, bytes] = listedOnDevice();
        QVERIFY(files > 50);
        const QString totals =
            QStringLiteral("Complete and checked: %1 MB, %2 files")
                .arg(jobs::progresstext::megabytes(bytes), jobs::progresstext::grouped(files));

        ProgressWatch backupWatch(frmMain(), "prgBackup", "lblBackupProgress");
        const QString console = backup(false);
        QVERIFY2(console.contains(QStringLiteral("The device holds %1 files")
                                      .arg(jobs::progresstext::grouped(files))),
                 qPrintable(console.right(2000)));
        backupWatch.verify(totals);

        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        ProgressWatch restoreWatch(frmMain(), "prgRestore", "lblRestoreProgress");
        click("Command5");
        QVERIFY(frmMain().console().text().contains(
            QStringLiteral("Your backup holds %1 files").arg(jobs::progresstext::grouped(files))));
        restoreWatch.verify(totals);
    }

    // Over the slow link, a restore whose connection drops while a large file
    // is on its way: the progress line's figures only increase, and its last
    // words say that the restore did not complete.
    void restoreCutOverASlowLinkSaysItDidNotComplete()
    {
        SimulatedDevice::Options options;
        options.linkRate = QStringLiteral("12mbit");
        QString error;
        QVERIFY2(m_fixture->startDevice(options, SuiteFixture::HostKey::Stored, &error),
                 qPrintable(error));
        const QString large = QStringLiteral("/var/mobile/Media/zz-large.bin");
        QVERIFY(m_fixture->device()
                    .shell(QStringLiteral("yes 'large media file' | head -c %1 > %2")
                               .arg(kCutFileBytes)
                               .arg(large))
                    .exitCode
                == 0);
        const QString console = backup(false);
        QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(console.right(2000)));
        // Gone from the device: while the restore sends it, it is there but not whole.
        QVERIFY(QFile::remove(m_fixture->device().hostPath(large)));

        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        ProgressWatch watch(frmMain(), "prgRestore", "lblRestoreProgress");
        bool cut = false;
        QTimer cutter;
        connect(&cutter, &QTimer::timeout, this, [&] {
            const QFileInfo arriving(m_fixture->device().hostPath(large));
            if (cut || !arriving.exists() || arriving.size() == 0
                || arriving.size() >= kCutFileBytes / 2 || watch.lastPercent() <= 0)
                return;
            cut = killSessions() > 0;
        });
        cutter.start(5);
        click("Command5");
        cutter.stop();
        QVERIFY(cut);
        QVERIFY(QFileInfo(m_fixture->device().hostPath(large)).size() < kCutFileBytes);
        watch.verifyCut();
    }

    // What the started program's jobs make is the user's alone, whatever umask
    // it was started with: a backup run by the real program (the person's
    // clicks stood in for) leaves its script, notes and copied folders private.
    void startedProgramKeepsItsFilesToTheUser()
    {
        startDevice(false);
        const QString program = m_fixture->file(QStringLiteral("Zorvane-started"));
        QVERIFY(QFile::copy(qEnvironmentVariable("ZORVANE_BIN_DIR") + QStringLiteral("/Zorvane"),
                            program));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LD_PRELOAD"),
                   QCoreApplication::applicationDirPath() + QStringLiteral("/libuser_stand_in.so"));
        env.insert(QStringLiteral("ZORVANE_USER_STEPS"),
                   QStringLiteral("Text2=127.0.0.1 Command1 Check1 optNo cmdAgree"));
        QProcess started;
        started.setProgram(program);
        started.setWorkingDirectory(m_fixture->path());
        started.setProcessEnvironment(env);
        started.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const mode_t umaskBefore = ::umask(022); // group and others may read
        started.start();
        ::umask(umaskBefore);
        QVERIFY(started.waitForStarted());
        const auto end = qScopeGuard([&started] {
            started.kill();
            started.waitForFinished();
        });
        // The script's closing lines start the completion program.
        QTRY_VERIFY_WITH_TIMEOUT(m_fixture->started().contains(QStringLiteral("BackupComplete")),
                                 300000);
        QVERIFY(started.state() == QProcess::Running);

        const auto modeOf = [](const QString &path) {
            struct stat st {};
            return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777)
                                                                          : -1;
        };
        // Written by the program, by the script, by what the script started.
        for (const char *file : {"No.bat", "LastJob.log", "LastJob.txt", "started.log"}) {
            const int mode = modeOf(m_fixture->file(QLatin1String(file)));
            QCOMPARE(QStringLiteral("%1 %2").arg(QLatin1String(file)).arg(mode, 0, 8),
                     QStringLiteral("%1 600").arg(QLatin1String(file)));
        }
        // Fetched by pscp: every folder 0700, nothing open to others.
        int entries = 0;
        for (const char *folder : {"Applications", "mobile", "root"}) {
            const QString top = m_fixture->file(QLatin1String(folder));
            QCOMPARE(modeOf(top), 0700);
            QDirIterator it(top,
                            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (it.fileInfo().isSymLink())
                    continue;
                const int mode = modeOf(path);
                QVERIFY2((mode & 077) == 0, qPrintable(path));
                if (it.fileInfo().isDir())
                    QCOMPARE(mode, 0700);
                ++entries;
            }
        }
        QVERIFY(entries > 50);
    }

    // A device in use: a log that grows a line every tenth of a second and a
    // database rewritten in place with the same size, all through two
    // backups in a row. Both complete, name the files that changed, and the
    // copy of the database is one whole version of it.
    void backupOfADeviceInUseCompletesNamingWhatChanged()
    {
        startDevice(false);
        const QString log = QStringLiteral("mobile/Library/Logs/syslog");
        const QString db = QStringLiteral("mobile/Library/SMS/sms.db");
        // Each version: one line that names it, again and again, cut at 256 KiB.
        const QString version = QStringLiteral(
            "awk -v v=\"$i\" 'BEGIN { for (j = 0; j < 12484; j++) printf \"sms version %08d\\n\", "
            "v }' | head -c 262144 | dd of=/var/mobile/Library/SMS/sms.db conv=notrunc bs=262144 "
            "2>/dev/null");
        QVERIFY(m_fixture->device().shell(QStringLiteral("i=0; ") + version).exitCode == 0);
        // Stand-in for the programs at work on a device: started and stopped here.
        QProcess writer;
        const QStringList command = m_fixture->device().shellCommand(
            QStringLiteral("i=0; while :; do i=$((i + 1)); echo \"kernel[0]: line $i\" >> "
                           "/var/mobile/Library/Logs/syslog; ")
            + version + QStringLiteral("; sleep 0.1; done"));
        writer.start(command.first(), command.mid(1));
        QVERIFY(writer.waitForStarted());
        const auto stop = qScopeGuard([&writer] {
            writer.kill();
            writer.waitForFinished();
        });
        for (int run = 1; run <= 2; ++run) {
            const QString console = backup(false);
            const jobs::JobOutcome outcome = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Backup);
            QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                     qPrintable(QStringLiteral("run %1: %2\n%3\n%4")
                                    .arg(run)
                                    .arg(outcome.text, outcome.transcript.right(6000),
                                         console.right(1500))));
            QVERIFY2(outcome.succeeded, qPrintable(outcome.text));
            QVERIFY2(outcome.text.contains(log) && outcome.text.contains(db),
                     qPrintable(outcome.text));
            QFile copy(db);
            QVERIFY(copy.open(QIODevice::ReadOnly));
            const QByteArray content = copy.readAll();
            QCOMPARE(content.size(), 262144);
            const QByteArray line = content.left(content.indexOf('\n') + 1);
            QVERIFY2(line.startsWith("sms version "), line.constData());
            QVERIFY2(content == line.repeated(12484).left(262144),
                     qPrintable(QStringLiteral("run %1: the copy mixes versions").arg(run)));
            QVERIFY(writer.state() == QProcess::Running);
        }
    }

    // A named pipe and a socket in /var/mobile: no copy opens them, so the
    // backup completes and names them; they are in place on the device after
    // it, and a restore onto an emptied device makes the pipe again.
    void pipesAndSocketsAreNeverOpenedAndThePipeComesBack()
    {
        startDevice(false);
        const QByteArray caches =
            QFile::encodeName(m_fixture->device().hostPath(QStringLiteral("/var/mobile/Library/Caches")));
        const QByteArray pipe = caches + "/com.apple.notify pipe";
        const QByteArray socket = caches + "/lockdown.sock";
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        QCOMPARE(::chmod(pipe.constData(), 0620), 0);
        QCOMPARE(::lchown(pipe.constData(), 501, 501), 0);
        {
            // A socket file, as a program that listened there leaves it.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(fd >= 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(socket.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, socket.constData(), size_t(socket.size()));
            const int bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
            ::close(fd);
            QCOMPARE(bound, 0);
        }
        const QString console = backup(false);
        QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(console.right(3000)));
        const jobs::JobOutcome outcome = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Backup);
        QVERIFY2(outcome.succeeded, qPrintable(outcome.text));
        QVERIFY2(outcome.text.contains(QStringLiteral("a pipe, a socket"))
                     && outcome.text.contains(QStringLiteral("com.apple.notify pipe"))
                     && outcome.text.contains(QStringLiteral("lockdown.sock")),
                 qPrintable(outcome.text));
        struct stat st {};
        QVERIFY(::lstat(pipe.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        QVERIFY(::lstat(socket.constData(), &st) == 0 && S_ISSOCK(st.st_mode));
        QVERIFY(!QFileInfo::exists(QStringLiteral("mobile/Library/Caches/com.apple.notify pipe")));

        const auto wiped = m_fixture->device().shell(QStringLiteral("rm -rf /var/mobile/Library"));
        QVERIFY2(wiped.exitCode == 0, wiped.output.constData());
        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        click("Command5");
        QTRY_COMPARE(m_fixture->started().size(), 4);
        QVERIFY2(::lstat(pipe.constData(), &st) == 0 && S_ISFIFO(st.st_mode),
                 qPrintable(frmMain().console().text().right(3000)));
        QCOMPARE(int(st.st_mode & 07777), 0620);
        QCOMPARE(int(st.st_uid), 501);
        QCOMPARE(int(st.st_gid), 501);
        QVERIFY(jobs::JobOutcome::read(jobs::JobOutcome::Kind::Restore).succeeded);
    }

    // Three backups with changes between them: the two before the newest lie
    // among the older backups, each as the device was when it was made, and a
    // file unchanged through all three is one file on this computer. The
    // Restore pane offers all three, the newest chosen; the oldest, restored
    // onto an emptied device, brings back the device as it was then, owners
    // and modes too, and the newest backup is in place again, unchanged.
    void backupsKeepTheirGenerationsSharingUnchangedFiles()
    {
        startDevice(false);
        SimulatedDevice &d = m_fixture->device();
        QList<TreeSnapshot> states;
        QList<TreeSnapshot> firstState;
        for (int run = 1; run <= 3; ++run) {
            const auto changed = d.shell(
                QStringLiteral("echo %1 > /var/mobile/Library/Preferences/zv-run.txt && rm -f "
                               "/var/mobile/Media/zv-%2.txt && echo new > /var/mobile/Media/zv-%1.txt")
                    .arg(run)
                    .arg(run - 1));
            QVERIFY2(changed.exitCode == 0, changed.output.constData());
            states << deviceTree(QStringLiteral("/var/mobile"), kLockdown);
            if (run == 1)
                firstState = {deviceTree(QStringLiteral("/Applications")), states.first(),
                              deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord)};
            const QString console = backup(false);
            QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                     qPrintable(console.right(3000)));
        }
        const QList<jobs::Generations::Generation> older = jobs::Generations::list();
        QCOMPARE(older.size(), 2);
        QStringList folders;
        for (int i = 0; i < older.size(); ++i) {
            folders << jobs::Generations::kFolder + QLatin1Char('/') + older[i].folder;
            QCOMPARE(TreeSnapshot::read(folders.last() + QStringLiteral("/mobile"))
                         .differences(states[i], TreeSnapshot::Content)
                         .join(QLatin1Char('\n')),
                     QString());
        }
        QCOMPARE(TreeSnapshot::read(QStringLiteral("mobile"))
                     .differences(states[2], TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
        const QByteArray same = "/mobile/Media/DCIM/100APPLE/IMG_0001.JPG";
        struct stat newest {}, middle {}, oldest {};
        QVERIFY(::lstat(same.mid(1).constData(), &newest) == 0);
        QVERIFY(::lstat((folders[1].toUtf8() + same).constData(), &middle) == 0);
        QVERIFY(::lstat((folders[0].toUtf8() + same).constData(), &oldest) == 0);
        QCOMPARE(newest.st_ino, middle.st_ino);
        QCOMPARE(middle.st_ino, oldest.st_ino);
        QVERIFY(jobs::BackupHashes::check().passed());

        // The choice: the newest first and chosen, then the older ones.
        click("Command4");
        auto *choice = frmMain().findChild<QComboBox *>("cboGeneration");
        auto *show = frmMain().findChild<QPushButton *>("cmdShowGeneration");
        QVERIFY(choice->isVisible() && show->isVisible());
        QCOMPARE(choice->count(), 3);
        QCOMPARE(choice->currentIndex(), 0);
        QVERIFY2(choice->itemText(0).startsWith(QStringLiteral("Newest, ")),
                 qPrintable(choice->itemText(0)));
        const QString oldestWhen = jobs::PlacedGeneration::madeText(older[0].made);
        QVERIFY2(choice->itemText(2).startsWith(oldestWhen + QStringLiteral(", iPod, ")),
                 qPrintable(choice->itemText(2)));
        choice->setCurrentIndex(2);
        show->click();
        QCOMPARE(m_fakes.shell->openedFolders,
                 QStringList{QDir(m_fixture->path()).filePath(folders[0])});

        const auto differ = [](const TreeSnapshot &now, const TreeSnapshot &then) {
            return now.differences(then, TreeSnapshot::Everything).join(QLatin1Char('\n'));
        };
        const QStringList items{QStringLiteral("Applications"), QStringLiteral("mobile"),
                                QStringLiteral("root"), QStringLiteral("Generations")};
        QList<TreeSnapshot> kept;
        for (const QString &item : items)
            kept << TreeSnapshot::read(item);
        const QByteArray newestDevice = readFile(QStringLiteral("BackupDevice.txt"));
        const auto wiped = d.shell(QStringLiteral("rm -rf /Applications/* /var/mobile/* "
                                                  "/var/root/Library/Preferences"));
        QVERIFY2(wiped.exitCode == 0, wiped.output.constData());
        const int started = m_fixture->started().size();
        m_fakes.messages->shown.clear();
        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        click("Command5");
        QVERIFY2(m_fakes.messages->shown.isEmpty(),
                 qPrintable(m_fakes.messages->shown.value(0).text));
        QTRY_COMPARE(m_fixture->started().size(), started + 2);
        const jobs::JobOutcome restored = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Restore);
        QVERIFY2(restored.succeeded, qPrintable(restored.text + frmMain().console().text().right(3000)));
        QVERIFY2(restored.text.contains(QStringLiteral("your older backup of ") + oldestWhen)
                     && restored.text.contains(QStringLiteral("newest backup is back in place")),
                 qPrintable(restored.text));
        QCOMPARE(differ(deviceTree(QStringLiteral("/Applications")), firstState[0]), QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/mobile"), kLockdown), firstState[1]),
                 QString());
        QCOMPARE(differ(deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord), firstState[2]),
                 QString());
        // Here: the newest in place again and every older backup, as they were.
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(differ(TreeSnapshot::read(items[i]), kept[i]), QString());
        QCOMPARE(readFile(QStringLiteral("BackupDevice.txt")), newestDevice);
        QVERIFY(jobs::BackupHashes::check().passed());
        QVERIFY(!QFileInfo::exists(jobs::PlacedGeneration::kFoundFolder));
    }

    // pscp aborts when a file grows while it reads it (a device's log) and
    // copies nothing after it: the copy is made again from the start, up to
    // three times in all; past that the backup fails naming why, and the
    // previous backup is kept.
    void aCopyThatAbortsIsMadeAgain()
    {
        startDevice(false);
        QTemporaryDir tools;
        QVERIFY(tools.isValid());
        // Stand-in for a pscp that aborts under a growing file: it makes its
        // copy of /var/mobile, then aborts, as many times as STANDIN_ABORTS
        // says; every other copy is pscp's own.
        QFile standIn(tools.filePath(QStringLiteral("pscp")));
        QVERIFY(standIn.open(QIODevice::WriteOnly));
        standIn.write("#!/bin/sh\n"
                      "case \"$*\" in *:/var/mobile*)\n"
                      "  n=$(cat \"$STANDIN_COUNT\" 2>/dev/null || echo 0)\n"
                      "  echo $((n + 1)) > \"$STANDIN_COUNT\"\n"
                      "  if [ \"$n\" -lt \"$STANDIN_ABORTS\" ]; then\n"
                      "    /usr/bin/pscp \"$@\"\n"
                      "    echo \"pscp: ./pscp.c:1514: scp_recv_filedata: Assertion failed.\" >&2\n"
                      "    kill -ABRT $$\n"
                      "  fi ;;\n"
                      "esac\n"
                      "exec /usr/bin/pscp \"$@\"\n");
        standIn.close();
        QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([path] {
            qputenv("PATH", path);
            qunsetenv("STANDIN_ABORTS");
            qunsetenv("STANDIN_COUNT");
        });
        qputenv("PATH", QFile::encodeName(tools.path()) + ':' + path);
        qputenv("STANDIN_COUNT", QFile::encodeName(tools.filePath(QStringLiteral("count"))));

        qputenv("STANDIN_ABORTS", "1");
        QString console = backup(false);
        QVERIFY2(console.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(console.right(3000)));
        QCOMPARE(console.count(QStringLiteral("copying /var/mobile again from the start")), 1);
        compareWithDevice(TreeSnapshot::Content);
        const TreeSnapshot before = localBackup();

        QFile::remove(tools.filePath(QStringLiteral("count")));
        qputenv("STANDIN_ABORTS", "3");
        console = backup(false);
        QVERIFY2(console.contains(QStringLiteral("your previous backup has been put back unchanged")),
                 qPrintable(console.right(3000)));
        const jobs::JobOutcome outcome = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Backup);
        QVERIFY2(outcome.text.contains(QStringLiteral(
                     "copying /var/mobile from the device: a file on your device grew while it "
                     "was copied, three times in a row")),
                 qPrintable(outcome.text));
        QCOMPARE(localBackup().differences(before, TreeSnapshot::Content).join(QLatin1Char('\n')),
                 QString());
    }

    // Copying only what changed since the last backup: after a full backup
    // the device changes (a file rewritten in place with its size and its
    // modification time put back as they were, a file replaced by a folder
    // of its name, a file new and one gone, a file through a link). The
    // quick repeat fetches only those, its tree is the device's, its lists
    // are the ones a full backup of the same device makes, an unchanged file
    // is the previous backup's own, and a full backup after it holds the
    // same tree.
    void quickRepeatGivesWhatAFullBackupGives_data() { backupCopiesTheDeviceWithEitherOption_data(); }
    void quickRepeatGivesWhatAFullBackupGives()
    {
        QFETCH(bool, relocated);
        startDevice(relocated);
        SimulatedDevice &d = m_fixture->device();
        const auto onDevice = [&d](const QString &command) {
            const auto r = d.shell(QStringLiteral("cd /var/mobile/Media && ") + command);
            return r.exitCode == 0 ? QString() : QString::fromUtf8(r.output);
        };
        QCOMPARE(onDevice(QStringLiteral(
                     "echo aaaa > 'zv same size.txt' && echo file > zv-becomes && echo x > zv-gone "
                     "&& mkdir -p zv-target && echo in > zv-target/f && ln -s zv-target zv-link")),
                 QString());
        // A file changed within two seconds of a listing counts as changed at
        // the next: the device's tree, made as it started, must be older.
        const auto newest = d.shell(QStringLiteral(
            "find /Applications/ /var/mobile/ /var/root/ -exec stat -c %Z {} + | sort -n | tail -n 1"));
        const qint64 made = newest.output.trimmed().toLongLong();
        QVERIFY2(newest.exitCode == 0 && made > 0, newest.output.constData());
        QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > made + 3, 10000);
        const QString first = backup(relocated);
        QVERIFY2(first.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(first.right(3000)));
        QCOMPARE(onDevice(QStringLiteral(
                     "touch -r 'zv same size.txt' /tmp/zv-ref && printf 'bbbb\\n' | dd of='zv "
                     "same size.txt' conv=notrunc 2>/dev/null && touch -r /tmp/zv-ref 'zv same "
                     "size.txt' && rm zv-becomes zv-gone && mkdir zv-becomes && echo inner > "
                     "zv-becomes/zv-becomes && echo new > zv-new && echo changed > zv-target/f")),
                 QString());
        // The script starts the program again: the box shows, not ticked.
        m_window.reset();
        frmMain().findChild<QPushButton *>("Command1")->click();
        auto *quick = frmMain().findChild<QCheckBox *>("chkQuickRepeat");
        QVERIFY(quick && quick->isVisible() && !quick->isChecked());
        quick->setChecked(true);
        const QString console = backup(relocated);
        QVERIFY2(console.contains(QStringLiteral("Quick repeat: copying only what changed"))
                     && console.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(console.right(4000)));
        // What was fetched, not the whole device: the changed files, the
        // link's folder and the records.
        const QRegularExpressionMatch fetched =
            QRegularExpression(QStringLiteral("Copying only what changed: (\\d+) files"))
                .match(console);
        QVERIFY2(fetched.hasMatch() && fetched.captured(1).toInt() <= 4,
                 qPrintable(fetched.captured(0)));
        QVERIFY(!console.contains(QStringLiteral("now downloading your /var/mobile")));
        // The files it linked count as shared with the backup kept before it.
        const QRegularExpressionMatch shared =
            QRegularExpression(QStringLiteral("; (\\d+) files?, [^;]* of the new backup are unchanged"))
                .match(console);
        QVERIFY2(shared.hasMatch() && shared.captured(1).toInt() > 80, qPrintable(shared.captured(0)));
        // The device's tree, the link as pscp copies it: as what it points to.
        QCOMPARE(TreeSnapshot::read(QStringLiteral("mobile"), {QStringLiteral("Media/zv-link")})
                     .differences(deviceTree(QStringLiteral("/var/mobile"),
                                             kLockdown + QStringList{QStringLiteral("Media/zv-link")}),
                                  TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
        QCOMPARE(TreeSnapshot::read(QStringLiteral("mobile/Media/zv-link"))
                     .differences(deviceTree(QStringLiteral("/var/mobile/Media/zv-target")),
                                  TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
        QCOMPARE(TreeSnapshot::read(QStringLiteral("Applications"))
                     .differences(deviceTree(QStringLiteral("/Applications")), TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
        QCOMPARE(QFileInfo(QStringLiteral("mobile/Media/zv-becomes")).isDir(), true);
        QVERIFY(!QFileInfo::exists(QStringLiteral("mobile/Media/zv-gone")));
        const QList<jobs::Generations::Generation> older = jobs::Generations::list();
        QCOMPARE(older.size(), 1);
        const QString previous = jobs::Generations::kFolder + QLatin1Char('/') + older.first().folder;
        struct stat now {}, then {};
        const QByteArray same = "mobile/Media/DCIM/100APPLE/IMG_0001.JPG";
        QVERIFY(::lstat(same.constData(), &now) == 0
                && ::lstat((previous.toUtf8() + '/' + same).constData(), &then) == 0);
        QCOMPARE(now.st_ino, then.st_ino);
        QVERIFY(jobs::BackupHashes::check().passed());
        const QStringList lists{QStringLiteral("owners-modes.txt"), QStringLiteral("file-sizes.txt"),
                                QStringLiteral("links.txt"), QStringLiteral("specials.txt"),
                                QStringLiteral("file-hashes.txt")};
        const auto entries = [&lists]() {
            QStringList all;
            for (const QString &name : lists) {
                QFile f(QStringLiteral("root/Library/Zorvane/") + name);
                if (!f.open(QIODevice::ReadOnly))
                    return QStringList{name + QStringLiteral(" missing")};
                for (const QByteArray &line : f.readAll().split('\n'))
                    if (!line.startsWith('#'))
                        all << name + QLatin1Char(' ') + QString::fromUtf8(line);
            }
            return all;
        };
        const QStringList quickLists = entries();
        const TreeSnapshot quickMobile = TreeSnapshot::read(QStringLiteral("mobile"));

        // The same device state, copied whole.
        quick->setChecked(false);
        const QString full = backup(relocated);
        QVERIFY2(full.contains(QStringLiteral("The new backup is complete"))
                     && !full.contains(QStringLiteral("Quick repeat")),
                 qPrintable(full.right(3000)));
        QCOMPARE(entries(), quickLists);
        QCOMPARE(TreeSnapshot::read(QStringLiteral("mobile"))
                     .differences(quickMobile, TreeSnapshot::Content)
                     .join(QLatin1Char('\n')),
                 QString());
    }

    // Chosen where it cannot work, the quick repeat says why and the whole
    // device is copied: with no backup here yet, and on a device without tar.
    void quickRepeatThatCannotCopiesTheWholeDevice()
    {
        startDevice(false);
        frmMain().findChild<QCheckBox *>("chkQuickRepeat")->setChecked(true);
        const QString first = backup(false);
        QVERIFY2(first.contains(QStringLiteral("Copy only what changed was chosen, but there is no "
                                               "complete backup here yet; the whole device is "
                                               "copied."))
                     && first.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(first.right(3000)));
        const auto noTar = m_fixture->device().shell(QStringLiteral("rm /bin/tar"));
        QVERIFY2(noTar.exitCode == 0, noTar.output.constData());
        m_window.reset();
        frmMain().findChild<QCheckBox *>("chkQuickRepeat")->setChecked(true);
        const QString second = backup(false);
        QVERIFY2(second.contains(QStringLiteral("The device's tar cannot send the changed files in "
                                                "one stream; the whole device is copied."))
                     && second.contains(QStringLiteral("now downloading your /var/mobile"))
                     && second.contains(QStringLiteral("The new backup is complete")),
                 qPrintable(second.right(3000)));
        compareWithDevice(TreeSnapshot::Content);
    }

    void restoreWithoutBackupLeavesTheDeviceAlone()
    {
        startDevice(false);
        const TreeSnapshot device = deviceTree(QStringLiteral("/var"));
        const int reboots = m_fixture->device().rebootCount();
        frmMain().findChild<QCheckBox *>("Check2")->setChecked(true);
        click("Command5");
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY(
            m_fakes.messages->shown.first().text.contains(QStringLiteral("no complete backup")));
        QCOMPARE(deviceTree(QStringLiteral("/var")).differences(device, TreeSnapshot::Everything),
                 QStringList());
        QCOMPARE(m_fixture->device().rebootCount(), reboots);
        QVERIFY(m_fixture->started().isEmpty());
    }

private:
    static constexpr qint64 kLargeFileBytes = 64 * 1048576;
    static constexpr qint64 kCutFileBytes = 6 * 1048576; // about 4 s over the slow link
    const QStringList kLockdown{QStringLiteral("Library/Lockdown")};
    const QStringList kLockdownAndRecord{QStringLiteral("Library/Lockdown"),
                                         QStringLiteral("Library/Zorvane")};

    app::frmMain &frmMain()
    {
        if (!m_window) {
            m_window = std::make_unique<app::frmMain>();
            m_window->show();
            m_window->findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.1"));
        }
        return *m_window;
    }
    void click(const char *name) { frmMain().findChild<QPushButton *>(name)->click(); }
    static QByteArray readFile(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void startDevice(bool relocated)
    {
        SimulatedDevice::Options options;
        options.appsRelocated = relocated;
        QString error;
        QVERIFY2(m_fixture->startDevice(options, SuiteFixture::HostKey::Stored, &error),
                 qPrintable(error));
    }

    // Runs a backup through the window; returns the Console's transcript.
    QString backup(bool symlinked)
    {
        app::frmMain &w = frmMain();
        w.findChild<QCheckBox *>("Check1")->setChecked(false);
        w.findChild<QCheckBox *>("Check1")->setChecked(true);
        w.findChild<QRadioButton *>(symlinked ? "optYes" : "optNo")->setChecked(true);
        click("cmdAgree"); // returns when the script's output has ended
        return w.console().text();
    }

    TreeSnapshot deviceTree(const QString &devicePath, const QStringList &excluded = {})
    {
        return TreeSnapshot::read(m_fixture->device().hostPath(devicePath), excluded);
    }
    TreeSnapshot localBackup()
    {
        // The backup, without the job's scripts and its notes and transcript.
        return TreeSnapshot::read(m_fixture->path(),
                                  {QStringLiteral("started.log"), QStringLiteral("No.bat"),
                                   QStringLiteral("Yes.bat"), QStringLiteral("LastJob.txt"),
                                   QStringLiteral("LastJob.log")});
    }

    void compareWithDevice(TreeSnapshot::Compare what)
    {
        const auto same = [what](const TreeSnapshot &local, const TreeSnapshot &device) {
            return local.differences(device, what).join(QLatin1Char('\n'));
        };
        QCOMPARE(same(TreeSnapshot::read(QStringLiteral("Applications")),
                      deviceTree(QStringLiteral("/Applications"))),
                 QString());
        QCOMPARE(same(TreeSnapshot::read(QStringLiteral("mobile")),
                      deviceTree(QStringLiteral("/var/mobile"), kLockdown)),
                 QString());
        QCOMPARE(
            same(TreeSnapshot::read(QStringLiteral("root"), {QStringLiteral("Library/Zorvane")}),
                 deviceTree(QStringLiteral("/var/root"), kLockdownAndRecord)),
            QString());
    }

    // Ends the device's SSH sessions (not its listener) once the Console shows
    // the given text, as a dropped Wi-Fi connection would.
    void cutWhenConsoleShows(const QString &text)
    {
        auto *runner = frmMain().findChild<ReadOutput *>("ReadOutput1");
        m_cutDone = false;
        m_cutConnection = connect(runner, &ReadOutput::GotChunk, this, [this, text] {
            if (!frmMain().console().text().contains(text))
                return;
            disconnect(m_cutConnection);
            // Cut while the large file is arriving: it exists here, but not whole yet.
            auto *watch = new QTimer(this);
            connect(watch, &QTimer::timeout, this, [this, watch] {
                const QFileInfo arriving(QStringLiteral("Incoming/mobile/Media/zz-large.bin"));
                if (!arriving.exists() || arriving.size() == 0)
                    return;
                if (arriving.size() < kLargeFileBytes)
                    m_cutDone = killSessions() > 0;
                watch->deleteLater();
            });
            watch->start(5);
        });
    }

private:
    // Reads a job's progress bar and line whenever they change while it runs.
    class ProgressWatch {
    public:
        ProgressWatch(app::frmMain &window, const char *bar, const char *line)
            : m_window(window)
            , m_bar(window.findChild<QProgressBar *>(bar))
            , m_line(window.findChild<QLabel *>(line))
        {
            QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
            m_timer.start(20);
        }

        // Each reading's files and megabytes never fewer than the one before,
        // the bar never lower; the last reading, after the check, at the totals.
        void verify(const QString &totals)
        {
            m_timer.stop();
            look();
            verifyIncreasing();
            const QString last = m_readings.last();
            QVERIFY2(last.startsWith(QStringLiteral("100|")), qPrintable(last));
            QVERIFY2(last.endsWith(totals), qPrintable(last + QStringLiteral(" / ") + totals));
            QVERIFY(!m_bar->isHidden() && !m_line->isHidden());
            QVERIFY2(m_window.windowTitle().startsWith(QStringLiteral("100% - ")),
                     qPrintable(m_window.windowTitle()));
        }

        // A job cut part-way: its figures increased all the while, and the
        // last reading, the bar short of full, says in words that it did not
        // complete, as the window's title does.
        void verifyCut()
        {
            m_timer.stop();
            look();
            verifyIncreasing();
            const QString last = m_readings.last();
            QVERIFY2(last.section(QLatin1Char('|'), 0, 0).toInt() < 100, qPrintable(last));
            QVERIFY2(
                last.section(QLatin1Char('|'), 1).startsWith(QStringLiteral("Did not complete")),
                qPrintable(m_readings.join(QLatin1Char('\n'))));
            QVERIFY2(m_window.windowTitle().contains(QStringLiteral("did not complete")),
                     qPrintable(m_window.windowTitle()));
        }

        // The bar's value at the last reading (none yet: -1).
        int lastPercent() const
        {
            return m_readings.isEmpty() ? -1
                                        : m_readings.last().section(QLatin1Char('|'), 0, 0).toInt();
        }

    private:
        void verifyIncreasing()
        {
            QVERIFY2(m_readings.size() >= 3, qPrintable(m_readings.join(QLatin1Char('\n'))));
            static const QRegularExpression figures(
                QStringLiteral("^([0-9.,]+)(?: of [0-9.,]+)? MB, ([0-9,]+)(?: of [0-9,]+)? files"));
            double mb = 0;
            qint64 files = 0;
            int percent = 0;
            bool sawEstimate = false;
            for (const QString &reading : m_readings) {
                const qsizetype bar = reading.indexOf(QLatin1Char('|'));
                const int value = reading.left(bar).toInt();
                const QString line = reading.mid(bar + 1);
                QVERIFY2(value >= percent, qPrintable(m_readings.join(QLatin1Char('\n'))));
                percent = value;
                sawEstimate = sawEstimate || line.contains(QStringLiteral(" left"))
                              || line.contains(QStringLiteral("estimating"));
                const QRegularExpressionMatch m = figures.match(line);
                if (!m.hasMatch())
                    continue;
                const double nowMb = m.captured(1).remove(QLatin1Char(',')).toDouble();
                const qint64 nowFiles = m.captured(2).remove(QLatin1Char(',')).toLongLong();
                QVERIFY2(nowMb >= mb && nowFiles >= files,
                         qPrintable(m_readings.join(QLatin1Char('\n'))));
                mb = nowMb;
                files = nowFiles;
            }
            QVERIFY2(sawEstimate, qPrintable(m_readings.join(QLatin1Char('\n'))));
        }

        void look()
        {
            // Shown by the job (its pane need not be the one in front).
            if (m_line->isHidden())
                return;
            const QString reading =
                QString::number(m_bar->value()) + QLatin1Char('|') + m_line->text();
            if (m_readings.isEmpty() || m_readings.last() != reading)
                m_readings.append(reading);
        }

        app::frmMain &m_window;
        QProgressBar *m_bar;
        QLabel *m_line;
        QTimer m_timer;
        QStringList m_readings;
    };

    // The files the device lists for a backup, and their bytes: everything in
    // its three trees but the pairing records.
    std::pair<qint64, qint64> listedOnDevice() const
    {
        qint64 files = 0;
        qint64 bytes = 0;
        for (const char *tree : {"/Applications", "/var/mobile", "/var/root"}) {
            const QString top = m_fixture->device().hostPath(QString::fromLatin1(tree));
            QDirIterator it(top, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (path.mid(top.size()).startsWith(QStringLiteral("/Library/Lockdown/")))
                    continue;
                ++files;
                bytes += it.fileInfo().size();
            }
        }
        return {files, bytes};
    }

    static QByteArray linkText(const QByteArray &path)
    {
        char buffer[256];
        const ssize_t n = ::readlink(path.constData(), buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
    }

    int killSessions()
    {
        int killed = 0;
        const QByteArray ownNet = linkText("/proc/self/ns/net");
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (!pid.front().isDigit())
                continue;
            QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (!cmd.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = cmd.readAll();
            if (!line.startsWith("sshd: "))
                continue;
            if (linkText(QStringLiteral("/proc/%1/ns/net").arg(pid).toLatin1()) != ownNet)
                continue;
            killed += ::kill(pid.toInt(), SIGKILL) == 0;
        }
        return killed;
    }

    std::unique_ptr<SuiteFixture> m_fixture;
    std::unique_ptr<app::frmMain> m_window;
    fake::Services m_fakes{};
    QMetaObject::Connection m_cutConnection;
    bool m_cutDone = false;
};

QTEST_MAIN(tst_backup_restore_e2e)
#include "tst_backup_restore_e2e.moc"
