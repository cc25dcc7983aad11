#include "filenamecodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// File names that are bytes, not UTF-8: read, kept and handed back unchanged.
class TestFileNameCodec : public QObject
{
    Q_OBJECT
private slots:
    void namesSurviveTheRoundTrip_data();
    void namesSurviveTheRoundTrip();
    void streamsDecodeAcrossChunks();
    void qtFileFunctionsKeepTheBytes();
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

void TestFileNameCodec::qtFileFunctionsKeepTheBytes()
{
    Fs::keepFileNameBytes();
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    // A folder named in Latin-1 on a card, with a file in it.
    const QByteArray folder = QFile::encodeName(tmp.path()) + "/Fahrten-M\xfc"
                                                              "nchen";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const int fd = ::open((folder + "/001_0001_20240501090000.mp4").constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);

    const QStringList entries = QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(entries.size(), 1);
    const QString path = tmp.filePath(entries.first());
    QCOMPARE(QFile::encodeName(path), folder);
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QFile::exists(path + QStringLiteral("/001_0001_20240501090000.mp4")));
    QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{QStringLiteral("001_0001_20240501090000.mp4")});
}

QTEST_GUILESS_MAIN(TestFileNameCodec)
#include "tst_filenamecodec.moc"
