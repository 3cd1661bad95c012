#include "zcmd/StartCommand.h"

#include "zcmd/CommandWords.h"
#include "zcmd/Output.h"
#include "zcmd/PasswordHandover.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ProgramFinder.h"
#include "zcmd/ProgramLauncher.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/UnsupportedCommands.h"
#include "zcmd/WindowsArgv.h"

namespace zcmd {

namespace {

// A word up to a blank or tab outside quotes.
std::string_view takeWord(std::string_view &text)
{
    text = text::skipBlanks(text);
    bool quoted = false;
    size_t i = 0;
    while (i < text.size() && (quoted || !text::isBlank(text[i]))) {
        if (text[i] == '"')
            quoted = !quoted;
        ++i;
    }
    std::string_view word = text.substr(0, i);
    text.remove_prefix(i);
    return word;
}

int launch(LaunchRequest request, const ProgramLauncher::StartOptions &options, Session &session)
{
    int exitCode = 0;
    std::string error;
    PasswordHandover handover;
    if (!handover.prepare(request, session.secrets)) {
        Output::errLine("The system cannot create the pipe.");
        return 1;
    }
    request.environment = PasswordHandover::environmentFor(session);
    if (!ProgramLauncher::startDetached(request, options, exitCode, error)) {
        Output::errLine(error);
        return 1;
    }
    return options.wait ? exitCode : 0;
}

// START /W leaves the program's exit code as the error level, 0 included;
// without /W only a failure to start changes it.
int waitedFor(Session &session, int code, const ProgramLauncher::StartOptions &options)
{
    if (options.wait)
        session.errorLevel = code;
    return code;
}

} // namespace

int StartCommand::run(Session &session, std::string_view arguments)
{
    std::string_view rest = text::skipBlanks(arguments);
    if (!rest.empty() && text::isDelimiter(rest.front()))
        rest = text::skipDelimiters(rest);

    ProgramLauncher::StartOptions options;
    options.folder = PathResolver::absolute(".");
    bool titled = false;
    while (true) {
        std::string_view probe = text::skipBlanks(rest);
        // The first quoted word before the program, among the options or
        // ahead of them, is the window title ("start /b "" prog").
        if (!titled && !probe.empty() && probe.front() == '"') {
            titled = true;
            size_t close = probe.find('"', 1);
            rest = close == std::string_view::npos ? std::string_view() : probe.substr(close + 1);
            continue;
        }
        if (probe.empty() || probe.front() != '/')
            break;
        std::string_view word = takeWord(rest);
        std::string option = text::toUpper(word);
        if (option == "/B") {
            options.shareOutput = true;
        } else if (option == "/WAIT" || option == "/W") {
            options.wait = true;
        } else if (option == "/D") {
            options.folder = PathResolver::absolute(PathResolver::resolve(takeWord(rest)));
        } else if (text::istartsWith(option, "/D")) {
            options.folder = PathResolver::absolute(PathResolver::resolve(word.substr(2)));
        } else if (option == "/NODE" || option == "/AFFINITY") {
            takeWord(rest);
        } else if (option != "/MIN" && option != "/MAX" && option != "/I" && option != "/LOW"
                   && option != "/NORMAL" && option != "/HIGH" && option != "/REALTIME"
                   && option != "/ABOVENORMAL" && option != "/BELOWNORMAL" && option != "/SEPARATE"
                   && option != "/SHARED") {
            Output::errLine("The system cannot accept the START command parameter "
                            + std::string(word) + ".");
            return 1;
        }
    }

    rest = text::skipBlanks(rest);
    if (rest.empty())
        return 0; // Windows would open another console window; there is nothing to show here
    size_t end = CommandWords::firstWordEnd(rest);
    std::string token(rest.substr(0, end));
    std::string programArguments(rest.substr(end));
    std::string name = text::unquote(token);
    if (UnsupportedCommands::refuses(name))
        return UnsupportedCommands::refuse(name);

    if (auto found = ProgramFinder::findCommand(name, session.variables, session.interpreterPath)) {
        if (found->kind == FoundProgram::Kind::Batch) {
            // "/s /c" with the whole text quoted once: the new interpreter strips those outer quotes.
            LaunchRequest request{
                session.interpreterPath,
                {"zcmd", "/s", "/c", "\"\"" + found->path + "\"" + programArguments + "\""},
                {}, // the environment is made as it starts
                {}};
            return waitedFor(session, launch(request, options, session), options);
        }
        LaunchRequest request{found->path, WindowsArgv::split(token + programArguments), {}, {}};
        request.arguments[0] = text::baseName(found->path);
        return waitedFor(session, launch(request, options, session), options);
    }

    std::string document = PathResolver::resolve(name);
    const bool isAddress = name.find("://") != std::string::npos;
    if (!isAddress && !PathResolver::exists(document)) {
        Output::errLine("The system cannot find the file " + name + ".");
        return 2;
    }
    auto opener = ProgramFinder::find("xdg-open", session.variables);
    if (!opener) {
        Output::errLine("No application is associated with the specified file for this operation.");
        return 1155;
    }
    LaunchRequest request{
        opener->path, {"xdg-open", isAddress ? name : PathResolver::absolute(document)}, {}, {}};
    return waitedFor(session, launch(request, options, session), options);
}

} // namespace zcmd
