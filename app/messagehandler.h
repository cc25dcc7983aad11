#pragma once

#include <QtGlobal>

#include <string>

// The handler installed for all Qt messages. Diagnostics are silent unless switched on (the
// environment variable TARROW_DEBUG=1 or --verbose): then every message that the logging rules
// (QT_LOGGING_RULES) let through goes to stderr, one line each, with its category. A fatal
// message is always written: the process ends right after it, and it says why.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The handler that was installed before messageHandler.
extern QtMessageHandler originalHandler;

// Switches the writing of diagnostics to stderr on or off; off at start.
void setDiagnosticsEnabled(bool enabled);
bool diagnosticsEnabled();
// True when the environment asks for diagnostics: TARROW_DEBUG is set to anything but "0".
bool diagnosticsRequested();

// Restores the system error mode when the application is about to quit.
void appClosing();

namespace Utilities {
// Severity number of a message type (lower is more severe) and its line prefix;
// -1 and an unchanged prefix for an unknown type.
int QtMsgTypeToInt(std::string& prefix, QtMsgType type);
} // namespace Utilities
