#include "jobs/JobScripts.h"
#include "jobs/BackupNames.h"
#include "jobs/BatchQuoting.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobProgress.h"
#include "jobs/JobTable.h"
#include "jobs/ListedTotals.h"
#include "jobs/NameStaging.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/QuickRepeat.h"

#include <QRandomGenerator>

namespace jobs {

const QString kSshCopyNote = QStringLiteral("SSHresult.txt");
const QString kRestoreRunFile = QStringLiteral("RestoreRun.txt");

QString restoreRunToken()
{
    // 128 bits from the system's source: not guessable before the run.
    QRandomGenerator *random = QRandomGenerator::system();
    return QString::number(random->generate64(), 16).rightJustified(16, QLatin1Char('0'))
           + QString::number(random->generate64(), 16).rightJustified(16, QLatin1Char('0'));
}

namespace {

// A script's opening lines: echo off, its window's title and colours, a
// cleared screen and its start label.
QStringList header(const QString &title, const QString &colour,
                   const QString &label = QStringLiteral(": start"))
{
    return {QStringLiteral("@echo off"), title, colour, QStringLiteral("Cls"), label};
}

// The job's script, named as its table entry says, begun with the header.
JobScript begun(const JobScriptChoice &form, const QStringList &headerLines)
{
    JobScript script(form.fileName);
    script.lines(headerLines);
    return script;
}

QString copyToDevice(const QString &local, const QString &deviceFolder)
{
    return QStringLiteral("pscp -r -pw %PASS% ") + local + QStringLiteral(" root@%IP%:")
           + deviceFolder;
}

QString runOnDevice(const QString &commandFile)
{
    return QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m ") + commandFile;
}

const QString kNoteFailure = QStringLiteral("if errorlevel 1 set FAILED=1");

// The script's notes of what happened, read by the completion program: each
// tool's failure right after it, in the user's words.
QString noteFailure(const QString &what)
{
    return QStringLiteral("if errorlevel 1 echo failed ") + what + QStringLiteral(">>")
           + kOutcomeFile;
}

// The first note: which job, in the word its completion program looks for.
QString noteJob(const JobDescription &job)
{
    return QStringLiteral("echo job ") + JobOutcome::notesWord(job.completion.value())
           + QLatin1Char('>') + kOutcomeFile;
}

QString note(const QString &what)
{
    return QStringLiteral("echo ") + what + QStringLiteral(">>") + kOutcomeFile;
}

QString sendFailure(const QString &file)
{
    return QStringLiteral("sending %1 to the device").arg(file);
}

// Puts the backup set aside in PreviousBackup back in place, in two stages
// that can each be run again after a stop at any line: while the holding
// folder is marked "saved", what lies in place is an unchecked new copy and is
// deleted; the mark then becomes "putback" (one rename), and what is set aside
// moves back item by item. A holding folder without either mark was being
// filled or emptied by renames alone, so it is only emptied. The folder goes
// last, and only when nothing is left in it.
QStringList putBackLines(const QString &tag)
{
    const QString &prev = kPreviousBackupFolder;
    const QString moves = QStringLiteral("putback") + tag;
    QStringList l;
    l << QStringLiteral("if exist ") + kPutBackMark + QStringLiteral(" goto ") + moves
      << QStringLiteral("if not exist ") + kPreviousBackupMark + QStringLiteral(" goto ") + moves;
    for (const QString &f : backupFolders())
        l << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(f);
    for (const QString &f : {kIncompleteMark, kBackupDeviceRecord})
        l << QStringLiteral("if exist %1 del %1").arg(f);
    l << QStringLiteral("ren ") + kPreviousBackupMark + QStringLiteral(" putback.txt")
      << QLatin1Char(':') + moves;
    for (const QString &f : backupItems())
        l << QStringLiteral("if exist %2\\%1 move %2\\%1 %1 >NUL").arg(f, prev);
    l << QStringLiteral("if exist ") + kPutBackMark + QStringLiteral(" del ") + kPutBackMark
      << QStringLiteral("rmdir ") + prev;
    return l;
}

// Begins a backup. What an interrupted run left is settled first: a replaced
// backup still being deleted goes, a backup still set aside is put back. Then
// the backup in place (complete or marked incomplete) moves into the holding
// folder, one rename per item, and only then is the folder marked "saved":
// from that mark on, what lies in place is the new, unchecked copy. The given
// deletions of the old folders find nothing left to delete by then.
QStringList setAsideLines(const JobDescription &job)
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << noteJob(job) << QStringLiteral("set FAILED=") << QStringLiteral("set HADPREVIOUS=")
      << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(kDiscardedBackupFolder)
      << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(kIncomingFolder)
      << QStringLiteral("if not exist ") + prev + QStringLiteral(" goto setaside")
      << QStringLiteral("echo An earlier backup was interrupted; putting the backup it had set "
                        "aside back first.");
    l << putBackLines(QStringLiteral("first"));
    l << QStringLiteral("if exist ") + prev + QStringLiteral(" goto notsetaside")
      << QStringLiteral(":setaside")
      << QStringLiteral(
             "if not exist Applications if not exist mobile if not exist root goto fresh")
      << QStringLiteral("mkdir ") + prev;
    for (const QString &f : backupItems())
        l << QStringLiteral("if exist %1 move %1 %2\\%1 >NUL").arg(f, prev);
    // Nothing is deleted while any part of the old backup is still in place.
    for (const QString &f : backupFolders())
        l << QStringLiteral("if exist %1 goto notsetaside").arg(f);
    l << QStringLiteral("echo saved>") + kPreviousBackupMark << QStringLiteral("set HADPREVIOUS=1");
    for (const QString &f : backupFolders())
        l << QStringLiteral("rmdir /S /Q ") + f;
    l << QStringLiteral("goto fetch");
    // Left-overs that are not a backup (no "Applications", "mobile" or "root").
    l << QStringLiteral(":fresh");
    for (const QString &f : backupFolders())
        l << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(f);
    l << QStringLiteral("if exist %1 del %1").arg(kBackupDeviceRecord);
    // A first copy is marked incomplete until its check passes; a copy with a
    // previous backup is unchecked while the holding folder is marked "saved".
    l << QStringLiteral("echo incomplete>") + kIncompleteMark << QStringLiteral(":fetch");
    return l;
}

// After the fetches: the copy is checked against the device's list of files.
// A complete copy takes the previous backup's place in one rename (the
// holding folder becomes the discarded one, deleted after); a complete first
// copy loses its incomplete mark. An incomplete copy gives way to the previous
// backup when there is one, and is otherwise kept, marked.
QStringList settleLines(const QString &deviceRecord)
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << QStringLiteral("BackupCheck.exe") << kNoteFailure
      << QStringLiteral("if defined FAILED goto failed")
      << QStringLiteral("echo ") + deviceRecord + QLatin1Char('>') + kBackupDeviceRecord
      << QStringLiteral("if not defined HADPREVIOUS goto firstcomplete")
      // A copy far smaller than the previous backup replaces it only when the
      // user says so; the default keeps the previous one.
      << QStringLiteral("ReplaceBackup.exe") << QStringLiteral("if errorlevel 1 goto keepprevious")
      // The previous backup becomes a generation of its own where it can;
      // where it cannot, it is replaced as it always was.
      << QStringLiteral("KeepGeneration.exe %1").arg(Generations::kDefaultKeep)
      << QStringLiteral("if exist %1 move %1 %2 >NUL").arg(prev, kDiscardedBackupFolder)
      << QStringLiteral("if exist ") + prev + QStringLiteral(" goto notreplaced")
      << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(kDiscardedBackupFolder)
      << note(QStringLiteral("kept new"))
      << QStringLiteral("echo The new backup is complete; the previous backup has been replaced.")
      << QStringLiteral("goto fetched") << QStringLiteral(":firstcomplete")
      << QStringLiteral("del ") + kIncompleteMark << note(QStringLiteral("kept new"))
      << QStringLiteral("echo The new backup is complete.") << QStringLiteral("goto fetched")
      << QStringLiteral(":notreplaced")
      << note(QStringLiteral("failed replacing the previous backup (the folder PreviousBackup "
                             "could not be renamed)"))
      << QStringLiteral("goto fetched") << QStringLiteral(":keepprevious");
    l << putBackLines(QStringLiteral("kept"));
    l << QStringLiteral("if exist ") + prev + QStringLiteral(" goto notsetaside")
      << note(QStringLiteral("kept larger"))
      << QStringLiteral("echo The new backup was much smaller, so your previous backup has been "
                        "kept unchanged.")
      << QStringLiteral("goto fetched") << QStringLiteral(":failed")
      << QStringLiteral("if not defined HADPREVIOUS goto keeppartial");
    l << putBackLines(QStringLiteral("failed"));
    l << QStringLiteral("if exist ") + prev + QStringLiteral(" goto notsetaside")
      << note(QStringLiteral("kept previous"))
      << QStringLiteral("echo The backup did not complete, so your previous backup has been put "
                        "back unchanged.")
      << QStringLiteral("goto fetched") << QStringLiteral(":keeppartial")
      << note(QStringLiteral("kept partial"))
      << QStringLiteral("echo The backup did not complete. There was no earlier backup; what "
                        "arrived is kept, marked incomplete, and cannot be restored. Run the "
                        "backup again.")
      << QStringLiteral(":fetched");
    return l;
}

