#include "jobs/JobOutcome.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "jobs/ToolMessages.h"
#include "platform/Platform.h"

#include <QHash>
#include <QRegularExpression>

namespace jobs {

const QString kOutcomeFile = QStringLiteral("LastJob.txt");
const QString kTranscriptFile = QStringLiteral("LastJob.log");

namespace {

struct Cause {
    QStringList signs; // how a message of pscp, plink, scp, iphuc or the device tools begins
    QString words;
    QStringList endings = {}; // or how it ends, after the file it names
};

// What each tool prints for a cause, and the cause in the user's words.
const QList<Cause> &causes()
{
    static const QList<Cause> list{
        {{QStringLiteral("Cannot confirm a host key"), QStringLiteral("The host key is not cached"),
          QStringLiteral("Store key in cache?")},
         QStringLiteral("Zorvane does not know your device's host key yet. Run \"Run SSH "
                        "Fingerprint\" on the Misc Utilities pane first and answer \"y\" in its "
                        "window, then run this job again.")},
        {{QStringLiteral("WARNING - POTENTIAL SECURITY BREACH"),
          QStringLiteral("The host key does not match")},
         QStringLiteral("Your device's host key is not the one stored for this address. If the "
                        "device was restored, run \"Run SSH Fingerprint\" again and accept the new "
                        "key; otherwise check the IP address.")},
        {{QStringLiteral("Access denied"), QStringLiteral("Configured password was not accepted"),
          QStringLiteral("Authentication failed"), QStringLiteral("authentication failed")},
         QStringLiteral("Your device refused the password. Check the SSH Password in the SSH Login "
                        "box, then run the job again.")},
        {{QStringLiteral("Connection refused"), QStringLiteral("Connection timed out"),
          QStringLiteral("No route to host"), QStringLiteral("Network is unreachable"),
          QStringLiteral("Host does not exist"), QStringLiteral("Name or service not known"),
          QStringLiteral("Temporary failure in name resolution")},
         QStringLiteral("No device answered at that IP address. Check the address "
                        "(Settings->Wi-Fi, then the blue \">\" next to your Wi-Fi network), and "
                        "that the device is awake and on the same Wi-Fi network as this "
                        "computer.")},
        {{QStringLiteral("Software caused connection abort"), QStringLiteral("Connection reset"),
          QStringLiteral("Remote side unexpectedly closed network connection"),
          QStringLiteral("Server unexpectedly closed network connection"),
          QStringLiteral("Broken pipe"), QStringLiteral("connection lost"),
          QStringLiteral("Connection lost")},
         QStringLiteral("The connection to your device was lost during the copy. Keep the device "
                        "awake, on external power and near the Wi-Fi, then run the job again.")},
        // The job's interpreter ended a step whose device sent nothing.
        {{QStringLiteral("Zorvane stopped this step: no data from the device for ")},
         QStringLiteral("Your device stopped answering in the middle of the job (it may have "
                        "locked and its Wi-Fi gone to sleep, or left the network), so Zorvane "
                        "stopped the job instead of waiting for ever. Keep the device awake, on "
                        "external power and near the Wi-Fi, then run the job again.")},
        {{QStringLiteral("no iPod Touch or iPhone is connected over USB")},
         QStringLiteral("No iPod Touch or iPhone was found on USB. Connect it with its cable, "
                        "switch it on, and try again.")},
        {{QStringLiteral("the device's disk is full")},
         QStringLiteral("Your device's disk is full. Make room on it (remove photos, music or "
                        "applications you can do without), then run the job again."),
         {QStringLiteral(": No space left on device")}},
        // A file that got shorter while pscp read it ends the whole copy; pscp
        // then says "Lost connection", although the device is still there.
        {{QStringLiteral("end of file while reading")},
         QStringLiteral("A file on your device got shorter while it was copied (a program on the "
                        "device emptied or rewrote it), which stops the copy: nothing after it "
                        "was copied. Close the programs on the device, then run the backup "
                        "again.")},
        // pscp stops reading a folder at an entry it cannot look at: a link to
        // nothing, or one it may not read; the rest of that folder is not copied.
        {{QStringLiteral("unable to identify ")},
         QStringLiteral("Your device holds a link that points at nothing, or a file that cannot "
                        "be read, and the copy cannot go past it: the rest of its folder was not "
                        "copied. Show Details names it (\"unable to identify\"). Remove or fix "
                        "it on the device, then run the backup again.")},
        {{},
         QStringLiteral("The disk of this computer is full, or the folder of the backup cannot be "
                        "written (pscp: Write error). Make room on it, then run the job again."),
         {QStringLiteral(": Write error")}},
    };
    return list;
}

struct Notes {
    QString job;
    QStringList failed;
    QStringList warnings;
    QString kept;
    QStringList check; // the backup check's words: verified|incomplete FILES BYTES MISSING WRONG
                       // NOTLISTED
    bool unchecked = false;
    QString uncheckedWhy; // the backup check's word for why it could not check
    QString run;          // the restore's token, which its device-side check repeats
    QStringList sent;     // the backup folders that reached the device whole
    bool notRestarted = false;
    bool notSent = false; // the restore stopped before anything was sent
    QStringList damaged;  // files of the backup no longer as they were backed up
    bool ended = false;
    qint64 generation = -1; // when the older backup restored was made; -1: the newest
    bool newestBack = false; // the newest backup is back in place after it
    // What changed while the backup copied it, by kind (whole, changing,
    // unfetched, vanished): how many, and the first names.
    QHash<QString, qint64> changes;
    QHash<QString, QStringList> changed;
    qint64 pipes = 0, sockets = 0, devices = 0;
    QStringList specials;
};

const QStringList kChangeKinds{QStringLiteral("whole"), QStringLiteral("changing"),
                               QStringLiteral("unfetched"), QStringLiteral("vanished")};

Notes parse(const QByteArray &text)
{
    Notes n;
    for (QString line : QString::fromLocal8Bit(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        const QString word = line.section(QLatin1Char(' '), 0, 0);
        const QString rest = line.section(QLatin1Char(' '), 1);
        if (word == QLatin1String("job"))
            n.job = rest;
        else if (word == QLatin1String("failed"))
            n.failed << rest;
        else if (word == QLatin1String("warning"))
            n.warnings << rest;
        else if (word == QLatin1String("kept"))
            n.kept = rest;
        else if (word == QLatin1String("verified") || word == QLatin1String("incomplete"))
            n.check = line.split(QLatin1Char(' '));
        else if (word == QLatin1String("unchecked")) {
            n.unchecked = true;
            n.uncheckedWhy = rest;
        } else if (word == QLatin1String("run"))
            n.run = rest;
        else if (word == QLatin1String("sent"))
            n.sent << rest;
        else if (word == QLatin1String("notrestarted"))
            n.notRestarted = true;
        else if (word == QLatin1String("notsent"))
            n.notSent = true;
        else if (word == QLatin1String("damaged"))
            n.damaged << rest;
        else if (word == QLatin1String("end"))
            n.ended = true;
        else if (word == QLatin1String("newestback"))
            n.newestBack = true;
        else if (word == QLatin1String("generation")) {
            bool ok = false;
            const qint64 made = rest.toLongLong(&ok);
            if (ok && made >= 0)
                n.generation = made;
        }
        else if (word == QLatin1String("changes")) {
            const QStringList f = rest.split(QLatin1Char(' '));
            for (int i = 0; i < kChangeKinds.size(); ++i)
                n.changes[kChangeKinds[i]] = f.value(i).toLongLong();
        } else if (word == QLatin1String("changed"))
            n.changed[rest.section(QLatin1Char(' '), 0, 0)] << rest.section(QLatin1Char(' '), 1);
        else if (word == QLatin1String("specials")) {
            const QStringList f = rest.split(QLatin1Char(' '));
            n.pipes = f.value(0).toLongLong();
            n.sockets = f.value(1).toLongLong();
            n.devices = f.value(2).toLongLong();
        } else if (word == QLatin1String("special"))
            n.specials << rest;
    }
    return n;
}

QString failures(const Notes &n)
{
    if (n.failed.isEmpty())
        return {};
    return QStringLiteral("What failed: ") + n.failed.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString joinParagraphs(const QStringList &parts)
{
    QStringList kept;
    for (const QString &p : parts) {
        if (!p.isEmpty())
            kept << p;
    }
    return kept.join(QStringLiteral("\n\n"));
}

// BackupCheck's word for a list it refused, in the user's words.
QString uncheckedWords(const QString &why)
{
    if (why == QLatin1String("cut"))
        return QStringLiteral("its end line is missing");
    if (why == QLatin1String("count"))
        return QStringLiteral("it holds another number of files than it states");
    if (why == QLatin1String("toolarge"))
        return QStringLiteral("it is larger than any device's list");
    if (why == QLatin1String("outside"))
        return QStringLiteral("it names a file outside the backup");
    return QStringLiteral("a line of it cannot be read");
}

const QString kDetails = QStringLiteral("Show Details lists everything the job printed.");

// "a, b and 3 more", from the names the notes hold and how many there were.
QString someNames(const QStringList &names, qint64 count)
{
    QString text = names.join(QStringLiteral(", "));
    if (count > names.size())
        text += QStringLiteral(" and %1 more").arg(count - names.size());
    return text;
}

QString files(qint64 n)
{
    return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n);
}

// What a device in use did to the copy, in plain words: each kind of change
// with the files it names, and the special entries that were not copied.
QString inUseWords(const Notes &n)
{
    QStringList parts;
    const auto count = [&n](const char *kind) { return n.changes.value(QLatin1String(kind)); };
    const auto names = [&n](const char *kind) { return n.changed.value(QLatin1String(kind)); };
    const qint64 unsure = count("changing") + count("unfetched");
    if (unsure > 0) {
        QStringList both = names("changing") + names("unfetched");
        parts << QStringLiteral("But %1 changed while %2 copied and may not be consistent: %3. "
                                "Your device was in use; back up again when it is idle if you "
                                "need %4 whole.")
                     .arg(files(unsure),
                          unsure == 1 ? QStringLiteral("it was") : QStringLiteral("they were"),
                          someNames(both, unsure),
                          unsure == 1 ? QStringLiteral("it") : QStringLiteral("them"));
    }
    if (count("whole") > 0)
        parts << (count("whole") == 1
                      ? QStringLiteral("1 file changed while it was copied and was copied again, "
                                       "whole: %1.")
                      : QStringLiteral("%1 changed while they were copied and were copied again, "
                                       "each whole: %2.")
                            .arg(files(count("whole"))))
                     .arg(someNames(names("whole"), count("whole")));
    if (count("vanished") > 0)
        parts << QStringLiteral("%1 removed from your device while the backup was made and %2 not "
                                "in it: %3.")
                     .arg(count("vanished") == 1 ? QStringLiteral("1 file was")
                                                 : files(count("vanished")) + QStringLiteral(" were"),
                          count("vanished") == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                          someNames(names("vanished"), count("vanished")));
    const qint64 specials = n.pipes + n.sockets + n.devices;
    if (specials > 0) {
        QStringList kinds;
        const auto kind = [&kinds](qint64 k, const QString &one, const QString &many) {
            if (k == 1)
                kinds << one;
            else if (k > 1)
                kinds << QStringLiteral("%1 %2").arg(k).arg(many);
        };
        kind(n.pipes, QStringLiteral("a pipe"), QStringLiteral("pipes"));
        kind(n.sockets, QStringLiteral("a socket"), QStringLiteral("sockets"));
        kind(n.devices, QStringLiteral("a device node"), QStringLiteral("device nodes"));
        parts << QStringLiteral("Not copied: %1 special %2 (%3), which hold no data: %4. %5")
                     .arg(specials)
                     .arg(specials == 1 ? QStringLiteral("entry") : QStringLiteral("entries"),
                          kinds.join(QStringLiteral(", ")), someNames(n.specials, specials),
                          n.pipes > 0 ? QStringLiteral("A restore makes the pipes again; the "
                                                       "programs that use the others make them.")
                                      : QStringLiteral("The programs that use them make them "
                                                       "again."));
    }
    return parts.join(QStringLiteral("\n\n"));
}

JobOutcome backupOutcome(const Notes &n, const QString &cause, const QString &folder)
{
    JobOutcome o;
    const bool verified = !n.check.isEmpty() && n.check.first() == QLatin1String("verified");
    const qint64 files = n.check.value(1).toLongLong();
    const qint64 bytes = n.check.value(2).toLongLong();
    o.succeeded = n.ended && n.failed.isEmpty() && verified && n.kept == QLatin1String("new");
    if (o.succeeded) {
        // A device in use: complete, with a verdict of its own when a copy
        // may not be one whole version of its file.
        o.title = n.changes.value(QStringLiteral("changing")) + n.changes.value(QStringLiteral("unfetched")) > 0
                      ? QStringLiteral("Backup Complete, but Files Changed")
                      : QStringLiteral("Backup Complete");
        o.text = QStringLiteral("The backup of your iPod/iPhone is complete and checked: %1 "
                                "arrived, every file with the size your device listed.\n\n"
                                "Your applications and your mobile and root folders are in the "
                                "folders \"Applications\", \"mobile\" and \"root\" in %2.")
                     .arg(BackupVerifier::amount(files, bytes), folder);
        const qint64 notListed = n.check.value(5).toLongLong();
        if (notListed > 0)
            o.text += QStringLiteral("\n\n%1 file(s) could not be checked: a line break in the "
                                     "name cannot be listed. Show Details names them.")
                          .arg(notListed);
        const QString inUse = inUseWords(n);
        if (!inUse.isEmpty())
            o.text += QStringLiteral("\n\n") + inUse;
        if (!n.warnings.isEmpty())
            o.text += QStringLiteral("\n\nNote: ") + n.warnings.join(QStringLiteral("; "))
                      + QLatin1Char('.');
        return o;
    }
    o.title = QStringLiteral("Backup Failed");
    QString check;
    if (n.check.size() >= 5 && !verified) {
        check = QStringLiteral("The check of the copy found it incomplete: of %1 your device "
                               "listed, %2 did not arrive and %3 arrived with another size.")
                    .arg(BackupVerifier::amount(files, bytes), n.check.value(3), n.check.value(4));
    } else if (n.unchecked && n.uncheckedWhy == QLatin1String("contents")) {
        check = QStringLiteral("The copy checked out, but the contents of its files could not be "
                               "recorded on this computer (its disk may be full), so a restore "
                               "could not tell a damaged copy from a good one.");
    } else if (n.unchecked) {
        check = n.uncheckedWhy.isEmpty() || n.uncheckedWhy == QLatin1String("missing")
                    ? QStringLiteral("The list of your device's files did not arrive, so the copy "
                                     "could not be checked.")
                    : QStringLiteral("The list of your device's files arrived damaged or cut short "
                                     "(%1), so the copy could not be checked.")
                          .arg(uncheckedWords(n.uncheckedWhy));
    }
    QString kept;
    if (n.kept == QLatin1String("previous"))
        kept = QStringLiteral("Your previous backup has been put back unchanged in Zorvane's "
                              "working folder \"%1\".")
                   .arg(folder);
    else if (n.kept == QLatin1String("partial"))
        kept = QStringLiteral("There was no earlier backup to keep. Whatever arrived is kept in "
                              "Zorvane's working folder \"%1\", marked incomplete: it cannot be "
                              "restored. Run the backup again.")
                   .arg(folder);
    else if (n.kept == QLatin1String("larger"))
        kept = QStringLiteral("The new copy checked out, but it held far less than your previous "
                              "backup, and you chose to keep the previous backup: it is in place "
                              "unchanged in Zorvane's working folder \"%1\".")
                   .arg(folder);
    else if (n.kept == QLatin1String("aside"))
        kept = QStringLiteral("Your previous backup could not be moved whole: what was not moved "
                              "back lies in the folder \"PreviousBackup\" in Zorvane's working "
                              "folder \"%1\". Do not delete it: Zorvane puts it back in place "
                              "once this job has ended, or else at its next start.")
                   .arg(folder);
    else
        kept = QStringLiteral("The backup was interrupted before it could settle. Your previous "
                              "backup, if there was one, is kept whole in the folder "
                              "\"PreviousBackup\" in Zorvane's working folder \"%1\". Do not "
                              "delete it: Zorvane puts it back in place once this job has ended, "
                              "or else at its next start.")
                   .arg(folder);
    o.text = joinParagraphs({QStringLiteral("The backup of your iPod/iPhone did NOT complete."),
                             cause, failures(n), check, kept, kDetails});
    return o;
}

// The device-side check's verdict: the last line that begins "Zorvane restore
// check: " and, when the script gave the run a token, ends with it; the
// token is new for each run, so no name in the backup can carry it.
QString restoreVerdict(const Notes &n, const QString &transcript)
{
    static const QString kCheck = QStringLiteral("Zorvane restore check: ");
    const QString mark = QStringLiteral(" (check %1)").arg(n.run);
    QString verdict;
    for (const QString &line : ToolMessages::lines(transcript)) {
        if (line.startsWith(kCheck) && (n.run.isEmpty() || line.endsWith(mark)))
            verdict = line.mid(kCheck.size());
    }
    return verdict;
}

JobOutcome restoreOutcomeOf(const Notes &n, const QString &cause, const QString &transcript,
                            const QString &folder);

// Which backup the restore sent, when it was an older one than the newest.
JobOutcome restoreOutcome(const Notes &n, const QString &cause, const QString &transcript,
                          const QString &folder)
{
    JobOutcome o = restoreOutcomeOf(n, cause, transcript, folder);
    if (n.generation < 0)
        return o;
    const QString newest =
        n.newestBack ? QStringLiteral("Your newest backup is back in place in Zorvane's working "
                                      "folder, unchanged.")
                     : QStringLiteral("Your newest backup is not back in place yet: it lies whole "
                                      "in the folder %1 of Zorvane's working folder, and Zorvane "
                                      "puts it back when it next starts.")
                           .arg(PlacedGeneration::kAsideFolder);
    o.text = QStringLiteral("The backup chosen: your older backup of %1. ")
                 .arg(PlacedGeneration::madeText(n.generation))
             + newest + QStringLiteral("\n\n") + o.text;
    return o;
}

JobOutcome restoreOutcomeOf(const Notes &n, const QString &cause, const QString &transcript,
                            const QString &folder)
{
    JobOutcome o;
    const QString verdict = restoreVerdict(n, transcript);
    o.succeeded =
        n.ended && n.failed.isEmpty() && !n.notRestarted && verdict.startsWith(QLatin1String("OK"));
    if (o.succeeded) {
        o.title = QStringLiteral("Restore Complete");
        o.text = QStringLiteral("Your files have been put back on your iPod/iPhone and checked: "
                                "every file of the backup is there with its size, owner and mode. "
                                "It is restarting now.\n\nWait until it has started again before "
                                "you use it.");
        const auto notChecked =
            ToolMessages::lines(transcript)
                .filter(QRegularExpression(QStringLiteral("^  not checked \\(")));
        if (!notChecked.isEmpty())
            o.text += QStringLiteral("\n\nExcept that %1 file(s) could not be checked: a line "
                                     "break in the name cannot be listed. Show Details names "
                                     "them.")
                          .arg(notChecked.size());
        return o;
    }
    o.title = QStringLiteral("Restore Failed");
    if (n.notSent) {
        // Stopped by the check of the backup on this computer: the names it
        // found, one a note, and what to do instead.
        QString found;
        if (!n.damaged.isEmpty())
            found =
                QStringLiteral("Not as it was backed up:\n") + n.damaged.join(QLatin1Char('\n'));
        o.text = joinParagraphs(
            {QStringLiteral("The restore did NOT start: your backup on this computer is not as it "
                            "was when it was backed up, or could not be checked, so nothing was "
                            "sent. Your device is unchanged and was not restarted."),
             failures(n), found,
             QStringLiteral("Sending this backup would put damaged files over the ones on your "
                            "device. Back up your device again to make a new backup, or, if you "
                            "keep an older copy of the backup, put it in place in Zorvane's "
                            "working folder \"%1\" and restore that.")
                 .arg(folder),
             kDetails});
        return o;
    }
    if (n.notRestarted) {
        QStringList missed;
        for (const QString &f : backupTrees()) {
            if (!n.sent.contains(f))
                missed << f;
        }
        const QString reached = n.sent.isEmpty() ? QStringLiteral("none of the backup's folders")
                                                 : n.sent.join(QStringLiteral(", "));
        o.text = joinParagraphs(
            {QStringLiteral("The restore did NOT complete: part of your backup did not reach "
                            "your device, so your device was NOT restarted and its files were "
                            "not checked."),
             cause, failures(n),
             QStringLiteral("Reached your device whole: %1. Did not reach it, or only in part: "
                            "%2.")
                 .arg(reached, missed.isEmpty() ? QStringLiteral("the helper files")
                                                : missed.join(QStringLiteral(", "))),
             QStringLiteral("Do not restart your device yet. Fix the cause above, then run the "
                            "restore again: it puts the whole backup back. Your backup in "
                            "Zorvane's working folder \"%1\" is unchanged.")
                 .arg(folder),
             kDetails});
        return o;
    }
    QString check;
    QString state = QStringLiteral("Your backup in Zorvane's working folder \"%1\" is "
                                   "unchanged; you can run the restore again.")
                        .arg(folder);
    if (verdict.startsWith(QLatin1String("FAILED"))) {
        // The device is not restarted on a failed check (other.sh).
        check = QStringLiteral("The check on your device found files that differ from the backup "
                               "(listed in the details).");
        state = QStringLiteral("Your device has NOT been restarted: it holds the restored files, "
                               "but those listed differ from the backup. Do not restart it yet. "
                               "Your backup in Zorvane's working folder \"%1\" was checked "
                               "before it was sent and is unchanged: run the restore again, which "
                               "puts the whole backup back. If the same files differ again, your "
                               "device's disk may be failing or full.")
                    .arg(folder);
    } else if (verdict.startsWith(QLatin1String("NOT POSSIBLE"))) {
        check = QStringLiteral("The restored files could not be checked on your device: the "
                               "backup's records of its files (owners and modes, sizes) are "
                               "missing there or not whole (the details say which).");
        state = QStringLiteral("Your device has been restarted with the restored files. Your "
                               "backup in Zorvane's working folder \"%1\" is unchanged; you "
                               "can run the restore again.")
                    .arg(folder);
    } else {
        check = QStringLiteral("The restored files were not checked on your device.");
    }
    o.text = joinParagraphs({QStringLiteral("The restore did NOT complete."), cause, failures(n),
                             check, state, kDetails});
    return o;
}

JobOutcome relocationOutcome(const Notes &n, const QString &cause)
{
    JobOutcome o;
    // plink ends with status 0 when it abandons an unknown host key: a
    // failure the tools printed counts even where no status noted it.
    o.succeeded = n.ended && n.failed.isEmpty() && cause.isEmpty();
    if (o.succeeded) {
        o.title = QStringLiteral("Symlink Complete");
        o.text = QStringLiteral("The folder now lies in /var on your iPod/iPhone and is linked "
                                "back in its place.\n\n")
                 + kDetails;
        return o;
    }
    o.title = QStringLiteral("Symlink Failed");
    o.text =
        joinParagraphs({QStringLiteral("Moving the folder did NOT complete."), cause, failures(n),
                        QStringLiteral("The folder is moved only once its copy has been "
                                       "checked, so it was left where it was on your device "
                                       "unless the details say otherwise. Fix what went wrong "
                                       "(above, or in the details), then run the job "
                                       "again."),
                        kDetails});
    return o;
}

JobOutcome dfuOutcome(const Notes &n, const QString &cause)
{
    JobOutcome o;
    // plink ends with status 0 when it abandons an unknown host key: a
    // failure the tools printed counts even where no status noted it.
    o.succeeded = n.ended && n.failed.isEmpty() && cause.isEmpty();
    if (o.succeeded) {
        o.title = QStringLiteral("DFU Mode");
        o.text =
            QStringLiteral("Your iPod/iPhone has been sent into DFU mode. Restore it in iTunes "
                           "by holding SHIFT and clicking Restore, then choosing an older "
                           "firmware.");
        return o;
    }
    o.title = QStringLiteral("DFU Mode Failed");
    o.text = joinParagraphs(
        {QStringLiteral("Forcing DFU mode did NOT complete."), cause, failures(n),
         QStringLiteral("This job erases nothing on your device. Check that it is connected "
                        "with its USB cable and switched on, then click \"Force DFU Mode\" "
                        "again."),
         kDetails});
    return o;
}

} // namespace

QString JobOutcome::notesWord(Kind kind)
{
#define ZORVANE_OUTCOME_WORD(kind, word, program) QStringLiteral(#word),
    static const QString words[] = {ZORVANE_JOB_COMPLETIONS(ZORVANE_OUTCOME_WORD)};
#undef ZORVANE_OUTCOME_WORD
    return words[static_cast<int>(kind)];
}

QString JobOutcome::completionProgram(Kind kind)
{
#define ZORVANE_OUTCOME_PROGRAM(kind, word, program) QStringLiteral(#program),
    static const QString programs[] = {ZORVANE_JOB_COMPLETIONS(ZORVANE_OUTCOME_PROGRAM)};
#undef ZORVANE_OUTCOME_PROGRAM
    return programs[static_cast<int>(kind)];
}

QString JobOutcome::causeIn(const QString &transcript)
{
    // Only the tools' own message lines count, read from their beginning (or,
    // for a message about a file, from its end): a file name is never a cause.
    // The earliest failure explains the ones after it (a refused host key
    // makes every later step fail too; a lost connection is refused later).
    for (const QString &line : ToolMessages::lines(transcript)) {
        const QString message = ToolMessages::withoutPrefixes(line);
        // PuTTY's fatal line names no file: the sign may stand anywhere in it
        // ("FATAL ERROR: Error receiving data: Connection reset by peer").
        const bool fatal = line.startsWith(QLatin1String("FATAL ERROR: "));
        for (const Cause &c : causes()) {
            const auto begins = [&](const QString &sign) {
                return fatal ? message.contains(sign) : message.startsWith(sign);
            };
            const auto ends = [&](const QString &sign) {
                return message != line && message.endsWith(sign);
            };
            if (std::any_of(c.signs.begin(), c.signs.end(), begins)
                || std::any_of(c.endings.begin(), c.endings.end(), ends))
                return c.words;
        }
    }
    return {};
}

JobOutcome JobOutcome::decide(Kind kind, const QByteArray &notesText, const QString &transcript,
                              const QString &folder)
{
    const Notes notes = parse(notesText);
    if (notes.job != notesWord(kind)) {
        JobOutcome o;
        o.title = QStringLiteral("Zorvane");
        o.text = joinParagraphs({QStringLiteral("Zorvane cannot tell whether the job completed: "
                                                "its notes (%1) are missing or belong to another "
                                                "job. Do not rely on it; run it again.")
                                     .arg(kOutcomeFile),
                                 kDetails});
        o.transcript = transcript;
        return o;
    }
    const QString cause = causeIn(transcript);
    JobOutcome o;
    switch (kind) {
    case Kind::Backup: o = backupOutcome(notes, cause, folder); break;
    case Kind::Restore: o = restoreOutcome(notes, cause, transcript, folder); break;
    case Kind::Relocation: o = relocationOutcome(notes, cause); break;
    case Kind::Dfu: o = dfuOutcome(notes, cause); break;
    }
    o.transcript = transcript;
    return o;
}

std::optional<JobOutcome::Kind> JobOutcome::unendedJob()
{
    QByteArray notes;
    platform::Platform::files().readPart(kOutcomeFile, 0, kLargestNotes, &notes);
    const Notes n = parse(notes);
    if (n.ended)
        return std::nullopt;
    const QString job = n.job;
#define ZORVANE_OUTCOME_NOTED(kind, word, program)                                                 \
    if (job == notesWord(Kind::kind))                                                              \
        return Kind::kind;
    ZORVANE_JOB_COMPLETIONS(ZORVANE_OUTCOME_NOTED)
#undef ZORVANE_OUTCOME_NOTED
    return std::nullopt;
}

JobOutcome JobOutcome::read(Kind kind)
{
    platform::FileSystem &files = platform::Platform::files();
    QByteArray notes;
    files.readPart(kOutcomeFile, 0, kLargestNotes, &notes);
    QString transcript;
    const qint64 size = files.fileSize(kTranscriptFile);
    if (size > kTranscriptHead + kTranscriptTail) {
        QByteArray head, tail;
        files.readPart(kTranscriptFile, 0, kTranscriptHead, &head);
        files.readPart(kTranscriptFile, size - kTranscriptTail, kTranscriptTail, &tail);
        transcript = QString::fromUtf8(head)
                     + QStringLiteral("\r\n[... %1 bytes of the job's output are left out here "
                                      "...]\r\n")
                           .arg(size - head.size() - tail.size())
                     + QString::fromUtf8(tail);
    } else if (size >= 0) {
        QByteArray whole;
        files.readPart(kTranscriptFile, 0, kTranscriptHead + kTranscriptTail, &whole);
        transcript = QString::fromUtf8(whole);
    }
    return decide(kind, notes, transcript, platform::Platform::app().workFolder());
}

} // namespace jobs
