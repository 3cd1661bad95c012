#pragma once
#include "draw/DrawSurface.h"

#include <QImage>

namespace draw {

// A drawing surface over an image whose lines are clipped before they are
// walked: only the pixels that fall inside the image are visited, so a line
// that runs millions of pixels beyond the image costs no more than its visible
// part. Lines leave out their end point, like the other surfaces.
class ClippedImageSurface : public DrawSurface {
public:
    explicit ClippedImageSurface(QImage *image)
        : m_image(image)
    {}
    bool clientSize(QSize *size) const override;
    void drawLine(QPoint from, QPoint to, ColorRef color) override;

private:
    QImage *m_image;
};

} // namespace draw
