#include "commandline.h"

#include "cachedtiles.h"
#include "channelview.h"
#include "clipexport.h"
#include "commandlinelist.h"
#include "commandlinetrips.h"
#include "masks.h"
#include "overlayexport.h"
#include "privacyzones.h"
#include "recordingguard.h"
#include "snapshot.h"
#include "trackexport.h"
#include "tripchannels.h"
#include "tripclock.h"
#include "tripsession.h"
#include "units.h"
#include "zelcfg.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>
#include <QTranslator>

#include <array>
#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

const QString ListOption = QStringLiteral("list");
const QString TrackOption = QStringLiteral("export-track");
const QString ClipOption = QStringLiteral("export-clip");
const QString ExactCutOption = QStringLiteral("exact-cut");
const QString SnapshotOption = QStringLiteral("snapshot");
const QString ChannelOption = QStringLiteral("channel");
const QString AllChannels = QStringLiteral("all");
const QString TripOption = QStringLiteral("trip");
const QString FromOption = QStringLiteral("from");
const QString ToOption = QStringLiteral("to");
const QString AtOption = QStringLiteral("at");
const QString StampOption = QStringLiteral("stamp");
const QString OffsetOption = QStringLiteral("time-offset");
const QString OutputOption = QStringLiteral("output");
const QString OverwriteOption = QStringLiteral("overwrite");
const QString VerboseOption = QStringLiteral("verbose");
const QString NoCacheOption = QStringLiteral("no-cache");
const QString OverlayOption = QStringLiteral("overlay");
const QString OverlayItemsOption = QStringLiteral("overlay-items");
const QString LayoutOption = QStringLiteral("layout");
const QString UnitsOption = QStringLiteral("units");
const QString MaskOption = QStringLiteral("mask");
const QString ZoneOption = QStringLiteral("privacy-zone");

const QStringList Commands{ListOption, TrackOption, ClipOption, SnapshotOption};
// Options that belong to a command, and the commands that take each.
const QList<QPair<QString, QStringList>> CommandOptions{
    {TripOption, {TrackOption, ClipOption, SnapshotOption}},
    {FromOption, {TrackOption, ClipOption}},
    {ToOption, {TrackOption, ClipOption}},
    {ExactCutOption, {ClipOption}},
    {ChannelOption, {ClipOption, SnapshotOption}},
    {AtOption, {SnapshotOption}},
    {StampOption, {SnapshotOption}},
    {OffsetOption, {ListOption, TrackOption, ClipOption, SnapshotOption}},
    {OutputOption, {TrackOption, ClipOption, SnapshotOption}},
    {OverwriteOption, {TrackOption, ClipOption, SnapshotOption}},
    {OverlayOption, {ClipOption}},
    {OverlayItemsOption, {ClipOption}},
    {LayoutOption, {ClipOption}},
    {UnitsOption, {ClipOption, SnapshotOption}},
    {MaskOption, {ClipOption, SnapshotOption}},
    {ZoneOption, {TrackOption, ClipOption, SnapshotOption}},
};

// Qt's own options for the window, accepted so that they reach the application object.
const QStringList QtValueOptions{
    QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"), QStringLiteral("plugin"),
    QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
    QStringLiteral("session"),       QStringLiteral("style"),
    QStringLiteral("stylesheet"),    QStringLiteral("display"),
    QStringLiteral("geometry"),      QStringLiteral("title"),
    QStringLiteral("name"),
};
const QStringList QtFlagOptions{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};

// The clip export that Ctrl+C, a termination request or a closed terminal cancels.
std::atomic<ClipExport*> g_runningExport{nullptr};
std::atomic<OverlayExport*> g_runningOverlay{nullptr};

void cancelRunningExport(int)
{
    if (ClipExport* running = g_runningExport.load())
        running->cancel();
    if (OverlayExport* running = g_runningOverlay.load())
        running->cancel();
}

QString positionText(qint64 ms)
{
    return Units::durationText(ms);
}

} // namespace

