#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "masks.h"
#include "privacyzones.h"
#include "tripitem.h"

class QTextStream;

// The program's command line. Without a command it names files and folders to open in the
// window; with one (help, version, list, track, clip or still export) it runs on its own, with
// no window and no display, and ends with an exit code: 0 done, 1 the command failed, 2 the
// command line is wrong, 3 done but for channels without a readable recording there.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    enum ExitCode
    {
        Success = 0,
        Failed = 1,
        UsageError = 2,
        PartialSuccess = 3
    };

    enum class Mode
    {
        Window,   // open the paths in the window
        Headless, // a command that needs no more than QCoreApplication
        Painting  // a command that paints text: QGuiApplication on the offscreen platform
    };

    explicit CommandLine(const QStringList& arguments);

    Mode mode() const { return m_mode; }
    // The files and folders to open in the window.
    QStringList paths() const { return m_parser.positionalArguments(); }
    // Diagnostics asked for with --verbose.
    bool verbose() const;
    // --no-cache: what was learnt of recordings in earlier runs is neither used nor kept.
    bool noCache() const;

    // Runs the command; needs the application object that mode() asks for.
    int run();
    // The same, writing to the given streams (tests).
    int run(QTextStream& out, QTextStream& err);

    // A trip position: "mm:ss", "hh:mm:ss" or seconds, each with decimals ("0:12.5"), in ms.
    static bool parsePosition(const QString& text, qint64& ms);
    // "+HH:MM", "-HH:MM" or "HH:MM" in seconds.
    static bool parseOffset(const QString& text, qint64& seconds);

    // Loads the catalog of the system's language for the texts of the command line.
    static void installTranslator();

private:
    // Values of the options of the trip commands.
    struct Request
    {
        int trip = 0;
        qint64 fromMs = 0;
        qint64 toMs = 0;
        bool hasTo = false;
        qint64 atMs = 0;
        qint64 offsetSeconds = 0;
        QString output;
        PrivacyZones zones; // given and stored
        Masks masks;
    };

    void addOptions();
    // -1 when the options are good, otherwise the exit code after the message.
    int readRequest(QTextStream& err, Request& request) const;
    // -1 with the requested trip in `trip`, otherwise the exit code after the message.
    int findTrip(QTextStream& err, const Request& request, Trip::TripList& trip) const;
    // Fails for the first of `paths` that exists, unless --overwrite is given; -1 otherwise.
    // Recordings of `trip` are left to the export, which never replaces them.
    int refuseExisting(QTextStream& err, const Trip::TripList& trip, const QStringList& paths) const;
    // -1 with the channels --channel asks for in `channels` (none without it), otherwise the
    // exit code after the message.
    int readChannels(QTextStream& err, const Trip::TripList& trip, QStringList& channels) const;
    int usageError(QTextStream& err, const QString& message) const;
    int failed(QTextStream& err, const QString& message) const;
    int list(QTextStream& out, QTextStream& err);
    int exportTrack(QTextStream& out, QTextStream& err);
    int exportClip(QTextStream& out, QTextStream& err);
    int exportOverlay(QTextStream& out, QTextStream& err, const Request& request, const Trip::TripList& trip,
                      qint64 duration);
    int snapshot(QTextStream& out, QTextStream& err);

    QCommandLineParser m_parser;
    QStringList m_arguments;
    bool m_parsed = false;
    Mode m_mode = Mode::Window;
};
