#include "number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velomast {

namespace {

// A finite non-negative value as decimal digits d1 d2 ... with value 0.d1d2... x 10^Exponent.
struct Decimal {
    bool Negative = false;
    std::string Digits; // no leading zeros, no trailing zeros; empty for zero
    int Exponent = 0;
};

// Rounds the 17 significant digits of |x| to `keep` digits, halves away from zero, as the
// decimal conversion of the file's tools does. keep may be 0 or negative (everything
// rounds away, except a carry into a new leading digit when keep is 0).
Decimal ToDecimal(double x, int keep) {
    Decimal d;
    d.Negative = std::signbit(x);
    const double ax = std::fabs(x);
    if (ax == 0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.16e", ax); // d.dddddddddddddddde+XX
    std::string digits;
    digits += buf[0];
    for (int i = 2; i < 18; ++i) digits += buf[i];
    const int exp10 = std::atoi(buf + 19) + 1;

    if (keep < static_cast<int>(digits.size())) {
        bool carry = false;
        if (keep >= 0) carry = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(keep > 0 ? static_cast<size_t>(keep) : 0);
        int e = exp10;
        if (carry) {
            int i = static_cast<int>(digits.size()) - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
                --i;
            }
            if (i >= 0)
                ++digits[static_cast<size_t>(i)];
            else {
                digits.insert(digits.begin(), '1');
                ++e;
            }
        }
        d.Exponent = e;
    } else {
        d.Exponent = exp10;
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    d.Digits = digits;
    if (d.Digits.empty()) d.Exponent = 0;
    return d;
}

std::string NonFinite(double x) {
    if (std::isnan(x)) return "NAN";
    return x > 0 ? "INF" : "-INF";
}

std::string FixedFromDecimal(const Decimal& d, int decimals, char mark) {
    std::string out;
    if (d.Negative && !d.Digits.empty()) out += '-';
    const int n = static_cast<int>(d.Digits.size());
    if (d.Exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.Exponent; ++i) out += i < n ? d.Digits[static_cast<size_t>(i)] : '0';
    }
    if (decimals > 0) {
        out += mark;
        for (int i = 0; i < decimals; ++i) {
            const int idx = d.Exponent + i;
            out += (idx >= 0 && idx < n) ? d.Digits[static_cast<size_t>(idx)] : '0';
        }
    }
    return out;
}

std::string GeneralFromDecimal(const Decimal& d, int precision, char mark) {
    if (d.Digits.empty()) return "0";
    std::string out;
    if (d.Negative) out += '-';
    const int n = static_cast<int>(d.Digits.size());
    if (d.Exponent <= precision && d.Exponent >= -4) {
        if (d.Exponent <= 0) {
            out += '0';
            out += mark;
            out.append(static_cast<size_t>(-d.Exponent), '0');
            out += d.Digits;
        } else {
            for (int i = 0; i < d.Exponent; ++i) out += i < n ? d.Digits[static_cast<size_t>(i)] : '0';
            if (n > d.Exponent) {
                out += mark;
                out += d.Digits.substr(static_cast<size_t>(d.Exponent));
            }
        }
        return out;
    }
    out += d.Digits[0];
    if (n > 1) {
        out += mark;
        out += d.Digits.substr(1);
    }
    out += 'E';
    out += std::to_string(d.Exponent - 1);
    return out;
}

int ClampPrecision(int precision) {
    if (precision < 1) return 1;
    if (precision > 17) return 17;
    return precision;
}

} // namespace

std::string FloatToStrGeneral(double x, int precision, char decimalMark) {
    if (!std::isfinite(x)) return NonFinite(x);
    precision = ClampPrecision(precision);
    return GeneralFromDecimal(ToDecimal(x, precision), precision, decimalMark);
}

std::string FloatToStrFixed(double x, int precision, int digits, char decimalMark) {
    if (!std::isfinite(x)) return NonFinite(x);
    precision = ClampPrecision(precision);
    if (digits < 0) digits = 0;
    if (digits > 18) digits = 18;
    const Decimal probe = ToDecimal(x, precision);
    if (probe.Exponent > precision) return GeneralFromDecimal(probe, precision, decimalMark);
    // Significant digits are limited both by the precision and by the decimals shown.
    int keep = probe.Digits.empty() ? 0 : probe.Exponent + digits;
    if (keep > precision) keep = precision;
    const Decimal d = probe.Digits.empty() ? probe : ToDecimal(x, keep);
    return FixedFromDecimal(d, digits, decimalMark);
}

std::string PadLeft(const std::string& text, int width) {
    if (width <= 0 || static_cast<int>(text.size()) >= width) return text;
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

std::string FormatFloatG(double x, int width, int precision, char decimalMark) {
    return PadLeft(FloatToStrGeneral(x, precision, decimalMark), width);
}

std::string FormatFloatF(double x, int width, int decimals, char decimalMark) {
    return PadLeft(FloatToStrFixed(x, 15, decimals, decimalMark), width);
}

std::string FormatFileReal(double x) {
    std::string s = FloatToStrGeneral(x, 15, '.');
    if (std::isfinite(x) && s.find('.') == std::string::npos && s.find('E') == std::string::npos) s += ".0";
    return s;
}

std::string FormatFileFrequency(double x) { return FloatToStrGeneral(x, 15, '.'); }

std::string FormatFixed1(double x) { return FloatToStrFixed(x, 5, 1, '.'); }

} // namespace velomast
