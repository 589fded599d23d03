// Elements (groups of conductors joined end to end) and connection points (where wire
// ends meet). Both are derived data, thrown away and rebuilt as a whole by
// TWireList::RebuildElements.
#pragma once

#include "end_index.h"
#include "vec3.h"
#include "wire_pool.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
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

// The wires of one element in the order the rebuild reached them. A large model has an
// element per few wires, so the wires are not a vector each: they are pool numbers in one
// table the list keeps for all its elements, and this is the element's stretch of it.
class TElementWires {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TWire*;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TWire*;
        const_iterator() = default;
        TWire* operator*() const { return Pool_->At(*P_); }
        const_iterator& operator++() {
            ++P_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++P_;
            return old;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.P_ == b.P_; }

    private:
        friend class TElementWires;
        const_iterator(const TWirePool* pool, const uint32_t* p) : Pool_(pool), P_(p) {}
        const TWirePool* Pool_ = nullptr;
        const uint32_t* P_ = nullptr;
    };

    size_t size() const { return Count_; }
    bool empty() const { return Count_ == 0; }
    TWire* operator[](size_t i) const { return Pool_->At(Ids_[i]); }
    TWire* front() const { return (*this)[0]; }
    TWire* back() const { return (*this)[Count_ - 1]; }
    const_iterator begin() const { return {Pool_, Ids_}; }
    const_iterator end() const { return {Pool_, Ids_ + Count_}; }

private:
    friend class TWireList;
    const TWirePool* Pool_ = nullptr;
    uint32_t* Ids_ = nullptr;
    uint32_t Count_ = 0;
};

class TElement {
public:
    // 0: all wires share X and Z (a run along Y, "H"); 1: all share X and Y (vertical,
    // "V"); 3 otherwise.
    uint8_t ElementKind = ElementOther;
    // Position in the model's element list; the element number is Index + 1.
    int32_t Index = 0;
    TElementWires ElementWires;
    Vec3 ElementBoxMin;
    Vec3 ElementBoxMax;

    // Works the box and the kind out from the wires, taken in their order.
    void MeasureWires();
};

// Sum of the lengths of the element's wires.
double ElementLength(const TElement& e);
// "H" for an element along Y, "V" for a vertical one, "" otherwise.
const char* ElementKindLetter(const TElement& e);

} // namespace velomast
