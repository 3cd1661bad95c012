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

// How far back from a cut a line break is looked for, so that the kept parts
// begin and end with whole lines.
constexpr qint64 kLineSearch = 64 * 1024;

// What is kept of the beginning and of the end when the middle goes.
constexpr qint64 headOf(qint64 largest) { return largest / 4; }
constexpr qint64 tailOf(qint64 largest) { return largest / 8; }
static_assert(headOf(TranscriptFile::kLargest) >= jobs::JobOutcome::kTranscriptHead
                  && tailOf(TranscriptFile::kLargest) >= jobs::JobOutcome::kTranscriptTail,
              "the job's outcome reads the kept beginning and end");

} // namespace

void TranscriptFile::start(const QString &text)
{
    // A transcript that cannot be written costs the user nothing else: the
    // Console still shows everything.
    m_file = platform::Platform::files().openNew(jobs::kTranscriptFile, nullptr);
    m_size = m_written = m_headEnd = m_tailStart = 0;
    m_cut = false;
    add(text);
}

void TranscriptFile::add(const QString &text)
{
    if (m_file && !text.isEmpty())
        write(bytesOf(text));
}

void TranscriptFile::write(const QByteArray &bytes)
{
    // Held open and written unbuffered: one system call per chunk of output.
    m_written += bytes.size();
    bool ok = true;
    if (m_size + bytes.size() > m_largest)
        ok = leaveOutMiddle(bytes);
    else if ((ok = m_file->write(bytes)))
        m_size += bytes.size();
    if (!ok)
        m_file.reset();
}

bool TranscriptFile::leaveOutMiddle(const QByteArray &bytes)
{
    if (!m_cut) {
        // The first cut: the beginning ends after its last whole line.
        m_cut = true;
        m_headEnd = qMin(headOf(m_largest), m_size);
        const qint64 searchFrom = qMax<qint64>(0, m_headEnd - kLineSearch);
        const QByteArray before = m_file->readAt(searchFrom, m_headEnd - searchFrom);
        const qsizetype lineEnd = before.lastIndexOf('\n');
        if (lineEnd >= 0)
            m_headEnd = searchFrom + lineEnd + 1;
        m_tailStart = m_headEnd;
    }
    // The end kept: the newest bytes, from the start of a line.
    const qint64 keep = tailOf(m_largest);
    const qint64 from = qMax(m_tailStart, m_size + bytes.size() - keep);
    QByteArray tail = from < m_size ? m_file->readAt(from, m_size - from) : QByteArray();
    tail += bytes;
    if (tail.size() > keep)
        tail = tail.right(keep);
    const qsizetype lineStart = tail.left(kLineSearch).indexOf('\n');
    if (lineStart >= 0)
        tail.remove(0, lineStart + 1);
    const QByteArray leftOut =
        QStringLiteral("\r\n[... %1 bytes of the job's output are left out here ...]\r\n")
            .arg(m_written - m_headEnd - tail.size())
            .toUtf8();
    if (!m_file->cutTo(m_headEnd) || !m_file->write(leftOut + tail))
        return false;
    m_tailStart = m_headEnd + leftOut.size();
    m_size = m_tailStart + tail.size();
    return true;
}

} // namespace app
