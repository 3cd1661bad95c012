// zcmd: the command interpreter that runs the program's job scripts on a
// system without the Windows command interpreter.

#include "zcmd/ConsoleCommands.h"
#include "zcmd/Interpreter.h"
#include "zcmd/Invocation.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ProgramFinder.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

using namespace zcmd;

namespace {

std::string ownPath(const char *argv0)
{
    const std::string own = System::current().ownProgramPath();
    return own.empty() ? std::string(argv0) : own;
}

int finish(const Session &session, int code)
{
    return session.flow == Flow::LeaveProgram ? session.exitCode : code;
}

// Commands typed or piped in, one a line, until the input ends or "exit".
int readCommands(Interpreter &interpreter)
{
    Session &session = interpreter.session();
    const bool terminal = Output::isTerminal(0);
    int code = 0;
    while (session.flow != Flow::LeaveProgram) {
        if (terminal)
            Output::out("\r\n" + interpreter.prompt());
        // A line past the interpreter's limit is refused, not run cut short.
        bool cut = false;
        std::optional<std::string> line =
            ConsoleCommands::readLine(ScriptLimits::kMaxLineLength, &cut);
        if (!line)
            break;
        code = cut ? ScriptLimits::refuseLongLine(session) : interpreter.runCommandLine(*line);
        session.flow = session.flow == Flow::LeaveBatch ? Flow::Continue : session.flow;
    }
    return finish(session, code);
}

} // namespace

int main(int argc, char **argv)
{
    // The reader of the output may go away (a job script ends the program
    // that reads it) and the script must still run to its last line.
    System::current().ignoreBrokenPipe();

    Session session;
    session.variables = Variables::fromEnvironment(System::current().environment());
    session.interpreterPath = ownPath(argv[0]);
    Interpreter interpreter(session);

    Invocation invocation = Invocation::parse(argc, argv);
    session.echoOn = !invocation.echoOff;
    session.delayedExpansion = invocation.delayedExpansion;

    switch (invocation.mode) {
    case Invocation::Mode::CommandLine:
    case Invocation::Mode::CommandLineThenInput: {
        std::string line = Invocation::applyQuoteRule(
            invocation.commandLine, invocation.stripOuterQuotes, [&](const std::string &name) {
                return ProgramFinder::find(name, session.variables).has_value();
            });
        int code = interpreter.runCommandLine(line);
        if (invocation.mode == Invocation::Mode::CommandLine || session.flow == Flow::LeaveProgram)
            return finish(session, code);
        session.flow = Flow::Continue;
        return readCommands(interpreter);
    }
    case Invocation::Mode::Script: {
        std::string path = PathResolver::resolve(invocation.script);
        if (!ProgramFinder::isRegularFile(path)) {
            auto found = ProgramFinder::find(invocation.script, session.variables);
            if (!found || found->kind != FoundProgram::Kind::Batch) {
                Output::errLine("The batch file cannot be found.");
                return 1;
            }
            path = found->path;
        }
        int code = interpreter.runBatch(path, invocation.script, invocation.scriptArguments);
        return finish(session, code);
    }
    case Invocation::Mode::Input: return readCommands(interpreter);
    }
    return 0;
}
