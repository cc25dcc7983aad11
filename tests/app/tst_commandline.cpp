#include "../sessionfixture.h"
#include "clipexport.h"
#include "commandline.h"
#include "commandlinetrips.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "skippedfiles.h"
#include "tripsession.h"
#include "triptimeline.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <csignal>
#include <functional>

#include <signal.h>

namespace {

// The key of the running window's single-instance lock.
const QString InstanceKey = QStringLiteral("5f0e7c2a-9d41-4b8e-a3c6-71d2e8b40f95");

struct Result
{
    int code = -1;
    bool crashed = false;
    QString out;
    QString err;
};

} // namespace

// The command line of the real program, run without a display.
class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void positionsAndOffsets_data();
    void positionsAndOffsets();
    void wrongUsageAndFailures_data();
    void wrongUsageAndFailures();
    void listMatchesThePlaylist();
    void severalFoldersListEachFileOnce_data();
    void severalFoldersListEachFileOnce();
    void cardInOddlyNamedFolders();
    void listAnswersFromTheCacheWhileFilesStay();
    void exportsWriteTheirFiles();
    void existingFilesNeedOverwrite_data();
    void existingFilesNeedOverwrite();
    void trackHoldsEachClockSecondOnce_data();
    void trackHoldsEachClockSecondOnce();
    void interruptedExportLeavesNothing_data();
    void interruptedExportLeavesNothing();
    void overlayExportWithUnitsMasksAndZones();
    void commandsRunBesideARunningWindow();

    // Diagnostics: silent unless asked for with TARROW_DEBUG or --verbose, then on stderr by
    // category, filtered by QT_LOGGING_RULES, never mixed into a command's output.
    void diagnosticsByCategory();
    void windowIsSilentUnlessAsked();
    void failedStartSaysWhy();

private:
    // Runs the program without a display; `set` adds "NAME=value" to its environment.
    Result run(const QStringList& arguments, const QStringList& set = {});
    // Starts the window on the card, offscreen and with folders of its own, and ends it once
    // `enough` holds for its stderr or `waitMs` have passed; returns its stderr.
    QString runWindow(const QStringList& set, const std::function<bool(const QString&)>& enough,
                      int waitMs) const;

    QTemporaryDir m_dir;
    QString m_card;
    QString m_out;
    QString m_broken; // a video that is no video, with its position file
    QString m_second; // a second card: the sample card's ordinary recordings
    QString m_empty;  // an empty folder
    QString m_photos; // a folder with a video not named like a camera recording
};

void TestCommandLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_card = m_dir.filePath(QStringLiteral("card"));
    m_out = m_dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(m_out));
    QVERIFY(Session::copyTree(Session::sampleCard(), m_card));
    const QString normal = m_card + QStringLiteral("/Normal/");
    const QString events = m_card + QStringLiteral("/EVENT/");
    const QString clip = normal + QStringLiteral("001_0001_20240501090000.mp4");
    // An event an hour before any drive: a trip of its own, listed first by its start time
    // although the merge puts such trips last.
    QVERIFY(QFile::copy(clip, events + QStringLiteral("001_0001_20240501080000.mp4")));
    QVERIFY(QFile::copy(normal + QStringLiteral("001_0001_20240501090000.nmea"),
                        events + QStringLiteral("001_0001_20240501080000.nmea")));
    // A drive without any position data.
    QVERIFY(QFile::copy(clip, normal + QStringLiteral("003_0001_20240501110000.mp4")));
    QVERIFY(Session::writeFile(normal + QStringLiteral("003_0001_20240501110000.nmea"), QByteArray()));
    // Files that look like recordings but are left out.
    QVERIFY(QFile::copy(clip, normal + QStringLiteral("004_0001_20240501120000.mp4")));
    QVERIFY(QFile::copy(clip, normal + QStringLiteral("004_0002_20241399120000.mp4")));
    QVERIFY(Session::writeFile(normal + QStringLiteral("004_0002_20241399120000.nmea"), QByteArray()));
    m_broken = normal + QStringLiteral("004_0003_20240501120010.mp4");
    QVERIFY(Session::writeFile(m_broken, QByteArray(4096, 'x')));
    QVERIFY(Session::writeFile(normal + QStringLiteral("004_0003_20240501120010.nmea"), QByteArray()));
    QVERIFY(QFile::copy(clip, normal + QStringLiteral("IMG_1234.mp4")));
    m_second = m_dir.filePath(QStringLiteral("second"));
    QVERIFY(Session::copyTree(Session::sampleCard() + QStringLiteral("/Normal"),
                              m_second + QStringLiteral("/Normal")));
    m_empty = m_dir.filePath(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(m_empty));
    m_photos = m_dir.filePath(QStringLiteral("photos"));
    QVERIFY(QDir().mkpath(m_photos));
    QVERIFY(QFile::copy(clip, m_photos + QStringLiteral("/IMG_1234.mp4")));
    for (const char* folder : {"home", "temp", "runtime"})
        QVERIFY(QDir().mkpath(m_dir.filePath(QLatin1String(folder))));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Mask files: a good one, one that is no JSON, one reaching past the sample's 640 pixels.
    const QByteArray mask =
        R"({"masks":[{"mode":"pixelate","keyframes":[{"t":0,"x":%1,"y":40,"w":100,"h":60}]}]})";
    QVERIFY(Session::writeFile(m_dir.filePath(QStringLiteral("mask.json")),
                               QByteArray(mask).replace("%1", "20")));
    QVERIFY(Session::writeFile(m_dir.filePath(QStringLiteral("outside.json")),
                               QByteArray(mask).replace("%1", "600")));
    QVERIFY(Session::writeFile(m_dir.filePath(QStringLiteral("broken.json")), QByteArray(R"({"masks":[{)")));
}

