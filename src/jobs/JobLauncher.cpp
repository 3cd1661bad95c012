#include "jobs/JobLauncher.h"
#include "platform/Platform.h"
#include "runner/ReadOutput.h"

namespace jobs {

JobLauncher::JobLauncher(ReadOutput *runner) : m_runner(runner) {}

bool JobLauncher::write(const JobScript &script)
{
    QString error;
    if (script.write(&error))
        return true;
    platform::Platform::messages().show(QStringLiteral("Zorvane"), error,
                                        platform::MsgIcon::Critical, platform::MsgButtons::Ok);
    return false;
}

void JobLauncher::runThroughRunner(const QString &command)
{
    m_runner->SetCommand(command);
    m_runner->ProcessCommand();
}

bool JobLauncher::startThroughShell(const QString &file, platform::WindowStyle style)
{
    if (platform::Platform::shell().start(file, style))
        return true;
    platform::Platform::messages().show(
        QStringLiteral("Zorvane"),
        QStringLiteral("Zorvane could not start \"%1\". If no terminal window opened, install "
                       "xterm or run Zorvane from a desktop session.")
            .arg(file),
        platform::MsgIcon::Critical, platform::MsgButtons::Ok);
    return false;
}

} // namespace jobs