CommandLine::CommandLine(const QStringList& arguments) : m_arguments(arguments)
{
    addOptions();
    m_parsed = m_parser.parse(arguments);
    if (!m_parsed || m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("version"))) {
        m_mode = Mode::Headless;
        return;
    }
    for (const QString& command : Commands) {
        if (m_parser.isSet(command))
            m_mode = Mode::Headless;
    }
    for (const auto& option : CommandOptions) {
        if (m_parser.isSet(option.first))
            m_mode = Mode::Headless;
    }
    // Text is drawn only for the data stamp of a still, and drawing text needs Qt's GUI module.
    if ((m_parser.isSet(SnapshotOption) && m_parser.isSet(StampOption)) ||
        (m_parser.isSet(ClipOption) && m_parser.isSet(OverlayOption)))
        m_mode = Mode::Painting;
}

void CommandLine::addOptions()
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.setApplicationDescription(tr("Plays the recordings of an in-car camera. With a command, it "
                                          "exports or lists them without a window."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({
        {ListOption, tr("Prints the trips of the recordings as JSON.")},
        {TrackOption, tr("Exports the positions of a trip as gpx, kml or csv."), QStringLiteral("format")},
        {ClipOption, tr("Exports a range of a trip as one MP4 file, with a GPX file beside it. Without "
                        "re-encoding, it starts at the key frame at or before --from.")},
        {SnapshotOption, tr("Saves the frame at a trip position as PNG.")},
        {TripOption, tr("The trip, numbered as --list numbers them."), QStringLiteral("N")},
        {FromOption, tr("Start of the range: mm:ss, hh:mm:ss or seconds."), QStringLiteral("T")},
        {ToOption, tr("End of the range, included."), QStringLiteral("T")},
        {ExactCutOption, tr("Re-encodes the clip's pictures from --from to the next key frame, so that it "
                            "starts at --from.")},
        {ChannelOption,
         tr("The camera channel (as --list names it) of the clip or still, or all: one file per channel, "
            "named with _<channel> before the extension, all of the same instant (clips re-encoded from "
            "--from to each channel's next key frame). Exit code 3: written, but some channel has no "
            "readable recording for part of it."),
         QStringLiteral("NAME|all")},
        {AtOption, tr("Position of the still."), QStringLiteral("T")},
        {StampOption, tr("Writes date, time and offset, coordinates, speed and heading below the still.")},
        {OffsetOption, tr("Offset of local time from the recorded UTC, e.g. +02:00."),
         QStringLiteral("±HH:MM")},
        {{QStringLiteral("o"), OutputOption}, tr("The file to write."), QStringLiteral("FILE")},
        {OverwriteOption, tr("Replaces files that exist already instead of refusing to write them.")},
        {VerboseOption, tr("Writes diagnostic messages to stderr.")},
        {NoCacheOption, tr("Neither reads nor writes the cache of lengths, checks, position data and "
                           "thumbnails of recordings.")},
        {OverlayOption, tr("Re-encodes the clip with a band of data in the picture: date and time, speed, "
                           "coordinates and heading.")},
        {OverlayItemsOption, tr("What --overlay draws: band, map, graph, separated by commas."),
         QStringLiteral("items")},
        {LayoutOption,
         tr("With --overlay, composes the trip's channels into one picture, each of the same instant: "
            "pip (the others small in the lower right corner), side (side by side) or main (one "
            "channel). --channel NAME is the large one, and alone without --layout."),
         QStringLiteral("pip|side|main")},
        {UnitsOption, tr("Speed in km/h or mph in the overlay and the still's band."),
         QStringLiteral("unit")},
        {MaskOption,
         tr("Blurs or pixelates the rectangles of a mask file (JSON) in the overlay export or "
            "the still."),
         QStringLiteral("FILE.json")},
        {ZoneOption, tr("Leaves out every position within RADIUS_M metres of LAT,LON; may be repeated."),
         QStringLiteral("LAT,LON,RADIUS_M")},
    });
    for (const QString& name : QtValueOptions) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(option);
    }
    for (const QString& name : QtFlagOptions) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(option);
    }
    m_parser.addPositionalArgument(QStringLiteral("paths"), tr("Recordings: video files and folders."),
                                   QStringLiteral("[PATH...]"));
}

bool CommandLine::verbose() const
{
    return m_parsed && m_parser.isSet(VerboseOption);
}

