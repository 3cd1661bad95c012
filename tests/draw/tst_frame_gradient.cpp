// The framed panel's drawing pieces on plain images: the angled line gradient,
// clipped lines, the rounded outline, the icon blend and colour translation.
#include "draw/ClippedImageSurface.h"
#include "draw/ColorTranslation.h"
#include "draw/ControlError.h"
#include "draw/DrawSurface.h"
#include "draw/FrameGradient.h"
#include "draw/IconBitmap.h"
#include "draw/IconBlend.h"
#include "draw/RoundRectRegion.h"

#include <QApplication>
#include <QtTest>
#include <climits>

using namespace draw;

namespace {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kWhite = 0xFFFFFF;

QImage canvas(int w, int h, ColorRef fill = kWhite)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(toQColor(fill));
    return img;
}

ColorRef at(const QImage &img, int x, int y) { return fromQColor(QColor(img.pixel(x, y))); }

QImage gradient(int w, int h, ColorRef c1, ColorRef c2, float angle)
{
    QImage img = canvas(w, h);
    ClippedImageSurface surface(&img);
    FrameGradient::DrawGradient(surface, w, h, qint32(c1), qint32(c2), angle);
    return img;
}

int errorOf(int w, int h, float angle, RecordingSurface *rec)
{
    try {
        FrameGradient::DrawGradient(*rec, w, h, qint32(kRed), qint32(kBlue), angle);
    } catch (const ControlError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

class tst_frame_gradient : public QObject {
    Q_OBJECT
private slots:
    void runsTheWayTheAngleSays_data();
    void runsTheWayTheAngleSays();
    void equivalentAnglesDrawAlike();
    void diagonalDrawsOneLinePerTableEntry();
    void headerSlantReachesBelowTheArea();
    void colourTableEndsAndMiddle();
    void failsBeforeDrawingOnEmptyOrHugeAreas();
    void clippedLinesVisitOnlyVisiblePixels();
    void roundedOutlineAndRing();
    void iconBlendArithmetic();
    void iconRowsFollowTheHeightSign();
    void translatesColourValues();
};

void tst_frame_gradient::runsTheWayTheAngleSays_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<QPoint>("firstAt");  // where lCol1 lies
    QTest::addColumn<QPoint>("lastAt");   // where lCol2 lies
    QTest::addColumn<bool>("horizontal"); // lines run left to right
    QTest::newRow("0") << 0.f << QPoint(5, 0) << QPoint(5, 9) << true;
    QTest::newRow("90") << 90.f << QPoint(0, 5) << QPoint(19, 5) << false;
    QTest::newRow("180") << 180.f << QPoint(5, 9) << QPoint(5, 0) << true;
    QTest::newRow("270") << 270.f << QPoint(19, 5) << QPoint(0, 5) << false;
}

void tst_frame_gradient::runsTheWayTheAngleSays()
{
    QFETCH(float, angle);
    QFETCH(QPoint, firstAt);
    QFETCH(QPoint, lastAt);
    QFETCH(bool, horizontal);
    const QImage img = gradient(20, 10, kRed, kBlue, angle);
    QCOMPARE(at(img, firstAt.x(), firstAt.y()), kRed);
    QCOMPARE(at(img, lastAt.x(), lastAt.y()), kBlue);
    // Every line is one colour from edge to edge, and neighbours differ.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            QCOMPARE(at(img, x, y), horizontal ? at(img, 0, y) : at(img, x, 0));
    QVERIFY(horizontal ? at(img, 0, 4) != at(img, 0, 5) : at(img, 9, 0) != at(img, 10, 0));
}

void tst_frame_gradient::equivalentAnglesDrawAlike()
{
    QCOMPARE(gradient(30, 20, kRed, kBlue, 360), gradient(30, 20, kRed, kBlue, 0));
    QCOMPARE(gradient(30, 20, kRed, kBlue, -90), gradient(30, 20, kRed, kBlue, 270));
    QCOMPARE(gradient(30, 20, kRed, kBlue, 450), gradient(30, 20, kRed, kBlue, 90));
    // The angle is rounded to whole degrees, halves to even.
    QCOMPARE(gradient(30, 20, kRed, kBlue, 44.5f), gradient(30, 20, kRed, kBlue, 44));
    QCOMPARE(gradient(30, 20, kRed, kBlue, 45.5f), gradient(30, 20, kRed, kBlue, 46));
    QVERIFY(gradient(30, 20, kRed, kBlue, 45) != gradient(30, 20, kRed, kBlue, 44));
}

void tst_frame_gradient::diagonalDrawsOneLinePerTableEntry()
{
    // 45 degrees on 10 x 6: steep lines, slant s = 6, N = 15.
    RecordingSurface rec(QSize(10, 6));
    FrameGradient::DrawGradient(rec, 10, 6, qint32(kRed), qint32(kBlue), 45);
    QCOMPARE(rec.lines.size(), 16);
    QCOMPARE(rec.lines.first().from, QPoint(-6, 5));
    QCOMPARE(rec.lines.first().to, QPoint(0, -1));
    QCOMPARE(rec.lines.first().color, kRed);
    QCOMPARE(rec.lines.last().from, QPoint(9, 5));
    QCOMPARE(rec.lines.last().to, QPoint(15, -1));
    QCOMPARE(rec.lines.last().color, kBlue);

    // At exactly 90 degrees the tangent is huge and finite: no slant.
    RecordingSurface upright(QSize(10, 6));
    FrameGradient::DrawGradient(upright, 10, 6, qint32(kRed), qint32(kBlue), 90);
    QCOMPARE(upright.lines.size(), 10);
    for (const auto &line : upright.lines)
        QCOMPARE(line.to.x(), line.from.x());
}

void tst_frame_gradient::headerSlantReachesBelowTheArea()
{
    // 20 degrees over a 235-pixel-wide, 25-pixel-high header: s = 86.
    RecordingSurface rec(QSize(235, 25));
    FrameGradient::DrawGradient(rec, 235, 25, qint32(kRed), qint32(kBlue), 20);
    QCOMPARE(rec.lines.size(), 86 + 25);
    QCOMPARE(rec.lines.first().from, QPoint(234, -86));
    QCOMPARE(rec.lines.first().to, QPoint(-1, 0));
    QCOMPARE(rec.lines.last().from, QPoint(234, 24));
    QCOMPARE(rec.lines.last().to, QPoint(-1, 110));

    QImage img = canvas(235, 200);
    ClippedImageSurface surface(&img);
    FrameGradient::DrawGradient(surface, 235, 25, qint32(kRed), qint32(kBlue), 20);
    QVERIFY(at(img, 0, 110) != kWhite); // 86 rows below the header's last row
    QCOMPARE(at(img, 0, 111), kWhite);
    QVERIFY(at(img, 234, 24) != kWhite); // none below it at the right edge
    QCOMPARE(at(img, 234, 25), kWhite);
}

void tst_frame_gradient::colourTableEndsAndMiddle()
{
    // N = 2: black, the middle 127.5 rounded to even (128), white.
    const QImage img = gradient(4, 3, 0x000000, kWhite, 0);
    QCOMPARE(at(img, 2, 0), ColorRef(0x000000));
    QCOMPARE(at(img, 2, 1), ColorRef(0x808080));
    QCOMPARE(at(img, 2, 2), kWhite);

    // Mixes that end in .5 go to the even neighbour, down as well as up:
    // red 253 / 2 = 126.5 -> 126, green 249 / 2 = 124.5 -> 124, blue 255 / 2 -> 128.
    const QVector<ColorRef> halves = FrameGradient::ColorTable(0x000000, 0xFFF9FD, 2);
    QCOMPARE(halves.at(1), ColorRef(0x807C7E));

    const QVector<ColorRef> table = FrameGradient::ColorTable(0x123456, 0xABCDEF, 7);
    QCOMPARE(table.size(), 8);
    QCOMPARE(table.first(), ColorRef(0x123456));
    QCOMPARE(table.last(), ColorRef(0xABCDEF));
    for (int i = 1; i < table.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8)
            QVERIFY(((table[i] >> shift) & 0xFF) > ((table[i - 1] >> shift) & 0xFF));

    // An untranslatable colour (-1) takes its bytes as they are: white.
    QCOMPARE(at(gradient(4, 3, 0xFFFFFFFF, 0xFFFFFFFF, 0), 1, 1), kWhite);
}

void tst_frame_gradient::failsBeforeDrawingOnEmptyOrHugeAreas()
{
    RecordingSurface rec(QSize(1, 50));
    QCOMPARE(errorOf(1, 50, 90, &rec), 6); // N = 0: the only factor would be 0 / 0
    QVERIFY(rec.lines.isEmpty());
    QCOMPARE(errorOf(50, 0, 180, &rec), 9); // N = -1: no table
    QVERIFY(rec.lines.isEmpty());
    QCOMPARE(errorOf(INT_MIN, 10, 0, &rec), 6); // width - 1 overflows
    QVERIFY(rec.lines.isEmpty());
    QCOMPARE(errorOf(50, 100000000, 0, &rec), 7); // more lines than can be held
    QVERIFY(rec.lines.isEmpty());
    // One pixel wide is fine where the lines run across it.
    QCOMPARE(errorOf(1, 50, 180, &rec), 0);
    QCOMPARE(rec.lines.size(), 50);
}

void tst_frame_gradient::clippedLinesVisitOnlyVisiblePixels()
{
    // Inside the image the clipped surface draws what the plain one draws
    // for straight and diagonal lines, without the end point.
    const QList<QPair<QPoint, QPoint>> lines = {{{2, 3}, {17, 3}},    {{17, 8}, {-1, 8}},
                                                {{4, 0}, {4, 12}},    {{0, 11}, {11, 0}},
                                                {{-5, -5}, {30, 30}}, {{19, 2}, {3, 18}}};
    for (const auto &l : lines) {
        QImage a = canvas(20, 12), b = canvas(20, 12);
        ClippedImageSurface(&a).drawLine(l.first, l.second, kRed);
        ImageSurface(&b).drawLine(l.first, l.second, kRed);
        QCOMPARE(a, b);
    }
    // A slanted line: each step one pixel, end point left out.
    QImage img = canvas(20, 12);
    ClippedImageSurface(&img).drawLine(QPoint(1, 1), QPoint(11, 5), kRed);
    int painted = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            painted += at(img, x, y) == kRed;
    QCOMPARE(painted, 10);
    QCOMPARE(at(img, 1, 1), kRed);
    QCOMPARE(at(img, 11, 5), kWhite);

    // Lines billions of pixels long: only their visible part is walked.
    QImage far = canvas(10, 10);
    ClippedImageSurface(&far).drawLine(QPoint(-2000000000, 5), QPoint(2000000000, 5), kRed);
    ClippedImageSurface(&far).drawLine(QPoint(-2000000000, -2000000000),
                                       QPoint(2000000000, 2000000000), kBlue);
    QCOMPARE(at(far, 0, 5), kRed);
    QCOMPARE(at(far, 9, 5), kRed);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(at(far, i, i), kBlue);
    QCOMPARE(at(far, 1, 0), kWhite);
}

void tst_frame_gradient::roundedOutlineAndRing()
{
    const int W = 235, H = 180;
    const QRegion outer = RoundRectRegion::create(0, 0, W + 1, H + 1, 10, 10);
    const QRegion inner = RoundRectRegion::create(1, 1, W, H, 10, 10);
    QCOMPARE(outer.boundingRect(), QRect(0, 0, W, H));
    QCOMPARE(inner.boundingRect(), QRect(1, 1, W - 2, H - 2));
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(W - 1, 0), QPoint(0, H - 1), QPoint(W - 1, H - 1)})
        QVERIFY(!outer.contains(corner));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool in = outer.contains(QPoint(x, y));
            QCOMPARE(outer.contains(QPoint(W - 1 - x, y)), in);
            QCOMPARE(outer.contains(QPoint(x, H - 1 - y)), in);
        }
    const QRegion ring = outer.xored(inner);
    QVERIFY(ring.contains(QPoint(1, 1))); // the rounded part of the ring
    QVERIFY(!ring.contains(QPoint(2, 2)));
    for (int y = 10; y < H - 10; ++y) { // straight sides: one pixel each
        int count = 0;
        for (int x = 0; x < W; ++x)
            count += ring.contains(QPoint(x, y));
        QCOMPARE(count, 2);
    }
    QCOMPARE(RoundRectRegion::create(0, 0, 11, 6, 0, 0), QRegion(0, 0, 10, 5));
    QVERIFY(RoundRectRegion::create(0, 0, 1, 1, 10, 10).isEmpty());
}

