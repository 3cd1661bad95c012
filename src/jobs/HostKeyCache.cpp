#include "jobs/HostKeyCache.h"
#include "platform/Platform.h"
#include "platform/PuttyHostKeyFile.h"

#include <QList>

namespace jobs {

HostKeyCache HostKeyCache::read()
{
    QByteArray text;
    if (!platform::Platform::files().readFile(platform::puttyHostKeyFile(), &text, nullptr))
        text.clear();
    return HostKeyCache(text);
}

bool HostKeyCache::holdsKeyFor(const QString &host, int port) const
{
    return !keyFor(host, port).isEmpty();
}

QByteArray HostKeyCache::keyFor(const QString &host, int port) const
{
    const QByteArray wanted = QByteArray::number(port) + ':' + host.toUtf8();
    for (QByteArray line : m_text.split('\n')) {
        line = line.trimmed();
        const int blank = line.indexOf(' ');
        const int at = line.indexOf('@');
        // A name without its key is no key.
        const QByteArray key = blank < 0 ? QByteArray() : line.mid(blank + 1).trimmed();
        if (at <= 0 || at > blank || key.isEmpty())
            continue;
        if (line.mid(at + 1, blank - at - 1) == wanted)
            return line.left(at) + ' ' + key;
    }
    return {};
}

} // namespace jobs
