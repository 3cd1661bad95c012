#include "jobs/JobController.h"
#include "jobs/BackupNames.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobWindow.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/StartupRecovery.h"
#include "platform/JobLock.h"
#include "platform/Platform.h"

namespace jobs {

namespace {

void showMessage(const QString &title, const QString &text, platform::MsgIcon icon)
{
    platform::Platform::messages().show(title, text, icon, platform::MsgButtons::Ok);
}

// Whether the runner's command names the script file (file names match
// without regard to case, as the interpreter finds them).
bool namesScript(const QString &command, const QString &fileName)
{
    return command.trimmed().compare(fileName, Qt::CaseInsensitive) == 0;
}

bool askNo(const QString &title, const QString &text)
{
    return platform::Platform::messages().show(title, text, platform::MsgIcon::Exclamation,
                                               platform::MsgButtons::YesNoDefaultNo)
           != platform::MsgAnswer::Yes;
}

QString generationFolder(const QString &name)
{
    return name.isEmpty() ? QString() : Generations::kFolder + QLatin1Char('/') + name;
}

// The newest backup back in place after a restore of an older one, while no
// job's processes hold the folder; false when it still lies aside.
bool newestBackInPlace(QStringList *lines)
{
    if (!PlacedGeneration::newestIsAside())
        return true;
    platform::JobLock lock;
    if (!lock.tryTake() && lock.wasBusy())
        return false;
    return PlacedGeneration::putBack(lines);
}

} // namespace

JobController::JobController(JobWindow &window)
    : m_window(window)
    , m_sshWatch(window)
{}

void JobController::start(Job which)
{
    const JobDescription &job = jobDescription(which);
    // Checked before the first step, so a refused job changes nothing; the
    // settings read here are the ones the job's script carries.
    std::optional<ConnectionSettings> cs;
    if (job.usesConnection) {
        cs = readConnection();
        if (!cs)
            return;
    }
    if (!preconditionHolds(job))
        return;
    // A backup or restore never starts over an older backup left in place by
    // a restore that was cut off: the newest goes back first.
    QStringList told;
    if (job.sameDeviceOrAgreed && !m_window.isRunnerBusy() && !newestBackInPlace(&told)) {
        showMessage(QStringLiteral("Zorvane"),
                    told.isEmpty() ? StartupRecovery::runningElsewhereText()
                                   : told.join(QLatin1Char(' ')),
                    platform::MsgIcon::Exclamation);
        return;
    }
    const QString chosen =
        job.sendsChosenBackup ? generationFolder(m_window.chosenGeneration()) : QString();
    if (cs && job.sameDeviceOrAgreed && !job.sameDeviceOrAgreed(cs->address(), chosen))
        return;
    for (Step step : job.steps)
        takeStep(job, step, cs);
}

void JobController::timerTick(Job job)
{
    if (jobDescription(job).watchedOnTimer)
        m_sshWatch.tick();
}

std::optional<ConnectionSettings> JobController::readConnection() const
{
    ConnectionSettings settings(m_window.address(), m_window.password());
    if (settings.isValid())
        return settings;
    showMessage(QStringLiteral("SSH Login"), settings.error(), platform::MsgIcon::Exclamation);
    return std::nullopt;
}

bool JobController::preconditionHolds(const JobDescription &job) const
{
    switch (job.precondition) {
    case Precondition::None: return true;
    case Precondition::OptionChosen:
        for (const JobScriptChoice &choice : job.scripts) {
            if (choice.option && m_window.isChecked(*choice.option))
                return true;
        }
        showMessage(QStringLiteral("Zorvane"),
                    QStringLiteral("Choose one of the two options first: \"Yes, My apps are "
                                   "symlinked\" or \"No, my apps are NOT symlinked\"."),
                    platform::MsgIcon::Exclamation);
        return false;
    case Precondition::BackupPresent: {
        // A backup that runs now is not an interrupted one.
        const QString running = m_window.runningCommand();
        for (const QString &backupFile : scriptFiles(Job::Backup)) {
            if (running.isEmpty() || !namesScript(running, backupFile))
                continue;
            showMessage(QStringLiteral("Nothing to restore"),
                        QStringLiteral("A backup is running now. Wait until it has finished and "
                                       "says whether it is complete, then restore; nothing has "
                                       "been sent to your device."),
                        platform::MsgIcon::Exclamation);
            return false;
        }
        const QString chosen = job.sendsChosenBackup ? m_window.chosenGeneration() : QString();
        if (!chosen.isEmpty()) {
            // An older backup is whole by the time it is kept; the one in
            // place need not be there at all.
            bool kept = false;
            for (const Generations::Generation &g : Generations::list())
                kept = kept || g.folder == chosen;
            if (kept && !platform::Platform::files().exists(kPreviousBackupFolder))
                return true;
            showMessage(QStringLiteral("Nothing to restore"),
                        kept ? QStringLiteral("A backup was interrupted before it finished. Close "
                                              "Zorvane and start it again, which settles your "
                                              "backups, then restore. Nothing has been sent to "
                                              "your device.")
                             : QStringLiteral("The older backup chosen is no longer kept in "
                                              "Zorvane's working folder \"%1\". Choose another "
                                              "one; nothing has been sent to your device.")
                                   .arg(platform::Platform::app().workFolder()),
                        platform::MsgIcon::Exclamation);
            return false;
        }
        QStringList missing;
        for (const QString &folder : backupTrees()) {
            if (!platform::Platform::files().exists(folder))
                missing.append(QLatin1Char('"') + folder + QLatin1Char('"'));
        }
        // An interrupted or failed backup explains missing folders: say that first.
        QString why;
        const QString place = platform::Platform::app().workFolder();
        if (platform::Platform::files().exists(kPreviousBackupFolder))
            why = QStringLiteral(
                      "A backup was interrupted before it finished, so what lies in Zorvane's "
                      "working folder \"%1\" is not a checked backup. Your previous backup is "
                      "kept whole in the folder \"PreviousBackup\" there: do not delete it. "
                      "Close Zorvane and start it again, which puts that backup back in place, "
                      "then restore. Nothing has been sent to your device.")
                      .arg(place);
        else if (platform::Platform::files().exists(kIncompleteMark))
            why = QStringLiteral("The backup in Zorvane's working folder \"%1\" is not complete: "
                                 "its last run failed or was interrupted, so it cannot be "
                                 "restored. Run the backup again; nothing has been sent to your "
                                 "device.")
                      .arg(place);
        else if (!missing.isEmpty())
            why = QStringLiteral("There is no complete backup in Zorvane's working folder \"%1\" "
                                 "(%2 missing). Run a backup first; nothing has been sent to your "
                                 "device.")
                      .arg(place, missing.join(QStringLiteral(", ")));
        if (why.isEmpty())
            return true;
        showMessage(QStringLiteral("Nothing to restore"), why, platform::MsgIcon::Exclamation);
        return false;
    }
    case Precondition::ConsoleWindow:
        if (platform::Platform::shell().canShowConsoleWindow())
            return true;
        showMessage(QStringLiteral("No terminal window"),
                    QStringLiteral("Zorvane runs the SSH first run in a terminal window, where you "
                                   "answer the question about your device's key, but no terminal "
                                   "program was found on this computer. Install the package "
                                   "\"xterm\" (for example: sudo apt install xterm), then click "
                                   "\"Run SSH Fingerprint\" again. Nothing has been sent to your "
                                   "device."),
                    platform::MsgIcon::Exclamation);
        return false;
    }
    return false;
}

namespace {

// The backup in `folder` (empty: the one in place) against the device at the
// address: the sentence naming both when they differ, none when they do not.
std::optional<QString> otherDevice(const QString &address, const QString &folder)
{
    const QString device = DeviceIdentity::ofAddress(address);
    const QString backup = DeviceIdentity::ofBackup(folder);
    // Unknown on either side (no key stored yet, a backup that recorded none):
    // nothing to compare.
    if (device.isEmpty() || backup.isEmpty() || device == backup)
        return std::nullopt;
    // An older backup chosen is named by its date.
    QString which = QStringLiteral("The backup");
    for (const Generations::Generation &g : Generations::list()) {
        if (generationFolder(g.folder) == folder)
            which = QStringLiteral("The older backup of %1").arg(PlacedGeneration::madeText(g.made));
    }
    const QString both =
        QStringLiteral("%1 in Zorvane's working folder \"%2\" came from another "
                       "iPod/iPhone (%3) than the device at %4 (%5).")
            .arg(which, platform::Platform::app().workFolder(),
                 DeviceIdentity::describe(backup, DeviceIdentity::nameOfBackup(folder)), address,
                 DeviceIdentity::describe(device));
    return both;
}

} // namespace

bool backupOfSameDeviceOrAgreed(const QString &address, const QString &)
{
    // While a backup runs or after one was interrupted, the backup it replaces
    // lies in the holding folder.
    const bool heldAside = platform::Platform::files().exists(kPreviousBackupFolder);
    const QString folder = heldAside ? kPreviousBackupFolder : QString();
    const std::optional<QString> both = otherDevice(address, folder);
    if (!both)
        return true;
    return !askNo(QStringLiteral("Replace another device's backup?"),
                  *both
                      + QStringLiteral(" A backup of this device replaces that backup, and "
                                       "the other device's backup is lost.\n\nReplace the "
                                       "other device's backup?"));
}

bool restoreOfSameDeviceOrAgreed(const QString &address, const QString &backup)
{
    const std::optional<QString> both = otherDevice(address, backup);
    if (!both)
        return true;
    return !askNo(QStringLiteral("Restore another device's backup?"),
                  *both
                      + QStringLiteral(" Restoring it puts the other device's applications, mail, "
                                       "messages and contacts on this one.\n\nRestore the other "
                                       "device's backup onto this device?"));
}

void JobController::takeStep(const JobDescription &job, Step step,
                             const std::optional<ConnectionSettings> &cs)
{
    switch (step) {
    case Step::Grow: m_window.setHeightTwips(kJobHeightTwips); break;
    case Step::DisableContinue:
        if (job.continueButton)
            m_window.setEnabled(*job.continueButton, false);
        break;
    case Step::Box: showMessage(job.box.title, job.box.text, job.box.icon); break;
    case Step::ShowSign: m_window.setVisible(job.sign, true); break;
    case Step::ShowCaption:
        if (job.repeatChoice)
            m_window.setVisible(*job.repeatChoice, false);
        if (job.caption)
            m_window.setVisible(*job.caption, true);
        break;
    case Step::Alert: m_window.popAlert(job.alert); break;
    case Step::ConsoleText: m_window.setConsoleText(job.consoleText); break;
    case Step::StartTimer:
        if (job.timer)
            m_window.startTimer(*job.timer);
        break;
    case Step::Script:
        if (!runScripts(job, cs))
            withdrawBusySigns(job);
        break;
    }
}

bool JobController::runScripts(const JobDescription &job,
                               std::optional<ConnectionSettings> clicked)
{
    const QString version = platform::Platform::app().versionText();
    bool started = false;
    for (const JobScriptChoice &choice : job.scripts) {
        if (choice.option && !m_window.isChecked(*choice.option))
            continue;
        // A script written after an earlier one has run carries the settings
        // as they are now: the user may have changed them while it ran.
        std::optional<ConnectionSettings> read =
            started && job.usesConnection ? readConnection() : clicked;
        if (job.usesConnection && !read)
            continue;
        const ConnectionSettings cs =
            read.value_or(ConnectionSettings(m_window.address(), m_window.password()));
        // The older backup chosen lies in place before the script is made
        // from it (its lists give the totals).
        if (job.sendsChosenBackup && !placeChosen())
            continue;
        JobDescription chosen = job;
        chosen.repeatChosen = job.repeatChoice && m_window.isChecked(*job.repeatChoice);
        const JobScript script = choice.lines(chosen, version, cs);
        const QString &runnerCommand = choice.runnerCommand;
        // The interpreter reads a script from disk line by line while it runs:
        // rewriting the one still running would make it read shifted lines.
        // Other scripts are written all the same; the busy runner refuses the
        // command and says so.
        const QString running = m_window.runningCommand();
        if (!runnerCommand.isEmpty() && m_window.isRunnerBusy()
            && (running.isEmpty() || namesScript(running, script.fileName()))) {
            m_window.runThroughRunner(runnerCommand);
            started = true;
            continue;
        }
        // One job at a time in the folder: a job another window runs holds
        // the lock, and its script may be the one this would rewrite.
        if (!m_window.isRunnerBusy() && platform::JobLock::heldElsewhere()) {
            showMessage(QStringLiteral("Zorvane"), StartupRecovery::runningElsewhereText(),
                        platform::MsgIcon::Exclamation);
            continue;
        }
        if (!writeScript(job, script)) {
            QStringList lines;
            newestBackInPlace(&lines);
            continue;
        }
        QString error;
        if (job.watchedOnTimer && !m_sshWatch.begin(cs.address(), &error)) {
            showMessage(QStringLiteral("Zorvane"), error, platform::MsgIcon::Critical);
            continue;
        }
        if (startScript(script, runnerCommand))
            started = true;
        // The run has ended (or never began): the newest backup back in place,
        // unless the script did that already or a job's processes still live.
        if (job.sendsChosenBackup) {
            QStringList lines;
            newestBackInPlace(&lines);
        }
    }
    if (!started && job.watchedOnTimer)
        m_sshWatch.startFailed();
    return started;
}

bool JobController::writeScript(const JobDescription &job, const JobScript &script)
{
    if (job.keepScriptWhileUnchanged && m_keptScriptWritten && script.lines() == m_keptScriptLines)
        return true;
    QString error;
    if (!script.write(&error)) {
        showMessage(QStringLiteral("Zorvane"), error, platform::MsgIcon::Critical);
        return false;
    }
    if (job.keepScriptWhileUnchanged) {
        m_keptScriptWritten = true;
        m_keptScriptLines = script.lines();
    }
    return true;
}

bool JobController::startScript(const JobScript &script, const QString &runnerCommand)
{
    if (!runnerCommand.isEmpty()) {
        m_window.setRunToken(script.runToken());
        m_window.runThroughRunner(runnerCommand);
        return true;
    }
    if (platform::Platform::shell().start(script.fileName(), platform::WindowStyle::NormalFocus))
        return true;
    showMessage(QStringLiteral("Zorvane"),
                QStringLiteral("Zorvane could not start \"%1\", so nothing has been sent to your "
                               "device. If no terminal window opened, install the package "
                               "\"xterm\" or run Zorvane from a desktop session, then try "
                               "again.")
                    .arg(script.fileName()),
                platform::MsgIcon::Critical);
    return false;
}

bool JobController::placeChosen()
{
    const QString chosen = m_window.chosenGeneration();
    // A busy runner refuses the script: nothing to put in place for it.
    if (chosen.isEmpty() || m_window.isRunnerBusy())
        return true;
    platform::JobLock lock;
    QString why;
    if (!lock.tryTake() && lock.wasBusy())
        why = StartupRecovery::runningElsewhereText();
    else if (PlacedGeneration::place(chosen, &why))
        return true;
    else if (PlacedGeneration::newestIsAside())
        why = QStringLiteral("Zorvane could not put the older backup chosen in place for the "
                             "restore: %1. Nothing has been sent to your device. Your newest "
                             "backup lies whole in the folder %2 of Zorvane's working folder "
                             "\"%3\"; do not delete it: Zorvane puts it back when it next "
                             "starts.")
                  .arg(why, PlacedGeneration::kAsideFolder,
                       platform::Platform::app().workFolder());
    else
        why = QStringLiteral("Zorvane could not put the older backup chosen in place for the "
                             "restore: %1. Nothing has been sent to your device, and your newest "
                             "backup is in place, unchanged.")
                  .arg(why);
    showMessage(QStringLiteral("Zorvane"), why, platform::MsgIcon::Exclamation);
    return false;
}

void JobController::withdrawBusySigns(const JobDescription &job)
{
    // Nothing runs: no busy signs for work that is not happening.
    m_window.setVisible(job.sign, false);
    if (job.caption)
        m_window.setVisible(*job.caption, false);
    if (job.repeatChoice)
        m_window.setVisible(*job.repeatChoice, true);
    if (job.continueButton)
        m_window.setEnabled(*job.continueButton,
                            job.agreement && m_window.isChecked(*job.agreement));
    if (job.timer)
        m_window.stopTimer(*job.timer);
}

} // namespace jobs
