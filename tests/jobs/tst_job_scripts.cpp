#include "jobs/ConnectionSettings.h"
#include "jobs/JobProgress.h"
#include "jobs/JobScripts.h"
#include "platform/PrivateFiles.h"
#include "support/FolderFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace jobs;

namespace {

const ConnectionSettings kPlain(QStringLiteral("10.0.0.7"), QStringLiteral("fennel"));

// True when `expected` appears in `lines` in order (other lines may lie between).
bool inOrder(const QStringList &lines, const QStringList &expected, QString *missing)
{
    int at = 0;
    for (const QString &e : expected) {
        while (at < lines.size() && lines[at] != e)
            ++at;
        if (at == lines.size()) {
            *missing = e;
            return false;
        }
        ++at;
    }
    return true;
}

// The script's lines without the notes it keeps of what happened (the given
// lines stay whole and in order; the notes come in between).
QStringList withoutNotes(const QStringList &lines)
{
    // The restore's run token and its stop before the restart are added lines too.
    static const QRegularExpression added(QStringLiteral(
        "^(set FAILED=|if errorlevel 1 set FAILED=1|if not errorlevel 1 echo sent \\w+>>"
        "LastJob\\.txt|echo run [0-9a-f]{32}>>LastJob\\.txt|echo [0-9a-f]{32}>RestoreRun\\.txt|"
        "pscp -r -pw %PASS% RestoreRun\\.txt root@%IP%:/|if defined FAILED goto notrestarted|"
        "goto restored|:notrestarted|plink -ssh %IP% -l root -pw %PASS% \". /plink\\.exe && "
        "zv_disk_space\"|:restored|echo notrestarted>>LastJob\\.txt|"
        "echo Part of your backup did not reach your device.*|StageNames\\.exe [0-9a-f]{32}|"
        "if errorlevel 1 goto namesrefused|if not exist StagedNames goto namessent|"
        "BackupCheck\\.exe restore|if errorlevel 1 goto notsent|:notsent|echo "
        "notsent>>LastJob\\.txt|"
        "pscp -r -pw %PASS% StagedNames/names-[0-9a-f]{32} root@%IP%:/var/root/Library/Zorvane|"
        ":namessent|if exist StagedNames rmdir /S /Q StagedNames|:namesrefused|echo Nothing was "
        "sent, so your device is unchanged\\..*|echo running>(Backup|Restore)Unfinished\\.txt|"
        "if exist (Backup|Restore)Unfinished\\.txt del (Backup|Restore)Unfinished\\.txt)$"));
    QStringList given;
    for (const QString &l : lines) {
        if (!l.startsWith(QStringLiteral("if errorlevel 1 echo "))
            && !l.startsWith(QStringLiteral("echo job "))
            && l != QStringLiteral("echo end>>LastJob.txt")
            && !added.match(l).hasMatch()
            // The lines the progress beside the busy sign follows.
            && l != QStringLiteral("echo ") + JobProgress::kBackupHelpersLine
            && l != QStringLiteral("echo ") + JobProgress::kBackupCheckingLine
            && l != QStringLiteral("echo ") + JobProgress::kRestoreSentLine)
            given << l;
    }
    return given;
}

// Every transfer and device or USB step is followed by its failure note.
bool everyStepNoted(const QStringList &lines, const QStringList &exempt, QString *unnoted)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString &l = lines[i];
        const bool step = l.startsWith(QStringLiteral("pscp "))
                          || l.startsWith(QStringLiteral("plink "))
                          || l.startsWith(QStringLiteral("iphuc "));
        if (step && !exempt.contains(l)
            && !lines.value(i + 1).startsWith(QStringLiteral("if errorlevel 1 echo failed "))) {
            *unnoted = l;
            return false;
        }
    }
    return lines.first() == QStringLiteral("@echo off")
           && lines.at(lines.size() - 5) == QStringLiteral("echo end>>LastJob.txt");
}

