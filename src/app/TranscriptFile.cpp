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
    m_file = platform::Platform::files().openNew(jobs::kTranscriptFile, nullptr);
    add(text);
}

void TranscriptFile::add(const QString &text)
{
    // Held open and written unbuffered: one system call per chunk of output.
    if (m_file && !text.isEmpty() && !m_file->write(bytesOf(text)))
        m_file.reset();
}

} // namespace app
