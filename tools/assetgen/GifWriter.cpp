#include "GifWriter.h"

namespace assetgen {

namespace {

void put16(QByteArray &out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// Packs codes of a fixed 9-bit width, least significant bit first.
class BitPacker {
public:
    void put(int code)
    {
        m_acc |= quint32(code) << m_bits;
        m_bits += 9;
        while (m_bits >= 8) {
            m_bytes.append(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_acc & 0xFF));
        return m_bytes;
    }

private:
    quint32 m_acc = 0;
    int m_bits = 0;
    QByteArray m_bytes;
};

QByteArray lzwUncompressed(const QImage &frame)
{
    constexpr int kClear = 256, kEnd = 257, kRun = 250;
    BitPacker packer;
    packer.put(kClear);
    int sinceClear = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (sinceClear == kRun) {
                packer.put(kClear);
                sinceClear = 0;
            }
            packer.put(qGray(frame.pixel(x, y)));
            ++sinceClear;
        }
    }
    packer.put(kEnd);
    return packer.finish();
}

} // namespace

QByteArray encodeGreyGif(const QList<QImage> &frames, int delayCentiseconds)
{
    QByteArray out("GIF89a");
    const int w = frames.first().width(), h = frames.first().height();
    put16(out, w);
    put16(out, h);
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits per channel
    out.append(char(0));    // background colour index
    out.append(char(0));    // square pixels
    for (int i = 0; i < 256; ++i)
        out.append(QByteArray(3, char(i)));
    // Loop for ever.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    for (const QImage &frame : frames) {
        out.append("\x21\xF9\x04\x00", 4);
        put16(out, delayCentiseconds);
        out.append("\x00\x00", 2);
        out.append(char(0x2C));
        put16(out, 0);
        put16(out, 0);
        put16(out, w);
        put16(out, h);
        out.append(char(0));
        out.append(char(8)); // LZW minimum code size
        const QByteArray data = lzwUncompressed(frame);
        for (int pos = 0; pos < data.size(); pos += 255) {
            const QByteArray block = data.mid(pos, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

} // namespace assetgen
