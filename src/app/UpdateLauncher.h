#pragma once
#include "jobs/JobScript.h"

#include <QString>

namespace app {

// The launcher of a downloaded installer: "DeleteOLD.bat" starts the installer
// with the system's file association and closes; the program ends meanwhile.
class UpdateLauncher {
public:
    static jobs::JobScript script();

    // Writes the launcher beside the program, starts it hidden and ends the
    // program at once, without the exit clean-up. Returns only when the
    // launcher could not be written or started: false, with *error saying why.
    static bool run(QString *error);
};

} // namespace app
