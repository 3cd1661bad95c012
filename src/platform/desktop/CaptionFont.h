#pragma once
#include <QFont>
#include <QString>

namespace platform {

// The face every window draws its captions in, standing in for the forms'
// "LucidaMAC", which no Linux system has. Liberation Sans Narrow (Debian's
// fonts-liberation, installed by scripts/install-deps) is the installed face
// whose captions fit their controls whole at the forms' sizes, from the
// 975-twip pane buttons to the 255-twip utility buttons.
//
// Sizes are given in points at the 96 dpi the twips geometry assumes and are
// set in pixels, so captions keep their size relative to their controls on any
// screen. The face is named explicitly, with wider installed faces after it,
// so the choice never rests on fontconfig's fallback for an unknown family.
class CaptionFont {
public:
    static QString family();
    // 8.25 points for the main window, the alerts and the completion programs,
    // 9.75 bold for the About window.
    static QFont ofSize(qreal points, bool bold = false);
    // True when the face itself, not a stand-in after it, is installed.
    static bool isInstalled();
};

} // namespace platform
