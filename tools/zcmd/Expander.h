#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "zcmd/BatchArguments.h"
#include "zcmd/Variables.h"

namespace zcmd {

// Percent expansion, the first thing done to a line before any special
// character is looked at. In a batch file "%%" gives "%", %0 to %9 and %*
// give the batch parameters, an undefined %VAR% gives nothing and a lone "%"
// is dropped; on a command line an undefined %VAR% and a lone "%" stay as
// written. The expanded text is not scanned again.
class Expander {
public:
    struct Context {
        const Variables &variables;
        int errorLevel = 0;
        const BatchArguments *batch = nullptr; // null on a command line
    };

    static std::string expand(std::string_view line, const Context &context);

    // Delayed expansion of a parsed command's text, just before it runs:
    // !NAME! (and !NAME:edit!) gives the variable's value now, an undefined
    // one or a lone '!' gives nothing, and a caret takes the next character
    // as it is. Text without a '!' is left exactly as it is, carets too.
    static std::string expandDelayed(std::string_view text, const Context &context);

    // %VAR:~start,length% and %VAR:find=replace% applied to a value;
    // nothing when the edit is not well formed.
    static std::optional<std::string> applyEdit(std::string_view value, std::string_view edit);

private:
    static std::optional<std::string> lookup(std::string_view name, const Context &context);
    static size_t expandParameter(std::string_view line, size_t at, const Context &context,
                                  std::string &out);
};

} // namespace zcmd
