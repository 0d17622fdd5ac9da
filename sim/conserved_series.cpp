#include "sim/conserved_series.h"

#include <cctype>
#include <charconv>

#include "sim/conserved_quantities.h"

// momentumX -> momentum_x: the names the rest of the program uses, in the
// spelling spreadsheets and plotting tools take without quoting.
static std::string snakeCase(const char* name) {
    std::string text;
    for (const char* c = name; *c != '\0'; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c))) {
            text += '_';
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        } else {
            text += *c;
        }
    }
    return text;
}

std::string seriesHeader() {
    std::string text = "step,time";
    for (int k = 0; k < Conserved::Count; ++k) text += "," + snakeCase(Conserved::names[k]);
    return text + "\n";
}

template <typename Number>
static void appendShortest(std::string& text, Number value) {
    char digits[64];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, end.ptr);
}

std::string seriesRow(long long step, double time, const float* values) {
    std::string text;
    appendShortest(text, step);
    text += ',';
    appendShortest(text, time);
    for (int k = 0; k < Conserved::Count; ++k) {
        text += ',';
        appendShortest(text, values[k]);
    }
    return text + "\n";
}