Result TestCommandLine::run(const QStringList& arguments, const QStringList& set)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Commands need no display at all, and nothing but the program itself may speak.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES",
                             "QT_LOGGING_CONF", "TARROW_DEBUG"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("TARROW_TILE_SERVER"), QStringLiteral("http://127.0.0.1:9/%1/%2/%3.png"));
    for (const QString& assignment : set)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_out);
    process.start(QStringLiteral(TARROW_EXE), arguments);
    Result result;
    if (!process.waitForFinished(120000))
        return result;
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.code = result.crashed ? -1 : process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestCommandLine::positionsAndOffsets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isOffset");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value"); // ms for positions, s for offsets

    QTest::newRow("seconds") << "12" << false << true << 12000LL;
    QTest::newRow("seconds with decimals") << "12.5" << false << true << 12500LL;
    QTest::newRow("mm:ss with decimals") << "0:12.5" << false << true << 12500LL;
    QTest::newRow("hh:mm:ss") << "1:02:03" << false << true << 3723000LL;
    QTest::newRow("many minutes") << "75:00" << false << true << 4500000LL;
    QTest::newRow("milliseconds only") << "1.23456" << false << true << 1234LL;
    QTest::newRow("seconds past 59") << "1:75" << false << false << 0LL;
    QTest::newRow("minutes past 59") << "1:60:00" << false << false << 0LL;
    QTest::newRow("negative") << "-3" << false << false << 0LL;
    QTest::newRow("four fields") << "1:2:3:4" << false << false << 0LL;
    QTest::newRow("words") << "noon" << false << false << 0LL;
    QTest::newRow("offset ahead") << "+02:00" << true << true << 7200LL;
    QTest::newRow("offset behind") << "-05:30" << true << true << -19800LL;
    QTest::newRow("offset unsigned") << "01:00" << true << true << 3600LL;
    QTest::newRow("offset of a day") << "24:00" << true << false << 0LL;
    QTest::newRow("offset without minutes") << "+2" << true << false << 0LL;
}

void TestCommandLine::positionsAndOffsets()
{
    QFETCH(QString, text);
    QFETCH(bool, isOffset);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    qint64 parsed = 0;
    QCOMPARE(isOffset ? CommandLine::parseOffset(text, parsed) : CommandLine::parsePosition(text, parsed),
             valid);
    if (valid)
        QCOMPARE(parsed, value);
}

void TestCommandLine::wrongUsageAndFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    const QString card = QStringLiteral("@card");
    const QString out = QStringLiteral("out.file");
    QTest::newRow("unknown option") << QStringList{"--bogus", card} << 2 << "Unknown option";
    QTest::newRow("no recordings") << QStringList{"--list"} << 2 << "Name the recordings";
    QTest::newRow("two commands") << QStringList{"--list", "--export-clip", card} << 2 << "one command";
    QTest::newRow("option without command") << QStringList{"--trip", "1", card} << 2 << "needs a command";
    QTest::newRow("option of another command")
        << QStringList{"--list", "--stamp", card} << 2 << "does not apply";
    QTest::newRow("exact cut of a track")
        << QStringList{"--export-track", "gpx", "--exact-cut", "--trip", "1", card, "-o", out} << 2
        << "--exact-cut does not apply to --export-track";
    QTest::newRow("clip without end")
        << QStringList{"--export-clip", "--trip", "1", "--from", "0", card, "-o", out} << 2
        << "--from T --to T";
    QTest::newRow("bad position") << QStringList{"--snapshot", "--trip", "1", "--at", "1:75", card, "-o", out}
                                  << 2 << "no trip position";
    QTest::newRow("bad format") << QStringList{"--export-track", "gpz", "--trip", "1", card, "-o", out} << 2
                                << "gpx, kml or csv";
    QTest::newRow("trip zero") << QStringList{"--export-track", "gpx", "--trip", "0", card, "-o", out} << 2
                               << "--trip";
    QTest::newRow("range backwards") << QStringList{"--export-clip", "--trip", "1",  "--from", "0:10",
                                                    "--to",          "0:05",   card, "-o",     out}
                                     << 2 << "before --from";
    QTest::newRow("bad offset")
        << QStringList{"--export-track", "gpx", "--trip", "1", "--time-offset", "2h", card, "-o", out} << 2
        << "±HH:MM";
    QTest::newRow("track without output")
        << QStringList{"--export-track", "csv", "--trip", "1", card} << 2 << "-o";
    QTest::newRow("missing path") << QStringList{"--list", "/no/such/card"} << 1 << "/no/such/card";
    QTest::newRow("no such trip") << QStringList{"--export-track", "gpx", "--trip", "9", card, "-o", out} << 1
                                  << "no trip 9";
    QTest::newRow("still after the end")
        << QStringList{"--snapshot", "--trip", "2", "--at", "10:00", card, "-o", out} << 1 << "after the end";
    QTest::newRow("track of a drive without positions")
        << QStringList{"--export-track", "gpx", "--trip", "4", card, "-o", out} << 1 << "no position data";
    QTest::newRow("clip over a recording")
        << QStringList{"--export-clip", "--trip", "2",  "--from", "0",
                       "--to",          "5",      card, "-o",     "@card/Normal/001_0002_20240501090010.mp4"}
        << 1 << "Refusing";
    QTest::newRow("clip over a recording, told to overwrite")
        << QStringList{"--export-clip",
                       "--trip",
                       "2",
                       "--from",
                       "0",
                       "--to",
                       "5",
                       "--overwrite",
                       card,
                       "-o",
                       "@card/Normal/001_0002_20240501090010.mp4"}
        << 1 << "Refusing";
    // Nothing at all to open: the window's explanation.
    QTest::newRow("empty folder") << QStringList{"--list", "@empty"} << 1
                                  << "tarrow: No recordings found in @empty. The folder and its subfolders "
                                     "hold no files.\n";
    QTest::newRow("track from an empty folder")
        << QStringList{"--export-track", "gpx", "--trip", "1", "@empty", "-o", out} << 1
        << "No recordings found in @empty.";
    QTest::newRow("mask without overlay")
        << QStringList{"--export-clip", "--trip",         "2",  "--from", "0", "--to", "5",
                       "--mask",        "@dir/mask.json", card, "-o",     out}
        << 2 << "--mask needs --overlay";
    QTest::newRow("overlay of a still")
        << QStringList{"--snapshot", "--overlay", "--trip", "2", "--at", "1", card, "-o", out} << 2
        << "--overlay does not apply to --snapshot";
    QTest::newRow("unknown unit")
        << QStringList{"--export-clip", "--overlay", "--units", "knots", "--trip", "2", "--from", "0",
                       "--to",          "5",         card,      "-o",    out}
        << 2 << "km/h or mph";
    QTest::newRow("unknown overlay item") << QStringList{"--export-clip",
                                                         "--overlay",
                                                         "--overlay-items",
                                                         "band,clock",
                                                         "--trip",
                                                         "2",
                                                         "--from",
                                                         "0",
                                                         "--to",
                                                         "5",
                                                         card,
                                                         "-o",
                                                         out}
                                          << 2 << "band, map and graph";
    QTest::newRow("negative radius") << QStringList{"--export-track",
                                                    "gpx",
                                                    "--privacy-zone",
                                                    "48.1,11.5,-5",
                                                    "--trip",
                                                    "2",
                                                    card,
                                                    "-o",
                                                    out}
                                     << 2 << "negative radius";
    QTest::newRow("malformed mask file") << QStringList{"--export-clip",
                                                        "--overlay",
                                                        "--mask",
                                                        "@dir/broken.json",
                                                        "--trip",
                                                        "2",
                                                        "--from",
                                                        "0",
                                                        "--to",
                                                        "5",
                                                        card,
                                                        "-o",
                                                        out}
                                         << 1 << "broken.json: not JSON";
    QTest::newRow("mask outside the picture")
        << QStringList{"--export-clip",
                       "--overlay",
                       "--mask",
                       "@dir/outside.json",
                       "--trip",
                       "2",
                       "--from",
                       "0",
                       "--to",
                       "5",
                       card,
                       "-o",
                       out}
        << 1 << "mask 1, keyframe 1 lies outside the picture of 640 × 360 pixels";
    QTest::newRow("still with a mask outside the picture")
        << QStringList{"--snapshot", "--mask", "@dir/outside.json", "--trip", "2", "--at", "1", card,
                       "-o",         out}
        << 1 << "outside the picture";
    QTest::newRow("no camera video")
        << QStringList{"--list", "@photos"} << 1
        << QString::fromUtf8(
               "none of them a camera recording (a video named like 001_0001_20240501120000.mp4)."
               "\n@photos/IMG_1234.mp4 \u2014 not named like a camera recording\n");
}

