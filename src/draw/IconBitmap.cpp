#include "draw/IconBitmap.h"

namespace draw {

bool IconBitmap::Make(std::int32_t width, std::int32_t height)
{
    Release();
    const std::int64_t rows = height < 0 ? -std::int64_t(height) : height;
    const std::int64_t bytes = 4 * std::int64_t(width) * rows;
    if (width <= 0 || rows == 0 || bytes > kMaxImageBytes)
        return false;
    m_header.size = BitmapInfoHeader::kSize;
    m_header.width = width;
    m_header.height = height;
    m_header.planes = 1;
    m_header.bitCount = 32;
    m_header.compression = 0;
    m_header.sizeImage = std::uint32_t(bytes);
    m_pixels = QByteArray(int(bytes), '\0');
    m_exists = true;
    return true;
}

void IconBitmap::Release()
{
    m_header = BitmapInfoHeader();
    m_pixels.clear();
    m_exists = false;
}

int IconBitmap::byteOffset(int column, int row) const
{
    const int storedRow = m_header.height > 0 ? rowCount() - 1 - row : row;
    return (storedRow * m_header.width + column) * 4;
}

} // namespace draw
