#include "draw/CGradient.h"
#include "platform/desktop/SystemColors.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QtTest>

using draw::CGradient;
using draw::RecordingSurface;

class tst_gradient : public QObject {
    Q_OBJECT

private slots:
    void init() { m_fakes = fake::install(); }
    void cleanup() { fake::restore(); }

    void defaults()
    {
        CGradient g;
        QCOMPARE(g.Color1(), 16777168);
        QCOMPARE(g.Color2(), 4194304);
        QCOMPARE(g.Angle(), 315.0f);
    }

    void angleIsFoldedIntoOneTurn_data()
    {
        QTest::addColumn<float>("set");
        QTest::addColumn<float>("expected");
        QTest::newRow("-100") << -100.0f << 260.0f;
        QTest::newRow("360") << 360.0f << 0.0f;
        QTest::newRow("720.5") << 720.5f << 0.5f;
        QTest::newRow("-0.5") << -0.5f << 359.5f;
        QTest::newRow("45") << 45.0f << 45.0f;
    }
    void angleIsFoldedIntoOneTurn()
    {
        QFETCH(float, set);
        QFETCH(float, expected);
        CGradient g;
        g.setAngle(set);
        QCOMPARE(g.Angle(), expected);
    }

    void systemColoursAreTranslated()
    {
        CGradient g;
        g.setColor1(qint32(0x80000000u | 15));
        QCOMPARE(g.Color1(), qint32(platform::sysColor(15)));
        g.setColor2(qint32(0x80000000u | 25));
        QCOMPARE(g.Color2(), qint32(0x80000000u | 25));
    }

    void blendColors()
    {
        CGradient g;
        QVector<qint32> ramp;
        QCOMPARE(g.BlendColors(0, 0xFFFFFF, 4, ramp), 4);
        QCOMPARE(ramp, (QVector<qint32>{0, 0x404040, 0x808080, 0xFFFFFF}));

        for (int steps : {1, 0, -3}) {
            QCOMPARE(g.BlendColors(0x123456, 0x654321, steps, ramp), 2);
            QCOMPARE(ramp, (QVector<qint32>{0x123456, 0x654321}));
        }

        const qint32 alertBlue = 61 + 149 * 256 + 255 * 65536;
        QCOMPARE(g.BlendColors(alertBlue, 0xFFFFFF, 5, ramp), 5);
        auto rgb = [](int r, int gr, int b) { return r + gr * 256 + b * 65536; };
        QCOMPARE(ramp, (QVector<qint32>{rgb(61, 149, 255), rgb(100, 170, 255), rgb(139, 191, 255),
                                        rgb(177, 213, 255), rgb(255, 255, 255)}));

        // End colours are kept as given, even when negative.
        QCOMPARE(g.BlendColors(-5, 0, 3, ramp), 3);
        QCOMPARE(ramp.first(), -5);
    }

