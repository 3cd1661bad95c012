#include "platform/CoreServices.h"
#include "platform/WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

QString localName(const QString &name)
{
    return QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool writeWith(const QString &name, const QByteArray &content, QIODevice::OpenMode mode,
               QString *error)
{
    QFile file(localName(name));
    if (file.open(mode) && file.write(content) == content.size() && file.flush()) {
        file.close();
        return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

// The names in a folder, "." and ".." left out.
bool namesIn(const QByteArray &folder, QList<QByteArray> *names)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names->append(name);
        errno = 0;
    }
    const bool read = errno == 0;
    ::closedir(dir);
    return read;
}

// Deletes what lies at the path, a folder with everything in it; a link goes,
// never what it points to. True when nothing is left there.
bool removeAt(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.constData()) == 0 || errno == ENOENT;
    QList<QByteArray> names;
    bool ok = namesIn(path, &names);
    for (const QByteArray &name : names)
        ok = removeAt(path + '/' + name) && ok;
    return (::rmdir(path.constData()) == 0 || errno == ENOENT) && ok;
}

// A new file `to` with the bytes of the file `from`, never through a link.
bool copyFile(const QByteArray &from, const QByteArray &to, mode_t mode)
{
    const int in = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out =
        ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode & 0777);
    bool ok = out >= 0;
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            ok = w > 0;
            done += w;
        }
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0)
        ok = false;
    if (!ok && out >= 0)
        ::unlink(to.constData());
    return ok;
}

