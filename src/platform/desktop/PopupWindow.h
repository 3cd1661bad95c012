#pragma once
#include <Qt>

namespace platform {

// Window flags of a small notification window: no title bar, no taskbar button,
// above ordinary windows. Where there is no window manager (the offscreen
// platform) it is a plain frameless window, since there is no taskbar to leave.
Qt::WindowFlags popupWindowFlags();

} // namespace platform