bool CommandLine::noCache() const
{
    return m_parsed && m_parser.isSet(NoCacheOption);
}

void CommandLine::installTranslator()
{
    static QTranslator own;
    static QTranslator qt;
    const QString language = QLocale::system().name();
    if (own.load(QStringLiteral(":/resources/translations/trans_%1.qm").arg(language)))
        QCoreApplication::installTranslator(&own);
    if (qt.load(QStringLiteral(":/resources/translations/qt/qtbase_%1.qm").arg(language.left(2))))
        QCoreApplication::installTranslator(&qt);
}

bool CommandLine::parsePosition(const QString& text, qint64& ms)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(?:(\\d+):)?(\\d+):)?(\\d+)(?:\\.(\\d{1,3})\\d*)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const bool withHours = !match.captured(1).isEmpty();
    const bool withMinutes = !match.captured(2).isEmpty();
    const qint64 hours = match.captured(1).toLongLong();
    const qint64 minutes = match.captured(2).toLongLong();
    const qint64 seconds = match.captured(3).toLongLong();
    // A field after another one counts up to 59 only.
    if ((withMinutes && seconds > 59) || (withHours && minutes > 59) || match.captured(3).size() > 9 ||
        match.captured(2).size() > 9 || match.captured(1).size() > 9)
        return false;
    const qint64 fraction = match.captured(4).leftJustified(3, QLatin1Char('0')).toLongLong();
    ms = ((hours * 60 + minutes) * 60 + seconds) * 1000 + fraction;
    return true;
}

bool CommandLine::parseOffset(const QString& text, qint64& seconds)
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?)(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const int hours = match.captured(2).toInt();
    const int minutes = match.captured(3).toInt();
    if (hours > 23 || minutes > 59)
        return false;
    seconds =
        (qint64(hours) * 3600 + qint64(minutes) * 60) * (match.captured(1) == QLatin1String("-") ? -1 : 1);
    return true;
}

int CommandLine::run()
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(out, err);
}

int CommandLine::usageError(QTextStream& err, const QString& message) const
{
    err << ZelCfg::AppName.toLower() << ": " << message << '\n'
        << tr("Try '%1 --help' for the options.").arg(ZelCfg::AppName.toLower()) << '\n';
    err.flush();
    return UsageError;
}

int CommandLine::failed(QTextStream& err, const QString& message) const
{
    err << ZelCfg::AppName.toLower() << ": " << message << '\n';
    err.flush();
    return Failed;
}

int CommandLine::run(QTextStream& out, QTextStream& err)
{
    if (!m_parsed)
        return usageError(err, m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        out << m_parser.helpText();
        return Success;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        out << ZelCfg::AppName << ' ' << ZelCfg::AppVersion << '\n';
        return Success;
    }

    QStringList given;
    for (const QString& command : Commands) {
        if (m_parser.isSet(command))
            given << command;
    }
    if (given.size() > 1)
        return usageError(err,
                          tr("Give one command at a time, not --%1.").arg(given.join(QStringLiteral(" --"))));
    const QString command = given.value(0);
    for (const auto& option : CommandOptions) {
        if (!m_parser.isSet(option.first) || option.second.contains(command))
            continue;
        if (command.isEmpty())
            return usageError(err, tr("--%1 needs a command.").arg(option.first));
        return usageError(err, tr("--%1 does not apply to --%2.").arg(option.first, command));
    }
    if (command.isEmpty())
        return usageError(err, tr("No command given."));
    if (m_parser.positionalArguments().isEmpty())
        return usageError(err, tr("Name the recordings: video files or folders."));

    if (command == ListOption)
        return list(out, err);
    if (command == TrackOption)
        return exportTrack(out, err);
    if (command == ClipOption)
        return exportClip(out, err);
    return snapshot(out, err);
}

