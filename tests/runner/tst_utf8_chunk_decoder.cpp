#include "runner/Utf8ChunkDecoder.h"

#include <QtTest>

class tst_utf8_chunk_decoder : public QObject {
    Q_OBJECT

private slots:
    void everySplitGivesWholeCharacters();
    void byteByByteFeed();
    void roomLeavesSpaceForHeldBytes();
    void truncatedCharacterAtTheEndIsReplaced();
    void invalidBytesAreNotHeldBack();
};

namespace {
const QString kMixed = QStringLiteral("aé€𝄞z\r\n€");
}

void tst_utf8_chunk_decoder::everySplitGivesWholeCharacters()
{
    const QByteArray bytes = kMixed.toUtf8();
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        Utf8ChunkDecoder decoder;
        const QString first = decoder.decode(bytes.constData(), cut);
        const QString second = decoder.decode(bytes.constData() + cut, int(bytes.size()) - cut);
        QVERIFY2(!first.contains(QChar::ReplacementCharacter), qPrintable(QString::number(cut)));
        QVERIFY(!second.contains(QChar::ReplacementCharacter));
        QCOMPARE(first + second, kMixed);
        QCOMPARE(decoder.finish(), QString());
    }
}

void tst_utf8_chunk_decoder::byteByByteFeed()
{
    const QByteArray bytes = kMixed.toUtf8();
    Utf8ChunkDecoder decoder;
    QString all;
    int emptyReads = 0;
    for (char byte : bytes) {
        const QString piece = decoder.decode(&byte, 1);
        emptyReads += piece.isEmpty() ? 1 : 0;
        all += piece;
    }
    QCOMPARE(all, kMixed);
    // é: 1 held byte, € twice: 2 each, 𝄞: 3.
    QCOMPARE(emptyReads, 1 + 2 + 3 + 2);
}

void tst_utf8_chunk_decoder::roomLeavesSpaceForHeldBytes()
{
    Utf8ChunkDecoder decoder;
    QCOMPARE(decoder.room(256), 256);
    const QByteArray start = QByteArray("abc") + QStringLiteral("𝄞").toUtf8().left(3);
    QCOMPARE(decoder.decode(start.constData(), int(start.size())), QStringLiteral("abc"));
    QCOMPARE(decoder.heldBack(), 3);
    QCOMPARE(decoder.room(256), 253);
}

void tst_utf8_chunk_decoder::truncatedCharacterAtTheEndIsReplaced()
{
    Utf8ChunkDecoder decoder;
    const QByteArray cut = QByteArray("a") + QStringLiteral("€").toUtf8().left(2);
    QCOMPARE(decoder.decode(cut.constData(), int(cut.size())), QStringLiteral("a"));
    const QString rest = decoder.finish();
    QVERIFY(!rest.isEmpty());
    QVERIFY(rest.contains(QChar::ReplacementCharacter));
    QCOMPARE(decoder.heldBack(), 0);
}

void tst_utf8_chunk_decoder::invalidBytesAreNotHeldBack()
{
    Utf8ChunkDecoder decoder;
    const char invalid[] = {'x', char(0xFF)};
    QCOMPARE(decoder.decode(invalid, 2), QStringLiteral("x") + QChar(QChar::ReplacementCharacter));
    QCOMPARE(decoder.heldBack(), 0);
    const char strays[] = {char(0x80), char(0x80), char(0x80), char(0x80)};
    const QString text = decoder.decode(strays, 4);
    QVERIFY(text.contains(QChar::ReplacementCharacter));
    QCOMPARE(decoder.heldBack(), 0);
}

QTEST_APPLESS_MAIN(tst_utf8_chunk_decoder)
#include "tst_utf8_chunk_decoder.moc"
