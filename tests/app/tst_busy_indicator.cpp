#include "app/BusyIndicator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The busy sign plays the animation made at build time while it is shown.
class tst_busy_indicator : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_bin = qEnvironmentVariable("ZORVANE_BIN_DIR"); }

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

QTEST_MAIN(tst_busy_indicator)
#include "tst_busy_indicator.moc"
