#include "jobs/JobTable.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/JobScripts.h"

#include <algorithm>

namespace jobs {

namespace {

using platform::MsgIcon;

const QString kSshExecuting = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                             "Executing SSH on first time run....\r\n"
                                             "Please wait for the command prompt window to close.");

using Kind = JobOutcome::Kind;

const QString kEndProgram = QStringLiteral("taskkill.exe >NUL /F /IM Zorvane.exe");
const QString kStartProgram = QStringLiteral("start Zorvane.exe");
const QString kExit = QStringLiteral("exit");

JobDescription entry(Job job, bool usesConnection, QList<Step> steps, JobScriptChoice script,
                     Control sign)
{
    JobDescription d;
    d.job = job;
    d.usesConnection = usesConnection;
    d.steps = std::move(steps);
    d.scripts = {std::move(script)};
    d.sign = sign;
    return d;
}

QList<JobDescription> makeTable()
{
    QList<JobDescription> t;

    JobDescription backup = entry(Job::Backup, true,
                                  {Step::Grow, Step::DisableContinue, Step::Box, Step::ShowSign,
                                   Step::ShowCaption, Step::Script},
                                  {}, Control::GIF1);
    // The options are read one after the other: a choice changed while the
    // first script runs starts the other one after it. A backup records the
    // device it comes from, as PuTTY's cache knows it when it is written.
    backup.scripts = {
        {Control::optYes, QStringLiteral("Yes.bat"), QStringLiteral("Yes.bat"),
         ScriptEnd::RestartThenReport, 1,
         [](const QString &v, const ConnectionSettings &cs) {
             return backupScript(true, v, cs, DeviceIdentity::ofAddress(cs.address()));
         }},
        {Control::optNo, QStringLiteral("No.bat"), QStringLiteral("no.bat"),
         ScriptEnd::RestartThenReport, 3, [](const QString &v, const ConnectionSettings &cs) {
             return backupScript(false, v, cs, DeviceIdentity::ofAddress(cs.address()));
         }}};
    backup.precondition = Precondition::OptionChosen;
    backup.caption = Control::Label7;
    backup.continueButton = Control::cmdAgree;
    backup.agreement = Control::Check1;
    backup.runEndHideOrder = 4;
    backup.completion = Kind::Backup;
    backup.progress = JobProgress::Kind::Backup;
    backup.box = {QStringLiteral("BEFORE YOU BEGIN!!!"),
                  QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer "
                                 "that your iTunes is CLOSED. DO NOT plug in your iPod DURING the "
                                 "backup process. If you have done all of this, press ''OK''"),
                  MsgIcon::Critical};
    t.append(backup);

    JobDescription restore =
        entry(Job::Restore, true,
              {Step::Grow, Step::DisableContinue, Step::ShowSign, Step::ShowCaption, Step::Script},
              {std::nullopt, QStringLiteral("PutFilesBack.bat"), QStringLiteral("PutFilesBack.bat"),
               ScriptEnd::ReportThenRestart, 2, &restoreScript},
              Control::GIF2);
    restore.precondition = Precondition::BackupPresent;
    restore.caption = Control::Label8;
    restore.continueButton = Control::Command5;
    restore.agreement = Control::Check2;
    restore.runEndHideOrder = 5;
    restore.completion = Kind::Restore;
    restore.progress = JobProgress::Kind::Restore;
    t.append(restore);

    JobDescription ssh =
        entry(Job::SshFirstRun, true,
              {Step::Grow, Step::ConsoleText, Step::StartTimer, Step::Alert, Step::ShowSign,
               Step::Script},
              // Started by the shell in a window of its own.
              {std::nullopt, QStringLiteral("SSH.bat"), QString(), ScriptEnd::Exit, 9,
               [](const QString &, const ConnectionSettings &cs) { return sshFirstRunScript(cs); }},
              Control::DXAnimatedGIF3);
    // The user must answer pscp's question about the key: never run unseen.
    ssh.precondition = Precondition::ConsoleWindow;
    ssh.alert = QStringLiteral("Executing SSH for the First time... Please Wait...");
    ssh.consoleText = kSshExecuting;
    ssh.timer = JobTimer::Timer1;
    ssh.keepScriptWhileUnchanged = true;
    // Its own window runs it; its timer hides the sign and tells the outcome.
    ssh.runEndHideOrder = 0;
    t.append(ssh);

    JobDescription apps = entry(
        Job::ApplicationsRelocation, true, {Step::Alert, Step::Grow, Step::ShowSign, Step::Script},
        {std::nullopt, QStringLiteral("apps.bat"), QStringLiteral("apps.bat"),
         ScriptEnd::RestartThenReport, 4,
         [](const QString &, const ConnectionSettings &cs) { return relocationScript(false, cs); }},
        Control::DXAnimatedGIF1);
    apps.alert = QStringLiteral("Executing Symlink Applications Process...Please Wait...");
    apps.runEndHideOrder = 3;
    apps.completion = Kind::Relocation;
    t.append(apps);

