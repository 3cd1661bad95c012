// The framed panel control: start values, stored form, icon resources (the
// bitmaps compiled into this test executable), events and its drawing,
// checked on the pixels of its surface.
#include "draw/ColorTranslation.h"
#include "draw/ControlError.h"
#include "draw/IconResources.h"
#include "draw/PropertyBag.h"
#include "draw/XPFrame.h"

#include <QFontMetricsF>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>

using namespace draw;

namespace {

constexpr int W = 235, H = 180;
using P = XPFrameProperties;

ColorRef at(const QImage &img, int x, int y) { return fromQColor(QColor(img.pixel(x, y))); }

int channel(ColorRef c, int shift) { return int((c >> shift) & 0xFF); }

// True when `c` is within one step per channel of the straight blend that puts
// `from` at position 0 and `to` at position n.
bool nearBlend(ColorRef c, ColorRef from, ColorRef to, int pos, int n)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const double want =
            channel(from, shift) + (channel(to, shift) - channel(from, shift)) * double(pos) / n;
        if (std::fabs(channel(c, shift) - want) > 1.0)
            return false;
    }
    return true;
}

// Columns of rows [top, bottom] whose pixel differs from the pixel of the same
// row in column `refX`: where a caption or icon was drawn over a gradient whose
// rows are one colour each. The border columns are left out; rows above 6
// would also catch the rounded corners of the border.
QList<int> markedColumns(const QImage &img, int top, int bottom, int refX)
{
    QList<int> cols;
    for (int x = 1; x < img.width() - 1; ++x)
        for (int y = top; y <= bottom; ++y)
            if (img.pixel(x, y) != img.pixel(refX, y)) {
                cols.append(x);
                break;
            }
    return cols;
}

int errorNumber(const std::function<void()> &f, QString *description = nullptr)
{
    try {
        f();
    } catch (const ControlError &e) {
        if (description)
            *description = e.description();
        return e.number();
    }
    return 0;
}

int widthOfA(const XPFrame &frame)
{
    return int(std::nearbyint(
        QFontMetricsF(*frame.HeaderFont(), &frame.surface()).horizontalAdvance("A")));
}

} // namespace

class tst_xpframe : public QObject {
    Q_OBJECT
private slots:
    void startValuesAndEmptyStoredForm();
    void storedFormRoundTrip();
    void storedFormConversionErrors();
    void everySetterNotifiesAndRedraws();
    void sharedHeaderFont();
    void iconIdentifiers();
    void missingOrRefusedIcons();
    void iconPixelsAndRemoval();
    void defaultDrawing();
    void bodyOnlyStyle();
    void captionAlignment();
    void failingStepsLeaveTheRest();
    void headerSlantReachesIntoTheBody();
    void colourValuesAreTranslated();
    void mouseAndResizeEvents();
};

namespace {

// Every field of `frame` holds the start value of a newly placed control.
void verifyStartValues(const XPFrame &frame)
{
    QCOMPARE(frame.HeaderAngle(), qint16(180));
    QCOMPARE(frame.BackAngle(), qint16(180));
    QCOMPARE(frame.Style(), 0);
    QCOMPARE(frame.HeaderLightColor(), ColorRef(0xF7E0D3));
    QCOMPARE(frame.HeaderDarkColor(), ColorRef(0xEDC5A7));
    QCOMPARE(frame.BackLightColor(), ColorRef(0xFCF4EF));
    QCOMPARE(frame.BackDarkColor(), ColorRef(0xFAE8DC));
    QCOMPARE(frame.BorderColor(), ColorRef(0xDCC1AD));
    QCOMPARE(frame.TextColor(), ColorRef(0x7B2D02));
    QCOMPARE(frame.Caption(), QString("XPFrame"));
    QCOMPARE(frame.HeaderHeight(), 25);
    QCOMPARE(frame.CaptionAlignment(), 0);
    QCOMPARE(frame.Curvature(), 10);
    QCOMPARE(frame.IconResID().typeId(), int(QMetaType::Short));
    QCOMPARE(frame.IconResID().toInt(), 0);
    QVERIFY(frame.HeaderFont());
    QCOMPARE(frame.HeaderFont()->family(), QString("Tahoma"));
    QCOMPARE(frame.HeaderFont()->pointSizeF(), 8.25);
    QVERIFY(frame.HeaderFont()->bold());
    QVERIFY(!frame.HeaderFont()->italic());
}

} // namespace

