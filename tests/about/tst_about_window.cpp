#include "LoopbackWebSites.h"
#include "about/AboutLauncher.h"
#include "about/frmAbout.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

using about::AboutLauncher;
using about::AboutLinks;
using about::frmAbout;

namespace {

constexpr int kLoadTimeoutMs = 30000;

QLabel *label(QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QLatin1String(name));
}

QWebEngineView *browser(QWidget *window)
{
    return window->findChild<QWebEngineView *>(QStringLiteral("WebBrowser1"));
}

void click(QWidget *window, const char *name)
{
    QWidget *control = window->findChild<QWidget *>(QLatin1String(name));
    QVERIFY2(control, name);
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

// The control a mouse press at the centre of `control` would reach.
QWidget *hitAtCentreOf(QWidget *window, QWidget *control)
{
    return window->childAt(control->geometry().center());
}

int openAboutWindows()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout *>(widget) && widget->isVisible())
            ++count;
    return count;
}

} // namespace

class tst_about_window : public QObject {
    Q_OBJECT
public:
    // Runs before the QApplication exists, as the program's main() does.
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void opensAsFixedWindowWithBrowserHidden();
    void fillsTheThreeLinesInOrder_data();
    void fillsTheThreeLinesInOrder();
    void textsFitTheirLabels();
    void tellsWhereTheBackupLives_data();
    void tellsWhereTheBackupLives();
    void image2WhileHiddenChangesNothing();
    void eachClickOpensItsOwnAddress_data();
    void eachClickOpensItsOwnAddress();
    void label10ThenLabel11EndsOnTheSecondPage();
    void image2HidesTheBrowserAndTheBottomStripStaysUsable();

    void launcherCreatesOnFirstClickAndReusesWhileOpen();
    void launcherLoadsAfreshAfterClose();
    void launcherTakesItsWindowAlongWhenItGoes();

private:
    AboutLinks loopbackLinks() const;
    std::unique_ptr<frmAbout> openWindow();

    std::unique_ptr<SuiteFixture> m_fixture;
    fake::Services m_fakes{};
    LoopbackWebSites m_sites;
};

void tst_about_window::initTestCase()
{
    m_sites.addPage(QStringLiteral("/maker"), QStringLiteral("Maker site"));
    m_sites.addPage(QStringLiteral("/channel"), QStringLiteral("Maker channel"));
    m_sites.addPage(QStringLiteral("/author"), QStringLiteral("Author site"));
    m_sites.addPage(QStringLiteral("/maker/donate.html"), QStringLiteral("Donation page"));
    QVERIFY(m_sites.start());
    m_fixture = std::make_unique<SuiteFixture>();
    QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
    m_fakes = m_fixture->fakes();
}

void tst_about_window::init()
{
    m_fakes.app->maj = 1;
    m_fakes.app->min = 0;
    m_fakes.app->rev = 5;
    m_fakes.app->work = m_fixture->path();
    m_sites.requestedPaths.clear();
}

void tst_about_window::cleanupTestCase() { m_fixture.reset(); }

AboutLinks tst_about_window::loopbackLinks() const
{
    const QString host = m_sites.hostAndPort();
    return AboutLinks(host + QStringLiteral("/maker"), host + QStringLiteral("/channel"),
                      host + QStringLiteral("/author"));
}

