#include "draw/RoundRectRegion.h"

#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace draw {

QRegion RoundRectRegion::create(int left, int top, int right, int bottom, int ellipseWidth,
                                int ellipseHeight)
{
    // The continuous outline: [x0, x1) x [y0, y1).
    const double x0 = std::min(left, right), x1 = std::max(left, right) - 1.0;
    const double y0 = std::min(top, bottom), y1 = std::max(top, bottom) - 1.0;
    if (x1 <= x0 || y1 <= y0)
        return QRegion();
    const double rx = std::min(std::fabs(double(ellipseWidth)), x1 - x0) / 2.0;
    const double ry = std::min(std::fabs(double(ellipseHeight)), y1 - y0) / 2.0;

    QRegion region;
    QRect run; // rows with the same span are joined into one rectangle
    for (int y = int(y0); y < int(y1); ++y) {
        const double cy = y + 0.5;
        double dy = 0;
        if (cy < y0 + ry)
            dy = y0 + ry - cy;
        else if (cy > y1 - ry)
            dy = cy - (y1 - ry);
        double inset = 0;
        if (dy > 0) {
            const double u = dy / ry;
            inset = rx - (u < 1 ? rx * std::sqrt(1 - u * u) : 0);
        }
        // Pixels whose centre lies in [x0 + inset, x1 - inset].
        const int first = int(std::ceil(x0 + inset - 0.5));
        const int last = int(std::floor(x1 - inset - 0.5));
        const QRect row = first <= last ? QRect(first, y, last - first + 1, 1) : QRect();
        if (!run.isNull() && !row.isNull() && row.left() == run.left() && row.right() == run.right()
            && row.top() == run.bottom() + 1) {
            run.setBottom(y);
            continue;
        }
        if (!run.isNull())
            region += run;
        run = row;
    }
    if (!run.isNull())
        region += run;
    return region;
}

} // namespace draw
