#pragma once
#include <QRegion>

namespace draw {

// A rounded-rectangle region made the way the window system makes one from a
// box (left, top, right, bottom) and a corner ellipse of ellipseWidth x
// ellipseHeight: the region covers the pixels from left to right - 2 and from
// top to bottom - 2, that is, it stays one pixel inside the box's right and
// bottom edges. A pixel belongs to it when its centre lies inside the rounded
// outline. An ellipse larger than the box is cut to the box; 0 gives square
// corners; negative sizes count by their magnitude.
class RoundRectRegion {
public:
    static QRegion create(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight);
};

} // namespace draw
