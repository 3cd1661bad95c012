#pragma once
#include "jobs/JobCompletions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace jobs {

// The files a job leaves beside the program, relative to the current folder:
// the script's own notes of what happened (one item a line: "job NAME",
// "failed WHAT", the backup check's line, "kept WHICH", "end"), and the whole
// transcript of its output, written by the window as the output arrived.
extern const QString kOutcomeFile;
extern const QString kTranscriptFile;

// What a finished job tells the user, decided by what really happened: the
// script's notes and the tools' messages in the transcript. A job counts as
// done only when its script reached its end and noted no failure (and, for a
// backup and a restore, when their checks passed).
class JobOutcome {
public:
#define ZORVANE_OUTCOME_KIND(kind, word, program) kind,
    enum class Kind { ZORVANE_JOB_COMPLETIONS(ZORVANE_OUTCOME_KIND) };
#undef ZORVANE_OUTCOME_KIND

    // The word a job of that kind notes as "job WORD", and the completion
    // program that reports it (its name beside the program, without ".exe").
    static QString notesWord(Kind kind);
    static QString completionProgram(Kind kind);

    // From the files in the current folder. A transcript larger than
    // kTranscriptHead + kTranscriptTail is read as its beginning (where the
    // earliest tool message, the cause, is) and its end (where the device's
    // check says its verdict), with a line saying how much was left out
    // between: device output cannot make the reading unbounded.
    static JobOutcome read(Kind kind);
    // The kind of job whose notes in the current folder have no end yet (its
    // script notes the job as its first step and "end" as its last); none
    // when the notes are missing, ended, or name no job kind.
    static std::optional<Kind> unendedJob();
    static constexpr qint64 kTranscriptHead = 8 * 1024 * 1024;
    static constexpr qint64 kTranscriptTail = 8 * 1024 * 1024;
    // The script's notes are a few lines; more is not read.
    static constexpr qint64 kLargestNotes = 1024 * 1024;
    static JobOutcome decide(Kind kind, const QByteArray &notes, const QString &transcript,
                             const QString &folder);

    bool succeeded = false;
    QString title;
    QString text;
    QString transcript;

    // The cause of a failure in the user's words, found in the transcript;
    // empty when none is recognised.
    static QString causeIn(const QString &transcript);
};

} // namespace jobs
