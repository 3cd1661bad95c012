#include "app/TranscriptFile.h"
#include "jobs/JobOutcome.h"
#include "platform/Platform.h"

namespace app {

namespace {

QByteArray bytesOf(const QString &text)
{
    // The form feed of a script's "Cls" clears a screen; in a file it is noise.
    return QString(text).remove(QChar(12)).toUtf8();
}

} // namespace

void TranscriptFile::start(const QString &text)
{
    // A transcript that cannot be written costs the user nothing else: the
    // Console still shows everything.
    m_writing =
        platform::Platform::files().writeFile(jobs::kTranscriptFile, bytesOf(text), nullptr);
}

void TranscriptFile::add(const QString &text)
{
    if (m_writing && !text.isEmpty())
        m_writing =
            platform::Platform::files().appendFile(jobs::kTranscriptFile, bytesOf(text), nullptr);
}

} // namespace app
