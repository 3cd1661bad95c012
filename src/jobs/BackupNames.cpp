#include "jobs/BackupNames.h"

namespace jobs {

const QString kIncompleteMark = QStringLiteral("BackupIncomplete.txt");
const QString kPreviousBackupFolder = QStringLiteral("PreviousBackup");
const QString kPreviousBackupMark = QStringLiteral("PreviousBackup\\saved.txt");
const QString kPutBackMark = QStringLiteral("PreviousBackup\\putback.txt");
const QString kDiscardedBackupFolder = QStringLiteral("DiscardedBackup");
const QString kBackupDeviceRecord = QStringLiteral("BackupDevice.txt");
const QString kIncomingFolder = QStringLiteral("Incoming");
const QString kBackupUnfinishedMark = QStringLiteral("BackupUnfinished.txt");
const QString kRestoreUnfinishedMark = QStringLiteral("RestoreUnfinished.txt");

// Built on first use, so that other files' constants may be made from them.
const QStringList &backupTrees()
{
    static const QStringList trees{QStringLiteral("Applications"), QStringLiteral("mobile"),
                                   QStringLiteral("root")};
    return trees;
}

const QList<QByteArray> &backupTreeNames()
{
    static const QList<QByteArray> names = [] {
        QList<QByteArray> bytes;
        for (const QString &tree : backupTrees())
            bytes.append(tree.toLatin1());
        return bytes;
    }();
    return names;
}

const QStringList &backupFolders()
{
    static const QStringList folders{QStringLiteral("mobile"), QStringLiteral("root"),
                                     QStringLiteral("Applications"),
                                     QStringLiteral("MobileMailSettings.bundle")};
    return folders;
}

QStringList backupItems()
{
    return backupFolders() + QStringList{kIncompleteMark, kBackupDeviceRecord};
}

} // namespace jobs
