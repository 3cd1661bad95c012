#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace jobs {

// The names of what a backup keeps beside the program, relative to the
// current folder, and of the folders and marks its scripts work with.

// The trees copied from the device, each a folder of the backup, in the
// order they are copied: "Applications", "mobile", "root".
const QStringList &backupTrees();
// The same names as bytes, for the lists the device writes.
const QList<QByteArray> &backupTreeNames();
// Every folder of a backup, in the order the scripts handle them: the trees
// and the mail settings bundle.
const QStringList &backupFolders();
// The items that make one backup beside the program: its folders, the mark of
// an incomplete one and the record of the device it came from. They move
// together, one rename each.
QStringList backupItems();

// Marks a backup that is not complete (it cannot be restored).
extern const QString kIncompleteMark;
// The folder beside the program that holds the previous backup while a new one
// is fetched; the mark inside it that says it holds the whole previous backup
// (and that what lies in place is an unchecked new copy); the mark that says
// that backup is being put back; the folder a replaced backup is renamed to
// before it is deleted; and the record of the device a backup came from.
extern const QString kPreviousBackupFolder;
extern const QString kPreviousBackupMark;
extern const QString kPutBackMark;
extern const QString kDiscardedBackupFolder;
extern const QString kBackupDeviceRecord;
// The folder a backup's copies from the device are made in, before each tree
// is moved into place.
extern const QString kIncomingFolder;
// Written by the backup and the restore script before they change anything
// and removed when they reach their verdict: one left behind, with no job
// running, tells of a job that was cut off.
extern const QString kBackupUnfinishedMark;
extern const QString kRestoreUnfinishedMark;

} // namespace jobs
