#include "text_codec.h"

#include <cstring>

#include <algorithm>
#include <array>
#include <cstdint>

namespace velomast {

namespace {

// Unicode code points of the Windows-1251 bytes 0x80 .. 0xBF; 0xC0 .. 0xFF are the
// Cyrillic letters U+0410 .. U+044F in alphabetical order.
constexpr std::array<uint16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int Cp1251ByteOf(uint32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
    for (size_t i = 0; i < kHighHalf.size(); ++i)
        if (kHighHalf[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

// Length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
size_t Utf8SequenceLength(std::string_view s, size_t i, uint32_t* codePoint) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        *codePoint = b0;
        return 1;
    }
    size_t n;
    uint32_t cp;
    uint32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2, cp = b0 & 0x1Fu, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3, cp = b0 & 0x0Fu, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4, cp = b0 & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *codePoint = cp;
    return n;
}

// Eight bytes at a time: a whole file is looked at, and every line of a Windows-1251 file.
bool IsAscii(std::string_view s) {
    const char* p = s.data();
    size_t n = s.size();
    uint64_t high = 0;
    for (; n >= 32; p += 32, n -= 32) {
        uint64_t w[4];
        std::memcpy(w, p, sizeof w);
        if ((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ULL) return false;
    }
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t w;
        std::memcpy(&w, p, sizeof w);
        high |= w;
    }
    for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
    return (high & 0x8080808080808080ULL) == 0;
}

} // namespace

bool IsAsciiText(std::string_view bytes) { return IsAscii(bytes); }

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    uint32_t cp = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(bytes, i, &cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

TTextForm TextFormOf(std::string_view bytes) {
    TTextForm f;
    // A byte order mark is never text; it is kept aside and written back.
    f.Bom = bytes.starts_with("\xEF\xBB\xBF");
    if (f.Bom) bytes.remove_prefix(3);
    if (IsAscii(bytes))
        f.Encoding = f.Bom ? TTextEncoding::Utf8 : TTextEncoding::Cp1251;
    else if (IsValidUtf8(bytes))
        f.Encoding = TTextEncoding::Utf8;
    else
        f.Convert = true;
    return f;
}

std::string_view LineAsUtf8(std::string_view line, bool convert, std::string& scratch) {
    if (!convert || IsAscii(line)) return line;
    scratch.clear();
    AppendCp1251AsUtf8(line, scratch);
    return scratch;
}

TDecodedText DecodeText(std::string_view bytes) {
    const TTextForm f = TextFormOf(bytes);
    TDecodedText d;
    d.Bom = f.Bom;
    d.Encoding = f.Encoding;
    if (f.Bom) bytes.remove_prefix(3);
    if (f.Convert)
        d.Text = Cp1251ToUtf8(bytes);
    else
        d.Text.assign(bytes);
    return d;
}

TDecodedText DecodeText(std::string&& bytes) {
    std::string_view view = bytes;
    const bool bom = view.starts_with("\xEF\xBB\xBF");
    if (bom) view.remove_prefix(3);
    const bool ascii = IsAscii(view);
    if (!ascii && !IsValidUtf8(view)) return DecodeText(std::string_view(bytes));
    TDecodedText d;
    d.Bom = bom;
    d.Encoding = ascii && !bom ? TTextEncoding::Cp1251 : TTextEncoding::Utf8;
    if (bom) bytes.erase(0, 3);
    d.Text = std::move(bytes);
    return d;
}

std::string NotTextReason(std::string_view bytes) {
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) || bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return "он в кодировке UTF-32, а не в Windows-1251 или UTF-8";
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return "он в кодировке UTF-16, а не в Windows-1251 или UTF-8";
    if (bytes.find('\0') != std::string_view::npos)
        return "в нём есть нулевые байты: это двоичные данные или текст в кодировке UTF-16 или UTF-32";
    return {};
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    AppendCp1251AsUtf8(bytes, out);
    return out;
}

void AppendCp1251AsUtf8(std::string_view bytes, std::string& out) {
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b >= 0xC0)
            AppendUtf8(out, 0x0410u + (b - 0xC0u));
        else
            AppendUtf8(out, kHighHalf[b - 0x80u]);
    }
}

bool Utf8ToCp1251(std::string_view text, std::string& out) {
    const size_t start = out.size();
    out.reserve(start + text.size());
    size_t i = 0;
    uint32_t cp = 0;
    while (i < text.size()) {
        const size_t n = Utf8SequenceLength(text, i, &cp);
        const int b = n == 0 ? -1 : Cp1251ByteOf(cp);
        if (b < 0) {
            out.resize(start);
            return false;
        }
        out += static_cast<char>(b);
        i += n;
    }
    return true;
}

TLineScanner::TLineScanner(std::string_view text)
    : P_(text.data()), End_(text.data() + text.size()),
      Lf_(text.empty() ? nullptr : static_cast<const char*>(std::memchr(text.data(), '\n', text.size()))) {}

bool TLineScanner::Next(std::string_view& line) {
    if (P_ >= End_) return false;
    // Most lines end in LF or CR LF; memchr finds the LF at memory speed and a lone CR
    // before it is looked for only inside the line.
    if (Lf_ && Lf_ < P_) Lf_ = static_cast<const char*>(std::memchr(P_, '\n', static_cast<size_t>(End_ - P_)));
    const char* stop = Lf_ ? Lf_ : End_;
    const char* cr = static_cast<const char*>(std::memchr(P_, '\r', static_cast<size_t>(stop - P_)));
    if (cr && cr + 1 != Lf_) {
        // A lone CR ends the line.
        line = std::string_view(P_, static_cast<size_t>(cr - P_));
        P_ = cr + 1;
        return true;
    }
    const char* last = cr ? cr : stop;
    line = std::string_view(P_, static_cast<size_t>(last - P_));
    P_ = Lf_ ? Lf_ + 1 : End_;
    return true;
}

namespace {
// Calls f(begin, length) for every line of the text, as SplitLines counts them.
template <typename F> void ForEachLine(std::string_view text, F f) {
    TLineScanner scan(text);
    std::string_view line;
    while (scan.Next(line)) f(line.data(), line.size());
}
} // namespace

size_t CountLines(std::string_view text) {
    size_t count = 0;
    ForEachLine(text, [&](const char*, size_t) { ++count; });
    return count;
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(CountLines(text));
    ForEachLine(text, [&](const char* b, size_t n) { lines.emplace_back(b, n); });
    return lines;
}

std::string WithCrLfLineEnds(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    ForEachLine(bytes, [&](const char* b, size_t n) {
        out.append(b, n);
        out += "\r\n";
    });
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const std::vector<std::string_view> views = SplitLineViews(text);
    return {views.begin(), views.end()};
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const std::string& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace velomast
