#pragma once
#include <QStringList>

namespace platform {

// True when a process of this user works in the current folder on one of the
// named job scripts (its command line names it, as the command runner's
// interpreter does): a script that runs now, perhaps from another copy of the
// program.
bool scriptRunsHere(const QStringList &scriptNames);

} // namespace platform
