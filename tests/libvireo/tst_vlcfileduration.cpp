#include "testmedia.h"

#include "vireo/vlcfileduration.h"

#include <QProcess>
#include <QtTest>

using namespace TestMedia;

namespace {

// Length in ms as ffprobe reads it from the container, -1 when it cannot.
int ffprobeLength(const QString& file)
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
    return ok ? qRound(seconds * 1000.0) : -1;
}

constexpr int OneFrameMs = 40; // the fixtures run at 25 frames per second

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

    void goodFile()
    {
        QFETCH(QString, file);
        const int expected = ffprobeLength(file);
        QVERIFY(expected > 0);

        QString error = QStringLiteral("stale");
        const int length = VlcFileDuration::getFileDuration(file, error);
        QVERIFY2(qAbs(length - expected) <= OneFrameMs,
                 qPrintable(QStringLiteral("probe %1 ms, ffprobe %2 ms").arg(length).arg(expected)));
        QVERIFY(error.isEmpty());
    }

    void badFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expectedError");
        addBadFileRows();
    }

    void badFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, expectedError);
        QString error;
        QCOMPARE(VlcFileDuration::getFileDuration(file, error), 0);
        QCOMPARE(error, expectedError);
    }

    // The length is often known before the first poll; such a probe must not be
    // mistaken for a failure.
    void neverZeroForGoodFile()
    {
        const QString file = path(RunSecond);
        const int expected = ffprobeLength(file);
        QString error;
        int zeros = 0;
        int wrong = 0;
        for (int i = 0; i < 200; ++i) {
            const int length = VlcFileDuration::getFileDuration(file, error);
            zeros += length == 0 ? 1 : 0;
            wrong += qAbs(length - expected) > OneFrameMs ? 1 : 0;
        }
        QCOMPARE(zeros, 0);
        QCOMPARE(wrong, 0);
    }
};

QTEST_GUILESS_MAIN(TestVlcFileDuration)
#include "tst_vlcfileduration.moc"
