#include "zcmd/Interpreter.h"

#include "zcmd/BatchRunner.h"
#include "zcmd/Builtins.h"
#include "zcmd/CallCommand.h"
#include "zcmd/CommandWords.h"
#include "zcmd/IfComparison.h"
#include "zcmd/LineParser.h"
#include "zcmd/Output.h"
#include "zcmd/PasswordHandover.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ProgramFinder.h"
#include "zcmd/ProgramLauncher.h"
#include "zcmd/RedirectionScope.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Text.h"
#include "zcmd/UnsupportedCommands.h"
#include "zcmd/WatchedRun.h"
#include "zcmd/WindowsArgv.h"
#include "zcmd/system/System.h"

namespace zcmd {

Expander::Context Interpreter::expansionContext() const
{
    return Expander::Context{session_.variables, session_.errorLevel,
                             session_.batch ? &session_.batch->arguments : nullptr};
}

bool Interpreter::stopping() const
{
    // A pending hand-over to another batch file does not stop the line: the
    // rest of the line or block runs first, as on Windows.
    return session_.flow != Flow::Continue || session_.pendingGoto.has_value();
}

std::string Interpreter::prompt() const
{
    const std::string *setting = session_.variables.find("PROMPT");
    std::string format = setting ? *setting : std::string("$P$G");
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '$' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        switch (text::upper(format[++i])) {
        case 'P': out += PathResolver::absolute("."); break;
        case 'G': out += '>'; break;
        case 'L': out += '<'; break;
        case 'B': out += '|'; break;
        case 'Q': out += '='; break;
        case 'S': out += ' '; break;
        case '$': out += '$'; break;
        case '_': out += "\r\n"; break;
        case 'A': out += '&'; break;
        case 'C': out += '('; break;
        case 'F': out += ')'; break;
        case 'E': out += '\x1b'; break;
        case '+': out += std::string(session_.pushedFolders.size(), '+'); break;
        default: break;
        }
    }
    return out;
}

void Interpreter::reportNotRecognized(std::string_view name)
{
    Output::err("'" + std::string(name)
                + "' is not recognized as an internal or external command,\r\noperable program or "
                  "batch file.\r\n");
}

int Interpreter::runCommandLine(std::string_view line)
{
    PasswordHandover::noteSecretNames(line, session_);
    std::string expanded = text::withoutCarriageReturns(Expander::expand(line, expansionContext()));
    if (ScriptLimits::tooLong(line) || ScriptLimits::tooLong(expanded))
        return ScriptLimits::refuseLongLine(session_);
    LineParser::Result parsed = LineParser::parse(expanded, false);
    if (parsed.status == LineParser::Status::SyntaxError) {
        if (!parsed.error.empty())
            Output::errLine(parsed.error);
        session_.errorLevel = 255;
        return 255;
    }
    if (!parsed.tree)
        return 0;
    return execute(*parsed.tree);
}

int Interpreter::runBatch(const std::string &path, std::string_view calledAs,
                          std::string_view argumentText)
{
    BatchRunner runner(*this);
    return runner.runFile(path, BatchArguments::parse(calledAs, argumentText));
}

int Interpreter::execute(const Node &node)
{
    switch (node.type) {
    case Node::Type::Command: return runCommand(node);
    case Node::Type::Block: {
        RedirectionScope scope;
        if (!scope.apply(node.redirections))
            return 1; // the error level stays; a following || still runs
        int code = 0;
        for (const NodePtr &child : node.children) {
            code = execute(*child);
            if (stopping())
                break;
        }
        return code;
    }
    case Node::Type::If: {
        if (evaluate(node.test))
            return execute(*node.thenBranch);
        if (node.elseBranch)
            return execute(*node.elseBranch);
        return 0;
    }
    case Node::Type::Pipe: return runPipeline(node);
    case Node::Type::Conditional: return runConditional(node);
    case Node::Type::Sequence: {
        int code = 0;
        for (const NodePtr &child : node.children) {
            code = execute(*child);
            if (stopping())
                break;
        }
        return code;
    }
    }
    return 0;
}

