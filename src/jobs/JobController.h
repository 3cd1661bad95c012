#pragma once
#include "jobs/JobTable.h"
#include "jobs/SshFirstRunWatch.h"

#include "jobs/ConnectionSettings.h"

#include <QStringList>
#include <optional>

namespace jobs {

class JobScript;
class JobWindow;

// Carries out a job's click as its table entry describes it: checks what must
// hold first (a refused job changes nothing), takes the steps in order, writes
// the scripts and starts them through the window's runner or the shell. When
// nothing could be started, the busy signs go again. The outcome of the SSH first
// run, which runs in a window of its own, is followed on its timer's ticks.
class JobController {
public:
    explicit JobController(JobWindow &window);

    void start(Job job);
    // The job's timer has ticked.
    void timerTick(Job job);

private:
    // The Connection settings as typed; none after telling the user why they
    // cannot be used.
    std::optional<ConnectionSettings> readConnection() const;
    bool preconditionHolds(const JobDescription &job) const;
    // cs: the settings read at the click, for jobs that use them.
    void takeStep(const JobDescription &job, Step step,
                  const std::optional<ConnectionSettings> &cs);
    // True when a script was started.
    bool runScripts(const JobDescription &job, std::optional<ConnectionSettings> clicked);
    bool writeScript(const JobDescription &job, const JobScript &script);
    // False when the script could not be started (the user has been told).
    bool startScript(const JobScript &script, const QString &runnerCommand);
    // Puts the chosen older backup in place for the job's script; false (the
    // user told why) when it could not be.
    bool placeChosen();
    void withdrawBusySigns(const JobDescription &job);

    JobWindow &m_window;
    SshFirstRunWatch m_sshWatch;
    // A script kept while unchanged: whether it was written and its lines.
    bool m_keptScriptWritten = false;
    QStringList m_keptScriptLines;
};

// The device-record checks of the backup and the restore (see
// JobDescription::sameDeviceOrAgreed): a backup or restore that would join a
// backup and a device other than the one it came from asks first (default
// No). False when not agreed.
bool backupOfSameDeviceOrAgreed(const QString &address, const QString &backup);
bool restoreOfSameDeviceOrAgreed(const QString &address, const QString &backup);

} // namespace jobs
