// How far a backup or restore is, read from its output alone: pscp's records,
// the script's lines, the announced totals and the time estimate.
#include "jobs/BackupHashes.h"
#include "jobs/JobProgress.h"
#include "jobs/ListedTotals.h"
#include "jobs/ProgressText.h"
#include "jobs/PscpProgressReader.h"
#include "jobs/TransferEstimate.h"

#include <QtTest>

using jobs::JobProgress;
using jobs::PscpProgressReader;
using jobs::TransferEstimate;
using Stage = JobProgress::Stage;

namespace {

// One record as pscp 0.78 prints it, into a pipe as into a terminal: "\r", the
// name cut to 25 bytes and padded, then the figures; "\n" once the file is whole.
QString record(const QString &name, qint64 kb, int percent)
{
    QByteArray cut = name.toUtf8().left(25);
    cut += QByteArray(std::max<qsizetype>(0, 25 - cut.size()), ' ');
    return QStringLiteral("\r%1 | %2 kB | %3 kB/s | ETA: 00:00:%4 | %5%")
               .arg(QString::fromUtf8(cut))
               .arg(kb)
               .arg(double(kb) / 3, 5, 'f', 1)
               .arg(percent == 100 ? 0 : 7, 2, 10, QLatin1Char('0'))
               .arg(percent, 3)
           + (percent == 100 ? QStringLiteral("\n") : QString());
}

// A file arriving in two records, then whole.
QString arrival(const QString &name, qint64 kb)
{
    return record(name, kb / 3, 33) + record(name, kb, 100);
}

struct Seen {
    QList<PscpProgressReader::Stats> stats;
    QStringList lines;
};

Seen readInChunks(const QString &output, int chunkSize)
{
    Seen seen;
    PscpProgressReader reader([&seen](const PscpProgressReader::Stats &s) { seen.stats.append(s); },
                              [&seen](const QString &line) { seen.lines.append(line); });
    for (qsizetype at = 0; at < output.size(); at += chunkSize)
        reader.feed(output.mid(at, chunkSize));
    reader.finish();
    return seen;
}

QString echo(const QString &line) { return line + QStringLiteral("\r\n"); }

} // namespace

class tst_job_progress : public QObject {
    Q_OBJECT
private slots:
    void recordsGiveFilesAndBytesHoweverSplit_data();
    void recordsGiveFilesAndBytesHoweverSplit();
    void recordLikeNamesAndEndlessOutputAreNoFiles();
    void backupCountsOnlyTheUsersFilesAndEndsAtTheTotals();
    void quickRepeatCountsWhatItFetches();
    void jobsThatDoNotCompleteSaySo_data();
    void jobsThatDoNotCompleteSaySo();
    void restoreFollowsTheDevicesCheck();
    void restoreCountsWhatGoesApartForItsNames();
    void restoreShowsItsCheckBeforeSendingAndItsRefusal();
    void estimateWaitsThenFollowsTheRecentRate();
    void estimateWeighsSmallFilesByTheirCount();
    void estimateIsNotMisledByOutputOnceASecond();
    void listedTotalsToleratesOtherLines();
    void wordsForTheLineAndTitle();
    void unknownTotalsAreNotBlamedOnTheListing();
    void devicesLineWithGroupedThousandsGivesTheTotals();
    void quietDeviceIsNamedUntilDataMovesAgain();
};

void tst_job_progress::recordsGiveFilesAndBytesHoweverSplit_data()
{
    QTest::addColumn<int>("chunkSize");
    for (int size : {1, 2, 3, 7, 25, 64, 256, 100000})
        QTest::addRow("chunks of %d", size) << size;
}