// "a && b || c && d": "&&" binds tighter than "||", so the chain is groups
// joined by "||". A group runs while its commands succeed; a group that
// succeeds ends the chain, one that fails hands over to the next group.
int Interpreter::runConditional(const Node &node)
{
    int code = 0;
    bool groupFailed = false;
    for (size_t i = 0; i < node.children.size(); ++i) {
        const bool startsGroup = i == 0 || (i < node.orJoins.size() && node.orJoins[i]);
        if (i > 0 && stopping())
            break;
        if (startsGroup) {
            if (i > 0 && !groupFailed)
                break; // the group before succeeded: nothing after "||" runs
            groupFailed = false;
        } else if (groupFailed) {
            continue; // "&&" after a failure within the group
        }
        code = execute(*node.children[i]);
        groupFailed = code != 0;
    }
    return code;
}

void Interpreter::applyErrorLevelRule(ErrorLevelRule rule, int code)
{
    switch (rule) {
    case ErrorLevelRule::SetLikeCmdScript:
        if (code != 0 || session_.inCmdScript())
            session_.errorLevel = code;
        break;
    case ErrorLevelRule::SetAlways: session_.errorLevel = code; break;
    case ErrorLevelRule::SetOnFailure:
        if (code != 0)
            session_.errorLevel = code;
        break;
    case ErrorLevelRule::Never:
    case ErrorLevelRule::OwnRule: break;
    }
}

int Interpreter::runCommand(const Node &node)
{
    // With delayed expansion on, !NAME! in the command and its file names
    // takes the values variables have now, after the line was parsed.
    std::vector<Redirection> redirections = node.redirections;
    std::string delayedText;
    if (session_.delayedExpansion) {
        for (Redirection &redirection : redirections)
            redirection.target = Expander::expandDelayed(redirection.target, expansionContext());
        delayedText = Expander::expandDelayed(node.text, expansionContext());
    }
    // A redirection that fails skips the command and leaves the error level
    // as it was, as on Windows; the failure still counts for && and ||.
    RedirectionScope scope;
    if (!scope.apply(redirections))
        return 1;
    std::string_view text =
        text::skipDelimiters(session_.delayedExpansion ? delayedText : node.text);
    if (text::trimBlanks(text).empty())
        return 0;
    if (auto builtin = Builtins::match(text)) {
        if (!builtin->handler && !builtin->call) {
            session_.errorLevel = UnsupportedCommands::refuse(builtin->name);
            return session_.errorLevel;
        }
        const int code = builtin->call ? CallCommand::run(*this, builtin->arguments)
                                       : builtin->handler(session_, builtin->arguments);
        applyErrorLevelRule(builtin->rule, code);
        return code;
    }
    return runProgram(std::string(text));
}

int Interpreter::runProgram(const std::string &text)
{
    size_t end = CommandWords::firstWordEnd(text);
    std::string token = text.substr(0, end);
    std::string rest = text.substr(end);
    std::string name = text::unquote(token);
    if (UnsupportedCommands::refuses(name)) {
        session_.errorLevel = UnsupportedCommands::refuse(name);
        return session_.errorLevel;
    }
    std::optional<FoundProgram> found;
    if (!text::trimBlanks(name).empty())
        found = ProgramFinder::findCommand(name, session_.variables, session_.interpreterPath);
    if (!found) {
        // A name whose folder does not exist: the path is what is missing,
        // and the error level is that of a missing path.
        if (PathResolver::folderMissing(name)) {
            Output::errLine("The system cannot find the path specified.");
            session_.errorLevel = 3;
            return 3;
        }
        reportNotRecognized(token);
        session_.errorLevel = 9009;
        return 9009;
    }
    if (found->kind == FoundProgram::Kind::Batch)
        return invokeBatch(found->path, token, rest);
    LaunchRequest request{found->path, WindowsArgv::split(token + rest), {}, {}};
    request.arguments[0] = text::baseName(found->path);
    PasswordHandover handover;
    if (!handover.prepare(request, session_.secrets)) {
        Output::errLine("The system cannot create the pipe.");
        session_.errorLevel = 1;
        return 1;
    }
    request.environment = PasswordHandover::environmentFor(session_);
    // A PuTTY tool waits on the network: it runs under the watchdog.
    int code = PasswordHandover::isPuttyTool(request.path) ? WatchedRun::runAndWait(request)
                                                           : ProgramLauncher::runAndWait(request);
    if (code < 0)
        code = 1;
    session_.errorLevel = code;
    return code;
}

