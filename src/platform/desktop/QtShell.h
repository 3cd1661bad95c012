#pragma once
#include "platform/Shell.h"

#include <QStringList>

namespace platform {

// Shell start on this system. A ".bat" script runs under zcmd from the program's
// folder; a normal focused window is a terminal emulator (ZORVANE_TERMINAL names
// another terminal command, e.g. one that runs it in a pseudo-terminal), a hidden
// start is detached with no window. Other programs start detached; documents open
// with the desktop's association.
class QtShell : public Shell {
public:
    bool start(const QString &file, WindowStyle style) override;
    bool canShowConsoleWindow() const override;
    bool openFolder(const QString &folder) override;

    // The command line that start() runs for a file (empty for documents, and
    // for a normal focused window when there is no terminal to show it in).
    static QStringList commandFor(const QString &file, WindowStyle style);
};

} // namespace platform
