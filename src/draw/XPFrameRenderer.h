#pragma once
#include "draw/IconBitmap.h"
#include "draw/XPFrameProperties.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <optional>

namespace draw {

// Paints a framed panel onto its drawing surface (an image the size of the
// control): the body gradient, the header gradient with caption and icon,
// and the one-pixel rounded border, and works out the rounded window outline.
// Each step ends quietly at its first error, keeping what it drew, and the
// next step still runs.
class XPFrameRenderer {
public:
    // `controlFont` is the control's own font: drawing a header makes the
    // header font the control's font.
    XPFrameRenderer(QImage *surface, const XPFrameProperties &props, const IconBitmap &icon,
                    FontRef *controlFont);

    // Clears the surface to `backColor`, then: style 0 draws body, header and
    // border; any other style body and border.
    void Redraw(platform::ColorRef backColor);
    void DrawBody();
    void DrawHeader();
    void DrawBorder();

    // The window outline made by the last DrawBorder; none if it ended early.
    std::optional<QRegion> outline() const { return m_outline; }
    // Where the last DrawHeader put its caption; none if it ended before.
    std::optional<QRect> captionRect() const { return m_captionRect; }

private:
    QImage *m_surface;
    const XPFrameProperties &m_props;
    const IconBitmap &m_icon;
    FontRef *m_controlFont;
    std::optional<QRegion> m_outline;
    std::optional<QRect> m_captionRect;
};

} // namespace draw
