#include "draw/DrawSurface.h"

#include <QColor>
#include <cstdlib>

namespace draw {

QColor toQColor(ColorRef color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

ColorRef fromQColor(const QColor &color)
{
    return ColorRef(color.red()) | (ColorRef(color.green()) << 8) | (ColorRef(color.blue()) << 16);
}

bool ImageSurface::clientSize(QSize *size) const
{
    if (!m_image || m_image->isNull())
        return false;
    *size = m_image->size();
    return true;
}

void ImageSurface::drawLine(QPoint from, QPoint to, ColorRef color)
{
    // Bresenham from `from` towards `to`, leaving out the end point; pixels
    // outside the image are clipped.
    const QRgb rgb = toQColor(color).rgb();
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    const int w = m_image->width(), h = m_image->height();
    while (x != to.x() || y != to.y()) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            m_image->setPixel(x, y, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

bool RecordingSurface::clientSize(QSize *size) const
{
    if (!m_sizeReadable)
        return false;
    *size = m_size;
    return true;
}

void RecordingSurface::drawLine(QPoint from, QPoint to, ColorRef color)
{
    lines.append({from, to, color});
}

} // namespace draw
