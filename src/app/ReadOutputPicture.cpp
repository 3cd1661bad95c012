#include "app/ReadOutputPicture.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace app {

namespace {

QPixmap consolePicture()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0x00, 0x00, 0x80));
    p.drawRect(1, 2, 29, 6);
    p.setBrush(Qt::black);
    p.drawRect(1, 8, 29, 21);
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 2));
    p.drawLine(5, 13, 10, 18);
    p.drawLine(10, 18, 5, 23);
    p.drawLine(13, 24, 20, 24);
    return picture;
}

} // namespace

ReadOutputPicture::ReadOutputPicture(QWidget *parent)
    : QWidget(parent)
    , imgIcon(new QLabel(this))
{
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(consolePicture());
    imgIcon->move(0, 0);
    imgIcon->resize(imgIcon->sizeHint());
    fitToPicture();
}

void ReadOutputPicture::fitToPicture()
{
    // Height first, then width. Fixed, so that no layout or resize, shown or
    // not, gives the control any other size.
    if (height() != imgIcon->height() || maximumHeight() != imgIcon->height())
        setFixedHeight(imgIcon->height());
    if (width() != imgIcon->width() || maximumWidth() != imgIcon->width())
        setFixedWidth(imgIcon->width());
}

void ReadOutputPicture::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitToPicture();
}

} // namespace app
