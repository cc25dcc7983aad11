#include "playermedia.h"
#include "vlcqtvideowidget.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"

#include <QtTest>

using namespace PlayerMedia;

namespace {

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

class Spies
{
public:
    explicit Spies(VlcQtVideoWidget* widget)
        : positions(widget, &VlcQtVideoWidget::onPositionChange),
          durations(widget, &VlcQtVideoWidget::onDurationChange),
          files(widget, &VlcQtVideoWidget::onCurrentVideoChange),
          buttons(widget, &VlcQtVideoWidget::updatePlayPauseButton),
          volumes(widget, &VlcQtVideoWidget::updateVolumeButtonIcon)
    {}

    QList<qint64> positionList() const
    {
        QList<qint64> list;
        for (const QList<QVariant>& args : positions) {
            list << args.at(0).toLongLong();
        }
        return list;
    }
    QStringList fileList() const
    {
        QStringList list;
        for (const QList<QVariant>& args : files) {
            list << args.at(0).toString();
        }
        return list;
    }
    qint64 lastPosition() const { return positions.isEmpty() ? -1 : positions.last().at(0).toLongLong(); }

    QSignalSpy positions;
    QSignalSpy durations;
    QSignalSpy files;
    QSignalSpy buttons;
    QSignalSpy volumes;
};

} // namespace

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
        for (const Trip::TripItem& it : *m_trip) {
            QVERIFY2(it.duration > 1500, qPrintable(it.videoFile));
        }
        m_offset1 = m_trip->at(0).duration;
        m_offset2 = m_offset1 + m_trip->at(1).duration;
        m_duration = m_offset2 + m_trip->at(2).duration;
    }

    void playsThroughAllFiles()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(m_trip);
        QCOMPARE(spies.durations.count(), 1);
        QCOMPARE(spies.durations.at(0).at(0).toLongLong(), m_duration);

        QTRY_COMPARE_WITH_TIMEOUT(widget.currentPage(), int(VlcQtVideoWidget::EndPage), 15000);
        QCOMPARE(spies.fileList(), QStringList({path(Red), path(Green), path(Blue)}));
        const QList<qint64> positions = spies.positionList();
        bool inFile[3] = {false, false, false};
        for (int i = 0; i < positions.size(); ++i) {
            if (i > 0) {
                QVERIFY2(positions[i] >= positions[i - 1],
                         qPrintable(QStringLiteral("%1 after %2").arg(positions[i]).arg(positions[i - 1])));
            }
            inFile[positions[i] <= m_offset1 ? 0 : positions[i] <= m_offset2 ? 1 : 2] = true;
        }
        QVERIFY(inFile[0] && inFile[1] && inFile[2]);
        QVERIFY(positions.last() > m_offset2 + 1000 && positions.last() <= m_duration + 100);
        QCOMPARE(spies.buttons.last().at(0).toInt(), int(VlcEnums::Ended));
        QCOMPARE(widget.loadErrors, 0);
    }

    void seeksIntoAnotherFile()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(m_trip);
        QTRY_VERIFY_WITH_TIMEOUT(!spies.positions.isEmpty(), 5000);

        const qint64 target = m_offset1 + 500;
        spies.positions.clear();
        widget.setPosition(static_cast<int>(target));
        QCOMPARE(spies.lastPosition(), target);
        const int published = spies.positions.count();
        QTRY_COMPARE_WITH_TIMEOUT(spies.fileList().value(1), path(Green), 5000);
        // Reports from the engine now come from the second file, near the target, and none
        // from before it. (Playback goes on meanwhile, so on a busy machine later reports
        // may already come from the third file.)
        const auto inSecondFile = [&]() {
            for (int i = published; i < spies.positions.count(); ++i) {
                const qint64 reported = spies.positions.at(i).at(0).toLongLong();
                if (reported >= target - 200 && reported <= m_offset2) {
                    return true;
                }
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(inSecondFile(), 5000);
        for (const QList<QVariant>& report : spies.positions) {
            QVERIFY2(report.at(0).toLongLong() >= target - 200, qPrintable(report.at(0).toString()));
        }

        // A click on the video toggles play and pause.
        QTest::mouseClick(&widget, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(spies.buttons.last().at(0).toInt(), int(VlcEnums::Paused), 3000);
        QTest::mouseClick(&widget, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(spies.buttons.last().at(0).toInt(), int(VlcEnums::Playing), 3000);
        QCOMPARE(widget.loadErrors, 0);
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

    void endOfTrip()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(m_trip);
        QTRY_VERIFY_WITH_TIMEOUT(!spies.positions.isEmpty(), 5000);
        widget.setPosition(static_cast<int>(m_duration - 600));
        QTRY_COMPARE_WITH_TIMEOUT(widget.currentPage(), int(VlcQtVideoWidget::EndPage), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Ended), 3000);
        const qint64 last = spies.lastPosition();
        QVERIFY(last > m_offset2);

        // Forward after the end does nothing.
        spies.positions.clear();
        widget.forward();
        QTest::qWait(200);
        QCOMPARE(spies.positions.count(), 0);
        QCOMPARE(widget.currentPage(), int(VlcQtVideoWidget::EndPage));

        // Rewind does: 5 s back from the last reported position.
        spies.files.clear();
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
    }

    void volume()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setVolume(30); // no player yet: nothing
        QCOMPARE(spies.volumes.count(), 0);
        widget.setMedia(m_trip);
        QTRY_VERIFY_WITH_TIMEOUT(!spies.positions.isEmpty(), 5000);

        widget.setVolume(40);
        QCOMPARE(spies.volumes.count(), 1);
        const QList<QVariant> before = spies.volumes.last();
        widget.setVolume(101);
        QCOMPARE(spies.volumes.count(), 2);
        QCOMPARE(spies.volumes.last(), before);
        widget.setVolume(-1);
        QCOMPARE(spies.volumes.count(), 3);
        QCOMPARE(spies.volumes.last(), before);
    }

    void emptyTrip()
    {
        TestWidget widget;
        Spies spies(&widget);
        widget.setMedia(std::make_shared<Trip::TripList>());
        QVERIFY(widget.player());
        QTest::qWait(300);
        QCOMPARE(spies.durations.count(), 0);
        QCOMPARE(spies.files.count(), 0);
        QCOMPARE(spies.positions.count(), 0);
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Idle));
        QCOMPARE(widget.loadErrors, 0);

        // Unloading stops everything but keeps the player.
        widget.setMedia(nullptr);
        QVERIFY(widget.player());
        widget.play();
        QTest::qWait(100);
        QCOMPARE(spies.buttons.count(), 0);
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
    }
};

QTEST_MAIN(TestVlcQtVideoWidget)
#include "tst_vlcqtvideowidget.moc"
