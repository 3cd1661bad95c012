#pragma once
#include <QString>

namespace platform {

// The lock that lets one job at a time touch the backup folders of a working
// folder, whatever the number of windows. It is an exclusive flock on the file
// "Zorvane.lock" in the current folder: zcmd takes it when it runs a job
// script, and its tools inherit it, so it is held as long as any of the job's
// processes lives. The program takes it for its own steps on those folders
// (start-up recovery, putting a backup back), never handing it to a child.
class JobLock {
public:
    static const QString kFileName;

    JobLock() = default;
    ~JobLock() { release(); }
    JobLock(const JobLock &) = delete;
    JobLock &operator=(const JobLock &) = delete;

    // Takes the lock without waiting, creating the lock file (this user's
    // alone) when `create` is set. False when another job holds it, or the
    // file is missing or not a regular file of this user alone. Without the
    // file no job can hold the lock: zcmd locks only a file that exists.
    bool tryTake(bool create = true);
    // Tries until the lock is had or `timeoutMs` has passed.
    bool take(int timeoutMs, bool create = true);
    void release();
    bool isHeld() const { return m_fd >= 0; }
    // After a failed tryTake(): whether another holder had it (else the file
    // is missing or could not be used).
    bool wasBusy() const { return m_busy; }

    // True when a job's processes hold the lock now. Makes the lock file, so
    // that the job started next takes it.
    static bool heldElsewhere();

private:
    int m_fd = -1;
    bool m_busy = false;
};

} // namespace platform
