#include "draw/ControlError.h"

namespace draw {

ControlError::ControlError(int number, const QString &description)
    : m_number(number)
    , m_description(description)
    , m_what(QByteArray::number(number) + ": " + description.toUtf8())
{}

ControlError ControlError::overflow() { return ControlError(6, QStringLiteral("Overflow")); }

ControlError ControlError::outOfMemory()
{
    return ControlError(7, QStringLiteral("Out of memory"));
}

ControlError ControlError::subscriptOutOfRange()
{
    return ControlError(9, QStringLiteral("Subscript out of range"));
}

ControlError ControlError::typeMismatch()
{
    return ControlError(13, QStringLiteral("Type mismatch"));
}

} // namespace draw
