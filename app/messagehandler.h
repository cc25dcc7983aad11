#pragma once

#include <QtGlobal>

#include <string>

// The program keeps no diagnostic log: this handler discards every Qt message.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The handler that was installed before messageHandler.
extern QtMessageHandler originalHandler;

// Restores the system error mode when the application is about to quit.
void appClosing();

namespace Utilities {
// Severity number of a message type (lower is more severe) and its line prefix;
// -1 and an unchanged prefix for an unknown type.
int QtMsgTypeToInt(std::string& prefix, QtMsgType type);
} // namespace Utilities
