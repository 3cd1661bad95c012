#include "support/FolderFixture.h"

#include <QDir>

FolderFixture::FolderFixture()
    : m_own(std::make_unique<QTemporaryDir>())
{
    if (!m_own->isValid()) {
        m_error = QStringLiteral("no temporary folder: %1").arg(m_own->errorString());
        return;
    }
    m_path = m_own->path();
    enter();
}

FolderFixture::FolderFixture(const QString &folder)
    : m_path(folder)
{
    enter();
}

FolderFixture::~FolderFixture()
{
    if (m_fakes.app)
        fake::restore();
    // Out of the folder before it goes.
    QDir::setCurrent(QDir::tempPath());
}

QString FolderFixture::file(const QString &name) const { return QDir(m_path).filePath(name); }

void FolderFixture::enter()
{
    if (!QDir::setCurrent(m_path)) {
        m_error = QStringLiteral("cannot enter %1").arg(m_path);
        return;
    }
    m_fakes = fake::install();
    m_fakes.app->dir = m_path;
    m_fakes.app->work = m_path;
}

ScopedCurrentFolder::ScopedCurrentFolder(const QString &folder)
    : m_before(QDir::currentPath())
    , m_entered(QDir::setCurrent(folder))
{}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    if (m_entered)
        QDir::setCurrent(m_before);
}

ScopedVariables::~ScopedVariables()
{
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->set)
            qputenv(it->name.constData(), it->value);
        else
            qunsetenv(it->name.constData());
    }
}

void ScopedVariables::save(const char *name)
{
    for (const Saved &saved : m_saved) {
        if (saved.name == name)
            return;
    }
    m_saved.append({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
}

void ScopedVariables::set(const char *name, const QByteArray &value)
{
    save(name);
    qputenv(name, value);
}

void ScopedVariables::unset(const char *name)
{
    save(name);
    qunsetenv(name);
}
