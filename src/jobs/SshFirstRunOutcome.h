#pragma once
#include <QByteArray>
#include <QString>

namespace jobs {

// What the SSH first-run script noted after its pscp line: the copy went
// through and a second copy that may ask nothing went through too (Copied),
// the copy went through only because the key was accepted for this once
// (KeyNotAccepted: the second copy was refused the key), or the copy failed.
enum class SshCopyResult { NotYet, Copied, KeyNotAccepted, Failed };

// Reads the script's note ("copied", "keynotstored" or "failed"); anything
// else is no note yet.
SshCopyResult sshCopyResult(const QByteArray &note);

// Where the SSH first run stands, decided by what really happened: whether the
// device's key is now in PuTTY's cache and what became of pscp's copy.
enum class SshFirstRunOutcome {
    Waiting,             // the SSH window has not been answered yet
    KeyStored,           // "SSH Complete."
    KeyStoredCopyFailed, // key stored, but the copy itself failed (password, connection)
    KeyDeclined,         // the copy went ahead without storing the key ("n")
    KeyChangedDeclined,  // a key was stored, but the device's new one was refused ("n")
    NotConnected,        // no key: it was not accepted, or no device answered
    NoAnswer,            // no key and no note within the time the job waits
    NotStarted,          // the SSH window could not be opened
};

SshFirstRunOutcome sshFirstRunOutcome(bool keyStored, SshCopyResult copy, bool timeIsUp);

// Whether the outcome ends the job's display (busy sign hidden, timer stopped).
bool isFinal(SshFirstRunOutcome outcome);

// The Console text for the outcome: the job's four executing lines, then what
// happened and what to do, for the device at `address`.
QString sshFirstRunConsoleText(SshFirstRunOutcome outcome, const QString &address);

// The alert that tells of a final outcome while another job's transcript is
// in the Console: short enough for the alert, it says where the whole text is.
QString sshFirstRunAlertText(SshFirstRunOutcome outcome);

} // namespace jobs
