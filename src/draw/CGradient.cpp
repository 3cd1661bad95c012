#include "draw/CGradient.h"
#include "platform/Platform.h"
#include "platform/desktop/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

namespace draw {

namespace {

constexpr double kDegreesToRadians = 0.017453292519943278;

// Round to the nearest integer, halves to the even neighbour, with the range
// check of a 32-bit integer conversion.
qint32 roundToLong(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= double(std::numeric_limits<qint32>::min())
          && r <= double(std::numeric_limits<qint32>::max())))
        throw std::overflow_error("Overflow");
    return qint32(r);
}

qint32 checkedAdd(qint32 a, qint32 b)
{
    const qint64 r = qint64(a) + qint64(b);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        throw std::overflow_error("Overflow");
    return qint32(r);
}

// Whole degrees folded into [0, 360): v - Int(v / 360) * 360 with Int rounding down.
double foldDegrees(double v) { return v - std::floor(v / 360.0) * 360.0; }

} // namespace

CGradient::CGradient()
    : m_color1(16777168)
    , m_color2(4194304)
    , m_angle(315.0f)
{}

qint32 CGradient::translateColor(qint32 value)
{
    if (value < 0) {
        const qint32 index = value & 0x7FFFFFFF;
        if (index <= 24)
            return qint32(platform::sysColor(index));
    }
    return value;
}

void CGradient::setColor1(qint32 lData) { m_color1 = translateColor(lData); }
void CGradient::setColor2(qint32 lData) { m_color2 = translateColor(lData); }
void CGradient::setAngle(float fData) { m_angle = float(foldDegrees(double(fData))); }

double CGradient::SafeDivide(double a, double b) { return b == 0.0 ? 0.0 : a / b; }

void CGradient::RotatePoint(const PointF &origin, PointF &point, float angle)
{
    const float r = float(double(angle) * kDegreesToRadians);
    const float dx = point.x - origin.x;
    const float dy = point.y - origin.y;
    const double c = std::cos(double(r));
    const double s = std::sin(double(r));
    point.x = float(double(origin.x) + double(dx) * c + double(dy) * s);
    point.y = float(double(origin.y) - (double(dx) * s - double(dy) * c));
}

qint32 CGradient::BlendColors(qint32 lColor1, qint32 lColor2, qint32 lSteps,
                              QVector<qint32> &laRetColors) const
{
    if (lSteps < 2)
        lSteps = 2;
    const qint32 r1 = lColor1 & 255, g1 = (lColor1 & 65280) / 256,
                 b1 = (lColor1 & 16711680) / 65536;
    const qint32 r2 = lColor2 & 255, g2 = (lColor2 & 65280) / 256,
                 b2 = (lColor2 & 16711680) / 65536;
    // The divisor is the number of colours, not of gaps, so the last gap is wider.
    const float rs = float(SafeDivide(r2 - r1, lSteps));
    const float gs = float(SafeDivide(g2 - g1, lSteps));
    const float bs = float(SafeDivide(b2 - b1, lSteps));

    laRetColors = QVector<qint32>(lSteps);
    laRetColors[0] = lColor1;
    laRetColors[lSteps - 1] = lColor2;
    for (qint32 i = 1; i <= lSteps - 2; ++i) {
        const qint32 r = roundToLong(r1 + double(i) * double(rs));
        const qint32 g = roundToLong(g1 + double(i) * double(gs));
        const qint32 b = roundToLong(b1 + double(i) * double(bs));
        laRetColors[i] = r + g * 256 + b * 65536;
    }
    return lSteps;
}

QVector<CGradient::LinePoint> CGradient::SweepPoints(qint32 w, qint32 h) const
{
    const PointF c{float(std::floor(double(w) / 2.0)), float(std::floor(double(h) / 2.0))};
    const double m = w > h ? w : h;
    const float half = float((std::sqrt(m * m + m * m) + 2.0) / 2.0);

    PointF p0{c.x - half, c.y};
    PointF p1{c.x + half, c.y};
    const float g = float(foldDegrees(double(m_angle) + 90.0));
    RotatePoint(c, p0, g);
    RotatePoint(c, p1, g);

    const bool steep = std::fabs(float(p0.x - p1.x)) <= std::fabs(float(p0.y - p1.y));
    const float a = m_angle;
    float ox = 0, oy = 0;
    qint32 sx = 0, sy = 0;
    if (steep) {
        if (a >= 0 && a <= 90) {
            ox = -std::max(p0.x, p1.x);
            sx = 1;
        } else if (a >= 90 && a <= 180) {
            ox = float(w) - std::min(p0.x, p1.x);
            sx = -1;
        } else if (a >= 180 && a <= 270) {
            ox = float(w) - std::min(p0.x, p1.x);
            sx = -1;
        } else {
            ox = -std::max(p0.x, p1.x);
            sx = 1;
        }
    } else {
        if (a >= 0 && a <= 90) {
            oy = float(h) - std::min(p0.y, p1.y);
            sy = -1;
        } else if (a >= 90 && a <= 180) {
            oy = float(h) - std::min(p0.y, p1.y);
            sy = -1;
        } else if (a >= 180 && a <= 270) {
            oy = -std::max(p0.y, p1.y);
            sy = 1;
        } else {
            oy = -std::max(p0.y, p1.y);
            sy = 1;
        }
    }

    QVector<LinePoint> points;
    points.reserve(1000);
    points.append({roundToLong(float(p0.x + ox)), roundToLong(float(p0.y + oy))});
    points.append({roundToLong(float(p1.x + ox)), roundToLong(float(p1.y + oy))});
    for (;;) {
        const LinePoint &prev = points[points.size() - 2];
        points.append({checkedAdd(prev.x, sx), checkedAdd(prev.y, sy)});
        const LinePoint &n1 = points[points.size() - 1];
        const LinePoint &n2 = points[points.size() - 2];
        bool finished = false;
        if (sx == 1)
            finished = n1.x > w && n2.x > w;
        else if (sx == -1)
            finished = n1.x < 0 && n2.x < 0;
        else if (sy == 1)
            finished = n1.y > h && n2.y > h;
        else
            finished = n1.y < 0 && n2.y < 0;
        if (finished)
            break;
        if (points.size() % 1000 == 0)
            points.reserve(points.size() + 1000);
    }
    points.squeeze();
    return points;
}

qint32 CGradient::RenderGradient(DrawSurface &surface, qint32 w, qint32 h)
{
    qint32 j = 0;
    try {
        const QVector<LinePoint> points = SweepPoints(w, h);
        const qint32 count = qint32(points.size());
        QVector<qint32> ramp;
        BlendColors(m_color1, m_color2, roundToLong(count / 2.0), ramp);
        for (j = 0; j <= count - 2; j += 2) {
            surface.drawLine(QPoint(points[j].x, points[j].y),
                             QPoint(points[j + 1].x, points[j + 1].y),
                             platform::ColorRef(ramp[j / 2]));
        }
        return j;
    } catch (const std::bad_alloc &) {
        platform::warningBox(QStringLiteral("Out of memory"), QStringLiteral("GradientRect"));
        return 0;
    } catch (const std::exception &e) {
        platform::warningBox(QString::fromLatin1(e.what()), QStringLiteral("GradientRect"));
        return 0;
    }
}

bool CGradient::Draw(DrawSurface &picObj)
{
    bool result = false;
    picObj.lockUpdates();
    QSize size;
    if (picObj.clientSize(&size) && size.width() > 1 && size.height() > 1)
        result = RenderGradient(picObj, size.width(), size.height()) > 0;
    picObj.unlockUpdates();
    return result;
}

} // namespace draw
