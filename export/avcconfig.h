#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

// The decoder configuration of an H.264 track in MP4 (the avcC record): the sequence and picture
// parameter sets and the size of the length before each NAL unit of a sample. A clip whose
// start is re-encoded adds the encoder's parameter sets under ids the recording does not use, so
// one record describes both the re-encoded and the copied pictures.
class AvcConfig
{
public:
    // Reads an avcC record; false when `data` is none.
    bool read(const uint8_t* data, int size);
    // Adds the parameter sets of an Annex B header (NAL units after start codes); false when it
    // holds no sequence or no picture parameter set.
    bool addAnnexB(const uint8_t* data, int size);
    // The record with every parameter set read or added.
    QByteArray record() const;

    int lengthSize() const { return m_lengthSize; }
    int profile() const { return m_head.size() == 4 ? uint8_t(m_head[1]) : 0; }
    int level() const { return m_head.size() == 4 ? uint8_t(m_head[3]) : 0; }
    // The smallest id that no sequence and no picture parameter set uses; -1 when none is free.
    int freeId() const;

    // The NAL units of an Annex B stream, each after a 4-byte big-endian length.
    static QByteArray lengthPrefixed(const uint8_t* data, int size);
    // The NAL units of an Annex B stream, without start codes and trailing zero bytes.
    static QList<QByteArray> nalUnits(const uint8_t* data, int size);
    // The id a sequence or picture parameter set NAL unit declares; -1 for anything else.
    static int parameterSetId(const QByteArray& nal);

private:
    QByteArray m_head; // version, profile, profile compatibility, level
    int m_lengthSize = 4;
    QList<QByteArray> m_sps;
    QList<QByteArray> m_pps;
    QByteArray m_tail; // the extension of the High profiles
};
