#include "zcmd/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace zcmd::text {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string toUpper(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = upper(c);
    return out;
}

bool iequals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

bool istartsWith(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

bool iendsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && iequals(s.substr(s.size() - suffix.size()), suffix);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDelimiter(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '='; }

std::string_view skipBlanks(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view skipDelimiters(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && isDelimiter(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view trimBlanks(std::string_view s)
{
    s = skipBlanks(s);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string unquote(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '"')
            out += c;
    return out;
}

std::string stripSurroundingQuotes(std::string_view s)
{
    if (!s.empty() && s.front() == '"') {
        s.remove_prefix(1);
        if (!s.empty() && s.back() == '"')
            s.remove_suffix(1);
    }
    return std::string(s);
}

std::optional<long long> parseInteger(std::string_view s)
{
    s = trimBlanks(s);
    if (s.empty())
        return std::nullopt;
    std::string copy(s);
    errno = 0;
    char *end = nullptr;
    long long value = std::strtoll(copy.c_str(), &end, 0);
    if (errno != 0 || end == copy.c_str() || *end != '\0')
        return std::nullopt;
    return value;
}

std::string baseName(std::string_view path)
{
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string withoutCarriageReturns(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
}

} // namespace zcmd::text
