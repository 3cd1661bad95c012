#include "platform/Platform.h"
#include "platform/CoreServices.h"

#include <QtGlobal>

namespace platform {

namespace {

// A service in use, and how to make the production one when none is set.
template <typename Service>
struct Slot {
    std::unique_ptr<Service> service;
    std::function<std::unique_ptr<Service>()> production;
    const char *name;

    Service &get()
    {
        if (!service) {
            // A program that shows windows installs the desktop services first;
            // reaching here without them is a fault of the program, not the user.
            if (!production)
                qFatal("Zorvane: no %s service is installed", name);
            service = production();
        }
        return *service;
    }
};

Slot<MessageBoxes> g_messages{nullptr, nullptr, "message box"};
Slot<Shell> g_shell{nullptr, nullptr, "shell"};
Slot<Sound> g_sound{nullptr, nullptr, "sound"};
Slot<ScreenMetrics> g_screen{nullptr, nullptr, "screen"};
Slot<AppInfo> g_app{nullptr, [] { return std::unique_ptr<AppInfo>(new QtAppInfo); }, "app"};
Slot<FileSystem> g_files{nullptr, [] { return std::unique_ptr<FileSystem>(new QtFileSystem); },
                         "file system"};
Slot<Environment> g_environment{
    nullptr, [] { return std::unique_ptr<Environment>(new QtEnvironment); }, "environment"};
Slot<Network> g_network{nullptr, [] { return std::unique_ptr<Network>(new QtNetwork); }, "network"};

} // namespace

MessageBoxes &Platform::messages() { return g_messages.get(); }
Shell &Platform::shell() { return g_shell.get(); }
Sound &Platform::sound() { return g_sound.get(); }
ScreenMetrics &Platform::screen() { return g_screen.get(); }
AppInfo &Platform::app() { return g_app.get(); }
FileSystem &Platform::files() { return g_files.get(); }
Environment &Platform::environment() { return g_environment.get(); }
Network &Platform::network() { return g_network.get(); }

void Platform::setProduction(Factories factories)
{
    g_messages.production = std::move(factories.messages);
    g_shell.production = std::move(factories.shell);
    g_sound.production = std::move(factories.sound);
    g_screen.production = std::move(factories.screen);
}

void Platform::setMessages(std::unique_ptr<MessageBoxes> s) { g_messages.service = std::move(s); }
void Platform::setShell(std::unique_ptr<Shell> s) { g_shell.service = std::move(s); }
void Platform::setSound(std::unique_ptr<Sound> s) { g_sound.service = std::move(s); }
void Platform::setScreen(std::unique_ptr<ScreenMetrics> s) { g_screen.service = std::move(s); }
void Platform::setApp(std::unique_ptr<AppInfo> s) { g_app.service = std::move(s); }
void Platform::setFiles(std::unique_ptr<FileSystem> s) { g_files.service = std::move(s); }
void Platform::setEnvironment(std::unique_ptr<Environment> s)
{
    g_environment.service = std::move(s);
}
void Platform::setNetwork(std::unique_ptr<Network> s) { g_network.service = std::move(s); }

void warningBox(const QString &text, const QString &title)
{
    Platform::messages().show(title.isNull() ? Platform::app().title() : title, text,
                              MsgIcon::Exclamation, MsgButtons::Ok);
}

} // namespace platform
