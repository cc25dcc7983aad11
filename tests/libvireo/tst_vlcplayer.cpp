#include "testmedia.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vlcoptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>

#include <unistd.h>

using namespace TestMedia;

namespace {

// The playback options with the dummy video output; audio decoding off keeps
// the volume and mute controls of the player without needing a sound device.
std::unique_ptr<VlcInstance> makeInstance()
{
    QStringList args = VlcInstance::OptimizedPlayerArgs();
    args << QStringLiteral("--vout=dummy") << QStringLiteral("--no-audio");
    auto instance = std::make_unique<VlcInstance>(args);
    return instance;
}

QString native(const char* name)
{
    return QDir::toNativeSeparators(path(name));
}

// Collects the player's signals on the test thread: they are emitted on the
// engine's event thread and arrive queued.
class Recorder : public QObject
{
    Q_OBJECT
public:
    explicit Recorder(VlcPlayer* player)
    {
        connect(
            player, &VlcPlayer::stateChanged, this, [this] { ++states; }, Qt::QueuedConnection);
        connect(
            player, &VlcPlayer::timeChanged, this, [this](int ms) { times << ms; }, Qt::QueuedConnection);
        connect(
            player, &VlcPlayer::nextItemSet, this, [this](const QString& f) { items << f; },
            Qt::QueuedConnection);
        connect(
            player, &VlcPlayer::error, this, [this](const QString& e) { errors << e; }, Qt::QueuedConnection);
    }

    int states = 0;
    QList<int> times;
    QStringList items;
    QStringList errors;
};

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

class TestVlcPlayer : public QObject
{
    Q_OBJECT
private slots:
    void fileCheck_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expectedError");

        // H.264 in MP4 is stored as lower-case "avc1": accepted after upper-casing.
        QTest::newRow("h264") << path(RunFirst) << QString();
        QTest::newRow("h264 1080p") << path(FullHd) << QString();
        // H.265 under both of its sample entry types.
        QTest::newRow("h265 hvc1") << path(HevcHvc1) << QString();
        QTest::newRow("h265 hev1") << path(HevcHev1) << QString();
        addBadFileRows();
    }

    void fileCheck()
    {
        QFETCH(QString, file);
        QFETCH(QString, expectedError);

        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, false);
        QSignalSpy errors(player, &VlcPlayer::error);

