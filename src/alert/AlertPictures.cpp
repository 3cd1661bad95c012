#include "alert/AlertPictures.h"

#include <QPainter>
#include <QPolygon>

namespace alert {

QPixmap closeBoxPicture()
{
    QPixmap pm(13, 12);
    pm.fill(QColor(200, 30, 30));
    QPainter p(&pm);
    p.setPen(QColor(120, 0, 0));
    p.drawRect(0, 0, 12, 11);
    p.setPen(QPen(Qt::white, 1.6));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawLine(QPointF(3.5, 3), QPointF(9.5, 9));
    p.drawLine(QPointF(9.5, 3), QPointF(3.5, 9));
    return pm;
}

QCursor handCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A raised index finger whose tip is the hot spot, over a closed fist.
    QPolygon hand;
    hand << QPoint(11, 1) << QPoint(14, 1) << QPoint(15, 3) << QPoint(15, 11) << QPoint(24, 13)
         << QPoint(26, 16) << QPoint(26, 23) << QPoint(23, 29) << QPoint(13, 29) << QPoint(6, 21)
         << QPoint(6, 17) << QPoint(9, 17) << QPoint(10, 19) << QPoint(10, 3);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(hand);
    p.drawLine(18, 13, 18, 19);
    p.drawLine(21, 14, 21, 19);
    return QCursor(pm, 12, 1);
}

} // namespace alert
