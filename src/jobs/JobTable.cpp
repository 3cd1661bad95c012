#include "jobs/JobTable.h"
#include "jobs/JobScripts.h"

namespace jobs {

namespace {

using platform::MsgIcon;

const QString kSshExecuting = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                             "Executing SSH on first time run....\r\n"
                                             "Please wait for the command prompt window to close.");

using Kind = JobOutcome::Kind;
using ScriptLines = JobScript (*)(const QString &, const ConnectionSettings &);

JobDescription entry(Job job, bool usesConnection, QList<Step> steps, ScriptKind kind,
                     ScriptLines lines, Control sign)
{
    JobDescription d;
    d.job = job;
    d.usesConnection = usesConnection;
    d.steps = std::move(steps);
    d.scripts = {{std::nullopt, kind, lines}};
    d.sign = sign;
    return d;
}

QList<JobDescription> makeTable()
{
    QList<JobDescription> t;

    JobDescription backup = entry(Job::Backup, true,
                                  {Step::Grow, Step::DisableContinue, Step::Box, Step::ShowSign,
                                   Step::ShowCaption, Step::Script},
                                  ScriptKind::BackupSymlinked, nullptr, Control::GIF1);
    // The options are read one after the other: a choice changed while the
    // first script runs starts the other one after it.
    backup.scripts = {
        {Control::optYes, ScriptKind::BackupSymlinked,
         [](const QString &v, const ConnectionSettings &cs) { return backupScript(true, v, cs); }},
        {Control::optNo, ScriptKind::BackupNotSymlinked,
         [](const QString &v, const ConnectionSettings &cs) {
             return backupScript(false, v, cs);
         }}};
    backup.precondition = Precondition::OptionChosen;
    backup.caption = Control::Label7;
    backup.continueButton = Control::cmdAgree;
    backup.agreement = Control::Check1;
    backup.completion = Kind::Backup;
    backup.box = {QStringLiteral("BEFORE YOU BEGIN!!!"),
                  QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer "
                                 "that your iTunes is CLOSED. DO NOT plug in your iPod DURING the "
                                 "backup process. If you have done all of this, press ''OK''"),
                  MsgIcon::Critical};
    t.append(backup);

    JobDescription restore =
        entry(Job::Restore, true,
              {Step::Grow, Step::DisableContinue, Step::ShowSign, Step::ShowCaption, Step::Script},
              ScriptKind::Restore, &restoreScript, Control::GIF2);
    restore.precondition = Precondition::BackupPresent;
    restore.caption = Control::Label8;
    restore.continueButton = Control::Command5;
    restore.agreement = Control::Check2;
    restore.completion = Kind::Restore;
    t.append(restore);

    JobDescription ssh = entry(
        Job::SshFirstRun, true,
        {Step::Grow, Step::ConsoleText, Step::StartTimer, Step::Alert, Step::ShowSign,
         Step::Script},
        ScriptKind::SshFirstRun,
        [](const QString &, const ConnectionSettings &cs) { return sshFirstRunScript(cs); },
        Control::DXAnimatedGIF3);
    // The user must answer pscp's question about the key: never run unseen.
    ssh.precondition = Precondition::ConsoleWindow;
    ssh.alert = QStringLiteral("Executing SSH for the First time... Please Wait...");
    ssh.consoleText = kSshExecuting;
    ssh.timer = JobTimer::Timer1;
    ssh.keepScriptWhileUnchanged = true;
    // Its own window runs it; its timer hides the sign and tells the outcome.
    ssh.runEndHidesSign = false;
    t.append(ssh);

    JobDescription apps = entry(
        Job::ApplicationsRelocation, true, {Step::Alert, Step::Grow, Step::ShowSign, Step::Script},
        ScriptKind::ApplicationsRelocation,
        [](const QString &, const ConnectionSettings &cs) { return relocationScript(false, cs); },
        Control::DXAnimatedGIF1);
    apps.alert = QStringLiteral("Executing Symlink Applications Process...Please Wait...");
    apps.completion = Kind::Relocation;
    t.append(apps);

    JobDescription fonts = entry(
        Job::FontsRelocation, true, {Step::Grow, Step::ShowSign, Step::Box, Step::Script},
        ScriptKind::FontsRelocation,
        [](const QString &, const ConnectionSettings &cs) { return relocationScript(true, cs); },
        Control::DXAnimatedGIF2);
    fonts.box = {QStringLiteral("Before Symlinking Your Fonts...."),
                 QStringLiteral("If you have restored your applications then that auto moves the "
                                "fonts for you, so you do not need to do it again!"),
                 MsgIcon::Critical};
    fonts.completion = Kind::Relocation;
    t.append(fonts);

    JobDescription dfu = entry(
        Job::Dfu, false, {Step::Grow, Step::Box, Step::ShowSign, Step::Script}, ScriptKind::Dfu,
        [](const QString &, const ConnectionSettings &) { return dfuScript(); },
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

const JobDescription *jobWriting(ScriptKind kind)
{
    for (const JobDescription &job : jobTable()) {
        for (const JobScriptChoice &script : job.scripts) {
            if (script.kind == kind)
                return &job;
        }
    }
    return nullptr;
}

const QStringList &scriptsRemovedAtExit()
{
    static const QStringList names = [] {
        QStringList list;
        for (const JobDescription &job : jobTable()) {
            if (!job.removedAtExit)
                continue;
            for (const JobScriptChoice &script : job.scripts) {
                const QString name = scriptForm(script.kind, QString()).fileName;
                if (!list.contains(name))
                    list.append(name);
            }
        }
        // Scripts no job of this program writes, removed when found.
        list << QStringLiteral("library.bat") << QStringLiteral("media.bat");
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
            names.removeAll(scriptForm(script.kind, QString()).fileName);
    }
    return names;
}

} // namespace jobs
