#pragma once

#include <QString>

// The engine's error texts. The engine keeps the text of a failed call per thread: it is
// read right after the call, on the thread that made it, and passed on from there.
namespace VlcError {

// The text the engine left for the last call that failed on this thread, cleared once read;
// "no reason given" when it left none.
QString take();

// Logs that `what` failed with the engine's text for it, and returns that text.
QString report(const char* what);

// Remembers an error message of the engine, on the thread that logged it.
void remember(const char* text);
// The last error message the engine logged on this thread, cleared once read; empty when
// there is none.
QString takeLogged();

} // namespace VlcError
