#include "jobs/JobOutcome.h"
#include "jobs/BackupVerifier.h"
#include "platform/Platform.h"

namespace jobs {

const QString kOutcomeFile = QStringLiteral("LastJob.txt");
const QString kTranscriptFile = QStringLiteral("LastJob.log");
const QString kIncompleteMark = QStringLiteral("BackupIncomplete.txt");

namespace {

struct Cause {
    QStringList signs; // what pscp, plink or iphuc print for it
    QString words;
};

// What each tool prints for a cause, and the cause in the user's words.
const QList<Cause> &causes()
{
    static const QList<Cause> list{
        {{QStringLiteral("Cannot confirm a host key"), QStringLiteral("host key is not cached"),
          QStringLiteral("Store key in cache?")},
         QStringLiteral("Zorvane does not know your device's host key yet. Run \"Run SSH "
                        "Fingerprint\" on the Misc Utilities pane first and answer \"y\" in its "
                        "window, then run this job again.")},
        {{QStringLiteral("POTENTIAL SECURITY BREACH"), QStringLiteral("host key does not match")},
         QStringLiteral("Your device's host key is not the one stored for this address. If the "
                        "device was restored, run \"Run SSH Fingerprint\" again and accept the new "
                        "key; otherwise check the IP address.")},
        {{QStringLiteral("Access denied"), QStringLiteral("password was not accepted"),
          QStringLiteral("Authentication failed"), QStringLiteral("authentication failed")},
         QStringLiteral("Your device refused the password. Check the SSH Password and try again.")},
        {{QStringLiteral("Connection refused"), QStringLiteral("Connection timed out"),
          QStringLiteral("No route to host"), QStringLiteral("Network is unreachable"),
          QStringLiteral("Host does not exist"), QStringLiteral("Name or service not known"),
          QStringLiteral("Temporary failure in name resolution")},
         QStringLiteral("No device answered at that IP address. Check the address (Settings, "
                        "Wi-Fi, the blue arrow next to your network), and that the device is awake "
                        "and on the same Wi-Fi network as this computer.")},
        {{QStringLiteral("connection abort"), QStringLiteral("Connection reset"),
          QStringLiteral("unexpectedly closed network connection"), QStringLiteral("Broken pipe"),
          QStringLiteral("connection lost"), QStringLiteral("Connection lost")},
         QStringLiteral("The connection to your device was lost during the copy. Keep the device "
                        "awake, on external power and near the Wi-Fi, then run the job again.")},
        {{QStringLiteral("no iPod Touch or iPhone is connected over USB")},
         QStringLiteral("No iPod Touch or iPhone was found on USB. Connect it with its cable, "
                        "switch it on, and try again.")},
    };
    return list;
}

struct Notes {
    QString job;
    QStringList failed;
    QStringList warnings;
    QString kept;
    QStringList check; // the backup check's words: verified|incomplete FILES BYTES MISSING WRONG
    bool unchecked = false;
    bool ended = false;
};

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
        else if (word == QLatin1String("unchecked"))
            n.unchecked = true;
        else if (word == QLatin1String("end"))
            n.ended = true;
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

const QString kDetails = QStringLiteral("Show Details lists everything the job printed.");

JobOutcome backupOutcome(const Notes &n, const QString &cause, const QString &folder)
{
    JobOutcome o;
    const bool verified = !n.check.isEmpty() && n.check.first() == QLatin1String("verified");
    const qint64 files = n.check.value(1).toLongLong();
    const qint64 bytes = n.check.value(2).toLongLong();
    o.succeeded = n.ended && n.failed.isEmpty() && verified && n.kept == QLatin1String("new");
    if (o.succeeded) {
        o.title = QStringLiteral("Backup Complete");
        o.text = QStringLiteral("The backup of your iPod/iPhone is complete and checked: %1 "
                                "arrived, every file with the size your device listed.\n\n"
                                "Your applications and your mobile and root folders are in the "
                                "folders \"Applications\", \"mobile\" and \"root\" in %2.")
                     .arg(BackupVerifier::amount(files, bytes), folder);
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
    } else if (n.unchecked) {
        check = QStringLiteral("The list of your device's files did not arrive, so the copy could "
                               "not be checked.");
    }
    QString kept;
    if (n.kept == QLatin1String("previous"))
        kept = QStringLiteral("Your previous backup has been put back unchanged.");
    else if (n.kept == QLatin1String("partial"))
        kept =
            QStringLiteral("There was no earlier backup to keep. Whatever arrived is kept beside "
                           "Zorvane, marked incomplete: it cannot be restored. Run the backup "
                           "again.");
    else
        kept = QStringLiteral("The backup was interrupted before it could settle; run the backup "
                              "again before you restore.");
    o.text = joinParagraphs({QStringLiteral("The backup of your iPod/iPhone did NOT complete."),
                             cause, failures(n), check, kept, kDetails});
    return o;
}

JobOutcome restoreOutcome(const Notes &n, const QString &cause, const QString &transcript)
{
    JobOutcome o;
    const bool checked = transcript.contains(QStringLiteral("Zorvane restore check: OK"));
    o.succeeded = n.ended && n.failed.isEmpty() && checked && cause.isEmpty();
    if (o.succeeded) {
        o.title = QStringLiteral("Restore Complete");
        o.text = QStringLiteral("Your files have been put back on your iPod/iPhone and checked: "
                                "every file of the backup is there with its size, owner and mode. "
                                "It is restarting now.\n\nWait until it has started again before "
                                "you use it.");
        return o;
    }
    o.title = QStringLiteral("Restore Failed");
    QString check;
    if (transcript.contains(QStringLiteral("Zorvane restore check: FAILED")))
        check = QStringLiteral("The check on your device found files that differ from the backup "
                               "(listed in the details).");
    else if (transcript.contains(QStringLiteral("Zorvane restore check: NOT POSSIBLE")))
        check = QStringLiteral("The restored files could not be checked: this backup holds no "
                               "record of its files.");
    else
        check = QStringLiteral("The restored files were not checked on your device.");
    o.text =
        joinParagraphs({QStringLiteral("The restore did NOT complete."), cause, failures(n), check,
                        QStringLiteral("Your backup beside Zorvane is unchanged; you can run "
                                       "the restore again."),
                        kDetails});
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
                                       "checked, so it was left where it was unless the "
                                       "details say otherwise."),
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
        {QStringLiteral("Forcing DFU mode did NOT complete."), cause, failures(n), kDetails});
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
    // The earliest failure explains the ones after it (a refused host key
    // makes every later step fail too; a lost connection is refused later).
    qsizetype earliest = -1;
    QString words;
    for (const Cause &c : causes()) {
        for (const QString &sign : c.signs) {
            const qsizetype at = transcript.indexOf(sign);
            if (at >= 0 && (earliest < 0 || at < earliest)) {
                earliest = at;
                words = c.words;
            }
        }
    }
    return words;
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
    case Kind::Restore: o = restoreOutcome(notes, cause, transcript); break;
    case Kind::Relocation: o = relocationOutcome(notes, cause); break;
    case Kind::Dfu: o = dfuOutcome(notes, cause); break;
    }
    o.transcript = transcript;
    return o;
}

JobOutcome JobOutcome::read(Kind kind)
{
    platform::FileSystem &files = platform::Platform::files();
    QByteArray notes;
    QByteArray transcript;
    files.readFile(kOutcomeFile, &notes, nullptr);
    files.readFile(kTranscriptFile, &transcript, nullptr);
    return decide(kind, notes, QString::fromUtf8(transcript),
                  platform::Platform::app().workFolder());
}

} // namespace jobs
