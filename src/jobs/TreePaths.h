#pragma once
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QSet>

namespace jobs {

// Paths of a backup's trees as lists name them ("mobile/Library/SMS/sms.db"),
// as bytes: the names come from the device.
namespace treepaths {

// A path inside one of the three trees ("Applications", "mobile", "root"),
// every part a name: no empty part, no "." or "..".
bool inATree(const QByteArray &path);
// Whether each folder on the way to `path` is a folder (no link, no file);
// with `make`, the missing ones are made.
bool wayIsFolders(const QByteArray &path, bool make);
// Makes the folders on the way to `path` inside the folder `root` and, with
// `itself`, the folder `path` too; false when something other than a folder
// (a file, a link) lies on the way: a link is never followed.
bool makeFolders(const QByteArray &root, const QByteArray &path, bool itself);
// The same for many paths of one tree: folders found are remembered in
// `known`, so each is looked at once.
bool foldersAbove(const QByteArray &path, const platform::FileSystem &files,
                  QSet<QByteArray> *known);

} // namespace treepaths
} // namespace jobs