// A previous backup that could not be set aside or put back whole: nothing
// more is done, and the next backup finishes putting it back.
QStringList notSetAsideLines()
{
    return {QStringLiteral("goto settled"),
            QStringLiteral(":notsetaside"),
            note(QStringLiteral("failed setting your previous backup aside or putting it back (a "
                                "folder could not be moved)")),
            note(QStringLiteral("kept aside")),
            QStringLiteral("echo Your previous backup could not be moved whole; what was not "
                           "moved back lies in the folder PreviousBackup. Do not delete it: "
                           "Zorvane puts it back in place once this job has ended, or else at "
                           "its next start."),
            QStringLiteral(":settled")};
}

// Sends the helpers that record the device's files (and `more` after them)
// and has the device record them (move.sh), each step noting its failure.
void recordLines(JobScript &s, const QStringList &more)
{
    for (const QString &file : QStringList{QStringLiteral("cp"), QStringLiteral("chown"),
                                           QStringLiteral("plink.exe"), QStringLiteral("move.sh")}
                                   + more) {
        s.line(copyToDevice(file, QStringLiteral("/")));
        s.line(kNoteFailure);
        s.line(noteFailure(sendFailure(file)));
    }
    s.line(runOnDevice(QStringLiteral("move.sh")));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("listing your files on the device (move.sh)")));
}

