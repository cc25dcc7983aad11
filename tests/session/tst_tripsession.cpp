#include "tripsession.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QString cardFile(const QString& name)
{
    return qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/samples/card/Normal/") + name;
}

// The sample card's second trip: two files of 10 s with a fix every second.
Trip::TripList secondTrip()
{
    Trip::TripList trip;
    for (const char* name : {"002_0001_20240501094210", "002_0002_20240501094220"}) {
        const QString base = cardFile(QString::fromLatin1(name));
        trip.push_back(
            Trip::TripItem{10000, false, base + QStringLiteral(".mp4"), base + QStringLiteral(".nmea")});
    }
    return trip;
}

QStringList nmeaFiles(const Trip::TripList& trip)
{
    QStringList files;
    for (const Trip::TripItem& item : trip)
        files << item.nmeaFile;
    return files;
}

} // namespace

// The trip session: the same assembled trip on the calling thread and in the background, the
// order of its reports, and a selection replaced while it is assembled.
class TestTripSession : public QObject
{
    Q_OBJECT

private slots:
    void assemblesOnTheCallingThread()
    {
        const TripDataPtr data = TripSession::loadNow(secondTrip());
        QCOMPARE(data->duration(), qint64(20000));
        QVERIFY(data->positions());
        QCOMPARE(data->positions()->size(), std::size_t(20));
        QCOMPARE(data->samples()->size(), std::size_t(20));
        QVERIFY(data->statistics());
        QVERIFY(data->hasFix());
        // Second 12 is the third record of the second file, and its clock says so.
        QCOMPARE(data->recordAt(12999), 12);
        QCOMPARE(data->clockAt(12999), QDateTime(QDate(2024, 5, 1), QTime(9, 42, 22), Qt::UTC));
        QCOMPARE(data->positionAt(12500)->timestamp().time(), QTime(9, 42, 22));

        // A trip whose files were never read has no records, but still its timeline and the
        // clock of its file names.
        TripSession session;
        const TripDataPtr unread = session.load(secondTrip());
        QVERIFY(!unread->positions());
        QCOMPARE(unread->recordAt(5000), -1);
        QCOMPARE(unread->clockAt(12500), QDateTime(QDate(2024, 5, 1), QTime(9, 42, 22, 500), Qt::UTC));
    }

    void reportsTripThenRecordsThenPositions()
    {
        TripSession session;
        QSignalSpy parsed(&session, &TripSession::filesParsed);
        session.selectFiles(std::make_shared<QStringList>(nmeaFiles(secondTrip())));
        QVERIFY(session.isParsing());
        QVERIFY(parsed.wait(10000));
        QVERIFY(!session.isParsing());

        QSignalSpy loaded(&session, &TripSession::tripLoaded);
        QSignalSpy ready(&session, &TripSession::positionsReady);
        QSignalSpy moved(&session, &TripSession::positionChanged);
        session.selectTrip(std::make_shared<Trip::TripList>(secondTrip()));
        // The trip at once, without records; its records later.
        QCOMPARE(loaded.count(), 1);
        QVERIFY(!loaded.first().first().value<TripDataPtr>()->positions());
        QCOMPARE(session.data()->duration(), qint64(20000));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 10000);
        QCOMPARE(session.data()->positions()->size(), std::size_t(20));

        session.setPosition(7999);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(session.record(), 7);
        QCOMPARE(session.clockAt(session.position()).time(), QTime(9, 42, 17));
    }

    void aNewerSelectionWins()
    {
        TripSession session;
        QSignalSpy parsed(&session, &TripSession::filesParsed);
        session.selectFiles(std::make_shared<QStringList>(nmeaFiles(secondTrip())));
        QVERIFY(parsed.wait(10000));
        QSignalSpy ready(&session, &TripSession::positionsReady);
        Trip::TripList first = secondTrip();
        first.pop_back();
        session.selectTrip(std::make_shared<Trip::TripList>(first));
        session.selectTrip(std::make_shared<Trip::TripList>(secondTrip()));
        QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty(), 10000);
        QTest::qWait(200);
        // Only the trip chosen last is reported, whichever assembly ended first.
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.first().first().value<TripDataPtr>()->positions()->size(), std::size_t(20));

        // No trip: the session says so at once, records and all, also while a trip is still
        // being assembled; that trip's records never arrive, the next trip's do.
        ready.clear();
        session.selectTrip(std::make_shared<Trip::TripList>(first));
        session.selectTrip(nullptr);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(session.record(), -1);
        session.selectTrip(std::make_shared<Trip::TripList>(secondTrip()));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, 10000);
        QTest::qWait(200);
        QCOMPARE(ready.count(), 2);
        QCOMPARE(session.data()->positions()->size(), std::size_t(20));
    }
};

QTEST_GUILESS_MAIN(TestTripSession)
#include "tst_tripsession.moc"
