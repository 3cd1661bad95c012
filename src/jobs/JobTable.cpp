#include "jobs/JobTable.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/JobController.h"
#include "jobs/JobScripts.h"
#include "jobs/JobStop.h"

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

// The order in which closing the main window deletes the job scripts, first
// to last: every job's scripts, each once, and two that no job of this program
// writes but that are removed when found. Checked against the table when it is
// built.
const QStringList &exitCleanupOrder()
{
    static const QStringList order = {
        QStringLiteral("Yes.bat"),   QStringLiteral("PutFilesBack.bat"),
        QStringLiteral("No.bat"),    QStringLiteral("apps.bat"),
        QStringLiteral("fonts.bat"), QStringLiteral("library.bat"),
        QStringLiteral("media.bat"), QStringLiteral("DFU.bat"),
        QStringLiteral("SSH.bat")};
    return order;
}

// The order in which the end of a run through the window's runner hides the
// busy indicators, first to last: the sign of every job whose scripts run
// through the runner, each once. A job whose script runs in a window of its
// own hides its sign itself and is not listed. Checked against the table when
// it is built.
const QList<Control> &runEndHideOrder()
{
    static const QList<Control> order = {Control::DXAnimatedGIF5, Control::DXAnimatedGIF2,
                                         Control::DXAnimatedGIF1, Control::GIF1, Control::GIF2};
    return order;
}

// Whether the job's scripts run through the window's runner rather than in a
// window of their own that the shell starts.
bool runsThroughRunner(const JobDescription &job)
{
    return std::any_of(job.scripts.begin(), job.scripts.end(),
                       [](const JobScriptChoice &s) { return !s.runnerCommand.isEmpty(); });
}

// Every job has what its click and its end need: a button of its own, a
// script with its text for each choice, and one way its end is reported,
// which its scripts' closing lines agree with.
void checkEntries(const QList<JobDescription> &table)
{
    for (const JobDescription &job : table) {
        const int n = static_cast<int>(job.job);
        if (!job.button)
            qFatal("Job %d has no button", n);
        for (const JobDescription &other : table) {
            if (other.job != job.job && other.button == job.button)
                qFatal("Jobs %d and %d share a button", n, static_cast<int>(other.job));
        }
        if (job.scripts.isEmpty() || !job.steps.contains(Step::Script))
            qFatal("Job %d writes no script", n);
        if (job.completion.has_value() == job.watchedOnTimer)
            qFatal("Job %d needs exactly one of a completion program and a watch", n);
        if (job.watchedOnTimer && !job.timer)
            qFatal("Job %d is watched on a timer it does not have", n);
        if (!job.watchedOnTimer && !runsThroughRunner(job))
            qFatal("Nothing hides the sign of job %d when it ends", n);
        for (const JobScriptChoice &script : job.scripts) {
            if (script.fileName.isEmpty() || !script.lines)
                qFatal("A script of job %d has no file name or no text", n);
            if ((script.end == ScriptEnd::Exit) != job.watchedOnTimer)
                qFatal("%s does not end as its job's end is reported", qPrintable(script.fileName));
        }
    }
}

// Every job's script is deleted at exit, and no name is listed twice.
void checkExitCleanupOrder(const QList<JobDescription> &table)
{
    const QStringList &order = exitCleanupOrder();
    for (const QString &name : order) {
        if (order.count(name) != 1)
            qFatal("The exit clean-up order lists %s more than once", qPrintable(name));
    }
    for (const JobDescription &job : table) {
        for (const JobScriptChoice &script : job.scripts) {
            if (!order.contains(script.fileName))
                qFatal("The exit clean-up order does not list %s", qPrintable(script.fileName));
        }
    }
}

// The signs hidden at a run's end are exactly those of the jobs run through the
// window's runner, each once.
void checkRunEndHideOrder(const QList<JobDescription> &table)
{
    const QList<Control> &order = runEndHideOrder();
    for (const Control sign : order) {
        if (order.count(sign) != 1)
            qFatal("The run's end hide order lists sign %d more than once", static_cast<int>(sign));
        const auto owner =
            std::find_if(table.begin(), table.end(),
                         [sign](const JobDescription &job) { return job.sign == sign; });
        if (owner == table.end() || !runsThroughRunner(*owner))
            qFatal("The run's end hide order lists sign %d of no job run through the runner",
                   static_cast<int>(sign));
    }
    for (const JobDescription &job : table) {
        if (runsThroughRunner(job) && !order.contains(job.sign))
            qFatal("The run's end hide order does not list the sign of job %d",
                   static_cast<int>(job.job));
    }
}