// Copies only what changed since the backup set aside: the device's list of
// its entries is fetched and compared with the one that backup keeps, the
// unchanged files are linked from it, the device's records are made as in
// the full copy (move.sh) and the rest comes in one tar stream through plink.
// Whatever stands in the way before anything is fetched (no previous backup,
// no list, a device tar that cannot) goes on to :quickfull, the full copy.
void quickCopy(JobScript &s)
{
    const QString deviceList = QStringLiteral("/private/var/zorvane-changed/");
    s.line(QStringLiteral("if defined FAILED goto quickfull"));
    s.line(QStringLiteral("if not defined HADPREVIOUS goto quickfull"));
    s.line(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% \". /plink.exe && zv_quick_probe\""));
    s.line(QStringLiteral("if errorlevel 1 echo The device's tar cannot send the changed files in "
                          "one stream; the whole device is copied."));
    s.line(QStringLiteral("if errorlevel 1 goto quickfull"));
    s.line(QStringLiteral("mkdir ") + kIncomingFolder);
    s.line(QStringLiteral("cd %1 || goto quickfull").arg(kIncomingFolder));
    s.line(QStringLiteral("pscp -pw %PASS% root@%IP%:") + deviceList + QuickRepeat::kFetchedList
           + QStringLiteral(" ."));
    s.line(QStringLiteral("cd .."));
    s.line(QStringLiteral("QuickRepeat.exe plan"));
    s.line(QStringLiteral("if errorlevel 1 goto quickfull"));
    recordLines(s, {QStringLiteral("quick.sh")});
    s.line(QStringLiteral("if defined FAILED goto quickdone"));
    s.line(copyToDevice(kIncomingFolder + QLatin1Char('/') + QuickRepeat::kFetchList, deviceList));
    s.line(kNoteFailure);
    s.line(noteFailure(sendFailure(QStringLiteral("the list of what changed"))));
    s.line(QStringLiteral("if defined FAILED goto quickdone"));
    s.line(QStringLiteral("echo ") + JobProgress::kQuickCopyingLine);
    s.line(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -T -m quick.sh >%1\\fetch.tar")
               .arg(kIncomingFolder));
    s.line(QStringLiteral("if errorlevel 3 goto quickfull"));
    s.line(QStringLiteral("QuickRepeat.exe extract"));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("copying what changed from the device")));
    for (const QString &tree : backupTrees()) {
        s.line(QStringLiteral("if exist %1\\%2 move %1\\%2 %2 >NUL").arg(kIncomingFolder, tree));
        s.line(kNoteFailure);
    }
}

} // namespace

