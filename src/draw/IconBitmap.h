#pragma once
#include "draw/BitmapInfoHeader.h"

#include <QByteArray>
#include <cstdint>

namespace draw {

// The header icon of a framed panel: a 32-bit device-independent bitmap, its
// 40-byte header and its pixel bytes (blue, green, red, alpha per pixel, rows
// in the order the header's height gives). The alpha is plain coverage, 0
// transparent to 255 opaque. At most one exists per control; an empty one
// means "no icon".
class IconBitmap {
public:
    // Largest pixel buffer a bitmap may have; a larger one cannot be made.
    static constexpr std::int64_t kMaxImageBytes = 64 * 1024 * 1024;

    // Releases the current bitmap, then makes a new one of width x height
    // with all pixel bytes 0. False (and no bitmap) when the size is not
    // positive or too large.
    bool Make(std::int32_t width, std::int32_t height);
    // Drops the bitmap and clears the header; harmless when there is none.
    void Release();

    bool exists() const { return m_exists; }
    const BitmapInfoHeader &header() const { return m_header; }
    int width() const { return m_header.width; }
    // Number of rows, whatever the order they are stored in.
    int rowCount() const { return m_header.height < 0 ? -m_header.height : m_header.height; }
    // Byte position of the pixel at (column, row), row 0 being the top row on
    // screen: bottom-up bitmaps store the top row last.
    int byteOffset(int column, int row) const;

    QByteArray &pixels() { return m_pixels; }
    const QByteArray &pixels() const { return m_pixels; }

private:
    BitmapInfoHeader m_header;
    QByteArray m_pixels;
    bool m_exists = false;
};

} // namespace draw
