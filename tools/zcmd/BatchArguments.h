#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

// The parameters of a running batch file: %0 is the name it was called by,
// %1 to %9 the words after it (quotes kept), %* their text as written.
struct BatchArguments {
    std::vector<std::string> words;
    std::string allText;

    static BatchArguments parse(std::string_view calledAs, std::string_view argumentText);
    std::string word(size_t index) const;
};

} // namespace zcmd
