#include "wire_pool.h"

#include "end_index.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELOMAST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VELOMAST_ASAN)
#include <sanitizer/asan_interface.h>
#define VELOMAST_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VELOMAST_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VELOMAST_POISON(p, n) ((void)(p), (void)(n))
#define VELOMAST_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace velomast {

TWirePool::~TWirePool() { Release(); }

void TWirePool::AddBlock() {
    const size_t b = Blocks_.size();
    const size_t capacity = BlockCapacity(b);
    // The end index links wire ends by 2 * number + end in 32 bits.
    if (Capacity_ + capacity > (size_t{1} << 31)) throw std::length_error("too many wires");
    static_assert(alignof(TWire) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    Block block;
    block.Bytes = capacity * sizeof(TWire);
    // Large blocks on huge-page boundaries, so that filling them takes few page faults.
    // The owner heads the block, where its wires look it up.
    constexpr size_t kHead = sizeof(wire_places::BlockHeader);
    char* head = static_cast<char*>(AllocateLarge(kHead + block.Bytes));
    const wire_places::BlockHeader h{Owner_, nullptr};
    std::memcpy(head, &h, kHead);
    void* p = head + kHead;
    block.First = static_cast<TWire*>(p);
    // Places not yet handed out: a stray pointer into them shows under the address sanitizer.
    VELOMAST_POISON(p, block.Bytes);
    Blocks_.push_back(block);
    Capacity_ += capacity;
}

void TWirePool::Reserve(size_t n) {
    if (n <= Free_.size()) return;
    const size_t need = size_t{Next_} + (n - Free_.size());
    while (Capacity_ < need) AddBlock();
}

TWire* TWirePool::New() {
    uint32_t id = 0;
    if (!Free_.empty()) {
        id = Free_.back();
        Free_.pop_back();
    } else {
        if (Next_ == Capacity_) AddBlock();
        id = Next_++;
    }
    TWire* place = At(id);
    VELOMAST_UNPOISON(place, sizeof(TWire));
    TWire* w = new (place) TWire();
    w->Id_ = id;
    return w;
}

void TWirePool::Delete(TWire* w) {
    if (!w) return;
    const uint32_t id = w->Id_;
    w->~TWire();
    VELOMAST_POISON(w, sizeof(TWire));
    Free_.push_back(id);
}

void TWirePool::Release() {
    // A wire holds nothing to free, so the wires still alive end with their blocks.
    static_assert(std::is_trivially_destructible_v<TWire>);
    for (Block& b : Blocks_) {
        VELOMAST_UNPOISON(b.First, b.Bytes);
        FreeLarge(reinterpret_cast<char*>(b.First) - sizeof(wire_places::BlockHeader));
    }
    Blocks_.clear();
    Blocks_.shrink_to_fit();
    Free_.clear();
    Free_.shrink_to_fit();
    Capacity_ = 0;
    Next_ = 0;
}

} // namespace velomast