void tst_xpframe::startValuesAndEmptyStoredForm()
{
    XPFrame frame;
    QCOMPARE(frame.size(), QSize(W, H));
    verifyStartValues(frame);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!frame.hasIcon());
    QCOMPARE(frame.HeaderFont(), frame.ControlFont()); // the same object

    QVariantMap stored;
    PropertyBag bag(&stored);
    frame.UserControl_WriteProperties(bag);
    QVERIFY2(stored.isEmpty(), qPrintable(stored.keys().join(',')));
    frame.Redraw(); // the header font becomes the control's font: still default
    frame.UserControl_WriteProperties(bag);
    QVERIFY(stored.isEmpty());

    // Loading the empty form over changed values gives the start values. The
    // header font changes while no header is drawn (Style 1), so the
    // control's own font is still the start font when the form is loaded.
    XPFrame other;
    other.setStyle(1);
    other.setHeaderAngle(30);
    other.setBackAngle(-45);
    other.setHeaderLightColor(0x010203);
    other.setHeaderDarkColor(0x040506);
    other.setBackLightColor(0x070809);
    other.setBackDarkColor(0x0A0B0C);
    other.setBorderColor(0x0D0E0F);
    other.setTextColor(0x101112);
    other.setCaption("Other");
    other.setHeaderHeight(40);
    other.setHeaderFont(std::make_shared<QFont>("DejaVu Serif", 14));
    other.setCaptionAlignment(2);
    other.setCurvature(3);
    other.UserControl_ReadProperties(bag);
    verifyStartValues(other);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(other.HeaderFont(), other.ControlFont());

    // A control loaded before it ever drew holds the start values as well.
    XPFrame loaded;
    loaded.UserControl_ReadProperties(bag);
    verifyStartValues(loaded);
}

void tst_xpframe::storedFormRoundTrip()
{
    XPFrame frame;
    auto font = std::make_shared<QFont>("DejaVu Serif", 12);
    font->setItalic(true);
    frame.setHeaderAngle(30);
    frame.setBackAngle(-45);
    frame.setStyle(1);
    frame.setHeaderLightColor(0x010203);
    frame.setHeaderDarkColor(0x040506);
    frame.setBackLightColor(0x070809);
    frame.setBackDarkColor(0x0A0B0C);
    frame.setBorderColor(0x8000000F);
    frame.setTextColor(0x0D0E0F);
    frame.setCaption(QString::fromUtf8("Panel \xC3\xBC & Co"));
    frame.setHeaderHeight(40);
    frame.setHeaderFont(font);
    frame.setCaptionAlignment(2);
    frame.setCurvature(0);
    frame.setIconResID("LOGO");

    QVariantMap stored;
    PropertyBag bag(&stored);
    frame.UserControl_WriteProperties(bag);
    QCOMPARE(stored.size(), 15);
    QCOMPARE(stored["HeaderAngle"].typeId(), int(QMetaType::Short));
    QCOMPARE(stored["BorderColor"].toInt(), qint32(0x8000000F)); // a negative 32-bit value
    QCOMPARE(stored["Curvature"].toInt(), 0);
    QCOMPARE(stored["IconResID"], QVariant("LOGO"));
    QCOMPARE(stored["HeaderFont"].value<QFont>(), *font);

    // Kept by the host in a settings file and loaded into a new instance.
    QTemporaryDir dir;
    const QString path = dir.filePath("form.ini");
    {
        QSettings settings(path, QSettings::IniFormat);
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
    QVariantMap reloaded;
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const QString &key : settings.allKeys())
            reloaded.insert(key, settings.value(key));
    }
    for (QVariantMap *form : {&stored, &reloaded}) {
        XPFrame copy;
        PropertyBag in(form);
        copy.UserControl_ReadProperties(in);
        QCOMPARE(copy.HeaderAngle(), qint16(30));
        QCOMPARE(copy.BackAngle(), qint16(-45));
        QCOMPARE(copy.Style(), 1);
        QCOMPARE(copy.HeaderLightColor(), ColorRef(0x010203));
        QCOMPARE(copy.HeaderDarkColor(), ColorRef(0x040506));
        QCOMPARE(copy.BackLightColor(), ColorRef(0x070809));
        QCOMPARE(copy.BackDarkColor(), ColorRef(0x0A0B0C));
        QCOMPARE(copy.BorderColor(), ColorRef(0x8000000F));
        QCOMPARE(copy.TextColor(), ColorRef(0x0D0E0F));
        QCOMPARE(copy.Caption(), frame.Caption());
        QCOMPARE(copy.HeaderHeight(), 40);
        QCOMPARE(*copy.HeaderFont(), *font);
        QCOMPARE(copy.CaptionAlignment(), 2);
        QCOMPARE(copy.Curvature(), 0);
        QCOMPARE(copy.IconResID(), QVariant("LOGO"));
        QVERIFY(copy.hasIcon());
    }

    // Setting a value back to its default takes it out of a reused form.
    frame.setCaption("XPFrame");
    frame.setCurvature(10);
    frame.UserControl_WriteProperties(bag);
    QVERIFY(!stored.contains("Caption"));
    QVERIFY(!stored.contains("Curvature"));
    QCOMPARE(stored.size(), 13);
}

