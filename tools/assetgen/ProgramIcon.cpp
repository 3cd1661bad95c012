#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace assetgen {

const QList<int> &ProgramIcon::sizes()
{
    static const QList<int> list{16, 22, 24, 32, 48, 64, 128, 256};
    return list;
}

QImage ProgramIcon::draw(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit square, scaled to the size asked for.
    p.scale(size / 64.0, size / 64.0);

    // The handheld: dark body, blue-to-white screen, home button.
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.setBrush(QColor(30, 30, 35));
    p.drawRoundedRect(QRectF(14, 2, 34, 60), 6, 6);
    QLinearGradient screen(0, 9, 0, 51);
    screen.setColorAt(0, QColor(61, 149, 255));
    screen.setColorAt(1, QColor(255, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(17.5, 9, 27, 42));
    if (size >= 32) {
        const QColor icons[] = {QColor(230, 80, 60), QColor(80, 190, 90), QColor(250, 200, 40),
                                QColor(120, 90, 220)};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 3; ++col) {
                p.setBrush(icons[(row + col) % 4]);
                p.drawRoundedRect(QRectF(19.5 + col * 8.5, 11 + row * 9.5, 6, 6), 1.5, 1.5);
            }
    }
    p.setBrush(QColor(90, 90, 100));
    p.drawEllipse(QPointF(31, 56.5), 2.6, 2.6);

    // The round arrow in a green disc at the lower right.
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(40, 160, 70));
    p.drawEllipse(QPointF(46, 46), 15, 15);
    // Three quarters and more of a circle, clockwise from the top, with the
    // arrowhead at its end pointing the way it turns.
    constexpr double kCentre = 46, kRadius = 8, kStart = 90, kSweep = -300;
    QPainterPath arc;
    const QRectF circle(kCentre - kRadius, kCentre - kRadius, 2 * kRadius, 2 * kRadius);
    arc.arcMoveTo(circle, kStart);
    arc.arcTo(circle, kStart, kSweep);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    const double end = qDegreesToRadians(kStart + kSweep);
    const QPointF tip(kCentre + kRadius * std::cos(end), kCentre - kRadius * std::sin(end));
    const QPointF along(std::sin(end), std::cos(end));   // clockwise, on screen
    const QPointF across(-along.y(), along.x());
    QPainterPath head;
    head.moveTo(tip + 4.5 * along);
    head.lineTo(tip + 4 * across);
    head.lineTo(tip - 4 * across);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(head);
    return img;
}

} // namespace assetgen