int Interpreter::invokeBatch(const std::string &path, const std::string &calledAs,
                             const std::string &argumentText)
{
    // Inside a batch file, naming another one without "call" hands over to
    // it for good: the rest of this file is not run. As on Windows, the rest
    // of the current line or block still runs (it was read already); then
    // the named file runs in place of this one, which is why a script that
    // names itself to start again does not nest.
    if (session_.batch && session_.callDepth == 0) {
        session_.pendingChain = Session::Chain{path, calledAs, argumentText};
        return 0;
    }
    return runBatch(path, calledAs, argumentText);
}

int Interpreter::runPipeline(const Node &node)
{
    System &system = System::current();
    std::vector<ProcessId> children;
    int previousRead = -1;
    for (size_t k = 0; k < node.children.size(); ++k) {
        if (!session_.spendBudget(Session::kPipeSideLines))
            break;
        int ends[2] = {-1, -1};
        if (k + 1 < node.children.size() && !system.makePipe(ends)) {
            Output::errLine("The system cannot create the pipe.");
            break;
        }
        const ProcessId pid = system.forkProcess();
        if (pid == 0) {
            // Each side of a pipe runs in an interpreter of its own, as on
            // Windows, which starts with delayed expansion off.
            session_.delayedExpansion = false;
            if (previousRead >= 0) {
                system.putHandle(previousRead, 0);
                system.closeHandle(previousRead);
            }
            if (ends[1] >= 0) {
                system.putHandle(ends[1], 1);
                system.closeHandle(ends[1]);
                system.closeHandle(ends[0]);
            }
            int code = execute(*node.children[k]);
            system.exitProcess((session_.flow == Flow::LeaveProgram ? session_.exitCode : code)
                               & 0xff);
        }
        if (previousRead >= 0)
            system.closeHandle(previousRead);
        if (ends[1] >= 0)
            system.closeHandle(ends[1]);
        previousRead = ends[0];
        if (pid > 0)
            children.push_back(pid);
    }
    if (previousRead >= 0)
        system.closeHandle(previousRead);
    int code = 0;
    for (ProcessId pid : children)
        code = system.waitForExit(pid).value_or(0);
    session_.errorLevel = code;
    return code;
}

bool Interpreter::evaluate(const IfTest &written) const
{
    IfTest test = written;
    if (session_.delayedExpansion) {
        test.left = Expander::expandDelayed(test.left, expansionContext());
        test.right = Expander::expandDelayed(test.right, expansionContext());
    }
    bool result = false;
    switch (test.kind) {
    case IfTest::Kind::Exist: result = PathResolver::anyExists(test.left); break;
    case IfTest::Kind::ErrorLevel: {
        auto n = text::parseInteger(test.left);
        result = n && session_.errorLevel >= *n;
        break;
    }
    case IfTest::Kind::Defined: result = session_.variables.defined(test.left); break;
    case IfTest::Kind::CmdExtVersion: {
        auto n = text::parseInteger(test.left);
        result = n && 2 >= *n;
        break;
    }
    case IfTest::Kind::Compare: {
        if (test.op == "==") {
            result =
                test.ignoreCase ? text::iequals(test.left, test.right) : test.left == test.right;
            break;
        }
        const int order = IfComparison::compare(test.left, test.right, test.ignoreCase);
        if (test.op == "EQU")
            result = order == 0;
        else if (test.op == "NEQ")
            result = order != 0;
        else if (test.op == "LSS")
            result = order < 0;
        else if (test.op == "LEQ")
            result = order <= 0;
        else if (test.op == "GTR")
            result = order > 0;
        else if (test.op == "GEQ")
            result = order >= 0;
        break;
    }
    }
    return test.negate ? !result : result;
}

} // namespace zcmd
