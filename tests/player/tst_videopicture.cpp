#include "vlcqtvideowidget.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcfileduration.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Clips made by make-player-media: two seconds at 25 frames per second, 320x180, every frame
// telling its clip and number by its colour.
const char* const Clips[] = {"002_0001_20240501130000.mp4", "002_0002_20240501130002.mp4",
                             "002_0003_20240501130004.mp4"};
const int FrameMs = 40;

QString mediaPath(const char* name)
{
    return QStringLiteral(PLAYER_TEST_MEDIA "/") + QLatin1String(name);
}

Trip::TripItem item(const QString& file)
{
    QString error;
    return Trip::TripItem{VlcFileDuration::getFileDuration(file, error), false, file, {}};
}

// Plays sound nowhere but draws for real; messages are recorded instead of shown.
class TestWidget : public VlcQtVideoWidget
{
public:
    using VlcQtVideoWidget::player;
    int loadErrors = 0;
    QStringList missingFiles;
    // Transitions made that the widget's table does not list.
    QStringList unlisted;

    TestWidget()
    {
        connect(this, &VlcQtVideoWidget::playStateChanged, this, [this](PlayState state) {
            if (!canMove(m_last, state)) {
                unlisted << QStringLiteral("%1 to %2").arg(int(m_last)).arg(int(state));
            }
            m_last = state;
        });
    }

protected:
    QStringList engineArguments() const override
    {
        return VlcInstance::OptimizedPlayerArgs() << QStringLiteral("--no-audio");
    }
    void showLoadError() override { ++loadErrors; }
    void showMissingFile(const QString& file) override { missingFiles << file; }

private:
    PlayState m_last = PlayState::NoTrip;
};

// What the screen shows in the widget: the clip and frame in its middle, and whether the bands
// above and below the picture are black (the widget is square, the picture 16:9).
struct Picture
{
    int clip = -1;
    int frame = -1;
    bool bars = false;
    // Colour where the bars belong: the picture drawn stretched.
    bool stretched = false;

    bool is(int wantedClip, int wantedFrame) const
    {
        return clip == wantedClip && qAbs(frame - wantedFrame) <= 1 && bars;
    }
    QString text() const
    {
        return QStringLiteral("clip %1 frame %2%3").arg(clip).arg(frame).arg(bars ? "" : ", no bars");
    }
};

int level(int value, int base, int step)
{
    return qRound(double(value - base) / step);
}

Picture picture(QWidget* widget)
{
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage();
    Picture shown;
    if (image.isNull()) {
        return shown;
    }
    const int w = image.width();
    const int h = image.height();
    const QColor middle = image.pixelColor(w / 2, h / 2);
    const int clip = level(middle.blue(), 40, 80);
    if (clip >= 0 && clip <= 2 && qAbs(middle.blue() - (40 + 80 * clip)) < 20) {
        shown.clip = clip;
        shown.frame = level(middle.red(), 16, 32) + 8 * level(middle.green(), 16, 32);
    }
    const auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 12; };
    // A 16:9 picture fitted into a square leaves 7/32 of the height black above and below.
    shown.stretched = !dark(w / 2, h / 16) || !dark(w / 2, h - 1 - h / 16);
    shown.bars = dark(w / 2, h / 16) && dark(w / 2, h - 1 - h / 16) && dark(4, h / 16) &&
                 !dark(w / 2, h / 4 + 2) && !dark(w / 2, h - 1 - h / 4 - 2);
    return shown;
}

} // namespace

// The picture on screen is the one of the position the widget publishes.
class TestVideoPicture : public QObject
{
    Q_OBJECT

    std::shared_ptr<Trip::TripList> m_trip;
    qint64 m_offset[4] = {};

    // Clip and frame at a trip position.
    std::pair<int, int> frameAt(qint64 position) const
    {
        int clip = 0;
        while (clip < 2 && position >= m_offset[clip + 1]) {
            ++clip;
        }
        return {clip, int((position - m_offset[clip]) / FrameMs)};
    }

