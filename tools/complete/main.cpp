// One completion program: BackupComplete, RestoreComplete, SymlinkComplete or
// DFUmode, chosen at build time. A job script starts it as its last step.
#include "CompletionBox.h"
#include "jobs/JobTable.h"
#include "platform/LeftOverScripts.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The script that started this program, and any an earlier job left,
    // hold the device's password: each goes once its interpreter is done
    // (a script written afresh meanwhile stays). This program is started
    // in the working folder, where they lie.
    platform::LeftOverScripts::removeWhenFinished(jobs::scriptsRemovedByCompletions());
    std::unique_ptr<QMessageBox> box(complete::createBox(complete::Job::ZORVANE_COMPLETION_JOB));
    box->exec();
    return 0;
}