    void workedSweeps_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QPoint>("firstFrom");
        QTest::addColumn<QPoint>("firstTo");
        QTest::addColumn<QPoint>("lastFrom");
        QTest::addColumn<QPoint>("lastTo");
        QTest::newRow("0") << 0.0f << 102 << QPoint(0, 97) << QPoint(0, -47) << QPoint(101, 97)
                           << QPoint(101, -47);
        QTest::newRow("90") << 90.0f << 52 << QPoint(122, 50) << QPoint(-22, 50) << QPoint(122, -1)
                            << QPoint(-22, -1);
        QTest::newRow("180") << 180.0f << 102 << QPoint(100, -47) << QPoint(100, 97)
                             << QPoint(-1, -47) << QPoint(-1, 97);
        QTest::newRow("270") << 270.0f << 52 << QPoint(-22, 0) << QPoint(122, 0) << QPoint(-22, 51)
                             << QPoint(122, 51);
    }
    void workedSweeps()
    {
        QFETCH(float, angle);
        QFETCH(int, lines);
        CGradient g;
        g.setAngle(angle);
        RecordingSurface surface(QSize(100, 50));
        QVERIFY(g.Draw(surface));
        QCOMPARE(surface.lines.size(), lines);
        QCOMPARE(surface.lines.first().color, quint32(g.Color1()));
        // Each line keeps its ends; only the sweep axis moves one pixel a line.
        QTEST(QPoint(surface.lines.first().from.x(), surface.lines.first().from.y()), "firstFrom");
        QTEST(surface.lines.first().to, "firstTo");
        QTEST(surface.lines.last().from, "lastFrom");
        QTEST(surface.lines.last().to, "lastTo");
        QCOMPARE(surface.locks, 1);
        QCOMPARE(surface.unlocks, 1);
    }

    void alertPanelSweep()
    {
        CGradient g;
        g.setAngle(-100);
        const QVector<CGradient::LinePoint> points = g.SweepPoints(137, 113);
        QCOMPARE(points.size(), 297);

        g.setColor1(61 + 149 * 256 + 255 * 65536);
        g.setColor2(0xFFFFFF);
        RecordingSurface surface(QSize(137, 113));
        QVERIFY(g.Draw(surface));
        QCOMPARE(surface.lines.size(), 148);
        QCOMPARE(surface.lines.first().from, QPoint(-28, -34));
        QCOMPARE(surface.lines.first().to, QPoint(164, 0));
        QCOMPARE(surface.lines.last().from, QPoint(-28, 113));
        QCOMPARE(surface.lines.last().to, QPoint(164, 147));
        for (int k = 1; k < surface.lines.size(); ++k)
            QCOMPARE(surface.lines[k].from.y(), surface.lines[k - 1].from.y() + 1);
        // Ramp of 148 colours: the last line gets the last one, white.
        QCOMPARE(surface.lines.first().color, quint32(g.Color1()));
        QCOMPARE(surface.lines.last().color, quint32(0xFFFFFF));
    }

    void oddEntryCountGivesTheRampOneColourMore()
    {
        // 100 x 50 at 50 degrees: 287 entries, so 143 shallow lines stepping up
        // from y = 142 to y = 0; the ramp has 143.5 rounded to even = 144
        // colours, so the last line gets ramp colour 142 of 144, not Color2.
        CGradient g;
        g.setAngle(50);
        g.setColor1(0x000000);
        g.setColor2(0xFFFFFF);
        QCOMPARE(g.SweepPoints(100, 50).size(), 287);
        RecordingSurface surface(QSize(100, 50));
        QVERIFY(g.Draw(surface));
        QCOMPARE(surface.lines.size(), 143);
        QCOMPARE(surface.lines.first().from, QPoint(105, 142));
        QCOMPARE(surface.lines.first().to, QPoint(-5, 50));
        QCOMPARE(surface.lines.last().from, QPoint(105, 0));
        QCOMPARE(surface.lines.last().to, QPoint(-5, -92));
        QCOMPARE(surface.lines.first().color, quint32(0x000000));
        // round(142 * 255 / 144) = round(251.46) = 251 in every channel.
        QCOMPARE(surface.lines.last().color, quint32(0xFBFBFB));
    }

    void squareAt45IsSteep()
    {
        CGradient g;
        g.setAngle(45);
        RecordingSurface surface(QSize(60, 60));
        QVERIFY(g.Draw(surface));
        // Steep lines step along x.
        QCOMPARE(surface.lines[1].from.x(), surface.lines[0].from.x() + 1);
        QCOMPARE(surface.lines[1].from.y(), surface.lines[0].from.y());
    }

    void tinyOrUnreadableAreasDrawNothing()
    {
        CGradient g;
        RecordingSurface oneHigh(QSize(50, 1));
        QVERIFY(!g.Draw(oneHigh));
        QVERIFY(oneHigh.lines.isEmpty());
        RecordingSurface unreadable(QSize(50, 50), false);
        QVERIFY(!g.Draw(unreadable));
        QVERIFY(m_fakes.messages->shown.isEmpty());
        QCOMPARE(unreadable.unlocks, 1);
    }

    void overflowShowsWarningAndReturnsFalse()
    {
        CGradient g;
        g.setAngle(30);
        RecordingSurface huge(QSize(2000000000, 2000000000));
        QVERIFY(!g.Draw(huge));
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QCOMPARE(m_fakes.messages->shown.first().title, QStringLiteral("GradientRect"));
        QCOMPARE(m_fakes.messages->shown.first().icon, platform::MsgIcon::Exclamation);
        QCOMPARE(huge.unlocks, 1);
    }

    void paintsPixels()
    {
        // Angle 0: Color1 at the left edge, colours move towards Color2 rightwards.
        QImage image(100, 50, QImage::Format_RGB32);
        image.fill(Qt::black);
        draw::ImageSurface surface(&image);
        CGradient g;
        g.setAngle(0);
        g.setColor1(0x0000FF); // red
        g.setColor2(0xFF0000); // blue
        QVERIFY(g.Draw(surface));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 49), QColor(255, 0, 0));
        QVERIFY(image.pixelColor(99, 25).blue() > 240);
        QVERIFY(image.pixelColor(50, 10).red() < 140 && image.pixelColor(50, 10).red() > 115);
    }

private:
    fake::Services m_fakes{};
};

QTEST_MAIN(tst_gradient)
#include "tst_gradient.moc"
