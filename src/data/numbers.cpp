#include "data/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ws {

double NumericPrefix(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    size_t end = i;
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9')
            ++j;
        if (j > i + 1 || end > digitsStart)
            end = j;
    }
    if (end == digitsStart)
        return 0.0;
    std::string_view number = text.substr(digitsStart, end - digitsStart);
    // from_chars wants at least one digit before a lone trailing point.
    std::string buffer;
    if (number.front() == '.' || number.back() == '.') {
        buffer.reserve(number.size() + 2);
        if (number.front() == '.')
            buffer += '0';
        buffer += number;
        if (buffer.back() == '.')
            buffer += '0';
        number = buffer;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Either far too large or vanishingly small: tell them apart by the integer digits.
        size_t firstNonZero = 0;
        while (firstNonZero < number.size() && (number[firstNonZero] == '0'))
            ++firstNonZero;
        const bool tiny = firstNonZero >= number.size() || number[firstNonZero] == '.';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<int16_t> RoundToInt16(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0))
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> RoundToInt32(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<float> ToSingle(double value) {
    if (std::isnan(value))
        return std::nullopt;
    const double maxFloat = std::numeric_limits<float>::max();
    if (value > maxFloat || value < -maxFloat)
        return std::nullopt;
    return static_cast<float>(value);
}

namespace {

// The shortest decimal text that reads back to the same value ("1.005" for the float nearest
// 1.005, which is 1.00499999523...). Rounding that text, not the binary value, is what makes a
// half hundredth round up as a person reading the number expects; a float widened to double
// would otherwise show its binary tail and round down about half the time.
template <typename T>
std::string ShortestText(T value) {
    char buf[400];  // the largest double written out in full has 309 digits
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

// Digits of |value| rounded to `decimals` places, halves away from zero, as "int|fraction".
std::string RoundedDigits(std::string text, int decimals, bool& negative) {
    negative = !text.empty() && text.front() == '-';
    if (negative)
        text.erase(0, 1);
    const size_t point = text.find('.');
    std::string digits = text.substr(0, point);
    int intDigits = static_cast<int>(digits.size());
    if (point != std::string::npos)
        digits += text.substr(point + 1);
    const size_t keep = static_cast<size_t>(intDigits + decimals);
    bool roundUp = false;
    if (digits.size() > keep) {
        roundUp = digits[keep] >= '5';
        digits.resize(keep);
    } else {
        digits.append(keep - digits.size(), '0');
    }
    if (roundUp) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<size_t>(k)] == '9')
            digits[static_cast<size_t>(k--)] = '0';
        if (k < 0) {
            digits.insert(digits.begin(), '1');
            ++intDigits;
        } else {
            ++digits[static_cast<size_t>(k)];
        }
    }
    size_t lead = 0;
    while (lead + 1 < static_cast<size_t>(intDigits) && digits[lead] == '0')
        ++lead;
    digits.erase(0, lead);
    intDigits -= static_cast<int>(lead);
    // Keep the sign only for a value that does not round to zero.
    if (digits.find_first_not_of('0') == std::string::npos)
        negative = false;
    return digits.substr(0, static_cast<size_t>(intDigits)) + "|" +
           digits.substr(static_cast<size_t>(intDigits));
}

template <typename T>
std::string RoundedDigits(T value, int decimals, bool& negative) {
    if (!std::isfinite(value))
        value = 0;
    return RoundedDigits(ShortestText(value), decimals, negative);
}

template <typename T>
std::string FixedPointOf(T value, int decimals) {
    bool negative = false;
    const std::string d = RoundedDigits(value, decimals, negative);
    const size_t bar = d.find('|');
    std::string out = negative ? "-" : "";
    out += d.substr(0, bar);
    if (decimals > 0)
        out += "." + d.substr(bar + 1);
    return out;
}

template <typename T>
std::string FormatMaskOf(T value, std::string_view mask, std::string_view decimalSeparator) {
    const size_t point = mask.find('.');
    const std::string_view intMask = mask.substr(0, point);
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(mask.size() - point - 1);
    int minIntDigits = 0;
    for (char c : intMask)
        if (c == '0')
            ++minIntDigits;
    bool negative = false;
    const std::string d = RoundedDigits(value, decimals, negative);
    const size_t bar = d.find('|');
    std::string intPart = d.substr(0, bar);
    const std::string fraction = d.substr(bar + 1);
    if (intPart == "0" && minIntDigits == 0)
        intPart.clear();
    while (static_cast<int>(intPart.size()) < minIntDigits)
        intPart.insert(intPart.begin(), '0');
    std::string out = negative ? "-" : "";
    out += intPart;
    if (point != std::string_view::npos && decimals > 0) {
        out += decimalSeparator;
        out += fraction;
    }
    return out;
}

}  // namespace

double DecimalValue(float value) {
    if (!std::isfinite(value))
        return static_cast<double>(value);
    char buf[64];
    const auto w = std::to_chars(buf, buf + sizeof buf, value);
    double out = static_cast<double>(value);
    std::from_chars(buf, w.ptr, out);
    return out;
}

std::string FixedPoint(double value, int decimals) {
    return FixedPointOf(value, decimals);
}

std::string FixedPoint(float value, int decimals) {
    return FixedPointOf(value, decimals);
}

std::string FormatMask(double value, std::string_view mask, std::string_view decimalSeparator) {
    return FormatMaskOf(value, mask, decimalSeparator);
}

std::string FormatMask(float value, std::string_view mask, std::string_view decimalSeparator) {
    return FormatMaskOf(value, mask, decimalSeparator);
}

std::string SingleText(float value, std::string_view decimalSeparator) {
    if (value == 0.0f)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
    std::string s = buf;
    // %G drops trailing zeros already; the exponent gets two digits (1E+07) so that every number
    // of the program reads the same however the C library spells it.
    const size_t e = s.find('E');
    std::string mantissa = e == std::string::npos ? s : s.substr(0, e);
    std::string exponent = e == std::string::npos ? "" : s.substr(e);
    if (!exponent.empty()) {
        // E+07 stays, E+007 would not arise from printf on these platforms; normalise to 2 digits.
        const char sign = exponent[1];
        int ev = std::atoi(exponent.c_str() + 2);
        char eb[16];
        std::snprintf(eb, sizeof eb, "E%c%02d", sign, ev);
        exponent = eb;
    }
    const size_t dot = mantissa.find('.');
    if (dot != std::string::npos)
        mantissa.replace(dot, 1, decimalSeparator);
    return mantissa + exponent;
}

std::string CountedNoun(long long count, std::string_view one, std::string_view few,
                        std::string_view many) {
    const long long n = count < 0 ? -(count % 100) : count % 100;
    std::string_view noun = many;
    if (n % 10 == 1 && n != 11)
        noun = one;
    else if (n % 10 >= 2 && n % 10 <= 4 && (n < 12 || n > 14))
        noun = few;
    return std::to_string(count) + " " + std::string(noun);
}

}  // namespace ws
