#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// START ["title"] [/D folder] [/B] [/W[AIT]] [/MIN ...] program-or-document [arguments]
//
// A program is found like any command (current folder first, extensions,
// case) and started detached, without waiting: its output is not tied to
// the script's, so the reader of the script's output sees its end while the
// program runs on. A batch file starts in a new interpreter. Anything else
// that exists, or an address, opens with the desktop's association
// (xdg-open).
class StartCommand {
public:
    static int run(Session &session, std::string_view arguments);
};

} // namespace zcmd
