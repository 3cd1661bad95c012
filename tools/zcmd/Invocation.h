#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace zcmd {

// How the interpreter was started:
//   zcmd [/Q] [/S] [/D] [/V:ON] /C command line   run the command line and end
//   zcmd [/Q] [/S] [/D] /K command line   run it, then read commands
//   zcmd script [arguments]               run a batch file
//   zcmd                                  read commands from the input
// The text after /C is the program's arguments joined by single blanks: a
// caller hands over the Windows command line text as one argument.
struct Invocation {
    enum class Mode { CommandLine, CommandLineThenInput, Script, Input };
    Mode mode = Mode::Input;
    bool echoOff = false;
    bool stripOuterQuotes = false; // /S
    bool delayedExpansion = false; // /V:ON
    std::string commandLine;
    std::string script;
    std::string scriptArguments;

    static Invocation parse(int argc, char **argv);

    // The interpreter's rule for the quotes around the text after /C: they
    // are kept only when, without /S, the text holds exactly two quotes,
    // nothing special between them, at least one blank between them, and
    // they enclose the name of a program; otherwise the first quote and the
    // last quote of the text are removed.
    static std::string applyQuoteRule(std::string_view text, bool stripOuterQuotes,
                                      const std::function<bool(const std::string &)> &namesProgram);
};

} // namespace zcmd
