#include "draw/PropertyBag.h"
#include "draw/VariantNumber.h"

#include <QFont>

namespace draw {

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
    if (holdsNumber(a) && holdsNumber(b))
        return a.toDouble() == b.toDouble();
    if (a.typeId() == QMetaType::QFont && b.typeId() == QMetaType::QFont)
        return a.value<QFont>() == b.value<QFont>();
    if (a.typeId() != b.typeId())
        return false;
    return a == b;
}

} // namespace draw