void tst_job_progress::recordsGiveFilesAndBytesHoweverSplit()
{
    QFETCH(int, chunkSize);
    const QString output = echo(QStringLiteral("Backing up your Applications..."))
                           + arrival(QStringLiteral("Strand à Nice.jpg"), 43)
                           + arrival(QStringLiteral("Déjà Vu.m4a"), 507)
                           + record(QStringLiteral("com.apple.springboard.plist"), 0, 100)
                           + arrival(QStringLiteral("Sketch Pad | notes.txt"), 12)
                           + record(QStringLiteral("Fotos für Oma mit Überlänge.jpg"), 9, 100)
                           // The rate fell below 1000.0 kB/s: pscp blanks out the
                           // longer record before with spaces after the "%".
                           + QStringLiteral("\rsong.m4a                  | 9984 kB | 1000.2 kB/s | "
                                            "ETA: 00:00:01 |  99%\rsong.m4a                  | "
                                            "9990 kB | 999.0 kB/s | ETA: 00:00:00 | 100% \n")
                           // Older pscp pads the kB to ten places.
                           + QStringLiteral("\rVoicemail.amr             |        317 kB | 317.0 "
                                            "kB/s | ETA: 00:00:00 | 100%\n")
                           + record(QStringLiteral("half.bin"), 20, 40);
    const Seen seen = readInChunks(output, chunkSize);
    QCOMPARE(seen.lines, QStringList{QStringLiteral("Backing up your Applications...")});
    QStringList whole;
    qint64 wholeKb = 0;
    for (const auto &s : seen.stats) {
        if (s.whole) {
            whole << s.name;
            wholeKb += s.kilobytes;
        }
    }
    // Names as pscp prints them: cut to 25 bytes, so a letter may be cut in two.
    QCOMPARE(whole.size(), 7);
    QCOMPARE(whole.mid(0, 4), (QStringList{"Strand à Nice.jpg", "Déjà Vu.m4a",
                                           "com.apple.springboard.pli", "Sketch Pad | notes.txt"}));
    QVERIFY(whole[4].startsWith(QStringLiteral("Fotos für Oma mit")));
    QCOMPARE(whole.mid(5), (QStringList{"song.m4a", "Voicemail.amr"}));
    QCOMPARE(wholeKb, 43 + 507 + 0 + 12 + 9 + 9990 + 317);
    QCOMPARE(seen.stats.last().whole, false);
    QCOMPARE(seen.stats.last().kilobytes, 20);
}

void tst_job_progress::recordLikeNamesAndEndlessOutputAreNoFiles()
{
    // A name cannot end a record early: the figures are read from the end.
    const auto s = PscpProgressReader::parseStats(
        QStringLiteral("a | 5 kB | 1.0 kB/s | ETA: 00:00:00 | 100% | 7 kB |   7.0 kB/s | ETA: "
                       "00:00:00 | 100%"));
    QVERIFY(s);
    QCOMPARE(s->kilobytes, 7);
    QVERIFY(!PscpProgressReader::parseStats(QStringLiteral("Backup check: 12 kB | 100%")));
    // Megabytes without a line break are dropped, not kept growing.
    const QString flood(3 * PscpProgressReader::kMaxPiece, QLatin1Char('x'));
    const Seen seen = readInChunks(flood + record(QStringLiteral("after"), 3, 100), 256);
    QCOMPARE(seen.lines, QStringList());
    QCOMPARE(seen.stats.size(), 1);
    QCOMPARE(seen.stats[0].name, QStringLiteral("after"));
}

// A quick repeat's figures are what it fetches: its own totals, said before
// the device's whole-device line (which then counts for nothing), and the
// records the device prints as its stream goes.
void tst_job_progress::quickRepeatCountsWhatItFetches()
{
    JobProgress p(JobProgress::Kind::Backup);
    qint64 ms = 0;
    const auto feed = [&](const QString &text) { p.feed(text, ms += 100); };
    feed(record(QStringLiteral("states.txt"), 15, 100));
    feed(echo(JobProgress::quickTotalsLine(2, 1000 * 1000)));
    feed(echo(QStringLiteral("The device holds 18,230 files, 1,083.5 MB to back up.")));
    QCOMPARE(p.figures().totalFiles, 2);
    QCOMPARE(p.figures().totalBytes, 1000 * 1000);
    QCOMPARE(p.figures().files, 0);
    feed(echo(JobProgress::kQuickCopyingLine));
    QCOMPARE(p.figures().stage, Stage::Copying);
    feed(record(QStringLiteral("sms.db"), 1000, 100));
    feed(record(QStringLiteral("zv-new.txt"), 1, 100));
    QCOMPARE(p.figures().files, 2);
    QCOMPARE(p.figures().percent, 99);
    QCOMPARE(jobs::progresstext::line(p.figures()).left(26),
             QStringLiteral("1.0 of 1.0 MB, 2 of 2 file"));
}

