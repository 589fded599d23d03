// Storage of a list's wires: blocks of wires side by side instead of one heap object per
// wire, so a large model costs no allocator overhead per wire and is walked in memory order.
// A wire keeps its address for its whole life; the places of destroyed wires are reused.
//
// Every place has a 32-bit number (the wire's Id), which the end index links by instead
// of pointers. Block 0 holds places 0 .. 63 and block k >= 1 places 64 * 2^(k-1) up to
// twice that, so a number finds its place with a few bit operations.
#pragma once

#include "wire.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velomast {

class TWirePool {
public:
    // The wires made here belong to `owner` (it heads every block).
    explicit TWirePool(TWireList* owner) : Owner_(owner) {}
    TWirePool(const TWirePool&) = delete;
    TWirePool& operator=(const TWirePool&) = delete;
    ~TWirePool();

    // A default-constructed wire.
    TWire* New();
    // Ends the wire's life; its place serves a later New.
    void Delete(TWire* w);
    // Room for n more wires (a file about to be read).
    void Reserve(size_t n);
    // Ends every wire's life at once and gives the memory back. Every wire must have
    // been taken from this pool and be unused.
    void Release();

    // The place with this number; it must have been handed out.
    TWire* At(uint32_t id) const {
        const auto b = static_cast<unsigned>(std::bit_width(id >> kFirstShift));
        return Blocks_[b].First + (id - wire_places::BlockFirst(id));
    }

private:
    static constexpr unsigned kFirstShift = wire_places::FirstShift;
    struct Block {
        TWire* First = nullptr;
        size_t Bytes = 0;
    };
    static size_t BlockCapacity(size_t b) { return b == 0 ? size_t{1} << kFirstShift : size_t{1} << (kFirstShift + b - 1); }
    // hugePages: offer huge pages for the whole block (wires will fill it one by one).
    void AddBlock(bool hugePages);
    // Asks for huge pages for places from .. to - 1 (all handed out by blocks already).
    void OfferHugePages(size_t from, size_t to);

    TWireList* Owner_;
    std::vector<Block> Blocks_;
    std::vector<uint32_t> Free_;
    size_t Capacity_ = 0; // places in all blocks
    uint32_t Next_ = 0;   // places below this have been handed out at some time
};

} // namespace velomast

namespace velomast {

inline TWire* TEndIndex::WireOf(TEndRef r) const { return Pool_->At(r.WireId()); }

inline TEndRef TEndIndex::NextAt(TEndRef r) const { return TEndRef::FromBits(WireOf(r)->Links_.Next[r.End()]); }

inline TEndRef TEndIndex::PrevAt(TEndRef r) const { return TEndRef::FromBits(WireOf(r)->Links_.Prev[r.End()]); }

} // namespace velomast
