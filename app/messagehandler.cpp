#include "messagehandler.h"

#include "fserrormode.h"

QtMessageHandler originalHandler = nullptr;

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(type)
    Q_UNUSED(context)
    Q_UNUSED(message)
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
