#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Every engine option list of the library, in one place.
namespace VlcOptions {

// Trip playback; without hardware decoding every picture is decoded in software.
QStringList playback(bool hardwareDecoding = true);

// A fixed argument table used in place, without copies.
struct ArgTable
{
    int count;
    const char* const* args;
};

// Length probe.
ArgTable durationProbe();

// Frame grabbing: the engine options, and the stream-output chain that scales
// every frame to height rows of 32-bit RGB and hands it to the two callbacks.
// The chain is a media option (":sout=..."): the player ignores one given to
// the engine.
QStringList thumbnail();
QString thumbnailChain(int height, std::intptr_t prerender, std::intptr_t postrender, std::intptr_t data);

} // namespace VlcOptions
