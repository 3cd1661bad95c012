#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

// A Windows program receives one command line and its C runtime splits it
// into arguments. The programs started here get an argument list, so the
// split is done for them, by the same rules: blanks and tabs separate
// arguments outside double quotes; quotes are removed; 2n backslashes before
// a quote give n backslashes and the quote opens or closes a quoted part,
// 2n+1 give n backslashes and a literal quote; "" inside a quoted part is a
// literal quote; other backslashes are literal. The program name (the first
// word) is read without backslash rules: quotes toggle, a blank ends it.
class WindowsArgv {
public:
    static std::vector<std::string> split(std::string_view commandLine);
    static std::vector<std::string> splitArguments(std::string_view arguments);
};

} // namespace zcmd