std::unique_ptr<frmAbout> tst_about_window::openWindow()
{
    auto window = std::make_unique<frmAbout>(loopbackLinks());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

void tst_about_window::opensAsFixedWindowWithBrowserHidden()
{
    auto window = openWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("About Zorvane"));
    QCOMPARE(window->size(), QSize(663, 385));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!window->windowIcon().isNull());

    QWebEngineView *view = browser(window.get());
    QVERIFY(view);
    QVERIFY(!view->isVisible());
    QVERIFY(view->page()->requestedUrl().isEmpty());
    QCOMPARE(label(window.get(), "Label12")->text(),
             QStringLiteral("Click to hide Webbrowser -->"));
    const AboutLinks links = loopbackLinks();
    QCOMPARE(label(window.get(), "Label9")->text(), links.caption(AboutLinks::MakerSite));
    QCOMPARE(label(window.get(), "Label10")->text(), links.caption(AboutLinks::MakerChannel));
    QCOMPARE(label(window.get(), "Label11")->text(), links.caption(AboutLinks::AuthorSite));
    for (const char *picture : {"Image1", "Image2", "Image3"})
        QVERIFY2(!label(window.get(), picture)->pixmap().isNull(), picture);

    // The browser covers the information, not the bottom strip with its controls.
    for (const char *name :
         {"Image1", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8",
          "Line1", "Label9", "Label10", "Label11", "lblBackupFolder"}) {
        QWidget *control = window->findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(control, name);
        QVERIFY2(view->geometry().contains(control->geometry()), name);
    }
    for (const char *name : {"Label12", "Image2"})
        QVERIFY2(!view->geometry().intersects(label(window.get(), name)->geometry()), name);
    QVERIFY(view->geometry().bottom() < label(window.get(), "Image3")->geometry().center().y());
}

void tst_about_window::fillsTheThreeLinesInOrder_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("versionLine");
    QTest::newRow("1.8.23") << 1 << 8 << 23 << "Version: 1.8.23 Beta";
    QTest::newRow("revision 0") << 1 << 8 << 0 << "Version: 1.8.0 Beta";
    QTest::newRow("all zero") << 0 << 0 << 0 << "Version: 0.0.0 Beta";
    QTest::newRow("wide numbers") << 10 << 200 << 3000 << "Version: 10.200.3000 Beta";
}

void tst_about_window::fillsTheThreeLinesInOrder()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, versionLine);
    m_fakes.app->maj = major;
    m_fakes.app->min = minor;
    m_fakes.app->rev = revision;

    auto window = openWindow();
    QVERIFY(window);
    QLabel *lines[] = {label(window.get(), "Label4"), label(window.get(), "Label5"),
                       label(window.get(), "Label6")};
    QCOMPARE(lines[0]->text(), versionLine);
    QCOMPARE(lines[1]->text(), QStringLiteral("Company: Farrowmoss. GUI by pellridge"));
    QCOMPARE(lines[2]->text(), QStringLiteral("Application Name: Zorvane Beta"));
    // Top to bottom, one line each, and visible to the user.
    QVERIFY(lines[0]->geometry().top() < lines[1]->geometry().top());
    QVERIFY(lines[1]->geometry().top() < lines[2]->geometry().top());
    for (QLabel *line : lines)
        QVERIFY(line->isVisible());
}

void tst_about_window::textsFitTheirLabels()
{
    m_fakes.app->maj = 10;
    m_fakes.app->min = 200;
    m_fakes.app->rev = 3000;
    auto window = openWindow();
    QVERIFY(window);
    for (QLabel *text : window->findChildren<QLabel *>()) {
        if (text->text().isEmpty())
            continue;
        const int flags = int(text->alignment()) | (text->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = text->fontMetrics().boundingRect(text->rect(), flags, text->text());
        QVERIFY2(text->rect().contains(needed), qPrintable(text->objectName()));
    }
}

void tst_about_window::tellsWhereTheBackupLives_data()
{
    QTest::addColumn<QString>("subfolder");
    QTest::newRow("short") << "Zorvane";
    QTest::newRow("longer than the label")
        << "a folder with a name far too long to be shown whole in one line/.local/share/Zorvane";
}

// The jobs keep the backup in the working folder; the window names it.
void tst_about_window::tellsWhereTheBackupLives()
{
    QFETCH(QString, subfolder);
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString folder = work.filePath(subfolder);
    QVERIFY(QDir().mkpath(folder));
    m_fakes.app->work = folder;
    auto window = openWindow();
    QVERIFY(window);

    QLabel *where = label(window.get(), "lblBackupFolder");
    QVERIFY(where && where->isVisible());
    QCOMPARE(where->toolTip(), folder);
    const QStringList lines = where->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("Your backup is kept in Zorvane's working folder:"));
    // Shortened in the middle when too long: both ends stay readable.
    const QStringList ends = lines[1].split(QChar(0x2026));
    QVERIFY2(ends.size() <= 2, qPrintable(lines[1]));
    QVERIFY2(folder.startsWith(ends.first()) && folder.endsWith(ends.last()), qPrintable(lines[1]));
    QVERIFY(ends.last().endsWith(QLatin1String("Zorvane")));
    for (QWidget *other : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other != where && other != browser(window.get()))
            QVERIFY2(!other->geometry().intersects(where->geometry()),
                     qPrintable(other->objectName()));
    }
}

