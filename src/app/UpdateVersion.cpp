#include "app/UpdateVersion.h"

namespace app {

std::optional<QList<quint64>> UpdateVersion::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QList<quint64> numbers;
    for (const QString &part : trimmed.split(QLatin1Char('.'))) {
        // Digits only: no signs, blanks or letters inside a number.
        if (part.isEmpty() || part.size() > 9)
            return std::nullopt;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
        numbers.append(part.toULongLong());
    }
    return numbers;
}

bool UpdateVersion::isNewer(const QString &fetched, const QString &current)
{
    const auto latest = parse(fetched);
    const auto mine = parse(current);
    if (!latest || !mine)
        return false;
    const qsizetype parts = qMax(latest->size(), mine->size());
    for (qsizetype i = 0; i < parts; ++i) {
        const quint64 a = latest->value(i, 0);
        const quint64 b = mine->value(i, 0);
        if (a != b)
            return a > b;
    }
    return false;
}

} // namespace app
