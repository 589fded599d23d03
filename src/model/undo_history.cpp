#include "undo_history.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace velomast {

namespace {
template <typename T> void Put(std::vector<uint8_t>& out, T v) {
    uint8_t b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
    out.insert(out.end(), b, b + sizeof(T));
}

class Reader {
public:
    Reader(const std::vector<uint8_t>& s, size_t pos) : S_(s), Pos_(pos) {}
    template <typename T> bool Get(T& v) {
        if (Pos_ + sizeof(T) > S_.size()) return false;
        uint8_t b[sizeof(T)];
        std::memcpy(b, S_.data() + Pos_, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
        std::memcpy(&v, b, sizeof(T));
        Pos_ += sizeof(T);
        return true;
    }
    bool Skip(size_t n) {
        if (Pos_ + n > S_.size()) return false;
        Pos_ += n;
        return true;
    }

private:
    const std::vector<uint8_t>& S_;
    size_t Pos_;
};
} // namespace

size_t TUndoHistory::Append(const TSnapshot& s, const std::vector<std::string>& taperLines) {
    if (Tapers_.empty() || *Tapers_.back() != taperLines)
        Tapers_.push_back(std::make_shared<const std::vector<std::string>>(taperLines));
    else
        Tapers_.push_back(Tapers_.back());
    Offsets_.push_back(Stream_.size());
    Stream_.reserve(Stream_.size() + 10 + s.Wires.size() * WireRecordSize + s.Objects.size() * ObjectRecordSize);
    Put<uint8_t>(Stream_, 1);
    Put<int32_t>(Stream_, static_cast<int32_t>(s.Wires.size()));
    for (const TWireRecord& w : s.Wires) {
        for (double v : {w.P1.X, w.P1.Y, w.P1.Z, w.P2.X, w.P2.Y, w.P2.Z, w.Radius}) Put<double>(Stream_, v);
        Put<int32_t>(Stream_, w.Segments);
        Put<int32_t>(Stream_, 0); // unused
    }
    Put<uint8_t>(Stream_, 2);
    Put<int32_t>(Stream_, static_cast<int32_t>(s.Objects.size()));
    for (const TObjectRecord& o : s.Objects) {
        Put<uint8_t>(Stream_, o.Kind);
        Put<int32_t>(Stream_, o.WirePosition);
        Put<uint8_t>(Stream_, o.Position);
        Put<int32_t>(Stream_, o.SegNo);
        for (double v : o.Values) Put<double>(Stream_, v);
    }
    size_t drop = 0;
    while (Offsets_.size() - drop > 2 && Stream_.size() - Offsets_[drop] > Limit_) ++drop;
    if (drop) DropOldest(drop);
    return drop;
}

void TUndoHistory::DropOldest(size_t n) {
    const size_t cut = Offsets_[n];
    Stream_.erase(Stream_.begin(), Stream_.begin() + static_cast<std::ptrdiff_t>(cut));
    Offsets_.erase(Offsets_.begin(), Offsets_.begin() + static_cast<std::ptrdiff_t>(n));
    for (size_t& o : Offsets_) o -= cut;
    Tapers_.erase(Tapers_.begin(), Tapers_.begin() + static_cast<std::ptrdiff_t>(n));
}

bool TUndoHistory::Read(int32_t n, TSnapshot& out) const {
    out.Wires.clear();
    out.Objects.clear();
    if (n < 1 || n > Count()) return false;
    Reader r(Stream_, Offsets_[static_cast<size_t>(n) - 1]);
    uint8_t tag = 0;
    int32_t count = 0;
    if (!r.Get(tag) || !r.Get(count) || count < 0) return false;
    out.Wires.resize(static_cast<size_t>(count));
    for (TWireRecord& w : out.Wires) {
        int32_t unused = 0;
        if (!(r.Get(w.P1.X) && r.Get(w.P1.Y) && r.Get(w.P1.Z) && r.Get(w.P2.X) && r.Get(w.P2.Y) && r.Get(w.P2.Z) &&
              r.Get(w.Radius) && r.Get(w.Segments) && r.Get(unused)))
            return false;
    }
    if (!r.Get(tag) || !r.Get(count) || count < 0) return false;
    out.Objects.resize(static_cast<size_t>(count));
    for (TObjectRecord& o : out.Objects) {
        if (!(r.Get(o.Kind) && r.Get(o.WirePosition) && r.Get(o.Position) && r.Get(o.SegNo))) return false;
        for (double& v : o.Values)
            if (!r.Get(v)) return false;
    }
    return true;
}

const std::vector<std::string>& TUndoHistory::TaperLines(int32_t n) const {
    static const std::vector<std::string> none;
    if (n < 1 || n > Count()) return none;
    return *Tapers_[static_cast<size_t>(n) - 1];
}

void TUndoHistory::Clear() {
    Stream_.clear();
    Stream_.shrink_to_fit();
    Offsets_.clear();
    Tapers_.clear();
}

} // namespace velomast
