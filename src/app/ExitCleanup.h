#pragma once
#include <QString>
#include <QStringList>

namespace app {

// True when a file of that name exists as an ordinary file. The empty name and
// a name ending in a folder separator are false without asking the disk.
bool FileExists(const QString &name);

// The job scripts removed when the main window closes, in the order they are
// removed: those the job table places in it, and two no job writes.
const QStringList &exitCleanupScripts();

// Deletes each script that exists; one that cannot be deleted is skipped
// silently. Returns the names deleted.
QStringList runExitCleanup();

} // namespace app