void tst_about_window::image2WhileHiddenChangesNothing()
{
    auto window = openWindow();
    QVERIFY(window);
    QWebEngineView *view = browser(window.get());
    const QString version = label(window.get(), "Label4")->text();

    click(window.get(), "Image2");
    click(window.get(), "Image2");

    QVERIFY(!view->isVisible());
    QVERIFY(view->page()->requestedUrl().isEmpty());
    QVERIFY(window->isVisible());
    QCOMPARE(label(window.get(), "Label4")->text(), version);
    QVERIFY(m_sites.requestedPaths.isEmpty());
}

void tst_about_window::eachClickOpensItsOwnAddress_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("Label9: maker's site") << QByteArray("Label9") << "/maker"
                                          << "Maker site";
    QTest::newRow("Label10: maker's channel") << QByteArray("Label10") << "/channel"
                                              << "Maker channel";
    QTest::newRow("Label11: author's site") << QByteArray("Label11") << "/author"
                                            << "Author site";
    QTest::newRow("Image3: donation page") << QByteArray("Image3") << "/maker/donate.html"
                                           << "Donation page";
}

void tst_about_window::eachClickOpensItsOwnAddress()
{
    QFETCH(QByteArray, control);
    QFETCH(QString, path);
    QFETCH(QString, title);
    auto window = openWindow();
    QVERIFY(window);
    QWebEngineView *view = browser(window.get());
    QSignalSpy finished(view, &QWebEngineView::loadFinished);
    const QUrl expected(QStringLiteral("http://") + m_sites.hostAndPort() + path);

    // The click reaches its control where the user sees it.
    QWidget *target = window->findChild<QWidget *>(QString::fromLatin1(control));
    QCOMPARE(hitAtCentreOf(window.get(), target), target);
    click(window.get(), control.constData());

    // Shown at once and asked for the address; the page then loads by itself.
    QVERIFY(view->isVisible());
    QCOMPARE(view->page()->requestedUrl(), expected);
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kLoadTimeoutMs);
    QCOMPARE(finished.last().first().toBool(), true);
    QCOMPARE(view->title(), title);
    QCOMPARE(view->url(), expected);
    QVERIFY(m_sites.requestedPaths.contains(path));
    QVERIFY(view->isVisible());
}

