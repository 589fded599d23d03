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

constexpr int32_t NegativeZero = INT32_MIN;

// k with double(k) / 10000 == c bit for bit, if there is one (-0.0 is NegativeZero).
bool ToTenths(double c, int32_t& k) {
    const double s = c * 10000.0;
    // NaN fails here too. NegativeZero stays out of reach of the rounding below.
    if (!(s > -2147483647.5 && s < 2147483647.5)) return false;
    k = static_cast<int32_t>(s + (s < 0 ? -0.5 : 0.5));
    if (std::bit_cast<uint64_t>(static_cast<double>(k) / 10000.0) == std::bit_cast<uint64_t>(c)) return true;
    if (std::bit_cast<uint64_t>(c) != std::bit_cast<uint64_t>(-0.0)) return false;
    k = NegativeZero;
    return true;
}

double FromTenths(int32_t k) { return k == NegativeZero ? -0.0 : static_cast<double>(k) / 10000.0; }

bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

bool HasTenths(TWireForm f) { return (f & WireFormTenths) != 0; }
bool Shares(TWireForm f) { return (f & WireFormShared) != 0; }

// Writes record w at p in form f; for a form with int32 coordinates k holds them.
void EncodeWire(uint8_t* p, TWireForm f, const TWireRecord& w, const int32_t* k) {
    if (HasTenths(f)) {
        for (int j = 0; j < 6; ++j) PutAt<int32_t>(p + 4 * j, k[j]);
        if (!Shares(f)) {
            PutAt<double>(p + 24, w.Radius);
            PutAt<int32_t>(p + 32, w.Segments);
        }
        return;
    }
    PutAt<double>(p, w.P1.X);
    PutAt<double>(p + 8, w.P1.Y);
    PutAt<double>(p + 16, w.P1.Z);
    PutAt<double>(p + 24, w.P2.X);
    PutAt<double>(p + 32, w.P2.Y);
    PutAt<double>(p + 40, w.P2.Z);
    if (!Shares(f)) {
        PutAt<double>(p + 48, w.Radius);
        PutAt<int32_t>(p + 56, w.Segments);
        PutAt<int32_t>(p + 60, 0); // unused
    }
}

TWireRecord DecodeWire(const uint8_t* p, TWireForm f, double radius, int32_t segments) {
    TWireRecord w;
    if (HasTenths(f)) {
        w.P1 = {FromTenths(GetAt<int32_t>(p)), FromTenths(GetAt<int32_t>(p + 4)), FromTenths(GetAt<int32_t>(p + 8))};
        w.P2 = {FromTenths(GetAt<int32_t>(p + 12)), FromTenths(GetAt<int32_t>(p + 16)),
                FromTenths(GetAt<int32_t>(p + 20))};
        w.Radius = Shares(f) ? radius : GetAt<double>(p + 24);
        w.Segments = Shares(f) ? segments : GetAt<int32_t>(p + 32);
        return w;
    }
    w.P1 = {GetAt<double>(p), GetAt<double>(p + 8), GetAt<double>(p + 16)};
    w.P2 = {GetAt<double>(p + 24), GetAt<double>(p + 32), GetAt<double>(p + 40)};
    w.Radius = Shares(f) ? radius : GetAt<double>(p + 48);
    w.Segments = Shares(f) ? segments : GetAt<int32_t>(p + 56);
    return w;
}

} // namespace

size_t TUndoHistory::HeldWireSize(TWireForm f) {
    switch (f) {
    case WireFormCompact: return 24;
    case WireFormTenths: return 36;
    case WireFormShared: return 48;
    default: return WireRecordSize;
    }
}

size_t TUndoHistory::THeld::StreamSize() const {
    return 2 * HeaderSize + Wires * WireRecordSize + Objects * ObjectRecordSize;
}

