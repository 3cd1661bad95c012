#pragma once

// The ways a job's end is reported, one line each: the outcome kind, the word
// the job's script notes as "job WORD" first in its notes file, and the
// completion program the script starts at its end, which reads those notes.
// This one list is read by the jobs (the outcome kinds, the notes words, the
// scripts' closing lines), by the completion programs, and by the build, which
// makes one program of each line: keep each line on one line, in this form.
#define ZORVANE_JOB_COMPLETIONS(COMPLETION)                                                        \
    COMPLETION(Backup, backup, BackupComplete)                                                     \
    COMPLETION(Restore, restore, RestoreComplete)                                                  \
    COMPLETION(Relocation, relocation, SymlinkComplete)                                            \
    COMPLETION(Dfu, dfu, DFUmode)
