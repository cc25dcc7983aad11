#include "fserrormode.h"
#include "mainwindow.h"
#include "messagehandler.h"
#include "zelcfg.h"

#include <vireo/vlcinstance.h>

#include <QApplication>
#include <QMessageBox>
#include <QSharedMemory>
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

} // namespace

int main(int argc, char* argv[])
{
    // Standard-library number parsing and printing always use a decimal point.
    std::locale::global(std::locale(std::locale(), std::locale::classic(), std::locale::numeric));
    originalHandler = qInstallMessageHandler(messageHandler);
    QCoreApplication::setApplicationName(ZelCfg::AppName);
    QCoreApplication::setApplicationVersion(ZelCfg::AppVersion);
    // The video engine draws into native X11 windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Xlib's thread support, which the engine's video output needs, is always
    // initialised by Qt 5.15's X11 platform; the old opt-in attribute is obsolete.

    auto app = std::make_unique<QApplication>(argc, argv);
    Fs::suppressFsErrNotifications();
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, app.get(), &appClosing, Qt::DirectConnection);

    auto instanceSegment = std::make_unique<QSharedMemory>(InstanceKey);
    VlcInstance::SetupLibrary(QCoreApplication::applicationDirPath() + QStringLiteral("/plugins"));
    auto window = std::make_unique<MainWindow>();

    if (!acquireInstanceSegment(*instanceSegment)) {
        QMessageBox::critical(nullptr, ZelCfg::AppName, QObject::tr("Application already started!"),
                              QMessageBox::Ok, QMessageBox::NoButton);
        window.reset();
        instanceSegment.reset();
        app.reset();
        return 0;
    }

    window->show();
    // Files and folders named on the command line open as if chosen in the open dialog.
    const QStringList paths = QCoreApplication::arguments().mid(1);
    if (!paths.isEmpty()) {
        QTimer::singleShot(0, window.get(), [&window, paths]() { window->openPaths(paths); });
    }
    const int result = app->exec();
    window.reset();
    instanceSegment.reset();
    app.reset();
    return result;
}
