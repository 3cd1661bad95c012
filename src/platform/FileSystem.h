#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace platform {

// A file held open for writing at its end; each write reaches the system at
// once, so a program ended by force loses nothing it wrote.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    virtual bool write(const QByteArray &content) = 0;
    // At most `size` bytes from `offset`; empty at the end or on failure.
    // Writes still go to the end.
    virtual QByteArray readAt(qint64 offset, qint64 size) = 0;
    // Keeps the first `size` bytes; later writes go on from there.
    virtual bool cutTo(qint64 size) = 0;
};

// A file the program made for itself alone, held open to be written at its
// end and read back.
class ScratchFile : public OpenFile {
public:
    // Why the last write or read failed.
    virtual QString errorString() const = 0;
};

// Every file and folder the program touches, relative to the current folder.
// Names may use either folder separator.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a search for the name finds an ordinary file: not hidden, not a
    // system entry, not a folder.
    virtual bool findOrdinaryFile(const QString &name) const = 0;
    // True when a file or folder of that name exists.
    virtual bool exists(const QString &name) const = 0;
    // True when the name is an ordinary file (not a folder).
    virtual bool isFile(const QString &name) const = 0;
    // The file's size in bytes; -1 when it is not an ordinary file.
    virtual qint64 fileSize(const QString &name) const = 0;
    // Reads the whole file. On failure returns false and sets *error.
    virtual bool readFile(const QString &name, QByteArray *content, QString *error) const = 0;
    // Reads at most size bytes from offset on (fewer at the file's end);
    // false when the file cannot be read.
    virtual bool readPart(const QString &name, qint64 offset, qint64 size,
                          QByteArray *content) const = 0;
    // Creates or truncates the file and writes the content whole. On failure
    // returns false and sets *error to the system's reason.
    virtual bool writeFile(const QString &name, const QByteArray &content, QString *error) = 0;
    // Adds the content at the end of the file, creating it when missing.
    virtual bool appendFile(const QString &name, const QByteArray &content, QString *error) = 0;
    // Creates or truncates the file and keeps it open for writing; null (and
    // *error set) when it cannot be written.
    virtual std::unique_ptr<OpenFile> openNew(const QString &name, QString *error) = 0;
    // Creates the file anew, readable and writable by this user only, and
    // keeps it open; null (and *error set) when the name is taken or the file
    // cannot be made. Never writes through what already lies there.
    virtual std::unique_ptr<ScratchFile> createPrivate(const QString &name, QString *error) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool deleteFile(const QString &name) = 0;
    // What lies at exactly this path, its bytes as the system stores them: no
    // folder separator is translated and a link is not followed (a link is
    // Other). For data whose names come from elsewhere, such as a device's
    // list of its files, where "\\" is a letter of a name.
    enum class Entry { None, File, Folder, Other };
    virtual Entry entryAt(const QByteArray &path, qint64 *size) const = 0;
    // Reads the ordinary file at exactly this path (a link is not followed)
    // from its beginning, handing each piece of at most `chunk` bytes to
    // `take` in order; stops when `take` returns false. False when the file
    // cannot be opened or read, or `take` stopped the reading.
    virtual bool readChunks(const QByteArray &path, qint64 chunk,
                            const std::function<bool(const QByteArray &)> &take) const = 0;
    // Renames a file or folder in one step that either happens or does not;
    // never over an existing name.
    virtual bool rename(const QString &from, const QString &to) = 0;
    // Deletes a file, or a folder with everything in it (links go, not what
    // they point to); true when nothing of it is left.
    virtual bool removeTree(const QString &name) = 0;
    // Deletes an empty folder; false when it is not empty or not there.
    virtual bool removeEmptyFolder(const QString &name) = 0;

    // Paths as bytes, as in entryAt: for trees whose names come from elsewhere.
    // The names in a folder, without "." and ".."; false when it cannot be read.
    virtual bool folderNames(const QByteArray &folder, QList<QByteArray> *names) const = 0;
    // Makes a folder that only this user can enter; false when it cannot.
    virtual bool makeFolder(const QByteArray &path) = 0;
    // Gives what lies at `from` a second name `to` (a hard link, or a copy of a
    // file or a link where the system cannot link); a link is never followed.
    virtual bool linkOrCopy(const QByteArray &from, const QByteArray &to) = 0;
    // Renames the file `from` to `to` in one step, over a file that lies at
    // `to` (never over a folder or a link, which is not followed).
    virtual bool replaceFileAt(const QByteArray &from, const QByteArray &to) = 0;
    // Deletes the file at path (never a folder or a link's target).
    virtual bool deleteFileAt(const QByteArray &path) = 0;
    // Gives the file at `from` the second name `to` (a hard link; never a
    // copy, never over an existing name, a link is not followed). Unsupported
    // when the disk cannot hold hard links (FAT, exFAT).
    enum class Link { Made, Unsupported, Failed };
    virtual Link hardLink(const QByteArray &from, const QByteArray &to) = 0;
    // Whether the two ordinary files hold the same bytes (links are not
    // followed); false when either cannot be read.
    virtual bool sameContent(const QByteArray &a, const QByteArray &b) const = 0;
    // Whether the two paths name the same file (one of them a hard link).
    virtual bool sameFile(const QByteArray &a, const QByteArray &b) const = 0;
    // When the entry was last changed, in seconds since 1970 (UTC); -1 when
    // there is none.
    virtual qint64 modifiedAt(const QByteArray &path) const = 0;
};

} // namespace platform