int CommandLine::readRequest(QTextStream& err, Request& request) const
{
    const auto position = [&](const QString& option, qint64& ms) {
        if (!m_parser.isSet(option))
            return true;
        const QString text = m_parser.value(option);
        if (parsePosition(text, ms))
            return true;
        usageError(err, tr("--%1 %2 is no trip position: use mm:ss, hh:mm:ss or seconds.").arg(option, text));
        return false;
    };

    if (!m_parser.isSet(TripOption))
        return usageError(err, tr("Choose the trip with --trip N."));
    bool ok = false;
    request.trip = m_parser.value(TripOption).toInt(&ok);
    if (!ok || request.trip < 1)
        return usageError(
            err, tr("--trip takes a trip number from 1 on, not %1.").arg(m_parser.value(TripOption)));
    if (!position(FromOption, request.fromMs) || !position(ToOption, request.toMs) ||
        !position(AtOption, request.atMs))
        return UsageError;
    request.hasTo = m_parser.isSet(ToOption);
    if (request.hasTo && request.toMs < request.fromMs)
        return usageError(err, tr("--to lies before --from."));
    if (m_parser.isSet(OffsetOption) && !parseOffset(m_parser.value(OffsetOption), request.offsetSeconds))
        return usageError(err, tr("--time-offset takes ±HH:MM, not %1.").arg(m_parser.value(OffsetOption)));
    request.output = m_parser.value(OutputOption);

    // Zones kept in the settings apply to the commands' exports as to the window's.
    request.zones = PrivacyZones::stored();
    for (const QString& text : m_parser.values(ZoneOption)) {
        PrivacyZones::Zone zone;
        QString error;
        if (!PrivacyZones::parse(text, zone, &error))
            return usageError(err, QStringLiteral("--%1: %2").arg(ZoneOption, error));
        request.zones.add(zone);
    }
    if (m_parser.isSet(UnitsOption)) {
        const QString unit = m_parser.value(UnitsOption).trimmed().toLower();
        if (unit == QLatin1String("km/h") || unit == QLatin1String("kmh"))
            Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
        else if (unit == QLatin1String("mph"))
            Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        else
            return usageError(err, tr("--units takes km/h or mph, not %1.").arg(m_parser.value(UnitsOption)));
    }
    if (m_parser.isSet(ClipOption) && !m_parser.isSet(OverlayOption)) {
        for (const QString& option : {OverlayItemsOption, UnitsOption, MaskOption, LayoutOption}) {
            if (m_parser.isSet(option))
                return usageError(err, tr("--%1 needs --overlay: the clip is re-encoded then.").arg(option));
        }
    }
    if (m_parser.isSet(MaskOption) && !request.masks.load(m_parser.value(MaskOption)))
        return failed(err, tr("Bad mask file: %1").arg(request.masks.errorString()));
    return -1;
}

int CommandLine::findTrip(QTextStream& err, const Request& request, Trip::TripList& trip) const
{
    CommandLineTrips found;
    if (!found.load(m_parser.positionalArguments()))
        return failed(err, found.error());
    const auto count = int(found.trips().size());
    if (count == 0)
        return failed(err, tr("No playable recordings found."));
    if (request.trip > count)
        return failed(
            err,
            tr("There is no trip %1: the recordings hold %n trip(s).", nullptr, count).arg(request.trip));
    trip = found.trips()[std::size_t(request.trip - 1)];
    return -1;
}

int CommandLine::refuseExisting(QTextStream& err, const Trip::TripList& trip, const QStringList& paths) const
{
    if (m_parser.isSet(OverwriteOption))
        return -1;
    for (const QString& path : paths) {
        // A recording is never replaced, --overwrite or not: the export itself refuses it.
        if (QFileInfo::exists(path) && RecordingGuard::recordingAt(trip, path).isEmpty())
            return failed(
                err,
                tr("%1 exists already; give --overwrite to replace it.").arg(QDir::toNativeSeparators(path)));
    }
    return -1;
}

int CommandLine::readChannels(QTextStream& err, const Trip::TripList& trip, QStringList& channels) const
{
    channels.clear();
    if (!m_parser.isSet(ChannelOption))
        return -1;
    const QString asked = m_parser.value(ChannelOption);
    const QStringList names = Trip::TripChannels::names(trip);
    if (asked == AllChannels) {
        channels = names;
        return -1;
    }
    if (!names.contains(asked))
        return failed(err, tr("Trip %1 has no channel %2; its channels: %3.")
                               .arg(m_parser.value(TripOption), asked, names.join(QStringLiteral(", "))));
    channels << asked;
    return -1;
}

