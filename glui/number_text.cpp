#include "glui/number_text.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string formatInt(int value) { return std::to_string(value); }

std::string formatFloat(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#g", static_cast<double>(value));
    std::string text = buffer;
    std::string::size_type exponentAt = text.find_first_of("eE");
    std::string exponent = exponentAt == std::string::npos ? "" : text.substr(exponentAt);
    std::string mantissa = text.substr(0, exponentAt);
    std::string::size_type point = mantissa.find('.');
    if (point != std::string::npos)
        while (mantissa.size() > point + 2 && mantissa.back() == '0') mantissa.pop_back();
    return mantissa + exponent;
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
