#include "zcmd/FlowCommands.h"

#include "zcmd/BatchLabel.h"
#include "zcmd/CommandWords.h"
#include "zcmd/Output.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"

namespace zcmd {

int FlowCommands::exit(Session &session, std::string_view arguments)
{
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

int FlowCommands::gotoLabel(Session &session, std::string_view arguments)
{
    std::string label = BatchLabel::named(arguments);
    if (label.empty()) {
        Output::errLine("No batch label specified to GOTO command.");
        return 1;
    }
    if (!session.batch)
        return 0; // nothing to jump in on a command line
    if (BatchLabel::isEndOfFile(arguments))
        session.flow = Flow::LeaveBatch;
    else
        session.pendingGoto = label;
    return 0;
}

int FlowCommands::shift(Session &session, std::string_view arguments)
{
    std::string_view rest = text::trimBlanks(text::skipDelimiters(arguments));
    size_t from = 0;
    if (!rest.empty()) {
        if (rest.size() != 2 || rest[0] != '/' || rest[1] < '0' || rest[1] > '8') {
            Output::errLine("The syntax of the command is incorrect.");
            return 1;
        }
        from = static_cast<size_t>(rest[1] - '0');
    }
    if (BatchFrame *batch = session.batch)
        batch->arguments.shift(from);
    return 0;
}

int FlowCommands::rem(Session &, std::string_view) { return 0; }

} // namespace zcmd
