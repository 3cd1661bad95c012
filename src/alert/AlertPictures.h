#pragma once
#include <QCursor>
#include <QPixmap>

namespace alert {

// The small red "X" close box, 13 by 12 pixels.
QPixmap closeBoxPicture();
// A 32 by 32 pointing-hand cursor with its hot spot at (12, 1).
QCursor handCursor();

} // namespace alert
