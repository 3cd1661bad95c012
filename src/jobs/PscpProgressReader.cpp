#include "jobs/PscpProgressReader.h"

#include <QRegularExpression>

namespace jobs {

PscpProgressReader::PscpProgressReader(StatsHandler onStats, LineHandler onLine)
    : m_onStats(std::move(onStats))
    , m_onLine(std::move(onLine))
{}

void PscpProgressReader::feed(const QString &chunk)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const QChar c = chunk.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        if (!m_overlong)
            m_pending += QStringView(chunk).mid(from, i - from);
        if (!m_pending.isEmpty() && !m_overlong)
            piece(m_pending);
        m_pending.clear();
        m_overlong = false;
        from = i + 1;
    }
    if (m_overlong)
        return;
    m_pending += QStringView(chunk).mid(from);
    // A piece this long is neither a record nor an echo line: it is dropped
    // rather than kept growing with whatever a tool prints without line breaks.
    if (m_pending.size() > kMaxPiece) {
        m_pending.clear();
        m_overlong = true;
    }
}

void PscpProgressReader::finish()
{
    if (!m_pending.isEmpty() && !m_overlong)
        piece(m_pending);
    m_pending.clear();
    m_overlong = false;
}

void PscpProgressReader::piece(const QString &text)
{
    if (const std::optional<Stats> stats = parseStats(text))
        m_onStats(*stats);
    else
        m_onLine(text);
}

std::optional<PscpProgressReader::Stats> PscpProgressReader::parseStats(const QString &record)
{
    // Read from the end, so that a name holding " | " still parses. An empty
    // file's percentage is pscp's 0/0, printed as a large negative number.
    // pscp pads its fields to a width (older versions the kB too) and, when a
    // record is shorter than the one before it on the same line (the rate fell
    // from 1000.0 kB/s to 999.9), blanks out the rest with spaces after the
    // "%": a file's last record may be such a padded one.
    static const QRegularExpression kTail(
        QStringLiteral(" \\| +(\\d{1,15}) kB \\| +[0-9.]{1,20} kB/s \\| ETA: +[0-9:-]{1,12} "
                       "\\| +(-?\\d{1,11})% {0,256}$"));
    const QRegularExpressionMatch m = kTail.match(record);
    if (!m.hasMatch())
        return std::nullopt;
    Stats s;
    s.name = record.left(m.capturedStart()).trimmed();
    s.kilobytes = m.captured(1).toLongLong();
    const qint64 percent = m.captured(2).toLongLong();
    s.whole = percent >= 100 || percent < 0;
    return s;
}

} // namespace jobs
