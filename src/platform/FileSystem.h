#pragma once
#include <QString>

namespace platform {

// File search and deletion, relative to the current folder.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a search for the name finds an ordinary file: not hidden, not a
    // system entry, not a folder.
    virtual bool findOrdinaryFile(const QString &name) const = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool deleteFile(const QString &name) = 0;
};

} // namespace platform
