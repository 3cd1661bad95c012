#pragma once
#include "jobs/ConnectionSettings.h"
#include "jobs/JobControl.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobProgress.h"
#include "jobs/JobScript.h"
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

// How a script ends after its own lines.
enum class ScriptEnd {
    Exit,              // it only exits
    RestartThenReport, // ends the program, starts it again, starts the completion program, exits
    ReportThenRestart, // ends the program, starts the completion program, then the program, exits
};

struct JobDescription;

// A script the job writes: always, or only while an option button is chosen.
struct JobScriptChoice {
    std::optional<Control> option;
    QString fileName;      // the file written beside the program
    QString runnerCommand; // what the window's runner is given; empty: the shell starts the file
    ScriptEnd end = ScriptEnd::Exit;
    // Its whole text, header to closing, for the job's entry, the version text
    // and the Connection settings as typed.
    JobScript (*lines)(const JobDescription &job, const QString &versionText,
                       const ConnectionSettings &cs) = nullptr;
};

// Everything about one job: what its click does, the scripts it writes, how
// its end is reported and what is cleared up after it.
struct JobDescription {
    Job job = Job::Dfu;
    // The window's button that starts it (its objectName is the control's name).
    std::optional<Control> button;
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
    // Asked once the Connection settings are read, before the first step:
    // whether the backup it joins with the device at the address came from
    // that device, or the user agrees to go on (false: the job does not start).
    // `backup` is the folder of the older backup chosen (empty: the one in
    // place). None: the job joins no backup with a device.
    bool (*sameDeviceOrAgreed)(const QString &address, const QString &backup) = nullptr;
    // The job sends the backup the window's chooser names: an older one is put
    // in place before its script runs and the newest put back after it
    // (PlacedGeneration).
    bool sendsChosenBackup = false;
    // How the job's end is reported: the word its script notes and the
    // completion program its script starts (none: the job reports it itself).
    std::optional<JobOutcome::Kind> completion;
    // The job reports its end itself: the controller's watch follows its run
    // on its timer's ticks, hides its sign and tells the outcome.
    bool watchedOnTimer = false;
    // What a run stopped part-way leaves is put right once its processes have
    // ended; false while it cannot be yet. None: nothing to put right.
    bool (*settleAfterStop)() = nullptr;
    // The box that chooses a lighter form of the job (the backup's quick
    // repeat); it is hidden while the job's busy caption shows. Whether it
    // was ticked when the script was written is `repeatChosen`, set on the
    // copy of the entry handed to the script's lines.
    std::optional<Control> repeatChoice;
    bool repeatChosen = false;
    // The progress shown while its script runs through the window's runner
    // (none: only the busy sign).
    std::optional<JobProgress::Kind> progress;
};

constexpr int kJobHeightTwips = 8700;

const JobDescription &jobDescription(Job job);
// Every job, in the order of `Job`.
const QList<JobDescription> &jobTable();
// The job's script: its only one, or the one its option button chooses.
const JobScriptChoice &jobScript(const JobDescription &job,
                                 std::optional<Control> option = std::nullopt);
// The file names of the job's scripts.
QStringList scriptFiles(Job job);
// The lines that close the job's script, after its own.
QStringList scriptClosing(const JobDescription &job, const JobScriptChoice &script);
// The busy indicators the end of a run through the window's runner hides, in
// order: the sign of every job whose scripts run through the runner.
const QList<Control> &runEndSigns();

// The job scripts removed when the main window closes, in order: every job's
// scripts and two no job writes.
const QStringList &scriptsRemovedAtExit();
// Those of them a completion program removes once their interpreter is done:
// all but the scripts a job keeps while they are unchanged (the program
// itself knows when those may go).
QStringList scriptsRemovedByCompletions();

} // namespace jobs
