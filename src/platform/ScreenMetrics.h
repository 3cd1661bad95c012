#pragma once
#include <QSize>

namespace platform {

// Size of the client area of a full-screen window on the primary display, in
// pixels, and the screen's twips per pixel.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual QSize fullScreenClientSize() const = 0;
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;
};

} // namespace platform
