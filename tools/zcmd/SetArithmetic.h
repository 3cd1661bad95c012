#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zcmd {

class Variables;

// SET /A: a C-like expression over 32-bit integers that wrap round, with
// the operators ( ) ! ~ - * / % + - << >> & ^ | = *= /= %= += -= &= ^= |=
// <<= >>= and ",". Numbers are decimal, 0x hexadecimal or octal with a
// leading 0; any other word names a variable whose value is read as a number
// (0 when it is unset or not a number). Blanks and double quotes are ignored.
// Assignments take effect in the order they are evaluated, so those before
// an error stay made.
class SetArithmetic {
public:
    struct Result {
        bool ok = true;
        std::int32_t value = 0; // of the last expression
        std::string message;    // on failure, as the interpreter words it
        int errorLevel = 0;     // on failure
    };
    static Result evaluate(std::string_view expression, Variables &variables);
};

} // namespace zcmd
