#pragma once
#include <QMetaType>
#include <QVariant>

namespace draw {

// True when the value holds one of the numeric types (not text that reads as
// a number): what the property bag and the icon identifiers take as numbers.
inline bool holdsNumber(const QVariant &value)
{
    switch (value.typeId()) {
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

} // namespace draw
