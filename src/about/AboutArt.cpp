#include "about/AboutArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace about {
namespace AboutArt {

namespace {

constexpr int kBackgroundWidth = 668;
constexpr int kBackgroundHeight = 390;
// Where the bottom strip (donation picture, hide mark) begins, in pixels.
constexpr int kBottomStripTop = 336;

QFont pictureFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// An arc of the emblem's circular arrows, from `startDeg` counter-clockwise
// through `spanDeg`, with an arrow head at its end.
void drawArrowArc(QPainter &p, QPointF centre, qreal radius, qreal startDeg, qreal spanDeg)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawArc(box, qRound(startDeg * 16), qRound(spanDeg * 16));

    const qreal end = qDegreesToRadians(startDeg + spanDeg);
    const QPointF tip0(centre.x() + radius * qCos(end), centre.y() - radius * qSin(end));
    const QPointF along(-qSin(end), -qCos(end)); // direction of travel on screen
    const QPointF outward(qCos(end), -qSin(end));
    const qreal head = p.pen().widthF() * 1.3;
    QPolygonF arrow;
    arrow << tip0 + along * head * 1.4 << tip0 + outward * head << tip0 - outward * head;
    const QColor colour = p.pen().color();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(arrow);
    p.restore();
}

} // namespace

QPixmap background()
{
    QPixmap pixmap(kBackgroundWidth, kBackgroundHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient body(0, 0, 0, kBottomStripTop);
    body.setColorAt(0.0, QColor(0xfd, 0xfe, 0xff));
    body.setColorAt(1.0, QColor(0xdc, 0xe6, 0xf2));
    p.fillRect(0, 0, kBackgroundWidth, kBottomStripTop, body);

    // A soft glow behind the emblem and two faint sweeping bands on the right.
    QRadialGradient glow(QPointF(112, 96), 120);
    glow.setColorAt(0.0, QColor(0x9c, 0xc8, 0xf0, 110));
    glow.setColorAt(1.0, QColor(0x9c, 0xc8, 0xf0, 0));
    p.fillRect(0, 0, 260, kBottomStripTop, glow);
    p.setPen(Qt::NoPen);
    for (int band = 0; band < 2; ++band) {
        QPainterPath path;
        const qreal shift = band * 46;
        path.moveTo(430 + shift, kBottomStripTop);
        path.cubicTo(520 + shift, 250, 600 + shift, 230, kBackgroundWidth, 150 + shift);
        path.lineTo(kBackgroundWidth, kBottomStripTop);
        path.closeSubpath();
        p.setBrush(QColor(0x7f, 0xa8, 0xd6, 28));
        p.drawPath(path);
    }

    QLinearGradient strip(0, kBottomStripTop, 0, kBackgroundHeight);
    strip.setColorAt(0.0, QColor(0xc9, 0xd7, 0xe8));
    strip.setColorAt(1.0, QColor(0xa6, 0xba, 0xd4));
    p.fillRect(0, kBottomStripTop, kBackgroundWidth, kBackgroundHeight - kBottomStripTop, strip);
    p.setPen(QColor(0xff, 0xff, 0xff, 200));
    p.drawLine(0, kBottomStripTop, kBackgroundWidth, kBottomStripTop);
    return pixmap;
}

QPixmap emblem(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 160.0, size / 160.0);

    // Tile: a blue rounded square.
    QLinearGradient tile(8, 8, 152, 152);
    tile.setColorAt(0.0, QColor(0x2f, 0xa0, 0xd8));
    tile.setColorAt(1.0, QColor(0x1a, 0x46, 0x86));
    p.setPen(QPen(QColor(0x12, 0x33, 0x66), 3));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, 144, 144), 30, 30);

    // The handheld device: body, screen and home button.
    p.setPen(QPen(QColor(0x9a, 0xa6, 0xb4), 2));
    p.setBrush(QColor(0xf4, 0xf6, 0xf8));
    p.drawRoundedRect(QRectF(58, 30, 44, 92), 9, 9);
    QLinearGradient screen(62, 40, 98, 104);
    screen.setColorAt(0.0, QColor(0x2b, 0x3f, 0x58));
    screen.setColorAt(1.0, QColor(0x10, 0x1a, 0x28));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(62, 40, 36, 64));
    p.setPen(QPen(QColor(0x9a, 0xa6, 0xb4), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(80, 113), 4.5, 4.5);

    // Two circular arrows around it: out to the backup and back again.
    p.setPen(QPen(QColor(0xff, 0xb5, 0x2e), 8, Qt::SolidLine, Qt::RoundCap));
    drawArrowArc(p, QPointF(80, 78), 56, 25, 120);
    drawArrowArc(p, QPointF(80, 78), 56, 205, 120);
    return pixmap;
}

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(emblem(size));
    return icon;
}

QPixmap donateButton()
{
    QPixmap pixmap(120, 54);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient face(0, 0, 0, 54);
    face.setColorAt(0.0, QColor(0xff, 0xe3, 0x7e));
    face.setColorAt(1.0, QColor(0xf3, 0xa3, 0x1f));
    p.setPen(QPen(QColor(0xb0, 0x72, 0x10), 2));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(1, 1, 118, 52), 11, 11);

    p.setPen(QColor(0x1f, 0x3f, 0x6f));
    p.setFont(pictureFont(17, true));
    p.drawText(QRect(0, 5, 120, 26), Qt::AlignCenter, QStringLiteral("Donate"));
    p.setFont(pictureFont(10, false));
    p.drawText(QRect(0, 30, 120, 16), Qt::AlignCenter, QStringLiteral("Support Zorvane"));
    return pixmap;
}

QPixmap hideMark()
{
    QPixmap pixmap(24, 26);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient face(0, 0, 0, 26);
    face.setColorAt(0.0, QColor(0xf4, 0xf4, 0xf4));
    face.setColorAt(1.0, QColor(0xc4, 0xc8, 0xce));
    p.setPen(QPen(QColor(0x6a, 0x70, 0x78), 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 23), 4, 4);

    p.setPen(QPen(QColor(0xb0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 8.5), QPointF(16.5, 17.5));
    p.drawLine(QPointF(16.5, 8.5), QPointF(7.5, 17.5));
    return pixmap;
}

} // namespace AboutArt
} // namespace about