void TestCommandLine::wrongUsageAndFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("@card"), m_card)
            .replace(QStringLiteral("@empty"), m_empty)
            .replace(QStringLiteral("@photos"), m_photos)
            .replace(QStringLiteral("@dir"), m_dir.path());
    message.replace(QStringLiteral("@empty"), m_empty).replace(QStringLiteral("@photos"), m_photos);
    const QStringList before = QDir(m_out).entryList(QDir::Files | QDir::Hidden);
    const qint64 recording = QFileInfo(m_card + QStringLiteral("/Normal/001_0002_20240501090010.mp4")).size();

    const Result result = run(arguments);
    QCOMPARE(result.code, code);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(QFileInfo(m_card + QStringLiteral("/Normal/001_0002_20240501090010.mp4")).size(), recording);
}

void TestCommandLine::listMatchesThePlaylist()
{
    const Result result = run({QStringLiteral("--list"), m_card});
    QCOMPARE(result.code, 0);
    QJsonParseError error;
    const QJsonObject listed = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    // The playlist of the same card, opened as if chosen in the dialog.
    PlaylistWgt view;
    view.openPaths({m_card});
    QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 60000);
    QAbstractItemModel* rows = view.treeView()->model();
    QVERIFY(rows);

    const QJsonArray trips = listed.value(QStringLiteral("trips")).toArray();
    QCOMPARE(trips.size(), rows->rowCount());
    QCOMPARE(trips.size(), 4);
    for (int row = 0; row < rows->rowCount(); ++row) {
        const QJsonObject trip = trips[row].toObject();
        QCOMPARE(trip.value(QStringLiteral("trip")).toInt(), row + 1);
        QCOMPARE(trip.value(QStringLiteral("start")).toString(),
                 rows->index(row, 1)
                     .data(PlaylistRoles::Start)
                     .toDateTime()
                     .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
        // Without an offset the clock is UTC, and says so.
        const QString start = trip.value(QStringLiteral("start")).toString();
        QCOMPARE(trip.value(QStringLiteral("start_utc")).toString(), start + QStringLiteral("Z"));
        QCOMPARE(trip.value(QStringLiteral("clock_start")).toString(), start + QStringLiteral("+00:00"));
        QCOMPARE(qint64(trip.value(QStringLiteral("duration_ms")).toDouble()),
                 rows->index(row, 2).data(PlaylistRoles::Duration).toLongLong());
        QCOMPARE(qint64(trip.value(QStringLiteral("events")).toInt()),
                 rows->index(row, 3).data(PlaylistRoles::Events).toLongLong());
        const QModelIndex tripRow = rows->index(row, 0);
        const QJsonArray files = trip.value(QStringLiteral("files")).toArray();
        QCOMPARE(files.size(), rows->rowCount(tripRow));
        for (int f = 0; f < files.size(); ++f) {
            const QModelIndex fileRow = rows->index(f, 0, tripRow);
            const QJsonObject file = files[f].toObject();
            QCOMPARE(file.value(QStringLiteral("video")).toString(),
                     fileRow.data(PlaylistRoles::Files).toString());
            QCOMPARE(qint64(file.value(QStringLiteral("duration_ms")).toDouble()),
                     fileRow.data(PlaylistRoles::Duration).toLongLong());
            QCOMPARE(file.value(QStringLiteral("event")).toBool(),
                     fileRow.data(PlaylistRoles::Events).toBool());
            QVERIFY(file.value(QStringLiteral("nmea")).toString().endsWith(QStringLiteral(".nmea")));
        }
    }
    // The early event comes first; the drive of the sample card with its event has statistics.
    QVERIFY(
        trips[0].toObject().value(QStringLiteral("files")).toArray()[0].toObject().value("event").toBool());
    const QJsonObject statistics = trips[1].toObject().value(QStringLiteral("statistics")).toObject();
    QCOMPARE(statistics.value(QStringLiteral("events")).toInt(), 1);
    QVERIFY(statistics.value(QStringLiteral("distance_m")).toDouble() > 100);
    QVERIFY(statistics.value(QStringLiteral("max_speed_kmh")).toDouble() > 10);

    QMap<QString, QString> skipped;
    for (const QJsonValue& value : listed.value(QStringLiteral("skipped")).toArray())
        skipped.insert(QFileInfo(value[QStringLiteral("file")].toString()).fileName(),
                       value["reason"].toString());
    QCOMPARE(skipped.keys(),
             QStringList({QStringLiteral("004_0001_20240501120000.mp4"),
                          QStringLiteral("004_0002_20241399120000.mp4"),
                          QStringLiteral("004_0003_20240501120010.mp4"), QStringLiteral("IMG_1234.mp4")}));
    QCOMPARE(skipped.value(QStringLiteral("IMG_1234.mp4")),
             QStringLiteral("not named like a camera recording"));
    QVERIFY(skipped.value(QStringLiteral("004_0001_20240501120000.mp4")).contains(QStringLiteral("NMEA")));
    QVERIFY(
        skipped.value(QStringLiteral("004_0002_20241399120000.mp4")).contains(QStringLiteral("start time")));
    QVERIFY(
        skipped.value(QStringLiteral("004_0003_20240501120010.mp4")).contains(QStringLiteral("playable")));
    // The window names the same files for the same reasons; the list adds the engine's words.
    QMap<QString, QString> shown;
    for (const auto& file : view.skippedFiles().files())
        shown.insert(QFileInfo(file.first).fileName(), SkippedFiles::reasonText(file.second));
    QCOMPARE(shown.keys(), skipped.keys());
    for (const QString& name : shown.keys())
        QVERIFY2(skipped.value(name).startsWith(shown.value(name)), qPrintable(skipped.value(name)));
}

