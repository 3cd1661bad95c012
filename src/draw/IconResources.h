#pragma once
#include "draw/IconBitmap.h"

#include <QString>
#include <QVariant>

namespace draw {

// Bitmap resources of the program's own executable, kept in the Qt resource
// system compiled into it. A bitmap resource is a file under the prefix
// "/bitmap" whose name is the resource name in capitals:
//   identifier 101 (or the text "101")  ->  ":/bitmap/#101"
//   identifier "Logo"                   ->  ":/bitmap/LOGO"
// (names are matched without regard to case, so they are stored in capitals).
// Its bytes are a 40-byte BitmapInfoHeader with 32 bits per pixel followed by
// 4 x width x |height| bytes of blue, green, red and alpha per pixel; no
// colour table.
class IconResources {
public:
    static constexpr const char *kPrefix = ":/bitmap/";

    // True when the identifier is numeric (an integer, or a text that reads as
    // a number) and equals 0: the "no icon" identifier.
    static bool isNone(const QVariant &identifier);
    // "#" and the number in decimal for a numeric identifier, else its text.
    static QString resourceName(const QVariant &identifier);
    // Where the resource of that identifier lives in the resource system.
    static QString resourcePath(const QVariant &identifier);

    // Loads the bitmap resource of the identifier into `icon`. False when the
    // resource is missing, is not 32 bits per pixel or holds fewer pixel bytes
    // than its header promises; the icon loaded before then stays. Once the
    // resource is accepted the previous icon is replaced; if the new bitmap
    // cannot be made, the result is false and there is no icon.
    static bool LoadIconBitmap(const QVariant &identifier, IconBitmap *icon);
};

} // namespace draw
