#include "vlcqtvideowidget.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcfileduration.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Clips made by make-player-media: two seconds each, and one in a codec the player refuses.
const char* const Red = "001_0001_20240501120000.mp4";
const char* const Green = "001_0002_20240501120002.mp4";
const char* const Blue = "001_0003_20240501120004.mp4";
const char* const Refused = "001_0009_20240501120010.mp4";

QString path(const char* name)
{
    return QDir::toNativeSeparators(QStringLiteral(PLAYER_TEST_MEDIA "/") + QLatin1String(name));
}

// A trip item with the length the engine measures; `claimed` stands in for files it cannot measure.
Trip::TripItem item(const char* name, qint64 claimed = 0)
{
    QString error;
    return Trip::TripItem{
        claimed > 0 ? claimed : VlcFileDuration::getFileDuration(path(name), error), false, path(name), {}};
}

// Draws nowhere and plays no sound; load errors are counted instead of shown in a box.
// The engine still wants a real X window to embed into, so this runs under Xvfb.
class TestWidget : public VlcQtVideoWidget
{
public:
    using VlcQtVideoWidget::player;
    int loadErrors = 0;

protected:
    QStringList engineArguments() const override
    {
        return VlcInstance::OptimizedPlayerArgs()
               << QStringLiteral("--vout=dummy") << QStringLiteral("--no-audio");
    }
    void showLoadError() override { ++loadErrors; }
};

// What the widget told the panels: positions, files, lengths, button states and volumes.
struct Spies
{
    explicit Spies(VlcQtVideoWidget* widget)
        : positions(widget, &VlcQtVideoWidget::onPositionChange),
          durations(widget, &VlcQtVideoWidget::onDurationChange),
          files(widget, &VlcQtVideoWidget::onCurrentVideoChange),
          buttons(widget, &VlcQtVideoWidget::updatePlayPauseButton),
          volumes(widget, &VlcQtVideoWidget::updateVolumeButtonIcon)
    {
        QObject::connect(widget, &VlcQtVideoWidget::playStateChanged, widget,
                         [this](VlcQtVideoWidget::PlayState state) {
                             if (!VlcQtVideoWidget::canMove(last, state)) {
                                 unlisted << QStringLiteral("%1 to %2").arg(int(last)).arg(int(state));
                             }
                             last = state;
                         });
    }
    template <typename T> static QList<T> values(const QSignalSpy& spy)
    {
        QList<T> list;
        for (const QList<QVariant>& args : spy)
            list << args.at(0).value<T>();
        return list;
    }
    QList<qint64> positionList() const { return values<qint64>(positions); }
    QStringList fileList() const { return values<QString>(files); }
    qint64 lastPosition() const { return positions.isEmpty() ? -1 : positions.last().at(0).toLongLong(); }
    int lastButton() const { return buttons.isEmpty() ? -1 : buttons.last().at(0).toInt(); }

    QSignalSpy positions, durations, files, buttons, volumes;
    VlcQtVideoWidget::PlayState last = VlcQtVideoWidget::PlayState::NoTrip;
    // Transitions made that the widget's table does not list.
    QStringList unlisted;
};

} // namespace

// The video widget plays a trip's files back to back as one recording on the trip timeline.
class TestVlcQtVideoWidget : public QObject
{
    Q_OBJECT

    std::shared_ptr<Trip::TripList> m_trip;
    qint64 m_offset1 = 0;
    qint64 m_offset2 = 0;
    qint64 m_duration = 0;

private slots:
    void initTestCase()
    {
        Trip::registerMetaTypes();
        m_trip = std::make_shared<Trip::TripList>(Trip::TripList{item(Red), item(Green), item(Blue)});
        for (const Trip::TripItem& it : *m_trip)
            QVERIFY2(it.duration > 1500, qPrintable(it.videoFile));
        m_offset1 = m_trip->at(0).duration;
        m_offset2 = m_offset1 + m_trip->at(1).duration;
        m_duration = m_offset2 + m_trip->at(2).duration;
    }

    void playsThroughAllFilesToTheEnd()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(m_trip);
        QCOMPARE(spies.values<qint64>(spies.durations), QList<qint64>{m_duration});

