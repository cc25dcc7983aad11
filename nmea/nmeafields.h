#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The comma-separated fields of one NMEA line, as views into the line. Counted like
// Utilities::split(line, ","): no field after a trailing comma, one field for a line without comma.
// Only the leading fields are kept; no handler reads further, however long the line is.
class NmeaFields
{
public:
    static constexpr std::size_t Kept = 16;

    NmeaFields() = default;
    explicit NmeaFields(std::string_view line) { assign(line); }
    explicit NmeaFields(const std::vector<std::string>& fields);

    void assign(std::string_view line);

    std::size_t size() const { return m_count; }
    std::string_view operator[](std::size_t index) const
    {
        return index < Kept && index < m_count ? m_fields[index] : std::string_view();
    }
    // True when the field exists and is not empty.
    bool has(std::size_t index) const { return !(*this)[index].empty(); }

private:
    std::array<std::string_view, Kept> m_fields{};
    std::size_t m_count = 0;
};
