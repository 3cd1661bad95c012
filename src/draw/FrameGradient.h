#pragma once
#include "draw/DrawSurface.h"

#include <QVector>
#include <cstdint>

namespace draw {

// The framed panel's own angled gradient: parallel one-pixel lines at the
// angle, each one colour of a table that runs from the first colour to the
// second. The lines reach past the area by the slant and are clipped only by
// the surface.
class FrameGradient {
public:
    // Most lines one gradient may have; a larger colour table is refused like an
    // allocation that fails (error 7), so absurd sizes end quickly.
    static constexpr std::int32_t kMaxLines = 1 << 22;

    // Paints the gradient into the area from (0, 0), lWidth x lHeight, of hDC.
    // lCol1, lCol2: concrete colours 0x00BBGGRR (only their low three bytes
    // count). zAngle: degrees; 0 runs lCol1 at the top to lCol2 at the bottom,
    // 90 left to right, 180 bottom to top, 270 right to left.
    // Throws ControlError before drawing anything when the line count N is 0
    // (error 6) or negative (error 9) or too large (error 7), and on 32-bit
    // overflow of its sums (error 6).
    static void DrawGradient(DrawSurface &hDC, std::int32_t lWidth, std::int32_t lHeight,
                             std::int32_t lCol1, std::int32_t lCol2, float zAngle);

    // The table of N + 1 colours from lCol1 (entry 0) to lCol2 (entry N);
    // N must be at least 1.
    static QVector<ColorRef> ColorTable(std::int32_t lCol1, std::int32_t lCol2, std::int32_t N);
};

} // namespace draw
