// Opens a card as the open dialog's confirmation does and prints how long it takes until
// the trips are listed and until the last thumbnail has arrived.
#include "playlistwgt.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_playlist CARD_DIR\n");
        return 2;
    }
    const QString card = QString::fromLocal8Bit(argv[1]);
    int files = 0;
    for (QDirIterator it(card, {"*.mp4"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++files;

    PlaylistWgt view;
    view.resize(430, 288);
    view.show();

    QElapsedTimer clock;
    qint64 listed = -1;
    qint64 done = -1;
    int trips = 0;
    int thumbnails = 0;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        if (listed < 0 && view.model()) {
            listed = clock.elapsed();
            trips = view.model()->rowCount();
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
    QTimer::singleShot(120000, &app, &QApplication::quit);
    app.exec();

    std::printf("files on the card:         %d\n", files);
    std::printf("trips listed:              %d after %lld ms (goal 4000 ms)\n", trips, listed);
    std::printf("last thumbnail:            %d thumbnails after %lld ms (goal 5000 ms)\n", thumbnails, done);
    if (listed > 0 && files > 0)
        std::printf("preparation per file:      %.1f ms\n", double(listed) / files);
    return listed >= 0 && done >= 0 ? 0 : 1;
}