        // A click on the video toggles play and pause.
        QTRY_VERIFY_WITH_TIMEOUT(!spies.positions.isEmpty(), 5000);
        // A right click does not.
        QTest::mouseClick(&widget, Qt::RightButton);
        QTest::qWait(200);
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Playing));
        QTest::mouseClick(&widget, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(spies.lastButton(), int(VlcEnums::Paused), 3000);
        QTest::mouseClick(&widget, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(spies.lastButton(), int(VlcEnums::Playing), 3000);
        // The volume goes to the engine only within 0..100.
        widget.setVolume(40);
        QCOMPARE(spies.volumes.count(), 1);
        const QList<QVariant> before = spies.volumes.last();
        for (int outside : {101, -1}) {
            widget.setVolume(outside);
            QCOMPARE(spies.volumes.last(), before);
        }

        QTRY_COMPARE_WITH_TIMEOUT(widget.currentPage(), int(VlcQtVideoWidget::EndPage), 15000);
        QCOMPARE(spies.fileList(), QStringList({path(Red), path(Green), path(Blue)}));
        const QList<qint64> positions = spies.positionList();
        bool inFile[3] = {false, false, false};
        for (int i = 0; i < positions.size(); ++i) {
            QVERIFY2(i == 0 || positions[i] >= positions[i - 1],
                     qPrintable(QStringLiteral("%1 after %2").arg(positions[i]).arg(positions.value(i - 1))));
            inFile[positions[i] <= m_offset1 ? 0 : positions[i] <= m_offset2 ? 1 : 2] = true;
        }
        QVERIFY(inFile[0] && inFile[1] && inFile[2]);
        QVERIFY(positions.last() > m_offset2 + 1000 && positions.last() <= m_duration + 100);
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Ended), 3000);
        QCOMPARE(spies.lastButton(), int(VlcEnums::Ended));
        const qint64 last = spies.lastPosition();

        // Forward after the end does nothing.
        spies.positions.clear();
        widget.forward();
        QTest::qWait(200);
        QCOMPARE(spies.positions.count(), 0);
        QCOMPARE(widget.currentPage(), int(VlcQtVideoWidget::EndPage));

        // Rewind does: 5 s back from the last reported position.
        widget.rewind();
        QCOMPARE(spies.positionList().value(0), qMax<qint64>(0, last - 5000));
        QTRY_COMPARE_WITH_TIMEOUT(widget.currentPage(), int(VlcQtVideoWidget::VideoPage), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(spies.positions.count() >= 4, 5000);
        QVERIFY(spies.lastPosition() >= last - 5000 - 200);

        // Play on an ended trip starts again at its first file.
        widget.setPosition(static_cast<int>(m_duration - 300));
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Ended), 5000);
        spies.files.clear();
        spies.positions.clear();
        widget.play();
        QTRY_COMPARE_WITH_TIMEOUT(spies.fileList().value(0), path(Red), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(spies.positions.count() >= 2, 3000);
        QVERIFY2(spies.lastPosition() < m_offset1, qPrintable(QString::number(spies.lastPosition())));
        QCOMPARE(widget.loadErrors, 0);
        QVERIFY2(spies.unlisted.isEmpty(), qPrintable(spies.unlisted.join(", ")));
    }

    // The table of transitions has no dead ends: every state is reached from an empty
    // widget, and from every state the picture can be brought to a standstill, played, and
    // the trip unloaded.
    void transitionTableHasNoDeadEnds()
    {
        using State = VlcQtVideoWidget::PlayState;
        const QList<State> states = VlcQtVideoWidget::playStates();
        QCOMPARE(states.size(), QMetaEnum::fromType<State>().keyCount());
        const auto reachable = [&states](State from) {
            QList<State> seen{from};
            QList<State> todo{from};
            while (!todo.isEmpty()) {
                const State state = todo.takeLast();
                for (State to : states) {
                    if (!seen.contains(to) && VlcQtVideoWidget::canMove(state, to)) {
                        seen << to;
                        todo << to;
                    }
                }
            }
            return seen;
        };
        QCOMPARE(reachable(State::NoTrip).size(), states.size());
        for (State state : states) {
            const QList<State> next = reachable(state);
            const char* name = QMetaEnum::fromType<State>().valueToKey(int(state));
            QVERIFY2(next.contains(State::Paused) && next.contains(State::Playing) &&
                         next.contains(State::NoTrip),
                     name);
            // A paused seek under way ends in a still picture or in playing, never back where
            // a pause waits.
            QVERIFY2(state == State::Playing || state == State::Opening || state == State::Starting ||
                         state == State::Stopped || state == State::Ended ||
                         !VlcQtVideoWidget::canMove(state, State::Pausing),
                     name);
        }
    }

    void staleReportsHeldBack()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(m_trip);
        QTRY_VERIFY_WITH_TIMEOUT(spies.positions.count() >= 2, 5000);
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Playing));
        // From here on the test alone speaks for the engine.
        QObject::disconnect(widget.player(), SIGNAL(timeChanged(int)), &widget, nullptr);

        const auto report = [&widget](int ms) {
            QVERIFY(QMetaObject::invokeMethod(&widget, "timeChanged", Q_ARG(int, ms)));
        };
        widget.setPosition(1200);
        spies.positions.clear();
        report(100); // 1 100 ms away from the target
        report(999); // 201 ms away
        QCOMPARE(spies.positions.count(), 0);
        report(140);
        QCOMPARE(spies.positionList(), QList<qint64>{140});
        // The third one cleared the pending seek: the next report goes straight through.
        report(180);
        QCOMPARE(spies.positionList(), QList<qint64>({140, 180}));

        // A report within 200 ms of the target is taken at once.
        widget.setPosition(600);
        spies.positions.clear();
        report(800);
        QCOMPARE(spies.positionList(), QList<qint64>{800});
    }

    void emptyTripAndNoTrip()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setVolume(30); // no player yet: nothing
        widget.setMedia(std::make_shared<Trip::TripList>());
        QVERIFY(widget.player());
        QTest::qWait(300);
        QCOMPARE(spies.durations.count() + spies.files.count() + spies.positions.count() +
                     spies.volumes.count(),
                 0);
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Idle));
        QCOMPARE(widget.loadErrors, 0);

        // Unloading stops everything but keeps the player.
        widget.setMedia(nullptr);
        QVERIFY(widget.player());
        widget.play();
        QTest::qWait(100);
        QCOMPARE(spies.buttons.count(), 0);
    }

    // The first file of the trip cannot be read for a while (a stalled card, here a pipe
    // nobody writes to): the window keeps answering while the engine checks it, and playback
    // goes on with the next file once the check gives up on it.
    void slowFileCheckKeepsWindowAnswering()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString stalled = dir.filePath(QStringLiteral("001_0000_20240501115958.mp4"));
        QVERIFY(::mkfifo(QFile::encodeName(stalled).constData(), 0600) == 0);
        // Held open for writing: a read of the pipe waits instead of ending.
        const int writer = ::open(QFile::encodeName(stalled).constData(), O_RDWR | O_NONBLOCK);
        QVERIFY(writer >= 0);
        auto trip = std::make_shared<Trip::TripList>(
            Trip::TripList{Trip::TripItem{1000, false, stalled, {}}, item(Green), item(Blue)});

        TestWidget widget;
        Spies spies(&widget);
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            longest = qMax(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        widget.setMedia(trip);
        clock.start();
        ticker.start(5);
        QTest::qWait(1500);
        ticker.stop();
        longest = qMax(longest, clock.elapsed() - last);
        ::close(writer);
        QVERIFY2(longest <= 50,
                 qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(longest)));
        QCOMPARE(spies.files.count(), 0);

        QTRY_COMPARE_WITH_TIMEOUT(spies.fileList().value(0), path(Green), 8000);
        QTRY_VERIFY_WITH_TIMEOUT(spies.lastPosition() > 1000, 5000);
        QCOMPARE(widget.loadErrors, 0);
    }

    // A trip of which the engine can play nothing: the user is told once, after the widget
    // has settled (the message box runs its own event loop), and the widget stays usable.
    void unplayableTripToldOnce()
    {
        auto trip = std::make_shared<Trip::TripList>(Trip::TripList{item(Refused, 1000)});
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(trip);
        QTRY_COMPARE_WITH_TIMEOUT(widget.loadErrors, 1, 5000);
        QTest::qWait(300);
        QCOMPARE(widget.loadErrors, 1);
        QCOMPARE(spies.files.count(), 0);

        widget.setMedia(m_trip);
        QTRY_COMPARE_WITH_TIMEOUT(spies.fileList().value(0), path(Red), 5000);
        QCOMPARE(widget.loadErrors, 1);
        QVERIFY2(spies.unlisted.isEmpty(), qPrintable(spies.unlisted.join(", ")));
    }

    void refusedFileKeepsIndexesInStep()
    {
        // The second file is not H.264: the engine's list holds only the first and third.
        auto trip =
            std::make_shared<Trip::TripList>(Trip::TripList{item(Red), item(Refused, 1000), item(Blue)});
        const qint64 blueStart = trip->at(0).duration + 1000;

        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(trip);
        QTRY_VERIFY_WITH_TIMEOUT(!spies.positions.isEmpty(), 5000);
        widget.setPosition(static_cast<int>(blueStart + 500));
        QTRY_COMPARE_WITH_TIMEOUT(spies.fileList().value(1), path(Blue), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(spies.lastPosition() > blueStart + 500, 5000);
        QVERIFY(spies.lastPosition() < blueStart + 2000);

        // A seek into the refused file goes on at the start of the next one.
        spies.positions.clear();
        widget.setPosition(static_cast<int>(blueStart - 500));
        QCOMPARE(spies.lastPosition(), blueStart);
        QCOMPARE(widget.loadErrors, 0);
        QVERIFY2(spies.unlisted.isEmpty(), qPrintable(spies.unlisted.join(", ")));
    }
};

QTEST_MAIN(TestVlcQtVideoWidget)
#include "tst_vlcqtvideowidget.moc"
