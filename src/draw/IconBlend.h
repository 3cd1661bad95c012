#pragma once
#include "draw/IconBitmap.h"

#include <QImage>

namespace draw {

// Draws an icon with per-pixel transparency: the surface's pixels under the
// icon are copied into a buffer laid out like the icon, each colour byte
// becomes (background x (255 - alpha) + icon x alpha) div 255, and the buffer
// is copied back. Parts of the icon outside the surface are left out.
class IconBlend {
public:
    static void DrawIconBitmap(QImage *surface, const IconBitmap &icon, int x, int y);
};

} // namespace draw
