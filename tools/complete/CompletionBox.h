#pragma once
#include <QString>

class QMessageBox;
class QWidget;

// The window a completion program shows when a job script has ended: which
// job, its caption and its text. The programs rely on nothing the job left
// behind, so the texts say that the job ended and where to look for details.
namespace complete {

enum class Job { Backup, Restore, Symlink, Dfu };

struct Message {
    QString objectName;   // the program's name, also the box's objectName
    QString title;
    QString text;
};

Message messageFor(Job job);

// A modal information box with one OK button, not yet shown.
QMessageBox *createBox(Job job, QWidget *parent = nullptr);

} // namespace complete
