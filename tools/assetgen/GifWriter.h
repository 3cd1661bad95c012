#pragma once
#include <QByteArray>
#include <QImage>
#include <QList>

namespace assetgen {

// Writes a looping animated GIF from frames of the same size. Pixels are mapped
// to a 256-level grey palette; the LZW stream uses 9-bit codes throughout by
// clearing the code table before it would grow.
QByteArray encodeGreyGif(const QList<QImage> &frames, int delayCentiseconds);

} // namespace assetgen
