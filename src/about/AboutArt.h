#pragma once
#include <QIcon>
#include <QPixmap>

namespace about {

// The About window's pictures, painted at run time.
namespace AboutArt {

// Fills the window: 668 x 390 pixels.
QPixmap background();
// The program's emblem for Image1 (160 x 160) and, at small sizes, the window icon.
QPixmap emblem(int size = 160);
QIcon windowIcon();
// The donation picture of Image3: 120 x 54.
QPixmap donateButton();
// The mark of Image2 that hides the browser: 24 x 26.
QPixmap hideMark();

} // namespace AboutArt

} // namespace about
