#include "draw/XPFramePropertyStore.h"
#include "draw/VariantNumber.h"

#include "draw/CheckedMath.h"
#include "draw/ControlError.h"

#include <cmath>

namespace draw {

namespace {

double toNumber(const QVariant &value)
{
    bool ok = false;
    double number = 0;
    const int type = value.typeId();
    if (holdsNumber(value))
        number = value.toDouble(&ok);
    else if (type == QMetaType::QString || type == QMetaType::QByteArray)
        number = value.toString().trimmed().toDouble(&ok);
    if (!ok)
        throw ControlError::typeMismatch();
    return number;
}

qint16 toInteger(const QVariant &value)
{
    const qint32 n = checked::roundToLong(toNumber(value));
    if (n < -32768 || n > 32767)
        throw ControlError::overflow();
    return qint16(n);
}

qint32 toLong(const QVariant &value) { return checked::roundToLong(toNumber(value)); }

// Colours are stored as signed 32-bit values; an unsigned form of the same
// bits (as another writer may have kept it) is taken as well.
platform::ColorRef toColor(const QVariant &value)
{
    const double n = std::nearbyint(toNumber(value));
    if (n < -2147483648.0 || n > 4294967295.0)
        throw ControlError::overflow();
    return n < 0 ? platform::ColorRef(qint32(n)) : platform::ColorRef(quint32(n));
}

QString toText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    toNumber(value); // numbers read as their text; anything else is a mismatch
    return value.toString();
}

QVariant color(platform::ColorRef c) { return QVariant::fromValue<qint32>(qint32(c)); }

} // namespace

void XPFramePropertyStore::Read(const PropertyBag &bag, XPFrameProperties *p,
                                const FontRef &controlFont)
{
    using P = XPFrameProperties;
    p->headerAngle =
        toInteger(bag.ReadProperty("HeaderAngle", QVariant::fromValue<qint16>(P::kHeaderAngle)));
    p->backAngle =
        toInteger(bag.ReadProperty("BackAngle", QVariant::fromValue<qint16>(P::kBackAngle)));
    p->headerLightColor =
        toColor(bag.ReadProperty("HeaderLightColor", color(P::kHeaderLightColor)));
    p->headerDarkColor = toColor(bag.ReadProperty("HeaderDarkColor", color(P::kHeaderDarkColor)));
    p->backLightColor = toColor(bag.ReadProperty("BackLightColor", color(P::kBackLightColor)));
    p->backDarkColor = toColor(bag.ReadProperty("BackDarkColor", color(P::kBackDarkColor)));
    p->borderColor = toColor(bag.ReadProperty("BorderColor", color(P::kBorderColor)));
    p->textColor = toColor(bag.ReadProperty("TextColor", color(P::kTextColor)));
    p->caption = toText(bag.ReadProperty("Caption", P::defaultCaption()));
    p->style = toLong(bag.ReadProperty("Style", QVariant::fromValue<qint16>(qint16(P::kStyle))));
    p->curvature =
        toLong(bag.ReadProperty("Curvature", QVariant::fromValue<qint16>(qint16(P::kCurvature))));
    p->captionAlignment = toLong(
        bag.ReadProperty("CaptionAlignment", QVariant::fromValue<qint32>(P::kCaptionAlignment)));
    p->headerHeight = toLong(
        bag.ReadProperty("HeaderHeight", QVariant::fromValue<qint16>(qint16(P::kHeaderHeight))));

    const QVariant font = bag.ReadProperty("HeaderFont", QVariant());
    if (!font.isValid())
        p->headerFont = controlFont;
    else if (font.typeId() == QMetaType::QFont)
        p->headerFont = std::make_shared<QFont>(font.value<QFont>());
    else
        throw ControlError::typeMismatch();

    p->iconResID = bag.ReadProperty("IconResID", P::noIcon());
}

void XPFramePropertyStore::Write(PropertyBag &bag, const XPFrameProperties &p)
{
    using P = XPFrameProperties;
    bag.WriteProperty("HeaderAngle", QVariant::fromValue<qint16>(p.headerAngle),
                      QVariant::fromValue<qint16>(P::kHeaderAngle));
    bag.WriteProperty("BackAngle", QVariant::fromValue<qint16>(p.backAngle),
                      QVariant::fromValue<qint16>(P::kBackAngle));
    bag.WriteProperty("HeaderLightColor", color(p.headerLightColor), color(P::kHeaderLightColor));
    bag.WriteProperty("HeaderDarkColor", color(p.headerDarkColor), color(P::kHeaderDarkColor));
    bag.WriteProperty("BackLightColor", color(p.backLightColor), color(P::kBackLightColor));
    bag.WriteProperty("BackDarkColor", color(p.backDarkColor), color(P::kBackDarkColor));
    bag.WriteProperty("BorderColor", color(p.borderColor), color(P::kBorderColor));
    bag.WriteProperty("TextColor", color(p.textColor), color(P::kTextColor));
    bag.WriteProperty("Caption", p.caption, P::defaultCaption());
    bag.WriteProperty("Style", QVariant::fromValue<qint32>(p.style),
                      QVariant::fromValue<qint32>(P::kStyle));
    bag.WriteProperty("CaptionAlignment", QVariant::fromValue<qint32>(p.captionAlignment),
                      QVariant::fromValue<qint32>(P::kCaptionAlignment));
    bag.WriteProperty("HeaderHeight", QVariant::fromValue<qint32>(p.headerHeight),
                      QVariant::fromValue<qint32>(P::kHeaderHeight));
    // No font object at all is stored like the default: loading gives the control font.
    const QFont startFont = P::controlStartFont();
    bag.WriteProperty("HeaderFont", QVariant(p.headerFont ? *p.headerFont : startFont),
                      QVariant(startFont));
    bag.WriteProperty("Curvature", QVariant::fromValue<qint32>(p.curvature),
                      QVariant::fromValue<qint32>(P::kCurvature));
    bag.WriteProperty("IconResID", p.iconResID, P::noIcon());
}

} // namespace draw
