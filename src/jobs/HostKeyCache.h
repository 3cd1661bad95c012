#pragma once
#include <QByteArray>
#include <QString>

namespace jobs {

// PuTTY's cache of the host keys the user has accepted, as pscp and plink keep
// it: one line per key, "<key type>@<port>:<host> <key>". A host is looked up
// as it was typed, as those tools look it up.
class HostKeyCache {
public:
    explicit HostKeyCache(QByteArray text)
        : m_text(std::move(text))
    {}

    // The user's cache; a missing or unreadable file holds no keys.
    static HostKeyCache read();

    // Whether a key of any type is stored for the host at the port.
    bool holdsKeyFor(const QString &host, int port = 22) const;
    // The first key stored for the host at the port, as "<key type> <key>";
    // empty when there is none.
    QByteArray keyFor(const QString &host, int port = 22) const;

private:
    QByteArray m_text;
};

} // namespace jobs
