#include "zcmd/SetCommand.h"

#include "zcmd/CommandWords.h"
#include "zcmd/ConsoleCommands.h"
#include "zcmd/Output.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Session.h"
#include "zcmd/SetArithmetic.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <optional>

namespace zcmd {

namespace {

// The assignment text of a "set" line: a leading quote makes the text end at the last quote.
std::string assignment(std::string_view text)
{
    if (text.empty() || text.front() != '"')
        return std::string(text);
    size_t last = text.rfind('"');
    if (last == 0)
        return std::string(text.substr(1));
    return std::string(text.substr(1, last - 1));
}

// What SET /P shows: leading blanks go, and a prompt in quotes is shown
// without them ("set /p V="Name: "" shows Name: ).
std::string promptText(std::string_view prompt)
{
    prompt = text::skipBlanks(prompt);
    if (prompt.empty() || prompt.front() != '"')
        return std::string(prompt);
    size_t last = prompt.rfind('"');
    return std::string(last == 0 ? prompt.substr(1) : prompt.substr(1, last - 1));
}

int list(Session &session, std::string_view prefix)
{
    bool any = false;
    for (const auto &[name, value] : session.variables.all()) {
        if (!text::istartsWith(name, prefix))
            continue;
        Output::outLine(name + "=" + value);
        any = true;
    }
    if (!any) {
        Output::errLine("Environment variable " + std::string(prefix) + " not defined");
        return 1;
    }
    return 0;
}

// SET /A: evaluates the expression; typed or given to /c (no batch file
// running) it shows the value, without a line end.
int arithmetic(Session &session, std::string_view expression)
{
    if (text::unquote(text::trimBlanks(expression)).find_first_not_of(" \t") == std::string::npos) {
        Output::errLine("The syntax of the command is incorrect.");
        return 1;
    }
    SetArithmetic::Result result = SetArithmetic::evaluate(expression, session.variables);
    if (!result.ok) {
        Output::errLine(result.message);
        return result.errorLevel;
    }
    if (!session.batch)
        Output::out(std::to_string(result.value));
    return 0;
}

} // namespace

int SetCommand::run(Session &session, std::string_view arguments)
{
    Variables &variables = session.variables;
    if (!arguments.empty() && text::isDelimiter(arguments.front()))
        arguments.remove_prefix(1);
    std::string_view text = text::skipBlanks(arguments);
    if (text::trimBlanks(text).empty())
        return list(session, "");

    const bool prompt =
        text::istartsWith(text, "/p") && (text.size() == 2 || text::isBlank(text[2]));
    if (text::istartsWith(text, "/a")
        && (text.size() == 2 || text::isBlank(text[2]) || text[2] == '"'))
        return arithmetic(session, text.substr(2));
    if (prompt)
        text = text::skipBlanks(text.substr(2));

    std::string body = assignment(text);
    size_t eq = body.find('=');
    if (eq == std::string::npos) {
        if (prompt) {
            Output::errLine("The syntax of the command is incorrect.");
            return 1;
        }
        return list(session, body);
    }
    if (eq == 0 && !prompt) {
        Output::errLine("The syntax of the command is incorrect.");
        return 1;
    }
    std::string name = body.substr(0, eq);
    std::string value = body.substr(eq + 1);
    if (prompt) {
        Output::out(promptText(value));
        // One line, read a byte at a time. The Windows interpreter reads a
        // whole chunk from a pipe and drops what follows the first line; no
        // script wants that, and the next SET /P here gets the next line.
        // Of a longer line, the first 1023 characters are kept, as there.
        std::optional<std::string> line =
            ConsoleCommands::readLine(ConsoleCommands::kLongestSetPrompt);
        // "set /p =text <nul" shows text without a line end: with no name
        // there is nothing to set, whatever was read, and that fails.
        if (!line || line->empty() || name.empty())
            return 1; // nothing typed: the variable stays as it was
        variables.set(name, *line);
        return 0;
    }
    // Removing a variable that is not there fails, without a message.
    const bool removesNothing = value.empty() && !variables.defined(name);
    variables.set(name, value);
    return removesNothing ? 1 : 0;
}

int SetCommand::path(Session &session, std::string_view arguments)
{
    Variables &variables = session.variables;
    std::string_view folders = text::trimBlanks(arguments);
    if (!folders.empty() && folders.front() == '=')
        folders = text::trimBlanks(folders.substr(1));
    if (folders.empty()) {
        const std::string *value = variables.find("PATH");
        Output::outLine(value ? "PATH=" + *value : std::string("No Path"));
        return 0;
    }
    if (folders == ";")
        variables.remove("PATH");
    else
        variables.set("PATH", folders);
    return 0;
}

int SetCommand::prompt(Session &session, std::string_view arguments)
{
    const std::string_view text = text::skipDelimiters(arguments);
    if (text.empty())
        session.variables.remove("PROMPT");
    else
        session.variables.set("PROMPT", text);
    return 0;
}

namespace {


void restore(Session &session, BatchFrame::LocalScope &scope)
{
    session.savedVariableText -= scope.textSize;
    session.variables = std::move(scope.variables);
    session.delayedExpansion = scope.delayedExpansion;
    // A saved folder that has gone since leaves the current one as it is.
    System::current().changeFolder(scope.folder);
}

} // namespace

int SetCommand::setLocal(Session &session, std::string_view arguments)
{
    std::optional<bool> delayed;
    std::string_view rest = text::trimBlanks(arguments);
    const bool withArguments = !text::skipDelimiters(rest).empty();
    for (const std::string &word : CommandWords::split(rest)) {
        if (text::iequals(text::unquote(word), "enabledelayedexpansion"))
            delayed = true;
        else if (text::iequals(text::unquote(word), "disabledelayedexpansion"))
            delayed = false;
    }
    if (!session.batch)
        return 0; // typed or given to /c, SETLOCAL does nothing
    const size_t textSize = session.variables.textSize();
    if (session.batch->localScopes.size() >= ScriptLimits::kMaxLocalScopes
        || session.savedVariableText + textSize > ScriptLimits::kMaxSavedVariableText) {
        Output::errLine("Maximum setlocal recursion level reached.");
        session.errorLevel = 1;
        return 1;
    }
    session.batch->localScopes.push_back(
        {session.variables, System::current().currentFolder(), textSize, session.delayedExpansion});
    session.savedVariableText += textSize;
    if (delayed)
        session.delayedExpansion = *delayed;
    if (withArguments)
        session.errorLevel = 0;
    return 0;
}

int SetCommand::endLocal(Session &session, std::string_view)
{
    if (session.batch && !session.batch->localScopes.empty()) {
        restore(session, session.batch->localScopes.back());
        session.batch->localScopes.pop_back();
    }
    return 0;
}

void SetCommand::endAllLocals(Session &session, BatchFrame &frame)
{
    if (frame.localScopes.empty())
        return;
    for (size_t i = 1; i < frame.localScopes.size(); ++i)
        session.savedVariableText -= frame.localScopes[i].textSize;
    restore(session, frame.localScopes.front());
    frame.localScopes.clear();
}

} // namespace zcmd
