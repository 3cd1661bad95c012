#pragma once
#include <string_view>

namespace zcmd {

// A file name with wildcards as the Windows file system matches it, which
// is more than "*" and "?": a "?" before a dot or at the end may match
// nothing ("f?.txt" finds "f.txt"), "*." finds the names without an
// extension, "*.txt" leaves out "a.txt.bak", and "*.*" finds every name.
// Letters match without regard to case.
class FileNamePattern {
public:
    static bool matches(std::string_view pattern, std::string_view name);
};

} // namespace zcmd