void tst_xpframe::storedFormConversionErrors()
{
    XPFrame frame;
    auto load = [&frame](QVariantMap form) {
        PropertyBag bag(&form);
        frame.UserControl_ReadProperties(bag);
    };
    QCOMPARE(errorNumber([&] { load({{"HeaderAngle", 40000}}); }), 6);
    QCOMPARE(errorNumber([&] { load({{"Curvature", "round"}}); }), 13);
    QCOMPARE(errorNumber([&] { load({{"HeaderFont", "Arial"}}); }), 13);
    QCOMPARE(errorNumber([&] { load({{"Caption", 12}, {"HeaderHeight", "33"}}); }), 0);
    QCOMPARE(frame.Caption(), QString("12"));
    QCOMPARE(frame.HeaderHeight(), 33);
    // An icon that cannot be loaded leaves the control without one, quietly.
    QCOMPARE(errorNumber([&] { load({{"IconResID", 999}}); }), 0);
    QCOMPARE(frame.IconResID().toInt(), 999);
    QVERIFY(!frame.hasIcon());
}

void tst_xpframe::everySetterNotifiesAndRedraws()
{
    const QList<QPair<QString, std::function<void(XPFrame &)>>> setters = {
        {"HeaderAngle", [](XPFrame &f) { f.setHeaderAngle(90); }},
        {"BackAngle", [](XPFrame &f) { f.setBackAngle(90); }},
        {"BackDarkColor", [](XPFrame &f) { f.setBackDarkColor(0x000000); }},
        {"BackLightColor", [](XPFrame &f) { f.setBackLightColor(0x000000); }},
        {"BorderColor", [](XPFrame &f) { f.setBorderColor(0x0000FF); }},
        {"Caption", [](XPFrame &f) { f.setCaption("Other"); }},
        {"HeaderDarkColor", [](XPFrame &f) { f.setHeaderDarkColor(0x000000); }},
        {"HeaderLightColor", [](XPFrame &f) { f.setHeaderLightColor(0x000000); }},
        {"Style", [](XPFrame &f) { f.setStyle(1); }},
        {"TextColor", [](XPFrame &f) { f.setTextColor(0x00FF00); }},
        {"HeaderHeight", [](XPFrame &f) { f.setHeaderHeight(40); }},
        {"HeaderFont",
         [](XPFrame &f) { f.setHeaderFont(std::make_shared<QFont>("DejaVu Serif", 14)); }},
        {"CaptionAlignment", [](XPFrame &f) { f.setCaptionAlignment(2); }},
        {"IconResID", [](XPFrame &f) { f.setIconResID(101); }},
        {"Curvature", [](XPFrame &f) { f.setCurvature(40); }},
    };
    for (const auto &setter : setters) {
        XPFrame frame;
        frame.Redraw();
        const QImage before = frame.surface();
        QSignalSpy spy(&frame, &XPFrame::PropertyChanged);
        setter.second(frame);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), setter.first);
        QVERIFY2(frame.surface() != before, qPrintable(setter.first));
    }
    // No range checks: odd values are stored as given.
    XPFrame frame;
    frame.setHeaderHeight(-7);
    frame.setCurvature(100000);
    frame.setHeaderAngle(-32768);
    QCOMPARE(frame.HeaderHeight(), -7);
    QCOMPARE(frame.Curvature(), 100000);
    QCOMPARE(frame.HeaderAngle(), qint16(-32768));
}

