#include "draw/PropertyBag.h"

#include <QFont>

namespace draw {

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return true;
    default: return false;
    }
}

} // namespace

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    const auto it = m_store->constFind(name);
    return it == m_store->constEnd() ? defaultValue : it.value();
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue)
{
    if (sameValue(value, defaultValue))
        m_store->remove(name);
    else
        m_store->insert(name, value);
}

bool PropertyBag::sameValue(const QVariant &a, const QVariant &b)
{
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    if (a.typeId() == QMetaType::QFont && b.typeId() == QMetaType::QFont)
        return a.value<QFont>() == b.value<QFont>();
    if (a.typeId() != b.typeId())
        return false;
    return a == b;
}

} // namespace draw
