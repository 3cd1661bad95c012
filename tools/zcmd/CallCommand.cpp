#include "zcmd/CallCommand.h"

#include "zcmd/BatchLabel.h"
#include "zcmd/BatchRunner.h"
#include "zcmd/CommandWords.h"
#include "zcmd/Expander.h"
#include "zcmd/LineParser.h"
#include "zcmd/LineRunner.h"
#include "zcmd/Output.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Text.h"

namespace zcmd {

namespace {

// The second parse of "call :label ...": a caret outside quotes takes the
// next character as it is.
std::string withoutEscapes(std::string_view text)
{
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        if (text[i] == '^' && !quoted) {
            if (++i >= text.size())
                break;
        }
        out += text[i];
    }
    return out;
}

} // namespace

int CallCommand::run(LineRunner &interpreter, std::string_view arguments)
{
    Session &session = interpreter.session();
    if (arguments.empty()) { // "(call)": nothing to call at all
        session.errorLevel = 1;
        return 1;
    }
    // CALL doubles every caret, then expands and parses the text a second
    // time: "call :sub %%V%%" passes the value of V, and "call echo a^^b"
    // shows a^b as "echo a^^b" does (a caret inside quotes stays doubled).
    std::string doubled;
    for (char c : arguments) {
        doubled += c;
        if (c == '^')
            doubled += c;
    }
    std::string expanded =
        text::withoutCarriageReturns(Expander::expand(doubled, interpreter.expansionContext()));
    if (ScriptLimits::tooLong(expanded))
        return ScriptLimits::refuseLongLine(session);
    std::string_view rest = text::skipDelimiters(expanded);
    if (rest.empty()) { // "(call )": a blank is called, which succeeds
        session.errorLevel = 0;
        return 0;
    }
    if (rest.front() == ':') {
        if (!session.batch) {
            Output::errLine("Invalid attempt to call batch label outside of batch script.");
            session.errorLevel = 1;
            return 1;
        }
        const std::string unescaped = withoutEscapes(rest);
        rest = unescaped;
        size_t end = CommandWords::firstWordEnd(rest);
        std::string label = BatchLabel::named(rest.substr(0, end));
        BatchRunner runner(interpreter);
        BatchFrame current = *session.batch;
        runner.runLabel(current, label,
                        BatchArguments::parse(rest.substr(0, end), rest.substr(end)));
        return session.errorLevel;
    }
    LineParser::Result parsed = LineParser::parse(rest, false);
    if (parsed.status == LineParser::Status::SyntaxError) {
        if (!parsed.error.empty())
            Output::errLine(parsed.error);
        session.errorLevel = 1;
        return 1;
    }
    if (!parsed.tree)
        return session.errorLevel;
    // A batch file named here returns to the caller.
    const int before = session.errorLevel;
    ++session.callDepth;
    int code = interpreter.execute(*parsed.tree);
    --session.callDepth;
    if (code == 0 && session.errorLevel == before)
        session.errorLevel = 0; // the called command set none: CALL clears it
    return session.errorLevel;
}

} // namespace zcmd