    // A shown, paused widget with the trip open at its start.
    void openPaused(TestWidget& widget, QSignalSpy& buttons)
    {
        widget.resize(400, 400);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setMedia(m_trip);
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Playing), 5000);
        widget.play();
        QTRY_VERIFY_WITH_TIMEOUT(!buttons.isEmpty() && buttons.last().at(0).toInt() == VlcEnums::Paused,
                                 5000);
    }

    // Seeks (or steps) while paused and checks that the picture of `expected` comes, with
    // bars, and that the position published then is `expected`.
    void expectShown(TestWidget& widget, const QSignalSpy& positions, qint64 expected)
    {
        const auto [clip, frame] = frameAt(expected);
        Picture shown;
        QTRY_VERIFY2_WITH_TIMEOUT((shown = picture(&widget)).is(clip, frame),
                                  qPrintable(QStringLiteral("%1 for %2 (clip %3 frame %4)")
                                                 .arg(shown.text())
                                                 .arg(expected)
                                                 .arg(clip)
                                                 .arg(frame)),
                                  5000);
        QTRY_VERIFY_WITH_TIMEOUT(!positions.isEmpty(), 3000);
        QVERIFY2(qAbs(positions.last().at(0).toLongLong() - expected) <= FrameMs,
                 qPrintable(QStringLiteral("%1 published for %2")
                                .arg(positions.last().at(0).toLongLong())
                                .arg(expected)));
        QCOMPARE(widget.position(), positions.last().at(0).toLongLong());
    }

