#include "jobs/JobScripts.h"
#include "jobs/BatchQuoting.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobProgress.h"
#include "jobs/JobTable.h"
#include "jobs/ListedTotals.h"

namespace jobs {

const QString kPreviousBackupFolder = QStringLiteral("PreviousBackup");
const QString kPreviousBackupMark = QStringLiteral("PreviousBackup\\saved.txt");
const QString kSshCopyNote = QStringLiteral("SSHresult.txt");

namespace {

const QStringList kBackupFolders{QStringLiteral("mobile"), QStringLiteral("root"),
                                 QStringLiteral("Applications"),
                                 QStringLiteral("MobileMailSettings.bundle")};

JobScript fromForm(ScriptKind kind, const QString &versionText)
{
    const ScriptForm form = scriptForm(kind, versionText);
    JobScript script(form.fileName);
    script.lines(form.header);
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
QString noteJob(Job job)
{
    return QStringLiteral("echo job ")
           + JobOutcome::notesWord(jobDescription(job).completion.value()) + QLatin1Char('>')
           + kOutcomeFile;
}

QString note(const QString &what)
{
    return QStringLiteral("echo ") + what + QStringLiteral(">>") + kOutcomeFile;
}

QString sendFailure(const QString &file)
{
    return QStringLiteral("sending %1 to the device").arg(file);
}

// Begins a backup. A backup set aside by an interrupted run is put back first.
// Then the backup there is (complete or marked incomplete) moves into the
// holding folder, so that nothing is deleted before a new copy has arrived;
// the new copy is marked incomplete until its check passes.
QStringList setAsideLines()
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << noteJob(Job::Backup) << QStringLiteral("set FAILED=") << QStringLiteral("set HADPREVIOUS=")
      << QStringLiteral("if not exist ") + kPreviousBackupMark + QStringLiteral(" goto setaside")
      << QStringLiteral("echo An earlier backup was interrupted; putting the backup it had set "
                        "aside back first.");
    // What the interrupted run fetched is partial; the set-aside copy is not.
    for (const QString &f : kBackupFolders)
        l << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(f);
    l << QStringLiteral("if exist %1 del %1").arg(kIncompleteMark);
    for (const QString &f : kBackupFolders + QStringList{kIncompleteMark})
        l << QStringLiteral("if exist %2\\%1 move %2\\%1 %1 >NUL").arg(f, prev);
    l << QStringLiteral("del ") + kPreviousBackupMark << QStringLiteral("rmdir /S /Q ") + prev
      << QStringLiteral(":setaside")
      << QStringLiteral(
             "if not exist Applications if not exist mobile if not exist root goto fresh")
      << QStringLiteral("if exist ") + prev + QStringLiteral(" rmdir /S /Q ") + prev
      << QStringLiteral("mkdir ") + prev << QStringLiteral("echo saved>") + kPreviousBackupMark
      << QStringLiteral("set HADPREVIOUS=1");
    for (const QString &f : kBackupFolders + QStringList{kIncompleteMark})
        l << QStringLiteral("if exist %1 move %1 %2\\%1 >NUL").arg(f, prev);
    // Left-overs that are not a backup (no "Applications", "mobile" or "root").
    l << QStringLiteral(":fresh");
    for (const QString &f : kBackupFolders)
        l << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(f);
    l << QStringLiteral("echo incomplete>") + kIncompleteMark;
    return l;
}

// After the fetches: the copy is checked against the device's list of files.
// A complete copy replaces the previous backup; an incomplete one is removed
// when there is a previous backup to put back, and otherwise kept, marked.
QStringList settleLines()
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << QStringLiteral("BackupCheck.exe") << kNoteFailure
      << QStringLiteral("if defined FAILED goto failed") << QStringLiteral("del ") + kIncompleteMark
      << QStringLiteral("if exist ") + prev + QStringLiteral(" rmdir /S /Q ") + prev
      << note(QStringLiteral("kept new"))
      << QStringLiteral("echo The new backup is complete; the previous backup has been replaced.")
      << QStringLiteral("goto fetched") << QStringLiteral(":failed")
      << QStringLiteral("if not defined HADPREVIOUS goto keeppartial");
    for (const QString &f : kBackupFolders)
        l << QStringLiteral("if exist %1 rmdir /S /Q %1").arg(f);
    l << QStringLiteral("del ") + kIncompleteMark;
    for (const QString &f : kBackupFolders + QStringList{kIncompleteMark})
        l << QStringLiteral("if exist %2\\%1 move %2\\%1 %1 >NUL").arg(f, prev);
    l << QStringLiteral("del ") + kPreviousBackupMark << QStringLiteral("rmdir /S /Q ") + prev
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

} // namespace

QStringList connectionLines(const ConnectionSettings &cs)
{
    // The settings were checked to be writable; plain text stays as typed.
    return {batchSetLine(QStringLiteral("IP"), cs.address()).value_or(QString()),
            batchSetLine(QStringLiteral("PASS"), cs.password()).value_or(QString())};
}

JobScript backupScript(bool symlinked, const QString &versionText, const ConnectionSettings &cs)
{
    const ScriptKind kind =
        symlinked ? ScriptKind::BackupSymlinked : ScriptKind::BackupNotSymlinked;
    const QString apps =
        symlinked ? QStringLiteral("/var/Applications") : QStringLiteral("/Applications");
    JobScript s = fromForm(kind, versionText);
    s.line(QStringLiteral("echo Do NOT worry if during this process it says something like file "
                          "not found, or path not found."));
    s.lines(setAsideLines());
    s.lines(connectionLines(cs));
    s.line(QStringLiteral("echo Backing up your Applications..."));
    s.line(QStringLiteral("pscp -r -pw %PASS% root@%IP%:") + apps + QStringLiteral(" ."));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("copying ") + apps + QStringLiteral(" from the device")));
    // The progress counts the user's files only, not the helpers that follow.
    s.line(QStringLiteral("echo ") + JobProgress::kBackupHelpersLine);
    for (const QString &file : {QStringLiteral("cp"), QStringLiteral("chown"),
                                QStringLiteral("plink.exe"), QStringLiteral("move.sh")}) {
        s.line(copyToDevice(file, QStringLiteral("/")));
        s.line(kNoteFailure);
        s.line(noteFailure(sendFailure(file)));
    }
    s.line(runOnDevice(QStringLiteral("move.sh")));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("listing your files on the device (move.sh)")));
    s.line(QStringLiteral("echo now downloading your /var/mobile and /var/root folders, this may "
                          "take a while."));
    s.line(QStringLiteral("pscp  -r -pw %PASS% root@%IP%:/var/mobile ."));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("copying /var/mobile from the device")));
    s.line(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root ."));
    s.line(kNoteFailure);
    s.line(noteFailure(QStringLiteral("copying /var/root from the device")));
    s.line(QStringLiteral("echo ") + JobProgress::kBackupCheckingLine);
    s.lines(settleLines());
    s.line(copyToDevice(QStringLiteral("back.sh"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("back.sh")));
    s.line(QStringLiteral("if errorlevel 1 echo warning the file list could not be removed from "
                          "your device (back.sh)>>")
           + kOutcomeFile);
    s.line(QStringLiteral("rmdir /S /Q mobile\\Library\\Lockdown"));
    s.line(QStringLiteral("rmdir /S /Q root\\Library\\Lockdown"));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptForm(kind, versionText).closing);
    return s;
}

