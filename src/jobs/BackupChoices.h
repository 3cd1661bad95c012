#pragma once
#include <QList>
#include <QString>

namespace jobs {

// A backup the restore can send: the newest, in place, or one of the older
// ones kept in Generations.
struct BackupChoice {
    QString folder;           // its folder in Generations; empty for the newest backup
    QString location;         // the folder that holds it, from the working folder
    QString text;             // "2026-12-10 14:05, iPod, 1234 files, 5.6 MB", short for the list
    QString details;          // the same with the device named in full
    bool otherDevice = false; // another device's than the newest backup's
};

// Newest first, the backup in place at the top; empty when no older backup
// is kept, so that there is nothing to choose.
QList<BackupChoice> backupChoices();

} // namespace jobs
