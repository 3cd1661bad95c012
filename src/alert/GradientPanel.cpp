#include "alert/GradientPanel.h"

#include <QPainter>
#include <QResizeEvent>

namespace alert {

GradientPanel::GradientPanel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientPanel::resizeEvent(QResizeEvent *event)
{
    QImage resized(event->size(), QImage::Format_RGB32);
    resized.fill(palette().color(QPalette::Window));
    if (!m_picture.isNull()) {
        QPainter p(&resized);
        p.drawImage(0, 0, m_picture);
    }
    m_picture = resized;
    QWidget::resizeEvent(event);
}

void GradientPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

} // namespace alert
