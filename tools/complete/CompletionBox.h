#pragma once
#include "jobs/JobOutcome.h"

#include <QString>

class QMessageBox;
class QWidget;

// The window a completion program shows when a job script has ended: which
// job, and whether it really did what it was for, decided from the notes the
// script left and the transcript of its output (offered whole under "Show
// Details"). A job that did not complete is never reported as done.
namespace complete {

// The job a program reports: one of the outcome kinds, each with its program.
using Job = jobs::JobOutcome::Kind;

struct Message {
    QString objectName; // the program's name, also the box's objectName
    QString title;
    QString text;
    QString details; // the job's whole transcript
    bool succeeded = false;
};

// The message for the job that ended, from the files it left in the current folder.
Message messageFor(Job job);

// A modal box with one OK button, not yet shown: information when the job did
// what it was for, a warning otherwise.
QMessageBox *createBox(Job job, QWidget *parent = nullptr);

} // namespace complete
