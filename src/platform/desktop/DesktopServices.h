#pragma once
#include "platform/MessageBoxes.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

class QMessageBox;

namespace platform {

// Production services that need the window system.

class QtMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(const QString &title, const QString &text, MsgIcon icon,
                   MsgButtons buttons) override;
    // The box show() opens, not yet shown; the caller owns it.
    static QMessageBox *create(const QString &title, const QString &text, MsgIcon icon,
                               MsgButtons buttons);
};

class QtSound : public Sound {
public:
    bool playAsync(const QString &waveFile) override;
};

class QtScreenMetrics : public ScreenMetrics {
public:
    QSize fullScreenClientSize() const override;
    int twipsPerPixelX() const override;
    int twipsPerPixelY() const override;
};

// Makes these the production services of the platform seam (message boxes,
// shell, sound, screen). Programs with windows call it once at start.
void installDesktopServices();

} // namespace platform
