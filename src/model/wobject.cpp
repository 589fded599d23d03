#include "wobject.h"

#include "text_parse.h"
#include "wire.h"

namespace velomast {

namespace {
// Hand-edited files sometimes carry the Cyrillic look-alikes of "c" and "e" (UTF-8 here).
std::string LatinPositionLetters(std::string s) {
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(s[i]);
        const unsigned char b = static_cast<unsigned char>(s[i + 1]);
        char latin = 0;
        if (a == 0xD1 && b == 0x81) latin = 'c'; // "с"
        if (a == 0xD0 && b == 0xB5) latin = 'e'; // "е"
        if (latin) s.replace(i, 2, 1, latin);
    }
    return s;
}
} // namespace

TWireRef ParseWireRef(std::string_view text) {
    TWireRef ref;
    const size_t comma = text.find(',');
    const std::string field = LatinPositionLetters(Trim(text.substr(0, comma)));
    if (field.size() < 2) return ref;
    const std::string rest = field.substr(1);

    // The letter must stand after at least one character of the wire number.
    size_t p = std::string::npos;
    uint8_t pos = 0;
    for (const auto& [letter, code] : {std::pair{'c', PosCentre}, std::pair{'e', PosEnd}, std::pair{'b', PosBegin}}) {
        const size_t at = rest.find(letter);
        if (at != std::string::npos && at >= 1) {
            p = at;
            pos = code;
            break;
        }
    }
    if (p == std::string::npos) return ref;
    ref.WireNumber = StrToIntDef(rest.substr(0, p), 0);
    ref.Position = pos;
    ref.SegNo = StrToIntDef(rest.substr(p + 1), 0);
    return ref;
}

std::string TWObject::WireRef() const {
    std::string s(1, 'w');
    s += std::to_string(Wire ? Wire->Number() : 0);
    switch (Position) {
    case PosBegin: s += 'b'; break;
    case PosEnd: s += 'e'; break;
    default: s += 'c'; break;
    }
    if (SegNo != 0) s += std::to_string(SegNo);
    return s;
}

} // namespace velomast
