#include "jobs/ToolMessages.h"

#include <QRegularExpression>

namespace jobs {

QStringList ToolMessages::lines(const QString &transcript)
{
    // pscp writes each progress record after a carriage return, the name cut
    // to a column of 25 (a name never holds a carriage return: pscp drops it).
    static const QRegularExpression progress(
        QStringLiteral("\\r[^\\r]{0,100}? \\|(?: +\\d+ kB \\| +[\\d.]+ kB/s \\| ETA: [\\d:]+ \\| "
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
