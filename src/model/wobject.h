// A source or a load placed at the beginning, centre or end of a wire.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velomast {

class TWire;
class TWireList;

enum : uint8_t { KindSource = 0, KindLoad = 1 };
enum : uint8_t { PosBegin = 1, PosCentre = 2, PosEnd = 3 };

// Load type codes stored in Values[0] of a load.
enum : int { LoadLC = 0, LoadRjX = 1, LoadS = 2 };

// The position part of a source or load line: "w", wire number, letter, optional number.
struct TWireRef {
    int32_t WireNumber = 0;
    uint8_t Position = 0; // 0 when no letter was found
    int32_t SegNo = 0;
};

// Reads the first field of a source or load line ("w12c", "w2b9", "w10c-1").
TWireRef ParseWireRef(std::string_view text);

class TWObject {
public:
    uint8_t Kind = KindSource;
    TWireList* OwnerList = nullptr;
    TWire* Wire = nullptr;
    // Optional number after the position letter; 0 = none. Real files carry offsets of
    // either sign (w10c-1), which are kept as they are.
    int32_t SegNo = 0;
    uint8_t Position = PosCentre;
    // Source: [0] voltage, [1] phase. Load: [0] type code, [1]..[5] parameters.
    std::array<double, 8> Values{};

    // "w" + wire number + "b"/"c"/"e" + SegNo when it is not 0 ("w3c", "w4e2", "w10c-1").
    std::string WireRef() const;
};

} // namespace velomast
