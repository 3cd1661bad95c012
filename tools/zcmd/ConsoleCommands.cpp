#include "zcmd/ConsoleCommands.h"

#include "zcmd/Output.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

namespace zcmd {

namespace {

// Windows console colour numbers in ANSI order.
const int kAnsiColour[8] = {0, 4, 2, 6, 1, 5, 3, 7};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = text::upper(c);
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int ConsoleCommands::echo(Session &session, std::string_view arguments)
{
    if (!arguments.empty() && !text::isBlank(arguments.front())) {
        // "echo." and its kin: the separator goes, the rest is shown as it is, even empty.
        Output::outLine(arguments.substr(1));
        return 0;
    }
    std::string_view rest = arguments.empty() ? arguments : arguments.substr(1);
    std::string_view word = text::trimBlanks(rest);
    if (word.empty()) {
        Output::outLine(session.echoOn ? "ECHO is on." : "ECHO is off.");
        return 0;
    }
    if (text::iequals(word, "on")) {
        session.echoOn = true;
        return 0;
    }
    if (text::iequals(word, "off")) {
        session.echoOn = false;
        return 0;
    }
    Output::outLine(rest);
    return 0;
}

int ConsoleCommands::cls(Session &, std::string_view)
{
    if (Output::isTerminal(1))
        Output::out("\x1b[H\x1b[2J\x1b[3J");
    else
        Output::out("\f");
    return 0;
}

int ConsoleCommands::title(Session &, std::string_view arguments)
{
    if (!arguments.empty())
        arguments.remove_prefix(1);
    if (!Output::isTerminal(1))
        return 0;
    std::string name;
    for (char c : arguments)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
            name += c;
    Output::out("\x1b]0;" + name + "\x07");
    return 0;
}

int ConsoleCommands::color(Session &, std::string_view arguments)
{
    std::string_view attribute = text::trimBlanks(text::skipDelimiters(arguments));
    const bool terminal = Output::isTerminal(1);
    if (attribute.empty()) {
        if (terminal)
            Output::out("\x1b[0m");
        return 0;
    }
    if (attribute.size() > 2)
        return 1;
    int background = attribute.size() == 2 ? hexDigit(attribute[0]) : 0;
    int foreground = hexDigit(attribute.back());
    if (background < 0 || foreground < 0 || background == foreground)
        return 1; // Windows refuses equal colours and leaves the console as it is
    if (terminal) {
        int fg = (foreground >= 8 ? 90 : 30) + kAnsiColour[foreground & 7];
        int bg = (background >= 8 ? 100 : 40) + kAnsiColour[background & 7];
        Output::out("\x1b[" + std::to_string(fg) + ";" + std::to_string(bg) + "m");
    }
    return 0;
}

void ConsoleCommands::waitForKey() { System::current().waitForKey(); }

std::optional<std::string> ConsoleCommands::readLine(size_t longest, bool *cut)
{
    // The whole line is consumed, however long, so the next read starts on
    // the next line; no more than `longest` characters of it are kept.
    std::string line;
    char c;
    bool any = false;
    if (cut)
        *cut = false;
    System &system = System::current();
    while (true) {
        const long n = system.readHandle(0, &c, 1);
        if (n <= 0)
            break;
        any = true;
        if (c == '\n')
            break;
        if (c == '\r')
            continue;
        if (line.size() < longest)
            line += c;
        else if (cut)
            *cut = true;
    }
    if (!any)
        return std::nullopt;
    return line;
}

bool ConsoleCommands::confirm(std::string_view question)
{
    Output::out(question);
    std::optional<std::string> answer = readLine(kLongestAnswer);
    if (!answer)
        Output::out("\r\n");
    std::string_view word = answer ? text::trimBlanks(*answer) : std::string_view();
    return !word.empty() && text::upper(word.front()) == 'Y';
}

int ConsoleCommands::pause(Session &, std::string_view)
{
    Output::out("Press any key to continue . . . ");
    waitForKey();
    Output::out("\r\n");
    return 0;
}

} // namespace zcmd