TWireRecord TSnapshotView::Wire(size_t i) const {
    return DecodeWire(WireData + i * TUndoHistory::HeldWireSize(Form), Form, Radius, Segments);
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
    Open_ = {};
    Open_.Data.swap(Spare_);
    Spare_ = {};
    Open_.Wires = wires;
    Open_.Objects = objects;
    Open_.Form = WireFormCompact;
    // The buffer is sized for the form the newest snapshot took (the same model mostly
    // keeps its form), so a reused buffer seldom has to grow. Every byte is written
    // below: only the size changes, no fill of a reused buffer.
    const TWireForm expected = Snapshots_.empty() ? WireFormCompact : Snapshots_.back().Form;
    const size_t objectBytes = objects * ObjectRecordSize;
    const size_t room = objectBytes + wires * HeldWireSize(expected);
    std::vector<uint8_t>& b = Open_.Data;
    if (b.capacity() < room || b.capacity() > 2 * room) {
        b = {};
        b.reserve(room);
    }
    b.resize(objectBytes + wires * HeldWireSize(Open_.Form));
    WiresPut_ = 0;
    ObjectPos_ = 0;
}

void TUndoHistory::Widen(TWireForm to, size_t done) {
    const TWireForm from = Open_.Form;
    const size_t objectBytes = Open_.Objects * ObjectRecordSize;
    const size_t fromSize = HeldWireSize(from), toSize = HeldWireSize(to);
    const size_t size = objectBytes + Open_.Wires * toSize;
    // Forms only widen: int32 coordinates in the wider form were int32 coordinates
    // before, and are moved as they are.
    auto move = [&](const uint8_t* in, uint8_t* out) {
        if (HasTenths(to)) {
            std::memmove(out, in, 24);
            PutAt<double>(out + 24, Open_.Radius);
            PutAt<int32_t>(out + 32, Open_.Segments);
        } else {
            EncodeWire(out, to, DecodeWire(in, from, Open_.Radius, Open_.Segments), nullptr);
        }
    };
    std::vector<uint8_t>& b = Open_.Data;
    if (b.capacity() >= size) {
        // In place, from the last record down: wider record i starts where narrower
        // record i or a later one did, so it overwrites no record not yet moved.
        b.resize(size);
        uint8_t* at = b.data() + objectBytes;
        for (size_t i = done; i-- > 0;) move(at + i * fromSize, at + i * toSize);
    } else {
        std::vector<uint8_t> wider;
        wider.reserve(size);
        wider.resize(size);
        // No object record is written before the last wire record.
        const uint8_t* in = b.data() + objectBytes;
        uint8_t* at = wider.data() + objectBytes;
        for (size_t i = 0; i < done; ++i) move(in + i * fromSize, at + i * toSize);
        b.swap(wider);
    }
    Open_.Form = to;
}

void TUndoHistory::PutWire(const TWireRecord& w) {
    const size_t i = WiresPut_++;
    if (i == 0) {
        Open_.Radius = w.Radius;
        Open_.Segments = w.Segments;
    }
    TWireForm f = Open_.Form;
    int32_t k[6];
    if (HasTenths(f)) {
        // The division that checks a coordinate is the cost here; a start that repeats the
        // previous wire's end, or an end that keeps its start's coordinate on an axis,
        // takes the int32 already found.
        const double c[6] = {w.P1.X, w.P1.Y, w.P1.Z, w.P2.X, w.P2.Y, w.P2.Z};
        bool fits = true;
        for (int j = 0; j < 3 && fits; ++j) {
            if (i > 0 && SameBits(c[j], LastEnd_[j]))
                k[j] = LastTenths_[j];
            else
                fits = ToTenths(c[j], k[j]);
        }
        for (int j = 3; j < 6 && fits; ++j) {
            if (SameBits(c[j], c[j - 3]))
                k[j] = k[j - 3];
            else
                fits = ToTenths(c[j], k[j]);
        }
        if (fits) {
            for (int j = 0; j < 3; ++j) {
                LastEnd_[j] = c[j + 3];
                LastTenths_[j] = k[j + 3];
            }
        } else {
            f = static_cast<TWireForm>(f & ~WireFormTenths);
        }
    }
    if (Shares(f) && !(SameBits(w.Radius, Open_.Radius) && w.Segments == Open_.Segments))
        f = static_cast<TWireForm>(f & ~WireFormShared);
    if (f != Open_.Form) Widen(f, i);
    EncodeWire(Open_.Data.data() + Open_.Objects * ObjectRecordSize + i * HeldWireSize(f), f, w, k);
}

