#pragma once
#include "platform/desktop/SystemColors.h"

#include <QFont>
#include <QString>
#include <QVariant>
#include <memory>

namespace draw {

// A font object shared by reference: whoever holds it sees changes made
// through any other holder.
using FontRef = std::shared_ptr<QFont>;

// The framed panel's fields with the start values of a newly placed control.
// Colours are 0x00BBGGRR values, or system colours (high bit set), turned into
// concrete colours only when drawn. No field checks its range.
struct XPFrameProperties {
    static constexpr qint16 kHeaderAngle = 180;
    static constexpr qint16 kBackAngle = 180;
    static constexpr qint32 kStyle = 0;
    static constexpr platform::ColorRef kHeaderLightColor = 0xF7E0D3;
    static constexpr platform::ColorRef kHeaderDarkColor = 0xEDC5A7;
    static constexpr platform::ColorRef kBackLightColor = 0xFCF4EF;
    static constexpr platform::ColorRef kBackDarkColor = 0xFAE8DC;
    static constexpr platform::ColorRef kBorderColor = 0xDCC1AD;
    static constexpr platform::ColorRef kTextColor = 0x7B2D02;
    static constexpr qint32 kHeaderHeight = 25;
    static constexpr qint32 kCaptionAlignment = 0;
    static constexpr qint32 kCurvature = 10;
    static QString defaultCaption() { return QStringLiteral("XPFrame"); }
    // The "no icon" identifier: the 16-bit integer 0.
    static QVariant noIcon() { return QVariant::fromValue<qint16>(0); }
    // The control's own font as placed: Tahoma, 8.25 points, bold.
    static QFont controlStartFont();

    qint16 headerAngle = kHeaderAngle;
    qint16 backAngle = kBackAngle;
    qint32 style = kStyle; // 0: header, caption and icon; else body only
    platform::ColorRef headerLightColor = kHeaderLightColor;
    platform::ColorRef headerDarkColor = kHeaderDarkColor;
    platform::ColorRef backLightColor = kBackLightColor;
    platform::ColorRef backDarkColor = kBackDarkColor;
    platform::ColorRef borderColor = kBorderColor;
    platform::ColorRef textColor = kTextColor;
    QString caption = defaultCaption();
    qint32 headerHeight = kHeaderHeight; // pixels
    FontRef headerFont;
    qint32 captionAlignment = kCaptionAlignment; // 0 left, 2 centred, any other right
    qint32 curvature = kCurvature;               // corner ellipse width and height, pixels
    QVariant iconResID = noIcon();               // integer or text; 0: no icon
};

} // namespace draw
