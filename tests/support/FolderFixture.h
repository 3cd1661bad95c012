#pragma once
#include "support/FakePlatform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// The part of the shared set-up that needs no window and no device: a folder
// made the current folder and the fakes' program and working folder, with the
// platform fakes installed. Going, it puts the production services back,
// leaves the folder and removes it when it is its own.
class FolderFixture {
public:
    // An empty temporary folder of the fixture's own.
    FolderFixture();
    // A folder the caller made and keeps.
    explicit FolderFixture(const QString &folder);
    ~FolderFixture();
    FolderFixture(const FolderFixture &) = delete;
    FolderFixture &operator=(const FolderFixture &) = delete;

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }
    QString file(const QString &name) const;
    fake::Services &fakes() { return m_fakes; }

private:
    void enter();

    std::unique_ptr<QTemporaryDir> m_own;
    QString m_path;
    QString m_error;
    fake::Services m_fakes{};
};

// A folder made the current one while this stands, for a step that works in
// another folder than the suite's; going, it returns to the folder before.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const QString &folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder &) = delete;
    ScopedCurrentFolder &operator=(const ScopedCurrentFolder &) = delete;

    bool entered() const { return m_entered; }

private:
    QString m_before;
    bool m_entered = false;
};

// Environment variables changed while this stands; going, each is put back as
// it was before its first change, set or unset.
class ScopedVariables {
public:
    ScopedVariables() = default;
    ~ScopedVariables();
    ScopedVariables(const ScopedVariables &) = delete;
    ScopedVariables &operator=(const ScopedVariables &) = delete;

    void set(const char *name, const QByteArray &value);
    void unset(const char *name);

private:
    struct Saved {
        QByteArray name;
        bool set;
        QByteArray value;
    };
    void save(const char *name);

    QList<Saved> m_saved;
};
