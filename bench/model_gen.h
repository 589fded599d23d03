// Generated models for the benchmarks: realistic shapes of a given size, built through
// the same creators the editor uses.
#pragma once

#include "model/wire_list.h"

#include <cmath>

namespace velomast::bench {

// A field of square-ish loops, each loop an element of `perLoop` wires joined end to end,
// spread over a grid so that nothing duplicates. About n wires in all.
inline void MakeLoopField(TWireList& m, int n, int perLoop = 8) {
    const int loops = std::max(1, n / perLoop);
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(loops))));
    int made = 0;
    for (int l = 0; l < loops; ++l) {
        const double cx = (l % side) * 3.0;
        const double cy = (l / side) * 3.0;
        const double z = 5 + (l % 7) * 0.5;
        for (int k = 0; k < perLoop; ++k) {
            const double a0 = 2 * M_PI * k / perLoop;
            const double a1 = 2 * M_PI * (k + 1) / perLoop;
            m.NewWire({cx + std::cos(a0), cy + std::sin(a0), z}, {cx + std::cos(a1), cy + std::sin(a1), z}, -2);
            ++made;
        }
    }
}

// One long chain of n wires zig-zagging upwards (the worst case for element collection).
inline void MakeChain(TWireList& m, int n) {
    for (int i = 0; i < n; ++i)
        m.NewWire({(i % 2) * 0.5, 0, i * 0.01}, {((i + 1) % 2) * 0.5, 0, (i + 1) * 0.01}, -2);
}

} // namespace velomast::bench
