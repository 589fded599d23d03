// Reading numbers and comma-separated fields from text, with the leniency the model file
// needs: blanks around fields are ignored, "." and "," both work as decimal mark where the
// file format says so, and unreadable numbers become NoValue or a stated default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velomast {

// Removes blanks and control characters (every byte <= ' ') from both ends.
std::string Trim(std::string_view s);

// Splits a line at commas; each field is trimmed and empty fields are dropped, so runs of
// commas count as one separator.
std::vector<std::string> SplitFields(std::string_view line);

// A real written with `decimalMark` as the only decimal mark, optional sign and exponent,
// blanks allowed around it. No thousands separators, no "inf" or "nan".
std::optional<double> TextToFloat(std::string_view text, char decimalMark);

// Trimmed text as a real with the given decimal mark; NoValue when empty or not a number.
double ParseReal(std::string_view text, char decimalMark);
// As ParseReal, accepting "." and "," alike (what a user types into a number field).
double ParseRealAnyMark(std::string_view text);

// Field n (counted from 1) of a line as a real; "." and "," both read as decimal mark.
// NoValue when the line is blank, the field is missing or is not a number.
double ParseWordReal(std::string_view line, int n);

// An integer: optional blanks before it, an optional sign, digits and nothing after them.
// Anything else (a real such as 1.0, trailing characters, overflow) gives `def`.
int32_t StrToIntDef(std::string_view text, int32_t def);

} // namespace velomast