void tst_xpframe::sharedHeaderFont()
{
    XPFrame frame;
    frame.setHeaderHeight(60);
    auto font = std::make_shared<QFont>("DejaVu Sans", 8);
    frame.setHeaderFont(font);
    QCOMPARE(frame.HeaderFont(), font);
    QCOMPARE(frame.ControlFont(), font); // the header font is now the control's
    const QRect small = *frame.captionRect();
    const QList<int> smallCols = markedColumns(frame.surface(), 6, 58, 200);

    font->setPointSize(16); // changed through the host's reference
    frame.Redraw();
    const QRect large = *frame.captionRect();
    const QList<int> largeCols = markedColumns(frame.surface(), 6, 58, 220);
    QVERIFY(large.height() > small.height());
    QVERIFY(large.width() > small.width());
    QVERIFY(largeCols.last() - largeCols.first() > smallCols.last() - smallCols.first());

    // No font object: the header band is drawn, the caption is not, and the
    // stored form loads the control's font again.
    frame.setHeaderFont(nullptr);
    QVERIFY(!frame.captionRect());
    QVERIFY(markedColumns(frame.surface(), 6, 58, 200).isEmpty());
    QCOMPARE(at(frame.surface(), 200, 59), P::kHeaderLightColor);
    QVariantMap stored;
    PropertyBag bag(&stored);
    frame.UserControl_WriteProperties(bag);
    QVERIFY(!stored.contains("HeaderFont"));
}

void tst_xpframe::iconIdentifiers()
{
    QCOMPARE(IconResources::resourcePath(101), QString(":/bitmap/#101"));
    QCOMPARE(IconResources::resourcePath(QVariant::fromValue<qint16>(101)),
             QString(":/bitmap/#101"));
    QCOMPARE(IconResources::resourcePath("101"), QString(":/bitmap/#101"));
    QCOMPARE(IconResources::resourcePath("Logo"), QString(":/bitmap/LOGO"));
    QVERIFY(IconResources::isNone(0));
    QVERIFY(IconResources::isNone("0"));
    QVERIFY(!IconResources::isNone("LOGO"));

    XPFrame frame;
    frame.setIconResID(101);
    QVERIFY(frame.hasIcon());
    frame.setIconResID("logo");
    QVERIFY(frame.hasIcon());
    QCOMPARE(frame.IconResID(), QVariant("logo"));

    for (const QVariant &id : {QVariant("LOGO"), QVariant(101), QVariant("101")}) {
        XPFrame loaded;
        QVariantMap form{{"IconResID", id}};
        PropertyBag bag(&form);
        loaded.UserControl_ReadProperties(bag);
        QVERIFY(loaded.hasIcon());
        QCOMPARE(loaded.IconResID(), id); // kept exactly as read
    }
}

void tst_xpframe::missingOrRefusedIcons()
{
    XPFrame frame;
    frame.setIconResID(101);
    const QImage withIcon = frame.surface();
    QSignalSpy spy(&frame, &XPFrame::PropertyChanged);

    QString description;
    QCOMPARE(errorNumber([&] { frame.setIconResID(999); }, &description), 1000);
    QCOMPARE(description, QString("Resource ID not found or resource file not compiled"));
    QCOMPARE(frame.IconResID().toInt(), 999); // the identifier is kept
    QVERIFY(frame.hasIcon());                 // the earlier icon stays
    QCOMPARE(frame.surface(), withIcon);      // nothing redrawn
    QCOMPARE(spy.count(), 0);                 // no notification

    QCOMPARE(errorNumber([&] { frame.setIconResID(103); }), 1000); // 24 bits per pixel
    QCOMPARE(errorNumber([&] { frame.setIconResID(104); }), 1000); // pixel data cut short
    QCOMPARE(errorNumber([&] { frame.setIconResID("NOSUCH"); }), 1000);
    QVERIFY(frame.hasIcon());
    QCOMPARE(spy.count(), 0);
}

