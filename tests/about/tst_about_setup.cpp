#include "about/AboutLinks.h"
#include "about/WebEngineSetup.h"

#include <QtTest>

using about::AboutLinks;

class tst_about_setup : public QObject {
    Q_OBJECT
private slots:
    void captionsShowFullAddresses();
    void targetsFollowTheLinkTable();
    void addressesAreNormalisedWhenGivenWithSchemeOrSlash();
    void browserReadsBareAddressesAsWebAddresses();

    void sandboxStaysOnExceptForRoot();
    void backgroundNetworkingAlwaysOffAndGpuOffOnlyWithoutDisplay();
    void userFlagsAreKeptAndNotDoubled();
    void headlessPlatformsAreRecognised();
};

void tst_about_setup::captionsShowFullAddresses()
{
    const AboutLinks links = AboutLinks::standard();
    for (auto link : {AboutLinks::MakerSite, AboutLinks::MakerChannel, AboutLinks::AuthorSite}) {
        const QString caption = links.caption(link);
        QVERIFY2(caption.startsWith(QStringLiteral("http://")), qPrintable(caption));
        QVERIFY2(caption.size() > 7 && !caption.mid(7).contains(QStringLiteral("://")),
                 qPrintable(caption));
    }
    // Three different places.
    QVERIFY(links.caption(AboutLinks::MakerSite) != links.caption(AboutLinks::MakerChannel));
    QVERIFY(links.caption(AboutLinks::MakerSite) != links.caption(AboutLinks::AuthorSite));
}

void tst_about_setup::targetsFollowTheLinkTable()
{
    const AboutLinks links(QStringLiteral("maker.example"), QStringLiteral("video.example/maker"),
                           QStringLiteral("author.example"));
    QCOMPARE(links.target(AboutLinks::MakerSite), QStringLiteral("maker.example"));
    QCOMPARE(links.target(AboutLinks::MakerChannel), QStringLiteral("video.example/maker"));
    QCOMPARE(links.target(AboutLinks::AuthorSite), QStringLiteral("http://author.example"));
    QCOMPARE(links.target(AboutLinks::Donation),
             QStringLiteral("http://maker.example/donate.html"));
    QCOMPARE(links.caption(AboutLinks::MakerChannel), QStringLiteral("http://video.example/maker"));

    // The project's own: each caption is its target with "http://" where the target has none.
    const AboutLinks standard = AboutLinks::standard();
    QCOMPARE(standard.caption(AboutLinks::MakerSite),
             QStringLiteral("http://") + standard.target(AboutLinks::MakerSite));
    QCOMPARE(standard.caption(AboutLinks::MakerChannel),
             QStringLiteral("http://") + standard.target(AboutLinks::MakerChannel));
    QCOMPARE(standard.caption(AboutLinks::AuthorSite), standard.target(AboutLinks::AuthorSite));
    QCOMPARE(standard.target(AboutLinks::Donation),
             standard.caption(AboutLinks::MakerSite) + QStringLiteral("/donate.html"));
}

void tst_about_setup::addressesAreNormalisedWhenGivenWithSchemeOrSlash()
{
    const AboutLinks links(QStringLiteral(" http://maker.example/ "),
                           QStringLiteral("HTTP://video.example/maker"),
                           QStringLiteral("author.example//"));
    QCOMPARE(links.target(AboutLinks::MakerSite), QStringLiteral("maker.example"));
    QCOMPARE(links.target(AboutLinks::MakerChannel), QStringLiteral("video.example/maker"));
    QCOMPARE(links.target(AboutLinks::AuthorSite), QStringLiteral("http://author.example"));
    QCOMPARE(links.target(AboutLinks::Donation),
             QStringLiteral("http://maker.example/donate.html"));
}

void tst_about_setup::browserReadsBareAddressesAsWebAddresses()
{
    QCOMPARE(AboutLinks::browserUrl(QStringLiteral("www.farrowmoss.com")),
             QUrl(QStringLiteral("http://www.farrowmoss.com")));
    QCOMPARE(AboutLinks::browserUrl(QStringLiteral("127.0.0.1:8080/maker")),
             QUrl(QStringLiteral("http://127.0.0.1:8080/maker")));
    QCOMPARE(AboutLinks::browserUrl(QStringLiteral("http://author.example/a b")),
             QUrl(QStringLiteral("http://author.example/a%20b")));
}

void tst_about_setup::sandboxStaysOnExceptForRoot()
{
    QVERIFY(!about::webEngineFlags("", false, false).contains("--no-sandbox"));
    QVERIFY(!about::webEngineFlags("", false, true).contains("--no-sandbox"));
    QVERIFY(about::webEngineFlags("", true, false).contains("--no-sandbox"));
    QVERIFY(about::webEngineFlags("", true, true).contains("--no-sandbox"));
}

void tst_about_setup::backgroundNetworkingAlwaysOffAndGpuOffOnlyWithoutDisplay()
{
    QCOMPARE(about::webEngineFlags("", false, false),
             QByteArray("--disable-background-networking"));
    QCOMPARE(about::webEngineFlags("", true, true),
             QByteArray("--disable-background-networking --no-sandbox --disable-gpu"));
    QVERIFY(!about::webEngineFlags("", true, false).contains("--disable-gpu"));
}

void tst_about_setup::userFlagsAreKeptAndNotDoubled()
{
    QCOMPARE(about::webEngineFlags("  --lang=de   --no-sandbox ", true, false),
             QByteArray("--lang=de   --no-sandbox --disable-background-networking"));
    const QByteArray once = about::webEngineFlags("--foo", true, true);
    QCOMPARE(about::webEngineFlags(once, true, true), once);
    // "--no-sandboxed" is not the sandbox switch.
    QVERIFY(about::webEngineFlags("--no-sandboxed", false, false).split(' ').count("--no-sandbox")
            == 0);
}

void tst_about_setup::headlessPlatformsAreRecognised()
{
    QVERIFY(about::isHeadlessPlatform("offscreen"));
    QVERIFY(about::isHeadlessPlatform("Offscreen:fontengine=freetype"));
    QVERIFY(about::isHeadlessPlatform("minimal"));
    QVERIFY(!about::isHeadlessPlatform("xcb"));
    QVERIFY(!about::isHeadlessPlatform("wayland"));
    QVERIFY(!about::isHeadlessPlatform(""));
}

QTEST_APPLESS_MAIN(tst_about_setup)
#include "tst_about_setup.moc"
