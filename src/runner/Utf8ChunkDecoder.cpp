#include "runner/Utf8ChunkDecoder.h"

namespace {

// Bytes a UTF-8 sequence has when it starts with this byte (1 for anything
// that cannot start a longer sequence).
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Where an incomplete sequence at the end of data starts, or size when the
// data ends on a character boundary.
int incompleteTail(const QByteArray &data)
{
    const int size = int(data.size());
    for (int i = size - 1; i >= 0 && i >= size - 3; --i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        return size - i < sequenceLength(byte) ? i : size;
    }
    return size;
}

} // namespace

QString Utf8ChunkDecoder::decode(const char *bytes, int count)
{
    m_carry.append(bytes, count);
    const int complete = incompleteTail(m_carry);
    const QString text = QString::fromUtf8(m_carry.constData(), complete);
    m_carry.remove(0, complete);
    return text;
}

QString Utf8ChunkDecoder::finish()
{
    const QString text = QString::fromUtf8(m_carry);
    m_carry.clear();
    return text;
}
