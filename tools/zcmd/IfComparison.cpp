#include "zcmd/IfComparison.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace zcmd {

namespace {

// Symbols sort before digits and digits before letters, the symbols in
// this order rather than by their character codes.
constexpr std::string_view kSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The hyphen and the apostrophe count only when nothing else tells two
// words apart ("coop" before "co-op"); control characters never count.
bool isIgnorable(unsigned char c) { return c == '-' || c == '\'' || c < 0x20 || c == 0x7f; }

// A character's place in the first comparison, which ignores case.
int primaryWeight(unsigned char c)
{
    size_t symbol = kSymbolOrder.find(static_cast<char>(c));
    if (symbol != std::string_view::npos)
        return 1 + static_cast<int>(symbol);
    if (c >= '0' && c <= '9')
        return 100 + (c - '0');
    if (isLetter(c))
        return 200 + ((c | 0x20) - 'a');
    return 300 + c; // bytes of other letters after the Latin ones
}

int sign(long long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

std::optional<long long> IfComparison::number(std::string_view word)
{
    if (word.empty())
        return std::nullopt;
    size_t digits = word.front() == '+' || word.front() == '-' ? 1 : 0;
    if (digits >= word.size() || word[digits] < '0' || word[digits] > '9')
        return std::nullopt;
    const std::string copy(word);
    errno = 0;
    char *end = nullptr;
    long long value = std::strtoll(copy.c_str(), &end, 0);
    if (end != copy.c_str() + copy.size())
        return std::nullopt;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return value;
}

int IfComparison::collate(std::string_view left, std::string_view right, bool ignoreCase)
{
    std::vector<unsigned char> a, b;
    for (char c : left)
        if (!isIgnorable(static_cast<unsigned char>(c)))
            a.push_back(static_cast<unsigned char>(c));
    for (char c : right)
        if (!isIgnorable(static_cast<unsigned char>(c)))
            b.push_back(static_cast<unsigned char>(c));
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (int d = primaryWeight(a[i]) - primaryWeight(b[i]))
            return sign(d);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (!ignoreCase)
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i] && isLetter(a[i]))
                return a[i] >= 'a' ? -1 : 1; // the same letter: lower case first
    // Only ignorable characters differ: fewer of them first, then by code.
    const size_t extraLeft = left.size() - a.size();
    const size_t extraRight = right.size() - b.size();
    if (extraLeft != extraRight)
        return extraLeft < extraRight ? -1 : 1;
    for (size_t i = 0; i < left.size() && i < right.size(); ++i) {
        auto l = static_cast<unsigned char>(left[i]);
        auto r = static_cast<unsigned char>(right[i]);
        if (ignoreCase && isLetter(l) && isLetter(r)) {
            l |= 0x20;
            r |= 0x20;
        }
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

int IfComparison::compare(std::string_view left, std::string_view right, bool ignoreCase)
{
    auto l = number(left);
    auto r = number(right);
    if (l && r)
        return sign(*l - *r);
    return collate(left, right, ignoreCase);
}

} // namespace zcmd
