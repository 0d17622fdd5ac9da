#include "glui/number_text.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string formatInt(int value) { return std::to_string(value); }

std::string formatFloat(double value, int significantDigits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.*g", significantDigits, value);
    std::string text = buffer;
    std::string::size_type exponentAt = text.find_first_of("eE");
    std::string exponent = exponentAt == std::string::npos ? "" : text.substr(exponentAt);
    std::string mantissa = text.substr(0, exponentAt);
    std::string::size_type point = mantissa.find('.');
    if (point != std::string::npos)
        while (mantissa.size() > point + 2 && mantissa.back() == '0') mantissa.pop_back();
    return mantissa + exponent;
}

// Without the point that the usual form keeps after a whole mantissa:
// "123456." -> "123456", "7.e+03" -> "7e+03".
static std::string withoutBarePoint(std::string text) {
    const std::string::size_type point = text.find('.');
    if (point != std::string::npos && (point + 1 == text.size() || text[point + 1] == 'e'))
        text.erase(point, 1);
    return text;
}

// Fewer digits, rounded, rather than the first digits of a longer text: a box
// that cut "-14.5692" showed "-14.56".
std::string roundedToFit(double value, const std::function<bool(const std::string&)>& fits) {
    std::string text = formatFloat(value);
    for (int digits = 6; !fits(text) && digits >= 1; --digits)
        text = withoutBarePoint(formatFloat(value, digits));
    return text;
}

// A plain conversion of a value beyond the int range (typed, or loaded from a
// file: 1e10, inf, nan) is undefined behaviour.
int intFromFloat(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT_MAX;
    if (value < -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);
}

bool parseInt(const std::string& text, int& value) {
    const char* start = text.c_str();
    char* end = nullptr;
    long parsed = std::strtol(start, &end, 10);
    if (end == start) return false;
    if (parsed > INT_MAX) parsed = INT_MAX;
    if (parsed < INT_MIN) parsed = INT_MIN;
    value = static_cast<int>(parsed);
    return true;
}

bool parseFloat(const std::string& text, float& value) {
    const char* start = text.c_str();
    char* end = nullptr;
    double parsed = std::strtod(start, &end);
    if (end == start) return false;
    value = static_cast<float>(parsed);
    return true;
}
