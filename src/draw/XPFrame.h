#pragma once
#include "draw/DrawSurface.h"
#include "draw/IconBitmap.h"
#include "draw/PropertyBag.h"
#include "draw/XPFrameProperties.h"

#include <QImage>
#include <QRect>
#include <QWidget>
#include <optional>

namespace draw {

// An XP-style framed panel any window can place: a rounded rectangle with a
// one-pixel border, a gradient body and, with Style 0, a header strip with its
// own gradient, a caption and an alpha-blended icon.
//
// The control paints onto a surface of its own that keeps what was last drawn
// (surface()); painting the widget only shows that surface. Every property
// setter stores the value, emits PropertyChanged with the property's name (so
// the host knows its stored form is out of date) and redraws. The corners
// outside the rounded outline are cut away with a widget mask.
//
// Life cycle, as a host drives it: the constructor initialises the control
// with its start values at the designed size of 235 x 180 pixels;
// UserControl_InitProperties (placed anew) or UserControl_ReadProperties
// (loaded from the host's property bag); UserControl_WriteProperties when
// the host saves. Showing and resizing redraw and emit Resize; the destructor
// releases the icon.
//
// Icons: IconResID names a bitmap resource compiled into the executable (see
// IconResources.h for names, e.g. 101 -> ":/bitmap/#101"). A resource that
// cannot be loaded makes the setter throw ControlError 1000 "Resource ID not
// found or resource file not compiled".
class XPFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignedWidth = 235;  // 3525 twips
    static constexpr int kDesignedHeight = 180; // 2700 twips
    static constexpr int kIconError = 1000;
    static const char *const kIconErrorText;
    // The colour the surface is cleared to before each drawing: button face.
    static constexpr platform::ColorRef kBackColor = 0x8000000F;

    explicit XPFrame(QWidget *parent = nullptr);
    ~XPFrame() override;

    qint16 HeaderAngle() const { return m_props.headerAngle; }
    void setHeaderAngle(qint16 New_HeaderAngle);
    qint16 BackAngle() const { return m_props.backAngle; }
    void setBackAngle(qint16 New_BackAngle);
    ColorRef BackDarkColor() const { return m_props.backDarkColor; }
    void setBackDarkColor(ColorRef New_BackDarkColor);
    ColorRef BackLightColor() const { return m_props.backLightColor; }
    void setBackLightColor(ColorRef New_BackLightColor);
    ColorRef BorderColor() const { return m_props.borderColor; }
    void setBorderColor(ColorRef New_BorderColor);
    QString Caption() const { return m_props.caption; }
    void setCaption(const QString &New_Caption);
    ColorRef HeaderDarkColor() const { return m_props.headerDarkColor; }
    void setHeaderDarkColor(ColorRef New_HeaderDarkColor);
    ColorRef HeaderLightColor() const { return m_props.headerLightColor; }
    void setHeaderLightColor(ColorRef New_HeaderLightColor);
    qint32 Style() const { return m_props.style; }
    void setStyle(qint32 New_Style);
    ColorRef TextColor() const { return m_props.textColor; }
    void setTextColor(ColorRef New_TextColor);
    qint32 HeaderHeight() const { return m_props.headerHeight; }
    void setHeaderHeight(qint32 vNewHeight);
    // The font object itself: changes made to it show at the next redraw.
    FontRef HeaderFont() const { return m_props.headerFont; }
    void setHeaderFont(const FontRef &vNewHeaderFont);
    qint32 CaptionAlignment() const { return m_props.captionAlignment; }
    void setCaptionAlignment(qint32 vNewAlignment);
    // An integer or a text; 0 removes the icon. Throws ControlError 1000 when
    // no 32-bit bitmap resource of that identifier can be loaded; the new
    // identifier stays stored, nothing is redrawn and no PropertyChanged is sent.
    QVariant IconResID() const { return m_props.iconResID; }
    void setIconResID(const QVariant &vNewIconResID);
    qint32 Curvature() const { return m_props.curvature; }
    void setCurvature(qint32 vNewCurvature);

    // Paints the framed panel's gradient into hDC (see FrameGradient).
    void DrawGradient(DrawSurface &hDC, qint32 lWidth, qint32 lHeight, qint32 lCol1, qint32 lCol2,
                      float zAngle);
    // Repaints the whole control onto its surface and sets its outline.
    void Redraw();

    void UserControl_Initialize();
    void UserControl_InitProperties();
    // A value that cannot be converted throws ControlError to the host. An
    // icon that cannot be loaded leaves the control without one, silently.
    void UserControl_ReadProperties(PropertyBag &PropBag);
    void UserControl_WriteProperties(PropertyBag &PropBag);
    void UserControl_Show();
    void UserControl_Resize();
    void UserControl_Terminate();
    void UserControl_Click();
    void UserControl_MouseDown(short Button, short Shift, float X, float Y);
    void UserControl_MouseMove(short Button, short Shift, float X, float Y);
    void UserControl_MouseUp(short Button, short Shift, float X, float Y);

    // What the control last drew, before its outline cuts the corners.
    const QImage &surface() const { return m_surface; }
    bool hasIcon() const { return m_icon.exists(); }
    // The control's own font; after a header is drawn it is the header font.
    FontRef ControlFont() const { return m_controlFont; }
    // Where the last redraw put the caption, if it drew one.
    std::optional<QRect> captionRect() const { return m_captionRect; }

signals:
    void PropertyChanged(const QString &PropertyName);
    void Click();
    void Resize();
    // Button: 1 left, 2 right, 4 middle (for MouseMove the buttons held);
    // Shift: 1 Shift, 2 Ctrl, 4 Alt; X, Y: position in the control's pixels.
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void changed(const QString &name);

    XPFrameProperties m_props;
    FontRef m_controlFont;
    IconBitmap m_icon;
    QImage m_surface;
    std::optional<QRect> m_captionRect;
    Qt::MouseButtons m_pressed;
};

} // namespace draw
