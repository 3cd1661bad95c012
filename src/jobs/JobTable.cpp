#include "jobs/JobTable.h"

#include <map>

namespace jobs {

namespace {

using platform::MsgIcon;

const QString kSshExecuting = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                             "Executing SSH on first time run....\r\n"
                                             "Please wait for the command prompt window to close.");

JobDescription entry(Job job, bool usesConnection, QList<Step> steps, ScriptKind kind,
                     const QString &sign)
{
    JobDescription d;
    d.job = job;
    d.usesConnection = usesConnection;
    d.steps = std::move(steps);
    d.scripts = {{QString(), kind}};
    d.sign = sign;
    return d;
}

std::map<Job, JobDescription> makeTable()
{
    std::map<Job, JobDescription> t;

    JobDescription backup = entry(Job::Backup, true,
                                  {Step::Grow, Step::DisableContinue, Step::Box, Step::ShowSign,
                                   Step::ShowCaption, Step::Script},
                                  ScriptKind::BackupSymlinked, QStringLiteral("GIF1"));
    // The options are read one after the other: a choice changed while the
    // first script runs starts the other one after it.
    backup.scripts = {{QStringLiteral("optYes"), ScriptKind::BackupSymlinked},
                      {QStringLiteral("optNo"), ScriptKind::BackupNotSymlinked}};
    backup.precondition = Precondition::OptionChosen;
    backup.caption = QStringLiteral("Label7");
    backup.continueButton = QStringLiteral("cmdAgree");
    backup.agreement = QStringLiteral("Check1");
    backup.box = {QStringLiteral("BEFORE YOU BEGIN!!!"),
                  QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer "
                                 "that your iTunes is CLOSED. DO NOT plug in your iPod DURING the "
                                 "backup process. If you have done all of this, press ''OK''"),
                  MsgIcon::Critical};
    t.emplace(Job::Backup, backup);

    JobDescription restore =
        entry(Job::Restore, true,
              {Step::Grow, Step::DisableContinue, Step::ShowSign, Step::ShowCaption, Step::Script},
              ScriptKind::Restore, QStringLiteral("GIF2"));
    restore.precondition = Precondition::BackupPresent;
    restore.caption = QStringLiteral("Label8");
    restore.continueButton = QStringLiteral("Command5");
    restore.agreement = QStringLiteral("Check2");
    t.emplace(Job::Restore, restore);

    JobDescription ssh = entry(Job::SshFirstRun, true,
                               {Step::Grow, Step::ConsoleText, Step::StartTimer, Step::Alert,
                                Step::ShowSign, Step::Script},
                               ScriptKind::SshFirstRun, QStringLiteral("DXAnimatedGIF3"));
    // The user must answer pscp's question about the key: never run unseen.
    ssh.precondition = Precondition::ConsoleWindow;
    ssh.alert = QStringLiteral("Executing SSH for the First time... Please Wait...");
    ssh.consoleText = kSshExecuting;
    ssh.timer = QStringLiteral("Timer1");
    ssh.keepScriptWhileUnchanged = true;
    t.emplace(Job::SshFirstRun, ssh);

    JobDescription apps =
        entry(Job::RelocateApps, true, {Step::Alert, Step::Grow, Step::ShowSign, Step::Script},
              ScriptKind::RelocateApps, QStringLiteral("DXAnimatedGIF1"));
    apps.alert = QStringLiteral("Executing Symlink Applications Process...Please Wait...");
    t.emplace(Job::RelocateApps, apps);

    JobDescription fonts =
        entry(Job::RelocateFonts, true, {Step::Grow, Step::ShowSign, Step::Box, Step::Script},
              ScriptKind::RelocateFonts, QStringLiteral("DXAnimatedGIF2"));
    fonts.box = {QStringLiteral("Before Symlinking Your Fonts...."),
                 QStringLiteral("If you have restored your applications then that auto moves the "
                                "fonts for you, so you do not need to do it again!"),
                 MsgIcon::Critical};
    t.emplace(Job::RelocateFonts, fonts);

    JobDescription dfu =
        entry(Job::Dfu, false, {Step::Grow, Step::Box, Step::ShowSign, Step::Script},
              ScriptKind::Dfu, QStringLiteral("DXAnimatedGIF5"));
    dfu.box = {QStringLiteral("DFU Mode WARNING"),
               QStringLiteral("Please make sure your iPod/iPhone is connected to your computer "
                              "with the USB cable. Also make sure that the iPod/iPhone is on. Do "
                              "not dissconnect your iPod/iPhone until a popup says it is complete"),
               MsgIcon::Information};
    t.emplace(Job::Dfu, dfu);
    return t;
}

} // namespace

const JobDescription &jobDescription(Job job)
{
    static const std::map<Job, JobDescription> table = makeTable();
    return table.at(job);
}

} // namespace jobs
