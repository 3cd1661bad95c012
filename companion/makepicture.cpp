// Draws pwned.jpg, the small picture the SSH first-run job copies to the
// device's /tmp (the copy is what makes pscp ask for the device's host key).
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    QImage image(160, 120, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 160, 120);
    sky.setColorAt(0, QColor(20, 24, 48));
    sky.setColorAt(1, QColor(70, 20, 90));
    p.fillRect(image.rect(), sky);

    // An iPod Touch seen from the front, its screen showing an open padlock.
    p.setPen(QPen(QColor(200, 200, 210), 2));
    p.setBrush(QColor(30, 30, 34));
    p.drawRoundedRect(QRectF(56, 8, 48, 86), 8, 8);
    p.setBrush(QColor(60, 140, 220));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(60, 18, 40, 60));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 200, 210), 1.5));
    p.drawEllipse(QPointF(80, 86), 4, 4);

    QPainterPath shackle;
    shackle.moveTo(72, 46);
    shackle.lineTo(72, 38);
    shackle.arcTo(QRectF(72, 30, 16, 16), 180, -180);
    shackle.lineTo(88, 34);
    p.setPen(QPen(QColor(250, 220, 80), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 220, 80));
    p.drawRoundedRect(QRectF(68, 46, 24, 18), 3, 3);

    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(18);
    p.setFont(font);
    p.setPen(QColor(250, 220, 80));
    p.drawText(QRectF(0, 96, 160, 22), Qt::AlignCenter, QStringLiteral("pwned"));
    p.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "JPG", 85)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
