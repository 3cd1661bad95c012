#pragma once

namespace platform {

// True when the program runs with the super-user's effective identity. Some
// components (the embedded browser's sandbox) cannot work that way.
bool runningAsRoot();

} // namespace platform
