#pragma once
#include "platform/desktop/SystemColors.h"

namespace draw {

// Turns a colour property value into a concrete colour 0x00BBGGRR: a plain
// colour (high byte 0) is itself; a value with the high bit set and low bits
// 0..24 names a system colour. Any other value cannot be translated and gives
// the failure value 0xFFFFFFFF (-1), whose colour bytes all read 255 (white).
class ColorTranslation {
public:
    static constexpr platform::ColorRef kFailed = 0xFFFFFFFFu;
    static platform::ColorRef TranslateColor(platform::ColorRef color);
};

} // namespace draw