QStringList connectionLines(const ConnectionSettings &cs)
{
    // The settings were checked to be writable; plain text stays as typed.
    return {batchSetLine(QStringLiteral("IP"), cs.address()).value_or(QString()),
            batchSetLine(QStringLiteral("PASS"), cs.password()).value_or(QString())};
}

JobScript backupScript(const JobDescription &job, bool symlinked, const QString &versionText,
                       const ConnectionSettings &cs, const QString &deviceRecord)
{
    const JobScriptChoice &form = jobScript(job, symlinked ? Control::optYes : Control::optNo);
    const QString apps =
        symlinked ? QStringLiteral("/var/Applications") : QStringLiteral("/Applications");
    JobScript s = begun(form, symlinked ? header(QStringLiteral("title iPod Touch Files Backup "
                                                                "version: ")
                                                     + versionText + QStringLiteral(" Beta"),
                                                 QStringLiteral("Color F2"))
                                        : header(QStringLiteral("title iPod Touch Files Backup "
                                                                "version ")
                                                     + versionText + QStringLiteral(" Beta"),
                                                 QStringLiteral("color 2F")));
    // pscp puts what follows an entry it cannot copy (a link to nothing, a
    // loop) one folder higher for each such entry, up to the folder it copies
    // into: so it copies into a folder of its own, where no device file can
    // land among the working folder's scripts, tools and backups. The tree is
    // then moved into place; what landed elsewhere is deleted with the folder,
    // and the check finds it missing.
    // pscp stops dead (an aborted program, errorlevel 3) when a file grows
    // while it reads it, as a device's logs do, and copies nothing after it:
    // the copy is then made again from the start, up to three times in all.
    // The notes go to the working folder, above the folder copied into.
    int fetches = 0;
    const auto fetch = [&s, &fetches](const QString &given, const QString &tree,
                                      const QString &source) {
        const QString n = QString::number(++fetches);
        const QString what = QStringLiteral("copying ") + source + QStringLiteral(" from the device");
        s.line(QStringLiteral("cd %1 || goto nofetch").arg(kIncomingFolder) + n);
        s.line(QStringLiteral("set TRIES="));
        s.line(QStringLiteral(":fetch") + n);
        s.line(given);
        s.line(QStringLiteral("if not errorlevel 3 goto fetchtried") + n);
        s.line(QStringLiteral("if \"%TRIES%\"==\"xx\" goto fetchtried") + n);
        s.line(QStringLiteral("set TRIES=%TRIES%x"));
        s.line(QStringLiteral("echo A file on your device grew while it was copied, which stops "
                              "the copy: copying ")
               + source + QStringLiteral(" again from the start."));
        s.line(QStringLiteral("if exist %1 rmdir /S /Q %1").arg(tree));
        s.line(QStringLiteral("goto fetch") + n);
        s.line(QStringLiteral(":fetchtried") + n);
        s.line(kNoteFailure);
        s.line(QStringLiteral("if errorlevel 3 echo failed %1: a file on your device grew while "
                              "it was copied, three times in a row>>..\\%2")
                   .arg(what, kOutcomeFile));
        s.line(QStringLiteral("if errorlevel 3 goto fetchnoted") + n);
        s.line(noteFailure(what).replace(QStringLiteral(">>"), QStringLiteral(">>..\\")));
        s.line(QStringLiteral(":fetchnoted") + n);
        s.line(QStringLiteral("cd .."));
        s.line(QStringLiteral("if exist %1\\%2 move %1\\%2 %2 >NUL").arg(kIncomingFolder, tree));
        s.line(kNoteFailure);
        s.line(QStringLiteral("goto fetched") + n);
        s.line(QStringLiteral(":nofetch") + n);
        s.line(QStringLiteral("set FAILED=1"));
        s.line(
            note(QStringLiteral("failed making the folder %1 to copy into").arg(kIncomingFolder)));
        s.line(QStringLiteral(":fetched") + n);
    };
    s.line(QStringLiteral("echo Do NOT worry if during this process it says something like file "
                          "not found, or path not found."));
    // Copying only what changed is the user's choice, said in the banner; it
    // needs a complete backup of this same device to compare with.
    const QString refusal = job.repeatChosen ? QuickRepeat::refusal(deviceRecord) : QString();
    const bool quick = job.repeatChosen && refusal.isEmpty();
    if (quick)
        s.line(QStringLiteral("echo Quick repeat: copying only what changed since the last backup; "
                              "the unchanged files are linked from it."));
    else if (job.repeatChosen)
        s.line(QStringLiteral("echo Copy only what changed was chosen, but %1; the whole device "
                              "is copied.")
                   .arg(refusal));
    s.line(QStringLiteral("echo running>") + kBackupUnfinishedMark);
    s.lines(setAsideLines(job));
    s.lines(connectionLines(cs));
    // pscp cannot copy a link that points at nothing: the device sets such
    // links aside, outside the trees it copies, until the last copy is made.
    // They are listed in place (move.sh), so a restore makes them again.
    // Also: pipes and sockets, which no copy may open, are set aside with
    // them, and every file is listed before the first copy (changed.sh
    // lists them again after the last).
    s.line(copyToDevice(QStringLiteral("plink.exe hold.sh unhold.sh changed.sh"),
                        QStringLiteral("/")));
    s.line(kNoteFailure);
    s.line(noteFailure(sendFailure(QStringLiteral("plink.exe, hold.sh, unhold.sh and changed.sh"))));
    s.line(runOnDevice(QStringLiteral("hold.sh")));
    s.line(kNoteFailure);
    s.line(noteFailure(
        QStringLiteral("listing your files and setting aside the links that point at nothing, "
                       "pipes and sockets on the device (hold.sh)")));
    // The given copies of the whole device.
    const auto fullCopy = [&]() {
        s.line(QStringLiteral("mkdir ") + kIncomingFolder);
        s.line(QStringLiteral("echo Backing up your Applications..."));
        fetch(QStringLiteral("pscp -r -pw %PASS% root@%IP%:") + apps + QStringLiteral(" ."),
              QStringLiteral("Applications"), apps);
        // The progress counts the user's files only, not the helpers that follow.
        s.line(QStringLiteral("echo ") + JobProgress::kBackupHelpersLine);
        recordLines(s, {});
        s.line(QStringLiteral("echo now downloading your /var/mobile and /var/root folders, this may "
                              "take a while."));
        fetch(QStringLiteral("pscp  -r -pw %PASS% root@%IP%:/var/mobile ."), QStringLiteral("mobile"),
              QStringLiteral("/var/mobile"));
        fetch(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root ."), QStringLiteral("root"),
              QStringLiteral("/var/root"));
    };
    if (quick) {
        quickCopy(s);
        s.line(QStringLiteral("goto quickdone"));
        s.line(QStringLiteral(":quickfull"));
        s.line(QStringLiteral("if exist %1 rmdir /S /Q %1").arg(kIncomingFolder));
        fullCopy();
        s.line(QStringLiteral(":quickdone"));
    } else {
        fullCopy();
    }
    // Put back whatever the copies did; a link left held spoils no copy.
    s.line(runOnDevice(QStringLiteral("unhold.sh")));
    s.line(QStringLiteral("if errorlevel 1 echo warning some links that point at nothing could "
                          "not be put back in place on your device; they lie in "
                          "/private/var/zorvane-held (unhold.sh)>>")
           + kOutcomeFile);
    s.line(QStringLiteral("echo ") + JobProgress::kBackupCheckingLine);
    // A device in use changes files while they are copied: the device lists
    // them again and copies each that changed once more, alone, with the
    // lists of the trees as they are now; ChangedFiles puts those in place,
    // so the check compares the copy with the device after the copy. After
    // a failed step the copy is not checked, so nothing is listed again.
    s.line(QStringLiteral("if defined FAILED goto nochanges"));
    s.line(runOnDevice(QStringLiteral("changed.sh")));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("listing your files again after the copy (changed.sh)")));
    s.line(QStringLiteral("if errorlevel 1 goto nochanges"));
    s.line(QStringLiteral("cd %1 || goto nocopyagain").arg(kIncomingFolder));
    s.line(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/private/var/zorvane-changed/Refetched ."));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("copying again the files that changed while they were copied"))
               .replace(QStringLiteral(">>"), QStringLiteral(">>..\\")));
    s.line(QStringLiteral("cd .."));
    s.line(QStringLiteral("ChangedFiles.exe"));
    s.line(kNoteFailure);
    s.line(QStringLiteral("goto nochanges"));
    s.line(QStringLiteral(":nocopyagain"));
    s.line(QStringLiteral("set FAILED=1"));
    s.line(note(QStringLiteral("failed making the folder %1 to copy into").arg(kIncomingFolder)));
    s.line(QStringLiteral(":nochanges"));
    s.line(QStringLiteral("rmdir /S /Q ") + kIncomingFolder);
    s.lines(settleLines(deviceRecord.isEmpty() ? QStringLiteral("unknown") : deviceRecord));
    s.line(copyToDevice(QStringLiteral("back.sh"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("back.sh")));
    s.line(QStringLiteral("if errorlevel 1 echo warning the file list could not be removed from "
                          "your device (back.sh)>>")
           + kOutcomeFile);
    s.lines(notSetAsideLines());
    s.line(QStringLiteral("rmdir /S /Q mobile\\Library\\Lockdown"));
    s.line(QStringLiteral("rmdir /S /Q root\\Library\\Lockdown"));
    s.line(QStringLiteral("if exist %1 del %1").arg(kBackupUnfinishedMark));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptClosing(job, form));
    return s;
}

