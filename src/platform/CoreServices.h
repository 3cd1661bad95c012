#pragma once
#include "platform/AppInfo.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/Network.h"

#include <QPointer>

class QNetworkAccessManager;

namespace platform {

// Production services that need no window system.

class QtAppInfo : public AppInfo {
public:
    int major() const override;
    int minor() const override;
    int revision() const override;
    QString title() const override;
    QString folder() const override;
    QString workFolder() const override;
};

class QtFileSystem : public FileSystem {
public:
    bool findOrdinaryFile(const QString &name) const override;
    bool exists(const QString &name) const override;
    bool isFile(const QString &name) const override;
    qint64 fileSize(const QString &name) const override;
    bool readFile(const QString &name, QByteArray *content, QString *error) const override;
    bool readPart(const QString &name, qint64 offset, qint64 size,
                  QByteArray *content) const override;
    bool writeFile(const QString &name, const QByteArray &content, QString *error) override;
    bool appendFile(const QString &name, const QByteArray &content, QString *error) override;
    std::unique_ptr<OpenFile> openNew(const QString &name, QString *error) override;
    std::unique_ptr<ScratchFile> createPrivate(const QString &name, QString *error) override;
    bool deleteFile(const QString &name) override;
    Entry entryAt(const QByteArray &path, qint64 *size) const override;
    bool readChunks(const QByteArray &path, qint64 chunk,
                    const std::function<bool(const QByteArray &)> &take) const override;
    bool rename(const QString &from, const QString &to) override;
    bool removeTree(const QString &name) override;
    bool removeEmptyFolder(const QString &name) override;
    bool folderNames(const QByteArray &folder, QList<QByteArray> *names) const override;
    bool makeFolder(const QByteArray &path) override;
    bool linkOrCopy(const QByteArray &from, const QByteArray &to) override;
    bool replaceFileAt(const QByteArray &from, const QByteArray &to) override;
    bool deleteFileAt(const QByteArray &path) override;
    Link hardLink(const QByteArray &from, const QByteArray &to) override;
    bool sameContent(const QByteArray &a, const QByteArray &b) const override;
    bool sameFile(const QByteArray &a, const QByteArray &b) const override;
    qint64 modifiedAt(const QByteArray &path) const override;
};

class QtEnvironment : public Environment {
public:
    QByteArray variable(const char *name) const override;
    bool isSet(const char *name) const override;
    void setVariable(const char *name, const QByteArray &value) override;
};

class QtNetwork : public Network {
public:
    ~QtNetwork() override;
    QNetworkReply *send(const QNetworkRequest &request, const QByteArray &operation) override;

private:
    // Made at the first request and owned by the application, so that it goes
    // before the application's event machinery does.
    QPointer<QNetworkAccessManager> m_manager;
};

} // namespace platform