JobScript restoreScript(const QString &versionText, const ConnectionSettings &cs)
{
    // Every transfer and device-side step notes its failure right after it.
    const auto send = [](JobScript &script, const QString &file, const QString &folder) {
        script.line(copyToDevice(file, folder));
        script.line(noteFailure(sendFailure(file)));
    };
    const auto run = [](JobScript &script, const QString &commandFile) {
        script.line(runOnDevice(commandFile));
        script.line(noteFailure(QStringLiteral("running %1 on the device").arg(commandFile)));
    };
    JobScript s = fromForm(ScriptKind::Restore, versionText);
    s.line(noteJob(Job::Restore));
    s.lines(connectionLines(cs));
    s.line(QStringLiteral("echo Transferring files..."));
    // What the copies will bring, for the Console and the progress beside the busy sign.
    if (const std::optional<ListedTotals> totals = ListedTotals::read())
        s.line(QStringLiteral("echo ")
               + JobProgress::totalsLine(JobProgress::Kind::Restore, totals->files, totals->bytes));
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
    s.line(QStringLiteral("echo ") + JobProgress::kRestoreSentLine);
    send(s, QStringLiteral("fixmail.sh"), QStringLiteral("/usr/bin"));
    run(s, QStringLiteral("fixmail.sh"));
    s.line(QStringLiteral("echo Setting Permissions..."));
    send(s, QStringLiteral("other.sh"), QStringLiteral("/"));
    // other.sh restarts the device, which may end the session: its own check
    // line in the output, not plink's status, says whether the restore holds.
    s.line(runOnDevice(QStringLiteral("other.sh")));
    s.line(note(QStringLiteral("end")));
    s.lines(scriptForm(ScriptKind::Restore, versionText).closing);
    return s;
}

JobScript sshFirstRunScript(const ConnectionSettings &cs)
{
    JobScript s = fromForm(ScriptKind::SshFirstRun, QString());
    s.lines(connectionLines(cs));
    s.line(copyToDevice(QStringLiteral("pwned.jpg"), QStringLiteral("/tmp")));
    // The copy's result for the main window, which also looks for the key in
    // PuTTY's cache. Written before "Done ^.^", whose caret joins it to "pause".
    s.line(QStringLiteral("if not errorlevel 1 echo copied>") + kSshCopyNote);
    s.line(QStringLiteral("if errorlevel 1 echo failed>") + kSshCopyNote);
    s.line(QStringLiteral("Done ^.^"));
    s.lines(scriptForm(ScriptKind::SshFirstRun, QString()).closing);
    return s;
}

JobScript relocationScript(bool fonts, const ConnectionSettings &cs)
{
    const ScriptKind kind =
        fonts ? ScriptKind::FontsRelocation : ScriptKind::ApplicationsRelocation;
    const QString shellScript = fonts ? QStringLiteral("fonts.sh") : QStringLiteral("apps.sh");
    JobScript s = fromForm(kind, QString());
    s.line(noteJob(fonts ? Job::FontsRelocation : Job::ApplicationsRelocation));
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
    s.lines(scriptForm(kind, QString()).closing);
    return s;
}

JobScript dfuScript()
{
    JobScript s = fromForm(ScriptKind::Dfu, QString());
    s.line(noteJob(Job::Dfu));
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
    s.lines(scriptForm(ScriptKind::Dfu, QString()).closing);
    return s;
}

} // namespace jobs
