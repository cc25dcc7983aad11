#pragma once

#include "qnmeapositioninfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>

// The records of one parsed file in a compact byte form: what the parser keeps of every file of a
// selection (a few dozen bytes a record, where the records themselves take hundreds) and what the
// cache keeps between runs. Decoding gives back records equal in every field, timestamps with
// their kind of zone, attributes set or unset as they were, markers and file name.
class NmeaFileCodec
{
public:
    NmeaFileCodec() = delete;

    using Records = QMap<QDateTime, QNmeaPositionInfo>;

    // The records after `prefix`, which the caller reads itself.
    static QByteArray encode(const Records& records, const QByteArray& prefix = {});
    // False when `bytes` from `offset` on are not a whole encoded value; `records` is then left
    // as it was.
    static bool decode(const QByteArray& bytes, Records& records, int offset = 0);
    // The same check without making the records: cheap enough for every file a cache gives back.
    static bool isWhole(const QByteArray& bytes, int offset = 0);
    // Records whose coordinate is valid.
    static int validPositions(const Records& records);

private:
    // Reads `bytes` through; makes the records into `records` unless it is null.
    static bool walk(const QByteArray& bytes, int offset, Records* records);
};
