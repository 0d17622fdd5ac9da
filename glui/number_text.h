// How numeric edit fields show and read their values.
#pragma once

#include <string>

std::string formatInt(int value);
// Six significant digits with the trailing zeros dropped but one digit kept
// after the point: 1 -> "1.0", 0.0025 -> "0.0025", 1234567 -> "1.23457e+06";
// an exponent keeps its digits ("1.0e+10").
std::string formatFloat(float value);
// A float field's value as an int: toward zero, saturated at the int range,
// 0 for not-a-number.
int intFromFloat(float value);
// Read the longest number at the start of text; false if there is none.
bool parseInt(const std::string& text, int& value);
bool parseFloat(const std::string& text, float& value);
