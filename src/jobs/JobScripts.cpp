#include "jobs/JobScripts.h"
#include "jobs/BatchQuoting.h"

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
    return QStringLiteral("pscp -r -pw %PASS% ") + local + QStringLiteral(" root@%IP%:") + deviceFolder;
}

QString runOnDevice(const QString &commandFile)
{
    return QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m ") + commandFile;
}

const QString kNoteFailure = QStringLiteral("if errorlevel 1 set FAILED=1");

// Moves the previous backup into the holding folder. A holding folder left
// with its mark by an interrupted backup is put back first, so a saved backup
// is never thrown away; one without the mark holds nothing that is needed.
QStringList setAsideLines()
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << QStringLiteral("set FAILED=") << QStringLiteral("set PHASE=recover")
      << QStringLiteral("if exist ") + kPreviousBackupMark + QStringLiteral(" goto putback")
      << QStringLiteral(":setaside")
      << QStringLiteral("if exist ") + prev + QStringLiteral(" rmdir /S /Q ") + prev
      << QStringLiteral("mkdir ") + prev
      << QStringLiteral("echo saved>") + kPreviousBackupMark;
    for (const QString &f : kBackupFolders)
        l << QStringLiteral("if exist %1 move %1 %2\\%1 >NUL").arg(f, prev);
    return l;
}