QStringList backupSpine(const QString &title, const QString &colour, const QString &fetchApps)
{
    return {
        QStringLiteral("@echo off"),
        title,
        colour,
        QStringLiteral("Cls"),
        QStringLiteral(": start"),
        QStringLiteral("echo Do NOT worry if during this process it says something like file not "
                       "found, or path not found."),
        QStringLiteral("rmdir /S /Q mobile"),
        QStringLiteral("rmdir /S /Q root"),
        QStringLiteral("rmdir /S /Q Applications"),
        QStringLiteral("rmdir /S /Q MobileMailSettings.bundle"),
        QStringLiteral("set IP=10.0.0.7"),
        QStringLiteral("set PASS=fennel"),
        QStringLiteral("echo Backing up your Applications..."),
        fetchApps,
        QStringLiteral("pscp -r -pw %PASS% cp root@%IP%:/"),
        QStringLiteral("pscp -r -pw %PASS% chown root@%IP%:/"),
        QStringLiteral("pscp -r -pw %PASS% plink.exe root@%IP%:/"),
        QStringLiteral("pscp -r -pw %PASS% move.sh root@%IP%:/"),
        QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m move.sh"),
        QStringLiteral(
            "echo now downloading your /var/mobile and /var/root folders, this may take a while."),
        QStringLiteral("pscp  -r -pw %PASS% root@%IP%:/var/mobile ."),
        QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root ."),
        QStringLiteral("pscp -r -pw %PASS% back.sh root@%IP%:/"),
        QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m back.sh"),
        QStringLiteral("rmdir /S /Q mobile\\Library\\Lockdown"),
        QStringLiteral("rmdir /S /Q root\\Library\\Lockdown"),
        QStringLiteral("taskkill.exe >NUL /F /IM Zorvane.exe"),
        QStringLiteral("start Zorvane.exe"),
        QStringLiteral("start BackupComplete.exe"),
        QStringLiteral("exit")};
}

} // namespace

