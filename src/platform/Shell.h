#pragma once
#include <QString>

namespace platform {

enum class WindowStyle { NormalFocus, Hidden };

// Asynchronous shell start of a program, script or document in the current folder.
// A ".bat" script runs under the program's command interpreter; NormalFocus gives
// it a terminal window the user can type into, Hidden gives it none.
class Shell {
public:
    virtual ~Shell() = default;
    // Returns true when the start was handed to the system. A program or script
    // asked for with NormalFocus is never run without a window: with no terminal
    // to show it in, nothing starts and the result is false.
    virtual bool start(const QString &file, WindowStyle style) = 0;
    // Whether there is a terminal program to show a NormalFocus start in.
    virtual bool canShowConsoleWindow() const = 0;
    // Opens the folder in the desktop's file manager; true when that was
    // handed to the system.
    virtual bool openFolder(const QString &folder) = 0;
};

} // namespace platform
