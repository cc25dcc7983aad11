#include "vireo/vlcinstance.h"
#include "vlcoptions.h"

#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

// What is written to the process's stderr while start runs.
QByteArray stderrDuring(const std::function<void()>& start)
{
    QTemporaryFile capture;
    if (!capture.open()) {
        return QByteArrayLiteral("cannot capture stderr");
    }
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    start();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

// Every option list must start an engine: the engine refuses to start on a
// single option it does not know, and warns on stderr about options it has
// dropped, which a normal start must not print.
class TestVlcOptions : public QObject
{
    Q_OBJECT
private slots:
    void listStartsEngineSilently_data()
    {
        QTest::addColumn<int>("list");
        QTest::newRow("playback") << 0;
        QTest::newRow("duration probe") << 1;
        QTest::newRow("thumbnail") << 2;
    }

    void listStartsEngineSilently()
    {
        QFETCH(int, list);
        std::unique_ptr<VlcInstance> instance;
        const QByteArray printed = stderrDuring([&] {
            if (list == 0) {
                instance = std::make_unique<VlcInstance>(VlcInstance::OptimizedPlayerArgs());
            } else if (list == 1) {
                const VlcOptions::ArgTable table = VlcOptions::durationProbe();
                instance = std::make_unique<VlcInstance>(table.count, table.args);
            } else {
                instance = std::make_unique<VlcInstance>(VlcOptions::thumbnail());
            }
        });
        QVERIFY(instance->isValid());
        QVERIFY2(printed.isEmpty(), printed.constData());
    }

    void guards()
    {
        // Guards the test above against an engine that accepts anything and a
        // capture that sees nothing.
        std::unique_ptr<VlcInstance> instance;
        const QByteArray printed = stderrDuring([&] {
            instance = std::make_unique<VlcInstance>(QStringList{QStringLiteral("--no-such-option-here")});
        });
        QVERIFY(!instance->isValid());
        QVERIFY(!printed.isEmpty());
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