void tst_job_progress::backupCountsOnlyTheUsersFilesAndEndsAtTheTotals()
{
    JobProgress p(JobProgress::Kind::Backup);
    qint64 ms = 0;
    QList<JobProgress::Figures> seen;
    const auto feed = [&](const QString &text) {
        p.feed(text, ms += 100);
        seen << p.figures();
    };
    feed(echo(QStringLiteral("Do NOT worry if during this process it says something like file "
                             "not found, or path not found.")));
    QCOMPARE(p.figures().stage, Stage::Preparing);
    feed(echo(QStringLiteral("Backing up your Applications...")));
    feed(arrival(QStringLiteral("MobileSafari"), 900));
    // Before the device has listed its files there is no total and no percentage.
    QCOMPARE(p.figures().files, 1);
    QVERIFY(!p.figures().totalsKnown);
    QCOMPARE(p.figures().percent, 0);
    QCOMPARE(jobs::progresstext::line(p.figures()),
             QStringLiteral("0.9 MB, 1 files so far; the device counts its files after the "
                            "applications..."));
    // The helpers sent to the device are not the user's files.
    feed(echo(JobProgress::kBackupHelpersLine));
    for (const char *helper : {"cp", "chown", "plink.exe", "move.sh"})
        feed(record(QString::fromLatin1(helper), 4, 100));
    QCOMPARE(jobs::progresstext::line(p.figures()),
             QStringLiteral("0.9 MB, 1 files so far; the device is counting its files..."));
    feed(echo(QStringLiteral("Recorded the owners and modes of 40 files and folders.")));
    feed(echo(JobProgress::totalsLine(JobProgress::Kind::Backup, 4, 3 * 1024 * 1024)));
    QCOMPARE(p.figures().files, 1);
    QCOMPARE(p.figures().totalFiles, 4);
    feed(echo(QStringLiteral(
        "now downloading your /var/mobile and /var/root folders, this may take a while.")));
    feed(arrival(QStringLiteral("sms.db"), 1000));
    feed(arrival(QStringLiteral("Envelope Index"), 1000));
    // Beyond the list (the pairing records, the record itself): never past the totals.
    feed(arrival(QStringLiteral("pair_records.plist"), 90));
    feed(arrival(QStringLiteral("owners-modes.txt"), 80));
    QCOMPARE(p.figures().files, 4);
    QCOMPARE(p.figures().bytes, p.figures().totalBytes);
    // Everything arrived, but nothing is complete until the check has passed.
    QCOMPARE(p.figures().percent, 99);
    feed(echo(JobProgress::kBackupCheckingLine));
    feed(echo(QStringLiteral("Backup check: 4 files, 3.1 MB arrived, every file with the size "
                             "the device listed.")));
    QCOMPARE(p.figures().stage, Stage::Checking);
    feed(
        echo(QStringLiteral("The new backup is complete; the previous backup has been replaced.")));
    // What the device prints afterwards changes nothing.
    feed(echo(QStringLiteral("Zorvane restore check: FAILED")));
    p.runEnded();
    seen << p.figures();
    QCOMPARE(p.figures().stage, Stage::Passed);
    QCOMPARE(p.figures().percent, 100);
    QCOMPARE(p.figures().files, 4);
    for (qsizetype i = 1; i < seen.size(); ++i) {
        QVERIFY2(seen[i].files >= seen[i - 1].files, qPrintable(QString::number(i)));
        QVERIFY2(seen[i].bytes >= seen[i - 1].bytes, qPrintable(QString::number(i)));
        QVERIFY2(seen[i].percent >= seen[i - 1].percent, qPrintable(QString::number(i)));
    }
}

