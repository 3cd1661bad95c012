// What a finished job tells the user, from the script's notes and the transcript.
#include "jobs/JobOutcome.h"
#include "jobs/PlacedGeneration.h"
#include "support/FolderFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using jobs::JobOutcome;

class tst_job_outcome : public QObject {
    Q_OBJECT
private slots:
    void causesInTheUsersWords_data();
    void causesInTheUsersWords();
    void backupIsCompleteOnlyWhenEverythingHeld_data();
    void backupIsCompleteOnlyWhenEverythingHeld();
    void restoreNeedsTheDevicesCheck();
    void hugeTranscriptIsReadAsItsBeginningAndEnd();
};

void tst_job_outcome::causesInTheUsersWords_data()
{
    QTest::addColumn<QString>("transcript");
    QTest::addColumn<QString>("words");
    QTest::newRow("host key") << "FATAL ERROR: Cannot confirm a host key in batch mode\r\n"
                              << "Run SSH Fingerprint";
    QTest::newRow("password")
        << "Access denied\r\nFATAL ERROR: Configured password was not accepted"
        << "refused the password";
    QTest::newRow("unreachable") << "FATAL ERROR: Network error: Connection refused"
                                 << "No device answered";
    QTest::newRow("lost") << "FATAL ERROR: Remote side unexpectedly closed network connection"
                          << "connection to your device was lost";
    QTest::newRow("usb") << "iphuc: no iPod Touch or iPhone is connected over USB."
                         << "found on USB";
    // The first cause explains the later failures it brings.
    QTest::newRow("host key first") << "Cannot confirm a host key\r\nConnection refused"
                                    << "Run SSH Fingerprint";
    QTest::newRow("lost, then refused")
        << "Software caused connection abort\r\nNetwork error: Connection refused"
        << "connection to your device was lost";
    QTest::newRow("none") << "all went well"
                          << "";
    // pscp's progress records show file names; a name is never a cause.
    const QString progress = QStringLiteral("\r%1 | 32 kB |  32.0 kB/s | ETA: 00:00:00 | 100%\n");
    QTest::newRow("progress into a pipe, names glued")
        << QStringLiteral("done.\r\nConnection refused  | 0 kB |   0.2 kB/s | ETA: 00:00:00 | "
                          "100%\r\n\nAccess denied\n          | 32 kB |  32.0 kB/s | ETA: "
                          "00:00:00 |  66%\nAccess denied\n          | 48 kB |  48.0 kB/s | ETA: "
                          "00:00:00 | 100%\r\n")
        << "";
    QTest::newRow("a file named after a message")
        << progress.arg(QStringLiteral("Connection refused.txt")) << "";
    QTest::newRow("a name with line breaks")
        << progress.arg(QStringLiteral("\nAccess denied\n"))
               + progress.arg(QStringLiteral("\nFATAL ERROR: Cannot confirm a host key\n"))
        << "";
    QTest::newRow("missing files listed by name")
        << "  missing: mobile/Connection refused\r\n  size differs: mobile/Access denied"
        << "";
    QTest::newRow("lost in the middle of a file")
        << QStringLiteral("\rzz-large.bin              | 32 kB |  32.0 kB/s | ETA: 00:34:07 |   0%"
                          "FATAL ERROR: Error receiving data: Connection reset by peer\r\n"
                          "FATAL ERROR: Network error: Connection refused")
        << "connection to your device was lost";
    QTest::newRow("a file got shorter while it was read")
        << progress.arg(QStringLiteral("syslog"))
               + "pscp: end of file while reading\r\nLost connection\r\n"
        << "got shorter while it was copied";
    QTest::newRow("this computer's disk full")
        << progress.arg(QStringLiteral("sms.db")) + "pscp: ./Library/SMS/sms.db: Write error"
        << "disk of this computer is full";
    QTest::newRow("the device's disk full")
        << "ERROR: the device's disk is full: 12 KB free for /var/mobile."
        << "Your device's disk is full";
    // The interpreter's watchdog: saying the device is quiet names no cause,
    // ending the step does; what the later, refused steps print comes after.
    QTest::newRow("device went quiet, came back")
        << "\r\nNo data from the device for 15 s: is it asleep or out of Wi-Fi? (the step "
           "stops at 90 s)\r\nData from the device again; the job goes on.\r\n"
        << "";
    QTest::newRow("device quiet until the limit")
        << progress.arg(QStringLiteral("zz-large.bin"))
               + "\r\nNo data from the device for 85 s: is it asleep or out of Wi-Fi? (the step "
                 "stops at 90 s)\r\nZorvane stopped this step: no data from the device for 90 s."
                 "\r\nFATAL ERROR: Network error: Connection timed out"
        << "stopped answering in the middle of the job";
}

void tst_job_outcome::causesInTheUsersWords()
{
    QFETCH(QString, transcript);
    QFETCH(QString, words);
    const QString cause = JobOutcome::causeIn(transcript);
    QVERIFY2(words.isEmpty() ? cause.isEmpty() : cause.contains(words), qPrintable(cause));
}

