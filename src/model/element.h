// Elements (groups of conductors joined end to end) and connection points (where wire
// ends meet). Both are derived data, thrown away and rebuilt as a whole by
// TWireList::RebuildElements.
#pragma once

#include "end_index.h"
#include "vec3.h"

#include <cstdint>
#include <vector>

namespace velomast {

class TWire;

// A point where the ends of two or more conductors of one element meet. A large model has
// about one per wire, so it keeps only the wire end it was found at (whose coordinates are
// the point's), not the coordinates.
struct TCPoint {
    TEndRef At;
};

enum : uint8_t { ElementAlongY = 0, ElementVertical = 1, ElementOther = 3 };

class TElement {
public:
    // 0: all wires share X and Z (a run along Y, "H"); 1: all share X and Y (vertical,
    // "V"); 3 otherwise.
    uint8_t ElementKind = ElementOther;
    // The element's wires in the order the rebuild reached them; not owned.
    std::vector<TWire*> ElementWires;
    Vec3 ElementBoxMin;
    Vec3 ElementBoxMax;
    // Position in the model's element list; the element number is Index + 1.
    int32_t Index = 0;

    // Takes w in and points it at this element, by Index: set Index first.
    void AddWire(TWire* w);
};

// Sum of the lengths of the element's wires.
double ElementLength(const TElement& e);
// "H" for an element along Y, "V" for a vertical one, "" otherwise.
const char* ElementKindLetter(const TElement& e);

} // namespace velomast
