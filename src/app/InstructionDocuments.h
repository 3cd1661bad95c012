#pragma once
#include <QString>

namespace app {

// The read-only instructions shown on the Backup and Restore panes (rich text).
QString backupInstructions();
QString restoreInstructions();

} // namespace app
