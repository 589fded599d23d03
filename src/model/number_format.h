// Number texts as the model file and the window show them. The rules follow the formats
// the MMANA file and its tools use: "general" texts with a number of significant digits,
// "fixed" texts with a number of decimals, and printf-like widths that pad on the left.
// The decimal mark is a parameter: "." in files, the locale's mark on screen.
#pragma once

#include <string>

namespace velomast {

// General format: at most `precision` significant digits, trailing zeros removed; fixed
// notation when the value has at most `precision` integer digits and |x| >= 0.00001,
// otherwise d.dddE-n (no "+", no leading zeros in the exponent). 0 gives "0".
std::string FloatToStrGeneral(double x, int precision = 15, char decimalMark = '.');

// Fixed format: exactly `digits` decimals, the value first rounded to `precision`
// significant digits; a value with more than `precision` integer digits falls back to
// the general format.
std::string FloatToStrFixed(double x, int precision, int digits, char decimalMark = '.');

// "%<width>.<precision>g": general format, padded on the left to `width` characters.
std::string FormatFloatG(double x, int width, int precision, char decimalMark = '.');
// "%<width>.<decimals>f": fixed format with `decimals` decimals, padded to `width`.
std::string FormatFloatF(double x, int width, int decimals, char decimalMark = '.');

// Reals of the model file: general format with 15 digits and "." as mark; ".0" is
// appended when the text has neither a decimal mark nor an exponent (5 -> "5.0").
std::string FormatFileReal(double x);
// The frequency line: as FormatFileReal but without the appended ".0" (7 -> "7").
std::string FormatFileFrequency(double x);
// Exactly one decimal, "." as mark (10 -> "10.0", 10.26 -> "10.3").
std::string FormatFixed1(double x);

// Pads `text` on the left with blanks to `width` characters (counted in bytes; the
// numbers formatted here are ASCII).
std::string PadLeft(const std::string& text, int width);

} // namespace velomast
