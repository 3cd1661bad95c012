// One completion program: BackupComplete, RestoreComplete, SymlinkComplete or
// DFUmode, chosen at build time. A job script starts it as its last step.
#include "CompletionBox.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::unique_ptr<QMessageBox> box(complete::createBox(complete::Job::ZORVANE_COMPLETION_JOB));
    box->exec();
    return 0;
}
