#include "testmedia.h"

#include "vireo/vlcfileduration.h"

#include <QProcess>
#include <QtTest>

using namespace TestMedia;

namespace {

// Length in ms as ffprobe reads it from the container, -1 when it cannot.
qint64 ffprobeLength(const QString& file)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), file});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0) {
        return -1;
    }
    bool ok = false;
    const double seconds = probe.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? qRound64(seconds * 1000.0) : -1;
}

constexpr qint64 OneFrameMs = 40; // the fixtures run at 25 frames per second

} // namespace

class TestVlcFileDuration : public QObject
{
    Q_OBJECT
private slots:
    void goodFile_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {RunFirst, RunSecond, RunThird, FullHd}) {
            QTest::newRow(name) << path(name);
        }
    }

    // The single-file probe and a shared engine agree with the container.
    void goodFile()
    {
        QFETCH(QString, file);
        const qint64 expected = ffprobeLength(file);
        QVERIFY(expected > 0);

        QString error = QStringLiteral("stale");
        const qint64 length = VlcFileDuration::getFileDuration(file, error);
        QVERIFY2(qAbs(length - expected) <= OneFrameMs,
                 qPrintable(QStringLiteral("probe %1 ms, ffprobe %2 ms").arg(length).arg(expected)));
        QVERIFY(error.isEmpty());

        VlcFileDuration probe;
        QVERIFY(probe.isValid());
        error = QStringLiteral("stale");
        QCOMPARE(probe.duration(file, error), length);
        QVERIFY(error.isEmpty());
    }

    void badFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expectedError");
        addBadFileRows();
    }

    // Refused with the player's file-check message.
    void badFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, expectedError);
        QString error;
        QCOMPARE(VlcFileDuration::getFileDuration(file, error), qint64(0));
        QCOMPARE(error, expectedError);
    }

    void brokenHeader_data()
    {
        QTest::addColumn<QString>("file");
        addBrokenHeaderRows();
    }

    // A length the file's own tracks do not back is refused, not taken as weeks,
    // as 50 minutes, or narrowed to a negative number.
    void brokenHeader()
    {
        QFETCH(QString, file);
        QString error;
        QCOMPARE(VlcFileDuration::getFileDuration(file, error), qint64(0));
        QCOMPARE(error, QStringLiteral("length not confirmed"));
    }

    // One engine measures a whole series: a refused file leaves nothing behind that
    // changes the next result, and every result matches the single-file probe.
    void sharedEngineSeries()
    {
        const QStringList files{path(RunFirst),
                                path(Mpeg4),
                                path(RunSecond),
                                path(Truncated),
                                path(TimescaleZero),
                                path(FullHd),
                                path("000_0000_20000101000000.mp4"),
                                path(RunThird),
                                path(LengthAllOnes),
                                path(AudioOnly)};
        QList<QPair<qint64, QString>> single;
        for (const QString& file : files) {
            QString error;
            const qint64 length = VlcFileDuration::getFileDuration(file, error);
            single.append({length, error});
        }

        VlcFileDuration probe;
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < files.size(); ++i) {
                QString error = QStringLiteral("stale");
                const qint64 length = probe.duration(files.at(i), error);
                QCOMPARE(qMakePair(length, error), single.at(i));
            }
        }
    }

    // The length comes from the engine's parse: it must be there every time, not
    // only when the engine happens to be quick.
    void neverZeroForGoodFile()
    {
        const QString file = path(RunSecond);
        const qint64 expected = ffprobeLength(file);
        VlcFileDuration probe;
        QString error;
        int wrong = 0;
        for (int i = 0; i < 300; ++i) {
            wrong += qAbs(probe.duration(file, error) - expected) > OneFrameMs ? 1 : 0;
        }
        QCOMPARE(wrong, 0);
    }
};

QTEST_GUILESS_MAIN(TestVlcFileDuration)
#include "tst_vlcfileduration.moc"
