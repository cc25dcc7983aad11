#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "drivedata.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "point.h"
#include "snapshot.h"
#include "tripsession.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

// The sample card's second trip: two files of 10 s, a fix every second with its own position,
// speed and course.
Trip::TripList sampleTrip()
{
    Trip::TripList trip;
    const QString folder =
        qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/samples/card/Normal/");
    for (const char* name : {"002_0001_20240501094210", "002_0002_20240501094220"}) {
        const QString base = folder + QString::fromLatin1(name);
        trip.push_back(
            Trip::TripItem{10000, false, base + QStringLiteral(".mp4"), base + QStringLiteral(".nmea")});
    }
    return trip;
}

} // namespace

// One clock for every view: while the trip moves on second by second, the map's vehicle, the
// drive-data panel, the compass, the clock beside the position and a snapshot's stamp all name
// the record of the second the position lies in, from its first to its last millisecond.
class TestOneSecond : public QObject
{
    Q_OBJECT

private slots:
    void everyViewNamesTheSameRecord()
    {
        QFile::remove(ZelSettings::getWritablePath());
        qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Ui_MainWindow* ui = window.form();
        TripSession* session = window.session();
        const auto trip = std::make_shared<Trip::TripList>(sampleTrip());

        QSignalSpy parsed(session, &TripSession::filesParsed);
        QStringList files;
        for (const Trip::TripItem& item : *trip)
            files << item.nmeaFile;
        session->selectFiles(std::make_shared<QStringList>(files));
        QVERIFY(parsed.wait(10000));
        QSignalSpy ready(session, &TripSession::positionsReady);
        // As a double click on the trip does for the panels that follow the session (the video
        // itself plays nothing here: the session's position is set by hand).
        ui->ctrlPanel->setMedia(trip);
        ui->ctrlPanel->updateDuration(20000);
        session->selectTrip(trip);
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 10000);
        const PositionsPtr positions = session->data()->positions();
        QVERIFY(positions);
        QCOMPARE(positions->size(), std::size_t(20));
        QTRY_VERIFY(ui->driveData->currentSample() != nullptr);
        const Snapshot still(*trip, positions);

        for (int second = 0; second < 20; ++second) {
            const QNmeaPositionInfo& record = (*positions)[std::size_t(second)];
            const QDateTime clock(record.timestamp().date(), record.timestamp().time(), Qt::UTC);
            for (const int ms : {0, 499, 500, 999}) {
                const qint64 position = second * 1000 + ms;
                const QByteArray at = QByteArray::number(position) + " ms";
                session->setPosition(position);
                QCoreApplication::processEvents();
                QCoreApplication::processEvents();

                QVERIFY2(ui->gpsWidget->currentSecond() == second, at);
                std::shared_ptr<qmapcontrol::Point> vehicle;
                for (const auto& marker : ui->gpsWidget->markers()) {
                    if (marker->name() == QLatin1String("Vehicle"))
                        vehicle = marker;
                }
                QVERIFY2(vehicle, at);
                QVERIFY2(qFuzzyCompare(vehicle->coordinate().x(), record.coordinate().longitude()) &&
                             qFuzzyCompare(vehicle->coordinate().y(), record.coordinate().latitude()),
                         at);

                const DataPoint* sample = ui->driveData->currentSample();
                QVERIFY2(sample && sample->time == second * 1000, at);
                QVERIFY2(
                    qFuzzyCompare(ui->compass->direction(), record.attribute(QGeoPositionInfo::Direction)),
                    at + " compass " + QByteArray::number(ui->compass->direction()));

                QCOMPARE(ui->ctrlPanel->form()->clockLabel->text(),
                         Units::clockTimeText(clock) + QStringLiteral(" +00:00"));
                QCOMPARE(still.stampLines(position, 0).value(0),
                         clock.toString(Utilities::shortDateTimeString) + QStringLiteral(" +00:00"));
            }
        }
    }
};

QTEST_MAIN(TestOneSecond)
#include "tst_onesecond.moc"