void tst_about_window::label10ThenLabel11EndsOnTheSecondPage()
{
    auto window = openWindow();
    QVERIFY(window);
    QWebEngineView *view = browser(window.get());
    const QString host = QStringLiteral("http://") + m_sites.hostAndPort();

    click(window.get(), "Label10");
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Maker channel"), kLoadTimeoutMs);
    click(window.get(), "Label11");
    QVERIFY(view->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Author site"), kLoadTimeoutMs);
    QCOMPARE(view->url(), QUrl(host + QStringLiteral("/author")));
    QVERIFY(view->isVisible());

    // The second click may also come before the first page has arrived.
    click(window.get(), "Label10");
    click(window.get(), "Label11");
    QVERIFY(view->isVisible());
    QCOMPARE(view->page()->requestedUrl(), QUrl(host + QStringLiteral("/author")));
    QTRY_COMPARE_WITH_TIMEOUT(view->page()->url(), QUrl(host + QStringLiteral("/author")),
                              kLoadTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Author site"), kLoadTimeoutMs);
    QVERIFY(view->isVisible());
}

void tst_about_window::image2HidesTheBrowserAndTheBottomStripStaysUsable()
{
    auto window = openWindow();
    QVERIFY(window);
    QWebEngineView *view = browser(window.get());
    QLabel *image2 = label(window.get(), "Image2");
    QLabel *image3 = label(window.get(), "Image3");

    click(window.get(), "Label9");
    QVERIFY(view->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Maker site"), kLoadTimeoutMs);
    // While browsing, the bottom strip is still there to click.
    QCOMPARE(hitAtCentreOf(window.get(), image2), image2);
    QCOMPARE(hitAtCentreOf(window.get(), image3), image3);
    QVERIFY(view->isAncestorOf(hitAtCentreOf(window.get(), label(window.get(), "Label9")))
            || hitAtCentreOf(window.get(), label(window.get(), "Label9")) == view);

    click(window.get(), "Image2");
    QVERIFY(!view->isVisible());
    QCOMPARE(label(window.get(), "Label4")->text(), QStringLiteral("Version: 1.0.5 Beta"));
    QLabel *link = label(window.get(), "Label11");
    QCOMPARE(hitAtCentreOf(window.get(), link), link);

    // Back to browsing from the information state.
    click(window.get(), "Image3");
    QVERIFY(view->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("Donation page"), kLoadTimeoutMs);
}

void tst_about_window::launcherCreatesOnFirstClickAndReusesWhileOpen()
{
    QWidget owner;
    AboutLauncher launcher(&owner, loopbackLinks());
    QVERIFY(!launcher.window());
    QCOMPARE(openAboutWindows(), 0);

    launcher.show();
    QPointer<frmAbout> first = launcher.window();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(first->isWindow());
    QCOMPARE(first->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(label(first, "Label4")->text(), QStringLiteral("Version: 1.0.5 Beta"));

    // A further click brings back the same window, not reloaded.
    m_fakes.app->rev = 6;
    first->showMinimized();
    launcher.show();
    QCOMPARE(launcher.window(), first.data());
    QVERIFY(first->isVisible());
    QVERIFY(!(first->windowState() & Qt::WindowMinimized));
    QCOMPARE(label(first, "Label4")->text(), QStringLiteral("Version: 1.0.5 Beta"));
    QCOMPARE(openAboutWindows(), 1);
}

void tst_about_window::launcherLoadsAfreshAfterClose()
{
    AboutLauncher launcher(nullptr, loopbackLinks());
    launcher.show();
    QPointer<frmAbout> first = launcher.window();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    click(first, "Label9");
    QVERIFY(browser(first)->isVisible());

    // Closing unloads the window.
    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());
    QVERIFY(!launcher.window());
    QCOMPARE(openAboutWindows(), 0);

    m_fakes.app->min = 8;
    m_fakes.app->rev = 0;
    launcher.show();
    frmAbout *second = launcher.window();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QCOMPARE(label(second, "Label4")->text(), QStringLiteral("Version: 1.8.0 Beta"));
    QVERIFY(!browser(second)->isVisible());
    QVERIFY(browser(second)->page()->requestedUrl().isEmpty());
    QCOMPARE(openAboutWindows(), 1);
}

void tst_about_window::launcherTakesItsWindowAlongWhenItGoes()
{
    QPointer<frmAbout> window;
    {
        AboutLauncher launcher(nullptr, loopbackLinks());
        launcher.show();
        window = launcher.window();
        QVERIFY(window);
    }
    QVERIFY(window.isNull());
}

QTEST_MAIN(tst_about_window)
#include "tst_about_window.moc"