void TestCommandLine::severalFoldersListEachFileOnce_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<int>("trips");

    // The card alone lists 4 trips; the second card adds its two drives.
    QTest::newRow("card and empty folder") << QStringList{"@card", "@empty"} << 4;
    QTest::newRow("two cards") << QStringList{"@card", "@second"} << 6;
    QTest::newRow("the same card twice") << QStringList{"@card", "@card/"} << 4;
    QTest::newRow("card and its subfolder") << QStringList{"@card", "@card/Normal"} << 4;
}

// Every folder given stands for itself and its subfolders, as a lone folder does; a file reached
// twice counts once, an empty folder adds nothing.
void TestCommandLine::severalFoldersListEachFileOnce()
{
    QFETCH(QStringList, folders);
    QFETCH(int, trips);
    QStringList arguments{QStringLiteral("--list")};
    for (QString folder : folders)
        arguments << folder.replace(QStringLiteral("@card"), m_card)
                         .replace(QStringLiteral("@second"), m_second)
                         .replace(QStringLiteral("@empty"), m_empty);
    const Result result = run(arguments);
    QCOMPARE(result.code, 0);
    QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
    const QJsonObject listed = QJsonDocument::fromJson(result.out.toUtf8()).object();
    const QJsonArray listedTrips = listed.value(QStringLiteral("trips")).toArray();
    QCOMPARE(listedTrips.size(), trips);
    QStringList videos;
    for (const QJsonValue& trip : listedTrips) {
        for (const QJsonValue& file : trip[QStringLiteral("files")].toArray())
            videos << file[QStringLiteral("video")].toString();
    }
    for (const QJsonValue& file : listed.value(QStringLiteral("skipped")).toArray())
        videos << file[QStringLiteral("file")].toString();
    // The card's videos once each: 8 in its trips, 4 left out; the second card adds 5.
    QCOMPARE(videos.size(), folders.contains(QStringLiteral("@second")) ? 17 : 12);
    QCOMPARE(videos.size(), QSet<QString>(videos.begin(), videos.end()).size());
}

// A card listed before is listed from the cache, with the same result; a file changed since is
// read again, never served stale; --no-cache neither reads nor writes the cache. An H.265
// recording is listed like an H.264 one.
void TestCommandLine::listAnswersFromTheCacheWhileFilesStay()
{
    const QString card = m_dir.filePath(QStringLiteral("cachedcard"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    const QString h265 = card + QStringLiteral("/Normal/005_0001_20240501150000.mp4");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                            "-loglevel",
                                            "error",
                                            "-nostdin",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc2=size=320x180:rate=25",
                                            "-t",
                                            "3",
                                            "-c:v",
                                            "libx265",
                                            "-preset",
                                            "ultrafast",
                                            "-x265-params",
                                            "log-level=error",
                                            "-tag:v",
                                            "hvc1",
                                            "-pix_fmt",
                                            "yuv420p",
                                            h265});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    QVERIFY(QFile::copy(card + QStringLiteral("/Normal/001_0001_20240501090000.nmea"),
                        card + QStringLiteral("/Normal/005_0001_20240501150000.nmea")));
    const QString cacheHome = m_dir.filePath(QStringLiteral("listcache"));
    const QString cacheFile = cacheHome + QStringLiteral("/Tarrow/probe.cache");
    const QStringList env{QStringLiteral("XDG_CACHE_HOME=") + cacheHome};
    const auto durations = [](const Result& result) {
        QMap<QString, qint64> lengths;
        const QJsonObject listed = QJsonDocument::fromJson(result.out.toUtf8()).object();
        for (const QJsonValue& trip : listed.value(QStringLiteral("trips")).toArray()) {
            for (const QJsonValue& file : trip[QStringLiteral("files")].toArray())
                lengths.insert(QFileInfo(file[QStringLiteral("video")].toString()).fileName(),
                               qint64(file[QStringLiteral("duration_ms")].toDouble()));
        }
        return lengths;
    };

    const Result uncached = run({QStringLiteral("--list"), QStringLiteral("--no-cache"), card}, env);
    QCOMPARE(uncached.code, 0);
    QVERIFY(!QFile::exists(cacheFile));
    QVERIFY(qAbs(durations(uncached).value(QStringLiteral("005_0001_20240501150000.mp4")) - 3000) <= 40);
    const Result first = run({QStringLiteral("--list"), card}, env);
    QVERIFY(QFile::exists(cacheFile));
    const Result second = run({QStringLiteral("--list"), card}, env);
    QCOMPARE(second.code, 0);
    QCOMPARE(first.out, uncached.out);
    QCOMPARE(second.out, uncached.out);

    // A position file cut short since: its trip is listed anew, as without the cache.
    const QString nmea = card + QStringLiteral("/Normal/001_0001_20240501090000.nmea");
    QFile nmeaFile(nmea);
    QVERIFY(nmeaFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = nmeaFile.readAll().split('\n');
    nmeaFile.close();
    QVERIFY(Session::writeFile(nmea, lines.mid(0, lines.size() / 2).join('\n') + '\n'));
    const Result touched = run({QStringLiteral("--list"), card}, env);
    QCOMPARE(touched.out, run({QStringLiteral("--list"), QStringLiteral("--no-cache"), card}, env).out);
    QVERIFY(touched.out != uncached.out);

    // A recording replaced by another of another length: its new length, not the kept one.
    const QString replaced = card + QStringLiteral("/Normal/005_0001_20240501150000.mp4");
    QVERIFY(QFile::remove(replaced));
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                            "-loglevel",
                                            "error",
                                            "-nostdin",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc2=size=320x180:rate=25",
                                            "-t",
                                            "2",
                                            "-c:v",
                                            "libx265",
                                            "-preset",
                                            "ultrafast",
                                            "-x265-params",
                                            "log-level=error",
                                            "-tag:v",
                                            "hev1",
                                            "-pix_fmt",
                                            "yuv420p",
                                            replaced});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    const Result changed = run({QStringLiteral("--list"), card}, env);
    QCOMPARE(changed.code, 0);
    QVERIFY(qAbs(durations(changed).value(QStringLiteral("005_0001_20240501150000.mp4")) - 2000) <= 40);

    // Damaged cache files: the same listing, and the caches written anew.
    const QStringList cacheFiles{cacheFile, cacheHome + QStringLiteral("/Tarrow/positions.cache"),
                                 cacheHome + QStringLiteral("/Tarrow/listing.cache")};
    for (const QString& path : cacheFiles)
        QVERIFY(Session::writeFile(path, QByteArray(1000, '\xff')));
    const Result damaged = run({QStringLiteral("--list"), card}, env);
    QCOMPARE(damaged.code, 0);
    QCOMPARE(damaged.out, changed.out);
    for (const QString& path : cacheFiles) {
        QFile rebuilt(path);
        QVERIFY2(rebuilt.open(QIODevice::ReadOnly) && rebuilt.readAll().startsWith("TarrowMC"),
                 qPrintable(path));
    }
}

