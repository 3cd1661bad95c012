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
    case platform::MsgButtons::YesNoDefaultNo: return platform::MsgAnswer::No;
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

void FileSystem::record(const QString &change)
{
    changes.append(change);
    if (onChange)
        onChange(change);
}

bool FileSystem::writeFile(const QString &name, const QByteArray &content, QString *error)
{
    record(QStringLiteral("write ") + name);
    return QtFileSystem::writeFile(name, content, error);
}

bool FileSystem::appendFile(const QString &name, const QByteArray &content, QString *error)
{
    record(QStringLiteral("append ") + name);
    return QtFileSystem::appendFile(name, content, error);
}

std::unique_ptr<platform::OpenFile> FileSystem::openNew(const QString &name, QString *error)
{
    record(QStringLiteral("open ") + name);
    return QtFileSystem::openNew(name, error);
}

std::unique_ptr<platform::ScratchFile> FileSystem::createPrivate(const QString &name,
                                                                 QString *error)
{
    record(QStringLiteral("create ") + name);
    return QtFileSystem::createPrivate(name, error);
}

bool FileSystem::deleteFile(const QString &name)
{
    record(QStringLiteral("delete ") + name);
    return QtFileSystem::deleteFile(name);
}

QByteArray Environment::variable(const char *name) const
{
    const auto set = variables.constFind(name);
    if (set != variables.constEnd())
        return *set;
    return unset.contains(name) ? QByteArray() : qgetenv(name);
}

bool Environment::isSet(const char *name) const
{
    return variables.contains(name) || (!unset.contains(name) && qEnvironmentVariableIsSet(name));
}

void Environment::setVariable(const char *name, const QByteArray &value)
{
    unset.remove(name);
    variables.insert(QByteArray(name), value);
}

QNetworkReply *Network::send(const QNetworkRequest &request, const QByteArray &operation)
{
    sent.append({request, operation});
    return QtNetwork::send(request, operation);
}

Services install()
{
    Services s{new MessageBoxes, new Shell,      new Sound,       new ScreenMetrics,
               new AppInfo,      new FileSystem, new Environment, new Network};
    s.app->dir = QDir::currentPath();
    s.app->work = s.app->dir;
    platform::Platform::setMessages(std::unique_ptr<platform::MessageBoxes>(s.messages));
    platform::Platform::setShell(std::unique_ptr<platform::Shell>(s.shell));
    platform::Platform::setSound(std::unique_ptr<platform::Sound>(s.sound));
    platform::Platform::setScreen(std::unique_ptr<platform::ScreenMetrics>(s.screen));
    platform::Platform::setApp(std::unique_ptr<platform::AppInfo>(s.app));
    platform::Platform::setFiles(std::unique_ptr<platform::FileSystem>(s.files));
    platform::Platform::setEnvironment(std::unique_ptr<platform::Environment>(s.environment));
    platform::Platform::setNetwork(std::unique_ptr<platform::Network>(s.network));
    return s;
}

void restore()
{
    platform::Platform::setMessages(nullptr);
    platform::Platform::setShell(nullptr);
    platform::Platform::setSound(nullptr);
    platform::Platform::setScreen(nullptr);
    platform::Platform::setApp(nullptr);
    platform::Platform::setFiles(nullptr);
    platform::Platform::setEnvironment(nullptr);
    platform::Platform::setNetwork(nullptr);
}

} // namespace fake
