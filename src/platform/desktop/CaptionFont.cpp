#include "platform/desktop/CaptionFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform {

namespace {

// The dots per inch that 15 twips per pixel stands for.
constexpr qreal kFormDpi = 96.0;
constexpr qreal kPointsPerInch = 72.0;

} // namespace

QString CaptionFont::family() { return QStringLiteral("Liberation Sans Narrow"); }

QFont CaptionFont::ofSize(qreal points, bool bold)
{
    QFont font;
    // Without the narrow face the program still runs; its captions may be cut.
    font.setFamilies(
        {family(), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(qRound(points * kFormDpi / kPointsPerInch));
    font.setBold(bold);
    return font;
}

bool CaptionFont::isInstalled() { return QFontDatabase::families().contains(family()); }

} // namespace platform
