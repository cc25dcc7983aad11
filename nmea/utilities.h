#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Utilities {

// Cuts `text` at every match of the ECMAScript expression `separator`. Empty fields between two
// separators remain, an empty field after the last one is not produced, and a text without separator
// (also an empty one) gives one field. Literal separators are cut without the regex engine, so lines
// of any length are safe.
std::vector<std::string> split(const std::string& text, const std::string& separator);

// The number at the start of `text` (leading blanks skipped), NaN when there is none or it is out of
// range. Independent of the process locale.
double secureStod(const std::string& text);
double secureStod(std::string_view text);
inline double secureStod(const char* text)
{
    return secureStod(std::string_view(text));
}

// The whole of `text` (surrounding blanks allowed) as a number; false when anything else is in it.
bool toDouble(std::string_view text, double& value);

// The decimal integer at the start of `text` (leading blanks skipped); false when there is none or it
// does not fit an int.
bool toIntPrefix(std::string_view text, int& value);

} // namespace Utilities