JobDescription entry(Job job, Control button, bool usesConnection, QList<Step> steps,
                     JobScriptChoice script, Control sign)
{
    JobDescription d;
    d.job = job;
    d.button = button;
    d.usesConnection = usesConnection;
    d.steps = std::move(steps);
    d.scripts = {std::move(script)};
    d.sign = sign;
    return d;
}

QList<JobDescription> makeTable()
{
    QList<JobDescription> t;

    JobDescription backup = entry(Job::Backup, Control::cmdAgree, true,
                                  {Step::Grow, Step::DisableContinue, Step::Box, Step::ShowSign,
                                   Step::ShowCaption, Step::Script},
                                  {}, Control::GIF1);
    // The options are read one after the other: a choice changed while the
    // first script runs starts the other one after it. A backup records the
    // device it comes from, as PuTTY's cache knows it when it is written.
    backup.scripts = {
        {Control::optYes, QStringLiteral("Yes.bat"), QStringLiteral("Yes.bat"),
         ScriptEnd::RestartThenReport,
         [](const JobDescription &job, const QString &v, const ConnectionSettings &cs) {
             return backupScript(job, true, v, cs, DeviceIdentity::ofAddress(cs.address()));
         }},
        {Control::optNo, QStringLiteral("No.bat"), QStringLiteral("no.bat"),
         ScriptEnd::RestartThenReport,
         [](const JobDescription &job, const QString &v, const ConnectionSettings &cs) {
             return backupScript(job, false, v, cs, DeviceIdentity::ofAddress(cs.address()));
         }}};
    backup.precondition = Precondition::OptionChosen;
    backup.caption = Control::Label7;
    backup.continueButton = Control::cmdAgree;
    backup.agreement = Control::Check1;
    backup.repeatChoice = Control::chkQuickRepeat;
    backup.sameDeviceOrAgreed = &backupOfSameDeviceOrAgreed;
    backup.completion = Kind::Backup;
    backup.settleAfterStop = &JobStop::settleStoppedBackup;
    backup.progress = JobProgress::Kind::Backup;
    backup.box = {QStringLiteral("BEFORE YOU BEGIN!!!"),
                  QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer "
                                 "that your iTunes is CLOSED. DO NOT plug in your iPod DURING the "
                                 "backup process. If you have done all of this, press ''OK''"),
                  MsgIcon::Critical};
    t.append(backup);

    JobDescription restore =
        entry(Job::Restore, Control::Command5, true,
              {Step::Grow, Step::DisableContinue, Step::ShowSign, Step::ShowCaption, Step::Script},
              {std::nullopt, QStringLiteral("PutFilesBack.bat"), QStringLiteral("PutFilesBack.bat"),
               ScriptEnd::ReportThenRestart, &restoreScript},
              Control::GIF2);
    restore.precondition = Precondition::BackupPresent;
    restore.caption = Control::Label8;
    restore.continueButton = Control::Command5;
    restore.agreement = Control::Check2;
    restore.sameDeviceOrAgreed = &restoreOfSameDeviceOrAgreed;
    restore.sendsChosenBackup = true;
    restore.settleAfterStop = &JobStop::settleStoppedRestore;
    restore.completion = Kind::Restore;
    restore.progress = JobProgress::Kind::Restore;
    t.append(restore);

    JobDescription ssh =
        entry(Job::SshFirstRun, Control::Command10, true,
              {Step::Grow, Step::ConsoleText, Step::StartTimer, Step::Alert, Step::ShowSign,
               Step::Script},
              // Started by the shell in a window of its own.
              {std::nullopt, QStringLiteral("SSH.bat"), QString(), ScriptEnd::Exit,
               [](const JobDescription &job, const QString &, const ConnectionSettings &cs) {
                   return sshFirstRunScript(job, cs);
               }},
              Control::DXAnimatedGIF3);
    // The user must answer pscp's question about the key: never run unseen.
    ssh.precondition = Precondition::ConsoleWindow;
    ssh.alert = QStringLiteral("Executing SSH for the First time... Please Wait...");
    ssh.consoleText = kSshExecuting;
    ssh.timer = JobTimer::Timer1;
    ssh.keepScriptWhileUnchanged = true;
    // Its own window runs it (no runner command): its timer hides the sign
    // and tells the outcome.
    ssh.watchedOnTimer = true;
    t.append(ssh);

    JobDescription apps =
        entry(Job::ApplicationsRelocation, Control::Command7, true,
              {Step::Alert, Step::Grow, Step::ShowSign, Step::Script},
              {std::nullopt, QStringLiteral("apps.bat"), QStringLiteral("apps.bat"),
               ScriptEnd::RestartThenReport,
               [](const JobDescription &job, const QString &, const ConnectionSettings &cs) {
                   return relocationScript(job, false, cs);
               }},
              Control::DXAnimatedGIF1);
    apps.alert = QStringLiteral("Executing Symlink Applications Process...Please Wait...");
    apps.completion = Kind::Relocation;
    t.append(apps);

    JobDescription fonts =
        entry(Job::FontsRelocation, Control::Command8, true,
              {Step::Grow, Step::ShowSign, Step::Box, Step::Script},
              {std::nullopt, QStringLiteral("fonts.bat"), QStringLiteral("fonts.bat"),
               ScriptEnd::RestartThenReport,
               [](const JobDescription &job, const QString &, const ConnectionSettings &cs) {
                   return relocationScript(job, true, cs);
               }},
              Control::DXAnimatedGIF2);
    fonts.box = {QStringLiteral("Before Symlinking Your Fonts...."),
                 QStringLiteral("If you have restored your applications then that auto moves the "
                                "fonts for you, so you do not need to do it again!"),
                 MsgIcon::Critical};
    fonts.completion = Kind::Relocation;
    t.append(fonts);

    JobDescription dfu = entry(Job::Dfu, Control::Command9, false,
                               {Step::Grow, Step::Box, Step::ShowSign, Step::Script},
                               {std::nullopt, QStringLiteral("DFU.bat"), QStringLiteral("DFU.bat"),
                                ScriptEnd::RestartThenReport,
                                [](const JobDescription &job, const QString &,
                                   const ConnectionSettings &) { return dfuScript(job); }},
                               Control::DXAnimatedGIF5);
    dfu.box = {QStringLiteral("DFU Mode WARNING"),
               QStringLiteral("Please make sure your iPod/iPhone is connected to your computer "
                              "with the USB cable. Also make sure that the iPod/iPhone is on. Do "
                              "not dissconnect your iPod/iPhone until a popup says it is complete"),
               MsgIcon::Information};
    dfu.completion = Kind::Dfu;
    t.append(dfu);

    // The table is looked up by position: each entry in its place.
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (static_cast<qsizetype>(t[i].job) != i)
            qFatal("The job table's entry %lld is not in the order of Job", qlonglong(i));
    }
    checkEntries(t);
    checkExitCleanupOrder(t);
    checkRunEndHideOrder(t);
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