// The sample card copied under folders whose names hold "EVENT" and ".mp4", with a speed of
// 1.00 kn and a course of 1.00 degrees at 09:00:03: every video keeps its NMEA file, only the
// EVENT folder holds events, and the measured values reach the track as they are.
void TestCommandLine::cardInOddlyNamedFolders()
{
    const QString card = m_dir.filePath(QStringLiteral("PREVENTION/card.mp4.bak"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    const QString nmea = card + QStringLiteral("/Normal/001_0001_20240501090000.nmea");
    QFile file(nmea);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    const QByteArray before = "$GPRMC,090003.000,A,4808.2293,N,01134.5521,E,16.83,80.00,010524,,,A*68";
    QVERIFY(text.contains(before));
    QByteArray body = "GPRMC,090003.000,A,4808.2293,N,01134.5521,E,1.00,1.00,010524,,,A";
    quint8 sum = 0;
    for (const char c : body)
        sum ^= quint8(c);
    text.replace(before, '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0'));
    QVERIFY(Session::writeFile(nmea, text));

    const Result list = run({QStringLiteral("--list"), QStringLiteral("--time-offset=-01:30"), card});
    QCOMPARE(list.code, 0);
    const QJsonObject listed = QJsonDocument::fromJson(list.out.toUtf8()).object();
    QVERIFY(listed.value(QStringLiteral("skipped")).toArray().isEmpty());
    const QJsonArray trips = listed.value(QStringLiteral("trips")).toArray();
    QCOMPARE(trips.size(), 2);
    const QJsonObject first = trips[0].toObject();
    // The start as the file name records it, as the UTC instant, and on the offset clock with the
    // offset: one instant.
    QCOMPARE(first.value(QStringLiteral("start")).toString(), QStringLiteral("2024-05-01T09:00:00"));
    const QString utc = first.value(QStringLiteral("start_utc")).toString();
    const QString clock = first.value(QStringLiteral("clock_start")).toString();
    QCOMPARE(utc, QStringLiteral("2024-05-01T09:00:00Z"));
    QCOMPARE(clock, QStringLiteral("2024-05-01T07:30:00-01:30"));
    QCOMPARE(QDateTime::fromString(clock, Qt::ISODate), QDateTime::fromString(utc, Qt::ISODate));
    QCOMPARE(first.value(QStringLiteral("events")).toInt(), 1);
    const QJsonObject statistics = first.value(QStringLiteral("statistics")).toObject();
    QCOMPARE(statistics.value(QStringLiteral("events")).toInt(), 1);
    QCOMPARE(statistics.value(QStringLiteral("bridged_distance_m")).toDouble(), 0.0);
    for (const QJsonValue& value : first.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString video = entry.value(QStringLiteral("video")).toString();
        QCOMPARE(entry.value(QStringLiteral("nmea")).toString(), video.chopped(4) + QStringLiteral(".nmea"));
        QCOMPARE(entry.value(QStringLiteral("event")).toBool(), video.contains(QStringLiteral("/EVENT/")));
    }
    QCOMPARE(trips[1].toObject().value(QStringLiteral("events")).toInt(), 0);

    const QString csv = m_dir.filePath(QStringLiteral("one.csv"));
    const Result track =
        run({QStringLiteral("--export-track"), QStringLiteral("csv"), QStringLiteral("--trip"),
             QStringLiteral("1"), QStringLiteral("--from"), QStringLiteral("3"), QStringLiteral("--to"),
             QStringLiteral("3"), card, QStringLiteral("-o"), csv});
    QCOMPARE(track.code, 0);
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = written.readAll().split('\n');
    QVERIFY(rows.size() >= 2);
    const QList<QByteArray> fields = rows[1].split(',');
    QCOMPARE(fields.value(0), QByteArray("3"));
    QCOMPARE(fields.value(5), QByteArray("1.85")); // 1.00 kn in km/h
    QCOMPARE(fields.value(6), QByteArray("1.0"));
}

void TestCommandLine::exportsWriteTheirFiles()
{
    const QString dir = m_dir.filePath(QStringLiteral("exports"));
    QVERIFY(QDir().mkpath(dir));
    const auto path = [&dir](const QString& name) { return QDir(dir).filePath(name); };

    for (const QString& format : {QStringLiteral("gpx"), QStringLiteral("kml"), QStringLiteral("csv")}) {
        const Result track = run({QStringLiteral("--export-track"), format, QStringLiteral("--trip"),
                                  QStringLiteral("2"), QStringLiteral("--from"), QStringLiteral("0:05"),
                                  QStringLiteral("--to"), QStringLiteral("0:09"), m_card,
                                  QStringLiteral("-o"), path(QStringLiteral("track.") + format)});
        QCOMPARE(track.code, 0);
        QVERIFY(QFileInfo(path(QStringLiteral("track.") + format)).size() > 0);
    }
    QFile csv(path(QStringLiteral("track.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count('\n'), 1 + 5);

    // --to past the end of the trip is clamped to it.
    const Result clip =
        run({QStringLiteral("--export-clip"), QStringLiteral("--trip"), QStringLiteral("3"),
             QStringLiteral("--from"), QStringLiteral("12.5"), QStringLiteral("--to"),
             QStringLiteral("1:00:00"), m_card, QStringLiteral("-o"), path(QStringLiteral("clip.mp4"))});
    QCOMPARE(clip.code, 0);
    QCOMPARE(clip.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             QStringList({path(QStringLiteral("clip.mp4")), path(QStringLiteral("clip.gpx"))}));
    // A key frame every second: the stream copy starts half a second early, and says so.
    QVERIFY2(clip.err.contains(QStringLiteral("The clip starts 0.5 s before --from, at 00:12.0 (key frame)")),
             qPrintable(clip.err));

    // With the exact cut it starts at --from, and writes what the window writes: the bytes of
    // the exporter with the same options.
    const Result exact =
        run({QStringLiteral("--export-clip"), QStringLiteral("--exact-cut"), QStringLiteral("--trip"),
             QStringLiteral("3"), QStringLiteral("--from"), QStringLiteral("12.5"), QStringLiteral("--to"),
             QStringLiteral("1:00:00"), m_card, QStringLiteral("-o"), path(QStringLiteral("exact.mp4"))});
    QCOMPARE(exact.code, 0);
    QVERIFY2(!exact.err.contains(QStringLiteral("before --from")), qPrintable(exact.err));
    CommandLineTrips found;
    QVERIFY(found.load({m_card}));
    const Trip::TripList trip = found.trips().at(2);
    QVERIFY(QDir().mkpath(path(QStringLiteral("reference"))));
    for (const bool exactCut : {false, true}) {
        ClipExport reference(trip);
        reference.setRange(12500, TripTimeline(trip).duration());
        reference.setExactCut(exactCut);
        reference.setPositions(TripSession::loadNow(trip)->positions(), 0);
        // The same name in another folder: the GPX holds the clip's name.
        const QString name = exactCut ? QStringLiteral("exact.mp4") : QStringLiteral("clip.mp4");
        const QString again = QDir(path(QStringLiteral("reference"))).filePath(name);
        QVERIFY2(reference.run(again), qPrintable(reference.errorString()));
        const auto hash = [](const QString& file) {
            return QCryptographicHash::hash(Session::readFile(file), QCryptographicHash::Sha1);
        };
        QCOMPARE(hash(again), hash(path(name)));
        QCOMPARE(hash(ClipExport::trackPathFor(again)), hash(ClipExport::trackPathFor(path(name))));
        QCOMPARE(reference.startsEarly(), !exactCut);
    }

    // A still is named by the recording's clock time, shifted by the offset and naming it.
    const Result still =
        run({QStringLiteral("--snapshot"), QStringLiteral("--trip"), QStringLiteral("2"),
             QStringLiteral("--at"), QStringLiteral("0:12.5"), QStringLiteral("--stamp"),
             QStringLiteral("--time-offset"), QStringLiteral("+01:00"), m_card, QStringLiteral("-o"), dir});
    QCOMPARE(still.code, 0);
    const QString named = path(QStringLiteral("2024-05-01_10-00-12+0100.png"));
    QCOMPARE(still.out.trimmed(), named);
    const QImage image(named);
    QVERIFY(image.width() > 0 && image.height() > image.width() * 9 / 16);
}

void TestCommandLine::existingFilesNeedOverwrite_data()
{
    QTest::addColumn<QStringList>("arguments"); // @dir: a folder of the row's own
    QTest::addColumn<QString>("existing");

    QTest::newRow("track") << QStringList{"--export-track", "kml", "--trip", "2", "@card", "-o", "@dir/t.kml"}
                           << "t.kml";
    QTest::newRow("clip") << QStringList{"--export-clip", "--trip", "3",     "--from", "0",
                                         "--to",          "2",      "@card", "-o",     "@dir/c.mp4"}
                          << "c.mp4";
    QTest::newRow("the GPX beside a clip")
        << QStringList{"--export-clip", "--trip", "3",     "--from", "0",
                       "--to",          "2",      "@card", "-o",     "@dir/c.mp4"}
        << "c.gpx";
    QTest::newRow("still named by its clock time")
        << QStringList{"--snapshot", "--trip", "2", "--at", "1", "@card", "-o", "@dir"}
        << "2024-05-01_09-00-01+0000.png";
}

// A command writes nothing and fails while a file it would write exists, unless told to
// replace it.
void TestCommandLine::existingFilesNeedOverwrite()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, existing);
    const QString dir = m_dir.filePath(QStringLiteral("existing-") + QString::number(qHash(existing)));
    QVERIFY(QDir().mkpath(dir));
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("@card"), m_card).replace(QStringLiteral("@dir"), dir);
    const QString path = QDir(dir).filePath(existing);
    const QByteArray before("written earlier\n");
    QVERIFY(Session::writeFile(path, before));

    const Result refused = run(arguments);
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(path) && refused.err.contains(QStringLiteral("--overwrite")),
             qPrintable(refused.err));
    QVERIFY(refused.out.isEmpty());
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{existing});
    QCOMPARE(Session::readFile(path), before);

    const Result replaced = run(arguments << QStringLiteral("--overwrite"));
    QCOMPARE(replaced.code, 0);
    QVERIFY2(replaced.out.contains(path), qPrintable(replaced.out));
    QVERIFY(Session::readFile(path) != before);
}