private slots:
    void initTestCase()
    {
        Trip::registerMetaTypes();
        m_trip = std::make_shared<Trip::TripList>();
        for (const char* clip : Clips) {
            m_trip->push_back(item(mediaPath(clip)));
        }
        for (int i = 0; i < 3; ++i) {
            QVERIFY(m_trip->at(i).duration > 1900);
            m_offset[i + 1] = m_offset[i] + m_trip->at(i).duration;
        }
    }

    // Every position published while paused describes the picture on screen at that moment;
    // a seek into another clip, near the end of a clip, or back across a boundary shows the
    // frame of the new position with black bars.
    void pausedSeeksShowTheirFrame()
    {
        TestWidget widget;
        QSignalSpy buttons(&widget, &VlcQtVideoWidget::updatePlayPauseButton);
        openPaused(widget, buttons);

        QList<QString> mismatches;
        QSignalSpy positions(&widget, &VlcQtVideoWidget::onPositionChange);
        connect(&widget, &VlcQtVideoWidget::onPositionChange, this, [&](qint64 position) {
            const auto [clip, frame] = frameAt(position);
            const Picture shown = picture(&widget);
            if (!shown.is(clip, frame)) {
                mismatches
                    << QStringLiteral("%1 published with %2 on screen").arg(position).arg(shown.text());
            }
        });

        const qint64 targets[] = {m_offset[2] + 1020, m_offset[1] + 500, m_offset[1] + 1900,
                                  m_offset[1] - 300,  m_offset[2] + 60,  m_offset[3] - 100};
        for (qint64 target : targets) {
            positions.clear();
            widget.setPosition(int(target));
            expectShown(widget, positions, target);
        }
        // Left and Right across a boundary start from the frame on screen.
        positions.clear();
        widget.seekBy(-200);
        expectShown(widget, positions, m_offset[3] - 300);
        positions.clear();
        widget.seekBy(-1000);
        expectShown(widget, positions, m_offset[3] - 1300);
        positions.clear();
        widget.seekBy(-1000);
        expectShown(widget, positions, m_offset[2] - 300);

        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String("; "))));
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Paused));
        QCOMPARE(widget.loadErrors, 0);
        QVERIFY2(widget.unlisted.isEmpty(), qPrintable(widget.unlisted.join(", ")));

        // Playing from there into the next clip keeps the picture's shape and shows every
        // frame (the engine never shows a file's very last one: it ends the file first);
        // slowed down, so that no frame passes between two looks at the screen.
        widget.setRate(0.25);
        widget.play();
        QElapsedTimer clock;
        clock.start();
        QList<std::pair<int, int>> seen;
        int stretched = 0;
        while (clock.elapsed() < 15000 &&
               !(seen.size() > 0 && seen.last().first == 2 && seen.last().second >= 3)) {
            const Picture shown = picture(&widget);
            stretched += shown.stretched ? 1 : 0;
            if (shown.clip >= 0 &&
                (seen.isEmpty() || seen.last() != std::make_pair(shown.clip, shown.frame))) {
                seen << std::make_pair(shown.clip, shown.frame);
            }
            QTest::qWait(10);
        }
        QStringList frames;
        for (const auto& [clip, frame] : seen) {
            frames << QStringLiteral("%1/%2").arg(clip).arg(frame);
        }
        QCOMPARE(stretched, 0);
        QVERIFY2(seen.size() > 8 && seen.last().first == 2, qPrintable(frames.join(' ')));
        const int lastFrame = int(m_trip->at(1).duration / FrameMs) - 1;
        for (int i = 1; i < seen.size(); ++i) {
            const auto [clip, frame] = seen.at(i - 1);
            const bool last = frame >= lastFrame - 1 && seen.at(i) == std::make_pair(clip + 1, 0);
            QVERIFY2(last || seen.at(i) == std::make_pair(clip, frame + 1), qPrintable(frames.join(' ')));
        }
    }

    void quickSeeksQueue_data()
    {
        QTest::addColumn<int>("startClip");
        QTest::addColumn<int>("startMs");
        // Seeks asked one right after the other: a relative seek as a negative or positive
        // step, an absolute one as a position.
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QList<int>>("absolute");

        QTest::newRow("back twice across a boundary") << 2 << 300 << QList<int>{-500, -500} << QList<int>{};
        QTest::newRow("back three times") << 2 << 900 << QList<int>{-500, -500, -500} << QList<int>{};
        QTest::newRow("back across, then forward") << 2 << 300 << QList<int>{-1000, 400} << QList<int>{};
        QTest::newRow("forward twice across a boundary")
            << 0 << 1700 << QList<int>{500, 1000} << QList<int>{};
        QTest::newRow("last position wins") << 1 << 500 << QList<int>{} << QList<int>{3000, 700};
    }

    // Seeks asked while another is under way queue up: the last one wins and steps build on
    // the target of the one before, also across clips; the position published is the one of
    // the picture on screen.
    void quickSeeksQueue()
    {
        QFETCH(int, startClip);
        QFETCH(int, startMs);
        QFETCH(QList<int>, steps);
        QFETCH(QList<int>, absolute);

        TestWidget widget;
        QSignalSpy buttons(&widget, &VlcQtVideoWidget::updatePlayPauseButton);
        openPaused(widget, buttons);
        QSignalSpy positions(&widget, &VlcQtVideoWidget::onPositionChange);
        const qint64 start = m_offset[startClip] + startMs;
        widget.setPosition(int(start));
        expectShown(widget, positions, start);

        QStringList mismatches;
        connect(&widget, &VlcQtVideoWidget::onPositionChange, this, [&](qint64 position) {
            const auto [clip, frame] = frameAt(position);
            const Picture shown = picture(&widget);
            if (!shown.is(clip, frame)) {
                mismatches
                    << QStringLiteral("%1 published with %2 on screen").arg(position).arg(shown.text());
            }
        });
        positions.clear();
        for (int step : steps) {
            widget.seekBy(step);
        }
        for (int position : absolute) {
            widget.setPosition(position);
        }
        qint64 end = absolute.isEmpty() ? start : absolute.last();
        for (int step : steps) {
            end += step;
        }
        expectShown(widget, positions, end);
        // Nothing older comes after it.
        QTest::qWait(800);
        QVERIFY2(qAbs(widget.position() - end) <= FrameMs, qPrintable(QString::number(widget.position())));
        QVERIFY(picture(&widget).is(frameAt(end).first, frameAt(end).second));
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1String("; "))));
        QCOMPARE(widget.player()->getState(), int(VlcEnums::Paused));
        QCOMPARE(widget.playState(), VlcQtVideoWidget::PlayState::Paused);
        QVERIFY2(widget.unlisted.isEmpty(), qPrintable(widget.unlisted.join(", ")));
    }

    // One frame on and back, across a boundary too; a step while playing pauses first.
    void frameSteps()
    {
        TestWidget widget;
        QSignalSpy buttons(&widget, &VlcQtVideoWidget::updatePlayPauseButton);
        openPaused(widget, buttons);
        QSignalSpy positions(&widget, &VlcQtVideoWidget::onPositionChange);

        const qint64 lastOfFirst = m_offset[1] - FrameMs / 2;
        widget.setPosition(int(lastOfFirst));
        expectShown(widget, positions, lastOfFirst);
        const auto step = [&](int frames, qint64 expected) {
            positions.clear();
            widget.stepFrame(frames);
            expectShown(widget, positions, expected);
        };
        step(1, m_offset[1] + FrameMs / 2);
        step(1, m_offset[1] + FrameMs * 3 / 2);
        step(-1, m_offset[1] + FrameMs / 2);
        step(-1, lastOfFirst);
        step(-1, lastOfFirst - FrameMs);

        // While playing, a step pauses on the frame after the one on screen.
        widget.play();
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Playing), 3000);
        QTest::qWait(200);
        buttons.clear();
        positions.clear();
        const qint64 playing = widget.position();
        widget.stepFrame(1);
        QTRY_VERIFY_WITH_TIMEOUT(!buttons.isEmpty() && buttons.last().at(0).toInt() == VlcEnums::Paused,
                                 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!positions.isEmpty(), 3000);
        const qint64 paused = positions.first().at(0).toLongLong();
        QVERIFY2(paused > playing, qPrintable(QStringLiteral("%1 after %2").arg(paused).arg(playing)));
        expectShown(widget, positions, paused);
        positions.clear();
        widget.stepFrame(1);
        expectShown(widget, positions, (paused / FrameMs + 1) * FrameMs + FrameMs / 2);
    }

    // The speed holds across a clip boundary and for the next trip; out-of-range asks are
    // bounded by the speeds offered.
    void rateHoldsAcrossClips()
    {
        QCOMPARE(VlcQtVideoWidget::rates(), QList<double>({0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0}));
        TestWidget widget;
        QSignalSpy rates(&widget, &VlcQtVideoWidget::rateChanged);
        QSignalSpy files(&widget, &VlcQtVideoWidget::onCurrentVideoChange);
        widget.resize(400, 400);
        widget.show();
        widget.setRate(2.0);
        QCOMPARE(rates.count(), 1);
        widget.setRate(2.0);
        QCOMPARE(rates.count(), 1);
        // The positions published in the second clip, with the wall time they came at.
        QElapsedTimer clock;
        clock.start();
        QList<QPointF> second;
        connect(&widget, &VlcQtVideoWidget::onPositionChange, this, [&](qint64 position) {
            if (position > m_offset[1] && position < m_offset[2]) {
                second << QPointF(clock.elapsed(), position);
            }
        });
        widget.setMedia(m_trip);
        QTRY_COMPARE_WITH_TIMEOUT(files.count(), 3, 8000);
        QCOMPARE(widget.player()->rate(), 2.0);
        QCOMPARE(widget.rate(), 2.0);
        // The second clip played at the speed set for the first: its position ran about
        // twice as fast as the clock (1 at normal speed).
        QVERIFY(second.size() >= 2);
        const QPointF run = second.last() - second.first();
        QVERIFY2(run.x() > 0 && run.y() / run.x() > 1.5,
                 qPrintable(QStringLiteral("%1 ms of trip in %2 ms").arg(run.y()).arg(run.x())));

        widget.setRate(100.0);
        QCOMPARE(widget.rate(), 16.0);
        QCOMPARE(rates.last().at(0).toDouble(), 16.0);
        widget.setRate(0.5);
        widget.setMedia(m_trip);
        QTRY_VERIFY_WITH_TIMEOUT(files.count() >= 4, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->rate(), 0.5, 3000);
        QCOMPARE(widget.loadErrors, 0);
    }

    // The files of the trip vanish while it plays (a card pulled): playback stops with the
    // play icon and a message naming the file.
    void pulledCardStops()
    {
        QTemporaryDir card;
        QVERIFY(card.isValid());
        auto trip = std::make_shared<Trip::TripList>();
        QStringList files;
        for (const char* clip : Clips) {
            files << card.filePath(QLatin1String(clip));
            QVERIFY(QFile::copy(mediaPath(clip), files.last()));
            trip->push_back(item(files.last()));
        }

        TestWidget widget;
        QSignalSpy buttons(&widget, &VlcQtVideoWidget::updatePlayPauseButton);
        widget.resize(400, 400);
        widget.show();
        widget.setMedia(trip);
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Playing), 5000);
        QVERIFY(QFile::remove(files[1]));
        QVERIFY(QFile::remove(files[2]));

        QTRY_COMPARE_WITH_TIMEOUT(widget.missingFiles, QStringList{files[1]}, 8000);
        QCOMPARE(buttons.last().at(0).toInt(), int(VlcEnums::Stopped));
        QTRY_COMPARE_WITH_TIMEOUT(widget.player()->getState(), int(VlcEnums::Stopped), 3000);
        QTest::qWait(300);
        QCOMPARE(widget.missingFiles.count(), 1);
        QCOMPARE(widget.loadErrors, 0);
        QCOMPARE(widget.playState(), VlcQtVideoWidget::PlayState::Stopped);
        QVERIFY2(widget.unlisted.isEmpty(), qPrintable(widget.unlisted.join(", ")));
    }
};

QTEST_MAIN(TestVideoPicture)
#include "tst_videopicture.moc"
