#include "zcmd/BatchLabel.h"

#include "zcmd/Text.h"

namespace zcmd {

namespace {

bool endsName(char c)
{
    switch (c) {
    case '+':
    case ':':
    case '&':
    case '|':
    case '<':
    case '>':
    case '(':
    case ')':
    case '^':
    case '\r':
    case '\n': return true;
    default: return text::isDelimiter(c);
    }
}

} // namespace

std::string BatchLabel::nameAt(std::string_view text)
{
    size_t end = 0;
    while (end < text.size() && !endsName(text[end]))
        ++end;
    return std::string(text.substr(0, end));
}

std::optional<std::string> BatchLabel::ofLine(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && (text::isDelimiter(line[i]) || line[i] == '@'))
        ++i;
    if (i >= line.size() || line[i] != ':')
        return std::nullopt;
    return nameAt(text::skipDelimiters(line.substr(i + 1)));
}

std::string BatchLabel::named(std::string_view arguments)
{
    std::string_view rest = text::skipDelimiters(arguments);
    if (!rest.empty() && rest.front() == ':')
        rest.remove_prefix(1);
    return nameAt(rest);
}

bool BatchLabel::isEndOfFile(std::string_view arguments)
{
    std::string_view rest = text::skipDelimiters(arguments);
    return !rest.empty() && rest.front() == ':' && text::iequals(named(rest), "eof");
}

} // namespace zcmd