void TestCommandLine::trackHoldsEachClockSecondOnce_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("time");   // pattern of a point's time
    QTest::addColumn<QString>("second"); // a point's time, %1 its second
    // With an offset of +2 h: GPX and KML give the UTC instant, CSV the local time and offset.
    QTest::newRow("gpx") << "gpx"
                         << "<time>([^<]+)</time>"
                         << "2024-05-01T09:00:%1Z";
    QTest::newRow("kml") << "kml"
                         << "<when>([^<]+)</when>"
                         << "2024-05-01T09:00:%1Z";
    QTest::newRow("csv") << "csv"
                         << "\n\\d+,([^,]+),"
                         << "2024-05-01T11:00:%1+02:00";
}

// The card's first drive has an event recording (09:00:14 to 09:00:24) over seconds the drive's
// own recordings hold too: the track has each of its 30 clock seconds once, in time order.
void TestCommandLine::trackHoldsEachClockSecondOnce()
{
    QFETCH(QString, format);
    QFETCH(QString, time);
    QFETCH(QString, second);
    const QString path = m_dir.filePath(QStringLiteral("seconds.") + format);
    const Result result =
        run({QStringLiteral("--export-track"), format, QStringLiteral("--trip"), QStringLiteral("2"),
             QStringLiteral("--time-offset"), QStringLiteral("+02:00"), m_card, QStringLiteral("-o"), path});
    QCOMPARE(result.code, 0);
    const QString text = QString::fromUtf8(Session::readFile(path));
    QStringList times;
    QRegularExpressionMatchIterator it = QRegularExpression(time).globalMatch(text);
    while (it.hasNext())
        times << it.next().captured(1);
    // KML's one event mark, after the track, has a time of its own.
    if (format == QLatin1String("kml"))
        QCOMPARE(times.takeLast(), QStringLiteral("2024-05-01T09:00:14Z"));
    QCOMPARE(times.size(), 30);
    for (int i = 0; i < times.size(); ++i)
        QCOMPARE(times[i], second.arg(i, 2, 10, QLatin1Char('0')));
    if (format == QLatin1String("gpx"))
        QCOMPARE(text.count(QStringLiteral("<trkseg>")), 1);
    if (format == QLatin1String("csv")) {
        // The event flag on the seconds the event recording covers, and on the file after it.
        const QStringList rows = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i].section(QLatin1Char(','), 10, 10),
                     i < 14 ? QStringLiteral("0") : QStringLiteral("1"));
    }
}

