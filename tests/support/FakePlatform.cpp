#include "support/FakePlatform.h"

#include <QDir>

namespace fake {

platform::MsgAnswer MessageBoxes::show(const QString &title, const QString &text,
                                       platform::MsgIcon icon, platform::MsgButtons buttons)
{
    shown.append({title, text, icon, buttons});
    if (onShow)
        onShow(shown.last());
    if (!answers.isEmpty())
        return answers.takeFirst();
    switch (buttons) {
    case platform::MsgButtons::AbortRetryIgnore: return platform::MsgAnswer::Abort;
    case platform::MsgButtons::YesNoCancel:
    case platform::MsgButtons::YesNo: return platform::MsgAnswer::Yes;
    case platform::MsgButtons::RetryCancel: return platform::MsgAnswer::Retry;
    default: return platform::MsgAnswer::Ok;
    }
}

bool Shell::start(const QString &file, platform::WindowStyle style)
{
    started.append({file, style});
    if (onStart)
        onStart(started.last());
    return result;
}

bool Sound::playAsync(const QString &waveFile)
{
    played.append(waveFile);
    return true;
}

Services install()
{
    Services s{new MessageBoxes, new Shell, new Sound, new ScreenMetrics, new AppInfo};
    s.app->dir = QDir::currentPath();
    platform::Platform::setMessages(std::unique_ptr<platform::MessageBoxes>(s.messages));
    platform::Platform::setShell(std::unique_ptr<platform::Shell>(s.shell));
    platform::Platform::setSound(std::unique_ptr<platform::Sound>(s.sound));
    platform::Platform::setScreen(std::unique_ptr<platform::ScreenMetrics>(s.screen));
    platform::Platform::setApp(std::unique_ptr<platform::AppInfo>(s.app));
    return s;
}

void restore()
{
    platform::Platform::setMessages(nullptr);
    platform::Platform::setShell(nullptr);
    platform::Platform::setSound(nullptr);
    platform::Platform::setScreen(nullptr);
    platform::Platform::setApp(nullptr);
}

} // namespace fake