void tst_job_progress::jobsThatDoNotCompleteSaySo_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("stage");
    QTest::newRow("output ends while copying") << QString() << int(Stage::Cut);
    QTest::newRow("check fails")
        << echo(JobProgress::kBackupCheckingLine)
               + echo(QStringLiteral("The backup did not complete, so your previous backup has "
                                     "been put back unchanged."))
        << int(Stage::Failed);
    QTest::newRow("success line without the check")
        << echo(QStringLiteral("The new backup is complete; the previous backup has been "
                               "replaced."))
        << int(Stage::Cut);
}

void tst_job_progress::jobsThatDoNotCompleteSaySo()
{
    QFETCH(QString, ending);
    QFETCH(int, stage);
    JobProgress p(JobProgress::Kind::Backup);
    p.feed(echo(QStringLiteral("Backing up your Applications..."))
               + echo(JobProgress::totalsLine(JobProgress::Kind::Backup, 10, 10 * 1024 * 1024))
               + arrival(QStringLiteral("half"), 5 * 1024) + ending,
           1000);
    p.runEnded();
    const JobProgress::Figures f = p.figures();
    QCOMPARE(int(f.stage), stage);
    QVERIFY(f.percent < 100);
    const QString line = jobs::progresstext::line(f);
    QVERIFY2(line.startsWith(QStringLiteral("Did not complete")), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("1 of 10 files")), qPrintable(line));
    QVERIFY(jobs::progresstext::titleTag(p.kind(), f).contains(QStringLiteral("did not complete")));
}

void tst_job_progress::restoreFollowsTheDevicesCheck()
{
    const QString token = QStringLiteral("0123456789abcdef0123456789abcdef");
    const QString ok = QStringLiteral("Zorvane restore check: OK, every file of the backup is on "
                                      "the device with its size, owner and mode. (check %1)");
    const QString failed = QStringLiteral("Zorvane restore check: FAILED, the files listed above "
                                          "differ from the backup. (check %1)");
    struct Case {
        QString runToken; // the one the progress was given
        QStringList lines;
        Stage stage;
    };
    const QList<Case> cases{
        {token, {ok.arg(token)}, Stage::Passed},
        {token, {failed.arg(token)}, Stage::Failed},
        {token,
         {QStringLiteral("Zorvane restore check: NOT POSSIBLE, the record of the backup's file "
                         "sizes is missing or not whole. (check %1)")
              .arg(token)},
         Stage::Failed},
        // Restored files' names listed by the check, one with another run's
        // token: they decide nothing, the check's own line does.
        {token,
         {QStringLiteral("Zorvane restore check: OK.txt"),
          ok.arg(QStringLiteral("fedcba9876543210fedcba9876543210")), failed.arg(QString()),
          ok.arg(token)},
         Stage::Passed},
        {token,
         {ok.arg(QStringLiteral("fedcba9876543210fedcba9876543210")), failed.arg(token)},
         Stage::Failed},
        // Without this run's token no line is the verdict.
        {QString(), {ok.arg(token), ok.arg(QString())}, Stage::Checking},
    };
    for (const Case &c : cases) {
        JobProgress p(JobProgress::Kind::Restore, c.runToken);
        p.feed(
            echo(JobProgress::totalsLine(JobProgress::Kind::Restore, 2, 2048))
                + record(QStringLiteral("chown1"), 3, 100)
                + echo(QStringLiteral("Now putting back your applications, this may take a while!"))
                + record(QStringLiteral("a"), 1, 100) + echo(JobProgress::kRestoreSentLine)
                + record(QStringLiteral("fixmail.sh"), 2, 100),
            500);
        QCOMPARE(p.figures().files, 1);
        QCOMPARE(p.figures().stage, Stage::Checking);
        for (const QString &line : c.lines)
            p.feed(echo(line), 600);
        const QString what = c.lines.join(QLatin1Char('|'));
        QVERIFY2(p.figures().stage == c.stage, qPrintable(what));
        QVERIFY2(p.figures().files == (c.stage == Stage::Passed ? 2 : 1), qPrintable(what));
        QVERIFY2((p.figures().percent == 100) == (c.stage == Stage::Passed), qPrintable(what));
    }
}

