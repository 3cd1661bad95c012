#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "zcmd/system/System.h"

namespace zcmd {

struct RunningProcess {
    ProcessId pid = 0;
    std::string name; // the executable's name, as the image name is shown
};

// Finds processes by image name for "taskkill /IM". A process matches when
// the name of its executable file, or its command name, equals the image
// name with or without ".exe", without regard to case ("*" is a wildcard).
// The interpreter itself, processes that have already ended and processes of
// another user never match.
class ProcessKiller {
public:
    static bool imageMatches(std::string_view image, std::string_view processName,
                             bool nameMayBeTruncated);
    static std::vector<RunningProcess> findByImage(std::string_view image);
    // The user's own processes only may be ended, as taskkill allows a user
    // who is not an administrator: a job run as root must not end another
    // user's programs.
    static bool isOwnProcess(ProcessId pid);
    // Command names are cut to this many characters by the system.
    static constexpr size_t kCommandNameLength = 15;
};

} // namespace zcmd
