#pragma once
#include "platform/CoreServices.h"
#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QNetworkRequest>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <functional>

// Test stand-ins for the platform services. install() puts a fresh set in place
// and returns handles that stay valid until the next install() or restore().
namespace fake {

struct ShownBox {
    QString title;
    QString text;
    platform::MsgIcon icon;
    platform::MsgButtons buttons;
};

// Stand-in for modal message boxes: records each box and answers at once.
class MessageBoxes : public platform::MessageBoxes {
public:
    platform::MsgAnswer show(const QString &title, const QString &text, platform::MsgIcon icon,
                             platform::MsgButtons buttons) override;
    QList<ShownBox> shown;
    // Answers given in turn; when empty, the box's default button (its first,
    // Ok or Yes..., or No for a question whose default is No).
    QList<platform::MsgAnswer> answers;
    // Called while the box is "open" (after it is recorded, before it answers).
    std::function<void(const ShownBox &)> onShow;
};

struct ShellStart {
    QString file;
    platform::WindowStyle style;
};

// Stand-in for the shell: records what would have been started.
class Shell : public platform::Shell {
public:
    bool start(const QString &file, platform::WindowStyle style) override;
    bool canShowConsoleWindow() const override { return consoleWindow; }
    // Records the folder that would have opened in the file manager.
    bool openFolder(const QString &folder) override
    {
        openedFolders.append(folder);
        return result;
    }
    QStringList openedFolders;
    QList<ShellStart> started;
    bool result = true;
    bool consoleWindow = true; // a terminal program is there
    std::function<void(const ShellStart &)> onStart;
};

// Stand-in for the sound card: records the files asked for.
class Sound : public platform::Sound {
public:
    bool playAsync(const QString &waveFile) override;
    QStringList played;
};

// Stand-in for the screen: a fixed full-screen client size.
class ScreenMetrics : public platform::ScreenMetrics {
public:
    QSize fullScreenClientSize() const override { return size; }
    int twipsPerPixelX() const override { return 15; }
    int twipsPerPixelY() const override { return 15; }
    QSize size{1024, 738};
};

// Version numbers and folders chosen by the test.
class AppInfo : public platform::AppInfo {
public:
    int major() const override { return maj; }
    int minor() const override { return min; }
    int revision() const override { return rev; }
    QString title() const override { return QStringLiteral("Zorvane"); }
    QString folder() const override { return dir; }
    QString workFolder() const override { return work; }
    int maj = 1, min = 0, rev = 5;
    QString dir;
    QString work;
};

// The environment the program reads: the variables the test (or the program)
// set here, over the process's own as it is at each read; what is set here
// never reaches the real one. A variable named in `unset` and not set here
// reads as unset.
class Environment : public platform::Environment {
public:
    QByteArray variable(const char *name) const override;
    bool isSet(const char *name) const override;
    void setVariable(const char *name, const QByteArray &value) override;
    QHash<QByteArray, QByteArray> variables;
    QSet<QByteArray> unset;
};

struct SentRequest {
    QNetworkRequest request;
    QByteArray operation;
};

// Stand-in for the network: records every request and hands it on to the
// machine's own network stack (the tests' servers listen on loopback).
class Network : public platform::QtNetwork {
public:
    QNetworkReply *send(const QNetworkRequest &request, const QByteArray &operation) override;
    QList<SentRequest> sent;
};

// The real disk, with a record of every name the program wrote, appended to,
// opened anew, created for itself or deleted, in order ("write X", "append X",
// "open X", "create X", "delete X").
class FileSystem : public platform::QtFileSystem {
public:
    bool writeFile(const QString &name, const QByteArray &content, QString *error) override;
    bool appendFile(const QString &name, const QByteArray &content, QString *error) override;
    std::unique_ptr<platform::OpenFile> openNew(const QString &name, QString *error) override;
    std::unique_ptr<platform::ScratchFile> createPrivate(const QString &name,
                                                         QString *error) override;
    bool deleteFile(const QString &name) override;
    QStringList changes;
    // Called with each change as it is recorded.
    std::function<void(const QString &)> onChange;

private:
    void record(const QString &change);
};

struct Services {
    MessageBoxes *messages;
    Shell *shell;
    Sound *sound;
    ScreenMetrics *screen;
    AppInfo *app;
    FileSystem *files;
    Environment *environment;
    Network *network;
};

// Installs fakes for message boxes, shell, sound, screen, app info and the
// environment, and the recording file system and network. The app's folder
// and working folder default to the current folder.
Services install();
// Puts the production services back.
void restore();

} // namespace fake