void tst_job_progress::restoreCountsWhatGoesApartForItsNames()
{
    // 4 files of the backup, then 2 sent again apart: the bar covers all 6,
    // whichever is announced first.
    const QString apart = JobProgress::apartLine(2, 2000000);
    const QString totals = JobProgress::totalsLine(JobProgress::Kind::Restore, 4, 4000000);
    JobProgress later(JobProgress::Kind::Restore);
    later.feed(echo(totals) + echo(apart), 100);
    QCOMPARE(later.figures().totalFiles, 6);
    QCOMPARE(later.figures().totalBytes, 6000000);
    JobProgress p(JobProgress::Kind::Restore, QStringLiteral("0123"));
    p.feed(echo(apart) + echo(totals)
               + echo(QStringLiteral("Now putting back your applications, this may take a while!")),
           100);
    QCOMPARE(p.figures().totalFiles, 6);
    QCOMPARE(p.figures().totalBytes, 6000000);
    QString trees;
    for (const char *name : {"a\\b.txt", "b.txt", "c", "d"})
        trees += arrival(QLatin1String(name), 976);
    // A name of the backup that reads like the line adds nothing once copying.
    p.feed(trees + echo(apart), 200);
    QCOMPARE(p.figures().totalFiles, 6);
    QCOMPARE(p.figures().files, 4);
    QCOMPARE(p.figures().percent, 66);
    p.feed(arrival(QStringLiteral("1"), 976) + arrival(QStringLiteral("2"), 976)
               + echo(JobProgress::kRestoreSentLine),
           300);
    QCOMPARE(p.figures().files, 6);
    QCOMPARE(p.figures().percent, 99);
    p.feed(echo(QStringLiteral("Zorvane restore check: OK, every file (check 0123)")), 400);
    QCOMPARE(p.figures().percent, 100);
    QCOMPARE(p.figures().files, 6);
}

void tst_job_progress::restoreShowsItsCheckBeforeSendingAndItsRefusal()
{
    using jobs::BackupHashes;
    for (const bool refused : {false, true}) {
        JobProgress p(JobProgress::Kind::Restore, QStringLiteral("0123"));
        p.feed(echo(BackupHashes::progressLine(0, 0, 18230, 1480200000)), 100);
        QCOMPARE(p.figures().stage, Stage::Verifying);
        p.feed(echo(BackupHashes::progressLine(3105, 212000000, 18230, 1480200000)), 200);
        QCOMPARE(jobs::progresstext::line(p.figures()),
                 QStringLiteral("Checking the backup: 212 of 1,480 MB, 3,105 of 18,230 files"));
        // The copy's own figures start from nothing.
        QCOMPARE(p.figures().bytes, 0);
        QCOMPARE(p.figures().percent, 0);
        if (refused) {
            p.feed(echo(QStringLiteral("Nothing was sent: your backup has changed since it was "
                                       "backed up; 1 of its 18230 files are not as they were:")),
                   300);
            p.runEnded();
            QCOMPARE(p.figures().stage, Stage::Failed);
            QVERIFY(
                jobs::progresstext::line(p.figures()).startsWith(QStringLiteral("Nothing sent")));
            continue;
        }
        p.feed(echo(QStringLiteral("Backup check before sending: 18230 files, 1480.2 MB, every "
                                   "file as it was when it was backed up.")),
               250);
        QCOMPARE(p.figures().stage, Stage::Preparing);
        p.feed(echo(JobProgress::totalsLine(JobProgress::Kind::Restore, 18230, 1480200000))
                   + echo(QStringLiteral("Now putting back your applications, this may take a "
                                         "while!")),
               300);
        QCOMPARE(p.figures().stage, Stage::Copying);
        // A name of the backup that reads like the check's line changes nothing now.
        p.feed(echo(BackupHashes::progressLine(1, 1, 1, 1))
                   + echo(QStringLiteral("Nothing was sent: ")),
               400);
        QCOMPARE(p.figures().stage, Stage::Copying);
    }
}

