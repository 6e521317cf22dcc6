#include "controls/data_exchange.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "lang/language.h"

namespace {

// The program's string table ids of the framework's messages.
constexpr int kNotANumberId = 61713;
constexpr int kIntegerRangeId = 61714;
constexpr int kNumberRangeId = 61715;

std::string Text(int id, const char* builtin) {
    std::string text = theLanguage.GetString(id);
    return text.empty() ? builtin : text;
}

std::string FillBounds(std::string text, const std::string& low, const std::string& high) {
    for (auto [mark, value] : {std::pair{"%1", low}, std::pair{"%2", high}}) {
        std::size_t at = text.find(mark);
        if (at != std::string::npos) text.replace(at, 2, value);
    }
    return text;
}

std::string FormatFloatBound(double bound) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", std::numeric_limits<float>::digits10, bound);
    return text;
}

}  // namespace

std::optional<double> ReadLeadingNumber(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(start, &end);
    if (end == start) return std::nullopt;
    // "nan" and "inf" are numbers to strtod, not to someone typing a duration.
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

int ReadLeadingInteger(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(start, &end, 10);
    if (end == start) return 0;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

std::string FormatExchangedDouble(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::optional<std::string> CheckIntegerRange(double value, int low, int high) {
    double truncated = std::trunc(value);
    if (truncated >= low && truncated <= high) return std::nullopt;
    return FillBounds(Text(kIntegerRangeId, "Enter an integer between %1 and %2."), std::to_string(low),
                      std::to_string(high));
}

std::optional<std::string> CheckNumberRange(double value, double low, double high) {
    const bool fits = std::fabs(value) <= std::numeric_limits<float>::max();
    const float single = fits ? static_cast<float>(value) : 0;
    if (fits && single >= static_cast<float>(low) && single <= static_cast<float>(high)) return std::nullopt;
    return FillBounds(Text(kNumberRangeId, "Enter a number between %1 and %2."), FormatFloatBound(low),
                      FormatFloatBound(high));
}

std::string NotANumberMessage() { return Text(kNotANumberId, "Enter a number."); }