void tst_frame_gradient::iconBlendArithmetic()
{
    QImage img = canvas(6, 3, 0xC8C8C8); // every byte 200
    IconBitmap icon;
    QVERIFY(icon.Make(3, 1));
    uchar *px = reinterpret_cast<uchar *>(icon.pixels().data());
    const int alphas[3] = {0, 255, 128};
    for (int i = 0; i < 3; ++i) {
        px[4 * i] = 100;
        px[4 * i + 1] = 100;
        px[4 * i + 2] = 100;
        px[4 * i + 3] = uchar(alphas[i]);
    }
    IconBlend::DrawIconBitmap(&img, icon, 1, 1);
    QCOMPARE(at(img, 1, 1), ColorRef(0xC8C8C8)); // alpha 0: unchanged
    QCOMPARE(at(img, 2, 1), ColorRef(0x646464)); // alpha 255: the icon's 100
    QCOMPARE(at(img, 3, 1), ColorRef(0x959595)); // (200*127 + 100*128) div 255 = 149
    QCOMPARE(at(img, 0, 1), ColorRef(0xC8C8C8));
    QCOMPARE(at(img, 4, 1), ColorRef(0xC8C8C8));

    // Partly outside the surface: the visible part is blended, nothing else.
    IconBlend::DrawIconBitmap(&img, icon, 4, 2);
    QCOMPARE(at(img, 5, 2), ColorRef(0x646464));
}

