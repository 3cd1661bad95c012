#pragma once
#include <cstddef>
#include <string_view>

namespace zcmd {

struct Session;

// The Windows interpreter's limits on what a script may make it do: a command
// line of at most 8191 characters after expansion, and a bounded nesting of
// batch files and labels run by CALL. A script beyond them ends with that
// interpreter's messages instead of exhausting the memory or the stack.
class ScriptLimits {
public:
    static constexpr size_t kMaxLineLength = 8191;
    // Batch files and labels running inside one another (CALL).
    static constexpr int kMaxBatchNesting = 700;

    // SETLOCALs inside one batch file or called label.
    static constexpr size_t kMaxLocalScopes = 32;
    // The variables all SETLOCALs running together may hold: a script that
    // saves large variables over and over must not exhaust the memory.
    static constexpr size_t kMaxSavedVariableText = size_t(64) << 20;
    // Folders PUSHD keeps at once: a script that pushes in a loop must not
    // exhaust the memory; beyond this PUSHD fails as if out of memory.
    static constexpr size_t kMaxPushedFolders = 4096;

    static bool tooLong(std::string_view line) { return line.size() > kMaxLineLength; }
    // "The input line is too long." with error level 1.
    static int refuseLongLine(Session &session);
    // True (message written, every batch file left) when one more batch
    // file or label may not start inside those already running.
    static bool refuseDeeperNesting(Session &session);
};

} // namespace zcmd
