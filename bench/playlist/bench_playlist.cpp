// Opens a card as the open dialog's confirmation does and prints how long it takes until
// the trips are listed and until the last thumbnail has arrived.
//
//   bench_playlist CARD_DIR
//   bench_playlist --pull N CARD_DIR
//       Runs the preparation worker alone and deletes CARD_DIR (a copy made for this)
//       once N files are done, as a card pulled during listing; prints how long the
//       worker takes to finish after that.
#include "playlistpreparedata.h"
#include "playlistwgt.h"
#include "tripfile.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTimer>

#include <cstdio>

namespace {

QStringList videosOn(const QString& card)
{
    QStringList files;
    for (QDirIterator it(card, {"*.mp4"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

int listCard(QApplication& app, const QString& card)
{
    const int files = videosOn(card).size();
    PlaylistWgt view;
    view.resize(430, 288);
    view.show();

    QElapsedTimer clock;
    qint64 listed = -1;
    qint64 done = -1;
    int trips = 0;
    int listedFiles = 0;
    int thumbnails = 0;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        if (listed < 0 && view.model()) {
            listed = clock.elapsed();
            trips = view.model()->rowCount();
            for (int row = 0; row < trips; ++row)
                listedFiles += view.model()->item(row, 0)->rowCount();
        }
        if (listed >= 0 && !view.isWorking()) {
            done = clock.elapsed();
            for (int row = 0; row < view.model()->rowCount(); ++row)
                thumbnails += view.model()->item(row, 0)->icon().isNull() ? 0 : 1;
            app.quit();
        }
    });
    QTimer::singleShot(0, [&]() {
        clock.start();
        view.openPaths({card});
        poll.start();
    });
    QTimer::singleShot(180000, &app, &QApplication::quit);
    app.exec();

    std::printf("files on the card:         %d\n", files);
    std::printf(
        "trips listed:              %d trips of %d files after %lld ms (goal 2500 ms for 600 files)\n", trips,
        listedFiles, listed);
    std::printf("last thumbnail:            %d thumbnails after %lld ms\n", thumbnails, done);
    if (listed > 0 && files > 0)
        std::printf("preparation per file:      %.1f ms\n", double(listed) / files);
    return listed >= 0 && done >= 0 ? 0 : 1;
}

int pullCard(QApplication& app, const QString& card, int after)
{
    QStringList ordinary;
    QStringList events;
    for (const QString& file : videosOn(card))
        (Trip::isEventFile(file) ? events : ordinary) << file;
    const int files = ordinary.size() + events.size();

    Trip::registerMetaTypes();
    qRegisterMetaType<intptr_t>("intptr_t");
    PlaylistPrepareData worker;
    QElapsedTimer clock;
    QElapsedTimer sincePull;
    int progress = 0;
    qint64 finished = -1;
    qint64 afterPull = -1;
    int listed = 0;
    QObject::connect(
        &worker, &PlaylistPrepareData::reportProgress, &app,
        [&](intptr_t) {
            if (++progress == after) {
                QDir(card).removeRecursively();
                sincePull.start();
            }
        },
        Qt::QueuedConnection);
    const auto finish = [&]() {
        finished = clock.elapsed();
        afterPull = sincePull.isValid() ? sincePull.elapsed() : -1;
        app.quit();
    };
    QObject::connect(
        &worker, &PlaylistPrepareData::completed, &app,
        [&](intptr_t, std::shared_ptr<Trip::Trips> trips) {
            for (const Trip::TripList& trip : *trips)
                listed += int(trip.size());
            finish();
        },
        Qt::QueuedConnection);
    QObject::connect(&worker, &PlaylistPrepareData::finishedEmpty, &app, finish, Qt::QueuedConnection);
    QTimer::singleShot(0, [&]() {
        clock.start();
        worker.startProcessing(1, ordinary, events);
    });
    QTimer::singleShot(180000, &app, &QApplication::quit);
    app.exec();

    std::printf("files on the card:         %d, pulled after %d\n", files, after);
    std::printf("worker finished:           %lld ms after the pull (goal 5000 ms), %lld ms in all\n",
                afterPull, finished);
    std::printf("files listed:              %d, left out %d\n", listed, files - listed);
    return finished >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "--pull")
        return pullCard(app, args.at(3), args.at(2).toInt());
    if (args.size() == 2)
        return listCard(app, args.at(1));
    std::fprintf(stderr, "usage: bench_playlist [--pull N] CARD_DIR\n");
    return 2;
}
