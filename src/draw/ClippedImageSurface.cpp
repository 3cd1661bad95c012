#include "draw/ClippedImageSurface.h"

#include <QColor>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace draw {

namespace {

// Products of two 33-bit spans need more than 64 bits.
__extension__ typedef __int128 Wide;

// Offset along the minor axis after `step` steps of a line that moves `minor`
// pixels while taking `steps` steps: step x minor / steps, rounded half up.
std::int64_t minorOffset(std::int64_t step, std::int64_t minor, std::int64_t steps)
{
    return std::int64_t((2 * Wide(step) * minor + steps) / (2 * Wide(steps)));
}

// First step in [lo, hi] whose minor offset is at least `target`; hi + 1 if none.
std::int64_t firstStepReaching(std::int64_t target, std::int64_t lo, std::int64_t hi,
                               std::int64_t minor, std::int64_t steps)
{
    std::int64_t a = lo, b = hi + 1;
    while (a < b) {
        const std::int64_t mid = a + (b - a) / 2;
        if (minorOffset(mid, minor, steps) >= target)
            b = mid;
        else
            a = mid + 1;
    }
    return a;
}

} // namespace

bool ClippedImageSurface::clientSize(QSize *size) const
{
    if (!m_image || m_image->isNull())
        return false;
    *size = m_image->size();
    return true;
}

void ClippedImageSurface::drawLine(QPoint from, QPoint to, ColorRef color)
{
    if (!m_image || m_image->isNull())
        return;
    const std::int64_t dx = std::int64_t(to.x()) - from.x();
    const std::int64_t dy = std::int64_t(to.y()) - from.y();
    const std::int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
    if (steps == 0)
        return;

    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major0 = xMajor ? from.x() : from.y();
    const std::int64_t minor0 = xMajor ? from.y() : from.x();
    const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t minorSign = minorDelta < 0 ? -1 : 1;
    const std::int64_t minorRun = std::llabs(minorDelta);
    const std::int64_t majorLimit = xMajor ? m_image->width() : m_image->height();
    const std::int64_t minorLimit = xMajor ? m_image->height() : m_image->width();

    // Steps whose major coordinate lies inside the image.
    std::int64_t lo = 0, hi = steps - 1;
    if (majorSign > 0) {
        lo = std::max(lo, -major0);
        hi = std::min(hi, majorLimit - 1 - major0);
    } else {
        lo = std::max(lo, major0 - (majorLimit - 1));
        hi = std::min(hi, major0);
    }
    if (lo > hi)
        return;

    // Steps whose minor coordinate lies inside the image; the minor offset
    // never decreases along the line, so the visible steps form one range.
    std::int64_t offsetLo, offsetHi;
    if (minorSign > 0) {
        offsetLo = -minor0;
        offsetHi = minorLimit - 1 - minor0;
    } else {
        offsetLo = minor0 - (minorLimit - 1);
        offsetHi = minor0;
    }
    const std::int64_t first = firstStepReaching(offsetLo, lo, hi, minorRun, steps);
    const std::int64_t last = firstStepReaching(offsetHi + 1, lo, hi, minorRun, steps) - 1;

    const QRgb rgb = toQColor(color).rgb();
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t major = major0 + majorSign * i;
        const std::int64_t minor = minor0 + minorSign * minorOffset(i, minorRun, steps);
        const int x = int(xMajor ? major : minor);
        const int y = int(xMajor ? minor : major);
        if (m_image->depth() == 32)
            reinterpret_cast<QRgb *>(m_image->scanLine(y))[x] = rgb;
        else
            m_image->setPixel(x, y, rgb);
    }
}

} // namespace draw
