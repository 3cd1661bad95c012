#include "draw/XPFrameRenderer.h"

#include "draw/CheckedMath.h"
#include "draw/ClippedImageSurface.h"
#include "draw/ColorTranslation.h"
#include "draw/ControlError.h"
#include "draw/FrameGradient.h"
#include "draw/IconBlend.h"
#include "draw/RoundRectRegion.h"

#include <QFontMetricsF>
#include <QPainter>
#include <new>

namespace draw {

namespace {

std::int32_t translated(platform::ColorRef color)
{
    return std::int32_t(ColorTranslation::TranslateColor(color));
}

} // namespace

XPFrameRenderer::XPFrameRenderer(QImage *surface, const XPFrameProperties &props,
                                 const IconBitmap &icon, FontRef *controlFont)
    : m_surface(surface)
    , m_props(props)
    , m_icon(icon)
    , m_controlFont(controlFont)
{}

void XPFrameRenderer::Redraw(platform::ColorRef backColor)
{
    m_surface->fill(toQColor(ColorTranslation::TranslateColor(backColor)));
    DrawBody();
    if (m_props.style == 0)
        DrawHeader();
    DrawBorder();
}

void XPFrameRenderer::DrawBody()
{
    try {
        ClippedImageSurface hDC(m_surface);
        FrameGradient::DrawGradient(hDC, m_surface->width(), m_surface->height(),
                                    translated(m_props.backLightColor),
                                    translated(m_props.backDarkColor), m_props.backAngle);
    } catch (const ControlError &) {
    } catch (const std::bad_alloc &) {
    }
}

void XPFrameRenderer::DrawHeader()
{
    m_captionRect.reset();
    try {
        const int W = m_surface->width();
        const std::int32_t headerHeight = m_props.headerHeight;
        ClippedImageSurface hDC(m_surface);
        FrameGradient::DrawGradient(hDC, W, headerHeight, translated(m_props.headerLightColor),
                                    translated(m_props.headerDarkColor), m_props.headerAngle);

        if (!m_props.headerFont) // a header font set to no object
            throw ControlError(91,
                               QStringLiteral("Object variable or With block variable not set"));
        *m_controlFont = m_props.headerFont;
        const QFont font = *m_props.headerFont;
        const QFontMetricsF metrics(font, m_surface);
        const QSizeF text = metrics.size(0, m_props.caption);
        const std::int32_t th = checked::roundToLong(text.height());
        const std::int32_t tw = checked::roundToLong(text.width());
        const QColor textColor = toQColor(ColorTranslation::TranslateColor(m_props.textColor));
        const double widthOfA = metrics.horizontalAdvance(QStringLiteral("A"));
        const std::int32_t aw = checked::roundToLong(widthOfA);

        std::int32_t x;
        if (m_props.captionAlignment == 2)
            x = checked::roundToLong((W - text.width()) / 2);
        else if (m_props.captionAlignment == 0)
            x = m_icon.exists() ? checked::roundToLong(widthOfA + headerHeight) : aw;
        else
            x = checked::roundToLong(W - text.width() - aw);
        const std::int32_t y = checked::roundToLong((double(headerHeight) - text.height()) / 2);
        const std::int32_t right = checked::add(x, tw);
        const std::int32_t bottom = checked::add(y, th);

        // Left-aligned at the top of the caption box and clipped to it: the
        // box alone places the caption.
        const QRect box(QPoint(x, y), QPoint(right - 1, bottom - 1));
        m_captionRect = QRect(QPoint(x, y), QSize(tw, th));
        QPainter painter(m_surface);
        painter.setFont(font);
        painter.setPen(textColor);
        painter.setClipRect(box);
        painter.drawText(QRectF(x, y, tw, th), Qt::AlignLeft | Qt::AlignTop, m_props.caption);
        painter.end();

        if (m_icon.exists())
            IconBlend::DrawIconBitmap(m_surface, m_icon, 2, 2);
    } catch (const ControlError &) {
    } catch (const std::bad_alloc &) {
    }
}

void XPFrameRenderer::DrawBorder()
{
    m_outline.reset();
    try {
        const QColor color = toQColor(ColorTranslation::TranslateColor(m_props.borderColor));
        const std::int32_t k = m_props.curvature;
        const std::int32_t W = m_surface->width(), H = m_surface->height();
        const QRegion outer =
            RoundRectRegion::create(0, 0, checked::add(W, 1), checked::add(H, 1), k, k);
        const QRegion inner = RoundRectRegion::create(1, 1, W, H, k, k);
        const QRegion ring = outer.xored(inner);
        QPainter painter(m_surface);
        for (const QRect &r : ring)
            painter.fillRect(r, color);
        painter.end();
        m_outline = outer;
    } catch (const ControlError &) {
    } catch (const std::bad_alloc &) {
    }
}

} // namespace draw