int CommandLine::list(QTextStream& out, QTextStream& err)
{
    qint64 offsetSeconds = 0;
    if (m_parser.isSet(OffsetOption) && !parseOffset(m_parser.value(OffsetOption), offsetSeconds))
        return usageError(err, tr("--time-offset takes ±HH:MM, not %1.").arg(m_parser.value(OffsetOption)));
    CommandLineTrips found;
    if (!found.load(m_parser.positionalArguments()))
        return failed(err, found.error());
    out << QJsonDocument(CommandLineList::toJson(found, offsetSeconds)).toJson(QJsonDocument::Indented);
    return Success;
}

int CommandLine::exportTrack(QTextStream& out, QTextStream& err)
{
    TrackExport::Format format = TrackExport::Format::Gpx;
    if (!TrackExport::parseFormat(m_parser.value(TrackOption), format))
        return usageError(
            err, tr("--export-track takes gpx, kml or csv, not %1.").arg(m_parser.value(TrackOption)));
    Request request;
    if (const int code = readRequest(err, request); code >= 0)
        return code;
    if (request.output.isEmpty())
        return usageError(err, tr("Name the file to write with -o FILE."));
    Trip::TripList trip;
    if (const int code = findTrip(err, request, trip); code >= 0)
        return code;

    const qint64 duration = TripTimeline(trip).duration();
    if (request.fromMs > duration)
        return failed(
            err,
            tr("--from lies after the end of trip %1 (%2).").arg(request.trip).arg(positionText(duration)));
    const TripDataPtr data = TripSession::loadNow(trip);
    const PositionsPtr positions = request.zones.redact(data->positions());
    if (!data->hasFix())
        return failed(err, tr("Trip %1 has no position data.").arg(request.trip));

    if (const int code = refuseExisting(err, trip, {request.output}); code >= 0)
        return code;

    TrackExport track(trip, positions);
    track.setRange(request.fromMs, request.hasTo ? std::min(request.toMs, duration) : duration);
    track.setClockOffset(request.offsetSeconds);
    track.setName(QFileInfo(trip.front().videoFile).completeBaseName());
    QString error;
    if (!track.save(format, request.output, &error))
        return failed(err, tr("Cannot write %1: %2").arg(request.output, error));
    out << QDir::toNativeSeparators(request.output) << '\n';
    return Success;
}

