#include "draw/IconBlend.h"

namespace draw {

void IconBlend::DrawIconBitmap(QImage *surface, const IconBitmap &icon, int x, int y)
{
    if (!icon.exists() || surface->isNull())
        return;
    const int w = icon.width(), h = icon.rowCount();
    const QRect inside = surface->rect().intersected(QRect(x, y, w, h));

    IconBitmap copy;
    if (!copy.Make(icon.header().width, icon.header().height))
        return;
    uchar *back = reinterpret_cast<uchar *>(copy.pixels().data());
    for (int sy = inside.top(); sy <= inside.bottom(); ++sy) {
        for (int sx = inside.left(); sx <= inside.right(); ++sx) {
            const QRgb c = surface->pixel(sx, sy);
            uchar *p = back + copy.byteOffset(sx - x, sy - y);
            p[0] = uchar(qBlue(c));
            p[1] = uchar(qGreen(c));
            p[2] = uchar(qRed(c));
        }
    }

    const uchar *front = reinterpret_cast<const uchar *>(icon.pixels().constData());
    const int size = copy.pixels().size();
    for (int i = 3; i < size; i += 4) {
        const int alpha = front[i];
        for (int k = i - 3; k < i; ++k)
            back[k] = uchar((back[k] * (255 - alpha) + front[k] * alpha) / 255);
    }

    for (int sy = inside.top(); sy <= inside.bottom(); ++sy) {
        for (int sx = inside.left(); sx <= inside.right(); ++sx) {
            const uchar *p = back + copy.byteOffset(sx - x, sy - y);
            surface->setPixel(sx, sy, qRgb(p[2], p[1], p[0]));
        }
    }
}

} // namespace draw