void tst_xpframe::iconPixelsAndRemoval()
{
    XPFrame frame;
    frame.setCaption(""); // keep the header free of text
    const QImage plain = frame.surface();

    frame.setIconResID(101); // opaque: replaces the 16 x 16 square at (2, 2)
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            QCOMPARE(at(frame.surface(), 2 + c, 2 + r),
                     ColorRef(200 | (16 * r) << 8 | (16 * c) << 16));
    QCOMPARE(frame.surface().copy(18, 0, W - 18, H), plain.copy(18, 0, W - 18, H));

    frame.setIconResID(102); // stored top-down
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            QCOMPARE(at(frame.surface(), 2 + c, 2 + r),
                     ColorRef((30 + 50 * c) | (40 * r) << 8 | (10 + 40 * r) << 16));

    frame.setIconResID("LOGO"); // fully transparent: the header shows unchanged
    QCOMPARE(frame.surface(), plain);

    frame.setIconResID(101);
    QSignalSpy spy(&frame, &XPFrame::PropertyChanged);
    frame.setIconResID(0);
    QVERIFY(!frame.hasIcon());
    QCOMPARE(frame.surface(), plain);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("IconResID"));

    // With an icon, a left-aligned caption moves right by the header height.
    frame.setCaption("XPFrame");
    const double rawA = QFontMetricsF(*frame.HeaderFont(), &frame.surface()).horizontalAdvance("A");
    QCOMPARE(frame.captionRect()->left(), int(std::nearbyint(rawA)));
    frame.setIconResID(101);
    QCOMPARE(frame.captionRect()->left(), int(std::nearbyint(rawA + 25)));
}

void tst_xpframe::defaultDrawing()
{
    XPFrame frame;
    frame.Redraw();
    const QImage img = frame.surface();
    QCOMPARE(img.size(), QSize(W, H));

    // Body: 180 lines, BackDarkColor at the top to BackLightColor at the bottom,
    // seen below the header; every row one colour.
    for (int y = 25; y < H - 1; ++y) {
        QVERIFY2(nearBlend(at(img, 120, y), P::kBackDarkColor, P::kBackLightColor, y, 179),
                 qPrintable(QString::number(y)));
        QCOMPARE(at(img, 10, y), at(img, W - 11, y));
    }
    // Header: 25 lines, HeaderDarkColor at the top to HeaderLightColor at row 24.
    QCOMPARE(at(img, 200, 24), P::kHeaderLightColor);
    for (int y = 1; y < 25; ++y)
        QVERIFY(nearBlend(at(img, 200, y), P::kHeaderDarkColor, P::kHeaderLightColor, y, 24));
    QVERIFY(at(img, 200, 25) != at(img, 200, 24));
    QVERIFY(nearBlend(at(img, 200, 25), P::kBackDarkColor, P::kBackLightColor, 25, 179));

    // Caption: starts at the width of "A", centred in the header, text colour.
    const int aw = widthOfA(frame);
    const QRect caption = *frame.captionRect();
    QCOMPARE(caption.left(), aw);
    QVERIFY(std::abs(caption.top() + caption.bottom() + 1 - 25) <= 1);
    const QList<int> cols = markedColumns(img, 6, 24, 200);
    QVERIFY(!cols.isEmpty());
    QVERIFY(cols.first() >= aw && cols.first() <= aw + 2);
    QVERIFY(cols.last() <= caption.right());
    bool textColoured = false;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x) {
            const ColorRef c = at(img, x, y);
            textColoured |= std::abs(channel(c, 0) - 0x02) <= 24
                            && std::abs(channel(c, 8) - 0x2D) <= 24
                            && std::abs(channel(c, 16) - 0x7B) <= 24;
        }
    QVERIFY(textColoured);

    // The one-pixel ring in BorderColor, on top of everything, rounded.
    for (const QPoint p : {QPoint(117, 0), QPoint(0, 90), QPoint(W - 1, 90), QPoint(117, H - 1),
                           QPoint(1, 1), QPoint(W - 2, H - 2)})
        QCOMPARE(at(img, p.x(), p.y()), P::kBorderColor);
    QVERIFY(at(img, 1, 90) != P::kBorderColor);

    // The corners outside the rounded outline are cut away.
    const QRegion outline = frame.mask();
    for (const QPoint p : {QPoint(0, 0), QPoint(W - 1, 0), QPoint(0, H - 1), QPoint(W - 1, H - 1)})
        QVERIFY(!outline.contains(p));
    for (const QPoint p : {QPoint(117, 0), QPoint(0, 90), QPoint(1, 1), QPoint(117, 90)})
        QVERIFY(outline.contains(p));
    QImage shown(W, H, QImage::Format_ARGB32);
    shown.fill(Qt::transparent);
    frame.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shown.pixel(W - 1, H - 1)), 0);
    QCOMPARE(QColor(shown.pixel(117, 0)).rgb(), toQColor(P::kBorderColor).rgb());
}

