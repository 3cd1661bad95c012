#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zcmd {

struct Session;

// ECHO, CLS, TITLE, COLOR and PAUSE. On a terminal CLS, TITLE and COLOR use
// its control sequences; into a pipe or file CLS writes a form feed and
// TITLE and COLOR write nothing.
class ConsoleCommands {
public:
    static int echo(Session &session, std::string_view arguments);
    static int cls(Session &session, std::string_view arguments);
    static int title(Session &session, std::string_view arguments);
    static int color(Session &session, std::string_view arguments);
    static int pause(Session &session, std::string_view arguments);

    // Reads one key: raw from a terminal, otherwise one byte of input.
    static void waitForKey();
    // Reads one line of input (without its line end); nothing at the end of
    // input. Keeps at most `longest` characters and drops the rest of the
    // line (*cut then says so), so no input can grow it without bound.
    static std::optional<std::string> readLine(size_t longest, bool *cut = nullptr);
    // What SET /P keeps of a line, as the Windows interpreter does.
    static constexpr size_t kLongestSetPrompt = 1023;
    // A confirmation needs its first letter only.
    static constexpr size_t kLongestAnswer = 255;
    // Shows the question and reads the answer: true for Y.
    static bool confirm(std::string_view question);
};

} // namespace zcmd
