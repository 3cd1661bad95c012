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
// The same for many paths of one tree: folders found are remembered in
// `known`, so each is looked at once.
bool foldersAbove(const QByteArray &path, const platform::FileSystem &files,
                  QSet<QByteArray> *known);

} // namespace treepaths
} // namespace jobs
