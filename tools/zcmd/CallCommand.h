#pragma once
#include <string_view>

namespace zcmd {

class LineRunner;

// CALL: runs a label of the batch file, a batch file that returns, or any
// command line. It expands its text a second time and sets the error level
// itself: what a called label or batch file leaves, 0 after a command that
// set none, 1 for "call" alone or a missing label. The one built-in
// command that runs lines: the interpreter runs it itself.
class CallCommand {
public:
    static int run(LineRunner &interpreter, std::string_view arguments);
};

} // namespace zcmd
