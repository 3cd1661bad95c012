#include "draw/XPFrame.h"

#include "draw/ControlError.h"
#include "draw/FrameGradient.h"
#include "draw/IconResources.h"
#include "draw/XPFramePropertyStore.h"
#include "draw/XPFrameRenderer.h"

#include <QMouseEvent>
#include <QPainter>

namespace draw {

namespace {

short buttonMask(Qt::MouseButtons buttons)
{
    short mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

short shiftMask(Qt::KeyboardModifiers modifiers)
{
    short mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

} // namespace

const char *const XPFrame::kIconErrorText = "Resource ID not found or resource file not compiled";

XPFrame::XPFrame(QWidget *parent)
    : QWidget(parent)
{
    UserControl_Initialize();
}

XPFrame::~XPFrame() { UserControl_Terminate(); }

void XPFrame::changed(const QString &name)
{
    emit PropertyChanged(name);
    Redraw();
}

void XPFrame::setHeaderAngle(qint16 New_HeaderAngle)
{
    m_props.headerAngle = New_HeaderAngle;
    changed(QStringLiteral("HeaderAngle"));
}

void XPFrame::setBackAngle(qint16 New_BackAngle)
{
    m_props.backAngle = New_BackAngle;
    changed(QStringLiteral("BackAngle"));
}

void XPFrame::setBackDarkColor(ColorRef New_BackDarkColor)
{
    m_props.backDarkColor = New_BackDarkColor;
    changed(QStringLiteral("BackDarkColor"));
}

void XPFrame::setBackLightColor(ColorRef New_BackLightColor)
{
    m_props.backLightColor = New_BackLightColor;
    changed(QStringLiteral("BackLightColor"));
}

void XPFrame::setBorderColor(ColorRef New_BorderColor)
{
    m_props.borderColor = New_BorderColor;
    changed(QStringLiteral("BorderColor"));
}

void XPFrame::setCaption(const QString &New_Caption)
{
    m_props.caption = New_Caption;
    changed(QStringLiteral("Caption"));
}

void XPFrame::setHeaderDarkColor(ColorRef New_HeaderDarkColor)
{
    m_props.headerDarkColor = New_HeaderDarkColor;
    changed(QStringLiteral("HeaderDarkColor"));
}

void XPFrame::setHeaderLightColor(ColorRef New_HeaderLightColor)
{
    m_props.headerLightColor = New_HeaderLightColor;
    changed(QStringLiteral("HeaderLightColor"));
}

void XPFrame::setStyle(qint32 New_Style)
{
    m_props.style = New_Style;
    changed(QStringLiteral("Style"));
}

void XPFrame::setTextColor(ColorRef New_TextColor)
{
    m_props.textColor = New_TextColor;
    changed(QStringLiteral("TextColor"));
}

void XPFrame::setHeaderHeight(qint32 vNewHeight)
{
    m_props.headerHeight = vNewHeight;
    changed(QStringLiteral("HeaderHeight"));
}

void XPFrame::setHeaderFont(const FontRef &vNewHeaderFont)
{
    m_props.headerFont = vNewHeaderFont;
    changed(QStringLiteral("HeaderFont"));
}

void XPFrame::setCaptionAlignment(qint32 vNewAlignment)
{
    m_props.captionAlignment = vNewAlignment;
    changed(QStringLiteral("CaptionAlignment"));
}

void XPFrame::setCurvature(qint32 vNewCurvature)
{
    m_props.curvature = vNewCurvature;
    changed(QStringLiteral("Curvature"));
}

void XPFrame::setIconResID(const QVariant &vNewIconResID)
{
    m_props.iconResID = vNewIconResID;
    if (IconResources::isNone(vNewIconResID)) {
        m_icon.Release();
        Redraw();
    } else {
        const bool hadIcon = m_icon.exists();
        if (!IconResources::LoadIconBitmap(vNewIconResID, &m_icon)) {
            // An accepted resource whose bitmap could not be made has taken
            // the old icon with it: show that before reporting.
            if (hadIcon && !m_icon.exists())
                Redraw();
            throw ControlError(kIconError, QString::fromLatin1(kIconErrorText));
        }
        Redraw();
    }
    emit PropertyChanged(QStringLiteral("IconResID"));
}

void XPFrame::DrawGradient(DrawSurface &hDC, qint32 lWidth, qint32 lHeight, qint32 lCol1,
                           qint32 lCol2, float zAngle)
{
    FrameGradient::DrawGradient(hDC, lWidth, lHeight, lCol1, lCol2, zAngle);
}

void XPFrame::Redraw()
{
    if (m_surface.size() != size()) {
        m_surface = QImage(size(), QImage::Format_RGB32);
        // 96 dots per inch: the control font's 8.25 points are 11 pixels.
        m_surface.setDotsPerMeterX(3780);
        m_surface.setDotsPerMeterY(3780);
    }
    if (m_surface.isNull())
        return;
    XPFrameRenderer renderer(&m_surface, m_props, m_icon, &m_controlFont);
    renderer.Redraw(kBackColor);
    m_captionRect = renderer.captionRect();
    if (m_controlFont)
        setFont(*m_controlFont);
    if (const auto outline = renderer.outline())
        setMask(*outline);
    update();
}

void XPFrame::UserControl_Initialize()
{
    m_controlFont = std::make_shared<QFont>(XPFrameProperties::controlStartFont());
    setFont(*m_controlFont);
    setMouseTracking(true); // MouseMove also while no button is held
    resize(kDesignedWidth, kDesignedHeight);
    UserControl_InitProperties();
}

void XPFrame::UserControl_InitProperties()
{
    m_props = XPFrameProperties();
    m_props.headerFont = m_controlFont;
}

void XPFrame::UserControl_ReadProperties(PropertyBag &PropBag)
{
    XPFramePropertyStore::Read(PropBag, &m_props, m_controlFont);
    if (!IconResources::isNone(m_props.iconResID))
        IconResources::LoadIconBitmap(m_props.iconResID, &m_icon);
}

void XPFrame::UserControl_WriteProperties(PropertyBag &PropBag)
{
    XPFramePropertyStore::Write(PropBag, m_props);
}

void XPFrame::UserControl_Show() { UserControl_Resize(); }

void XPFrame::UserControl_Resize()
{
    Redraw();
    emit Resize();
}

void XPFrame::UserControl_Terminate() { m_icon.Release(); }

void XPFrame::UserControl_Click() { emit Click(); }

void XPFrame::UserControl_MouseDown(short Button, short Shift, float X, float Y)
{
    emit MouseDown(Button, Shift, X, Y);
}

void XPFrame::UserControl_MouseMove(short Button, short Shift, float X, float Y)
{
    emit MouseMove(Button, Shift, X, Y);
}

void XPFrame::UserControl_MouseUp(short Button, short Shift, float X, float Y)
{
    emit MouseUp(Button, Shift, X, Y);
}

void XPFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}

void XPFrame::resizeEvent(QResizeEvent *) { UserControl_Resize(); }

void XPFrame::showEvent(QShowEvent *) { UserControl_Show(); }

void XPFrame::mousePressEvent(QMouseEvent *event)
{
    m_pressed |= event->button();
    UserControl_MouseDown(buttonMask(event->button()), shiftMask(event->modifiers()),
                          float(event->position().x()), float(event->position().y()));
}

void XPFrame::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event); // the second press of a double click is a press too
}

void XPFrame::mouseMoveEvent(QMouseEvent *event)
{
    UserControl_MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()),
                          float(event->position().x()), float(event->position().y()));
}

void XPFrame::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed.testFlag(event->button());
    m_pressed &= ~event->button();
    UserControl_MouseUp(buttonMask(event->button()), shiftMask(event->modifiers()),
                        float(event->position().x()), float(event->position().y()));
    // A press and release of the same button over the control is a click.
    if (wasPressed && rect().contains(event->position().toPoint()))
        UserControl_Click();
}

} // namespace draw
