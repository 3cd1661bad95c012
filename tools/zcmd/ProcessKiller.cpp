#include "zcmd/ProcessKiller.h"

#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zcmd {

namespace {

std::string readSmallFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool hasEnded(pid_t pid)
{
    std::string stat = readSmallFile("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return true;
    char state = stat[close + 2];
    return state == 'Z' || state == 'X' || state == 'x';
}

std::string executableName(pid_t pid)
{
    char buffer[4096];
    std::string link = "/proc/" + std::to_string(pid) + "/exe";
    ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    std::string target(buffer, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (target.size() > deleted.size()
        && target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
        target.resize(target.size() - deleted.size());
    return text::baseName(target);
}

} // namespace

bool ProcessKiller::isOwnProcess(pid_t pid)
{
    // Whose the process is: the real user on the "Uid:" line of its status.
    // The owner of /proc/PID is the effective user, which is root for a
    // set-uid-root program whoever started it.
    std::string status = readSmallFile("/proc/" + std::to_string(pid) + "/status");
    size_t at = status.rfind("\nUid:");
    if (at == std::string::npos)
        return false;
    at += 5;
    while (at < status.size() && (status[at] == '\t' || status[at] == ' '))
        ++at;
    size_t end = at;
    while (end < status.size() && status[end] >= '0' && status[end] <= '9')
        ++end;
    if (end == at || end - at > 10)
        return false;
    const unsigned long real = std::stoul(status.substr(at, end - at));
    return real == static_cast<unsigned long>(::geteuid());
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
    const pid_t self = ::getpid();
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return found;
    while (dirent *entry = ::readdir(proc)) {
        std::string_view name(entry->d_name);
        if (name.empty() || name.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        pid_t pid = static_cast<pid_t>(std::stol(std::string(name)));
        if (pid == self || !isOwnProcess(pid) || hasEnded(pid))
            continue;
        std::string exe = executableName(pid);
        std::string comm = readSmallFile("/proc/" + std::to_string(pid) + "/comm");
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\r'))
            comm.pop_back();
        if (imageMatches(image, exe, false))
            found.push_back({pid, exe});
        else if (imageMatches(image, comm, true))
            found.push_back({pid, comm});
    }
    ::closedir(proc);
    return found;
}

} // namespace zcmd
