#include "zcmd/PasswordHandover.h"

#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/Variables.h"

#include "zcmd/system/System.h"

#include <algorithm>

namespace zcmd {

namespace {

// A pipe holding `password` and a line end (PuTTY reads one line), its
// write end already closed; the read end, or -1.
int pipeHolding(const std::string &password)
{
    System &system = System::current();
    int ends[2];
    if (!system.makePipe(ends))
        return -1;
    // A password is one command-line word, far below the pipe's capacity:
    // the writes never wait for a reader.
    const std::string content = password + "\n";
    const bool written = system.writeAll(ends[1], content.data(), content.size());
    system.closeHandle(ends[1]);
    if (!written) {
        system.closeHandle(ends[0]);
        return -1;
    }
    return ends[0];
}

// The words of a command line as written: blanks and the characters that
// join or redirect commands part them; quotes go.
std::vector<std::string> wordsOf(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            words.push_back(text::unquote(word));
        word.clear();
    };
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '&' || c == '|' || c == '(' || c == ')'
            || c == '<' || c == '>' || c == '@')
            flush();
        else
            word += c;
    }
    flush();
    return words;
}

void addOnce(std::vector<std::string> &list, const std::string &item)
{
    if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

} // namespace

PasswordHandover::~PasswordHandover()
{
    for (int fd : pipes_)
        System::current().closeHandle(fd);
}

bool PasswordHandover::isPuttyTool(const std::string &path)
{
    std::string name = text::toUpper(text::baseName(path));
    if (text::iendsWith(name, ".EXE"))
        name.resize(name.size() - 4);
    return name == "PSCP" || name == "PLINK";
}

bool PasswordHandover::prepare(LaunchRequest &request, std::vector<std::string> &secrets)
{
    if (!isPuttyTool(request.path))
        return true;
    std::vector<std::string> &args = request.arguments;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] != "-pw")
            continue;
        int fd = pipeHolding(args[i + 1]);
        if (fd < 0)
            return false;
        pipes_.push_back(fd);
        request.inherited.push_back(fd);
        addOnce(secrets, args[i + 1]);
        args[i] = "-pwfile";
        args[i + 1] = System::current().handlePath(fd);
        ++i;
    }
    return true;
}

void PasswordHandover::noteSecretNames(std::string_view line, Session &session)
{
    if (line.find("-pw") == std::string_view::npos)
        return;
    const std::vector<std::string> words = wordsOf(line);
    if (std::none_of(words.begin(), words.end(),
                     [](const std::string &w) { return isPuttyTool(w); }))
        return;
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        const std::string &value = words[i + 1];
        if (words[i] != "-pw" || value.size() < 3 || value.front() != '%' || value.back() != '%')
            continue;
        const std::string name = text::toUpper(std::string_view(value).substr(1, value.size() - 2));
        if (name.find('%') != std::string::npos)
            continue;
        addOnce(session.secretNames, name);
        if (const std::string *known = session.variables.find(name))
            addOnce(session.secrets, *known);
    }
}

std::vector<std::string> PasswordHandover::environmentFor(Session &session)
{
    for (const std::string &name : session.secretNames)
        if (const std::string *value = session.variables.find(name))
            addOnce(session.secrets, *value);
    const std::vector<std::string> &secrets = session.secrets;
    const std::vector<std::string> &names = session.secretNames;
    std::vector<std::string> out;
    for (const auto &[name, value] : session.variables.all())
        if (std::find(secrets.begin(), secrets.end(), value) == secrets.end()
            && std::find(names.begin(), names.end(), text::toUpper(name)) == names.end())
            out.push_back(name + "=" + value);
    return out;
}

} // namespace zcmd
