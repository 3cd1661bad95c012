#include "jobs/SshFirstRunWatch.h"
#include "jobs/HostKeyCache.h"
#include "jobs/JobScripts.h"
#include "jobs/JobTable.h"
#include "jobs/JobWindow.h"
#include "platform/Platform.h"

namespace jobs {

bool SshFirstRunWatch::begin(const QString &address, QString *error)
{
    m_address = address;
    m_ticks = 0;
    m_keySeenAt = 0;
    m_keyBefore = HostKeyCache::read().keyFor(address);
    m_shown = false;
    m_written = m_window.consoleText();
    platform::FileSystem &files = platform::Platform::files();
    if (!files.exists(kSshCopyNote) || files.deleteFile(kSshCopyNote))
        return true;
    *error = QStringLiteral("Zorvane could not remove \"%1\", the note of the previous SSH first "
                            "run, from its folder. Delete it, then click \"Run SSH Fingerprint\" "
                            "again.")
                 .arg(kSshCopyNote);
    return false;
}

void SshFirstRunWatch::startFailed()
{
    // The job withdraws its busy sign and timer itself.
    m_window.setConsoleText(sshFirstRunConsoleText(SshFirstRunOutcome::NotStarted, m_address));
}

void SshFirstRunWatch::tick()
{
    ++m_ticks;
    QByteArray note;
    if (!platform::Platform::files().readFile(kSshCopyNote, &note, nullptr))
        note.clear();
    const QByteArray key = HostKeyCache::read().keyFor(m_address);
    const bool keyStored = !key.isEmpty();
    const bool storedNow = keyStored && key != m_keyBefore;
    if (storedNow && m_keySeenAt == 0)
        m_keySeenAt = m_ticks;
    const bool timeIsUp =
        storedNow ? m_ticks - m_keySeenAt >= kCopyLimitTicks : m_ticks >= kAnswerLimitTicks;
    const SshCopyResult copy = sshCopyResult(note);
    // Without the copy's note, only a key this run stored tells that the
    // question was answered.
    show(sshFirstRunOutcome(copy == SshCopyResult::NotYet ? storedNow : keyStored, copy,
                            timeIsUp));
}

void SshFirstRunWatch::show(SshFirstRunOutcome outcome)
{
    const JobDescription &job = jobDescription(Job::SshFirstRun);
    if (!m_shown || outcome != m_outcome) {
        const QString text = sshFirstRunConsoleText(outcome, m_address);
        if (m_window.consoleText() == m_written) {
            m_window.setConsoleText(text);
            m_written = m_window.consoleText();
        } else if (isFinal(outcome)) {
            // Another job's transcript is in the Console: it stays, and the
            // whole result follows it, where it can be read at leisure; the
            // alert only says where to look.
            m_window.setConsoleText(m_window.consoleText() + QStringLiteral("\r\n\r\n")
                                    + text.mid(job.consoleText.size()).trimmed()
                                    + QStringLiteral("\r\n"));
            m_window.popAlert(sshFirstRunAlertText(outcome));
        }
    }
    m_shown = true;
    m_outcome = outcome;
    if (!isFinal(outcome))
        return;
    m_window.setVisible(job.sign, false);
    if (job.timer)
        m_window.stopTimer(*job.timer);
}

} // namespace jobs
