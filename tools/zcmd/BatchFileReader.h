#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zcmd {

// Reads a batch file one line at a time from a byte offset, opening the file
// afresh for every line as the Windows interpreter does: a script changed
// while it runs goes on with what is on disk at the saved offset, and one
// deleted while it runs cannot be read any further. A line ends at LF or
// Ctrl-Z; a CR before the LF stays in the line (it goes after expansion).
class BatchFileReader {
public:
    enum class Status { Line, EndOfFile, Missing };

    // Reads the line at `offset` into `line` and moves `offset` past it.
    static Status readLine(const std::string &path, std::uint64_t &offset, std::string &line);
    // The offset just after the line that defines `label`, searching from
    // the line at `from` to the end of the file, then from the top.
    static std::optional<std::uint64_t> findLabel(const std::string &path, std::string_view label,
                                                  std::uint64_t from);
};

} // namespace zcmd