void TUndoHistory::PutObject(const TObjectRecord& o) {
    uint8_t* p = Open_.Data.data() + ObjectPos_;
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
    // A buffer sized for a wider form than the snapshot took is not kept half empty.
    std::vector<uint8_t>& b = Open_.Data;
    if (b.capacity() > 2 * b.size()) b = std::vector<uint8_t>(b.begin(), b.end());
    Size_ += Open_.StreamSize();
    Snapshots_.push_back(std::move(Open_));
    Open_ = {};
    size_t drop = 0, size = Size_;
    while (Snapshots_.size() - drop > 2 && size > Limit_) size -= Snapshots_[drop++].StreamSize();
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
    for (size_t i = 0; i < n; ++i) Size_ -= Snapshots_[i].StreamSize();
    // The biggest dropped buffer is kept for the next snapshot.
    for (size_t i = 0; i < n; ++i)
        if (Snapshots_[i].Data.capacity() > Spare_.capacity()) Spare_.swap(Snapshots_[i].Data);
    Snapshots_.erase(Snapshots_.begin(), Snapshots_.begin() + static_cast<std::ptrdiff_t>(n));
    Tapers_.erase(Tapers_.begin(), Tapers_.begin() + static_cast<std::ptrdiff_t>(n));
}

bool TUndoHistory::View(int32_t n, TSnapshotView& out) const {
    out = {};
    if (n < 1 || n > Count()) return false;
    const THeld& h = Snapshots_[static_cast<size_t>(n) - 1];
    const size_t objectBytes = h.Objects * ObjectRecordSize;
    if (h.Data.size() < objectBytes || (h.Data.size() - objectBytes) / HeldWireSize(h.Form) < h.Wires) return false;
    out.ObjectData = h.Data.data();
    out.Objects = h.Objects;
    out.WireData = h.Data.data() + objectBytes;
    out.Wires = h.Wires;
    out.Form = h.Form;
    out.Radius = h.Radius;
    out.Segments = h.Segments;
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
    std::vector<uint8_t> all(Size_);
    uint8_t* p = all.data();
    for (int32_t n = 1; n <= Count(); ++n) {
        TSnapshotView v;
        View(n, v);
        p[0] = 1;
        PutAt<int32_t>(p + 1, static_cast<int32_t>(v.Wires));
        p += HeaderSize;
        for (size_t i = 0; i < v.Wires; ++i, p += WireRecordSize) {
            const TWireRecord w = v.Wire(i);
            EncodeWire(p, WireFormFull, w, nullptr);
        }
        p[0] = 2;
        PutAt<int32_t>(p + 1, static_cast<int32_t>(v.Objects));
        p += HeaderSize;
        if (v.Objects) std::memcpy(p, v.ObjectData, v.Objects * ObjectRecordSize);
        p += v.Objects * ObjectRecordSize;
    }
    return all;
}

size_t TUndoHistory::HeldBytes() const {
    size_t held = Spare_.capacity();
    for (const THeld& h : Snapshots_) held += h.Data.capacity();
    return held;
}

TWireForm TUndoHistory::Form(int32_t n) const {
    if (n < 1 || n > Count()) return WireFormFull;
    return Snapshots_[static_cast<size_t>(n) - 1].Form;
}

void TUndoHistory::Clear() {
    Snapshots_.clear();
    Snapshots_.shrink_to_fit();
    Tapers_.clear();
    Spare_ = {};
    Size_ = 0;
}

} // namespace velomast
