#include "platform/Platform.h"
#include "platform/QtServices.h"
#include "platform/QtShell.h"

namespace platform {

namespace {

template <typename Service, typename Production>
struct Slot {
    std::unique_ptr<Service> service;
    Service &get()
    {
        if (!service)
            service = std::make_unique<Production>();
        return *service;
    }
};

Slot<MessageBoxes, QtMessageBoxes> g_messages;
Slot<Shell, QtShell> g_shell;
Slot<Sound, QtSound> g_sound;
Slot<ScreenMetrics, QtScreenMetrics> g_screen;
Slot<AppInfo, QtAppInfo> g_app;
Slot<FileSystem, QtFileSystem> g_files;

} // namespace

MessageBoxes &Platform::messages() { return g_messages.get(); }
Shell &Platform::shell() { return g_shell.get(); }
Sound &Platform::sound() { return g_sound.get(); }
ScreenMetrics &Platform::screen() { return g_screen.get(); }
AppInfo &Platform::app() { return g_app.get(); }
FileSystem &Platform::files() { return g_files.get(); }

void Platform::setMessages(std::unique_ptr<MessageBoxes> s) { g_messages.service = std::move(s); }
void Platform::setShell(std::unique_ptr<Shell> s) { g_shell.service = std::move(s); }
void Platform::setSound(std::unique_ptr<Sound> s) { g_sound.service = std::move(s); }
void Platform::setScreen(std::unique_ptr<ScreenMetrics> s) { g_screen.service = std::move(s); }
void Platform::setApp(std::unique_ptr<AppInfo> s) { g_app.service = std::move(s); }
void Platform::setFiles(std::unique_ptr<FileSystem> s) { g_files.service = std::move(s); }

void warningBox(const QString &text, const QString &title)
{
    Platform::messages().show(title.isNull() ? Platform::app().title() : title, text,
                              MsgIcon::Exclamation, MsgButtons::Ok);
}

} // namespace platform
