#pragma once
#include <QByteArray>
#include <cstdint>

namespace draw {

// The 40-byte bitmap information header that starts a bitmap resource, in the
// Windows layout (little-endian): size, width, height (positive: rows stored
// bottom-up; negative: top-down), planes, bits per pixel, compression, image
// size, then four fields the control leaves 0.
struct BitmapInfoHeader {
    static constexpr int kSize = 40;

    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;

    // Reads the first 40 bytes; false when there are fewer.
    static bool parse(const QByteArray &bytes, BitmapInfoHeader *header);
};

} // namespace draw
