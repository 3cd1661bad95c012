#pragma once
#include <QString>
#include <memory>

class ProgramFolder;
namespace app {
class frmMain;
}

namespace bench {

// The main window in a program folder, as the program starts there, with
// what the user does before a backup done: the device's address typed, the
// Backup pane open, the agreement ticked, "No, my apps are NOT symlinked"
// chosen. While it stands, the folder is the current folder and the
// platform's services are fakes that answer every message box; going, it
// closes the window and the alerts left open, puts the production services
// back and leaves the folder.
class BackupWindow {
public:
    explicit BackupWindow(const ProgramFolder &folder);
    ~BackupWindow();
    BackupWindow(const BackupWindow &) = delete;
    BackupWindow &operator=(const BackupWindow &) = delete;

    app::frmMain &window() { return *m_window; }
    // Continue (cmdAgree): returns when No.bat's output has ended.
    void clickContinue();
    QString console();

private:
    std::unique_ptr<app::frmMain> m_window;
};

} // namespace bench
