#include "commandline.h"
#include "filenamecodec.h"
#include "fserrormode.h"
#include "highdpi.h"
#include "instancechannel.h"
#include "mainwindow.h"
#include "mediacache.h"
#include "messagehandler.h"
#include "zelcfg.h"

#include <vireo/vlcinstance.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QSharedMemory>
#include <QThread>
#include <QTimer>

#include <locale>
#include <memory>

namespace {

// Identifies the running instance: the key of the single-instance segment.
const QString InstanceKey = QStringLiteral("5f0e7c2a-9d41-4b8e-a3c6-71d2e8b40f95");
const int InstanceSegmentSize = 512;

// Creates the single-instance segment. A segment left by an instance that died is
// removed by attaching to it and detaching again; a live instance keeps it attached.
bool acquireInstanceSegment(QSharedMemory& segment)
{
    if (segment.create(InstanceSegmentSize, QSharedMemory::ReadWrite)) {
        return true;
    }
    if (segment.error() != QSharedMemory::AlreadyExists) {
        return true;
    }
    segment.attach(QSharedMemory::ReadWrite);
    segment.detach();
    return segment.create(InstanceSegmentSize, QSharedMemory::ReadWrite);
}

// Runs a command of the command line without a window: on QCoreApplication, or on the offscreen
// platform when it paints text. It never takes the single-instance lock, so a running window
// neither stops it nor receives its work.
int runCommand(int argc, char* argv[], CommandLine::Mode mode)
{
    std::unique_ptr<QCoreApplication> app;
    if (mode == CommandLine::Mode::Painting) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    CommandLine::installTranslator();
    return CommandLine(QCoreApplication::arguments()).run();
}

// Hands the paths to the running window, allowing it `waitMs` to start listening.
bool handOver(const QString& channel, const QStringList& paths, int waitMs)
{
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    QElapsedTimer timer;
    timer.start();
    do {
        if (InstanceChannel::send(channel, absolute))
            return true;
        QThread::msleep(100);
    } while (timer.elapsed() < waitMs);
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // Standard-library number parsing and printing always use a decimal point.
    std::locale::global(std::locale(std::locale(), std::locale::classic(), std::locale::numeric));
    originalHandler = qInstallMessageHandler(messageHandler);
    QCoreApplication::setApplicationName(ZelCfg::AppName);
    QCoreApplication::setApplicationVersion(ZelCfg::AppVersion);
    // File names keep their bytes, also those that are not UTF-8: before any name is read.
    Fs::keepFileNameBytes();

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine(arguments);
    setDiagnosticsEnabled(diagnosticsRequested() || commandLine.verbose());
    MediaCache::setEnabled(!commandLine.noCache());
    const CommandLine::Mode mode = commandLine.mode();
    if (mode != CommandLine::Mode::Window)
        return runCommand(argc, argv, mode);

    // The video engine draws into native X11 windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Xlib's thread support, which the engine's video output needs, is always
    // initialised by Qt 5.15's X11 platform; the old opt-in attribute is obsolete.

    HighDpi::enable();
    auto app = std::make_unique<QApplication>(argc, argv);
    Fs::suppressFsErrNotifications();
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, app.get(), &appClosing, Qt::DirectConnection);

    auto instanceSegment = std::make_unique<QSharedMemory>(InstanceKey);
    // Files and folders named on the command line (Qt's own options are taken out by now).
    const QStringList paths = CommandLine(QCoreApplication::arguments()).paths();
    const QString channelName = InstanceChannel::nameFor(instanceSegment->nativeKey());
    // A second start with paths hands them to the running window and ends.
    if (!paths.isEmpty() && handOver(channelName, paths, 0))
        return 0;

    VlcInstance::SetupLibrary(QCoreApplication::applicationDirPath() + QStringLiteral("/plugins"));
    auto window = std::make_unique<MainWindow>();

    if (!acquireInstanceSegment(*instanceSegment)) {
        // An instance still starting up gets a moment to open its channel.
        if (paths.isEmpty() || !handOver(channelName, paths, 3000)) {
            QMessageBox::critical(nullptr, ZelCfg::AppName, QObject::tr("Application already started!"),
                                  QMessageBox::Ok, QMessageBox::NoButton);
        }
        window.reset();
        instanceSegment.reset();
        app.reset();
        return 0;
    }

    // Paths of later starts open as if chosen in the open dialog.
    InstanceChannel channel(channelName);
    QObject::connect(&channel, &InstanceChannel::pathsReceived, window.get(),
                     [&window](const QStringList& handed) {
                         window->openPaths(handed);
                         window->raise();
                         window->activateWindow();
                     });
    channel.listen();

    window->show();
    // Files and folders named on the command line open as if chosen in the open dialog.
    if (!paths.isEmpty()) {
        QTimer::singleShot(0, window.get(), [&window, paths]() { window->openPaths(paths); });
    }
    const int result = app->exec();
    window.reset();
    instanceSegment.reset();
    app.reset();
    return result;
}
