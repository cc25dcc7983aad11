// Exports the whole of a trip made of the given files, each `ms` long, into one MP4 and prints
// the time it took.
//   bench_export OUT.mp4 MS FILE...

#include "clipexport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.size() < 4) {
        out << "usage: bench_export OUT.mp4 MS FILE...\n";
        return 2;
    }
    const qint64 ms = args[2].toLongLong();
    Trip::TripList trip;
    for (const QString& file : args.mid(3))
        trip.push_back(Trip::TripItem{
            ms, false, file, QString(file).replace(QStringLiteral(".mp4"), QStringLiteral(".nmea"))});

    ClipExport clip(trip);
    clip.setRange(0, ms * qint64(trip.size()));
    QElapsedTimer timer;
    timer.start();
    if (!clip.run(args[1])) {
        out << "export failed: " << clip.errorString() << '\n';
        return 1;
    }
    out << QString::number(double(timer.nsecsElapsed()) / 1e9, 'f', 3) << '\n';
    return 0;
}
