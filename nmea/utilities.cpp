#include "utilities.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <regex>

namespace Utilities {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isLiteral(const std::string& separator)
{
    static const std::string_view special = "^$\\.*+?()[]{}|";
    return !separator.empty() &&
           separator.find_first_of(special.data(), 0, special.size()) == std::string::npos;
}

std::vector<std::string> splitLiteral(const std::string& text, const std::string& separator)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    bool matched = false;
    for (std::size_t hit = text.find(separator); hit != std::string::npos; hit = text.find(separator, pos)) {
        fields.emplace_back(text, pos, hit - pos);
        pos = hit + separator.size();
        matched = true;
    }
    if (!matched || pos < text.size())
        fields.emplace_back(text, pos);
    return fields;
}

std::regex::flag_type regexFlags()
{
#ifdef __GLIBCXX__
    // The breadth-first matcher keeps its stack flat however long a match runs.
    return std::regex::ECMAScript | std::regex_constants::__polynomial;
#else
    return std::regex::ECMAScript;
#endif
}

} // namespace

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    if (isLiteral(separator))
        return splitLiteral(text, separator);

    const std::regex expression(separator, regexFlags());
    std::vector<std::string> fields;
    for (std::sregex_token_iterator it(text.begin(), text.end(), expression, -1), end; it != end; ++it)
        fields.push_back(it->str());
    if (fields.empty())
        fields.emplace_back();
    return fields;
}

double secureStod(const std::string& text)
{
    return secureStod(std::string_view(text));
}

double secureStod(std::string_view text)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && isBlank(*p))
        ++p;
    // stod reads a C string: it stops at the first NUL
    for (const char* q = p; q != end; ++q) {
        if (*q == '\0') {
            end = q;
            break;
        }
    }
    if (p != end && *p == '+') {
        ++p;
        if (p != end && *p == '-')
            return nan;
    }
    const char* digits = (p != end && *p == '-') ? p + 1 : p;
    if (end - digits > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        // Hexadecimal numbers are rare enough to leave to the C library.
        const std::string copy(p, end);
        char* stop = nullptr;
        errno = 0;
        const double value = std::strtod(copy.c_str(), &stop);
        return (stop == copy.c_str() || errno == ERANGE) ? nan : value;
    }
    double value = 0.0;
    const auto result = std::from_chars(p, end, value);
    return result.ec == std::errc() ? value : nan;
}

bool toDouble(std::string_view text, double& value)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    double parsed = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

bool toIntPrefix(std::string_view text, int& value)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return false;
    }
    int parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc())
        return false;
    value = parsed;
    return true;
}

} // namespace Utilities
