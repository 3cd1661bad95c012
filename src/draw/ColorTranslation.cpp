#include "draw/ColorTranslation.h"

namespace draw {

platform::ColorRef ColorTranslation::TranslateColor(platform::ColorRef color)
{
    const platform::ColorRef kind = color >> 24;
    if (kind == 0)
        return color;
    if (kind == 0x80) {
        const platform::ColorRef index = color & 0x7FFFFFFFu;
        if (index < platform::ColorRef(platform::kSystemColorCount))
            return platform::sysColor(int(index));
    }
    return kFailed;
}

} // namespace draw
