#pragma once
#include <QtGlobal>

namespace platform {

// Colours are 32-bit values 0x00BBGGRR (red in the low byte). A value with the
// high bit set names one of the system's display colours by its low bits.
using ColorRef = quint32;

constexpr int kSystemColorCount = 25; // indexes 0 (scroll bar) to 24 (tooltip back)

// The colour value of system colour `index` (0..24), taken from the desktop's
// palette; 0 for an index out of range.
ColorRef sysColor(int index);

} // namespace platform
