#pragma once
#include "draw/PropertyBag.h"
#include "draw/XPFrameProperties.h"

namespace draw {

// Loads and saves the framed panel's fields in the host's property bag under
// the keys "HeaderAngle", "BackAngle", "HeaderLightColor", "HeaderDarkColor",
// "BackLightColor", "BackDarkColor", "BorderColor", "TextColor", "Caption",
// "Style", "Curvature", "CaptionAlignment", "HeaderHeight", "HeaderFont" and
// "IconResID". Angles are 16-bit integers, colours and the other numbers
// 32-bit integers (colours as signed values), the caption text, the header
// font a QFont value, the icon identifier whatever it was set to.
class XPFramePropertyStore {
public:
    // Reads every key (absent keys give the start values; an absent
    // "HeaderFont" gives `controlFont` itself) and converts each value to its
    // field's type. A value that does not convert throws ControlError (6
    // "Overflow" or 13 "Type mismatch") to the host; the fields read before it
    // keep their new values.
    static void Read(const PropertyBag &bag, XPFrameProperties *props, const FontRef &controlFont);
    // Writes every field; a field equal to its start value is left out. The
    // header font counts as default when its attributes equal the control's
    // start font.
    static void Write(PropertyBag &bag, const XPFrameProperties &props);
};

} // namespace draw