// After the three fetches: keep the new backup and drop the old one, or remove
// what arrived and put the old one back.
QStringList settleLines()
{
    const QString &prev = kPreviousBackupFolder;
    QStringList l;
    l << QStringLiteral("set PHASE=failed") << QStringLiteral("if defined FAILED goto putback")
      << QStringLiteral("del ") + kPreviousBackupMark
      << QStringLiteral("rmdir /S /Q ") + prev
      << QStringLiteral("echo The new backup is complete; the previous backup has been replaced.")
      << QStringLiteral("goto fetched") << QStringLiteral(":putback");
    for (const QString &f : kBackupFolders) {
        // After a failed fetch everything that arrived goes; when recovering,
        // only what the saved backup has a copy of.
        l << QStringLiteral("if \"%PHASE%\"==\"failed\" if exist %1 rmdir /S /Q %1").arg(f)
          << QStringLiteral("if exist %2\\%1 if exist %1 rmdir /S /Q %1").arg(f, prev)
          << QStringLiteral("if exist %2\\%1 move %2\\%1 %1 >NUL").arg(f, prev);
    }
    l << QStringLiteral("del ") + kPreviousBackupMark << QStringLiteral("rmdir ") + prev
      << QStringLiteral("if \"%PHASE%\"==\"recover\" goto setaside")
      << QStringLiteral("echo The backup did not complete, so your previous backup has been put "
                        "back unchanged.")
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
    const ScriptKind kind = symlinked ? ScriptKind::BackupSymlinked : ScriptKind::BackupNotSymlinked;
    JobScript s = fromForm(kind, versionText);
    s.line(QStringLiteral("echo Do NOT worry if during this process it says something like file "
                          "not found, or path not found."));
    s.lines(setAsideLines());
    s.lines(connectionLines(cs));
    s.line(QStringLiteral("echo Backing up your Applications..."));
    s.line(symlinked ? QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/Applications .")
                     : QStringLiteral("pscp -r -pw %PASS% root@%IP%:/Applications ."));
    s.line(kNoteFailure);
    s.line(copyToDevice(QStringLiteral("cp"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("chown"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("plink.exe"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("move.sh"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("move.sh")));
    s.line(QStringLiteral("echo now downloading your /var/mobile and /var/root folders, this may "
                          "take a while."));
    s.line(QStringLiteral("pscp  -r -pw %PASS% root@%IP%:/var/mobile ."));
    s.line(kNoteFailure);
    s.line(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root ."));
    s.line(kNoteFailure);
    s.lines(settleLines());
    s.line(copyToDevice(QStringLiteral("back.sh"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("back.sh")));
    s.line(QStringLiteral("rmdir /S /Q mobile\\Library\\Lockdown"));
    s.line(QStringLiteral("rmdir /S /Q root\\Library\\Lockdown"));
    s.lines(scriptForm(kind, versionText).closing);
    return s;
}

JobScript restoreScript(const QString &versionText, const ConnectionSettings &cs)
{
    JobScript s = fromForm(ScriptKind::Restore, versionText);
    s.lines(connectionLines(cs));
    s.line(QStringLiteral("echo Transferring files..."));
    s.line(copyToDevice(QStringLiteral("chown1"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("install.sh"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("cp"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("plink.exe"), QStringLiteral("/")));
    s.line(QStringLiteral("echo It may look like nothing is happening, but this will take a while!"));
    s.line(copyToDevice(QStringLiteral("chown"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("install.sh")));
    s.line(QStringLiteral("echo Now putting back your applications, this may take a while!"));
    s.line(copyToDevice(QStringLiteral("Applications"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("mobile"), QStringLiteral("/var")));
    s.line(copyToDevice(QStringLiteral("root"), QStringLiteral("/var")));
    s.line(copyToDevice(QStringLiteral("fixmail.sh"), QStringLiteral("/usr/bin")));
    s.line(runOnDevice(QStringLiteral("fixmail.sh")));
    s.line(QStringLiteral("echo Setting Permissions..."));
    s.line(copyToDevice(QStringLiteral("other.sh"), QStringLiteral("/")));
    s.line(runOnDevice(QStringLiteral("other.sh")));
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
    const ScriptKind kind = fonts ? ScriptKind::RelocateFonts : ScriptKind::RelocateApps;
    const QString shellScript = fonts ? QStringLiteral("fonts.sh") : QStringLiteral("apps.sh");
    JobScript s = fromForm(kind, QString());
    s.lines(connectionLines(cs));
    s.line(fonts ? QStringLiteral("echo Relocating your Fonts folder, please wait...")
                 : QStringLiteral("echo Relocating your Applications folder, please wait..."));
    s.line(copyToDevice(QStringLiteral("chown1"), QStringLiteral("/")));
    s.line(copyToDevice(shellScript, QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("cp"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("chown"), QStringLiteral("/")));
    s.line(copyToDevice(QStringLiteral("plink.exe"), QStringLiteral("/")));
    s.line(runOnDevice(shellScript));
    s.lines(scriptForm(kind, QString()).closing);
    return s;
}

JobScript dfuScript()
{
    JobScript s = fromForm(ScriptKind::Dfu, QString());
    s.line(QStringLiteral("echo closing necessary iTunes devices, don't be worried if some aren't "
                          "found."));
    s.line(QStringLiteral("taskkill.exe >NUL /F /IM iTunes.exe"));
    s.line(QStringLiteral("taskkill.exe >NUL /F /IM iTunesHelper.exe"));
    s.line(QStringLiteral("iphuc -s phase1.script"));
    s.line(QStringLiteral("echo Sending WTF file please wait..."));
    s.line(QStringLiteral("sleep 6"));
    s.line(QStringLiteral("iphuc -s phase2.script"));
    s.line(QStringLiteral("echo Restore your iPod in iTunes by holding SHIFT and hitting restore, "
                          "then choosing an older firmware."));
    s.lines(scriptForm(ScriptKind::Dfu, QString()).closing);
    return s;
}

JobScript scriptFor(ScriptKind kind, const QString &versionText, const ConnectionSettings &cs)
{
    switch (kind) {
    case ScriptKind::BackupSymlinked: return backupScript(true, versionText, cs);
    case ScriptKind::BackupNotSymlinked: return backupScript(false, versionText, cs);
    case ScriptKind::Restore: return restoreScript(versionText, cs);
    case ScriptKind::SshFirstRun: return sshFirstRunScript(cs);
    case ScriptKind::RelocateApps: return relocationScript(false, cs);
    case ScriptKind::RelocateFonts: return relocationScript(true, cs);
    case ScriptKind::Dfu: return dfuScript();
    case ScriptKind::UpdateLauncher: break;
    }
    Q_ASSERT_X(false, "scriptFor", "the update launcher is written by the update check");
    return JobScript(QString());
}

} // namespace jobs
