#pragma once
#include <functional>

namespace platform {

// Ends the program's process at once, as a script's "taskkill" would: no window
// is closed, so no close handler and no exit clean-up runs. Open files must be
// closed before. Tests replace it to observe the end without losing the process.
void endProgramNow();

// Replaces what endProgramNow() does (tests). An empty function restores the
// real end.
void setEndProgramNow(std::function<void()> replacement);

} // namespace platform
