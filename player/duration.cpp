#include "duration.h"

QString Duration::toString() const
{
    const auto t = static_cast<unsigned long long>(qMax<qint64>(m_ms, 0));
    if (t < 3600000ULL) {
        return QString::asprintf("%02llu:%02llu", t / 60000ULL, (t / 1000ULL) % 60ULL);
    }
    return QString::asprintf("%02llu:%02llu:%02llu", t / 3600000ULL, (t / 60000ULL) % 60ULL,
                             (t / 1000ULL) % 60ULL);
}
