#include "app/ReadOutputPicture.h"

#include <QLabel>
#include <QtTest>

class tst_read_output_picture : public QObject {
    Q_OBJECT
private slots:
    void keepsThePicturesSize();
};

void tst_read_output_picture::keepsThePicturesSize()
{
    app::ReadOutputPicture control;
    auto *picture = control.findChild<QLabel *>(QStringLiteral("imgIcon"));
    QVERIFY(picture);
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(!picture->size().isEmpty());
    QCOMPARE(control.size(), picture->size());
    control.resize(300, 200);
    QCOMPARE(control.size(), picture->size());
    control.show();
    control.resize(5, 400);
    QCOMPARE(control.size(), picture->size());
}

QTEST_MAIN(tst_read_output_picture)
#include "tst_read_output_picture.moc"