int CommandLine::exportClip(QTextStream& out, QTextStream& err)
{
    Request request;
    if (const int code = readRequest(err, request); code >= 0)
        return code;
    if (!m_parser.isSet(FromOption) || !request.hasTo)
        return usageError(err, tr("Give the range with --from T --to T."));
    if (request.output.isEmpty())
        return usageError(err, tr("Name the file to write with -o FILE."));
    Trip::TripList trip;
    if (const int code = findTrip(err, request, trip); code >= 0)
        return code;
    const qint64 duration = TripTimeline(trip).duration();
    if (request.fromMs > duration)
        return failed(
            err,
            tr("--from lies after the end of trip %1 (%2).").arg(request.trip).arg(positionText(duration)));

    if (m_parser.isSet(OverlayOption))
        return exportOverlay(out, err, request, trip, duration);
    QStringList channels;
    if (const int code = readChannels(err, trip, channels); code >= 0)
        return code;
    const bool everyChannel = m_parser.value(ChannelOption) == AllChannels;

    const TripDataPtr data = TripSession::loadNow(trip);
    ClipExport clip(trip);
    clip.setRange(request.fromMs, std::min(request.toMs, duration));
    const bool exactCut = m_parser.isSet(ExactCutOption) || channels.size() > 1;
    clip.setExactCut(exactCut);
    if (!channels.isEmpty())
        clip.setChannels(channels, everyChannel);
    const bool withTrack = data->hasFix();
    QStringList targets;
    for (const QString& channel : qAsConst(channels))
        targets << (everyChannel ? Trip::TripChannels::pathFor(request.output, channel) : request.output);
    if (targets.isEmpty())
        targets << request.output;
    if (withTrack)
        targets << ClipExport::trackPathFor(request.output);
    if (const int code = refuseExisting(err, trip, targets); code >= 0)
        return code;
    if (withTrack)
        clip.setPositions(request.zones.redact(data->positions()), request.offsetSeconds);
    if (isatty(STDERR_FILENO)) {
        QObject::connect(&clip, &ClipExport::progressChanged, [&err](int percent) {
            err << '\r' << percent << " %";
            err.flush();
        });
    }
    // Ctrl+C, Ctrl+\, a termination request or the terminal closing stop the export cleanly, so
    // that no partial file stays behind (also where the clip is written under a visible
    // temporary name).
    g_runningExport = &clip;
    const int stops[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    std::array<void (*)(int), std::size(stops)> previous{};
    for (std::size_t i = 0; i < std::size(stops); ++i)
        previous[i] = std::signal(stops[i], cancelRunningExport);
    const bool done = clip.run(request.output);
    for (std::size_t i = 0; i < std::size(stops); ++i)
        std::signal(stops[i], previous[i]);
    g_runningExport = nullptr;
    if (isatty(STDERR_FILENO))
        err << '\r';
    if (!done)
        return failed(err, clip.errorString());
    for (const QString& written : clip.writtenFiles())
        out << QDir::toNativeSeparators(written) << '\n';
    if (!withTrack)
        err << tr("Trip %1 has no position data: no GPX file written.").arg(request.trip) << '\n';
    for (const ClipExport::Missing& missing : clip.missing())
        err << ClipExport::missingText(missing) << '\n';
    if (clip.startsEarly()) {
        // Where the clip really starts, without mixing it into the list of written files.
        const QString early = Units::fixed(double(request.fromMs - clip.clipFromMs()) / 1000.0, 1);
        const QString at = Units::positionText(clip.clipFromMs());
        err << (exactCut ? tr("The clip starts %1 s before --from, at %2 (key frame): its video cannot be "
                              "re-encoded.")
                         : tr("The clip starts %1 s before --from, at %2 (key frame); --exact-cut starts it "
                              "at --from."))
                   .arg(early, at)
            << '\n';
    }
    return clip.missing().empty() ? Success : PartialSuccess;
}

int CommandLine::snapshot(QTextStream& out, QTextStream& err)
{
    Request request;
    if (const int code = readRequest(err, request); code >= 0)
        return code;
    if (!m_parser.isSet(AtOption))
        return usageError(err, tr("Give the position with --at T."));
    Trip::TripList trip;
    if (const int code = findTrip(err, request, trip); code >= 0)
        return code;
    const qint64 duration = TripTimeline(trip).duration();
    if (request.atMs > duration)
        return failed(
            err,
            tr("--at lies after the end of trip %1 (%2).").arg(request.trip).arg(positionText(duration)));

    QStringList channels;
    if (const int code = readChannels(err, trip, channels); code >= 0)
        return code;

    Snapshot still(trip, request.zones.redact(TripSession::loadNow(trip)->positions()));
    // Without a file name, the still is named by the recording's clock time.
    QString path = request.output;
    bool named = true;
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        const QDateTime clock = still.clockAt(request.atMs);
        const QString name = clock.isValid()
                                 ? TripClock::fileName(clock, request.offsetSeconds, QStringLiteral("png"))
                                 : QStringLiteral("snapshot.png");
        path = QDir(path.isEmpty() ? QDir::currentPath() : path).filePath(name);
        named = false;
    }
    // One still per channel; a file named for one channel is written as named.
    QStringList paths;
    for (const QString& channel : qAsConst(channels))
        paths << (named && channels.size() == 1 && m_parser.value(ChannelOption) != AllChannels
                      ? path
                      : Trip::TripChannels::pathFor(path, channel));
    if (channels.isEmpty())
        paths << path;
    if (const int code = refuseExisting(err, trip, paths); code >= 0)
        return code;

    QStringList missing;
    int written = 0;
    for (int i = 0; i < paths.size(); ++i) {
        const bool grabbed =
            channels.isEmpty() ? still.grab(request.atMs) : still.grab(request.atMs, channels[i]);
        if (!grabbed) {
            missing << still.errorString();
            continue;
        }
        QImage image = still.frame();
        // Masks are drawn on the trip's own channel: its still carries them.
        if (!request.masks.isEmpty() && (channels.isEmpty() || channels[i] == trip.front().channel)) {
            // A still is a range of one instant: its masks stand where they are at t = 0.
            if (!request.masks.fits(image.size()))
                return failed(err, tr("Bad mask file: %1").arg(request.masks.errorString()));
            request.masks.apply(image, 0.0);
        }
        if (m_parser.isSet(StampOption))
            image = Snapshot::stamped(image, still.stampLines(request.atMs, request.offsetSeconds));
        if (!still.save(image, paths[i]))
            return failed(err, still.errorString());
        out << QDir::toNativeSeparators(paths[i]) << '\n';
        ++written;
    }
    if (written == 0)
        return failed(err, missing.join(QLatin1Char('\n')));
    for (const QString& line : qAsConst(missing))
        err << line << '\n';
    return missing.isEmpty() ? Success : PartialSuccess;
}