const JobScriptChoice &jobScript(const JobDescription &job, std::optional<Control> option)
{
    for (const JobScriptChoice &script : job.scripts) {
        if (script.option == option)
            return script;
    }
    qFatal("The job table has no such script for job %d", static_cast<int>(job.job));
}

QStringList scriptFiles(Job job)
{
    QStringList names;
    for (const JobScriptChoice &script : jobDescription(job).scripts)
        names.append(script.fileName);
    return names;
}

QStringList scriptClosing(const JobDescription &job, const JobScriptChoice &script)
{
    if (script.end == ScriptEnd::Exit)
        return {kExit};
    // The completion program that reports the job's end.
    const std::optional<JobOutcome::Kind> completion = job.completion;
    if (!completion)
        qFatal("No completion program reports the end of %s", qPrintable(script.fileName));
    const QString report = QStringLiteral("start ") + JobOutcome::completionProgram(*completion)
                           + QStringLiteral(".exe");
    if (script.end == ScriptEnd::ReportThenRestart)
        return {kEndProgram, report, kStartProgram, kExit};
    return {kEndProgram, kStartProgram, report, kExit};
}

const QList<Control> &runEndSigns()
{
    jobTable(); // checks the order against the table
    return runEndHideOrder();
}

const QStringList &scriptsRemovedAtExit()
{
    jobTable(); // checks the order against the table
    return exitCleanupOrder();
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
