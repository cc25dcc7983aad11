#pragma once

#include <QDateTime>
#include <QString>

namespace Camera {

// Date and time written in a file name, as cameras write them: "20240501120000",
// "2024_0501_120000", "20240501_120000", "2024-05-01_12-00-00", "2024-05-01 12.00.00".
class NameTime
{
public:
    NameTime() = delete;

    // The first valid date and time in `name`, kept as Qt::UTC; invalid when there is none.
    // Digits that run on (a longer number) are no date-time.
    static QDateTime find(const QString& name);
};

} // namespace Camera
