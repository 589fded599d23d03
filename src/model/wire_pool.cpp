#include "wire_pool.h"

#include "end_index.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>

#include <sys/mman.h>

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

void TWirePool::AddBlock(bool hugePages) {
    const size_t b = Blocks_.size();
    const size_t capacity = BlockCapacity(b);
    // The end index links wire ends by 2 * number + end in 32 bits.
    if (Capacity_ + capacity > (size_t{1} << 31)) throw std::length_error("too many wires");
    static_assert(alignof(TWire) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    Block block;
    block.Bytes = capacity * sizeof(TWire);
    // The owner heads the block, where its wires look it up. A large block starts on a
    // huge-page boundary, so that as many huge pages as can lie wholly inside it do.
    constexpr size_t kHead = sizeof(wire_places::BlockHeader);
    constexpr size_t kHuge = size_t{2} << 20;
    const size_t bytes = kHead + block.Bytes;
    char* head = static_cast<char*>(bytes >= kHuge ? std::aligned_alloc(kHuge, (bytes + kHuge - 1) / kHuge * kHuge)
                                                   : std::malloc(bytes));
    if (!head) throw std::bad_alloc();
    const wire_places::BlockHeader h{Owner_, nullptr};
    std::memcpy(head, &h, kHead);
    void* p = head + kHead;
    block.First = static_cast<TWire*>(p);
    // Places not yet handed out: a stray pointer into them shows under the address sanitizer.
    VELOMAST_POISON(p, block.Bytes);
    Blocks_.push_back(block);
    Capacity_ += capacity;
    // A block that wires fill one by one may take huge pages, which saves most of the
    // page faults of filling it; only those that lie wholly inside it (see OfferHugePages).
    if (hugePages) OfferHugePages(Capacity_ - capacity, Capacity_);
}

void TWirePool::Reserve(size_t n) {
    if (n <= Free_.size()) return;
    const size_t need = size_t{Next_} + (n - Free_.size());
    while (Capacity_ < need) AddBlock(false);
    // Only the places about to be filled (a file's wires) take huge pages: one where the
    // filling stops would be held whole, up to 2 MB past the last wire.
    OfferHugePages(Next_, need);
}

// A huge page is held whole once touched, so only those lying wholly inside the places
// are offered; one reaching past the block's end would hold up to 2 MB for nothing.
void TWirePool::OfferHugePages(size_t from, size_t to) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t{2} << 20;
    while (from < to) {
        const auto id = static_cast<uint32_t>(from);
        const size_t b = static_cast<size_t>(std::bit_width(id >> kFirstShift));
        const size_t end = std::min(to, size_t{wire_places::BlockFirst(id)} + BlockCapacity(b));
        // From the block's first place on, the block's head counts in: it starts the block.
        const uintptr_t start = reinterpret_cast<uintptr_t>(At(id)) -
                                (id == wire_places::BlockFirst(id) ? sizeof(wire_places::BlockHeader) : 0);
        const auto first = (start + kHuge - 1) / kHuge * kHuge;
        const auto last = reinterpret_cast<uintptr_t>(At(static_cast<uint32_t>(end - 1)) + 1) / kHuge * kHuge;
        if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
        from = end;
    }
#else
    (void)from;
    (void)to;
#endif
}

TWire* TWirePool::New() {
    uint32_t id = 0;
    if (!Free_.empty()) {
        id = Free_.back();
        Free_.pop_back();
    } else {
        if (Next_ == Capacity_) AddBlock(true);
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
        std::free(reinterpret_cast<char*>(b.First) - sizeof(wire_places::BlockHeader));
    }
    Blocks_.clear();
    Blocks_.shrink_to_fit();
    Free_.clear();
    Free_.shrink_to_fit();
    Capacity_ = 0;
    Next_ = 0;
}

} // namespace velomast
