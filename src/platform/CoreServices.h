#pragma once
#include "platform/AppInfo.h"
#include "platform/FileSystem.h"

namespace platform {

// Production services that need no window system.

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
    bool exists(const QString &name) const override;
    bool isFile(const QString &name) const override;
    qint64 fileSize(const QString &name) const override;
    bool readFile(const QString &name, QByteArray *content, QString *error) const override;
    bool writeFile(const QString &name, const QByteArray &content, QString *error) override;
    bool appendFile(const QString &name, const QByteArray &content, QString *error) override;
    std::unique_ptr<OpenFile> openNew(const QString &name, QString *error) override;
    bool deleteFile(const QString &name) override;
    bool makeFolder(const QString &name) override;
    Entry entryAt(const QByteArray &path, qint64 *size) const override;
    bool rename(const QString &from, const QString &to) override;
    bool removeTree(const QString &name) override;
    bool removeEmptyFolder(const QString &name) override;
};

} // namespace platform
