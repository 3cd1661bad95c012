#pragma once
#include "platform/AppInfo.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Network.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <functional>
#include <memory>

namespace platform {

// The one seam between the program and the operating system. Every service has a
// production implementation over Qt; tests replace any of them with fakes. The
// file system, the application's facts, the environment and the network need no
// window system and are always there; the services that do (boxes, shell, sound, screen) come from the
// desktop layer, which a program with windows installs at start.
class Platform {
public:
    static MessageBoxes &messages();
    static Shell &shell();
    static Sound &sound();
    static ScreenMetrics &screen();
    static AppInfo &app();
    static FileSystem &files();
    static Environment &environment();
    static Network &network();

    struct Factories {
        std::function<std::unique_ptr<MessageBoxes>()> messages;
        std::function<std::unique_ptr<Shell>()> shell;
        std::function<std::unique_ptr<Sound>()> sound;
        std::function<std::unique_ptr<ScreenMetrics>()> screen;
    };
    // The production services of the window system (see installDesktopServices).
    static void setProduction(Factories factories);

    // Replace a service (tests). Passing nullptr restores the production one.
    static void setMessages(std::unique_ptr<MessageBoxes> service);
    static void setShell(std::unique_ptr<Shell> service);
    static void setSound(std::unique_ptr<Sound> service);
    static void setScreen(std::unique_ptr<ScreenMetrics> service);
    static void setApp(std::unique_ptr<AppInfo> service);
    static void setFiles(std::unique_ptr<FileSystem> service);
    static void setEnvironment(std::unique_ptr<Environment> service);
    static void setNetwork(std::unique_ptr<Network> service);
};

// Shorthand for the common exclamation box with an OK button.
void warningBox(const QString &text, const QString &title = QString());

} // namespace platform
