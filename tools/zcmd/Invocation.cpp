#include "zcmd/Invocation.h"

#include "zcmd/Text.h"

#include <algorithm>

namespace zcmd {

Invocation Invocation::parse(int argc, char **argv)
{
    Invocation inv;
    int i = 1;
    for (; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.size() < 2 || arg.front() != '/')
            break;
        char option = text::upper(arg[1]);
        if (option == 'C' || option == 'K') {
            inv.mode = option == 'C' ? Mode::CommandLine : Mode::CommandLineThenInput;
            // The command may follow the switch directly ("/cecho hi").
            std::string text(arg.substr(2));
            for (++i; i < argc; ++i) {
                if (!text.empty())
                    text += ' ';
                text += argv[i];
            }
            inv.commandLine = text;
            return inv;
        }
        // /V:ON (or /V) turns delayed expansion on, /V:OFF off.
        if (option == 'V') {
            inv.delayedExpansion = !text::iequals(arg.substr(2), ":OFF");
            continue;
        }
        if (arg.size() != 2)
            continue;
        if (option == 'Q')
            inv.echoOff = true;
        else if (option == 'S')
            inv.stripOuterQuotes = true;
        // other switches (/D, /A, /U, /E:ON ...) change nothing here
    }
    if (i < argc) {
        inv.mode = Mode::Script;
        inv.script = argv[i];
        for (++i; i < argc; ++i) {
            inv.scriptArguments += ' ';
            inv.scriptArguments += argv[i];
        }
    }
    return inv;
}

std::string Invocation::applyQuoteRule(std::string_view text, bool stripOuterQuotes,
                                       const std::function<bool(const std::string &)> &namesProgram)
{
    std::string_view line = text::skipBlanks(text);
    if (line.empty() || line.front() != '"')
        return std::string(line);
    if (!stripOuterQuotes && std::count(line.begin(), line.end(), '"') == 2) {
        size_t second = line.find('"', 1);
        std::string_view inside = line.substr(1, second - 1);
        const bool special = inside.find_first_of("&<>()@^|") != std::string_view::npos;
        const bool blank = inside.find_first_of(" \t") != std::string_view::npos;
        if (!special && blank && namesProgram(std::string(inside)))
            return std::string(line);
    }
    size_t last = line.rfind('"');
    if (last == 0)
        return std::string(line.substr(1));
    return std::string(line.substr(1, last - 1)) + std::string(line.substr(last + 1));
}

} // namespace zcmd
