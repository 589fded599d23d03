// Text of model files and their side files: Windows-1251 or UTF-8 on disk, UTF-8 inside
// the program. Lines end with CR LF when written; CR LF, LF or a lone CR when read.
#pragma once

#include "model/text_encoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace velomast {

// File bytes turned into UTF-8 text, with what is needed to write them back the same way.
struct TDecodedText {
    std::string Text;
    TTextEncoding Encoding = TTextEncoding::Cp1251;
    bool Bom = false;
};

// Whether every byte is below 0x80.
bool IsAsciiText(std::string_view bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// A leading UTF-8 byte order mark is removed (Bom is set). The rest is UTF-8 when it is
// valid UTF-8 and holds a non-ASCII character, or is ASCII after a byte order mark;
// otherwise Windows-1251. Plain ASCII without a mark counts as Windows-1251, the encoding
// the file gets should a Cyrillic name be typed into it later.
TDecodedText DecodeText(std::string_view bytes);
// The same, taking the bytes over: text that needs no conversion (ASCII, UTF-8) keeps its
// buffer, so a large file is not held twice.
TDecodedText DecodeText(std::string&& bytes);

// How DecodeText reads the bytes, without converting them: whether they begin with a byte
// order mark, their encoding, and whether the text after the mark needs converting to be
// UTF-8 (Windows-1251 holding a byte of 0x80 or above).
struct TTextForm {
    TTextEncoding Encoding = TTextEncoding::Cp1251;
    bool Bom = false;
    bool Convert = false;
};
TTextForm TextFormOf(std::string_view bytes);

// A line of such text as UTF-8: the line itself when it needs no converting (every line of
// UTF-8 text, every ASCII line), or else its conversion, kept in `scratch` until the next
// call. Line ends are ASCII in both encodings, so the lines of the bytes are the lines of
// the decoded text.
std::string_view LineAsUtf8(std::string_view line, bool convert, std::string& scratch);

// Why the bytes cannot be the text of a model or side file, or empty when they can: text
// in UTF-16 or UTF-32 (told by its byte order mark) or any NUL byte, which no text in
// Windows-1251 or UTF-8 holds and which UTF-16 without a mark and binary data are full of.
std::string NotTextReason(std::string_view bytes);

// Every byte of Windows-1251 has a character (0x98, unassigned, becomes U+0098), so a
// decoded text always encodes back to the same bytes.
std::string Cp1251ToUtf8(std::string_view bytes);
void AppendCp1251AsUtf8(std::string_view bytes, std::string& out);
// Appends the Windows-1251 form of UTF-8 text to `out`. Returns false, leaving `out` as it
// was, when the text holds a character Windows-1251 has no byte for (or is not UTF-8).
bool Utf8ToCp1251(std::string_view text, std::string& out);

// Splits text into lines at CR LF, LF or CR. A line end at the very end of the text does
// not start another line, so "a\r\nb\r\n" and "a\r\nb" both give two lines.
std::vector<std::string> SplitLines(std::string_view text);
// The same, as views into `text`.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// The lines of a text one after the other, as SplitLines gives them; a copy goes on from
// where the original stands (a look at the next line).
class TLineScanner {
public:
    explicit TLineScanner(std::string_view text);
    // The next line (without its line end); false after the last one.
    bool Next(std::string_view& line);

private:
    const char* P_;
    const char* End_;
    // The next LF at or after P_ (nullptr: none left). Kept between lines, so a text whose
    // lines end in lone CRs is not searched to its end for every line.
    const char* Lf_;
};
// How many lines SplitLines gives for the text.
size_t CountLines(std::string_view text);
// The bytes with every line end (CR LF, LF or a lone CR) made CR LF and one after the last
// line too: the bytes JoinLinesCrLf gives for the lines of their text, in their encoding.
std::string WithCrLfLineEnds(std::string_view bytes);
// Every line followed by CR LF, the last one too.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace velomast
