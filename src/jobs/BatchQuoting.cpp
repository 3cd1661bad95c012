#include "jobs/BatchQuoting.h"

namespace jobs {

namespace {

// Characters the interpreter treats specially outside double quotes.
bool isSpecial(QChar c)
{
    return c == u'^' || c == u'&' || c == u'|' || c == u'<' || c == u'>' || c == u'(' || c == u')';
}

struct Escaped {
    QString value;   // what the variable must hold
    QString setText; // what follows "=" in the set line
};

// One pass over the argument, tracking the interpreter's quote flag, which
// is the same at every point of the set line, the value and the later line:
// quotes toggle it in all three, except a last quote of an odd count, which
// is written as a non-toggling ^" in the value (^^^" in the set line).
Escaped escape(const QString &argument)
{
    const bool oddQuotes = argument.count(u'"') % 2 == 1;
    const int lastQuote = argument.lastIndexOf(u'"');
    Escaped out;
    bool quoted = false;
    for (int i = 0; i < argument.size(); ++i) {
        const QChar c = argument.at(i);
        if (c == u'"' && oddQuotes && i == lastQuote) {
            out.value += QStringLiteral("^\"");
            out.setText += QStringLiteral("^^^\"");
        } else if (c == u'"') {
            quoted = !quoted;
            out.value += c;
            out.setText += c;
        } else if (!quoted && isSpecial(c)) {
            out.value += u'^';
            out.value += c;
            out.setText += QStringLiteral("^^^");
            out.setText += c;
        } else {
            out.value += c;
            out.setText += c;
        }
    }
    // Percent expansion runs on the set line only; the later line's %NAME%
    // expansion does not look at the value again.
    out.setText.replace(u'%', QStringLiteral("%%"));
    return out;
}

} // namespace

bool isBatchWritable(const QString &text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0' || c == QChar(0x1a))
            return false;
    return true;
}

QString programArgument(const QString &text)
{
    const bool needsQuotes = text.isEmpty() || text.contains(u' ') || text.contains(u'\t')
                             || text.contains(u'"') || text.contains(QStringLiteral("/?"));
    if (!needsQuotes)
        return text;
    QString out = QStringLiteral("\"");
    int backslashes = 0;
    for (QChar c : text) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            out += QString(backslashes * 2 + 1, u'\\');
            out += u'"';
        } else {
            out += QString(backslashes, u'\\');
            out += c;
        }
        backslashes = 0;
    }
    out += QString(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

bool passesBatchSetUnchanged(const QString &text)
{
    return isBatchWritable(text) && escape(programArgument(text)).setText == text;
}

std::optional<QString> batchSetLine(const QString &name, const QString &text)
{
    if (!isBatchWritable(text))
        return std::nullopt;
    return QStringLiteral("set ") + name + u'=' + escape(programArgument(text)).setText;
}

} // namespace jobs