JobScript restoreScript(const JobDescription &job, const QString &versionText,
                        const ConnectionSettings &cs)
{
    // Every transfer and device-side step notes its failure right after it; a
    // failed send also stops the script before the step that restarts the device.
    const auto send = [](JobScript &script, const QString &file, const QString &folder) {
        script.line(copyToDevice(file, folder));
        script.line(noteFailure(sendFailure(file)));
        if (backupTrees().contains(file)) // what the message says reached the device
            script.line(QStringLiteral("if not errorlevel 1 echo sent %1>>").arg(file)
                        + kOutcomeFile);
        script.line(kNoteFailure);
    };
    const auto run = [](JobScript &script, const QString &commandFile) {
        script.line(runOnDevice(commandFile));
        script.line(noteFailure(QStringLiteral("running %1 on the device").arg(commandFile)));
    };
    // The device-side check repeats this run's token on its verdict line; no
    // name in the backup, made before the token existed, can hold it.
    const QString token = restoreRunToken();
    const JobScriptChoice &form = jobScript(job);
    JobScript s = begun(form, header(QStringLiteral("title iPod Touch Put Files Back Version ")
                                         + versionText + QStringLiteral(" Beta"),
                                     QStringLiteral("color 1E")));
    s.setRunToken(token);
    s.line(noteJob(job));
    s.line(QStringLiteral("set FAILED="));
    s.line(note(QStringLiteral("run ") + token));
    // An older backup the program put in place for this run: which one, for
    // the completion window, and the newest backup back once the run is over.
    const std::optional<Generations::Generation> placed = PlacedGeneration::current();
    if (placed)
        s.line(note(QStringLiteral("generation ") + QString::number(placed->made)));
    // pscp sends a name by what follows its last backslash: such entries are
    // laid apart first, and a backup that pscp would spill elsewhere on the
    // device is not sent at all. Before the password is set, which this step
    // has no need of.
    // The backup as it lies here against its own list of contents: a file cut,
    // grown, changed or deleted since the backup is never sent.
    s.line(QStringLiteral("BackupCheck.exe restore"));
    s.line(QStringLiteral("if errorlevel 1 goto notsent"));
    s.line(QStringLiteral("StageNames.exe ") + token);
    s.line(QStringLiteral("if errorlevel 1 goto namesrefused"));
    s.lines(connectionLines(cs));
    s.line(QStringLiteral("echo Transferring files..."));
    // What the copies will bring, for the Console and the progress beside the busy sign.
    if (const std::optional<ListedTotals> totals = ListedTotals::read())
        s.line(QStringLiteral("echo ")
               + JobProgress::totalsLine(JobProgress::Kind::Restore, totals->files, totals->bytes));
    s.line(QStringLiteral("echo running>") + kRestoreUnfinishedMark);
    send(s, QStringLiteral("chown1"), QStringLiteral("/"));
    send(s, QStringLiteral("install.sh"), QStringLiteral("/"));
    send(s, QStringLiteral("cp"), QStringLiteral("/"));
    send(s, QStringLiteral("plink.exe"), QStringLiteral("/"));
    s.line(
        QStringLiteral("echo It may look like nothing is happening, but this will take a while!"));
    send(s, QStringLiteral("chown"), QStringLiteral("/"));
    run(s, QStringLiteral("install.sh"));
    s.line(QStringLiteral("echo Now putting back your applications, this may take a while!"));
    send(s, QStringLiteral("Applications"), QStringLiteral("/"));
    send(s, QStringLiteral("mobile"), QStringLiteral("/var"));
    send(s, QStringLiteral("root"), QStringLiteral("/var"));
    // What was laid apart follows, for the device to put under its own names.
    s.line(QStringLiteral("if not exist %1 goto namessent").arg(NameStaging::kFolder));
    s.line(copyToDevice(NameStaging::kFolder + QStringLiteral("/names-") + token,
                        NameStaging::kDeviceFolder));
    s.line(noteFailure(QStringLiteral("sending the entries whose names pscp would change")));
    s.line(kNoteFailure);
    s.line(QStringLiteral(":namessent"));
    // Sent or not, the names come apart afresh on the next run.
    s.line(QStringLiteral("if exist %1 rmdir /S /Q %1").arg(NameStaging::kFolder));
    s.line(QStringLiteral("echo ") + JobProgress::kRestoreSentLine);
    send(s, QStringLiteral("fixmail.sh"), QStringLiteral("/usr/bin"));
    run(s, QStringLiteral("fixmail.sh"));
    s.line(QStringLiteral("echo Setting Permissions..."));
    s.line(QStringLiteral("echo %1>%2").arg(token, kRestoreRunFile));
    send(s, kRestoreRunFile, QStringLiteral("/"));
    send(s, QStringLiteral("other.sh"), QStringLiteral("/"));
    // other.sh restarts the device: not on a device that is only half restored.
    s.line(QStringLiteral("if defined FAILED goto notrestarted"));
    // It restarts the device, which may end the session: its own check line
    // in the output, not plink's status, says whether the restore holds.
    s.line(runOnDevice(QStringLiteral("other.sh")));
    s.line(QStringLiteral("goto restored"));
    s.line(QStringLiteral(":namesrefused"));
    s.line(note(QStringLiteral("notrestarted")));
    s.line(QStringLiteral("echo Nothing was sent, so your device is unchanged. Fix what is said "
                          "above, then run the restore again."));
    s.line(QStringLiteral("goto restored"));
    s.line(QStringLiteral(":notsent"));
    s.line(note(QStringLiteral("notsent")));
    s.line(QStringLiteral("echo Nothing was sent, so your device is unchanged."));
    s.line(QStringLiteral("goto restored"));
    s.line(QStringLiteral(":notrestarted"));
    s.line(note(QStringLiteral("notrestarted")));
    // pscp says only "failure" when the device's disk is full: ask the device.
    s.line(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% \". /plink.exe && zv_disk_space\""));
    s.line(noteFailure(QStringLiteral("finding room on the device")));
    s.line(QStringLiteral("echo Part of your backup did not reach your device, so your device has "
                          "NOT been restarted. Do not restart it yet: fix the cause and run the "
                          "restore again."));
    s.line(QStringLiteral(":restored"));
    if (placed) {
        s.line(QStringLiteral("KeepGeneration.exe putback"));
        s.line(QStringLiteral("if not errorlevel 1 echo newestback>>") + kOutcomeFile);
    }
    s.line(QStringLiteral("if exist %1 del %1").arg(kRestoreUnfinishedMark));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptClosing(job, form));
    return s;
}

