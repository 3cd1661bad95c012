#pragma once
#include "jobs/JobScript.h"
#include "platform/Shell.h"

class ReadOutput;

namespace jobs {

// Writes job scripts and starts them: through the command runner, whose output
// goes to the Console, or through the shell. A script that cannot be written
// gets a clear message box and is not started.
class JobLauncher {
public:
    explicit JobLauncher(ReadOutput *runner);

    // Writes the script in the current folder; false after telling the user.
    bool write(const JobScript &script);
    // Hands the command to the runner; returns when its run has ended.
    void runThroughRunner(const QString &command);
    // Starts a file through the shell without waiting; false after telling the
    // user when it could not be started.
    bool startThroughShell(const QString &file, platform::WindowStyle style);

private:
    ReadOutput *m_runner;
};

} // namespace jobs
