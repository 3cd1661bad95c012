#include "zcmd/TaskKillCommand.h"

#include "zcmd/CommandWords.h"
#include "zcmd/Output.h"
#include "zcmd/ProcessKiller.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <cerrno>
#include <limits>

namespace zcmd {

namespace {

const char kUsage[] = "Type \"TASKKILL /?\" for usage.";

// Ends one process; writes the outcome and returns whether it was ended.
bool end(ProcessId pid, const std::string &name, bool force)
{
    if (const int error = System::current().endProcess(pid, force)) {
        if (error == ESRCH)
            return true; // it ended by itself meanwhile
        Output::errLine("ERROR: The process \"" + name + "\" with PID " + std::to_string(pid)
                        + " could not be terminated.\r\nReason: Access is denied.");
        return false;
    }
    if (force)
        Output::outLine("SUCCESS: The process \"" + name + "\" with PID " + std::to_string(pid)
                        + " has been terminated.");
    else
        Output::outLine("SUCCESS: Sent termination signal to the process \"" + name + "\" with PID "
                        + std::to_string(pid) + ".");
    return true;
}

} // namespace

int TaskKillCommand::run(Session &, std::string_view arguments)
{
    std::vector<std::string> words = CommandWords::split(arguments);
    bool force = false;
    std::vector<std::string> images;
    std::vector<std::string> ids;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string word = text::toUpper(words[i]);
        if (word == "/F") {
            force = true;
        } else if (word == "/T") {
            // child processes are not followed; every matching process is ended anyway
        } else if ((word == "/IM" || word == "/PID") && i + 1 < words.size()) {
            (word == "/IM" ? images : ids).push_back(text::unquote(words[++i]));
        } else {
            Output::errLine("ERROR: Invalid argument/option - '" + words[i] + "'.");
            Output::errLine(kUsage);
            return 1;
        }
    }
    if (images.empty() && ids.empty()) {
        Output::errLine("ERROR: Invalid syntax. Neither /FI nor /PID nor /IM were specified.");
        Output::errLine(kUsage);
        return 1;
    }

    int code = 0;
    for (const std::string &image : images) {
        std::vector<RunningProcess> found = ProcessKiller::findByImage(image);
        if (found.empty()) {
            Output::errLine("ERROR: The process \"" + image + "\" not found.");
            code = 128;
            continue;
        }
        for (const RunningProcess &process : found)
            if (!end(process.pid, process.name, force) && code == 0)
                code = 1;
    }
    for (const std::string &id : ids) {
        auto pid = text::parseInteger(id);
        System &system = System::current();
        if (!pid || *pid <= 0 || *pid > std::numeric_limits<ProcessId>::max() || *pid == system.ownProcessId()
            || !system.processExists(static_cast<ProcessId>(*pid))) {
            Output::errLine("ERROR: The process \"" + id + "\" not found.");
            code = 128;
            continue;
        }
        if (!ProcessKiller::isOwnProcess(static_cast<ProcessId>(*pid))) {
            Output::errLine("ERROR: The process with PID " + id
                            + " could not be terminated.\r\nReason: Access is denied.");
            if (code == 0)
                code = 1;
            continue;
        }
        const ProcessId process = static_cast<ProcessId>(*pid);
        if (!end(process, system.processInfo(process).commandName, force) && code == 0)
            code = 1;
    }
    return code;
}

} // namespace zcmd
