#include "jobs/ToolMessages.h"

#include <QRegularExpression>

namespace jobs {

QStringList ToolMessages::lines(const QString &transcript)
{
    // pscp writes each progress record as the name in a field of 25 bytes (cut
    // or padded; fewer letters when they take several bytes), then its figures;
    // on a terminal after a carriage return, into a pipe one after another. A
    // name never holds a carriage return (pscp drops it), so the field never
    // reaches back into an earlier line, whose line break ends in one.
    static const QRegularExpression progress(
        QStringLiteral("[^\\r]{0,25}? \\|(?: +\\d+ kB \\| +[\\d.]+ kB/s \\| ETA: [\\d:]+ \\| "
                       "+\\d+%| +Write error\\.\\. waiting for end of file)"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n]+"));
    return QString(transcript).remove(progress).split(lineBreak, Qt::SkipEmptyParts);
}

QString ToolMessages::withoutPrefixes(const QString &line)
{
    static const QStringList prefixes{
        QStringLiteral("FATAL ERROR: "), QStringLiteral("Network error: "),
        QStringLiteral("pscp: "),        QStringLiteral("plink: "),
        QStringLiteral("scp: "),         QStringLiteral("iphuc: "),
        QStringLiteral("ERROR: ")};
    QString rest = line;
    for (bool cut = true; cut;) {
        cut = false;
        for (const QString &p : prefixes) {
            if (rest.startsWith(p)) {
                rest = rest.mid(p.size());
                cut = true;
            }
        }
    }
    return rest;
}

} // namespace jobs
