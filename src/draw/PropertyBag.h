#pragma once
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace draw {

// The host's stored form of a control: named values in a map the host keeps
// (and may save, for example with QSettings). Reading gives the stored value
// or the default; writing a value equal to its default leaves the key out, so
// the stored form holds only what differs from the defaults.
class PropertyBag {
public:
    explicit PropertyBag(QVariantMap *store)
        : m_store(store)
    {}

    QVariant ReadProperty(const QString &name, const QVariant &defaultValue) const;
    // A value equal to the default removes any earlier value of that key, so
    // a stored form written into a reused map never keeps a stale value.
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue);

    // Numbers compare by value whatever their type; fonts by their attributes;
    // everything else as variants.
    static bool sameValue(const QVariant &a, const QVariant &b);

private:
    QVariantMap *m_store;
};

} // namespace draw
