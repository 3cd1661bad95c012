#pragma once
#include <QByteArray>
#include <QString>

// Turns the command's output bytes into text one read at a time. A character
// whose bytes are split between two reads is held back and completed by the
// next read, so it never comes out as two broken characters.
class Utf8ChunkDecoder {
public:
    // How many bytes the next read may take so that, with the bytes held back,
    // one chunk never holds more than chunkBytes bytes of output.
    int room(int chunkBytes) const { return chunkBytes - int(m_carry.size()); }

    // The text of the held-back bytes followed by these, up to the last complete
    // character; an incomplete character at the end is held back.
    QString decode(const char *bytes, int count);

    // The text of whatever is still held back (at the end of the output); bytes
    // that never formed a character come out as replacement characters.
    QString finish();

    int heldBack() const { return int(m_carry.size()); }

private:
    QByteArray m_carry;
};
