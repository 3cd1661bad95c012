#include "zcmd/Expander.h"

#include "zcmd/ScriptLimits.h"
#include "zcmd/Text.h"

#include "zcmd/system/System.h"

#include <climits>
#include <cstdlib>

namespace zcmd {

namespace {

std::string currentFolder() { return System::current().currentFolder(); }

// Finds `needle` in `hay` from `from` on without regard to case.
size_t ifind(std::string_view hay, std::string_view needle, size_t from)
{
    if (needle.size() > hay.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i)
        if (text::iequals(hay.substr(i, needle.size()), needle))
            return i;
    return std::string_view::npos;
}

// The path modifiers of %~dpnxf1: this system has no drive letters, so "d" adds nothing.
std::string applyPathModifiers(const std::string &value, std::string_view modifiers)
{
    auto has = [&](char m) {
        for (char c : modifiers)
            if (text::upper(c) == text::upper(m))
                return true;
        return false;
    };
    std::string path = value;
    for (char &c : path)
        if (c == '\\')
            c = '/';
    if (path.empty())
        return path;
    std::string full = path.front() == '/' ? path : currentFolder() + "/" + path;
    // "z" alone: the size of the file in bytes, nothing for a name that is no file.
    if (!modifiers.empty() && modifiers.find_first_not_of("zZ") == std::string_view::npos) {
        const FileStatus file = System::current().statusOf(full);
        if (file.kind != FileKind::File)
            return std::string();
        return std::to_string(static_cast<long long>(file.size));
    }
    size_t slash = full.rfind('/');
    std::string folder = full.substr(0, slash + 1);
    std::string name = full.substr(slash + 1);
    size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
    if (!has('d') && !has('p') && !has('n') && !has('x'))
        return has('f') ? full : path;
    std::string out;
    if (has('p'))
        out += folder;
    if (has('n'))
        out += stem;
    if (has('x'))
        out += ext;
    return out;
}

// The first of the folders `list` names (separated by semicolons, each
// perhaps in quotes) that holds `name`, as a full path; empty when none does.
std::string searchFolders(const std::string &name, const std::string *list)
{
    if (!list || name.empty())
        return std::string();
    std::string relative = name;
    for (char &c : relative)
        if (c == '\\')
            c = '/';
    System &system = System::current();
    if (relative.front() == '/')
        return system.statusOf(relative).exists() ? relative : std::string();
    size_t start = 0;
    while (start <= list->size()) {
        size_t end = list->find(';', start);
        if (end == std::string::npos)
            end = list->size();
        std::string folder = text::stripSurroundingQuotes(list->substr(start, end - start));
        start = end + 1;
        if (folder.empty())
            continue;
        for (char &c : folder)
            if (c == '\\')
                c = '/';
        if (folder.front() != '/')
            folder = currentFolder() + "/" + folder;
        if (folder.back() != '/')
            folder += '/';
        if (system.statusOf(folder + relative).exists())
            return folder + relative;
    }
    return std::string();
}

} // namespace

std::optional<std::string> Expander::lookup(std::string_view name, const Context &context)
{
    if (const std::string *value = context.variables.find(name))
        return *value;
    // Dynamic variables, used only when no variable of that name is set.
    if (text::iequals(name, "ERRORLEVEL"))
        return std::to_string(context.errorLevel);
    if (text::iequals(name, "CD"))
        return currentFolder();
    if (text::iequals(name, "RANDOM"))
        return std::to_string(std::rand() % 32768);
    if (text::iequals(name, "CMDEXTVERSION"))
        return std::string("2");
    return std::nullopt;
}

std::optional<std::string> Expander::applyEdit(std::string_view value, std::string_view edit)
{
    if (!edit.empty() && edit.front() == '~') {
        std::string_view range = edit.substr(1);
        size_t comma = range.find(',');
        // An empty number counts as 0: "%V:~,2%" is the first two characters.
        auto number = [](std::string_view digits) -> std::optional<long long> {
            return text::trimBlanks(digits).empty() ? std::optional<long long>(0)
                                                    : text::parseInteger(digits);
        };
        auto start = number(range.substr(0, comma));
        if (!start)
            return std::nullopt;
        long long size = static_cast<long long>(value.size());
        long long from = *start < 0 ? std::max(0LL, size + *start) : std::min(*start, size);
        long long to = size;
        if (comma != std::string_view::npos) {
            auto length = number(range.substr(comma + 1));
            if (!length)
                return std::nullopt;
            to = *length < 0 ? size + *length : (*length > size - from ? size : from + *length);
        }
        if (to <= from)
            return std::string();
        return std::string(value.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
    }
    size_t eq = edit.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    std::string_view find = edit.substr(0, eq);
    std::string_view replacement = edit.substr(eq + 1);
    bool fromStart = !find.empty() && find.front() == '*';
    if (fromStart)
        find.remove_prefix(1);
    if (find.empty())
        return std::string(value);
    std::string out;
    size_t pos = 0;
    while (true) {
        size_t hit = ifind(value, find, pos);
        if (hit == std::string_view::npos) {
            out.append(value.substr(pos));
            break;
        }
        if (fromStart) {
            out.append(replacement);
            out.append(value.substr(hit + find.size()));
            break;
        }
        out.append(value.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
    }
    return out;
}

// %~[modifiers]N at `at`; returns how many characters it used, 0 when it is no parameter.
size_t Expander::expandParameter(std::string_view line, size_t at, const Context &context,
                                 std::string &out)
{
    size_t j = at + 2;
    std::string_view allowed = "fdpnxsatzFDPNXSATZ";
    while (j < line.size() && allowed.find(line[j]) != std::string_view::npos)
        ++j;
    std::string_view modifiers = line.substr(at + 2, j - at - 2);
    // %~$NAME:1 looks the parameter up in the folders the variable NAME lists.
    std::optional<std::string_view> searchVariable;
    if (j < line.size() && line[j] == '$') {
        size_t colon = line.find(':', j + 1);
        if (colon == std::string_view::npos || colon == j + 1)
            return 0;
        searchVariable = line.substr(j + 1, colon - j - 1);
        j = colon + 1;
    }
    if (j >= line.size() || line[j] < '0' || line[j] > '9')
        return 0;
    const size_t index = static_cast<size_t>(line[j] - '0');
    const BatchArguments &args = *context.batch;
    // %~dp0 and its kin name the running file itself, also inside "call :label".
    const bool ownFile = index == 0 && (!modifiers.empty() || searchVariable) && args.zeroNamesBatch
                         && !args.batchPath.empty();
    std::string value = ownFile ? args.batchPath : text::stripSurroundingQuotes(args.word(index));
    if (searchVariable) {
        value = searchFolders(value, context.variables.find(*searchVariable));
        if (value.empty())
            return j + 1 - at; // not found, or no such variable: nothing
        if (modifiers.empty())
            modifiers = "f";
    }
    out += applyPathModifiers(value, modifiers);
    return j + 1 - at;
}

std::string Expander::expand(std::string_view line, const Context &context)
{
    const bool batch = context.batch != nullptr;
    std::string out;
    out.reserve(line.size());
    size_t i = 0;
    // Beyond the line limit the line is refused whole: stop there rather than
    // build a result of any size from long values.
    while (i < line.size() && !ScriptLimits::tooLong(out)) {
        char c = line[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 >= line.size()) {
            if (!batch)
                out += '%';
            ++i;
            continue;
        }
        char next = line[i + 1];
        if (batch) {
            if (next == '%') {
                out += '%';
                i += 2;
                continue;
            }
            if (next >= '0' && next <= '9') {
                out += context.batch->word(static_cast<size_t>(next - '0'));
                i += 2;
                continue;
            }
            if (next == '*') {
                out += context.batch->allText;
                i += 2;
                continue;
            }
            if (next == '~') {
                if (size_t used = expandParameter(line, i, context, out)) {
                    i += used;
                    continue;
                }
            }
        }
        size_t close = line.find('%', i + 1);
        if (close == std::string_view::npos) {
            if (!batch)
                out += '%';
            ++i;
            continue;
        }
        std::string_view name = line.substr(i + 1, close - i - 1);
        if (name.empty()) { // "%%" on a command line: the first stays, the second may open a name
            out += '%';
            ++i;
            continue;
        }
        size_t colon = name.find(':');
        if (colon != std::string_view::npos) {
            std::optional<std::string> value = lookup(name.substr(0, colon), context);
            std::optional<std::string> edited =
                value ? applyEdit(*value, name.substr(colon + 1)) : std::nullopt;
            if (edited) {
                out += *edited;
                i = close + 1;
                continue;
            }
            // Undefined or not a valid edit: "%NAME:" goes (batch) or stays (command
            // line) and the scan goes on after the colon.
            if (!batch)
                out.append(line.substr(i, colon + 2));
            i += colon + 2;
            continue;
        }
        if (std::optional<std::string> value = lookup(name, context)) {
            out += *value;
            i = close + 1;
        } else if (batch) {
            i = close + 1;
        } else {
            out.append(line.substr(i, close - i)); // "%NAME"; the closing % may open the next name
            i = close;
        }
    }
    return out;
}

std::string Expander::expandDelayed(std::string_view text, const Context &context)
{
    if (text.find('!') == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size() && !ScriptLimits::tooLong(out)) {
        const char c = text[i];
        if (c == '^') {
            if (i + 1 < text.size())
                out += text[i + 1];
            i += 2;
            continue;
        }
        if (c != '!') {
            out += c;
            ++i;
            continue;
        }
        const size_t close = text.find('!', i + 1);
        if (close == std::string_view::npos)
            break; // a lone '!' goes, and so does the rest's meaning as a name
        const std::string_view name = text.substr(i + 1, close - i - 1);
        i = close + 1;
        if (name.empty())
            continue;
        const size_t colon = name.find(':');
        if (colon != std::string_view::npos) {
            std::optional<std::string> value = lookup(name.substr(0, colon), context);
            if (std::optional<std::string> edited =
                    value ? applyEdit(*value, name.substr(colon + 1)) : std::nullopt)
                out += *edited;
            continue;
        }
        if (std::optional<std::string> value = lookup(name, context))
            out += *value;
    }
    // After a lone '!' the rest is kept as it is, less its carets.
    if (i < text.size() && text[i] == '!') {
        for (size_t k = i + 1; k < text.size(); ++k) {
            if (text[k] == '^' && ++k == text.size())
                break;
            out += text[k];
        }
    }
    return out;
}

} // namespace zcmd