class tst_job_scripts : public QObject {
    Q_OBJECT

private slots:
    void backupScripts()
    {
        const JobScript yes = backupScript(jobDescription(Job::Backup), true, QStringLiteral("1.0.5"), kPlain);
        const JobScript no = backupScript(jobDescription(Job::Backup), false, QStringLiteral("1.0.5"), kPlain);
        QCOMPARE(yes.fileName(), QStringLiteral("Yes.bat"));
        QCOMPARE(no.fileName(), QStringLiteral("No.bat"));
        QString missing;
        QVERIFY2(
            inOrder(yes.lines(),
                    backupSpine(QStringLiteral("title iPod Touch Files Backup version: 1.0.5 Beta"),
                                QStringLiteral("Color F2"),
                                QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/Applications .")),
                    &missing),
            qPrintable(missing));
        QVERIFY2(
            inOrder(no.lines(),
                    backupSpine(QStringLiteral("title iPod Touch Files Backup version 1.0.5 Beta"),
                                QStringLiteral("color 2F"),
                                QStringLiteral("pscp -r -pw %PASS% root@%IP%:/Applications .")),
                    &missing),
            qPrintable(missing));
        // The first five lines are the header, exactly.
        QCOMPARE(yes.lines().mid(0, 5),
                 (QStringList{"@echo off", "title iPod Touch Files Backup version: 1.0.5 Beta",
                              "Color F2", "Cls", ": start"}));
        // The previous backup is never deleted before the fetch: only moved aside.
        // The given deletions come only after every folder was moved aside and
        // after the lines that stop the script when one is still in place.
        const int firstFetch =
            yes.lines().indexOf(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/Applications ."));
        for (int i = 0; i < firstFetch; ++i) {
            const QString &l = yes.lines()[i];
            if (!l.startsWith(QStringLiteral("rmdir /S /Q ")))
                continue;
            const QString folder = l.mid(12);
            if (folder.contains(QLatin1Char('\\'))
                || !QStringList{"mobile", "root", "Applications"}.contains(folder))
                continue;
            for (const char *earlier :
                 {"if exist %1 move %1 PreviousBackup\\%1 >NUL", "if exist %1 goto notsetaside"}) {
                for (const char *f : {"mobile", "root", "Applications"}) {
                    const QString needed = QString::fromLatin1(earlier).arg(QLatin1String(f));
                    const int at = yes.lines().indexOf(needed);
                    QVERIFY2(at >= 0 && at < i, qPrintable(l + " before " + needed));
                }
            }
        }
        // Links to nothing are set aside (helpers sent first) before the first
        // fetch, and put back after the last and before the check.
        const QStringList &l = yes.lines();
        const int hold = l.indexOf(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m hold.sh"));
        const int unhold =
            l.indexOf(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m unhold.sh"));
        QVERIFY(l.value(hold - 3) == "pscp -r -pw %PASS% plink.exe hold.sh unhold.sh changed.sh root@%IP%:/"
                && hold < firstFetch
                && l.value(hold + 2).startsWith("if errorlevel 1 echo failed "));
        QVERIFY(unhold > l.indexOf(QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root ."))
                && unhold < l.indexOf(QStringLiteral("BackupCheck.exe")));
        // The device lists its files again after the last copy; what changed
        // is put in place before the check.
        const int changed =
            l.indexOf(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m changed.sh"));
        QVERIFY(changed > unhold && changed < l.indexOf(QStringLiteral("ChangedFiles.exe"))
                && l.indexOf(QStringLiteral("ChangedFiles.exe"))
                       < l.indexOf(QStringLiteral("BackupCheck.exe")));
        // Each of the three fetches is made again when pscp aborts, then notes
        // its failure, in the working folder, not in the folder copied into.
        for (const QString &fetch :
             {QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/Applications ."),
              QStringLiteral("pscp  -r -pw %PASS% root@%IP%:/var/mobile ."),
              QStringLiteral("pscp -r -pw %PASS% root@%IP%:/var/root .")}) {
            const int at = yes.lines().indexOf(fetch);
            const QString retry = yes.lines().value(at + 1);
            QVERIFY2(retry.startsWith(QStringLiteral("if not errorlevel 3 goto ")), qPrintable(retry));
            const int tried = yes.lines().indexOf(QLatin1Char(':') + retry.section(QLatin1Char(' '), -1));
            QVERIFY(tried > at);
            QCOMPARE(yes.lines().value(tried + 1), QStringLiteral("if errorlevel 1 set FAILED=1"));
            for (int i = tried + 2; yes.lines().value(i) != QStringLiteral("cd .."); ++i) {
                if (yes.lines().value(i).contains(QStringLiteral(">>")))
                    QVERIFY2(yes.lines().value(i).endsWith(QStringLiteral(">>..\\LastJob.txt")),
                             qPrintable(yes.lines().value(i)));
            }
        }
        // Apart from the fetched folder (in its fetch, its two failure notes
        // and its word on a fetch made again), title and colour the two
        // differ in nothing.
        QCOMPARE(yes.lines().size(), no.lines().size());
        int differences = 0;
        for (int i = 0; i < yes.lines().size(); ++i)
            differences += yes.lines()[i] != no.lines()[i];
        QCOMPARE(differences, 6);
    }

    // The quick repeat is the user's choice and an addition: refused (no
    // backup of this device to compare with), the script is the given one
    // with one line that says why; chosen with such a backup in place, every
    // given line is still there in its order (the full copy follows
    // :quickfull), the banner says so, and each device step notes its failure.
    void quickRepeatIsAnAdditionTheUserChooses()
    {
        const FolderFixture folder;
        JobDescription chosen = jobDescription(Job::Backup);
        chosen.repeatChosen = true;
        const QString record = QStringLiteral("hostkey ssh-ed25519 0123456789abcdef0123456789abcdef");
        const QStringList given =
            backupScript(jobDescription(Job::Backup), false, QStringLiteral("1.0.5"), kPlain, record)
                .lines();
        QStringList refused =
            backupScript(chosen, false, QStringLiteral("1.0.5"), kPlain, record).lines();
        const int said = refused.indexOf(QRegularExpression(
            QStringLiteral("^echo Copy only what changed was chosen, but there is no complete "
                           "backup here yet; the whole device is copied\\.$")));
        QVERIFY(said > 0);
        refused.removeAt(said);
        QCOMPARE(refused, given);

        QVERIFY(QDir().mkpath(QStringLiteral("root/Library/Zorvane")) && QDir().mkpath(QStringLiteral("mobile")));
        for (const auto &[name, text] :
             {std::pair{"BackupDevice.txt", record}, std::pair{"root/Library/Zorvane/states.txt", QString()}}) {
            QFile f(QString::fromLatin1(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text.toLatin1() + "\n") > 0);
        }
        const QStringList quick =
            backupScript(chosen, false, QStringLiteral("1.0.5"), kPlain, record).lines();
        QString missing;
        QVERIFY2(inOrder(quick, given, &missing), qPrintable(missing));
        QCOMPARE(quick.value(given.indexOf(QRegularExpression(QStringLiteral("^echo Do NOT worry.*"))) + 1)
                     .left(19),
                 QStringLiteral("echo Quick repeat: "));
        const QStringList exempt{
            QStringLiteral("plink -ssh %IP% -l root -pw %PASS% \". /plink.exe && zv_quick_probe\""),
            QStringLiteral("pscp -pw %PASS% root@%IP%:/private/var/zorvane-changed/states.txt ."),
            QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -T -m quick.sh >Incoming\\fetch.tar"),
            QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m unhold.sh"),
            QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m back.sh")};
        // Each step of the quick copy notes its failure (after setting FAILED, as the fetches do).
        for (int i = quick.indexOf(QStringLiteral("if not defined HADPREVIOUS goto quickfull"));
             i < quick.indexOf(QStringLiteral(":quickfull")); ++i) {
            const QString &l = quick[i];
            if ((l.startsWith(QStringLiteral("pscp ")) || l.startsWith(QStringLiteral("plink ")))
                && !exempt.contains(l))
                QVERIFY2(quick.value(i + 2).startsWith(QStringLiteral("if errorlevel 1 echo failed ")),
                         qPrintable(l));
        }
        const auto at = [&quick](const char *line) { return quick.indexOf(QString::fromLatin1(line)); };
        QVERIFY(at("QuickRepeat.exe plan") < at("plink -ssh %IP% -l root -pw %PASS% -m move.sh"));
        QVERIFY(at("plink -ssh %IP% -l root -pw %PASS% -m move.sh")
                < at("plink -ssh %IP% -l root -pw %PASS% -T -m quick.sh >Incoming\\fetch.tar"));
        QVERIFY(at("QuickRepeat.exe extract") < at(":quickfull"));
        QVERIFY(at(":quickdone") < at("plink -ssh %IP% -l root -pw %PASS% -m unhold.sh"));
    }

    void restoreScript_()
    {
        const JobScript s = restoreScript(jobDescription(Job::Restore), QStringLiteral("2.0.11"), kPlain);
        QCOMPARE(s.fileName(), QStringLiteral("PutFilesBack.bat"));
        QString unnoted;
        QVERIFY2(
            everyStepNoted(s.lines(), {"plink -ssh %IP% -l root -pw %PASS% -m other.sh"}, &unnoted),
            qPrintable(unnoted));
        QCOMPARE(
            withoutNotes(s.lines()),
            (QStringList{"@echo off",
                         "title iPod Touch Put Files Back Version 2.0.11 Beta",
                         "color 1E",
                         "Cls",
                         ": start",
                         "set IP=10.0.0.7",
                         "set PASS=fennel",
                         "echo Transferring files...",
                         "pscp -r -pw %PASS% chown1 root@%IP%:/",
                         "pscp -r -pw %PASS% install.sh root@%IP%:/",
                         "pscp -r -pw %PASS% cp root@%IP%:/",
                         "pscp -r -pw %PASS% plink.exe root@%IP%:/",
                         "echo It may look like nothing is happening, but this will take a while!",
                         "pscp -r -pw %PASS% chown root@%IP%:/",
                         "plink -ssh %IP% -l root -pw %PASS% -m install.sh",
                         "echo Now putting back your applications, this may take a while!",
                         "pscp -r -pw %PASS% Applications root@%IP%:/",
                         "pscp -r -pw %PASS% mobile root@%IP%:/var",
                         "pscp -r -pw %PASS% root root@%IP%:/var",
                         "pscp -r -pw %PASS% fixmail.sh root@%IP%:/usr/bin",
                         "plink -ssh %IP% -l root -pw %PASS% -m fixmail.sh",
                         "echo Setting Permissions...",
                         "pscp -r -pw %PASS% other.sh root@%IP%:/",
                         "plink -ssh %IP% -l root -pw %PASS% -m other.sh",
                         "taskkill.exe >NUL /F /IM Zorvane.exe",
                         "start RestoreComplete.exe",
                         "start Zorvane.exe",
                         "exit"}));
        // A failed send stops the script before other.sh restarts the device.
        const int restart =
            s.lines().indexOf(QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m other.sh"));
        QCOMPARE(s.lines().value(restart - 1),
                 QStringLiteral("if defined FAILED goto notrestarted"));
        for (int i = 0; i < restart; ++i) {
            if (s.lines()[i].startsWith(QStringLiteral("pscp ")))
                QVERIFY2(
                    s.lines().mid(i, 4).contains(QStringLiteral("if errorlevel 1 set FAILED=1")),
                    qPrintable(s.lines()[i]));
        }
        // Each run has a token of its own, sent to the device and kept in the notes.
        const QString token =
            s.lines().filter(QStringLiteral(">RestoreRun.txt")).value(0).mid(5, 32);
        QVERIFY(s.lines().contains(QStringLiteral("echo run %1>>LastJob.txt").arg(token)));
        QVERIFY(
            !restoreScript(jobDescription(Job::Restore), QStringLiteral("2.0.11"), kPlain).lines().join('\n').contains(token));
        // The copies' end is announced after the last copy, before the mail fix.
        const QStringList lines = s.lines();
        const qsizetype sent =
            lines.indexOf(QStringLiteral("echo ") + JobProgress::kRestoreSentLine);
        QVERIFY(sent > lines.indexOf(QStringLiteral("pscp -r -pw %PASS% root root@%IP%:/var")));
        QCOMPARE(lines.value(sent + 1),
                 QStringLiteral("pscp -r -pw %PASS% fixmail.sh root@%IP%:/usr/bin"));
        // The names pscp would cut are laid apart for this run before anything
        // is sent, and before the password is set (no need to know it); a
        // refusal skips every send; what was laid apart follows the trees,
        // within the copies.
        const qsizetype stage = lines.indexOf(QStringLiteral("StageNames.exe ") + token);
        QVERIFY(stage > 0 && stage < lines.indexOf(QStringLiteral("set PASS=fennel")));
        // Before that, the backup is checked against its list of contents; a
        // refusal skips every send too.
        const qsizetype checked = lines.indexOf(QStringLiteral("BackupCheck.exe restore"));
        QVERIFY(checked > 0 && checked < stage);
        QCOMPARE(lines.value(checked + 1), QStringLiteral("if errorlevel 1 goto notsent"));
        const qsizetype notSent = lines.indexOf(QStringLiteral(":notsent"));
        QVERIFY(notSent > restart);
        QCOMPARE(lines.value(notSent + 1), QStringLiteral("echo notsent>>LastJob.txt"));
        QVERIFY(!lines.mid(notSent, lines.indexOf(QStringLiteral(":restored")) - notSent)
                     .join('\n')
                     .contains(QStringLiteral("pscp ")));
        QCOMPARE(lines.value(stage + 1), QStringLiteral("if errorlevel 1 goto namesrefused"));
        const qsizetype refused = lines.indexOf(QStringLiteral(":namesrefused"));
        QVERIFY(refused > restart);
        QCOMPARE(lines.value(refused + 1), QStringLiteral("echo notrestarted>>LastJob.txt"));
        QVERIFY(!lines.mid(refused, lines.indexOf(QStringLiteral(":restored")) - refused)
                     .join('\n')
                     .contains(QStringLiteral("pscp ")));
        const QString apart =
            QStringLiteral(
                "pscp -r -pw %PASS% StagedNames/names-%1 root@%IP%:/var/root/Library/Zorvane")
                .arg(token);
        QCOMPARE(lines.value(lines.indexOf(apart) - 1),
                 QStringLiteral("if not exist StagedNames goto namessent"));
        QVERIFY(lines.indexOf(apart)
                > lines.indexOf(QStringLiteral("pscp -r -pw %PASS% root root@%IP%:/var")));
        QVERIFY(lines.indexOf(apart) < sent);
        QCOMPARE(lines.value(lines.indexOf(QStringLiteral(":namessent")) + 1),
                 QStringLiteral("if exist StagedNames rmdir /S /Q StagedNames"));
    }

    void utilityScripts()
    {
        QCOMPARE(sshFirstRunScript(jobDescription(Job::SshFirstRun), kPlain).lines(),
                 (QStringList{"@echo off", "title SSHing for the First Time", "color 0E", "Cls",
                              ":start", "set IP=10.0.0.7", "set PASS=fennel",
                              "pscp -r -pw %PASS% pwned.jpg root@%IP%:/tmp",
                              "if errorlevel 1 goto copyfailed",
                              "pscp -batch -q -pw %PASS% pwned.jpg root@%IP%:/tmp",
                              "if errorlevel 1 echo keynotstored>SSHresult.txt",
                              "if not errorlevel 1 echo copied>SSHresult.txt", "goto copynoted",
                              ":copyfailed", "echo failed>SSHresult.txt", ":copynoted", "Done ^.^",
                              "pause",
                              "echo Done. The Zorvane window now says whether the key is stored.",
                              "pause", "exit"}));
        const QStringList apps{"@echo off",
                               "title Relocate (symlink) Applications",
                               "color 0E",
                               "Cls",
                               ": start",
                               "set IP=10.0.0.7",
                               "set PASS=fennel",
                               "echo Relocating your Applications folder, please wait...",
                               "pscp -r -pw %PASS% chown1 root@%IP%:/",
                               "pscp -r -pw %PASS% apps.sh root@%IP%:/",
                               "pscp -r -pw %PASS% cp root@%IP%:/",
                               "pscp -r -pw %PASS% chown root@%IP%:/",
                               "pscp -r -pw %PASS% plink.exe root@%IP%:/",
                               "plink -ssh %IP% -l root -pw %PASS% -m apps.sh",
                               "taskkill.exe >NUL /F /IM Zorvane.exe",
                               "start Zorvane.exe",
                               "start SymlinkComplete.exe",
                               "exit"};
        QCOMPARE(withoutNotes(relocationScript(jobDescription(Job::ApplicationsRelocation), false, kPlain).lines()), apps);
        QString unnoted;
        for (const JobScript &noted :
             {relocationScript(jobDescription(Job::ApplicationsRelocation), false, kPlain), relocationScript(jobDescription(Job::FontsRelocation), true, kPlain), dfuScript(jobDescription(Job::Dfu))})
            QVERIFY2(everyStepNoted(noted.lines(), {}, &unnoted),
                     qPrintable(noted.fileName() + ": " + unnoted));
        QStringList fonts = apps;
        fonts[2] = QStringLiteral("Color E0");
        fonts[7] = QStringLiteral("echo Relocating your Fonts folder, please wait...");
        fonts[9] = QStringLiteral("pscp -r -pw %PASS% fonts.sh root@%IP%:/");
        fonts[13] = QStringLiteral("plink -ssh %IP% -l root -pw %PASS% -m fonts.sh");
        QCOMPARE(withoutNotes(relocationScript(jobDescription(Job::FontsRelocation), true, kPlain).lines()), fonts);
        QCOMPARE(relocationScript(jobDescription(Job::FontsRelocation), true, kPlain).fileName(), QStringLiteral("fonts.bat"));
        QCOMPARE(
            withoutNotes(dfuScript(jobDescription(Job::Dfu)).lines()),
            (QStringList{
                "@echo off",
                "echo closing necessary iTunes devices, don't be worried if some aren't found.",
                "taskkill.exe >NUL /F /IM iTunes.exe", "taskkill.exe >NUL /F /IM iTunesHelper.exe",
                "iphuc -s phase1.script", "echo Sending WTF file please wait...", "sleep 6",
                "iphuc -s phase2.script",
                "echo Restore your iPod in iTunes by holding SHIFT and hitting restore, then "
                "choosing an older firmware.",
                "taskkill.exe >NUL /F /IM Zorvane.exe", "start Zorvane.exe", "start DFUmode.exe",
                "exit"}));
    }

    void writtenWithCrLfAndRewritten()
    {
        const FolderFixture folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
        QString error;
        QVERIFY(dfuScript(jobDescription(Job::Dfu)).write(&error));
        QFile f(QStringLiteral("DFU.bat"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray first = f.readAll();
        f.close();
        QVERIFY(first.startsWith("@echo off\r\n"));
        QVERIFY(first.endsWith("\r\nexit\r\n"));
        QCOMPARE(first.count("\r\n"), dfuScript(jobDescription(Job::Dfu)).lines().size());
        QCOMPARE(first.count('\n'), first.count("\r\n"));
        // A second write truncates: a shorter script leaves no tail behind.
        JobScript shorter(QStringLiteral("DFU.bat"));
        shorter.line(QStringLiteral("exit"));
        QVERIFY(shorter.write(&error));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("exit\r\n"));
    }

    void scriptsAndFoldersAreTheUsersAlone()
    {
        const FolderFixture folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
        platform::restrictNewFilesToUser();
        QString error;
        QVERIFY(sshFirstRunScript(jobDescription(Job::SshFirstRun), kPlain).write(&error));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
                                          | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QVERIFY(QFile::permissions(QStringLiteral("SSH.bat")) & QFile::ReadOwner);
        QCOMPARE(QFile::permissions(QStringLiteral("SSH.bat")) & others, QFile::Permissions());
        QVERIFY(QDir().mkdir(QStringLiteral("mobile")));
        QCOMPARE(QFile::permissions(QStringLiteral("mobile")) & others, QFile::Permissions());
    }

    void unwritableScriptIsAnErrorNotACrash()
    {
        const FolderFixture folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
        QDir().mkdir(QStringLiteral("DFU.bat")); // a folder where the file should go
        QString error;
        QVERIFY(!dfuScript(jobDescription(Job::Dfu)).write(&error));
        QVERIFY(error.contains(QStringLiteral("DFU.bat")));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("kept");
        QTest::newRow("start text") << "192.168." << false << "";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("blanks") << "   " << false << "";
        QTest::newRow("three parts") << "192.168.1" << false << "";
        QTest::newRow("octet too big") << "192.168.1.256" << false << "";
        QTest::newRow("inner blank") << "192.168. 1.5" << false << "";
        QTest::newRow("batch characters") << "1.2.3.4&calc" << false << "";
        QTest::newRow("plain") << "192.168.1.5" << true << "192.168.1.5";
        QTest::newRow("trimmed") << "  192.168.1.5 " << true << "192.168.1.5";
        QTest::newRow("loopback") << "127.0.0.1" << true << "127.0.0.1";
        QTest::newRow("host name") << "ipod.local" << true << "ipod.local";
    }
    void addresses()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(QString, kept);
        const ConnectionSettings cs(typed, QStringLiteral("fennel"));
        QCOMPARE(cs.isValid(), valid);
        if (valid)
            QCOMPARE(cs.address(), kept);
        else
            QVERIFY(!cs.error().isEmpty());
    }

    // pscp cannot take an IPv6 address in "root@%IP%:folder"; the user is
    // asked for the IPv4 address that the device's Settings show.
    void ipv6AddressesAskForTheIpv4Address_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ipv6");
        QTest::newRow("link-local") << "fe80::1" << true;
        QTest::newRow("loopback") << " ::1 " << true;
        QTest::newRow("brackets") << "[fe80::1]" << true;
        QTest::newRow("zone") << "fe80::1%en0" << true;
        QTest::newRow("ipv4 with a port") << "192.168.1.5:22" << false;
        QTest::newRow("colons only") << ":::" << false;
    }
    void ipv6AddressesAskForTheIpv4Address()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ipv6);
        const ConnectionSettings cs(typed, QStringLiteral("fennel"));
        QVERIFY(!cs.isValid());
        QVERIFY(cs.error().startsWith(QLatin1Char('"') + typed.trimmed() + QLatin1Char('"')));
        QCOMPARE(cs.error().contains(QStringLiteral("IPv4 address")), ipv6);
        QCOMPARE(cs.error().contains(QStringLiteral("not a complete IP address")), !ipv6);
        QVERIFY(cs.error().contains(QStringLiteral("Settings->Wi-Fi")));
    }

    void specialPasswordsAreEscapedPlainOnesKept()
    {
        const ConnectionSettings special(QStringLiteral("10.0.0.7"), QStringLiteral("a b&\"c%d"));
        QVERIFY(special.isValid());
        QCOMPARE(connectionLines(special),
                 (QStringList{"set IP=10.0.0.7", "set PASS=\"a b&\\\"c%%d^^^\""}));
        QCOMPARE(connectionLines(kPlain), (QStringList{"set IP=10.0.0.7", "set PASS=fennel"}));
        QVERIFY(
            !ConnectionSettings(QStringLiteral("10.0.0.7"), QStringLiteral("a\u001Ab")).isValid());
    }

    void emptyPasswordIsRefused()
    {
        const ConnectionSettings cs(QStringLiteral("10.0.0.7"), QString());
        QVERIFY(!cs.isValid());
        QVERIFY(cs.error().contains(QStringLiteral("password")));
    }
};

QTEST_GUILESS_MAIN(tst_job_scripts)
#include "tst_job_scripts.moc"
