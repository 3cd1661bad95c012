#pragma once
#include <string_view>

namespace zcmd {

// Writes to the interpreter's standard handles without buffering, so its own
// text and that of the programs it runs arrive in the order written. A reader
// that has gone away must not stop the script: write errors are dropped.
class Output {
public:
    static void write(int fd, std::string_view text);
    static void out(std::string_view text) { write(1, text); }
    static void err(std::string_view text) { write(2, text); }
    // The text followed by CR LF, the interpreter's line end.
    static void outLine(std::string_view text);
    static void errLine(std::string_view text);
    static bool isTerminal(int fd);
};

} // namespace zcmd
