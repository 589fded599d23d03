#include "text_parse.h"

#include "vec3.h"

#include <charconv>
#include <cmath>

namespace velomast {

std::string Trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= line.size()) {
        size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) comma = line.size();
        std::string f = Trim(line.substr(start, comma - start));
        if (!f.empty()) fields.push_back(std::move(f));
        start = comma + 1;
    }
    return fields;
}

std::optional<double> TextToFloat(std::string_view text, char decimalMark) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    size_t end = n;
    while (end > i && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    if (i == end) return std::nullopt;

    std::string norm;
    norm.reserve(end - i);
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-') norm += '-';
        ++i;
    }
    size_t digits = 0;
    bool sawMark = false;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            norm += c;
            ++digits;
        } else if (c == decimalMark && !sawMark) {
            norm += '.';
            sawMark = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) norm += text[i++];
        size_t expDigits = 0;
        for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i, ++expDigits) norm += text[i];
        if (expDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;

    double value = 0;
    const auto res = std::from_chars(norm.data(), norm.data() + norm.size(), value);
    if (res.ec != std::errc() || res.ptr != norm.data() + norm.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

double ParseReal(std::string_view text, char decimalMark) {
    const auto v = TextToFloat(text, decimalMark);
    return v ? *v : NoValue;
}

double ParseRealAnyMark(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == '.') c = ',';
    return ParseReal(s, ',');
}

double ParseWordReal(std::string_view line, int n) {
    if (Trim(line).empty() || n < 1) return NoValue;
    const std::vector<std::string> fields = SplitFields(line);
    if (static_cast<size_t>(n) > fields.size()) return NoValue;
    return ParseRealAnyMark(fields[static_cast<size_t>(n) - 1]);
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string_view rest = text.substr(i);
    if (rest.empty()) return def;
    bool negative = false;
    if (rest[0] == '+' || rest[0] == '-') {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty()) return def;
    int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') return def;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return def;
    }
    if (negative) value = -value;
    if (value > 2147483647LL || value < -2147483648LL) return def;
    return static_cast<int32_t>(value);
}

} // namespace velomast
