#pragma once
#include <string_view>

namespace zcmd {

// The command names zcmd refuses rather than run a Linux program under
// them: every internal command of the Windows interpreter (a Linux "dir" or
// "echo" is not that command), and the Windows programs whose Linux
// namesakes mean something else: "find" searches text on Windows and files
// here, "ping -n 5" counts there and never ends here, "timeout 5" waits
// there and runs a command here, "shutdown", "route" and "hostname" change
// the system here. A name is matched without its folder and without a
// ".exe" or ".com" extension.
class UnsupportedCommands {
public:
    static bool refuses(std::string_view programName);
    // Writes "'dir' is not supported by zcmd" and returns 9009, the status
    // of a command that cannot be run.
    static int refuse(std::string_view name);
    static constexpr int kStatus = 9009;
};

} // namespace zcmd
