#include "app/BusyIndicator.h"
#include "support/FolderFixture.h"

#include <QFile>
#include <QtTest>

// The busy sign plays the animation made at build time while it is shown.
class tst_busy_indicator : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_bin = qEnvironmentVariable("ZORVANE_BIN_DIR"); }

    void busySignPlaysOnlyWhileShown()
    {
        const FolderFixture folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
        QVERIFY(QFile::copy(m_bin + QStringLiteral("/loading.gif"), QStringLiteral("loading.gif")));
        app::BusyIndicator sign;
        sign.show();
        QVERIFY(sign.isPlaying());
        sign.hide();
        QVERIFY(!sign.isPlaying());
    }

    void missingAnimationLeavesTheSignBlank()
    {
        const FolderFixture folder;
        QVERIFY2(folder.isValid(), qPrintable(folder.error()));
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
