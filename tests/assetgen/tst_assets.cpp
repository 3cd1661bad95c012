#include <QFile>
#include <QImage>
#include <QMovie>
#include <QtEndian>
#include <QtTest>

// The pictures and sound the asset generator makes at build time.
class tst_assets : public QObject {
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

private:
    QString m_bin;
};

QTEST_MAIN(tst_assets)
#include "tst_assets.moc"
