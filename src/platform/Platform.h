#pragma once
#include "platform/AppInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <memory>

namespace platform {

// The one seam between the program and the operating system. Every service has a
// production implementation over Qt; tests replace any of them with fakes.
class Platform {
public:
    static MessageBoxes &messages();
    static Shell &shell();
    static Sound &sound();
    static ScreenMetrics &screen();
    static AppInfo &app();
    static FileSystem &files();

    // Replace a service (tests). Passing nullptr restores the production one.
    static void setMessages(std::unique_ptr<MessageBoxes> service);
    static void setShell(std::unique_ptr<Shell> service);
    static void setSound(std::unique_ptr<Sound> service);
    static void setScreen(std::unique_ptr<ScreenMetrics> service);
    static void setApp(std::unique_ptr<AppInfo> service);
    static void setFiles(std::unique_ptr<FileSystem> service);
};

// Shorthand for the common exclamation box with an OK button.
void warningBox(const QString &text, const QString &title = QString());

} // namespace platform