void tst_job_outcome::backupIsCompleteOnlyWhenEverythingHeld_data()
{
    QTest::addColumn<QByteArray>("notes");
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<QString>("says");
    QTest::newRow("verified") << QByteArray(
        "job backup\r\nverified 2577 147700000 0 0\r\nkept new\r\nend\r\n")
                              << true << "2577 files, 147.7 MB";
    QTest::newRow("a fetch failed")
        << QByteArray("job backup\r\nfailed copying /var/mobile from the device\r\n"
                      "incomplete 10 100 3 0\r\nkept previous\r\nend\r\n")
        << false << "previous backup has been put back unchanged";
    QTest::newRow("first backup failed")
        << QByteArray("job backup\r\nfailed copying /Applications from the device\r\n"
                      "unchecked\r\nkept partial\r\nend\r\n")
        << false << "no earlier backup";
    QTest::newRow("short file") << QByteArray(
        "job backup\r\nincomplete 10 100 0 1\r\nkept previous\r\nend\r\n")
                                << false << "1 arrived with another size";
    QTest::newRow("no end") << QByteArray("job backup\r\nverified 1 1 0 0\r\nkept new\r\n") << false
                            << "did NOT complete";
    QTest::newRow("another job's notes")
        << QByteArray("job restore\r\nend\r\n") << false << "cannot tell";
    QTest::newRow("no notes") << QByteArray() << false << "cannot tell";
}

void tst_job_outcome::backupIsCompleteOnlyWhenEverythingHeld()
{
    QFETCH(QByteArray, notes);
    QFETCH(bool, succeeded);
    QFETCH(QString, says);
    const JobOutcome o = JobOutcome::decide(JobOutcome::Kind::Backup, notes, QStringLiteral("out"),
                                            QStringLiteral("/home/u/Zorvane"));
    QCOMPARE(o.succeeded, succeeded);
    QVERIFY2(o.text.contains(says), qPrintable(o.text));
    if (!succeeded)
        QVERIFY2(!o.text.contains(QStringLiteral("is complete"))
                     && !o.title.contains(QStringLiteral("Complete")),
                 qPrintable(o.title + o.text));
    QCOMPARE(o.transcript, QStringLiteral("out"));
}

