#include "CommandFile.h"

#include <sstream>

namespace iphuc {

namespace {

std::string trim(const std::string &s)
{
    const char *blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

} // namespace

bool parseCommandFile(const std::string &text, const std::string &fileName,
                      std::vector<Command> *commands, std::string *error)
{
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        const auto blank = line.find_first_of(" \t");
        const std::string word = line.substr(0, blank);
        const std::string rest =
            blank == std::string::npos ? std::string() : trim(line.substr(blank));
        auto fail = [&](const std::string &why) {
            *error =
                fileName + ", line " + std::to_string(lineNo) + ": " + why + ": \"" + line + "\"";
            return false;
        };
        if (word == "enterrecovery" || word == "enterdfu" || word == "exit") {
            if (!rest.empty())
                return fail("\"" + word + "\" takes no argument");
            const Command::Kind kind = word == "enterrecovery" ? Command::Kind::EnterRecovery
                                       : word == "enterdfu"    ? Command::Kind::EnterDfu
                                                               : Command::Kind::Exit;
            commands->push_back({kind, std::string(), lineNo});
        } else if (word == "waitfor") {
            if (rest != "normal" && rest != "recovery" && rest != "dfu")
                return fail("\"waitfor\" needs one of normal, recovery or dfu");
            commands->push_back({Command::Kind::WaitFor, rest, lineNo});
        } else if (word == "cmd") {
            if (rest.empty())
                return fail("\"cmd\" needs the text to send");
            commands->push_back({Command::Kind::SendCommand, rest, lineNo});
        } else {
            return fail("unknown command \"" + word + "\"");
        }
    }
    return true;
}

} // namespace iphuc
