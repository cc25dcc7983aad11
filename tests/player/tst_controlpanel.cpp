#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "positionslider.h"

#include "vireo/vlcenums.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

bool showsIcon(const QPushButton* button, const char* resource)
{
    const QSize size(32, 32);
    return button->icon().pixmap(size).toImage() == QIcon(QLatin1String(resource)).pixmap(size).toImage();
}

Trip::TripItem item(const char* name, qint64 duration, bool isEvent)
{
    Trip::TripItem item;
    item.videoFile = QStringLiteral("/card/") + QLatin1String(isEvent ? "EVENT/" : "") + QLatin1String(name);
    item.duration = duration;
    item.isEvent = isEvent;
    return item;
}

} // namespace

class TestControlPanel : public QObject
{
    Q_OBJECT
private slots:
    void timeTexts_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << qint64(0) << QStringLiteral("00:00");
        QTest::newRow("just under a minute") << qint64(59999) << QStringLiteral("00:59");
        QTest::newRow("just under an hour") << qint64(3599999) << QStringLiteral("59:59");
        QTest::newRow("one hour") << qint64(3600000) << QStringLiteral("01:00:00");
        QTest::newRow("hours not wrapped") << qint64(90061000) << QStringLiteral("25:01:01");
    }

    void timeTexts()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);

        ControlPanelWgt panel;
        panel.setMedia(std::make_shared<Trip::TripList>());
        panel.updateDuration(ms);
        panel.updatePosition(ms);
        QCOMPARE(panel.form()->durationLabel->text(), text);
        QCOMPARE(panel.form()->positionLabel->text(), text);
    }

    void eventRanges_data()
    {
        QTest::addColumn<qint64>("eventStartOffset"); // seconds after the normal file's start
        QTest::addColumn<QList<qint64>>("bounds");
        QTest::addColumn<QList<bool>>("events");

        QTest::newRow("event overlaps the file before")
            << qint64(50) << QList<qint64>{50000, 60000, 60000, 90000} << QList<bool>{false, true};
        QTest::newRow("event after the file ends")
            << qint64(61) << QList<qint64>{60000, 90000} << QList<bool>{true};
    }

    void eventRanges()
    {
        QFETCH(qint64, eventStartOffset);
        QFETCH(QList<qint64>, bounds);
        QFETCH(QList<bool>, events);

        const QString eventName =
            QStringLiteral("001_0002_202405011200%1.mp4").arg(eventStartOffset, 2, 10, QLatin1Char('0'));
        auto trip = std::make_shared<Trip::TripList>(Trip::TripList{
            item("001_0001_20240501120000.mp4", 60000, false), item(qPrintable(eventName), 30000, true)});
        if (eventStartOffset >= 60) {
            trip->back().videoFile = QStringLiteral("/card/EVENT/001_0002_20240501120101.mp4");
        }

        ControlPanelWgt panel;
        panel.setMedia(trip);
        panel.updateDuration(90000);
        const QList<RangeColour>& ranges = panel.form()->positionSlider->rangeColours();
        QCOMPARE(ranges.size(), events.size());
        for (int i = 0; i < ranges.size(); ++i) {
            QCOMPARE(ranges[i].start, bounds[2 * i]);
            QCOMPARE(ranges[i].end, bounds[2 * i + 1]);
            QCOMPARE(ranges[i].isEvent, events[i]);
            QCOMPARE(ranges[i].brush.color(), events[i] ? QColor(Qt::red) : QColor(255, 0, 0, 127));
            QCOMPARE(ranges[i].brush.style(), Qt::SolidPattern);
        }

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
            ui->playpauseButton->click();
            ui->rewButton->click();
            ui->ffdButton->click();
            ui->volumeButton->click();
            ui->maxminButton->click();
            ui->volumeSlider->setValue(ui->volumeSlider->value() + 1);
        };
        pressAll();
        QTest::keyClick(&panel, Qt::Key_Space);
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute, &volume, &position}) {
            QCOMPARE(spy->count(), 0);
        }
        QCOMPARE(fullScreen.count(), 1);
        QVERIFY(!ui->positionSlider->isEnabled());
        QVERIFY(ui->playpauseButton->toolTip().isEmpty());
        QCOMPARE(ui->maxminButton->toolTip(), QStringLiteral("Video fullscreen on"));

        panel.updateDuration(10000);
        QVERIFY(ui->positionSlider->isEnabled());
        QCOMPARE(ui->positionSlider->maximum(), 10000);
        pressAll();
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute, &volume}) {
            QCOMPARE(spy->count(), 1);
        }
        QCOMPARE(ui->playpauseButton->toolTip(), QStringLiteral("Play"));

        // The keyboard goes the same way as the buttons.
        QTest::keyClick(&panel, Qt::Key_Space);
        QTest::keyClick(&panel, Qt::Key_Left);
        QTest::keyClick(&panel, Qt::Key_Right);
        QTest::keyClick(&panel, Qt::Key_M);
        QTest::keyClick(&panel, Qt::Key_F);
        for (QSignalSpy* spy : {&play, &rewind, &forward, &mute}) {
            QCOMPARE(spy->count(), 2);
        }
        QCOMPARE(fullScreen.count(), 3);

        // A reported position moves the handle but is not echoed back as a seek.
        panel.updatePosition(4000);
        QCOMPARE(ui->positionSlider->sliderPosition(), 4000);
        QCOMPARE(ui->positionLabel->text(), QStringLiteral("00:04"));
        QCOMPARE(position.count(), 0);
    }

    void buttonIcons_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<bool>("muted");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("toolTip");

        QTest::newRow("49 is low") << 49 << false << ":/resources/images/88_volume_low_line.png"
                                   << "Volume off";
        QTest::newRow("50 is high") << 50 << false << ":/resources/images/88_volume_high_line.png"
                                    << "Volume off";
        QTest::newRow("muted") << 80 << true << ":/resources/images/88_mute_sound_line.png"
                               << "Volume on";
    }

    void buttonIcons()
    {
        QFETCH(int, volume);
        QFETCH(bool, muted);
        QFETCH(QString, icon);
        QFETCH(QString, toolTip);

        ControlPanelWgt panel;
        panel.updateDuration(1000);
        panel.updateVolumeButtonIcon(volume, muted);
        QVERIFY(showsIcon(panel.form()->volumeButton, qPrintable(icon)));
        QCOMPARE(panel.form()->volumeButton->toolTip(), toolTip);
        QCOMPARE(panel.form()->volumeSlider->value(), 60);

        panel.updatePlayPauseButton(VlcEnums::Playing);
        QVERIFY(showsIcon(panel.form()->playpauseButton, ":/resources/images/88_media_pause.png"));
        QCOMPARE(panel.form()->playpauseButton->toolTip(), QStringLiteral("Pause"));
        panel.updatePlayPauseButton(VlcEnums::Ended);
        QVERIFY(showsIcon(panel.form()->playpauseButton, ":/resources/images/88_media_play.svg"));
    }

    void layout()
    {
        ControlPanelWgt panel;
        QCOMPARE(panel.height(), 60);
        QCOMPARE(panel.width(), 640);
        QVERIFY(panel.minimumWidth() > 0);
        const Ui_ControlPanelWgt* ui = panel.form();
        QVERIFY(ui->rewButton->geometry().right() < ui->playpauseButton->geometry().left() + 1);
        QVERIFY(ui->playpauseButton->geometry().right() < ui->ffdButton->geometry().left() + 1);
        QVERIFY(ui->positionSlider->geometry().top() >= ui->playpauseButton->geometry().top());
        QVERIFY(ui->durationLabel->geometry().left() > ui->positionLabel->geometry().right());
    }
};

QTEST_MAIN(TestControlPanel)
#include "tst_controlpanel.moc"