void tst_xpframe::bodyOnlyStyle()
{
    XPFrame frame;
    frame.setStyle(1);
    const QImage img = frame.surface();
    for (int y = 1; y < H - 1; ++y)
        QVERIFY(nearBlend(at(img, 120, y), P::kBackDarkColor, P::kBackLightColor, y, 179));
    QVERIFY(markedColumns(img, 6, 30, 120).isEmpty()); // no caption
    QVERIFY(!frame.captionRect());
    frame.setIconResID(101); // no header, so no icon either
    QCOMPARE(frame.surface(), img);
}

void tst_xpframe::captionAlignment()
{
    XPFrame frame;
    frame.setCaptionAlignment(1);
    const int aw = widthOfA(frame);
    const QImage right = frame.surface();
    const QRect rect = *frame.captionRect();
    QVERIFY(std::abs(rect.right() + 1 - (W - aw)) <= 1);
    const QList<int> cols = markedColumns(right, 6, 24, 20);
    QVERIFY(!cols.isEmpty());
    QVERIFY(cols.last() <= W - aw);
    QVERIFY(cols.last() >= W - aw - 4);

    frame.setCaptionAlignment(7); // drawn like 1
    QCOMPARE(frame.surface(), right);

    frame.setCaptionAlignment(2);
    const QRect centred = *frame.captionRect();
    QVERIFY(std::abs(centred.left() + centred.right() + 1 - W) <= 1);

    // A caption wider than the control starts left of it and is clipped there.
    frame.setCaption("A caption far too long to fit into the header of this panel");
    const QRect wide = *frame.captionRect();
    QVERIFY(wide.left() < 0);
    QVERIFY(wide.right() >= W);
    const QList<int> wideCols = markedColumns(frame.surface(), 6, 24, W / 2);
    QVERIFY(!wideCols.isEmpty());
    QVERIFY(wideCols.first() <= 4);
    QVERIFY(wideCols.last() >= W - 5);
}

void tst_xpframe::failingStepsLeaveTheRest()
{
    // The header gradient fails with N = -1 (height 0) and with N = 0 (one
    // flat line): no header, caption or icon, but body and border.
    const QList<QPair<int, int>> headers = {{0, 180}, {1, 0}};
    for (const auto &header : headers) {
        XPFrame frame;
        frame.setIconResID(101);
        frame.setHeaderHeight(header.first);
        frame.setHeaderAngle(qint16(header.second));
        const QImage img = frame.surface();
        QVERIFY(!frame.captionRect());
        for (int y = 1; y < 30; ++y)
            QVERIFY(nearBlend(at(img, 120, y), P::kBackDarkColor, P::kBackLightColor, y, 179));
        QCOMPARE(at(img, 5, 5), at(img, 120, 5)); // no icon
        QCOMPARE(at(img, 117, 0), P::kBorderColor);
        QVERIFY(!frame.mask().contains(QPoint(0, 0)));
    }

    // A control one pixel wide at 90 degrees: the body fails (N = 0); the
    // border and the outline are still made.
    XPFrame narrow;
    narrow.resize(1, 60);
    narrow.setBackAngle(90);
    QCOMPARE(narrow.surface().size(), QSize(1, 60));
    QCOMPARE(at(narrow.surface(), 0, 30), P::kBorderColor);
    QVERIFY(narrow.mask().contains(QPoint(0, 30)));
}