JobScript sshFirstRunScript(const JobDescription &job, const ConnectionSettings &cs)
{
    const JobScriptChoice &form = jobScript(job);
    JobScript s = begun(form, header(QStringLiteral("title SSHing for the First Time"),
                                     QStringLiteral("color 0E"), QStringLiteral(":start")));
    s.lines(connectionLines(cs));
    s.line(copyToDevice(QStringLiteral("pwned.jpg"), QStringLiteral("/tmp")));
    // The copy's result for the main window, which also looks for the key in
    // PuTTY's cache. A copy also goes through when the device's key was
    // accepted for this once only ("n"), so a second copy that may ask nothing
    // tells whether the key the tools hold now is the device's. Written before
    // "Done ^.^", whose caret joins it to "pause".
    s.line(QStringLiteral("if errorlevel 1 goto copyfailed"));
    s.line(QStringLiteral("pscp -batch -q -pw %PASS% pwned.jpg root@%IP%:/tmp"));
    s.line(QStringLiteral("if errorlevel 1 echo keynotstored>") + kSshCopyNote);
    s.line(QStringLiteral("if not errorlevel 1 echo copied>") + kSshCopyNote);
    s.line(QStringLiteral("goto copynoted"));
    s.line(QStringLiteral(":copyfailed"));
    s.line(QStringLiteral("echo failed>") + kSshCopyNote);
    s.line(QStringLiteral(":copynoted"));
    s.line(QStringLiteral("Done ^.^"));
    s.line(QStringLiteral("pause"));
    // The caret that ends "Done ^.^" joins "pause" to it, so that line only
    // runs a command named "Done" and waits for nothing: these lines say the
    // copy is over and keep the window open until the user presses a key.
    s.line(QStringLiteral("echo Done. The Zorvane window now says whether the key is stored."));
    s.line(QStringLiteral("pause"));
    s.lines(scriptClosing(job, form));
    return s;
}

