#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// TYPE: files' text to the output, with Windows file names (see PathResolver).
class TypeCommand {
public:
    static int run(Session &session, std::string_view arguments);
};

} // namespace zcmd
