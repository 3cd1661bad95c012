#include "draw/FrameGradient.h"

#include "draw/CheckedMath.h"
#include "draw/ControlError.h"

#include <algorithm>
#include <cmath>

namespace draw {

namespace {

int channel(std::int32_t color, int shift) { return int((std::uint32_t(color) >> shift) & 0xFF); }

} // namespace

QVector<ColorRef> FrameGradient::ColorTable(std::int32_t lCol1, std::int32_t lCol2, std::int32_t N)
{
    QVector<ColorRef> table(N + 1);
    for (std::int32_t i = 0; i <= N; ++i) {
        const float p = float(double(i) / double(N));
        const float rest = 1.0f - p;
        ColorRef entry = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const double mixed =
                double(channel(lCol2, shift)) * p + double(channel(lCol1, shift)) * rest;
            const long value = std::lround(std::nearbyint(mixed)); // halves to even
            entry |= ColorRef(std::min(255L, std::max(0L, value))) << shift;
        }
        table[i] = entry;
    }
    return table;
}

void FrameGradient::DrawGradient(DrawSurface &hDC, std::int32_t lWidth, std::int32_t lHeight,
                                 std::int32_t lCol1, std::int32_t lCol2, float zAngle)
{
    using namespace checked;
    const std::int32_t xMax = sub(lWidth, 1);
    const std::int32_t yMax = sub(lHeight, 1);

    // The angle as a whole number of degrees in [0, 360).
    std::int32_t a = roundToLong(zAngle) % 360;
    if (a < 0)
        a += 360;
    const std::int32_t q = a / 90;
    const bool oddQuadrant = q % 2 == 1;
    const float d = float((q + 1) * 90 - a);
    const bool steep = oddQuadrant ? d > 45 : d <= 45;

    const float t = float(double(a) * std::atan(1.0) / 45.0);
    const double tanT = std::tan(double(t));

    std::int32_t s;
    std::int32_t N;
    if (steep) {
        s = t != 0 ? roundToLong(double(lHeight) / std::fabs(tanT)) : 0;
        N = sub(add(s, lWidth), 1);
    } else {
        s = roundToLong(std::fabs(tanT) * double(lWidth));
        N = sub(add(s, lHeight), 1);
    }

    // Fixed ends of the lines and the walk through the colour table.
    std::int32_t fixed1, fixed2, index, step;
    if (steep) {
        fixed1 = oddQuadrant ? 0 : yMax;
        fixed2 = fixed1 != 0 ? -1 : lHeight;
        index = q <= 1 ? 0 : N;
        step = q <= 1 ? 1 : -1;
    } else {
        fixed1 = oddQuadrant ? 0 : xMax;
        fixed2 = fixed1 != 0 ? -1 : lWidth;
        index = (q == 1 || q == 2) ? N : 0;
        step = (q == 1 || q == 2) ? -1 : 1;
    }

    if (N == 0)
        throw ControlError::overflow(); // the only blend factor would be 0 / 0
    if (N < 0)
        throw ControlError::subscriptOutOfRange();
    if (N >= kMaxLines)
        throw ControlError::outOfMemory();
    const QVector<ColorRef> table = ColorTable(lCol1, lCol2, N);

    const std::int32_t last = steep ? xMax : yMax;
    for (std::int64_t v = -std::int64_t(s); v <= last; ++v) {
        const std::int32_t from = toLong(v);
        const std::int32_t to = add(from, s);
        if (steep)
            hDC.drawLine(QPoint(from, fixed1), QPoint(to, fixed2), table[index]);
        else
            hDC.drawLine(QPoint(fixed1, from), QPoint(fixed2, to), table[index]);
        index += step;
    }
}

} // namespace draw