void tst_xpframe::headerSlantReachesIntoTheBody()
{
    XPFrame frame;
    frame.setCaption("");
    const QImage flat = frame.surface();
    frame.setHeaderAngle(20); // s = 86
    const QImage slanted = frame.surface();
    // At the left edge the header lines reach 86 rows below row 24...
    QVERIFY(!nearBlend(at(slanted, 1, 105), P::kBackDarkColor, P::kBackLightColor, 105, 179));
    QCOMPARE(at(slanted, 1, 115), at(flat, 1, 115));
    // ...and none at the right edge.
    QCOMPARE(at(slanted, W - 2, 26), at(flat, W - 2, 26));
    QVERIFY(at(slanted, W - 2, 24) != at(flat, W - 2, 26));
}

void tst_xpframe::colourValuesAreTranslated()
{
    XPFrame frame;
    frame.setBorderColor(0x80000019); // not a system colour: -1, white
    QCOMPARE(at(frame.surface(), 0, 90), ColorRef(0xFFFFFF));
    frame.setBorderColor(0x80000006); // a system colour
    QCOMPARE(at(frame.surface(), 0, 90), platform::sysColor(6));
    frame.setBackDarkColor(0x80000019);
    frame.setBackLightColor(0x80000019);
    QCOMPARE(at(frame.surface(), 120, 100), ColorRef(0xFFFFFF));
}

void tst_xpframe::mouseAndResizeEvents()
{
    QWidget host; // a window placing the control
    host.resize(400, 300);
    XPFrame frame(&host);
    QSignalSpy resized(&frame, &XPFrame::Resize);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QVERIFY(resized.count() >= 1);

    QSignalSpy down(&frame, &XPFrame::MouseDown);
    QSignalSpy up(&frame, &XPFrame::MouseUp);
    QSignalSpy move(&frame, &XPFrame::MouseMove);
    QSignalSpy click(&frame, &XPFrame::Click);
    QTest::mouseClick(&frame, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
                      QPoint(30, 40));
    QCOMPARE(down.count(), 1);
    QCOMPARE(up.count(), 1);
    QCOMPARE(click.count(), 1);
    QCOMPARE(click.at(0).size(), 0);
    for (const QList<QVariant> &args : {down.at(0), up.at(0)}) {
        QCOMPARE(args.at(0).value<short>(), short(1));
        QCOMPARE(args.at(1).value<short>(), short(3));
        QCOMPARE(args.at(2).toFloat(), 30.f);
        QCOMPARE(args.at(3).toFloat(), 40.f);
    }

    QTest::mousePress(&frame, Qt::RightButton, Qt::AltModifier, QPoint(5, 6));
    QCOMPARE(down.count(), 2);
    QCOMPARE(down.at(1).at(0).value<short>(), short(2));
    QCOMPARE(down.at(1).at(1).value<short>(), short(4));
    QTest::mouseMove(&frame, QPoint(50, 60));
    QTRY_VERIFY(!move.isEmpty());
    QCOMPARE(move.last().at(2).toFloat(), 50.f);
    QCOMPARE(move.last().at(3).toFloat(), 60.f);
    QTest::mouseRelease(&frame, Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
    QCOMPARE(up.count(), 2);
    QCOMPARE(up.at(1).at(0).value<short>(), short(2));

    const int before = resized.count();
    frame.resize(200, 100);
    QCOMPARE(resized.count(), before + 1);
    QCOMPARE(frame.surface().size(), QSize(200, 100));
    QCOMPARE(frame.mask().boundingRect(), QRect(0, 0, 200, 100));
}

QTEST_MAIN(tst_xpframe)
#include "tst_xpframe.moc"
