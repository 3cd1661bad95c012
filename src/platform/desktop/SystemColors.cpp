#include "platform/desktop/SystemColors.h"

#include <QApplication>
#include <QPalette>

namespace platform {

namespace {

ColorRef toColorRef(const QColor &c)
{
    return ColorRef(c.red()) | (ColorRef(c.green()) << 8) | (ColorRef(c.blue()) << 16);
}

} // namespace

ColorRef sysColor(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 0: return toColorRef(pal.color(QPalette::Mid));       // scroll bar
    case 1: return toColorRef(pal.color(QPalette::Window));    // desktop background
    case 2: return toColorRef(pal.color(QPalette::Highlight)); // active caption
    case 3:
        return toColorRef(pal.color(QPalette::Inactive, QPalette::Highlight)); // inactive caption
    case 4: return toColorRef(pal.color(QPalette::Window));                    // menu bar
    case 5: return toColorRef(pal.color(QPalette::Base));                      // window background
    case 6: return toColorRef(pal.color(QPalette::Shadow));                    // window frame
    case 7: return toColorRef(pal.color(QPalette::WindowText));                // menu text
    case 8: return toColorRef(pal.color(QPalette::Text));                      // window text
    case 9: return toColorRef(pal.color(QPalette::HighlightedText));           // caption text
    case 10: return toColorRef(pal.color(QPalette::Window));                   // active border
    case 11: return toColorRef(pal.color(QPalette::Window));                   // inactive border
    case 12: return toColorRef(pal.color(QPalette::Dark));            // application workspace
    case 13: return toColorRef(pal.color(QPalette::Highlight));       // highlight
    case 14: return toColorRef(pal.color(QPalette::HighlightedText)); // highlight text
    case 15: return toColorRef(pal.color(QPalette::Button));          // button face
    case 16: return toColorRef(pal.color(QPalette::Dark));            // button shadow
    case 17: return toColorRef(pal.color(QPalette::Disabled, QPalette::Text)); // grey text
    case 18: return toColorRef(pal.color(QPalette::ButtonText));               // button text
    case 19: return toColorRef(pal.color(QPalette::Inactive, QPalette::HighlightedText));
    case 20: return toColorRef(pal.color(QPalette::Light));       // 3-D highlight
    case 21: return toColorRef(pal.color(QPalette::Shadow));      // 3-D dark shadow
    case 22: return toColorRef(pal.color(QPalette::Midlight));    // 3-D light
    case 23: return toColorRef(pal.color(QPalette::ToolTipText)); // tooltip text
    case 24: return toColorRef(pal.color(QPalette::ToolTipBase)); // tooltip background
    default: return 0;
    }
}

} // namespace platform
