#pragma once
#include "jobs/SshFirstRunOutcome.h"

#include <QString>

namespace jobs {

class JobWindow;

// Follows an SSH first run that runs in a window of its own: on each tick of
// the job's timer it reads the script's note about its copy and PuTTY's key
// cache, and shows in the Console what really happened. While the SSH window is
// unanswered it says so and keeps looking, up to a limit.
class SshFirstRunWatch {
public:
    // About five minutes of the job timer's 7-second ticks for an answer; once
    // this run stored the key, about 20 seconds for the copy's note.
    static constexpr int kAnswerLimitTicks = 43;
    static constexpr int kCopyLimitTicks = 3;

    explicit SshFirstRunWatch(JobWindow &window)
        : m_window(window)
    {}

    // Before the script starts: forgets an earlier run's note, so that only this
    // run's can be read. False (with the reason) when the old note stays.
    bool begin(const QString &address, QString *error);
    // The script could not be started: the Console says so.
    void startFailed();
    // One tick of the job's timer.
    void tick();

private:
    void show(SshFirstRunOutcome outcome);

    JobWindow &m_window;
    QString m_address;
    int m_ticks = 0;
    int m_keySeenAt = 0; // the tick that first found the key this run stored (0: not yet)
    // The key PuTTY's cache held for the address when the run began: one
    // still there unchanged was not stored by this run, and says nothing of
    // the answer in the SSH window (a device whose key changed is asked about).
    QByteArray m_keyBefore;
    // What the Console shows: written again only when it changes, and only
    // while the Console still shows what this job wrote; once another job has
    // written into it, the outcome comes in an alert instead.
    bool m_shown = false;
    SshFirstRunOutcome m_outcome = SshFirstRunOutcome::Waiting;
    QString m_written;
};

} // namespace jobs
