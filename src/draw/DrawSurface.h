#pragma once
#include "platform/desktop/SystemColors.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>

namespace draw {

using platform::ColorRef;

// The small drawing surface the painters draw on: a client size in pixels and
// solid one-pixel lines that leave out their end point, clipped to the client
// area. The update lock suspends screen updates around one painting.
class DrawSurface {
public:
    virtual ~DrawSurface() = default;
    // Client size in pixels; false when it cannot be read.
    virtual bool clientSize(QSize *size) const = 0;
    virtual void drawLine(QPoint from, QPoint to, ColorRef color) = 0;
    virtual void lockUpdates() {}
    virtual void unlockUpdates() {}
};

// Paints into an image with the line rules above.
class ImageSurface : public DrawSurface {
public:
    explicit ImageSurface(QImage *image)
        : m_image(image)
    {}
    bool clientSize(QSize *size) const override;
    void drawLine(QPoint from, QPoint to, ColorRef color) override;

private:
    QImage *m_image;
};

// Records every line; the size is given. Lets tests check a painting as a list.
class RecordingSurface : public DrawSurface {
public:
    struct Line {
        QPoint from;
        QPoint to;
        ColorRef color;
    };
    explicit RecordingSurface(QSize size, bool sizeReadable = true)
        : m_size(size)
        , m_sizeReadable(sizeReadable)
    {}
    bool clientSize(QSize *size) const override;
    void drawLine(QPoint from, QPoint to, ColorRef color) override;
    void lockUpdates() override { ++locks; }
    void unlockUpdates() override { ++unlocks; }

    QList<Line> lines;
    int locks = 0;
    int unlocks = 0;

private:
    QSize m_size;
    bool m_sizeReadable;
};

// 0x00BBGGRR to a Qt colour and back.
QColor toQColor(ColorRef color);
ColorRef fromQColor(const QColor &color);

} // namespace draw
