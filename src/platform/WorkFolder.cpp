#include "platform/WorkFolder.h"
#include "platform/CompanionLinks.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {

const QString kFolderName = QStringLiteral("Zorvane");

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// mkdir -p with mode 0700 for every folder it makes.
QString makePath(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    int from = 1;
    while (true) {
        const int slash = clean.indexOf(QLatin1Char('/'), from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        const QByteArray path = QFile::encodeName(part);
        if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST)
            return systemError(errno);
        if (slash < 0)
            return {};
        from = slash + 1;
    }
}

// The temporary folder is shared with every user: the folder there must be a
// real folder of this user, closed to everyone else.
QString checkPrivate(const QString &folder)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return systemError(errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IRWXG | S_IRWXO)))
        return QStringLiteral("it belongs to someone else or is open to other users");
    return {};
}

bool othersMayWrite(const struct stat &st) { return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

// Whether the access list kept in the extended attribute attribute of path
// gives anyone but its owner one of the rights in rights (4 read, 2 write,
// 1 search). The list is the kernel's binary form: a little-endian 32-bit
// version (2), then 8-byte entries of a 16-bit kind, 16-bit rights and
// 32-bit user or group id. The mask entry is not taken as a limit: any chmod
// of the group bits lifts it, so an entry naming someone else counts as it
// reads. A file system without access lists has none.
bool accessListOpensTo(const QByteArray &path, const char *attribute, unsigned rights, uid_t owner)
{
    unsigned char list[4 + 8 * 64];
    const ssize_t size = ::getxattr(path.constData(), attribute, list, sizeof list);
    if (size < 0)
        return errno == ERANGE; // that many entries name others: not trusted
    const auto number = [&](int at, int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | list[at + i];
        return value;
    };
    if (size < 4 || number(0, 4) != 2 || (size - 4) % 8 != 0)
        return size != 0; // a form this code does not know is not trusted
    enum : std::uint32_t { OwnerEntry = 0x01, UserEntry = 0x02, MaskEntry = 0x10 };
    for (int at = 4; at < size; at += 8) {
        const std::uint32_t kind = number(at, 2);
        if (kind == OwnerEntry || kind == MaskEntry
            || (kind == UserEntry && number(at + 4, 4) == owner))
            continue;
        if (number(at + 2, 2) & rights)
            return true;
    }
    return false;
}

// What an access list on path lets other users do that its mode bits may not
// show: change it, or (for a folder's default list, which files made in it
// inherit) read or change the job scripts written there.
QString accessListProblem(const QString &path, const struct stat &st, bool withDefault)
{
    const QByteArray name = QFile::encodeName(path);
    if (accessListOpensTo(name, "system.posix_acl_access", 2, st.st_uid))
        return QStringLiteral("an access list lets other users change it");
    if (withDefault && accessListOpensTo(name, "system.posix_acl_default", 6, st.st_uid))
        return QStringLiteral(
            "an access list lets other users read or change the files made in it");
    return {};
}

} // namespace

QString WorkFolder::s_entered;
QString WorkFolder::s_refusal;

QString WorkFolder::checkOwnership(const QString &folder) { return checkFolder(folder, false); }

QString WorkFolder::checkProgramFolder(const QString &programFolder)
{
    return checkFolder(programFolder, true);
}

QString WorkFolder::checkFolder(const QString &folder, bool rootMayOwn)
{
    // Job scripts holding the device's password are written there and the
    // programs they run are looked for there first: nobody else may be able
    // to plant or change a file in it.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        return QStringLiteral("it cannot be found");
    struct stat st {};
    if (::stat(QFile::encodeName(canonical).constData(), &st) != 0)
        return systemError(errno);
    if (st.st_uid != ::geteuid() && !(rootMayOwn && st.st_uid == 0))
        return QStringLiteral("it belongs to another user");
    // The list first: a list naming someone else also opens the mode bits.
    const QString listed = accessListProblem(canonical, st, !rootMayOwn);
    if (!listed.isEmpty())
        return listed;
    if (othersMayWrite(st))
        return QStringLiteral("other users can write to it");
    // A folder above it that others may change lets them swap this one,
    // unless it is sticky (as /tmp is), where they can only change their own.
    QString above = canonical;
    while (above != QLatin1String("/")) {
        above = QFileInfo(above).path();
        if (::stat(QFile::encodeName(above).constData(), &st) != 0)
            return systemError(errno);
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return QStringLiteral("the folder \"%1\" above it belongs to another user").arg(above);
        if (st.st_mode & S_ISVTX)
            continue;
        if (othersMayWrite(st))
            return QStringLiteral("other users can write to the folder \"%1\" above it").arg(above);
        if (!accessListProblem(above, st, false).isEmpty())
            return QStringLiteral("an access list lets other users change the folder \"%1\" "
                                  "above it")
                .arg(above);
    }
    return {};
}

bool WorkFolder::ownFolderIsUsable(const QString &programFolder)
{
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    if (canonical.isEmpty() || canonical.startsWith(QLatin1String("/usr/")))
        return false;
    const QByteArray path = QFile::encodeName(canonical);
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))
           && ::access(path.constData(), W_OK | X_OK) == 0 && checkOwnership(canonical).isEmpty();
}

