#include "platform/desktop/PopupWindow.h"

#include <QGuiApplication>

namespace platform {

Qt::WindowFlags popupWindowFlags()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return Qt::Window | Qt::FramelessWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
           | Qt::WindowDoesNotAcceptFocus;
}

} // namespace platform
