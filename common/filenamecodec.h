#pragma once

#include <QByteArray>
#include <QString>

namespace Fs {

// File names on Linux are bytes; most are UTF-8, but a card formatted elsewhere can carry
// names that are not. Qt turns such bytes into replacement characters, after which the file
// can no longer be opened. This makes Qt's local 8-bit conversion (QFile::decodeName,
// QFile::encodeName, command-line arguments, directory listings) byte-preserving: valid UTF-8
// reads as before, and each byte of an invalid sequence becomes one code unit in the range
// U+DC80..U+DCFF that turns back into the same byte. Installed once, when the locale's
// encoding is UTF-8; call it before the first file name is read.
void keepFileNameBytes();

// The conversions themselves, as the installed codec applies them to whole names.
QString decodeFileName(const QByteArray& bytes);
QByteArray encodeFileName(const QString& name);

} // namespace Fs