        const int result = player->open(file);
        if (expectedError.isEmpty()) {
            QCOMPARE(result, 0);
            QCOMPARE(errors.count(), 0);
            QVERIFY(player->getLastError().isEmpty());
        } else {
            QCOMPARE(result, -1);
            QCOMPARE(errors.count(), 1);
            QCOMPARE(errors.at(0).at(0).toString(), expectedError);
            QCOMPARE(player->getLastError(), expectedError);
            player->clearLastError();
            QVERIFY(player->getLastError().isEmpty());
        }
    }

    void listLeavesOutFailingFile()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);

        QCOMPARE(player->open(QStringList{path(RunFirst), path(AudioOnly), path(RunThird)}), 0);
        QTRY_COMPARE(rec.items.size(), 1);
        QCOMPARE(rec.items.at(0), native(RunFirst));

        // Jump close to the end of the first file: the list moves on to the third.
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
        player->setTime(2700);
        QTRY_COMPARE_WITH_TIMEOUT(rec.items.size(), 2, 8000);
        QCOMPARE(rec.items.at(1), native(RunThird));
        QCOMPARE(rec.errors, QStringList{QStringLiteral("no video track")});
    }

    void listWithNothingPlayable()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);

        QCOMPARE(player->open(QStringList{path(Mpeg4), path(AudioOnly)}), -1);
        QCOMPARE(player->getLastError(), QStringLiteral("no media"));
        QTRY_COMPARE(rec.errors.size(), 3);
        QCOMPARE(rec.errors.last(), QStringLiteral("no media"));
        QCOMPARE(player->getState(), int(VlcEnums::Idle));
        QTest::qWait(300);
        QCOMPARE(rec.states, 0);
        QVERIFY(rec.items.isEmpty());
    }

    void newListStartsAtItsFirstFile()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);

        QCOMPARE(player->open(QStringList{path(RunFirst), path(RunSecond), path(RunThird)}), 0);
        QTRY_COMPARE(rec.items.size(), 1);
        QCOMPARE(player->next(), 0);
        QTRY_COMPARE(rec.items.size(), 2);
        QCOMPARE(rec.items.at(1), native(RunSecond));

        QCOMPARE(player->open(QStringList{path(RunThird), path(RunFirst)}), 0);
        QTRY_COMPARE(rec.items.size(), 3);
        QCOMPARE(rec.items.at(2), native(RunThird));

        QCOMPARE(player->play(1), 0);
        QTRY_COMPARE(rec.items.size(), 4);
        QCOMPARE(rec.items.at(3), native(RunFirst));
        QCOMPARE(player->previous(), 0);
        QTRY_COMPARE(rec.items.size(), 5);
        QCOMPARE(rec.items.at(4), native(RunThird));
    }

    void playbackControls()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);
        QCOMPARE(player->getState(), int(VlcEnums::Idle));

        QCOMPARE(player->open(QStringList{path(RunThird)}), 0);
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
        QTRY_VERIFY(rec.states > 0);
        QTRY_VERIFY(rec.times.size() >= 2);
        QTRY_VERIFY(rec.times.last() > rec.times.first());
        QCOMPARE(player->getDuration(), qint64(4000));

        // Seeking stays within the current file.
        player->setTime(3000);
        QTRY_VERIFY(!rec.times.isEmpty() && rec.times.last() >= 3000);
        QVERIFY(player->getTime() >= 3000 && player->getTime() <= 4000);
        QCOMPARE(rec.items.size(), 1);

        player->pause();
        QTRY_COMPARE(player->getState(), int(VlcEnums::Paused));

        player->setVolume(40);
        QTRY_COMPARE(player->getVolume(), 40);
        const bool muted = player->getMute();
        player->toggleMute();
        QTRY_COMPARE(player->getMute(), !muted);

        QCOMPARE(player->play(), 0);
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
        player->stop();
        QCOMPARE(player->getState(), int(VlcEnums::Stopped));
        QVERIFY(rec.errors.isEmpty());
    }

    void destroyedWhilePlaying()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);
        QCOMPARE(player->open(QStringList{path(RunFirst), path(RunSecond)}), 0);
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
        instance.reset();
        // Signals emitted before the player went are still queued: deliver them first.
        QCoreApplication::sendPostedEvents();
        const int states = rec.states;
        QTest::qWait(200);
        QCOMPARE(rec.states, states);
    }

    // A file checked and then gone when its turn comes: the engine's reason for the failure
    // reaches the error signal and the log.
    void engineErrorCarriesItsReason()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath(QLatin1String(RunSecond));
        QVERIFY(QFile::copy(path(RunSecond), copy));

        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        Recorder rec(player);
        QCOMPARE(player->open(QStringList{path(RunFirst), copy}), 0);
        QVERIFY(player->isPlayable(1));
        QVERIFY(QFile::remove(copy));

        static QStringList warnings;
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (type == QtWarningMsg && qstrcmp(context.category, "tarrow.vireo") == 0) {
                    warnings << text;
                }
            });
        QCOMPARE(player->play(1), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!rec.errors.isEmpty(), 5000);
        qInstallMessageHandler(previous);

        const QString reason = rec.errors.first();
        QVERIFY2(reason.contains(QLatin1String(RunSecond)) || reason.contains(QLatin1String("open")),
                 qPrintable(reason));
        const QString logged = warnings.filter(QLatin1String("the player met an error")).join('\n');
        QVERIFY2(logged.contains(reason), qPrintable(warnings.join('\n')));
    }

    void singleFilePlayer()
    {
        auto instance = makeInstance();
        auto* player = new VlcPlayer(instance.get(), nullptr, false);
        QCOMPARE(player->open(QStringList{path(RunFirst)}), -1);
        QCOMPARE(player->play(0), -1);
        QCOMPARE(player->next(), -1);
        QCOMPARE(player->previous(), -1);
        QCOMPARE(player->getState(), int(VlcEnums::Idle));
        QCOMPARE(player->open(path(RunFirst)), 0);
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
    }

    // An engine refused on an unknown option: the player refuses to work. The refusal is
    // printed, which guards the silence test below against a capture that sees nothing.
    void engineThatDidNotStart()
    {
        std::unique_ptr<VlcInstance> engine;
        const QByteArray printed = stderrDuring([&] {
            engine = std::make_unique<VlcInstance>(QStringList{QStringLiteral("--no-such-option-here")});
        });
        QVERIFY(!printed.isEmpty());
        VlcInstance& instance = *engine;
        QVERIFY(!instance.isValid());
        auto* player = new VlcPlayer(&instance, nullptr, true);
        QCOMPARE(player->open(path(RunFirst)), -1);
        QCOMPARE(player->open(QStringList{path(RunFirst)}), -1);
        QCOMPARE(player->play(), -1);
        QCOMPARE(player->getState(), int(VlcEnums::Idle));
        player->setVolume(10);
        player->stop();
    }

    // Every option list must start an engine: the engine refuses to start on a single option it
    // does not know, and warns on stderr about options it has dropped, which a normal start must
    // not print.
    void listStartsEngineSilently_data()
    {
        QTest::addColumn<int>("list");
        QTest::newRow("playback") << 0;
        QTest::newRow("duration probe") << 1;
        QTest::newRow("thumbnail") << 2;
        QTest::newRow("playback without hardware decoding") << 3;
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
            } else if (list == 2) {
                instance = std::make_unique<VlcInstance>(VlcOptions::thumbnail());
            } else {
                instance = std::make_unique<VlcInstance>(VlcInstance::OptimizedPlayerArgs(false));
            }
        });
        QVERIFY(instance->isValid());
        QVERIFY2(printed.isEmpty(), printed.constData());
    }

    // Turning hardware decoding off changes that one option and nothing else.
    void hardwareDecodingSwitch()
    {
        const QStringList on = VlcInstance::OptimizedPlayerArgs(true);
        const QStringList off = VlcInstance::OptimizedPlayerArgs(false);
        QCOMPARE(on, VlcInstance::OptimizedPlayerArgs());
        QCOMPARE(on.size(), off.size());
        QVERIFY(on.contains(QStringLiteral("--avcodec-hw=any")));
        QStringList changed = off;
        changed.replaceInStrings(QStringLiteral("--avcodec-hw=none"), QStringLiteral("--avcodec-hw=any"));
        QCOMPARE(changed, on);
    }

    // With sound on and no sound device (as on a test machine), the sound library's own
    // complaints ("ALSA lib ... cannot find card") must not reach stderr: they would come with
    // every file the player opens.
    void playsWithoutSoundDeviceSilently()
    {
        QStringList args = VlcInstance::OptimizedPlayerArgs();
        args << QStringLiteral("--vout=dummy");
        auto instance = std::make_unique<VlcInstance>(args);
        auto* player = new VlcPlayer(instance.get(), nullptr, true);
        const QByteArray printed = stderrDuring([&] {
            QCOMPARE(player->open(QStringList{path(RunFirst), path(RunSecond)}), 0);
            QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
            // The second file opens the sound output again.
            player->play(1, 0);
            QTest::qWait(1500);
            player->stop();
        });
        delete player;
        QVERIFY2(!printed.contains("ALSA"), printed.left(2000).constData());
    }
};

QTEST_GUILESS_MAIN(TestVlcPlayer)
#include "tst_vlcplayer.moc"
