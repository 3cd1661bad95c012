#include "jobs/SshFirstRunOutcome.h"
#include "jobs/JobTable.h"

#include <QStringList>

namespace jobs {

SshCopyResult sshCopyResult(const QByteArray &note)
{
    const QByteArray word = note.trimmed();
    if (word == "copied")
        return SshCopyResult::Copied;
    if (word == "failed")
        return SshCopyResult::Failed;
    if (word == "keynotstored")
        return SshCopyResult::KeyNotAccepted;
    // Missing, or caught between its creation and its one write.
    return SshCopyResult::NotYet;
}

SshFirstRunOutcome sshFirstRunOutcome(bool keyStored, SshCopyResult copy, bool timeIsUp)
{
    switch (copy) {
    case SshCopyResult::Copied:
        return keyStored ? SshFirstRunOutcome::KeyStored : SshFirstRunOutcome::KeyDeclined;
    case SshCopyResult::KeyNotAccepted:
        // A key for the address that the tools will not accept is an old one.
        return keyStored ? SshFirstRunOutcome::KeyChangedDeclined : SshFirstRunOutcome::KeyDeclined;
    case SshCopyResult::Failed:
        return keyStored ? SshFirstRunOutcome::KeyStoredCopyFailed
                         : SshFirstRunOutcome::NotConnected;
    case SshCopyResult::NotYet: break;
    }
    // A key stored while the copy still runs: wait for the copy's note.
    if (!timeIsUp)
        return SshFirstRunOutcome::Waiting;
    return keyStored ? SshFirstRunOutcome::KeyStored : SshFirstRunOutcome::NoAnswer;
}

bool isFinal(SshFirstRunOutcome outcome) { return outcome != SshFirstRunOutcome::Waiting; }

QString sshFirstRunConsoleText(SshFirstRunOutcome outcome, const QString &address)
{
    const QString again =
        QStringLiteral("Click \"Run SSH Fingerprint\" again and answer \"y\" when the "
                       "SSH window asks \"Store key in cache?\".");
    const QString notStored =
        QStringLiteral("SSH did NOT complete: the device's key was NOT stored");
    QStringList lines;
    switch (outcome) {
    case SshFirstRunOutcome::Waiting:
        lines << QStringLiteral("Waiting for the SSH window: answer \"y\" there when it asks "
                                "whether to store the device's key.");
        break;
    case SshFirstRunOutcome::KeyStored:
        lines << QStringLiteral("SSH Complete.")
              << QStringLiteral("You can now run the Backup or Restore options when the command "
                                "prompt closes!");
        break;
    case SshFirstRunOutcome::KeyStoredCopyFailed:
        lines << QStringLiteral("The device's key is stored, but copying the test file to the "
                                "device failed: the password was not accepted, or the connection "
                                "was lost.")
              << QStringLiteral("Check the SSH Password in the SSH Login box, then click \"Run SSH "
                                "Fingerprint\" again before you run the Backup or Restore "
                                "options.");
        break;
    case SshFirstRunOutcome::KeyDeclined:
        lines << notStored
                     + QStringLiteral(". The SSH window was answered with something other than "
                                      "\"y\", which reaches the device this once without "
                                      "keeping its key, so Backup and Restore cannot reach it "
                                      "yet.")
              << again;
        break;
    case SshFirstRunOutcome::KeyChangedDeclined:
        lines << notStored
                     + QStringLiteral(": the device's key has changed since it was stored, and "
                                      "the SSH window was not answered \"y\", so the old key is "
                                      "still the one kept. Backup and Restore will refuse this "
                                      "device.")
              << QStringLiteral("If the device was restored or reinstalled, that is expected: "
                                "click \"Run SSH Fingerprint\" again and answer \"y\". "
                                "Otherwise check that %1 is your device's address.")
                     .arg(address);
        break;
    case SshFirstRunOutcome::NotConnected:
        lines << notStored
                     + QStringLiteral(": it was not accepted in the SSH window, or no device "
                                      "answered at %1.")
                           .arg(address)
              << QStringLiteral("Check that the device is on, on your Wi-Fi network, with OpenSSH "
                                "installed, and that %1 is its IP address.")
                     .arg(address)
              << again;
        break;
    case SshFirstRunOutcome::NoAnswer:
        lines << notStored + QStringLiteral(": no answer came from the SSH window.")
              << QStringLiteral("Close the SSH window if it is still open.") << again;
        break;
    case SshFirstRunOutcome::NotStarted:
        lines << QStringLiteral("SSH did NOT complete: the SSH window could not be opened, so "
                                "nothing was sent to your device.")
              << QStringLiteral("Fix what the Zorvane message said, then click \"Run SSH "
                                "Fingerprint\" again.");
        break;
    }
    return jobDescription(Job::SshFirstRun).consoleText + QStringLiteral("\r\n")
           + lines.join(QStringLiteral("\r\n"));
}

QString sshFirstRunAlertText(SshFirstRunOutcome outcome)
{
    switch (outcome) {
    case SshFirstRunOutcome::KeyStored: return QStringLiteral("SSH Complete. More in the Console.");
    case SshFirstRunOutcome::Waiting: return QString();
    default: return QStringLiteral("SSH did NOT complete: see the Console.");
    }
}

} // namespace jobs