void tst_frame_gradient::iconRowsFollowTheHeightSign()
{
    for (int height : {2, -2}) {
        IconBitmap icon;
        QVERIFY(icon.Make(1, height));
        uchar *px = reinterpret_cast<uchar *>(icon.pixels().data());
        px[2] = 255; // first stored row red
        px[3] = 255;
        px[4] = 255; // second stored row blue
        px[7] = 255;
        QImage img = canvas(1, 2, 0);
        IconBlend::DrawIconBitmap(&img, icon, 0, 0);
        const bool bottomUp = height > 0;
        QCOMPARE(at(img, 0, 0), bottomUp ? kBlue : kRed);
        QCOMPARE(at(img, 0, 1), bottomUp ? kRed : kBlue);
    }
    IconBitmap none;
    QVERIFY(!none.Make(0, 5));
    QVERIFY(!none.Make(100000, 100000)); // too large to make
    QVERIFY(!none.exists());
}

void tst_frame_gradient::translatesColourValues()
{
    QCOMPARE(ColorTranslation::TranslateColor(0x123456), ColorRef(0x123456));
    QCOMPARE(ColorTranslation::TranslateColor(0x8000000F), platform::sysColor(15));
    QCOMPARE(ColorTranslation::TranslateColor(0x80000018), platform::sysColor(24));
    QCOMPARE(ColorTranslation::TranslateColor(0x80000019), ColorTranslation::kFailed);
    QCOMPARE(ColorTranslation::TranslateColor(0x01000005), ColorTranslation::kFailed);
}

QTEST_MAIN(tst_frame_gradient)
#include "tst_frame_gradient.moc"
