#include "jobs/JobProgress.h"

#include "jobs/ProgressText.h"

#include <QRegularExpression>
#include <algorithm>

namespace jobs {

const QString JobProgress::kBackupHelpersLine =
    QStringLiteral("Placing the backup helpers on your device...");
const QString JobProgress::kQuickCopyingLine =
    QStringLiteral("Copying what changed since the last backup...");
const QString JobProgress::kBackupCheckingLine =
    QStringLiteral("Checking the backup against the device's list of files...");
const QString JobProgress::kRestoreSentLine =
    QStringLiteral("The copy to your device has ended; the device checks it next.");

namespace {

const QString kBackupBegins = QStringLiteral("Backing up your Applications...");
const QString kBackupResumes = QStringLiteral(
    "now downloading your /var/mobile and /var/root folders, this may take a while.");
const QString kBackupPassed =
    QStringLiteral("The new backup is complete; the previous backup has been replaced.");
const QString kFirstBackupPassed = QStringLiteral("The new backup is complete.");
const QString kBackupFailed = QStringLiteral("The backup did not complete");
const QString kRestoreBegins =
    QStringLiteral("Now putting back your applications, this may take a while!");
const QString kRestorePassed = QStringLiteral("Zorvane restore check: OK");
const QString kRestoreFailed = QStringLiteral("Zorvane restore check: ");
const QString kDeviceBack = QStringLiteral("Data from the device again; the job goes on.");

// What a whole file adds beyond the whole kB pscp shows: half a kB on average.
constexpr qint64 kHalfKilobyte = 512;

} // namespace

JobProgress::JobProgress(Kind kind, QString runToken)
    : m_kind(kind)
    , m_runToken(std::move(runToken))
    , m_reader([this](const PscpProgressReader::Stats &s) { onStats(s); },
               [this](const QString &line) { onLine(line); })
{}

QString JobProgress::totalsLine(Kind kind, qint64 files, qint64 bytes)
{
    const QString mb = QString::number(double(bytes) / 1e6, 'f', 1);
    return kind == Kind::Backup ? QStringLiteral("The device holds %1 files, %2 MB to back up.")
                                      .arg(progresstext::grouped(files), mb)
                                : QStringLiteral("Your backup holds %1 files, %2 MB to restore.")
                                      .arg(progresstext::grouped(files), mb);
}

QString JobProgress::quickTotalsLine(qint64 files, qint64 bytes)
{
    return QStringLiteral("Copying only what changed: %1 files, %2 MB to fetch.")
        .arg(progresstext::grouped(files), QString::number(double(bytes) / 1e6, 'f', 1));
}

QString JobProgress::apartLine(qint64 files, qint64 bytes)
{
    return QStringLiteral("Also sending %1 files, %2 MB, in a separate step, so that their names "
                          "reach your device whole.")
        .arg(progresstext::grouped(files), QString::number(double(bytes) / 1e6, 'f', 1));
}

void JobProgress::feed(const QString &chunk, qint64 ms)
{
    m_now = ms;
    m_reader.feed(chunk);
    tick(ms);
}

void JobProgress::tick(qint64 ms)
{
    m_now = ms;
    if (m_stage == Stage::Copying)
        m_estimate.sample(ms, m_files, bytesDone());
}

void JobProgress::runEnded()
{
    m_reader.finish();
    if (m_stage != Stage::Passed && m_stage != Stage::Failed)
        setStage(Stage::Cut);
}

void JobProgress::setStage(Stage stage)
{
    if (m_stage == Stage::Copying && stage != Stage::Copying)
        m_estimate.pause();
    m_stage = stage;
}

void JobProgress::onStats(const PscpProgressReader::Stats &stats)
{
    m_quietSeconds.reset();
    if (m_stage != Stage::Copying)
        return;
    if (!stats.whole) {
        m_partialBytes = stats.kilobytes * 1024;
        return;
    }
    ++m_files;
    m_wholeBytes += stats.kilobytes * 1024 + kHalfKilobyte;
    m_partialBytes = 0;
}

void JobProgress::onLine(const QString &raw)
{
    const QString line = raw.trimmed();
    // The outcome is final: nothing the device prints afterwards changes it.
    if (m_stage == Stage::Passed || m_stage == Stage::Failed || m_stage == Stage::Cut)
        return;
    // The watchdog of the job's interpreter: the device went quiet, or came back.
    static const QRegularExpression kQuiet(
        QStringLiteral("^No data from the device for ([0-9]{1,6}) s: "));
    if (const QRegularExpressionMatch m = kQuiet.match(line); m.hasMatch()) {
        m_quietSeconds = m.captured(1).toLongLong();
        return;
    }
    if (line == kDeviceBack) {
        m_quietSeconds.reset();
        return;
    }
    static const QRegularExpression kTotals(
        QStringLiteral("^(?:(?:The device|Your backup) holds|Copying only what changed:) "
                       "([0-9,]{1,20}) files, ([0-9,]{1,20}(?:\\.[0-9]{1,3})?) MB to "
                       "(?:back up|restore|fetch)\\.$"));
    if (!m_totalsKnown) {
        const QRegularExpressionMatch m = kTotals.match(line);
        if (m.hasMatch()) {
            m_totalFiles = m.captured(1).remove(QLatin1Char(',')).toLongLong() + m_apartFiles;
            m_totalBytes = qint64(m.captured(2).remove(QLatin1Char(',')).toDouble() * 1e6 + 0.5)
                           + m_apartBytes;
            m_totalsKnown = true;
            return;
        }
    }
    // Said once, by the step before anything is sent.
    static const QRegularExpression kApart(
        QStringLiteral("^Also sending ([0-9,]{1,20}) files, ([0-9,]{1,20}(?:\\.[0-9]{1,3})?) MB, "
                       "in a separate step, so that their names reach your device whole\\.$"));
    if (m_kind == Kind::Restore && !m_apartKnown && m_stage == Stage::Preparing) {
        const QRegularExpressionMatch m = kApart.match(line);
        if (m.hasMatch()) {
            m_apartFiles = m.captured(1).remove(QLatin1Char(',')).toLongLong();
            m_apartBytes = qint64(m.captured(2).remove(QLatin1Char(',')).toDouble() * 1e6 + 0.5);
            m_apartKnown = true;
            if (m_totalsKnown) {
                m_totalFiles += m_apartFiles;
                m_totalBytes += m_apartBytes;
            }
            return;
        }
    }
    if (m_kind == Kind::Backup) {
        if (line == kBackupBegins || line == kBackupResumes || line == kQuickCopyingLine)
            setStage(Stage::Copying);
        else if (line == kBackupHelpersLine) {
            m_listingBegun = true;
            if (m_stage == Stage::Copying)
                setStage(Stage::Paused);
        } else if (line == kBackupCheckingLine)
            setStage(Stage::Checking);
        else if ((line == kBackupPassed || line == kFirstBackupPassed)
                 && m_stage == Stage::Checking)
            setStage(Stage::Passed);
        else if (line.startsWith(kBackupFailed) && m_stage == Stage::Checking)
            setStage(Stage::Failed);
        return;
    }
    // The check before sending: "Checking your backup on this computer: 212.0
    // of 1480.2 MB, 3,105 of 18,230 files...", then its refusal or the copies.
    static const QRegularExpression kChecking(QStringLiteral(
        "^Checking your backup on this computer: ([0-9]{1,15}\\.[0-9]) of "
        "([0-9]{1,15}\\.[0-9]) MB, ([0-9,]{1,20}) of ([0-9,]{1,20}) files\\.\\.\\.$"));
    if (m_stage == Stage::Preparing || m_stage == Stage::Verifying) {
        const QRegularExpressionMatch m = kChecking.match(line);
        if (m.hasMatch()) {
            const qint64 read[4] = {m.captured(3).remove(QLatin1Char(',')).toLongLong(),
                                    qint64(m.captured(1).toDouble() * 1e6 + 0.5),
                                    m.captured(4).remove(QLatin1Char(',')).toLongLong(),
                                    qint64(m.captured(2).toDouble() * 1e6 + 0.5)};
            for (int i = 0; i < 4; ++i)
                m_checked[i] = std::max(m_checked[i], read[i]);
            setStage(Stage::Verifying);
            return;
        }
        if (m_stage == Stage::Verifying && line.startsWith(QLatin1String("Nothing was sent: "))) {
            m_notSent = true;
            setStage(Stage::Failed);
            return;
        }
        // Passed: the helpers go to the device before the copies begin.
        if (m_stage == Stage::Verifying
            && line.startsWith(QLatin1String("Backup check before sending: "))) {
            setStage(Stage::Preparing);
            return;
        }
    }
    if (line == kRestoreBegins)
        setStage(Stage::Copying);
    else if (line == kRestoreSentLine)
        setStage(Stage::Checking);
    // The device's verdict line ends with this run's token, "(check TOKEN)",
    // which no name in the backup (made before the run) can hold: a restored
    // file's name listed by the check decides nothing.
    else if (m_stage == Stage::Checking && !m_runToken.isEmpty() && line.startsWith(kRestoreFailed)
             && line.endsWith(QStringLiteral(" (check %1)").arg(m_runToken)))
        setStage(line.startsWith(kRestorePassed) ? Stage::Passed : Stage::Failed);
}

JobProgress::Figures JobProgress::figures() const
{
    Figures f;
    f.stage = m_stage;
    f.totalsKnown = m_totalsKnown;
    f.totalsFollow = m_kind == Kind::Backup && !m_totalsKnown && !m_listingBegun;
    f.totalFiles = m_totalFiles;
    f.totalBytes = m_totalBytes;
    f.checkedFiles = std::min(m_checked[0], m_checked[2]);
    f.checkedBytes = std::min(m_checked[1], m_checked[3]);
    f.checkFiles = m_checked[2];
    f.checkBytes = m_checked[3];
    f.notSent = m_notSent;
    qint64 files = m_files;
    qint64 bytes = bytesDone();
    if (m_totalsKnown) {
        // What arrived beyond the list (the pairing records, the record files
        // themselves, and a linked folder's files, which pscp copies in the
        // link's place while the list counts no links) is no part of the
        // device's files: the figures stop at the totals.
        files = std::min(files, m_totalFiles);
        bytes = std::min(bytes, m_totalBytes);
        if (m_stage == Stage::Passed) {
            files = m_totalFiles;
            bytes = m_totalBytes;
        }
    }
    m_shownFiles = std::max(m_shownFiles, files);
    m_shownBytes = std::max(m_shownBytes, bytes);
    f.files = m_shownFiles;
    f.bytes = m_shownBytes;
    if (m_stage == Stage::Passed) {
        f.percent = 100;
    } else if (m_totalsKnown) {
        const double fraction = m_totalBytes > 0   ? double(f.bytes) / double(m_totalBytes)
                                : m_totalFiles > 0 ? double(f.files) / double(m_totalFiles)
                                                   : 0.0;
        f.percent = std::min(99, int(fraction * 100));
    }
    f.quietSeconds = m_quietSeconds;
    if (m_totalsKnown && (m_stage == Stage::Copying || m_stage == Stage::Paused))
        f.secondsLeft = m_estimate.secondsLeft(m_totalFiles - f.files, m_totalBytes - f.bytes);
    return f;
}

} // namespace jobs
