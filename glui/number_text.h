// How numeric edit fields show and read their values.
#pragma once

#include <functional>
#include <string>

std::string formatInt(int value);
// Six (or the given number of) significant digits with the trailing zeros
// dropped but one digit kept after the point: 1 -> "1.0", 0.0025 -> "0.0025",
// 1234567 -> "1.23457e+06"; an exponent keeps its digits ("1.0e+10").
std::string formatFloat(double value, int significantDigits = 6);
// The text of a number for a box that may be too narrow for it: its usual
// text if `fits` accepts it, otherwise the most significant digits that fit,
// rounded, in exponent form once the integer part no longer fits (without the
// point the usual form keeps after a whole mantissa); one digit when nothing fits.
std::string roundedToFit(double value, const std::function<bool(const std::string&)>& fits);
// A float field's value as an int: toward zero, saturated at the int range,
// 0 for not-a-number.
int intFromFloat(float value);
// Read the longest number at the start of text; false if there is none.
bool parseInt(const std::string& text, int& value);
bool parseFloat(const std::string& text, float& value);
