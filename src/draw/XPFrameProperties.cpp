#include "draw/XPFrameProperties.h"

namespace draw {

QFont XPFrameProperties::controlStartFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

} // namespace draw
