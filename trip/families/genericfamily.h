#pragma once

#include "camerafamily.h"

namespace Camera {

// Any video whose name holds a date and time; its positions in a ".nmea" or ".gpx" file beside
// it when there is one. Asked last, after every family with a stricter grammar.
class GenericFamily : public CameraFamily
{
public:
    static const QString Id;

    QString id() const override { return Id; }
    Recording recognise(const QString& videoFile) const override;
};

} // namespace Camera