void TestCommandLine::interruptedExportLeavesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl+C") << int(SIGINT);
    QTest::newRow("termination request") << int(SIGTERM);
    QTest::newRow("terminal closed") << int(SIGHUP);
}

// Stopped half-way, the export removes what it wrote, also where the clip is written under a
// visible temporary name (a file system without unnamed temporary files, such as FAT).
void TestCommandLine::interruptedExportLeavesNothing()
{
    QFETCH(int, signal);
    const QString folder = m_dir.filePath(QStringLiteral("interrupted-%1").arg(signal));
    QVERIFY(QDir().mkpath(folder));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TMPFILE_SHIM));
    env.insert(QStringLiteral("TARROW_TEST_NO_TMPFILE"), QStringLiteral("1"));
    env.insert(QStringLiteral("TARROW_TEST_SLOW_WRITES"), QStringLiteral("500"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARROW_EXE),
                  {QStringLiteral("--export-clip"), QStringLiteral("--trip"), QStringLiteral("3"),
                   QStringLiteral("--from"), QStringLiteral("0"), QStringLiteral("--to"),
                   QStringLiteral("1:00"), m_card, QStringLiteral("-o"),
                   QDir(folder).filePath(QStringLiteral("clip.mp4"))});
    QVERIFY(process.waitForStarted());
    // The clip being written under its temporary name.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty(), 30000);
    QVERIFY2(
        QDir(folder).entryList(QDir::Files | QDir::Hidden).first().startsWith(QStringLiteral("clip.mp4.")),
        qPrintable(QDir(folder).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' '))));
    QTest::qWait(300);
    QCOMPARE(process.state(), QProcess::Running);
    ::kill(pid_t(process.processId()), signal);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY(process.exitCode() != 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestCommandLine::overlayExportWithUnitsMasksAndZones()
{
    const QString dir = m_dir.filePath(QStringLiteral("overlay"));
    QVERIFY(QDir().mkpath(dir));
    CommandLineTrips found;
    QVERIFY(found.load({m_card}));
    const PositionsPtr positions = TripSession::loadNow(found.trips().at(1))->positions();
    const QGeoCoordinate start = positions->front().coordinate();
    QVERIFY(start.isValid());
    const QString zone =
        QStringLiteral("%1,%2,30").arg(start.latitude(), 0, 'f', 7).arg(start.longitude(), 0, 'f', 7);
    const QString clip = QDir(dir).filePath(QStringLiteral("overlay.mp4"));
    const Result result =
        run({QStringLiteral("--export-clip"), QStringLiteral("--overlay"), QStringLiteral("--overlay-items"),
             QStringLiteral("band,map,graph"), QStringLiteral("--units"), QStringLiteral("mph"),
             QStringLiteral("--mask"), m_dir.filePath(QStringLiteral("mask.json")),
             QStringLiteral("--privacy-zone"), zone, QStringLiteral("--trip"), QStringLiteral("2"),
             QStringLiteral("--from"), QStringLiteral("0"), QStringLiteral("--to"), QStringLiteral("6"),
             m_card, QStringLiteral("-o"), clip});
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QCOMPARE(result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             QStringList({clip, ClipExport::trackPathFor(clip)}));
    QVERIFY(QFileInfo(clip).size() > 10000);
    // The GPX beside it keeps the seconds outside the zone only.
    static const QRegularExpression point(QStringLiteral("lat=\"([-\\d.]+)\" lon=\"([-\\d.]+)\""));
    int points = 0;
    for (auto match = point.globalMatch(QString::fromUtf8(Session::readFile(ClipExport::trackPathFor(clip))));
         match.hasNext(); ++points) {
        const QRegularExpressionMatch m = match.next();
        QVERIFY(QGeoCoordinate(m.captured(1).toDouble(), m.captured(2).toDouble()).distanceTo(start) > 30.0);
    }
    QVERIFY(points > 0);
}

void TestCommandLine::commandsRunBesideARunningWindow()
{
    // This process holds the lock of a running window. The lock's key file lives in the
    // temporary folder; a folder of its own keeps windows of tests running alongside out.
    const bool hadTemp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QString temp = m_dir.filePath(QStringLiteral("lock-temp"));
    QVERIFY(QDir().mkpath(temp));
    qputenv("TMPDIR", QFile::encodeName(temp));
    QSharedMemory lock(InstanceKey);
    const bool created = lock.create(512, QSharedMemory::ReadWrite);
    const Result result = run({QStringLiteral("--list"), m_card});
    if (hadTemp)
        qputenv("TMPDIR", oldTemp);
    else
        qunsetenv("TMPDIR");
    QVERIFY2(created, qPrintable(lock.errorString()));
    QCOMPARE(result.code, 0);
    QCOMPARE(QJsonDocument::fromJson(result.out.toUtf8()).object().value("trips").toArray().size(), 4);
}

QString TestCommandLine::runWindow(const QStringList& set, const std::function<bool(const QString&)>& enough,
                                   int waitMs) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display: a system's video driver library prints on its own when the engine probes it.
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES", "QT_LOGGING_CONF", "TARROW_DEBUG"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TARROW_TILE_SERVER"), QStringLiteral("http://127.0.0.1:9/%1/%2/%3.png"));
    // Folders of its own, its own single-instance lock among them.
    const QString home = m_dir.filePath(QStringLiteral("home"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("temp")));
    for (const QString& assignment : set)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARROW_EXE), {m_card});
    if (!process.waitForStarted())
        return QStringLiteral("(did not start)");
    QString err;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs && process.state() == QProcess::Running && !enough(err)) {
        process.waitForReadyRead(100);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    const bool running = process.state() == QProcess::Running;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    err += QString::fromUtf8(process.readAllStandardError());
    return running ? err : QStringLiteral("(ended early) ") + err;
}

