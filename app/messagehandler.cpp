#include "messagehandler.h"

#include "fserrormode.h"

#include <QString>

#include <atomic>
#include <cstdio>
#include <cstring>

QtMessageHandler originalHandler = nullptr;

namespace {

std::atomic<bool> g_diagnostics{false};

} // namespace

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg && !g_diagnostics.load(std::memory_order_relaxed)) {
        return;
    }
    std::string line;
    Utilities::QtMsgTypeToInt(line, type);
    if (context.category && std::strcmp(context.category, "default") != 0) {
        line += context.category;
        line += ": ";
    }
    line += message.toLocal8Bit().constData();
    line += '\n';
    // One write per line, so lines of different threads never interleave.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void setDiagnosticsEnabled(bool enabled)
{
    g_diagnostics.store(enabled, std::memory_order_relaxed);
}

bool diagnosticsEnabled()
{
    return g_diagnostics.load(std::memory_order_relaxed);
}

bool diagnosticsRequested()
{
    const QByteArray value = qgetenv("TARROW_DEBUG").trimmed();
    return !value.isEmpty() && value != "0";
}

void appClosing()
{
    Fs::restoreFsErrNotifications();
}

namespace Utilities {

int QtMsgTypeToInt(std::string& prefix, QtMsgType type)
{
    switch (type) {
    case QtFatalMsg:
        prefix = "FATAL: ";
        return 0;
    case QtCriticalMsg:
        prefix = "CRITICAL: ";
        return 1;
    case QtWarningMsg:
        prefix = "WARNING: ";
        return 2;
    case QtInfoMsg:
        prefix = "INFO: ";
        return 3;
    case QtDebugMsg:
        prefix = "DEBUG: ";
        return 4;
    }
    return -1;
}

} // namespace Utilities
