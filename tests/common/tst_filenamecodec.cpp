#include "filenamecodec.h"

#include <QTextCodec>
#include <QtTest>

// File names that are bytes, not UTF-8: read, kept and handed back unchanged.
class TestFileNameCodec : public QObject
{
    Q_OBJECT
private slots:
    void namesSurviveTheRoundTrip_data();
    void namesSurviveTheRoundTrip();
    void streamsDecodeAcrossChunks();
};

void TestFileNameCodec::namesSurviveTheRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("validUtf8");
    QTest::newRow("ascii") << QByteArray("card/001_0001_20240501090000.mp4") << true;
    QTest::newRow("umlauts and cyrillic")
        << QByteArray("Fahrt \xc3\xbc \xd0\xbf\xd1\x83\xd1\x82\xd1\x8c") << true;
    QTest::newRow("outside the basic plane") << QByteArray("trip \xf0\x9f\x9a\x97") << true;
    QTest::newRow("latin-1 byte") << QByteArray("Stra\xdf"
                                                "e")
                                  << false;
    QTest::newRow("cut sequence") << QByteArray("ab\xe2\x82") << false;
    QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf"
                                                  "b")
                                    << false;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80x") << false;
    QTest::newRow("stray continuation") << QByteArray("\x80\xbf\xff\xfe") << false;
    QTest::newRow("bytes that look like an escape") << QByteArray("\xed\xb2\x80") << false;
}

void TestFileNameCodec::namesSurviveTheRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, validUtf8);
    const QString name = Fs::decodeFileName(bytes);
    QCOMPARE(Fs::encodeFileName(name), bytes);
    if (validUtf8) {
        // Valid names read exactly as Qt reads them.
        QCOMPARE(name, QString::fromUtf8(bytes));
    } else {
        QVERIFY(!name.contains(QChar::ReplacementCharacter));
    }
}

void TestFileNameCodec::streamsDecodeAcrossChunks()
{
    Fs::keepFileNameBytes();
    QTextCodec* codec = QTextCodec::codecForLocale();
    const QByteArray text("$GPRMC,\xd0\xbf\xd1\x83\xf0\x9f\x9a\x97\xff,end\n");
    // Every split point, including inside a multi-byte sequence.
    for (int split = 0; split <= text.size(); ++split) {
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        QString decoded = codec->toUnicode(text.constData(), split, &state);
        decoded += codec->toUnicode(text.constData() + split, text.size() - split, &state);
        QCOMPARE(Fs::encodeFileName(decoded), text);
    }
}

QTEST_GUILESS_MAIN(TestFileNameCodec)
#include "tst_filenamecodec.moc"
