#include "wire_pool.h"

#include <algorithm>
#include <memory>
#include <new>
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

namespace {
// New blocks grow with the model (up to this many wires) unless a reservation sizes them.
constexpr size_t kFirstBlock = 64;
constexpr size_t kLargestGrownBlock = size_t{1} << 16;
} // namespace

TWirePool::~TWirePool() { Release(); }

void TWirePool::AddBlock(size_t capacity) {
    Block b;
    static_assert(alignof(TWire) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    b.Bytes = std::make_unique_for_overwrite<std::byte[]>(capacity * sizeof(TWire));
    b.Capacity = capacity;
    // Places not yet handed out: a stray pointer into them shows under the address sanitizer.
    VELOMAST_POISON(b.Bytes.get(), capacity * sizeof(TWire));
    Blocks_.push_back(std::move(b));
    Spare_ += capacity;
}

void TWirePool::Reserve(size_t n) {
    if (n <= Spare_ + Free_.size()) return;
    AddBlock(n - Spare_ - Free_.size());
}

TWire* TWirePool::New() {
    void* place = nullptr;
    if (!Free_.empty()) {
        place = Free_.back();
        Free_.pop_back();
    } else {
        auto open = std::find_if(Blocks_.begin(), Blocks_.end(), [](const Block& b) { return b.Used < b.Capacity; });
        if (open == Blocks_.end()) {
            const size_t last = Blocks_.empty() ? 0 : Blocks_.back().Capacity;
            AddBlock(std::clamp(2 * last, kFirstBlock, kLargestGrownBlock));
            open = Blocks_.end() - 1;
        }
        place = open->At(open->Used++);
        --Spare_;
    }
    VELOMAST_UNPOISON(place, sizeof(TWire));
    return new (place) TWire();
}

void TWirePool::Delete(TWire* w) {
    if (!w) return;
    w->~TWire();
    VELOMAST_POISON(w, sizeof(TWire));
    Free_.push_back(w);
}

void TWirePool::Release() {
    // A wire holds nothing to free, so the wires still alive end with their blocks.
    static_assert(std::is_trivially_destructible_v<TWire>);
    for (Block& b : Blocks_) VELOMAST_UNPOISON(b.Bytes.get(), b.Capacity * sizeof(TWire));
    Blocks_.clear();
    Blocks_.shrink_to_fit();
    Free_.clear();
    Free_.shrink_to_fit();
    Spare_ = 0;
}

} // namespace velomast
