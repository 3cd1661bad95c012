#include "zcmd/FileNamePattern.h"

#include "zcmd/Text.h"

#include <vector>

namespace zcmd {

namespace {

// The pattern's parts after the file system's rewriting of "?", "*" and ".".
enum class Part : char {
    Literal,
    AnyRun,       // "*": any characters
    RunToLastDot, // "*" before a ".": any characters, up to the name's last dot at most
    OneOrNone,    // "?": one character, or none at a dot or the end of the name
    DotOrEnd,     // "." before a wildcard or at the end: a dot, or the end of the name
};

struct Token {
    Part part;
    char c;
};

std::vector<Token> tokens(std::string_view pattern)
{
    std::vector<Token> out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '?')
            out.push_back({Part::OneOrNone, c});
        else if (c == '*')
            out.push_back({next == '.' ? Part::RunToLastDot : Part::AnyRun, c});
        else if (c == '.' && (next == '\0' || next == '?' || next == '*'))
            out.push_back({Part::DotOrEnd, c});
        else
            out.push_back({Part::Literal, c});
    }
    return out;
}

class Matcher {
public:
    Matcher(std::vector<Token> pattern, std::string_view name)
        : pattern_(std::move(pattern))
        , name_(name)
        , lastDot_(name.rfind('.'))
        , seen_((pattern_.size() + 1) * (name.size() + 1), -1)
    {}

    bool at(size_t p, size_t n)
    {
        signed char &known = seen_[p * (name_.size() + 1) + n];
        if (known < 0)
            known = compute(p, n) ? 1 : 0;
        return known == 1;
    }

private:
    bool compute(size_t p, size_t n)
    {
        const size_t end = name_.size();
        if (p == pattern_.size())
            return n == end;
        const Token &t = pattern_[p];
        switch (t.part) {
        case Part::Literal:
            return n < end && text::upper(name_[n]) == text::upper(t.c) && at(p + 1, n + 1);
        case Part::AnyRun:
            for (size_t k = n; k <= end; ++k)
                if (at(p + 1, k))
                    return true;
            return false;
        case Part::RunToLastDot: {
            const size_t limit =
                lastDot_ != std::string_view::npos && lastDot_ >= n ? lastDot_ : end;
            for (size_t k = n; k <= limit; ++k)
                if (at(p + 1, k))
                    return true;
            return false;
        }
        case Part::OneOrNone:
            if (n == end || name_[n] == '.')
                return at(p + 1, n);
            return at(p + 1, n + 1);
        case Part::DotOrEnd:
            if (n == end)
                return at(p + 1, n);
            return name_[n] == '.' && at(p + 1, n + 1);
        }
        return false;
    }

    std::vector<Token> pattern_;
    std::string_view name_;
    size_t lastDot_;
    std::vector<signed char> seen_;
};

} // namespace

bool FileNamePattern::matches(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    return Matcher(tokens(pattern), name).at(0, 0);
}

} // namespace zcmd
