#pragma once

#include <QImage>
#include <QString>

// Thumbnails of videos kept in the freedesktop.org thumbnail layout, so that
// file managers and this program use each other's: PNG files under
// $XDG_CACHE_HOME/thumbnails/normal (at most 128 pixels) and large (at most 256), named by the
// MD5 of the video's URI, with the URI and the video's modification time in their text chunks.
// A thumbnail whose URI or time does not match the video as it is now is not used. Videos that
// gave no picture are noted under fail/, in this program's own folder there.
//
// Nothing is read or written while the cache is switched off (MediaCache::isEnabled).
namespace ThumbnailStore {

// Longest side of a thumbnail in normal/ and in large/.
constexpr int NormalSize = 128;
constexpr int LargeSize = 256;

// $XDG_CACHE_HOME/thumbnails.
QString root();
// The video's URI as the thumbnails name it: "file://" and the absolute path, percent-encoded.
QString uriOf(const QString& video);
// The MD5 of the URI in hexadecimal, with ".png".
QString fileNameFor(const QString& video);
// This program's folder of videos that gave no picture.
QString failFolder();

// A valid thumbnail of the video as it is now, from normal/ or else from large/; null when none.
QImage find(const QString& video);
// Whether this program noted the video, as it is now, as giving no picture.
bool hasFailed(const QString& video);

// Writes the picture, scaled to fit normal/, as the video's thumbnail; false when it cannot.
bool save(const QString& video, const QImage& picture);
// Notes that the video, as it is now, gave no picture.
bool saveFailure(const QString& video);

} // namespace ThumbnailStore