class QtOpenFile : public OpenFile {
public:
    explicit QtOpenFile(const QString &name)
        : m_file(name)
    {}
    bool open()
    {
        return m_file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    QString errorString() const { return m_file.errorString(); }
    bool write(const QByteArray &content) override
    {
        // The position stays at the end: one system call per write.
        return m_file.write(content) == content.size();
    }
    QByteArray readAt(qint64 offset, qint64 size) override
    {
        const QByteArray part = m_file.seek(offset) ? m_file.read(size) : QByteArray();
        m_file.seek(m_file.size());
        return part;
    }
    bool cutTo(qint64 size) override { return m_file.resize(size) && m_file.seek(size); }

private:
    QFile m_file;
};

class QtScratchFile : public ScratchFile {
public:
    explicit QtScratchFile(const QString &name)
        : m_file(name)
    {}
    bool open()
    {
        return m_file.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered,
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QString errorString() const override { return m_file.errorString(); }
    bool write(const QByteArray &content) override
    {
        return m_file.seek(m_file.size()) && m_file.write(content) == content.size();
    }
    QByteArray readAt(qint64 offset, qint64 size) override
    {
        return m_file.seek(offset) ? m_file.read(size) : QByteArray();
    }
    bool cutTo(qint64 size) override { return m_file.resize(size); }

private:
    QFile m_file;
};

} // namespace

int QtAppInfo::major() const { return ZORVANE_VERSION_MAJOR; }
int QtAppInfo::minor() const { return ZORVANE_VERSION_MINOR; }
int QtAppInfo::revision() const { return ZORVANE_VERSION_PATCH; }
QString QtAppInfo::title() const { return QStringLiteral("Zorvane"); }
QString QtAppInfo::folder() const { return QCoreApplication::applicationDirPath(); }
QString QtAppInfo::workFolder() const { return WorkFolder::current(); }

bool QtFileSystem::findOrdinaryFile(const QString &name) const
{
    // Names match without regard to case, and hidden (dot) files, folders and
    // special files never match.
    const QFileInfo info(localName(name));
    QDir dir(info.path());
    const QFileInfoList found =
        dir.entryInfoList(QStringList{info.fileName()}, QDir::Files | QDir::NoDotAndDotDot);
    return !found.isEmpty();
}

bool QtFileSystem::exists(const QString &name) const { return QFileInfo::exists(localName(name)); }

bool QtFileSystem::isFile(const QString &name) const { return QFileInfo(localName(name)).isFile(); }

qint64 QtFileSystem::fileSize(const QString &name) const
{
    const QFileInfo info(localName(name));
    return info.isFile() ? info.size() : -1;
}

bool QtFileSystem::readFile(const QString &name, QByteArray *content, QString *error) const
{
    QFile file(localName(name));
    if (file.open(QIODevice::ReadOnly)) {
        *content = file.readAll();
        if (file.error() == QFile::NoError)
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

bool QtFileSystem::readPart(const QString &name, qint64 offset, qint64 size,
                            QByteArray *content) const
{
    QFile file(localName(name));
    if (offset < 0 || size < 0 || !file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return false;
    *content = file.read(size);
    return file.error() == QFile::NoError;
}

bool QtFileSystem::writeFile(const QString &name, const QByteArray &content, QString *error)
{
    return writeWith(name, content, QIODevice::WriteOnly | QIODevice::Truncate, error);
}

bool QtFileSystem::appendFile(const QString &name, const QByteArray &content, QString *error)
{
    return writeWith(name, content, QIODevice::WriteOnly | QIODevice::Append, error);
}

std::unique_ptr<OpenFile> QtFileSystem::openNew(const QString &name, QString *error)
{
    auto file = std::make_unique<QtOpenFile>(localName(name));
    if (file->open())
        return file;
    if (error)
        *error = file->errorString();
    return nullptr;
}

std::unique_ptr<ScratchFile> QtFileSystem::createPrivate(const QString &name, QString *error)
{
    auto file = std::make_unique<QtScratchFile>(localName(name));
    if (file->open())
        return file;
    if (error)
        *error = file->errorString();
    return nullptr;
}

bool QtFileSystem::deleteFile(const QString &name) { return QFile::remove(localName(name)); }

QByteArray QtEnvironment::variable(const char *name) const { return qgetenv(name); }

bool QtEnvironment::isSet(const char *name) const { return qEnvironmentVariableIsSet(name); }

void QtEnvironment::setVariable(const char *name, const QByteArray &value) { qputenv(name, value); }

QtNetwork::~QtNetwork()
{
    // Replies still on their way finish their events first.
    if (m_manager)
        m_manager->deleteLater();
}

QNetworkReply *QtNetwork::send(const QNetworkRequest &request, const QByteArray &operation)
{
    if (!m_manager)
        m_manager = new QNetworkAccessManager(QCoreApplication::instance());
    return m_manager->sendCustomRequest(request, operation);
}

FileSystem::Entry QtFileSystem::entryAt(const QByteArray &path, qint64 *size) const
{
    struct stat st {};
    if (path.isEmpty() || path.contains('\0') || ::lstat(path.constData(), &st) != 0)
        return Entry::None;
    if (size)
        *size = st.st_size;
    if (S_ISREG(st.st_mode))
        return Entry::File;
    return S_ISDIR(st.st_mode) ? Entry::Folder : Entry::Other;
}

bool QtFileSystem::readChunks(const QByteArray &path, qint64 chunk,
                              const std::function<bool(const QByteArray &)> &take) const
{
    if (path.isEmpty() || path.contains('\0') || chunk <= 0)
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    QByteArray buffer(int(std::min<qint64>(chunk, 1 << 30)), Qt::Uninitialized);
    while (ok) {
        const ssize_t got = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = take(QByteArray::fromRawData(buffer.constData(), qsizetype(got)));
    }
    ::close(fd);
    return ok;
}

bool QtFileSystem::rename(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(localName(from));
    const QByteArray target = QFile::encodeName(localName(to));
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0)
        return false;
    return ::rename(source.constData(), target.constData()) == 0;
}

bool QtFileSystem::removeTree(const QString &name)
{
    // By the names' bytes: a backup's names need not be valid text.
    const QByteArray path = QFile::encodeName(localName(name));
    return !path.isEmpty() && removeAt(path);
}

bool QtFileSystem::removeEmptyFolder(const QString &name) { return QDir().rmdir(localName(name)); }

bool QtFileSystem::folderNames(const QByteArray &folder, QList<QByteArray> *names) const
{
    return !folder.isEmpty() && !folder.contains('\0') && namesIn(folder, names);
}

bool QtFileSystem::makeFolder(const QByteArray &path)
{
    return !path.isEmpty() && !path.contains('\0') && ::mkdir(path.constData(), 0700) == 0;
}

bool QtFileSystem::linkOrCopy(const QByteArray &from, const QByteArray &to)
{
    if (from.isEmpty() || to.isEmpty() || from.contains('\0') || to.contains('\0'))
        return false;
    if (::link(from.constData(), to.constData()) == 0)
        return true;
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return false;
    if (S_ISREG(st.st_mode))
        return copyFile(from, to, st.st_mode);
    if (!S_ISLNK(st.st_mode))
        return false;
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(from.constData(), target.data(), size_t(target.size()));
    return n > 0 && n < target.size()
           && ::symlink(target.left(int(n)).constData(), to.constData()) == 0;
}

bool QtFileSystem::replaceFileAt(const QByteArray &from, const QByteArray &to)
{
    if (entryAt(from, nullptr) != Entry::File)
        return false;
    const Entry there = entryAt(to, nullptr);
    return (there == Entry::None || there == Entry::File)
           && ::rename(from.constData(), to.constData()) == 0;
}

bool QtFileSystem::deleteFileAt(const QByteArray &path)
{
    return entryAt(path, nullptr) == Entry::File && ::unlink(path.constData()) == 0;
}

FileSystem::Link QtFileSystem::hardLink(const QByteArray &from, const QByteArray &to)
{
    if (from.isEmpty() || to.isEmpty() || from.contains('\0') || to.contains('\0')
        || entryAt(from, nullptr) != Entry::File)
        return Link::Failed;
    if (::link(from.constData(), to.constData()) == 0)
        return Link::Made;
    // FAT and exFAT answer EPERM; some network disks EOPNOTSUPP.
    return errno == EPERM || errno == EOPNOTSUPP || errno == ENOTSUP ? Link::Unsupported
                                                                      : Link::Failed;
}

bool QtFileSystem::sameContent(const QByteArray &a, const QByteArray &b) const
{
    // By bytes, as stored: names from a device need not be valid UTF-8.
    const int x = ::open(a.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const int y = x < 0 ? -1 : ::open(b.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat sx {}, sy {};
    bool same = y >= 0 && ::fstat(x, &sx) == 0 && ::fstat(y, &sy) == 0 && S_ISREG(sx.st_mode)
                && S_ISREG(sy.st_mode) && sx.st_size == sy.st_size;
    // One pair of buffers for every comparison on this thread: two fresh
    // megabytes a call, zeroed and faulted in, took longer than the reads
    // over a backup's 20,000 files.
    constexpr size_t kPiece = 1 << 20;
    thread_local std::vector<char> p(kPiece), q(kPiece);
    while (same) {
        const ssize_t n = ::read(x, p.data(), kPiece);
        if (n <= 0) {
            same = n == 0 && ::read(y, q.data(), 1) == 0;
            break;
        }
        ssize_t got = 0;
        while (got < n) {
            const ssize_t m = ::read(y, q.data() + got, size_t(n - got));
            if (m <= 0)
                break;
            got += m;
        }
        same = got == n && std::equal(p.begin(), p.begin() + n, q.begin());
    }
    if (y >= 0)
        ::close(y);
    if (x >= 0)
        ::close(x);
    return same;
}

bool QtFileSystem::sameFile(const QByteArray &a, const QByteArray &b) const
{
    struct stat x {}, y {};
    return ::lstat(a.constData(), &x) == 0 && ::lstat(b.constData(), &y) == 0
           && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

qint64 QtFileSystem::modifiedAt(const QByteArray &path) const
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 ? qint64(st.st_mtime) : -1;
}

} // namespace platform