void TestCommandLine::diagnosticsByCategory()
{
    const Result quiet = run({QStringLiteral("--list"), m_card});
    QCOMPARE(quiet.code, 0);
    QVERIFY2(quiet.err.isEmpty(), qPrintable(quiet.err));
    QVERIFY(quiet.out.contains(m_broken));
    // "0" and empty mean off, as unset.
    for (const QString& off : {QStringLiteral("TARROW_DEBUG=0"), QStringLiteral("TARROW_DEBUG=")}) {
        const Result result = run({QStringLiteral("--list"), m_card}, {off});
        QVERIFY2(result.err.isEmpty(), qPrintable(off + QLatin1Char(' ') + result.err));
    }

    // A card listed before is listed from the cache, and says so.
    const Result cached = run({QStringLiteral("--list"), m_card}, {QStringLiteral("TARROW_DEBUG=1")});
    QCOMPARE(cached.out, quiet.out);
    QVERIFY2(cached.err.contains(QStringLiteral("DEBUG: tarrow.nmea: trip of ") + m_card +
                                 QStringLiteral("/Normal/001_0001_20240501090000.mp4 listed from the cache")),
             qPrintable(cached.err));

    const Result env = run({QStringLiteral("--list"), QStringLiteral("--no-cache"), m_card},
                           {QStringLiteral("TARROW_DEBUG=1")});
    const Result option =
        run({QStringLiteral("--list"), QStringLiteral("--no-cache"), QStringLiteral("--verbose"), m_card});
    for (const Result& result : {env, option}) {
        QCOMPARE(result.code, 0);
        // Diagnostics never reach a command's own output.
        QCOMPARE(result.out, quiet.out);
        // Each file read, and the file left out with its reason.
        QVERIFY2(
            result.err.contains(QStringLiteral("DEBUG: tarrow.nmea: ") + m_card +
                                QStringLiteral("/Normal/001_0001_20240501090000.nmea: read, 10 records")),
            qPrintable(result.err));
        QVERIFY2(result.err.contains(
                     QRegularExpression(QStringLiteral("DEBUG: tarrow\\.playlist: left out ") +
                                        QRegularExpression::escape(m_broken) + QStringLiteral(" - \\S"))),
                 qPrintable(result.err));
        // One message a line, each with its severity.
        for (const QString& line : result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(
                QRegularExpression(QStringLiteral("^(DEBUG|INFO|WARNING|CRITICAL): ")).match(line).hasMatch(),
                qPrintable(line));
    }

    // The logging rules choose the categories.
    const Result filtered =
        run({QStringLiteral("--list"), m_card},
            {QStringLiteral("TARROW_DEBUG=1"), QStringLiteral("QT_LOGGING_RULES=tarrow.nmea=false")});
    QCOMPARE(filtered.code, 0);
    QVERIFY2(!filtered.err.contains(QStringLiteral("tarrow.nmea")), qPrintable(filtered.err));
    QVERIFY2(filtered.err.contains(QStringLiteral("tarrow.playlist: left out")), qPrintable(filtered.err));
}

void TestCommandLine::windowIsSilentUnlessAsked()
{
    // With diagnostics on, the window reports the opened card and the files it read.
    QElapsedTimer timer;
    timer.start();
    const QString verbose = runWindow(
        {QStringLiteral("TARROW_DEBUG=1")},
        [this](const QString& err) {
            return err.contains(QStringLiteral("tarrow.playlist: left out ") + m_broken) &&
                   err.contains(QStringLiteral("tarrow.nmea: "));
        },
        60000);
    const qint64 busyMs = timer.elapsed();
    QVERIFY2(verbose.contains(QStringLiteral("DEBUG: tarrow.playlist: opening ")), qPrintable(verbose));
    QVERIFY2(verbose.contains(QStringLiteral("tarrow.playlist: left out ") + m_broken), qPrintable(verbose));
    QVERIFY2(verbose.contains(QStringLiteral("tarrow.nmea: ")), qPrintable(verbose));
    QVERIFY2(!verbose.startsWith(QStringLiteral("(ended early)")), qPrintable(verbose));

    // Without, the same start (given more than the time the work took above) prints nothing.
    const QString quiet = runWindow(
        {}, [](const QString& err) { return !err.isEmpty(); }, int(busyMs) * 2 + 2000);
    QVERIFY2(quiet.isEmpty(), qPrintable(quiet));
}

void TestCommandLine::failedStartSaysWhy()
{
    // The window without any display cannot start: it ends at once and says why, also when
    // diagnostics are off.
    const Result result = run({});
    QVERIFY(result.crashed || result.code != 0);
    QVERIFY2(result.err.contains(QStringLiteral("FATAL: ")), qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("platform plugin")), qPrintable(result.err));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
