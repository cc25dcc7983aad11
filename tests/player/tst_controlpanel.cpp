#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "myslider.h"
#include "positionslider.h"
#include "speedbutton.h"
#include "units.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcfileduration.h"

#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

namespace {

// Fusion with a handle of a chosen length, so click arithmetic does not depend on the theme.
class HandleStyle : public QProxyStyle
{
public:
    explicit HandleStyle(int length) : QProxyStyle(QStringLiteral("fusion")), m_length(length) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        return metric == PM_SliderLength ? m_length : QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int m_length;
};

class ProbeSlider : public PositionSlider
{
public:
    using PositionSlider::PositionSlider;
    using PositionSlider::valueText;
};

bool showsIcon(const QPushButton* button, const QString& resource)
{
    const QSize size(32, 32);
    return button->icon().pixmap(size).toImage() == QIcon(resource).pixmap(size).toImage();
}

Trip::TripItem item(const QString& name, qint64 duration, bool isEvent)
{
    return Trip::TripItem{duration, isEvent, QStringLiteral("/card/") + (isEvent ? "EVENT/" : "") + name, {}};
}

} // namespace

// The trip timeline, the sliders and the panel that turns clicks and keys into commands.
class TestControlPanel : public QObject
{
    Q_OBJECT
private slots:
    void sliderClickJumps_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");
        QTest::newRow("far left, 16 px handle") << 16 << 0 << 0;
        QTest::newRow("far right, 16 px handle") << 16 << 199 << 997;
        QTest::newRow("far right, 17 px handle") << 17 << 199 << 1000;
        QTest::newRow("middle") << 16 << 100 << 500;
    }

    void sliderClickJumps()
    {
        QFETCH(int, handle);
        QFETCH(int, x);
        QFETCH(int, value);
        HandleStyle style(handle);
        // The position slider jumps on the press even though it does not track drags.
        PositionSlider slider(Qt::Horizontal);
        slider.setTracking(false);
        slider.setStyle(&style);
        slider.setRange(0, 1000);
        slider.setFixedSize(200, 20);
        QSignalSpy changed(&slider, &QSlider::valueChanged);
        QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
        QCOMPARE(slider.value(), value);
        QCOMPARE(changed.count(), value == 0 ? 0 : 1);

        // The hover tooltip maps back the same way, and shows a time of the trip.
        qint64 hovered = -1;
        QVERIFY(slider.positionToValue(100, hovered));
        QVERIFY(qAbs(hovered - 500) <= 10);
        QVERIFY(!slider.positionToValue(-1, hovered) && !slider.positionToValue(200, hovered));
        QCOMPARE(ProbeSlider().valueText(3723000), QStringLiteral("01:02:03"));
    }

    void sliderSwallowsTheWheel()
    {
        MySlider slider(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.setValue(50);
        slider.resize(200, 20);
        QWheelEvent wheel(QPointF(100, 10), QPointF(100, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &wheel);
        QCOMPARE(slider.value(), 50);
    }

    void playedPartAndRangesPainted()
    {
        PositionSlider slider(Qt::Horizontal);
        slider.setRange(0, 1000);
        slider.resize(200, 30);
        const QImage plain = slider.grab().toImage();
        slider.setSliderPosition(500);
        QCOMPARE(slider.grab().toImage().pixelColor(40, 15), QColor(0, 173, 239));
        slider.setSliderPosition(0);

        // Ranges from 20 % to 60 %; empty and reversed ones are not drawn.
        for (const auto& [start, end, painted] :
             {std::tuple{200, 600, true}, {500, 500, false}, {600, 200, false}}) {
            QList<RangeColour> ranges{{start, end, QBrush(Qt::red), true}};
            slider.setRangeColours(ranges);
            const QImage withRange = slider.grab().toImage();
            QCOMPARE(withRange != plain, painted);
            if (painted)
                QCOMPARE(withRange.pixelColor(80, 15), QColor(Qt::red));
            slider.clearRangeColours();
            QCOMPARE(slider.grab().toImage(), plain);
        }
        // Without a length there is nothing to place a range on.
        slider.setRange(0, 0);
        const QImage empty = slider.grab().toImage();
        QList<RangeColour> ranges{{0, 600, QBrush(Qt::red), true}};
        slider.setRangeColours(ranges);
        QCOMPARE(slider.grab().toImage(), empty);
    }

    void eventRangesOnThePositionSlider()
    {
        ControlPanelWgt panel;
        // An event that overlaps the file before it, then one that starts after it ended.
        panel.setMedia(std::make_shared<Trip::TripList>(
            Trip::TripList{item("001_0001_20240501120000.mp4", 60000, false),
                           item("001_0002_20240501120050.mp4", 30000, true)}));
        panel.updateDuration(90000);
        const QList<RangeColour>* ranges = &panel.form()->positionSlider->rangeColours();
        QCOMPARE(ranges->size(), 2);
        QCOMPARE((std::tuple{ranges->at(0).start, ranges->at(0).end, ranges->at(0).isEvent}),
                 (std::tuple{qint64(50000), qint64(60000), false}));
        QCOMPARE(ranges->at(0).brush.color(), QColor(255, 0, 0, 127));
        QCOMPARE((std::tuple{ranges->at(1).start, ranges->at(1).end, ranges->at(1).isEvent}),
                 (std::tuple{qint64(60000), qint64(90000), true}));
        QCOMPARE(ranges->at(1).brush.color(), QColor(Qt::red));

        panel.setMedia(std::make_shared<Trip::TripList>(
            Trip::TripList{item("001_0001_20240501120000.mp4", 60000, false),
                           item("001_0002_20240501120101.mp4", 30000, true)}));
        panel.updateDuration(90000);
        QCOMPARE(ranges->size(), 1);
        QCOMPARE((std::tuple{ranges->at(0).start, ranges->at(0).end}),
                 (std::tuple{qint64(60000), qint64(90000)}));

        // A new trip clears the ranges and the panel until its duration arrives.
        panel.setMedia(nullptr);
        QVERIFY(panel.form()->positionSlider->rangeColours().isEmpty());
        QCOMPARE(panel.form()->durationLabel->text(), QStringLiteral("00:00"));
    }

    void signalsGatedWhileInactive()
    {
        ControlPanelWgt panel;
        QSignalSpy play(&panel, &ControlPanelWgt::play);
        QSignalSpy rewind(&panel, &ControlPanelWgt::rewind);
        QSignalSpy forward(&panel, &ControlPanelWgt::forward);
        QSignalSpy mute(&panel, &ControlPanelWgt::toggleMute);
        QSignalSpy volume(&panel, &ControlPanelWgt::setVolume);
        QSignalSpy position(&panel, &ControlPanelWgt::setPosition);
        QSignalSpy fullScreen(&panel, &ControlPanelWgt::toggleFullScreen);
        Ui_ControlPanelWgt* ui = panel.form();

        const auto pressAll = [&] {
            for (QPushButton* button :
                 {ui->playpauseButton, ui->rewButton, ui->ffdButton, ui->volumeButton, ui->maxminButton})
                button->click();
            ui->volumeSlider->setValue(ui->volumeSlider->value() + 1);
        };
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        pressAll();
        QTest::keyClick(&panel, Qt::Key_Space);
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute, &volume, &position})
            QCOMPARE(spy->count(), 0);
        QCOMPARE(fullScreen.count(), 1);
        QVERIFY(!ui->positionSlider->isEnabled());
        QVERIFY(ui->playpauseButton->toolTip().isEmpty());
        QCOMPARE(ui->maxminButton->toolTip(), QStringLiteral("Video fullscreen on (F)"));

        panel.updateDuration(10000);
        QVERIFY(ui->positionSlider->isEnabled());
        QCOMPARE(ui->positionSlider->maximum(), 10000);
        pressAll();
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute, &volume})
            QCOMPARE(spy->count(), 1);
        QCOMPARE(ui->playpauseButton->toolTip(), QStringLiteral("Play (Space)"));

        // The keyboard goes the same way as the buttons.
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Left, Qt::Key_Right, Qt::Key_M, Qt::Key_F})
            QTest::keyClick(&panel, key);
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute})
            QCOMPARE(spy->count(), 2);
        QCOMPARE(fullScreen.count(), 3);

        // A reported position moves the handle but is not echoed back as a seek.
        panel.updatePosition(4000);
        QCOMPARE(ui->positionSlider->sliderPosition(), 4000);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:04.0"));
        QCOMPARE(ui->durationLabel->text(), QStringLiteral("00:10"));
        QCOMPARE(position.count(), 0);
    }

    // Keys of the whole window: speed steps within the offered speeds, Home and End, a minute
    // either way, frame steps; the in and out points and the range they give.
    void commandsAndRange()
    {
        ControlPanelWgt panel;
        Ui_ControlPanelWgt* ui = panel.form();
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QSignalSpy rate(&panel, &ControlPanelWgt::setRate);
        QSignalSpy seek(&panel, &ControlPanelWgt::seekBy);
        QSignalSpy position(&panel, &ControlPanelWgt::setPosition);
        QSignalSpy marks(&panel, &ControlPanelWgt::marksChanged);
        // Nothing before a trip is there, the buttons off.
        QTest::keyClick(&panel, Qt::Key_BracketRight);
        QTest::keyClick(&panel, Qt::Key_I);
        QCOMPARE(rate.count() + marks.count(), 0);
        QVERIFY(!ui->inButton->isEnabled() && !ui->exportButton->isEnabled());

        panel.updateDuration(40000);
        QVERIFY(ui->inButton->isEnabled() && ui->exportButton->isEnabled() && ui->speedButton->isEnabled());
        // Faster past the fastest stays there, without waiting for the player's answer.
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(&panel, Qt::Key_BracketRight);
        QCOMPARE(rate.last().at(0).toDouble(), 16.0);
        QCOMPARE(rate.at(0).at(0).toDouble(), 2.0);
        QTest::keyClick(&panel, Qt::Key_Backspace);
        QCOMPARE(rate.last().at(0).toDouble(), 1.0);
        panel.updateRate(0.25);
        QCOMPARE(ui->speedButton->text(), QString::fromUtf8("0.25×"));
        QTest::keyClick(&panel, Qt::Key_BracketLeft);
        QCOMPARE(rate.last().at(0).toDouble(), 0.25);

        QTest::keyClick(&panel, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&panel, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(seek.count(), 2);
        QCOMPARE(seek.at(0).at(0).toInt(), 60000);
        QCOMPARE(seek.at(1).at(0).toInt(), -60000);
        QTest::keyClick(&panel, Qt::Key_End);
        QTest::keyClick(&panel, Qt::Key_Home);
        QCOMPARE(position.count(), 2);
        QCOMPARE(position.at(0).at(0).toInt(), 40000);
        QCOMPARE(position.at(1).at(0).toInt(), 0);

        // In after out starts a new range; the same key at the same point clears its point.
        using Range = std::pair<qint64, qint64>;
        QCOMPARE(panel.exportRange(), Range(0, 40000));
        panel.updatePosition(30000);
        QTest::keyClick(&panel, Qt::Key_O);
        panel.updatePosition(10000);
        QTest::keyClick(&panel, Qt::Key_I);
        QCOMPARE(panel.exportRange(), Range(10000, 30000));
        QCOMPARE(ui->positionSlider->inMark(), qint64(10000));
        panel.updatePosition(35000);
        QTest::keyClick(&panel, Qt::Key_I);
        QCOMPARE(panel.outPoint(), qint64(-1));
        QCOMPARE(panel.exportRange(), Range(35000, 40000));
        QTest::keyClick(&panel, Qt::Key_I);
        QCOMPARE(panel.exportRange(), Range(0, 40000));
        QCOMPARE(ui->positionSlider->inMark(), qint64(-1));
        // A new trip forgets them.
        panel.updatePosition(5000);
        ui->outButton->click();
        QCOMPARE(panel.outPoint(), qint64(5000));
        panel.setMedia(nullptr);
        QCOMPARE(panel.outPoint(), qint64(-1));
        QCOMPARE(ui->positionSlider->outMark(), qint64(-1));
    }

    // Paused, the position has tenths; playing, whole seconds. The clock beside it comes from
    // the source the window gives, and is empty where the source knows no time.
    void positionAndClockLabels()
    {
        ControlPanelWgt panel;
        Ui_ControlPanelWgt* ui = panel.form();
        panel.setClockSource([](qint64 ms) {
            return ms < 20000 ? QDateTime(QDate(2024, 6, 1), QTime(14, 3, 12), Qt::UTC).addMSecs(ms)
                              : QDateTime();
        });
        panel.updateDuration(40000);
        panel.updatePosition(12345);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:12.3"));
        QVERIFY2(ui->clockLabel->text().contains(QStringLiteral("14:03:24")),
                 qPrintable(ui->clockLabel->text()));
        panel.updatePlayPauseButton(VlcEnums::Playing);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:12"));
        panel.updatePlayPauseButton(VlcEnums::Paused);
        panel.updatePosition(3599999);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("59:59.9"));
        QCOMPARE(ui->clockLabel->text(), QString());
    }

    // The clock names its offset: in full where the row has room, else compact, else in the
    // tooltip alone (the window's fit in each language is checked with the whole window).
    void clockNamesItsOffset()
    {
        Units::setClockOffsetSeconds(2 * 3600);
        const auto noOffset = qScopeGuard([]() { Units::setClockOffsetSeconds(0); });
        const QDateTime recorded(QDate(2024, 6, 1), QTime(14, 3, 12), Qt::UTC);
        ControlPanelWgt panel;
        Ui_ControlPanelWgt* ui = panel.form();
        panel.setClockSource([recorded](qint64 ms) { return recorded.addMSecs(ms); });
        panel.resize(1200, panel.height());
        // A ten-hour trip: the widest position and duration.
        panel.updateDuration(36000000);
        panel.updatePosition(35999900);
        const QString time = Units::clockTimeText(recorded.addMSecs(35999900));
        const QString full = time + QStringLiteral(" +02:00");
        QTRY_COMPARE(ui->clockLabel->text(), full);
        QCOMPARE(ui->clockLabel->toolTip(), full);

        panel.resize(panel.minimumWidth(), panel.height());
        QTRY_VERIFY(ui->clockLabel->text() != full);
        QVERIFY2(ui->clockLabel->text() == time + QStringLiteral(" +2") || ui->clockLabel->text() == time,
                 qPrintable(ui->clockLabel->text()));
        QCOMPARE(ui->clockLabel->toolTip(), full);
    }

    // Where the sound outlasts the picture, the file plays on to the end of the sound with its
    // last picture on screen: there, and at the boundary to the next file (which belongs to the
    // file before), the label names that picture's time, never the file's end.
    void labelNotPastTheLastPicture()
    {
        const QStringList names{QStringLiteral("003_0001_20240501140000.mp4"),
                                QStringLiteral("003_0002_20240501140003.mp4"),
                                QStringLiteral("002_0001_20240501130000.mp4")};
        auto trip = std::make_shared<Trip::TripList>();
        for (const QString& name : names) {
            const QString file = QStringLiteral(PLAYER_TEST_MEDIA "/") + name;
            QString error;
            const qint64 length = VlcFileDuration::getFileDuration(file, error);
            QVERIFY2(length > 0, qPrintable(error));
            // Two seconds of pictures at 25 per second: the last one starts at 1.96 s.
            QCOMPARE(VlcFileDuration::lastPictureStart(file), qint64(1960));
            trip->push_back(Trip::TripItem{length, false, file, {}});
        }
        // The engine's length of the first two is the sound's.
        QVERIFY2(qAbs(trip->at(0).duration - 2500) <= 30, qPrintable(QString::number(trip->at(0).duration)));
        const qint64 first = trip->at(0).duration;
        const qint64 second = first + trip->at(1).duration;
        const qint64 end = second + trip->at(2).duration;

        ControlPanelWgt panel;
        Ui_ControlPanelWgt* ui = panel.form();
        panel.setMedia(trip);
        panel.updateDuration(end);
        const auto paused = [](qint64 ms) {
            return QStringLiteral("%1:%2.%3")
                .arg(ms / 60000, 2, 10, QLatin1Char('0'))
                .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                .arg(ms / 100 % 10);
        };
        const struct
        {
            qint64 position;
            qint64 picture;
        } cases[] = {
            {1500, 1500},              // a picture of the first file
            {1990, 1960},              // the last picture, shown to the end of the sound
            {2300, 1960},              // sound only
            {first, 1960},             // the boundary
            {first + 1, first + 1},    // the next file's first picture
            {second, first + 1960},    // the second boundary
            {end - 10, second + 1960}, // a file without sound: its last picture to its end
            {end, second + 1960},      // the end of the trip
        };
        // The headers are read in the background.
        panel.updatePosition(2300);
        QTRY_COMPARE(ui->positionLabel->text(), QStringLiteral("00:01.9"));
        for (const auto& c : cases) {
            panel.updatePosition(c.position);
            QCOMPARE(ui->positionLabel->text(), paused(c.picture));
        }
        panel.updatePlayPauseButton(VlcEnums::Playing);
        panel.updatePosition(first);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:01"));
        // Another trip: its own files count, none of the last.
        panel.setMedia(nullptr);
        panel.updateDuration(10000);
        panel.updatePlayPauseButton(VlcEnums::Paused);
        panel.updatePosition(2400);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:02.4"));
    }

    // The buttons show the player's state: below half volume the low icon, muted the crossed out
    // speaker, playing the pause sign.
    void buttonsFollowThePlayer()
    {
        ControlPanelWgt panel;
        panel.updateDuration(1000);
        Ui_ControlPanelWgt* ui = panel.form();
        for (const auto& [volume, muted, icon] : {std::tuple{49, false, "88_volume_low_line.png"},
                                                  {50, false, "88_volume_high_line.png"},
                                                  {80, true, "88_mute_sound_line.png"}}) {
            panel.updateVolumeButtonIcon(volume, muted);
            QVERIFY2(showsIcon(ui->volumeButton, QStringLiteral(":/resources/images/") + icon), icon);
        }
        panel.updatePlayPauseButton(VlcEnums::Playing);
        QVERIFY(showsIcon(ui->playpauseButton, ":/resources/images/88_media_pause.png"));
        panel.updatePlayPauseButton(VlcEnums::Ended);
        QVERIFY(showsIcon(ui->playpauseButton, ":/resources/images/88_media_play.svg"));
        // The player's volume report moves no slider.
        QCOMPARE(ui->volumeSlider->value(), 60);
    }
};

QTEST_MAIN(TestControlPanel)
#include "tst_controlpanel.moc"