void tst_job_progress::estimateWaitsThenFollowsTheRecentRate()
{
    TransferEstimate e;
    const qint64 total = 600'000'000;
    qint64 bytes = 0;
    qint64 ms = 0;
    // 1 MB/s at first: nothing to say during the first seconds.
    for (; ms <= 4000; ms += 250, bytes += 250'000)
        e.sample(ms, bytes / 1'000'000, bytes);
    QVERIFY(!e.secondsLeft(0, total - bytes));
    for (; ms <= 60000; ms += 250, bytes += 250'000)
        e.sample(ms, bytes / 1'000'000, bytes);
    const auto atFirst = e.secondsLeft(0, total - bytes);
    QVERIFY(atFirst);
    QVERIFY2(qAbs(*atFirst - (total - bytes) / 1'000'000) <= 2,
             qPrintable(QString::number(*atFirst)));
    // The link slows to a quarter: within the window the estimate follows the
    // new rate, which the whole job's average would not.
    for (const qint64 until = ms + 40000; ms <= until; ms += 250, bytes += 62'500)
        e.sample(ms, bytes / 1'000'000, bytes);
    const qint64 truth = (total - bytes) / 250'000;
    const auto later = e.secondsLeft(0, total - bytes);
    QVERIFY(later);
    QVERIFY2(qAbs(*later - truth) <= truth / 20, qPrintable(QString::number(*later)));
    // A pause (the device listing its files) is no copying time: after it the
    // estimate follows the resumed copy at once.
    e.pause();
    QVERIFY(!e.secondsLeft(0, total - bytes));
    ms += 100000;
    for (const qint64 until = ms + 2000; ms <= until; ms += 250, bytes += 62'500)
        e.sample(ms, bytes / 1'000'000, bytes);
    const auto resumed = e.secondsLeft(0, total - bytes);
    QVERIFY(resumed);
    QVERIFY2(qAbs(*resumed - (total - bytes) / 250'000) <= (total - bytes) / 250'000 / 20,
             qPrintable(QString::number(*resumed)));
}

void tst_job_progress::estimateWeighsSmallFilesByTheirCount()
{
    // Each file costs 20 ms beyond its bytes at 2 MB/s. A folder of small mail
    // messages, then one of songs, then small ones again.
    TransferEstimate e;
    qint64 files = 0, bytes = 0;
    double clock = 0;
    for (const auto &[size, seconds] :
         {std::pair<qint64, double>{2'000, 15}, {4'000'000, 15}, {3'000, 10}}) {
        for (const double until = clock + seconds; clock < until;) {
            clock += 0.020 + double(size) / 2e6;
            ++files;
            bytes += size;
            e.sample(qint64(clock * 1000), files, bytes);
        }
    }
    // Left: 5,000 small files of 2 kB (105 s) and 10 MB in a few songs (5 s).
    // The bytes alone would say about 11 s.
    const auto left = e.secondsLeft(5003, 5000 * 2'000 + 10'000'000);
    QVERIFY(left);
    QVERIFY2(qAbs(*left - 110) <= 22, qPrintable(QString::number(*left)));
}

void tst_job_progress::estimateIsNotMisledByOutputOnceASecond()
{
    // Each file costs 2 ms beyond its bytes at 2.3 MB/s. pscp writes a
    // record when a file ends and about once a second while a large one
    // arrives, so many short stretches of the copy show no progress at all.
    TransferEstimate e;
    const auto secondsFor = [](qint64 files, qint64 bytes) {
        return 0.002 * double(files) + double(bytes) / 2.3e6;
    };
    qint64 files = 0, bytes = 0, shownFiles = 0, shownBytes = 0;
    qint64 ms = 0, nextBurst = 0;
    double busyUntil = 0;
    // 40 s of 10 kB files, then 60 s of 4 MB songs, sampled every 250 ms.
    for (; ms <= 100000; ms += 250) {
        const bool songs = ms > 40000;
        const qint64 size = songs ? 4'000'000 : 10'000;
        while (busyUntil + secondsFor(1, size) <= ms / 1000.0) {
            busyUntil += secondsFor(1, size);
            ++files;
            bytes += size;
        }
        if (!songs) {
            shownFiles = files;
            shownBytes = bytes;
        } else if (ms >= nextBurst) {
            shownFiles = files;
            shownBytes = bytes + qint64((ms / 1000.0 - busyUntil) * 2.3e6);
            nextBurst = ms + 1000;
        }
        e.sample(ms, shownFiles, shownBytes);
    }
    // Left: 5,000 small files and 100 MB of songs (about 75 s).
    const double truth = secondsFor(5000, 5000 * 10'000) + secondsFor(25, 100'000'000);
    const auto left = e.secondsLeft(5025, 5000 * 10'000 + 100'000'000);
    QVERIFY(left);
    QVERIFY2(qAbs(double(*left) - truth) <= truth * 0.15,
             qPrintable(QStringLiteral("%1 s, really %2 s").arg(*left).arg(truth)));
}

void tst_job_progress::listedTotalsToleratesOtherLines()
{
    const auto t = jobs::ListedTotals::parse("# Zorvane file sizes 1\n"
                                             "120 Applications/Sketch Pad.app/Info.plist\n"
                                             "4000 mobile/Media/Fotos für Oma/Strand à Nice.jpg\n"
                                             "0 root/Library/Preferences/empty\n"
                                             "77 /etc/passwd\n"
                                             "# end 3 files\n"
                                             "3\n");
    QVERIFY(t);
    QCOMPARE(t->files, 3);
    QCOMPARE(t->bytes, 4120);
    QVERIFY(!jobs::ListedTotals::parse("120 Applications/a\n"));
    // A line the backup check would refuse as unreadable: no totals at all.
    const QByteArray longName = "mobile/" + QByteArray(4096, 'n');
    QVERIFY(!jobs::ListedTotals::parse("# Zorvane file sizes 1\n120 " + longName
                                       + "\n# end 1 files\n"));
}

void tst_job_progress::wordsForTheLineAndTitle()
{
    JobProgress::Figures f;
    f.stage = Stage::Copying;
    f.totalsKnown = true;
    f.files = 3105;
    f.totalFiles = 18230;
    f.bytes = 212'400'000;
    f.totalBytes = 1'480'000'000;
    f.percent = 14;
    QCOMPARE(jobs::progresstext::line(f),
             QStringLiteral("212 of 1,480 MB, 3,105 of 18,230 files, estimating..."));
    f.secondsLeft = 14 * 60 + 10;
    QCOMPARE(jobs::progresstext::line(f),
             QStringLiteral("212 of 1,480 MB, 3,105 of 18,230 files, about 14 min left"));
    QCOMPARE(jobs::progresstext::titleTag(JobProgress::Kind::Backup, f), QStringLiteral("14%"));
    QCOMPARE(jobs::progresstext::megabytes(4'150'000), QStringLiteral("4.2"));
    QCOMPARE(jobs::progresstext::timeLeft(3 * 3600 + 5 * 60), QStringLiteral("about 3 h 5 min"));
}

void tst_job_progress::unknownTotalsAreNotBlamedOnTheListing()
{
    // A restore of a backup without its list of sizes, and a backup whose
    // listing gave no totals: nothing is being listed, the totals are unknown.
    JobProgress restore(JobProgress::Kind::Restore);
    restore.feed(echo(QStringLiteral("Now putting back your applications, this may take a while!"))
                     + arrival(QStringLiteral("Info.plist"), 2),
                 100);
    JobProgress backup(JobProgress::Kind::Backup);
    backup.feed(echo(QStringLiteral("Backing up your Applications..."))
                    + echo(JobProgress::kBackupHelpersLine)
                    + echo(QStringLiteral("now downloading your /var/mobile and /var/root "
                                          "folders, this may take a while."))
                    + arrival(QStringLiteral("Info.plist"), 2),
                100);
    for (const JobProgress *p : {&restore, &backup}) {
        QCOMPARE(p->figures().stage, Stage::Copying);
        QCOMPARE(jobs::progresstext::line(p->figures()),
                 QStringLiteral("0.0 MB, 1 files so far; totals not known"));
        QCOMPARE(jobs::progresstext::titleTag(p->kind(), p->figures()), QString());
    }
}

void tst_job_progress::devicesLineWithGroupedThousandsGivesTheTotals()
{
    // As the device's listing prints it, thousands grouped by its own awk.
    JobProgress p(JobProgress::Kind::Backup);
    p.feed(echo(QStringLiteral("The device holds 18,230 files, 1,083.5 MB to back up.")), 100);
    QVERIFY(p.figures().totalsKnown);
    QCOMPARE(p.figures().totalFiles, 18230);
    QCOMPARE(p.figures().totalBytes, 1'083'500'000);
    QCOMPARE(JobProgress::totalsLine(JobProgress::Kind::Backup, 18230, 1'083'500'000),
             QStringLiteral("The device holds 18,230 files, 1083.5 MB to back up."));
}

void tst_job_progress::quietDeviceIsNamedUntilDataMovesAgain()
{
    // The watchdog's lines, as zcmd writes them between pscp's records.
    JobProgress p(JobProgress::Kind::Backup);
    p.feed(echo(QStringLiteral("Backing up your Applications...")), 100);
    p.feed(echo(JobProgress::totalsLine(JobProgress::Kind::Backup, 24, 41'000'000)), 200);
    p.feed(record(QStringLiteral("Movie.m4v"), 7000, 17), 300);
    p.feed(QStringLiteral("\r\nNo data from the device for 40 s: is it asleep or out of Wi-Fi? "
                          "(the step stops at 90 s)\r\n"),
           40'300);
    QCOMPARE(p.figures().quietSeconds, std::optional<qint64>(40));
    QCOMPARE(jobs::progresstext::line(p.figures()),
             QStringLiteral("No data from the device for 40 s: is it asleep or out of Wi-Fi?"));
    QCOMPARE(jobs::progresstext::titleTag(JobProgress::Kind::Backup, p.figures()),
             QStringLiteral("17%"));
    // The link came back: the figures go on where they were.
    p.feed(QStringLiteral("\r\nData from the device again; the job goes on.\r\n"), 41'000);
    QVERIFY(!p.figures().quietSeconds);
    QVERIFY2(jobs::progresstext::line(p.figures()).startsWith(QStringLiteral("7.2 of 41 MB")),
             qPrintable(jobs::progresstext::line(p.figures())));
    // A record of pscp clears it too.
    p.feed(echo(QStringLiteral("No data from the device for 15 s: is it asleep or out of Wi-Fi? "
                               "(the step stops at 90 s)")),
           60'000);
    QVERIFY(p.figures().quietSeconds);
    p.feed(record(QStringLiteral("Movie.m4v"), 9000, 100), 61'000);
    QVERIFY(!p.figures().quietSeconds);
    // A job that ended says how it ended, not that the device was quiet.
    p.feed(echo(QStringLiteral("No data from the device for 20 s: is it asleep or out of Wi-Fi? "
                               "(the step stops at 90 s)")),
           80'000);
    p.runEnded();
    QVERIFY(jobs::progresstext::line(p.figures()).startsWith(QStringLiteral("Did not complete")));
}

QTEST_GUILESS_MAIN(tst_job_progress)
#include "tst_job_progress.moc"
