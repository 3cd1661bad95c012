#include "app/BusyIndicator.h"

#include <QDir>
#include <QFile>
#include <QMovie>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The pictures and sound made at build time, and the busy sign that plays them.
class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_bin = qEnvironmentVariable("ZORVANE_BIN_DIR"); }

    void spinnerIsAnAnimatedGif()
    {
        QMovie movie(m_bin + QStringLiteral("/loading.gif"));
        QVERIFY(movie.isValid());
        QCOMPARE(movie.frameCount(), 12);
        QVERIFY(movie.jumpToFrame(0));
        const QImage first = movie.currentImage();
        for (int i = 0; i < 6; ++i)
            QVERIFY(movie.jumpToNextFrame());
        QCOMPARE(first.size(), QSize(32, 32));
        QVERIFY(first != movie.currentImage()); // it moves
    }

    void chimeIsAShortWave()
    {
        QFile f(m_bin + QStringLiteral("/newalert.wav"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray wav = f.readAll();
        QVERIFY(wav.startsWith("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        const quint32 rate = qFromLittleEndian<quint32>(wav.constData() + 24);
        const quint32 dataSize = qFromLittleEndian<quint32>(wav.constData() + 40);
        QCOMPARE(quint32(wav.size()), dataSize + 44);
        const double seconds = double(dataSize) / (rate * 2);
        QVERIFY(seconds > 0.1 && seconds < 1.0);
    }

    void welcomePictureLoads()
    {
        QImage img(m_bin + QStringLiteral("/welcome.jpg"));
        QVERIFY(!img.isNull());
        QCOMPARE(img.size(), QSize(93, 89));
    }

    void busySignPlaysOnlyWhileShown()
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QVERIFY(QFile::copy(m_bin + QStringLiteral("/loading.gif"), QStringLiteral("loading.gif")));
        app::BusyIndicator sign;
        sign.show();
        QVERIFY(sign.isPlaying());
        sign.hide();
        QVERIFY(!sign.isPlaying());
    }

    void missingAnimationLeavesTheSignBlank()
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        app::BusyIndicator sign;
        sign.show();
        QVERIFY(sign.isVisible());
        QVERIFY(!sign.isPlaying());
    }

private:
    QString m_bin;
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
