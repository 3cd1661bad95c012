#include "zcmd/ProcessKiller.h"

#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

namespace zcmd {

bool ProcessKiller::isOwnProcess(ProcessId pid)
{
    return System::current().processInfo(pid).ownedByUs;
}

bool ProcessKiller::imageMatches(std::string_view image, std::string_view name,
                                 bool nameMayBeTruncated)
{
    if (name.empty() || image.empty())
        return false;
    std::vector<std::string_view> candidates{image};
    if (text::iendsWith(image, ".exe") && image.size() > 4)
        candidates.push_back(image.substr(0, image.size() - 4));
    for (std::string_view candidate : candidates) {
        if (PathResolver::hasWildcards(candidate)) {
            if (PathResolver::wildcardMatch(candidate, name))
                return true;
            continue;
        }
        if (text::iequals(candidate, name))
            return true;
        if (nameMayBeTruncated && name.size() == kCommandNameLength
            && candidate.size() > kCommandNameLength
            && text::iequals(candidate.substr(0, kCommandNameLength), name))
            return true;
    }
    return false;
}

std::vector<RunningProcess> ProcessKiller::findByImage(std::string_view image)
{
    std::vector<RunningProcess> found;
    System &system = System::current();
    const ProcessId self = system.ownProcessId();
    for (const ProcessId pid : system.processIds()) {
        if (pid == self)
            continue;
        const ProcessInfo process = system.processInfo(pid);
        if (!process.ownedByUs || process.ended)
            continue;
        if (imageMatches(image, process.executableName, false))
            found.push_back({pid, process.executableName});
        else if (imageMatches(image, process.commandName, true))
            found.push_back({pid, process.commandName});
    }
    return found;
}

} // namespace zcmd
