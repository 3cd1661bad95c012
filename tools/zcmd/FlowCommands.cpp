#include "zcmd/FlowCommands.h"

#include "zcmd/BatchRunner.h"
#include "zcmd/CommandWords.h"
#include "zcmd/Expander.h"
#include "zcmd/Interpreter.h"
#include "zcmd/LineParser.h"
#include "zcmd/Output.h"
#include "zcmd/Text.h"

namespace zcmd {

int FlowCommands::exit(Interpreter &interpreter, std::string_view arguments)
{
    Session &session = interpreter.session();
    bool leaveBatchOnly = false;
    std::optional<long long> code;
    bool sawCode = false;
    for (const std::string &word : CommandWords::split(arguments)) {
        if (!sawCode && text::iequals(word, "/b")) {
            leaveBatchOnly = true;
            continue;
        }
        if (!sawCode) {
            sawCode = true;
            code = text::parseInteger(word);
            if (!code)
                code = 0;
        }
    }
    if (leaveBatchOnly) {
        if (code)
            session.errorLevel = static_cast<int>(*code);
        session.flow = Flow::LeaveBatch;
        return session.errorLevel;
    }
    session.exitCode = code ? static_cast<int>(*code) : session.errorLevel;
    session.flow = Flow::LeaveProgram;
    return session.exitCode;
}

int FlowCommands::gotoLabel(Interpreter &interpreter, std::string_view arguments)
{
    std::vector<std::string> words = CommandWords::split(arguments);
    std::string label = words.empty() ? std::string() : words.front();
    if (!label.empty() && label.front() == ':')
        label.erase(0, 1);
    if (label.empty()) {
        Output::errLine("No batch label specified to GOTO command.");
        return 1;
    }
    if (!interpreter.session().batch)
        return 0; // nothing to jump in on a command line
    interpreter.session().pendingGoto = label;
    return 0;
}

int FlowCommands::call(Interpreter &interpreter, std::string_view arguments)
{
    Session &session = interpreter.session();
    std::string_view rest = text::skipDelimiters(arguments);
    if (rest.empty())
        return 0;
    if (rest.front() == ':') {
        if (!session.batch) {
            Output::errLine("Invalid attempt to call batch label outside of batch script.");
            return 1;
        }
        size_t end = CommandWords::firstWordEnd(rest);
        std::string label(rest.substr(1, end - 1));
        BatchRunner runner(interpreter);
        BatchFrame current = *session.batch;
        return runner.runLabel(current, label, BatchArguments::parse(rest.substr(0, end), rest.substr(end)));
    }
    // CALL expands the text a second time; a batch file named here returns to the caller.
    std::string expanded = text::withoutCarriageReturns(Expander::expand(rest, interpreter.expansionContext()));
    LineParser::Result parsed = LineParser::parse(expanded, false);
    if (parsed.status == LineParser::Status::SyntaxError) {
        if (!parsed.error.empty())
            Output::errLine(parsed.error);
        return 1;
    }
    if (!parsed.tree)
        return 0;
    ++session.callDepth;
    int code = interpreter.execute(*parsed.tree);
    --session.callDepth;
    return code;
}

int FlowCommands::rem(Interpreter &, std::string_view)
{
    return 0;
}

} // namespace zcmd
