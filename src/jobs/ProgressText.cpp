#include "jobs/ProgressText.h"

namespace jobs::progresstext {

using Stage = JobProgress::Stage;

QString grouped(qint64 n)
{
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

QString megabytes(qint64 bytes)
{
    const double mb = double(bytes) / 1e6;
    if (mb >= 10)
        return grouped(qint64(mb));
    return QString::number(mb, 'f', 1);
}

QString timeLeft(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("less than a minute");
    const qint64 minutes = (seconds + 30) / 60;
    if (minutes < 120)
        return QStringLiteral("about %1 min").arg(minutes);
    return QStringLiteral("about %1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

namespace {

QString amounts(const JobProgress::Figures &f)
{
    if (!f.totalsKnown)
        return QStringLiteral("%1 MB, %2 files").arg(megabytes(f.bytes), grouped(f.files));
    return QStringLiteral("%1 of %2 MB, %3 of %4 files")
        .arg(megabytes(f.bytes), megabytes(f.totalBytes), grouped(f.files), grouped(f.totalFiles));
}

QString jobName(JobProgress::Kind kind)
{
    return kind == JobProgress::Kind::Backup ? QStringLiteral("Backup") : QStringLiteral("Restore");
}

} // namespace

QString quiet(qint64 seconds)
{
    return QStringLiteral("No data from the device for %1 s: is it asleep or out of Wi-Fi?")
        .arg(seconds);
}

QString line(const JobProgress::Figures &f)
{
    // While the job runs, a device that sends nothing is what the user needs to know.
    const bool running = f.stage == Stage::Preparing || f.stage == Stage::Copying
                         || f.stage == Stage::Paused || f.stage == Stage::Checking;
    if (running && f.quietSeconds)
        return quiet(*f.quietSeconds);
    switch (f.stage) {
    case Stage::Preparing: return QStringLiteral("Getting ready to copy...");
    case Stage::Verifying:
        return QStringLiteral("Checking the backup: %1 of %2 MB, %3 of %4 files")
            .arg(megabytes(f.checkedBytes), megabytes(f.checkBytes), grouped(f.checkedFiles),
                 grouped(f.checkFiles));
    case Stage::Copying:
    case Stage::Paused:
        // Without totals, say why: the backup's listing comes after the
        // applications, or runs now; otherwise none came (a listing that
        // failed, a restore of a backup without its list of sizes).
        if (!f.totalsKnown && f.totalsFollow)
            return amounts(f)
                   + QStringLiteral(" so far; the device counts its files after the "
                                    "applications...");
        if (!f.totalsKnown && f.stage == Stage::Paused)
            return amounts(f) + QStringLiteral(" so far; the device is counting its files...");
        if (!f.totalsKnown)
            return amounts(f) + QStringLiteral(" so far; totals not known");
        if (!f.secondsLeft)
            return amounts(f) + QStringLiteral(", estimating...");
        return amounts(f) + QStringLiteral(", ") + timeLeft(*f.secondsLeft)
               + QStringLiteral(" left");
    case Stage::Checking: return amounts(f) + QStringLiteral(", checking...");
    case Stage::Passed:
        return QStringLiteral("Complete and checked: %1 MB, %2 files")
            .arg(megabytes(f.totalBytes), grouped(f.totalFiles));
    case Stage::Failed:
        if (f.notSent)
            return QStringLiteral("Nothing sent: the backup on this computer failed its check");
        return QStringLiteral("Did not complete, the check failed: ") + amounts(f);
    case Stage::Cut: return QStringLiteral("Did not complete, cut off: ") + amounts(f);
    }
    return QString();
}

QString titleTag(JobProgress::Kind kind, const JobProgress::Figures &f)
{
    switch (f.stage) {
    case Stage::Failed:
    case Stage::Cut: return QStringLiteral("%1 did not complete").arg(jobName(kind));
    case Stage::Preparing: return QString();
    default: return f.totalsKnown ? QStringLiteral("%1%").arg(f.percent) : QString();
    }
}

QString windowTitle(const QString &title, JobProgress::Kind kind, const JobProgress::Figures &f)
{
    const QString tag = titleTag(kind, f);
    return tag.isEmpty() ? title : tag + QStringLiteral(" - ") + title;
}

} // namespace jobs::progresstext
