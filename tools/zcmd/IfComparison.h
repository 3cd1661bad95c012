#pragma once
#include <optional>
#include <string_view>

namespace zcmd {

// How IF's comparison words (EQU NEQ LSS LEQ GTR GEQ) order two words, as
// the Windows interpreter does: as numbers when both read as numbers, else
// as words in the system's collation, where case only breaks ties (lower
// case first) and /I ignores it. A plain byte order would put "B" before "a".
class IfComparison {
public:
    // Negative, zero or positive as `left` comes before, with or after `right`.
    static int compare(std::string_view left, std::string_view right, bool ignoreCase);

    // A whole word read as a number: an optional sign, then decimal, octal
    // with a leading 0 or hexadecimal with 0x; held in 32 bits, a larger
    // value standing at the nearest limit. "09" is no number (9 is no octal digit).
    static std::optional<long long> number(std::string_view word);

    // The word order of the system's collation.
    static int collate(std::string_view left, std::string_view right, bool ignoreCase);
};

} // namespace zcmd
