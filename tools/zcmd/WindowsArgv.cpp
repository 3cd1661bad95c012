#include "zcmd/WindowsArgv.h"

namespace zcmd {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::vector<std::string> WindowsArgv::split(std::string_view line)
{
    std::vector<std::string> argv;
    size_t i = 0;
    std::string name;
    bool quoted = false;
    while (i < line.size() && (quoted || !isSpace(line[i]))) {
        if (line[i] == '"')
            quoted = !quoted;
        else
            name += line[i];
        ++i;
    }
    argv.push_back(std::move(name));
    for (std::string &arg : splitArguments(line.substr(i)))
        argv.push_back(std::move(arg));
    return argv;
}

std::vector<std::string> WindowsArgv::splitArguments(std::string_view line)
{
    std::vector<std::string> args;
    size_t i = 0;
    bool quoted = false;
    while (true) {
        while (i < line.size() && isSpace(line[i]))
            ++i;
        if (i >= line.size())
            break;
        std::string arg;
        while (true) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++i;
                ++backslashes;
            }
            bool copy = true;
            if (i < line.size() && line[i] == '"') {
                if (backslashes % 2 == 0) {
                    if (quoted && i + 1 < line.size() && line[i + 1] == '"')
                        ++i; // "" inside quotes: one literal quote, still quoted
                    else {
                        copy = false;
                        quoted = !quoted;
                    }
                }
                backslashes /= 2;
            }
            arg.append(backslashes, '\\');
            if (i >= line.size() || (!quoted && isSpace(line[i])))
                break;
            if (copy)
                arg += line[i];
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

} // namespace zcmd
