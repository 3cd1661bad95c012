#pragma once
#include "jobs/ConnectionSettings.h"
#include "jobs/JobControl.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobScript.h"
#include "jobs/ScriptKind.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace jobs {

enum class Job { Backup, Restore, SshFirstRun, ApplicationsRelocation, FontsRelocation, Dfu };

// The steps a job's click takes, in the order its table entry lists them.
enum class Step {
    Grow,            // the window to the job height, bringing the Console into view
    DisableContinue, // the pane's Continue button
    Box,             // the job's message box; the job goes on after OK
    ShowSign,        // the busy indicator
    ShowCaption,     // the busy caption
    Alert,           // the job's alert popup
    ConsoleText,     // replaces the Console's text
    StartTimer,      // the job's timer
    Script,          // writes the script(s) and starts them
};

// What must hold before a job takes its first step.
enum class Precondition {
    None,
    OptionChosen,  // one of the job's option buttons is chosen
    BackupPresent, // the backup folders lie in the current folder
    ConsoleWindow, // there is a terminal program to show the script's window in
};

struct JobBox {
    QString title;
    QString text;
    platform::MsgIcon icon = platform::MsgIcon::None;
};

// A script the job writes: always, or only while an option button is chosen.
struct JobScriptChoice {
    std::optional<Control> option;
    ScriptKind kind; // its file, the command that starts it, its header and closing
    // Its lines for the version text and the Connection settings.
    JobScript (*lines)(const QString &versionText, const ConnectionSettings &cs) = nullptr;
};

// Everything about one job: what its click does, the scripts it writes, how
// its end is reported and what is cleared up after it.
struct JobDescription {
    Job job = Job::Dfu;
    bool usesConnection = false; // reads and checks the Connection settings first
    Precondition precondition = Precondition::None;
    QList<Step> steps;
    QList<JobScriptChoice> scripts;
    Control sign = Control::GIF1;          // busy indicator
    std::optional<Control> caption;        // busy caption
    std::optional<Control> continueButton; // disabled while the job runs
    std::optional<Control> agreement;      // the box that gates the Continue button
    JobBox box;
    QString alert;
    QString consoleText;
    std::optional<JobTimer> timer;
    // Written once and started again unchanged until its lines would change.
    bool keepScriptWhileUnchanged = false;
    // The end of a run through the window's runner hides the busy indicator;
    // a job that runs in a window of its own hides it itself.
    bool runEndHidesSign = true;
    // How the job's end is reported: the word its script notes and the
    // completion program its script starts (none: the job reports it itself).
    std::optional<JobOutcome::Kind> completion;
    // Closing the main window deletes the job's scripts.
    bool removedAtExit = true;
};

constexpr int kJobHeightTwips = 8700;

const JobDescription &jobDescription(Job job);
// Every job, in the order of `Job`.
const QList<JobDescription> &jobTable();
// The job that writes a script of that kind (none for the update launcher).
const JobDescription *jobWriting(ScriptKind kind);

// The job scripts removed when the main window closes: those of every job
// whose table entry says so, then two no job writes.
const QStringList &scriptsRemovedAtExit();
// Those of them a completion program removes once their interpreter is done:
// all but the scripts a job keeps while they are unchanged (the program
// itself knows when those may go).
QStringList scriptsRemovedByCompletions();

} // namespace jobs
