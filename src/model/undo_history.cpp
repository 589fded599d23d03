#include "undo_history.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace velomast {

namespace {
constexpr size_t HeaderSize = 1 + 4; // tag and count

template <typename T> void PutAt(uint8_t* out, T v) {
    std::memcpy(out, &v, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) std::reverse(out, out + sizeof(T));
}

template <typename T> T GetAt(const uint8_t* in) {
    uint8_t b[sizeof(T)];
    std::memcpy(b, in, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
    T v;
    std::memcpy(&v, b, sizeof(T));
    return v;
}
} // namespace

TWireRecord TSnapshotView::Wire(size_t i) const {
    const uint8_t* p = WireData + i * TUndoHistory::WireRecordSize;
    TWireRecord w;
    w.P1 = {GetAt<double>(p), GetAt<double>(p + 8), GetAt<double>(p + 16)};
    w.P2 = {GetAt<double>(p + 24), GetAt<double>(p + 32), GetAt<double>(p + 40)};
    w.Radius = GetAt<double>(p + 48);
    w.Segments = GetAt<int32_t>(p + 56);
    return w;
}

TObjectRecord TSnapshotView::Object(size_t i) const {
    const uint8_t* p = ObjectData + i * TUndoHistory::ObjectRecordSize;
    TObjectRecord o;
    o.Kind = p[0];
    o.WirePosition = GetAt<int32_t>(p + 1);
    o.Position = p[5];
    o.SegNo = GetAt<int32_t>(p + 6);
    for (size_t k = 0; k < o.Values.size(); ++k) o.Values[k] = GetAt<double>(p + 10 + 8 * k);
    return o;
}

void TUndoHistory::BeginAppend(size_t wires, size_t objects) {
    Open_.swap(Spare_);
    Spare_ = {};
    // Every byte is written below: only the size changes, no fill of a reused buffer.
    const size_t size = 2 * HeaderSize + wires * WireRecordSize + objects * ObjectRecordSize;
    if (Open_.capacity() < size || Open_.capacity() > 2 * size) {
        Open_ = {};
        Open_.reserve(size);
    }
    Open_.resize(size);
    uint8_t* p = Open_.data();
    p[0] = 1;
    PutAt<int32_t>(p + 1, static_cast<int32_t>(wires));
    const size_t objectsAt = HeaderSize + wires * WireRecordSize;
    p[objectsAt] = 2;
    PutAt<int32_t>(p + objectsAt + 1, static_cast<int32_t>(objects));
    WirePos_ = HeaderSize;
    ObjectPos_ = objectsAt + HeaderSize;
}

void TUndoHistory::PutWire(const TWireRecord& w) {
    uint8_t* p = Open_.data() + WirePos_;
    PutAt<double>(p, w.P1.X);
    PutAt<double>(p + 8, w.P1.Y);
    PutAt<double>(p + 16, w.P1.Z);
    PutAt<double>(p + 24, w.P2.X);
    PutAt<double>(p + 32, w.P2.Y);
    PutAt<double>(p + 40, w.P2.Z);
    PutAt<double>(p + 48, w.Radius);
    PutAt<int32_t>(p + 56, w.Segments);
    PutAt<int32_t>(p + 60, 0); // unused
    WirePos_ += WireRecordSize;
}

void TUndoHistory::PutObject(const TObjectRecord& o) {
    uint8_t* p = Open_.data() + ObjectPos_;
    p[0] = o.Kind;
    PutAt<int32_t>(p + 1, o.WirePosition);
    p[5] = o.Position;
    PutAt<int32_t>(p + 6, o.SegNo);
    for (size_t k = 0; k < o.Values.size(); ++k) PutAt<double>(p + 10 + 8 * k, o.Values[k]);
    ObjectPos_ += ObjectRecordSize;
}

size_t TUndoHistory::EndAppend(const std::vector<std::string>& taperLines) {
    if (Tapers_.empty() || *Tapers_.back() != taperLines)
        Tapers_.push_back(std::make_shared<const std::vector<std::string>>(taperLines));
    else
        Tapers_.push_back(Tapers_.back());
    Size_ += Open_.size();
    Snapshots_.push_back(std::move(Open_));
    Open_ = {};
    size_t drop = 0, size = Size_;
    while (Snapshots_.size() - drop > 2 && size > Limit_) size -= Snapshots_[drop++].size();
    if (drop) DropOldest(drop);
    return drop;
}

size_t TUndoHistory::Append(const TSnapshot& s, const std::vector<std::string>& taperLines) {
    BeginAppend(s.Wires.size(), s.Objects.size());
    for (const TWireRecord& w : s.Wires) PutWire(w);
    for (const TObjectRecord& o : s.Objects) PutObject(o);
    return EndAppend(taperLines);
}

void TUndoHistory::DropOldest(size_t n) {
    for (size_t i = 0; i < n; ++i) Size_ -= Snapshots_[i].size();
    // The biggest dropped buffer is kept for the next snapshot.
    for (size_t i = 0; i < n; ++i)
        if (Snapshots_[i].capacity() > Spare_.capacity()) Spare_.swap(Snapshots_[i]);
    Snapshots_.erase(Snapshots_.begin(), Snapshots_.begin() + static_cast<std::ptrdiff_t>(n));
    Tapers_.erase(Tapers_.begin(), Tapers_.begin() + static_cast<std::ptrdiff_t>(n));
}

bool TUndoHistory::View(int32_t n, TSnapshotView& out) const {
    out = {};
    if (n < 1 || n > Count()) return false;
    const std::vector<uint8_t>& b = Snapshots_[static_cast<size_t>(n) - 1];
    if (b.size() < HeaderSize) return false;
    const int32_t wires = GetAt<int32_t>(b.data() + 1);
    if (wires < 0 || (b.size() - HeaderSize) / WireRecordSize < static_cast<size_t>(wires)) return false;
    const size_t objectsAt = HeaderSize + static_cast<size_t>(wires) * WireRecordSize;
    if (b.size() - objectsAt < HeaderSize) return false;
    const int32_t objects = GetAt<int32_t>(b.data() + objectsAt + 1);
    if (objects < 0 || (b.size() - objectsAt - HeaderSize) / ObjectRecordSize < static_cast<size_t>(objects))
        return false;
    out.WireData = b.data() + HeaderSize;
    out.Wires = static_cast<size_t>(wires);
    out.ObjectData = b.data() + objectsAt + HeaderSize;
    out.Objects = static_cast<size_t>(objects);
    return true;
}

bool TUndoHistory::Read(int32_t n, TSnapshot& out) const {
    out.Wires.clear();
    out.Objects.clear();
    TSnapshotView v;
    if (!View(n, v)) return false;
    out.Wires.resize(v.Wires);
    for (size_t i = 0; i < v.Wires; ++i) out.Wires[i] = v.Wire(i);
    out.Objects.resize(v.Objects);
    for (size_t i = 0; i < v.Objects; ++i) out.Objects[i] = v.Object(i);
    return true;
}

const std::vector<std::string>& TUndoHistory::TaperLines(int32_t n) const {
    static const std::vector<std::string> none;
    if (n < 1 || n > Count()) return none;
    return *Tapers_[static_cast<size_t>(n) - 1];
}

std::vector<uint8_t> TUndoHistory::Bytes() const {
    std::vector<uint8_t> all;
    all.reserve(Size_);
    for (const auto& b : Snapshots_) all.insert(all.end(), b.begin(), b.end());
    return all;
}

void TUndoHistory::Clear() {
    Snapshots_.clear();
    Snapshots_.shrink_to_fit();
    Tapers_.clear();
    Spare_ = {};
    Size_ = 0;
}

} // namespace velomast
