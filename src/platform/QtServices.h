#pragma once
#include "platform/AppInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

namespace platform {

// Production services over Qt.

class QtMessageBoxes : public MessageBoxes {
public:
    MsgAnswer show(const QString &title, const QString &text, MsgIcon icon,
                   MsgButtons buttons) override;
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

class QtAppInfo : public AppInfo {
public:
    int major() const override;
    int minor() const override;
    int revision() const override;
    QString title() const override;
    QString folder() const override;
};

class QtFileSystem : public FileSystem {
public:
    bool findOrdinaryFile(const QString &name) const override;
    bool deleteFile(const QString &name) override;
};

} // namespace platform
