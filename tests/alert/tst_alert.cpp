#include "alert/GradientPanel.h"
#include "alert/frmAlert.h"
#include "support/FakePlatform.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using alert::frmAlert;

class tst_alert : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fakes = fake::install();
        m_fakes.screen->size = QSize(1024, 738);
        frmAlert::resetAlertCount();
    }
    void cleanup() { fake::restore(); }

    void growsStaysShrinksAndUnloads()
    {
        QPointer<frmAlert> a = new frmAlert;
        auto *label = a->findChild<QLabel *>("lblAlert");
        QCOMPARE(label->text(), QStringLiteral("Alert Message"));
        a->DisplayAlert(QStringLiteral("Hello there"), 3000);

        QCOMPARE(label->text(), QStringLiteral("Hello there"));
        QVERIFY(a->isVisible());
        QCOMPARE(frmAlert::AlertCount(), 1);
        QCOMPARE(a->AlertIndex(), 1);
        const alert::AlertGeometry &g = a->geometryTwips();
        QCOMPARE(g.Height, 90.0);
        QCOMPARE(g.Width, 2145.0);
        QCOMPARE(g.Left, 15.0 * 1024 - 2145);
        QCOMPARE(g.Top, 15.0 * 738 + 300);
        QCOMPARE(a->geometry(), QRect(1024 - 143, 738 + 20, 143, 6));
        QCOMPARE(m_fakes.sound->played,
                 QStringList{m_fakes.app->folder() + QStringLiteral("/newalert.wav")});

        auto *open = a->findChild<QTimer *>("tmrOpen");
        auto *stay = a->findChild<QTimer *>("tmrAlert");
        auto *closeTimer = a->findChild<QTimer *>("tmrClose");
        QVERIFY(open->isActive());
        QCOMPARE(open->interval(), 10);
        QCOMPARE(stay->interval(), 3000);
        const double bottom = g.Top + g.Height;

        for (int tick = 1; tick <= 57; ++tick) {
            a->tmrOpen_Timer();
            QCOMPARE(g.Top + g.Height, bottom);
        }
        QCOMPARE(g.Height, 1785.0);
        QVERIFY(open->isActive());
        QVERIFY(!stay->isActive());
        a->tmrOpen_Timer(); // the tick after the last step starts the stay time
        QVERIFY(!open->isActive());
        QVERIFY(stay->isActive());

        a->tmrAlert_Timer();
        QVERIFY(!stay->isActive());
        QVERIFY(closeTimer->isActive());
        for (int tick = 1; tick <= 56; ++tick)
            a->tmrClose_Timer();
        QCOMPARE(g.Height, 105.0);
        QCOMPARE(g.Top + g.Height, bottom);
        QVERIFY(a);
        a->tmrClose_Timer();
        QTRY_VERIFY(a.isNull());
        QCOMPARE(frmAlert::AlertCount(), 0);
    }

    void gradientIsPaintedOnce()
    {
        QPointer<frmAlert> a = new frmAlert;
        a->DisplayAlert(QStringLiteral("x"), 3000);
        const QImage bg = a->background();
        QCOMPARE(bg.size(), QSize(137, 113));
        // Angle 260: the blue start colour at the top, white towards the bottom.
        QVERIFY(bg.pixelColor(136, 0).red() < 80);
        QCOMPARE(bg.pixelColor(136, 0).blue(), 255);
        QVERIFY(bg.pixelColor(70, 0).red() < 100);
        QCOMPARE(bg.pixelColor(70, 0).blue(), 255);
        QVERIFY(bg.pixelColor(0, 112).red() > 230);

        // A mark on the panel's picture: a repainted gradient would cover it.
        auto *panel = a->findChild<QWidget *>("picBackground");
        QImage &picture = static_cast<alert::GradientPanel *>(panel)->picture();
        const QPoint mark(5, 100);
        picture.setPixelColor(mark, Qt::red);
        QImage expected = bg;
        expected.setPixelColor(mark, Qt::red);

        // Grown by its own timer to full height: the panel shows the same
        // picture in full, unpainted since.
        QTRY_VERIFY(a && a->findChild<QTimer *>("tmrAlert")->isActive());
        QCOMPARE(a->geometryTwips().Height, 1785.0);
        QCOMPARE(a->background(), expected);
        // What the window shows of the panel, where no message or close box lies on it.
        const QImage shown = a->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = panel->geometry().topLeft();
        int compared = 0;
        for (int y = 0; y < bg.height(); ++y)
            for (int x = 0; x < bg.width(); ++x) {
                if (panel->childAt(x, y))
                    continue;
                QCOMPARE(shown.pixel(at + QPoint(x, y)), expected.pixel(x, y));
                ++compared;
            }
        QVERIFY(compared > bg.width() * bg.height() / 2);
        delete a;
    }

    void alertsStackAndCountResetsOnlyWithTheNewest()
    {
        QList<QPointer<frmAlert>> alerts;
        for (int i = 0; i < 3; ++i) {
            alerts.append(new frmAlert);
            alerts.last()->DisplayAlert(QStringLiteral("alert %1").arg(i), 3000);
        }
        const int height = 1695 + 90;
        QCOMPARE(alerts[0]->AlertIndex(), 1);
        QCOMPARE(alerts[2]->AlertIndex(), 3);
        QCOMPARE(alerts[1]->geometryTwips().Top, alerts[0]->geometryTwips().Top - height);
        QCOMPARE(alerts[2]->geometryTwips().Top, alerts[0]->geometryTwips().Top - 2 * height);
        for (const auto &a : alerts)
            QCOMPARE(a->geometryTwips().Left + a->geometryTwips().Width, 15.0 * 1024);

        auto unload = [](frmAlert *a) {
            a->tmrAlert_Timer();
            for (int i = 0; i < 200 && a->geometryTwips().Height > 120; ++i)
                a->tmrClose_Timer();
            a->tmrClose_Timer();
        };
        unload(alerts[0]); // an older alert leaves the count alone
        QTRY_VERIFY(alerts[0].isNull());
        QCOMPARE(frmAlert::AlertCount(), 3);
        unload(alerts[2]); // the newest resets it
        QTRY_VERIFY(alerts[2].isNull());
        QCOMPARE(frmAlert::AlertCount(), 0);

        auto *next = new frmAlert;
        next->DisplayAlert(QStringLiteral("again"), 3000);
        QCOMPARE(next->AlertIndex(), 1);
        QCOMPARE(next->geometryTwips().Top, 15.0 * 738 + 300);
        delete next;
        delete alerts[1];
    }

    void closeBoxHidesButTheAlertStillUnloads()
    {
        QPointer<frmAlert> a = new frmAlert;
        a->DisplayAlert(QStringLiteral("bye"), 3000);
        auto *box = a->findChild<QLabel *>("Image1");
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!a->isVisible());
        // The timers go on unseen.
        for (int i = 0; i < 58; ++i)
            a->tmrOpen_Timer();
        QVERIFY(a->findChild<QTimer *>("tmrAlert")->isActive());
        a->tmrAlert_Timer();
        for (int i = 0; i < 57; ++i)
            a->tmrClose_Timer();
        QTRY_VERIFY(a.isNull());
        QCOMPARE(frmAlert::AlertCount(), 0);
    }

    void hoverLook()
    {
        // Keep the alert on the (offscreen) screen so the pointer can reach it.
        m_fakes.screen->size =
            QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(0, 40);
        QPointer<frmAlert> a = new frmAlert;
        a->DisplayAlert(QStringLiteral("hover"), 3000);
        for (int i = 0; i < 57; ++i)
            a->tmrOpen_Timer(); // fully open, so the pointer can reach the message
        auto *label = a->findChild<QLabel *>("lblAlert");
        auto *panel = a->findChild<QWidget *>("picBackground");
        auto *box = a->findChild<QLabel *>("Image1");

        QTest::mouseMove(label, QPoint(10, 10));
        QTRY_VERIFY(a && label->font().underline());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(label->frameShape(), QFrame::Box);

        // Over the close box nothing changes.
        QTest::mouseMove(box, QPoint(3, 3));
        QCoreApplication::processEvents();
        QVERIFY(label->font().underline());

        QTest::mouseMove(panel, QPoint(2, 2));
        QTRY_VERIFY(a && !label->font().underline());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(label->frameShape(), QFrame::NoFrame);
        delete a;
    }

    void timersRunOnTheirOwn()
    {
        // With a short stay, the real timers take the alert through every state.
        QPointer<frmAlert> a = new frmAlert;
        a->DisplayAlert(QStringLiteral("quick"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(a.isNull(), 20000);
        QCOMPARE(frmAlert::AlertCount(), 0);
    }

private:
    fake::Services m_fakes{};
};

QTEST_MAIN(tst_alert)
#include "tst_alert.moc"
