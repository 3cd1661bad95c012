#pragma once
#include <QByteArray>
#include <memory>

namespace platform {

// SHA-256 of content given in pieces, by the system's crypto library, which
// uses the processor's own SHA instructions where it has them: a backup's
// gigabyte is hashed in about half a second instead of four.
class ContentHash {
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash &) = delete;
    ContentHash &operator=(const ContentHash &) = delete;

    void add(const char *data, qsizetype size);
    void add(const QByteArray &piece) { add(piece.constData(), piece.size()); }
    // The hash in 64 lowercase hex digits; the hash is then begun anew.
    QByteArray hex();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace platform
