#pragma once
// Every number the program reads from text or shows to the user goes through here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

// The number at the start of a text: leading blanks skipped, an optional sign, digits, an
// optional "." with digits; whatever follows is ignored. No number gives 0. Never depends on
// the locale. A number too large for a double comes back as +-infinity.
double NumericPrefix(std::string_view text);

// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);
// The same, or nothing when the result does not fit the type (the classic "overflow").
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);
// A double narrowed to a 32-bit float, or nothing when it is beyond the float range.
std::optional<float> ToSingle(double value);

// A float as the decimal number it was read or is shown as (0.02f is 0.02, not 0.0199999996):
// arithmetic on such values, such as the mean of two hundredths, then lands on the float of the
// decimal result and is written and shown as a person computing it by hand expects.
double DecimalValue(float value);

// A value with exactly `decimals` decimals, "." as separator: the layout of every number in .mem
// and options.sav. The value's shortest decimal text (the one that reads back to the same float
// or double) is rounded, halves away from zero, so a float shown as 1.005 is written 1.01.
std::string FixedPoint(double value, int decimals);
std::string FixedPoint(float value, int decimals);

// A display mask such as "##0.00", "###0", "#0.0" or "0.00": "0" a digit always shown, "#" a
// digit shown only when significant, "." the given decimal separator. Rounds like FixedPoint, so
// a number reads the same on screen, on paper and in a file.
std::string FormatMask(double value, std::string_view mask, std::string_view decimalSeparator);
std::string FormatMask(float value, std::string_view mask, std::string_view decimalSeparator);
inline std::string FormatMask(int value, std::string_view mask, std::string_view decimalSeparator) {
    return FormatMask(static_cast<double>(value), mask, decimalSeparator);
}

// A 32-bit float in its shortest general form with at most 7 significant digits ("0", "12.5",
// "-3", "1E+07"), with the given decimal separator.
std::string SingleText(float value, std::string_view decimalSeparator = ".");

// A count with its noun in the form Russian needs after it: "1 точка", "3 точки", "5 точек",
// "11 точек", "22 точки". The forms are given as for 1, 2 and 5.
std::string CountedNoun(long long count, std::string_view one, std::string_view few,
                        std::string_view many);

}  // namespace ws
