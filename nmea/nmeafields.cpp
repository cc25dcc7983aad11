#include "nmeafields.h"

#include <cstring>

NmeaFields::NmeaFields(const std::vector<std::string>& fields) : m_count(fields.size())
{
    for (std::size_t i = 0; i < Kept && i < fields.size(); ++i)
        m_fields[i] = fields[i];
}

void NmeaFields::assign(std::string_view line)
{
    const char* begin = line.data();
    const char* const end = begin + line.size();
    std::size_t count = 0;
    bool separated = false;
    while (begin != end) {
        const auto* comma = static_cast<const char*>(std::memchr(begin, ',', std::size_t(end - begin)));
        if (!comma)
            break;
        if (count < Kept)
            m_fields[count] = std::string_view(begin, std::size_t(comma - begin));
        ++count;
        begin = comma + 1;
        separated = true;
    }
    if (!separated || begin != end) {
        if (count < Kept)
            m_fields[count] = std::string_view(begin, std::size_t(end - begin));
        ++count;
    }
    m_count = count;
}
