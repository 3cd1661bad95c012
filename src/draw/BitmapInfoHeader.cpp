#include "draw/BitmapInfoHeader.h"

#include <QtEndian>

namespace draw {

bool BitmapInfoHeader::parse(const QByteArray &bytes, BitmapInfoHeader *header)
{
    if (bytes.size() < kSize)
        return false;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    header->size = qFromLittleEndian<quint32>(p);
    header->width = qFromLittleEndian<qint32>(p + 4);
    header->height = qFromLittleEndian<qint32>(p + 8);
    header->planes = qFromLittleEndian<quint16>(p + 12);
    header->bitCount = qFromLittleEndian<quint16>(p + 14);
    header->compression = qFromLittleEndian<quint32>(p + 16);
    header->sizeImage = qFromLittleEndian<quint32>(p + 20);
    header->xPelsPerMeter = qFromLittleEndian<qint32>(p + 24);
    header->yPelsPerMeter = qFromLittleEndian<qint32>(p + 28);
    header->clrUsed = qFromLittleEndian<quint32>(p + 32);
    header->clrImportant = qFromLittleEndian<quint32>(p + 36);
    return true;
}

} // namespace draw
