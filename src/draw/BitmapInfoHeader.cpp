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

QByteArray BitmapInfoHeader::toBytes() const
{
    QByteArray bytes(kSize, '\0');
    uchar *p = reinterpret_cast<uchar *>(bytes.data());
    qToLittleEndian<quint32>(size, p);
    qToLittleEndian<qint32>(width, p + 4);
    qToLittleEndian<qint32>(height, p + 8);
    qToLittleEndian<quint16>(planes, p + 12);
    qToLittleEndian<quint16>(bitCount, p + 14);
    qToLittleEndian<quint32>(compression, p + 16);
    qToLittleEndian<quint32>(sizeImage, p + 20);
    qToLittleEndian<qint32>(xPelsPerMeter, p + 24);
    qToLittleEndian<qint32>(yPelsPerMeter, p + 28);
    qToLittleEndian<quint32>(clrUsed, p + 32);
    qToLittleEndian<quint32>(clrImportant, p + 36);
    return bytes;
}

} // namespace draw