JobScript relocationScript(const JobDescription &job, bool fonts, const ConnectionSettings &cs)
{
    const JobScriptChoice &form = jobScript(job);
    const QString shellScript = fonts ? QStringLiteral("fonts.sh") : QStringLiteral("apps.sh");
    JobScript s =
        begun(form, header(QStringLiteral("title Relocate (symlink) Applications"),
                           fonts ? QStringLiteral("Color E0") : QStringLiteral("color 0E")));
    s.line(noteJob(job));
    s.lines(connectionLines(cs));
    s.line(fonts ? QStringLiteral("echo Relocating your Fonts folder, please wait...")
                 : QStringLiteral("echo Relocating your Applications folder, please wait..."));
    for (const QString &file : {QStringLiteral("chown1"), shellScript, QStringLiteral("cp"),
                                QStringLiteral("chown"), QStringLiteral("plink.exe")}) {
        s.line(copyToDevice(file, QStringLiteral("/")));
        s.line(noteFailure(sendFailure(file)));
    }
    s.line(runOnDevice(shellScript));
    s.line(noteFailure(QStringLiteral("moving the folder on the device (%1)").arg(shellScript)));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptClosing(job, form));
    return s;
}

JobScript dfuScript(const JobDescription &job)
{
    const JobScriptChoice &form = jobScript(job);
    JobScript s = begun(form, {QStringLiteral("@echo off")});
    s.line(noteJob(job));
    s.line(QStringLiteral("echo closing necessary iTunes devices, don't be worried if some aren't "
                          "found."));
    s.line(QStringLiteral("taskkill.exe >NUL /F /IM iTunes.exe"));
    s.line(QStringLiteral("taskkill.exe >NUL /F /IM iTunesHelper.exe"));
    s.line(QStringLiteral("iphuc -s phase1.script"));
    s.line(noteFailure(QStringLiteral("the first USB phase (phase1.script)")));
    s.line(QStringLiteral("echo Sending WTF file please wait..."));
    s.line(QStringLiteral("sleep 6"));
    s.line(QStringLiteral("iphuc -s phase2.script"));
    s.line(noteFailure(QStringLiteral("the second USB phase (phase2.script)")));
    s.line(QStringLiteral("echo Restore your iPod in iTunes by holding SHIFT and hitting restore, "
                          "then choosing an older firmware."));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptClosing(job, form));
    return s;
}

} // namespace jobs
