// Makes the pictures and the sound that lie beside the program: the busy
// animation "loading.gif", the alert chime "newalert.wav" and the Main Screen
// picture "welcome.jpg"; with --icons, the program's emblem (the one its About
// window shows) as its desktop icon, in the icon theme's layout
// (<size>x<size>/apps/zorvane.png, at the sizes the theme looks for).
// Usage: assetgen <output folder> | assetgen --icons <theme folder>
#include "GifWriter.h"
#include "about/AboutArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

QList<QImage> spinnerFrames()
{
    constexpr int kFrames = 12, kSize = 32;
    QList<QImage> frames;
    for (int f = 0; f < kFrames; ++f) {
        QImage img(kSize, kSize, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(kSize / 2.0, kSize / 2.0);
        for (int dot = 0; dot < kFrames; ++dot) {
            // The newest dot is darkest; older ones fade towards white.
            const int age = (f - dot + kFrames) % kFrames;
            const int grey = 40 + age * 17;
            p.save();
            p.rotate(dot * 360.0 / kFrames);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(grey, grey, grey));
            p.drawEllipse(QPointF(0, -11), 2.6, 2.6);
            p.restore();
        }
        frames.append(img);
    }
    return frames;
}

QByteArray chimeWave()
{
    constexpr int kRate = 22050;
    constexpr double kSeconds = 0.45;
    const int samples = int(kRate * kSeconds);
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / kRate;
        // Two bell-like notes, the second entering a little later.
        double v = std::sin(2 * M_PI * 880 * t) * std::exp(-t * 9);
        if (t > 0.12)
            v += std::sin(2 * M_PI * 1318.5 * (t - 0.12)) * std::exp(-(t - 0.12) * 8);
        const qint16 s = qint16(std::lround(v * 0.4 * 32767));
        qToLittleEndian(s, pcm.data() + 2 * i);
    }
    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + pcm.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kRate);
    u32(kRate * 2); // bytes per second
    u16(2);         // block align
    u16(16);        // bits per sample
    wav.append("data");
    u32(pcm.size());
    wav.append(pcm);
    return wav;
}

QImage welcomePicture()
{
    // A handheld with a screen full of application icons, 93 by 89 pixels.
    QImage img(93, 89, QImage::Format_RGB32);
    img.fill(QColor(235, 240, 250));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.setBrush(QColor(30, 30, 35));
    p.drawRoundedRect(QRectF(26, 3, 41, 83), 7, 7);
    QLinearGradient screen(0, 12, 0, 72);
    screen.setColorAt(0, QColor(61, 149, 255));
    screen.setColorAt(1, QColor(255, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(30, 12, 33, 60));
    const QColor icons[] = {QColor(230, 80, 60), QColor(80, 190, 90), QColor(250, 200, 40),
                            QColor(120, 90, 220)};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(icons[(row + col) % 4]);
            p.drawRoundedRect(QRectF(32.5 + col * 10, 15 + row * 12, 8, 8), 2, 2);
        }
    p.setBrush(QColor(90, 90, 100));
    p.drawEllipse(QPointF(46.5, 79), 3.5, 3.5);
    return img;
}

bool writeIcons(const QDir &theme)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString png = theme.filePath(folder + QStringLiteral("/zorvane.png"));
        if (!theme.mkpath(folder) || !about::AboutArt::emblem(size).save(png, "PNG")) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(png));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--icons") == 0)
        return writeIcons(QDir(QString::fromLocal8Bit(argv[2]))) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <output folder> | assetgen --icons <theme folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = writeFile(out.filePath(QStringLiteral("loading.gif")),
                        assetgen::encodeGreyGif(spinnerFrames(), 8));
    ok = writeFile(out.filePath(QStringLiteral("newalert.wav")), chimeWave()) && ok;
    const QString jpg = out.filePath(QStringLiteral("welcome.jpg"));
    if (!welcomePicture().save(jpg, "JPG", 90)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(jpg));
        ok = false;
    }
    return ok ? 0 : 1;
}
