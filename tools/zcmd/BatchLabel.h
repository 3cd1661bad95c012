#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zcmd {

// Label names as the Windows interpreter reads them. A label line is a
// line whose first character after blanks, delimiters and "@" is a colon;
// its name follows the colon (and any blanks) and ends at the first blank,
// delimiter or special character, so nothing after it is ever run. GOTO and
// CALL name a label the same way, an optional leading colon aside:
// "goto :dest:this is ignored" names "dest".
class BatchLabel {
public:
    // The label a line defines, or nothing for another line.
    static std::optional<std::string> ofLine(std::string_view line);
    // The label named by the argument text of GOTO or CALL.
    static std::string named(std::string_view arguments);
    // True for "goto :eof", which ends the batch file or the called label.
    static bool isEndOfFile(std::string_view arguments);

private:
    static std::string nameAt(std::string_view text);
};

} // namespace zcmd
