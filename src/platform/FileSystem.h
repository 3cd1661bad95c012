#pragma once
#include <QByteArray>
#include <QString>

namespace platform {

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
    // Creates or truncates the file and writes the content whole. On failure
    // returns false and sets *error to the system's reason.
    virtual bool writeFile(const QString &name, const QByteArray &content, QString *error) = 0;
    // Reads the whole file into *content. On failure returns false and sets
    // *error (when given) to the system's reason.
    virtual bool readFile(const QString &name, QByteArray *content, QString *error) const = 0;
    // Adds the content at the end of the file, creating it when missing.
    virtual bool appendFile(const QString &name, const QByteArray &content, QString *error) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool deleteFile(const QString &name) = 0;
    // Creates the folder (and its parents); true when it exists afterwards.
    virtual bool makeFolder(const QString &name) = 0;
};

} // namespace platform