int CommandLine::exportOverlay(QTextStream& out, QTextStream& err, const Request& request,
                               const Trip::TripList& trip, qint64 duration)
{
    int items = OverlayPainter::Band;
    if (m_parser.isSet(OverlayItemsOption) &&
        !OverlayPainter::parseItems(m_parser.value(OverlayItemsOption), items))
        return usageError(err, tr("--overlay-items takes band, map and graph, separated by commas, not %1.")
                                   .arg(m_parser.value(OverlayItemsOption)));
    const TripDataPtr data = TripSession::loadNow(trip);
    const bool withTrack = data->hasFix();
    QStringList targets{request.output};
    if (withTrack)
        targets << ClipExport::trackPathFor(request.output);
    if (const int code = refuseExisting(err, trip, targets); code >= 0)
        return code;

    ChannelComposer::Layout layout = ChannelComposer::Layout::PictureInPicture;
    if (m_parser.isSet(LayoutOption) && !ChannelComposer::parseLayout(m_parser.value(LayoutOption), layout))
        return usageError(err,
                          tr("--layout takes pip, side or main, not %1.").arg(m_parser.value(LayoutOption)));
    QStringList channels;
    if (const int code = readChannels(err, trip, channels); code >= 0)
        return code;
    // The channels shown, the large one first: the one --channel names, else the trip's own.
    QStringList order = Trip::TripChannels::names(trip);
    if (channels.size() == 1 && order.removeAll(channels.front()) > 0)
        order.prepend(channels.front());
    if (!m_parser.isSet(LayoutOption) && m_parser.value(ChannelOption) != AllChannels)
        layout = ChannelComposer::Layout::MainOnly;

    OverlayExport clip(trip);
    clip.setRange(request.fromMs, std::min(request.toMs, duration));
    clip.setItems(items);
    clip.setChannels(layout, order, &ChannelView::channelLabel);
    clip.setMasks(request.masks);
    clip.setTileSource(&CachedTiles::tile);
    if (withTrack)
        clip.setPositions(request.zones.redact(data->positions()), request.offsetSeconds);
    else
        clip.setPositions(nullptr, request.offsetSeconds);
    if (isatty(STDERR_FILENO)) {
        QObject::connect(&clip, &OverlayExport::progressChanged, [&err](int percent) {
            err << '\r' << percent << " %";
            err.flush();
        });
    }
    g_runningOverlay = &clip;
    const int stops[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    std::array<void (*)(int), std::size(stops)> previous{};
    for (std::size_t i = 0; i < std::size(stops); ++i)
        previous[i] = std::signal(stops[i], cancelRunningExport);
    const bool done = clip.run(request.output);
    for (std::size_t i = 0; i < std::size(stops); ++i)
        std::signal(stops[i], previous[i]);
    g_runningOverlay = nullptr;
    if (isatty(STDERR_FILENO))
        err << '\r';
    if (!done)
        return failed(err, clip.errorString());
    out << QDir::toNativeSeparators(request.output) << '\n';
    if (withTrack)
        out << QDir::toNativeSeparators(ClipExport::trackPathFor(request.output)) << '\n';
    else
        err << tr("Trip %1 has no position data: no GPX file written.").arg(request.trip) << '\n';
    return Success;
}