void tst_job_outcome::restoreNeedsTheDevicesCheck()
{
    const QByteArray notes("job restore\r\nend\r\n");
    const auto decide = [&](const QString &transcript) {
        return JobOutcome::decide(JobOutcome::Kind::Restore, notes, transcript, QString());
    };
    QVERIFY(decide(QStringLiteral("Zorvane restore check: OK, every file")).succeeded);
    // With a run token in the notes only the check line that ends with it counts.
    const auto withToken = [](const QString &transcript) {
        return JobOutcome::decide(JobOutcome::Kind::Restore, "job restore\r\nrun 0a1b\r\nend\r\n",
                                  transcript, QString());
    };
    QVERIFY(withToken(QStringLiteral("Zorvane restore check: OK, all (check 0a1b)")).succeeded);
    QVERIFY(!withToken(QStringLiteral("\rZorvane restore check: OK, all (check 0a1b) | 0 kB |   "
                                      "0.0 kB/s | ETA: 00:00:00 | 100%\n"))
                 .succeeded);
    QVERIFY(!withToken(QStringLiteral("Zorvane restore check: OK\r\nZorvane restore check: "
                                      "FAILED, see above (check 0a1b)"))
                 .succeeded);
    QVERIFY(!withToken(QStringLiteral("Zorvane restore check: OK, all (check 9999)")).succeeded);
    const JobOutcome stopped = JobOutcome::decide(
        JobOutcome::Kind::Restore,
        "job restore\r\nrun 0a1b\r\nsent Applications\r\nfailed sending mobile to the "
        "device\r\nnotrestarted\r\nend\r\n",
        QString(), QString());
    QVERIFY(!stopped.succeeded);
    QVERIFY2(
        stopped.text.contains(QStringLiteral("NOT restarted"))
            && stopped.text.contains(QStringLiteral("Reached your device whole: Applications.")),
        qPrintable(stopped.text));
    QVERIFY(!decide(QStringLiteral("no check line")).succeeded);
    // plink's status says nothing when it abandons an unknown host key.
    QVERIFY(!JobOutcome::decide(JobOutcome::Kind::Relocation, "job relocation\r\nend\r\n",
                                QStringLiteral("Store key in cache? (y/n) Connection abandoned."),
                                QString())
                 .succeeded);
    const JobOutcome differs =
        decide(QStringLiteral("  size differs: /var/mobile/x\r\nZorvane restore check: FAILED"));
    QVERIFY(!differs.succeeded);
    QVERIFY(differs.text.contains(QStringLiteral("differ from the backup")));
    QVERIFY2(differs.text.contains(QStringLiteral("has NOT been restarted"))
                 && !differs.text.contains(QStringLiteral("you can run the restore again")),
             qPrintable(differs.text));
    // Refused before sending: the files named, the device untouched, what to
    // do instead; a name that reads like a verdict or a cause decides nothing.
    const JobOutcome refused = JobOutcome::decide(
        JobOutcome::Kind::Restore,
        "job restore\r\nrun 0a1b\r\nfailed checking your backup on this computer before "
        "sending: 2 of its files are not as they were when it was backed up\r\ndamaged "
        "mobile/Library/SMS/sms.db is 1,000 bytes; it was 60,000 when it was backed up\r\n"
        "damaged mobile/Media/Access denied is missing; it was 5 bytes when it was backed "
        "up\r\nnotsent\r\nend\r\n",
        QStringLiteral("Zorvane restore check: OK, all (check 0a1b)\r\n  mobile/Media/Access "
                       "denied is missing; it was 5 bytes when it was backed up"),
        QString());
    QVERIFY(!refused.succeeded);
    for (const QString &says :
         {QStringLiteral("nothing was sent"), QStringLiteral("Your device is unchanged"),
          QStringLiteral("mobile/Library/SMS/sms.db is 1,000 bytes; it was 60,000"),
          QStringLiteral("mobile/Media/Access denied is missing"),
          QStringLiteral("Back up your device again")})
        QVERIFY2(refused.text.contains(says),
                 qPrintable(says + QStringLiteral(": ") + refused.text));
    QVERIFY(!refused.text.contains(QStringLiteral("refused the password")));
    const JobOutcome upload = JobOutcome::decide(
        JobOutcome::Kind::Restore, "job restore\r\nfailed sending mobile to the device\r\nend\r\n",
        QStringLiteral("Zorvane restore check: OK"), QString());
    QVERIFY(!upload.succeeded);
    QVERIFY(upload.text.contains(QStringLiteral("sending mobile")));

    // An older backup restored: the window says which, and whether the newest
    // is back in place only when the script noted it.
    const QString when = jobs::PlacedGeneration::madeText(1765275010);
    const JobOutcome older = JobOutcome::decide(
        JobOutcome::Kind::Restore,
        "job restore\r\nrun 0a1b\r\ngeneration 1765275010\r\nnewestback\r\nend\r\n",
        QStringLiteral("Zorvane restore check: OK, all (check 0a1b)"), QString());
    QVERIFY(older.succeeded);
    QVERIFY2(older.text.contains(QStringLiteral("your older backup of ") + when)
                 && older.text.contains(QStringLiteral("newest backup is back in place")),
             qPrintable(older.text));
    const JobOutcome aside = JobOutcome::decide(
        JobOutcome::Kind::Restore,
        "job restore\r\nrun 0a1b\r\ngeneration 1765275010\r\nfailed sending root to the "
        "device\r\nnotrestarted\r\nend\r\n",
        QString(), QString());
    QVERIFY(!aside.succeeded);
    QVERIFY2(aside.text.contains(QStringLiteral("your older backup of ") + when)
                 && aside.text.contains(QStringLiteral("newest backup is not back in place yet"))
                 && !aside.text.contains(QStringLiteral("newest backup is back in place")),
             qPrintable(aside.text));
}

// A transcript that a device filled with output is not read whole: the cause
// still comes from its earliest tool message, the verdict from its end.
void tst_job_outcome::hugeTranscriptIsReadAsItsBeginningAndEnd()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const ScopedCurrentFolder inFolder(folder.path());
    QVERIFY(inFolder.entered());
    const auto writeFile = [](const QString &name, const QByteArray &content) {
        QFile f(name);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
    const QByteArray filler = QByteArray("device output line\r\n").repeated(1024 * 1024);
    QVERIFY(writeFile(jobs::kTranscriptFile, "Access denied\r\n" + filler + filler
                                                 + "Zorvane restore check: OK, every file\r\n"));
    const qint64 size = QFileInfo(jobs::kTranscriptFile).size();
    QVERIFY(size > JobOutcome::kTranscriptHead + JobOutcome::kTranscriptTail);

    QVERIFY(writeFile(jobs::kOutcomeFile, "job restore\r\nend\r\n"));
    const JobOutcome done = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY(done.succeeded);
    QVERIFY(done.transcript.size()
            < JobOutcome::kTranscriptHead + JobOutcome::kTranscriptTail + 100);
    QVERIFY(done.transcript.startsWith(QStringLiteral("Access denied\r\n")));
    QVERIFY(
        done.transcript.contains(QStringLiteral(" bytes of the job's output are left out here")));

    QVERIFY(writeFile(jobs::kOutcomeFile,
                      "job restore\r\nfailed sending mobile to the device\r\nend\r\n"));
    const JobOutcome failed = JobOutcome::read(JobOutcome::Kind::Restore);
    QVERIFY(!failed.succeeded);
    QVERIFY2(failed.text.contains(QStringLiteral("refused the password")), qPrintable(failed.text));
}

QTEST_GUILESS_MAIN(tst_job_outcome)
#include "tst_job_outcome.moc"
