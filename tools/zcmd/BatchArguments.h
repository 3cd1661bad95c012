#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

// The parameters of a running batch file: %0 is the name it was called by
// (the label inside "call :label"), %1 to %9 the words after it (quotes
// kept), %* their text as written. The path modifiers of %0 (%~dp0, %~nx0
// ...) name the batch file itself, wherever the current folder is, until
// SHIFT moves another word into %0.
struct BatchArguments {
    std::vector<std::string> words;
    std::string allText;
    std::string batchPath;      // the running file, absolute
    bool zeroNamesBatch = true; // %0 still refers to the batch file

    static BatchArguments parse(std::string_view calledAs, std::string_view argumentText);
    std::string word(size_t index) const;
    // SHIFT /n: the words from `from` on move down by one; %* stays as it is.
    void shift(size_t from);
};

} // namespace zcmd
