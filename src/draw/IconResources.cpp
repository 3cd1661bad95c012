#include "draw/IconResources.h"
#include "draw/VariantNumber.h"

#include <QFile>
#include <cmath>
#include <cstring>

namespace draw {

namespace {

// The identifier's numeric value, when it has one.
bool numericValue(const QVariant &identifier, double *value)
{
    if (holdsNumber(identifier)) {
        *value = identifier.toDouble();
        return true;
    }
    switch (identifier.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        bool ok = false;
        *value = identifier.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(*value);
    }
    default: return false;
    }
}

} // namespace

bool IconResources::isNone(const QVariant &identifier)
{
    double value = 0;
    return numericValue(identifier, &value) && value == 0;
}

QString IconResources::resourceName(const QVariant &identifier)
{
    double value = 0;
    if (!numericValue(identifier, &value))
        return identifier.toString();
    if (value == std::floor(value) && std::fabs(value) < 9.0e15)
        return QLatin1Char('#') + QString::number(qint64(value));
    return QLatin1Char('#') + identifier.toString().trimmed();
}

QString IconResources::resourcePath(const QVariant &identifier)
{
    return QLatin1String(kPrefix) + resourceName(identifier).toUpper();
}

bool IconResources::LoadIconBitmap(const QVariant &identifier, IconBitmap *icon)
{
    QFile file(resourcePath(identifier));
    if (!file.open(QIODevice::ReadOnly))
        return false; // not found, or the resources were not compiled in
    const QByteArray data = file.readAll();

    BitmapInfoHeader header;
    if (!BitmapInfoHeader::parse(data, &header) || header.bitCount != 32)
        return false;
    const std::int64_t rows = header.height < 0 ? -std::int64_t(header.height) : header.height;
    const std::int64_t imageBytes = 4 * std::int64_t(header.width) * rows;
    if (header.width > 0 && rows > 0 && data.size() - BitmapInfoHeader::kSize < imageBytes)
        return false; // cut short: it would be read past its end

    if (!icon->Make(header.width, header.height))
        return false;
    std::memcpy(icon->pixels().data(), data.constData() + BitmapInfoHeader::kSize,
                size_t(icon->pixels().size()));
    return true;
}

} // namespace draw
