#pragma once
#include <QRect>

namespace platform {

// Form geometry is kept in twips; widgets are placed in pixels at 96 dpi.
constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

} // namespace platform