QString WorkFolder::perUserFolder()
{
    QString data = QString::fromLocal8Bit(Platform::environment().variable("XDG_DATA_HOME"));
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QLatin1Char('/') + kFolderName);
}

QString WorkFolder::fallbackFolder()
{
    return QDir::cleanPath(QDir::tempPath() + QLatin1Char('/') + kFolderName + QLatin1Char('-')
                           + QString::number(::geteuid()));
}

QString WorkFolder::prepare(const QString &folder)
{
    const QString made = makePath(folder);
    if (!made.isEmpty())
        return made;
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return systemError(errno);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("a file of that name is in the way");
    if (::access(path.constData(), R_OK | W_OK | X_OK) != 0)
        return systemError(errno);
    return {};
}

QString WorkFolder::enter(const QString &programFolder)
{
    s_refusal.clear();
    if (ownFolderIsUsable(programFolder)) {
        settle(programFolder);
        return programFolder;
    }
    QStringList problems;
    const QString folder = usableUserFolder(programFolder, &problems);
    if (folder != programFolder) {
        // The links lead into the program's folder: whoever may change it
        // may change what the jobs run.
        const QString programProblem = checkProgramFolder(programFolder);
        if (!programProblem.isEmpty()) {
            s_refusal = QStringLiteral("Zorvane will not run jobs with the programs in its folder "
                                       "\"%1\": %2, so they could replace what the jobs run. "
                                       "No job can run until that folder is yours or the "
                                       "system's alone; make it so and start Zorvane again.")
                            .arg(programFolder, programProblem);
            problems.append(s_refusal);
        }
        const QStringList unlinked = CompanionLinks::refresh(programFolder, folder);
        if (!unlinked.isEmpty())
            problems.append(QStringLiteral("Zorvane could not place these files of its own in "
                                           "its working folder \"%1\", so jobs that need them "
                                           "will fail: %2")
                                .arg(folder, unlinked.join(QStringLiteral(", "))));
    }
    // The folder is entered first: the program works there while the user reads.
    settle(folder);
    if (!problems.isEmpty())
        warningBox(problems.join(QStringLiteral("\r\n\r\n")));
    return folder;
}

QString WorkFolder::refusal() { return s_refusal; }

QString WorkFolder::current() { return s_entered.isEmpty() ? QDir::currentPath() : s_entered; }

// Enters the folder; what the program names relative to the current folder
// lands there, so that is the folder it reports.
void WorkFolder::settle(const QString &folder)
{
    QDir::setCurrent(folder);
    s_entered = QDir::currentPath();
}

QString WorkFolder::usableUserFolder(const QString &programFolder, QStringList *problems)
{
    const QString wanted = perUserFolder();
    const QString wantedProblem = prepare(wanted);
    const QString ownershipProblem = wantedProblem.isEmpty() ? checkOwnership(wanted) : QString();
    if (wantedProblem.isEmpty() && ownershipProblem.isEmpty())
        return wanted;

    const QString fallback = fallbackFolder();
    QString fallbackProblem = prepare(fallback);
    if (fallbackProblem.isEmpty())
        fallbackProblem = checkPrivate(fallback);
    // The temporary folder named by TMPDIR may be anyone's: a folder above
    // that others may change lets them swap the fallback for their own.
    if (fallbackProblem.isEmpty())
        fallbackProblem = checkOwnership(fallback);
    if (!wantedProblem.isEmpty())
        problems->append(QStringLiteral("Zorvane could not create its working folder \"%1\" (%2).")
                             .arg(wanted, wantedProblem));
    else
        problems->append(QStringLiteral("Zorvane will not work in \"%1\": %2, and the job scripts "
                                        "kept there hold your device's password.")
                             .arg(wanted, ownershipProblem));
    if (fallbackProblem.isEmpty()) {
        problems->append(QStringLiteral("For now, job scripts and backups are kept in \"%1\", "
                                        "which the computer may empty when it restarts: copy a "
                                        "backup you want to keep somewhere safe.")
                             .arg(fallback));
        return fallback;
    }
    const QString ownProblem = checkOwnership(programFolder);
    if (ownProblem.isEmpty()) {
        problems->append(QStringLiteral("\"%1\" cannot be used either (%2), so the jobs cannot "
                                        "save their scripts or a backup. Make \"%3\" a folder "
                                        "you can write to and start Zorvane again.")
                             .arg(fallback, fallbackProblem, wanted));
        return programFolder;
    }
    // The last resort is no better: scripts holding the password would be
    // written, and programs looked for, where others can plant their own.
    s_refusal = QStringLiteral("Zorvane will not work in its own folder \"%1\" either: %2. No "
                               "job can run until \"%3\" is a folder of yours alone; make it "
                               "so and start Zorvane again.")
                    .arg(programFolder, ownProblem, wanted);
    problems->append(
        QStringLiteral("\"%1\" cannot be used either (%2).").arg(fallback, fallbackProblem));
    problems->append(s_refusal);
    return programFolder;
}

} // namespace platform