    JobDescription fonts = entry(
        Job::FontsRelocation, true, {Step::Grow, Step::ShowSign, Step::Box, Step::Script},
        {std::nullopt, QStringLiteral("fonts.bat"), QStringLiteral("fonts.bat"),
         ScriptEnd::RestartThenReport, 5,
         [](const QString &, const ConnectionSettings &cs) { return relocationScript(true, cs); }},
        Control::DXAnimatedGIF2);
    fonts.box = {QStringLiteral("Before Symlinking Your Fonts...."),
                 QStringLiteral("If you have restored your applications then that auto moves the "
                                "fonts for you, so you do not need to do it again!"),
                 MsgIcon::Critical};
    fonts.runEndHideOrder = 2;
    fonts.completion = Kind::Relocation;
    t.append(fonts);

    JobDescription dfu =
        entry(Job::Dfu, false, {Step::Grow, Step::Box, Step::ShowSign, Step::Script},
              {std::nullopt, QStringLiteral("DFU.bat"), QStringLiteral("DFU.bat"),
               ScriptEnd::RestartThenReport, 8,
               [](const QString &, const ConnectionSettings &) { return dfuScript(); }},
              Control::DXAnimatedGIF5);
    dfu.box = {QStringLiteral("DFU Mode WARNING"),
               QStringLiteral("Please make sure your iPod/iPhone is connected to your computer "
                              "with the USB cable. Also make sure that the iPod/iPhone is on. Do "
                              "not dissconnect your iPod/iPhone until a popup says it is complete"),
               MsgIcon::Information};
    dfu.runEndHideOrder = 1;
    dfu.completion = Kind::Dfu;
    t.append(dfu);

    // The table is looked up by position: each entry in its place.
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (static_cast<qsizetype>(t[i].job) != i)
            qFatal("The job table's entry %lld is not in the order of Job", qlonglong(i));
    }
    return t;
}

} // namespace

const QList<JobDescription> &jobTable()
{
    static const QList<JobDescription> table = makeTable();
    return table;
}

const JobDescription &jobDescription(Job job)
{
    const qsizetype index = static_cast<qsizetype>(job);
    if (index < 0 || index >= jobTable().size())
        qFatal("The job table has no entry for job %lld", qlonglong(index));
    return jobTable()[index];
}

const JobScriptChoice &jobScript(Job job, std::optional<Control> option)
{
    for (const JobScriptChoice &script : jobDescription(job).scripts) {
        if (script.option == option)
            return script;
    }
    qFatal("The job table has no such script for job %d", static_cast<int>(job));
}

QStringList scriptFiles(Job job)
{
    QStringList names;
    for (const JobScriptChoice &script : jobDescription(job).scripts)
        names.append(script.fileName);
    return names;
}

QStringList scriptClosing(Job job, const JobScriptChoice &script)
{
    if (script.end == ScriptEnd::Exit)
        return {kExit};
    // The completion program that reports the job's end.
    const std::optional<JobOutcome::Kind> completion = jobDescription(job).completion;
    if (!completion)
        qFatal("No completion program reports the end of %s", qPrintable(script.fileName));
    const QString report = QStringLiteral("start ") + JobOutcome::completionProgram(*completion)
                           + QStringLiteral(".exe");
    if (script.end == ScriptEnd::ReportThenRestart)
        return {kEndProgram, report, kStartProgram, kExit};
    return {kEndProgram, kStartProgram, report, kExit};
}

QList<Control> runEndSigns()
{
    QList<const JobDescription *> hidden;
    for (const JobDescription &job : jobTable()) {
        if (job.runEndHideOrder > 0)
            hidden.append(&job);
    }
    std::stable_sort(hidden.begin(), hidden.end(),
                     [](const JobDescription *a, const JobDescription *b) {
                         return a->runEndHideOrder < b->runEndHideOrder;
                     });
    QList<Control> signs;
    for (const JobDescription *job : hidden)
        signs.append(job->sign);
    return signs;
}

const QStringList &scriptsRemovedAtExit()
{
    static const QStringList names = [] {
        // Each script by its place in the order; the job table gives the jobs'.
        QList<std::pair<int, QString>> placed;
        for (const JobDescription &job : jobTable()) {
            for (const JobScriptChoice &script : job.scripts) {
                if (script.exitCleanupOrder > 0)
                    placed.append({script.exitCleanupOrder, script.fileName});
            }
        }
        // Scripts no job of this program writes, removed when found.
        placed.append({6, QStringLiteral("library.bat")});
        placed.append({7, QStringLiteral("media.bat")});
        std::stable_sort(placed.begin(), placed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        QStringList list;
        for (const auto &[order, name] : placed) {
            if (!list.contains(name))
                list.append(name);
        }
        return list;
    }();
    return names;
}

QStringList scriptsRemovedByCompletions()
{
    QStringList names = scriptsRemovedAtExit();
    for (const JobDescription &job : jobTable()) {
        if (!job.keepScriptWhileUnchanged)
            continue;
        for (const JobScriptChoice &script : job.scripts)
            names.removeAll(script.fileName);
    }
    return names;
}

} // namespace jobs
