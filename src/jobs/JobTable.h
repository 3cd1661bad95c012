#pragma once
#include "jobs/ScriptKind.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QString>

namespace jobs {

enum class Job { Backup, Restore, SshFirstRun, RelocateApps, RelocateFonts, Dfu };

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
    QString option;
    ScriptKind kind;
};

// Everything in which one job's click differs from another's.
struct JobDescription {
    Job job = Job::Dfu;
    bool usesConnection = false; // reads and checks the Connection settings first
    Precondition precondition = Precondition::None;
    QList<Step> steps;
    QList<JobScriptChoice> scripts;
    QString sign;           // busy indicator
    QString caption;        // busy caption (empty: none)
    QString continueButton; // (empty: none)
    QString agreement;      // the box that gates the Continue button
    JobBox box;
    QString alert;
    QString consoleText;
    QString timer;
    // Written once and started again unchanged until its lines would change.
    bool keepScriptWhileUnchanged = false;
};

constexpr int kJobHeightTwips = 8700;

const JobDescription &jobDescription(Job job);

} // namespace jobs
