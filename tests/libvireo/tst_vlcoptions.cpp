#include "vireo/vlcinstance.h"
#include "vlcoptions.h"

#include <QtTest>

#include <vlc/vlc.h>

// Every option list must start an engine: the engine refuses to start on a
// single option it does not know.
class TestVlcOptions : public QObject
{
    Q_OBJECT
private slots:
    void playbackListStartsEngine()
    {
        VlcInstance instance(VlcInstance::OptimizedPlayerArgs());
        QVERIFY(instance.isValid());
    }

    void probeListStartsEngine()
    {
        const VlcOptions::ArgTable table = VlcOptions::durationProbe();
        QCOMPARE(table.count, 36);
        VlcInstance instance(table.count, table.args);
        QVERIFY(instance.isValid());
    }

    void thumbnailListStartsEngine()
    {
        VlcInstance instance(VlcOptions::thumbnail());
        QVERIFY(instance.isValid());
    }

    void unknownOptionIsRefused()
    {
        // Guards the three tests above against an engine that accepts anything.
        VlcInstance instance(QStringList{QStringLiteral("--no-such-option-here")});
        QVERIFY(!instance.isValid());
    }

    void thumbnailChainIsOneMediaOption()
    {
        const QString chain = VlcOptions::thumbnailChain(60, 1, -2, 0);
        QVERIFY(chain.startsWith(QLatin1String(":sout=#transcode{")));
        QVERIFY(chain.contains(QLatin1String("height=60")));
        QVERIFY(chain.contains(QLatin1String("video-postrender-callback=-2")));
        // Nothing trails the closing brace of the memory output.
        QVERIFY(chain.endsWith(QLatin1String("video-data=0}")));
    }
};

QTEST_GUILESS_MAIN(TestVlcOptions)
#include "tst_vlcoptions.moc"
