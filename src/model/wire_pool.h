// Storage of a list's wires: blocks of wires side by side instead of one heap object per
// wire, so a large model costs no allocator overhead per wire and is walked in memory order.
// A wire keeps its address for its whole life; the places of destroyed wires are reused.
#pragma once

#include "wire.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace velomast {

class TWirePool {
public:
    TWirePool() = default;
    TWirePool(const TWirePool&) = delete;
    TWirePool& operator=(const TWirePool&) = delete;
    ~TWirePool();

    // A default-constructed wire.
    TWire* New();
    // Ends the wire's life; its place serves a later New.
    void Delete(TWire* w);
    // Room for n more wires in one block (a file about to be read).
    void Reserve(size_t n);
    // Ends every wire's life at once and gives the memory back. Every wire must have
    // been taken from this pool and be unused.
    void Release();

private:
    struct Block {
        std::unique_ptr<std::byte[]> Bytes;
        size_t Capacity = 0;
        size_t Used = 0;
        TWire* At(size_t i) const { return reinterpret_cast<TWire*>(Bytes.get()) + i; }
    };
    void AddBlock(size_t capacity);

    std::vector<Block> Blocks_;
    std::vector<TWire*> Free_;
    size_t Spare_ = 0; // unused places in the blocks, the free list left out
};

} // namespace velomast
