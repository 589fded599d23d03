#include "wire_list.h"

#include "text_parse.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace velomast {

// ---- bounding box ---------------------------------------------------------------------

void TCustomWireList::ComputeBox() {
    BoxMax = BoxMin = Vec3{};
    bool first = true;
    for (const TWire* w : Items_) {
        if (w->OwnerTag() != 0 && !BoxIncludesScene) continue;
        if (BoxSkipIsolators && w->Radius == 0) continue;
        if (first) {
            BoxMax = BoxMin = w->P1();
            first = false;
        }
        for (const Vec3* p : {&w->P1(), &w->P2()}) {
            if (p->X > BoxMax.X) BoxMax.X = p->X;
            if (p->Y > BoxMax.Y) BoxMax.Y = p->Y;
            if (p->Z > BoxMax.Z) BoxMax.Z = p->Z;
            if (p->X < BoxMin.X) BoxMin.X = p->X;
            if (p->Y < BoxMin.Y) BoxMin.Y = p->Y;
            if (p->Z < BoxMin.Z) BoxMin.Z = p->Z;
        }
    }
}

// ---- construction ---------------------------------------------------------------------

TWireList::TWireList() : TWireList(TRectI{0, 0, 800, 460}) {}

TWireList::TWireList(const TRectI& paintRect) { InitView(paintRect); }

TWireList::~TWireList() {
    Sources.clear();
    Loads.clear();
    ClearElements();
    FreeAllWires();
}

// ---- end index ------------------------------------------------------------------------

TWire* TWireList::FindWireByEnds(const Vec3& s, const Vec3& e, const TWire* ignore) const {
    // A wire with these ends is in the chains of both points: the two are walked side by
    // side until one runs out, which by then has shown every such wire. A point where
    // thousands of wires meet costs nothing when the other end is an ordinary one.
    NeedEndTable();
    TWire* best = nullptr;
    auto consider = [&](TWire* w) {
        if (w == ignore) return;
        const bool same = (VecEqual(w->P1_, s) && VecEqual(w->P2_, e)) || (VecEqual(w->P1_, e) && VecEqual(w->P2_, s));
        if (same && (!best || w->Index_ < best->Index_)) best = w;
    };
    for (TEndRef a = Ends_.FirstAt(s), b = a ? Ends_.FirstAt(e) : TEndRef{}; a && b;
         a = Ends_.NextAt(a), b = Ends_.NextAt(b)) {
        consider(Ends_.WireOf(a));
        consider(Ends_.WireOf(b));
    }
    return best;
}

std::vector<TWire*> TWireList::WiresAt(const Vec3& p) const {
    NeedEndTable();
    std::vector<TWire*> out;
    for (TEndRef r = Ends_.FirstAt(p); r; r = Ends_.NextAt(r)) {
        TWire* w = Ends_.WireOf(r);
        if (VecEqual(w->P1_, p) || VecEqual(w->P2_, p)) out.push_back(w);
    }
    std::sort(out.begin(), out.end(), [](const TWire* a, const TWire* b) { return a->Index_ < b->Index_; });
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// ---- side tables ----------------------------------------------------------------------

Vec3 TWireList::DragOriginOf(const TWire* w) const {
    const auto it = DragOrigins_.find(w);
    return it == DragOrigins_.end() ? Vec3{} : it->second;
}

void TWireList::SetDragOriginOf(const TWire* w, const Vec3& p) { DragOrigins_[w] = p; }

double TWireList::SavedRadiusOf(const TWire* w) const {
    const auto it = SavedRadii_.find(w);
    return it == SavedRadii_.end() ? 0.0 : it->second;
}

void TWireList::SetSavedRadiusOf(const TWire* w, double r) {
    if (r == 0)
        SavedRadii_.erase(w);
    else
        SavedRadii_[w] = r;
}

// ---- wires ----------------------------------------------------------------------------

void TWireList::Renumber(size_t from) {
    for (size_t i = from; i < Items_.size(); ++i) Items_[i]->Index_ = static_cast<uint32_t>(i);
}

void TWireList::BeginEndWatch() {
    EndEndWatch();
    Watching_ = true;
}

void TWireList::EndEndWatch() {
    for (const TEndChange& c : EndChanges_) EndChangeSeen_[c.Id / 64] &= ~(uint64_t{1} << (c.Id % 64));
    EndChanges_.clear();
    if (EndChanges_.capacity() > 4096) EndChanges_.shrink_to_fit();
    Watching_ = WatchBroken_ = false;
}

void TWireList::RecordEndChange(TWire* w) {
    if (WatchBroken_ || !w->IsOwn()) return;
    const size_t word = w->Id_ / 64;
    const uint64_t bit = uint64_t{1} << (w->Id_ % 64);
    if (word >= EndChangeSeen_.size()) EndChangeSeen_.resize(word + 1 + word / 2);
    if (EndChangeSeen_[word] & bit) return;
    EndChangeSeen_[word] |= bit;
    EndChanges_.push_back({w, w->Id_, w->P1_, w->P2_});
}

TWire* TWireList::Adopt(TWire* w, int32_t ownerTag) {
    if (Watching_) WatchBroken_ = true;
    w->OwnerTag_ = ownerTag;
    w->Radius = DefaultRadius;
    if (ownerTag == 0 && OwnCount_ < Items_.size()) {
        // Own wires stay in front of the scene's wires.
        Items_.insert(Items_.begin() + static_cast<std::ptrdiff_t>(OwnCount_), w);
        Renumber(OwnCount_);
    } else {
        w->Index_ = static_cast<uint32_t>(Items_.size());
        Items_.push_back(w);
    }
    if (ownerTag == 0) ++OwnCount_;
    IndexInsert(w);
    return w;
}

TWire* TWireList::NewWire(int32_t ownerTag) { return Adopt(Pool_.New(), ownerTag); }

TWire* TWireList::NewWireAssigned(const Vec3& p1, const Vec3& p2, int32_t ownerTag) {
    TWire* w = Pool_.New();
    w->P1_ = p1;
    w->P2_ = p2;
    return Adopt(w, ownerTag);
}

void TWireList::ReserveWires(size_t n) {
    Items_.reserve(Items_.size() + n);
    Pool_.Reserve(n);
    NeedEndTable();
    Ends_.Reserve(n);
}

TWire* TWireList::NewWire(double x1, double y1, double z1, double x2, double y2, double z2) {
    TWire* w = NewWire(0);
    w->SetEnds({x1, y1, z1}, {x2, y2, z2}, false, false, true);
    return w;
}

TWire* TWireList::NewWire(const Vec3& p1, const Vec3& p2, double radius, int32_t ownerTag) {
    if (FindWireByEnds(p1, p2, nullptr)) return nullptr;
    const Vec3 r1{Round4(p1.X), Round4(p1.Y), Round4(p1.Z)};
    const Vec3 r2{Round4(p2.X), Round4(p2.Y), Round4(p2.Z)};
    // A wire must not come into being with coinciding ends or as a duplicate after rounding.
    if (VecEqual(r1, r2) || FindWireByEnds(r1, r2, nullptr)) return nullptr;
    if (!std::isfinite(r1.X + r1.Y + r1.Z + r2.X + r2.Y + r2.Z)) return nullptr;
    TWire* w = NewWire(ownerTag);
    w->SetEnds(r1, r2, false, false, false);
    w->Radius = radius >= -1 ? radius : DefaultRadius;
    return w;
}

TWire* TWireList::NewWireCopy(const TWireRecord& record, int32_t ownerTag) {
    TWire* w = NewWire(record.P1, record.P2, record.Radius, ownerTag);
    if (w) w->Segments = record.Segments;
    return w;
}

void TWireList::DestroyWire(TWire* w) {
    if (w) DestroyWires({w});
}

void TWireList::DestroyWires(const std::vector<TWire*>& wires) {
    bool any = false;
    for (TWire* w : wires) {
        if (w && w->OwnerList() == this && !w->Doomed_) {
            w->Doomed_ = true;
            any = true;
        }
    }
    if (any) DestroyDoomed();
}

void TWireList::RemoveWiresByTag(int32_t tag) {
    std::vector<TWire*> doomed;
    for (TWire* w : Items_)
        if (w->OwnerTag_ == tag) doomed.push_back(w);
    DestroyWires(doomed);
}

void TWireList::RetagForeign(int32_t from, int32_t to) {
    if (from == 0 || to == 0) return; // own wires keep their place in front
    for (TWire* w : Items_)
        if (w->OwnerTag_ == from) w->OwnerTag_ = to;
}

void TWireList::DestroyDoomed() {
    auto doomed = [](const TWire* w) { return w && w->Doomed_; };
    std::erase_if(Selection.Rev_, doomed);
    std::erase_if(DragList, doomed);
    std::erase_if(Sources, [&](const auto& o) { return doomed(o->Wire); });
    std::erase_if(Loads, [&](const auto& o) { return doomed(o->Wire); });
    for (auto& e : Elements) {
        TElementWires& ew = e->ElementWires;
        uint32_t* const end = std::remove_if(ew.Ids_, ew.Ids_ + ew.Count_,
                                             [&](uint32_t id) { return doomed(Pool_.At(id)); });
        ew.Count_ = static_cast<uint32_t>(end - ew.Ids_);
    }

    std::vector<TWire*> gone;
    size_t own = 0;
    std::vector<TWire*> kept;
    kept.reserve(Items_.size());
    for (TWire* w : Items_) {
        if (w->Doomed_) {
            gone.push_back(w);
        } else {
            if (w->OwnerTag_ == 0) ++own;
            kept.push_back(w);
        }
    }
    Items_.swap(kept);
    OwnCount_ = own;
    ElementsStale_ = true;
    Renumber(0);
    if (Watching_ && !gone.empty()) WatchBroken_ = true;
    for (TWire* w : gone) {
        // The place of a destroyed wire serves a later one, which must not inherit these.
        if (!DragOrigins_.empty()) DragOrigins_.erase(w);
        if (!SavedRadii_.empty()) SavedRadii_.erase(w);
        IndexRemove(w);
        Pool_.Delete(w);
    }
}

void TWireList::FreeAllWires() {
    if (Watching_) WatchBroken_ = true;
    Items_.clear();
    Pool_.Release();
    OwnCount_ = 0;
    Ends_.Clear();
    DragOrigins_.clear();
    SavedRadii_.clear();
    Selection.Rev_.clear();
    DragList.clear();
}

size_t TWireList::CountByTag(int32_t tag) const {
    if (tag == 0) return OwnCount_;
    return static_cast<size_t>(std::count_if(Items_.begin(), Items_.end(),
                                             [tag](const TWire* w) { return w->OwnerTag_ == tag; }));
}

void TWireList::ReorderOwnWires(const std::vector<TWire*>& order) {
    if (order.size() != OwnCount_) return;
    std::vector<TWire*> check(order);
    std::sort(check.begin(), check.end());
    std::vector<TWire*> own(Items_.begin(), Items_.begin() + static_cast<std::ptrdiff_t>(OwnCount_));
    std::sort(own.begin(), own.end());
    if (check != own) return; // not a permutation of the own wires
    std::copy(order.begin(), order.end(), Items_.begin());
    Renumber(0);
    ElementsStale_ = true;
}

// ---- sources and loads ----------------------------------------------------------------

namespace {
void ReadValues(TWObject& obj, std::string_view text) {
    obj.Values.fill(0);
    if (obj.Kind == KindSource) {
        obj.Values[1] = ParseWordReal(text, 2);
        obj.Values[0] = ParseWordReal(text, 3);
    } else {
        for (int i = 0; i < 6; ++i) obj.Values[static_cast<size_t>(i)] = ParseWordReal(text, i + 2);
    }
}
} // namespace

bool TWireList::ReadObjectText(TWObject& obj, std::string_view text, int32_t* missingWire) {
    const TWireRef ref = ParseWireRef(text);
    if (ref.Position == 0 || ref.WireNumber < 1 || static_cast<size_t>(ref.WireNumber) > OwnCount_) {
        if (missingWire) *missingWire = ref.Position == 0 ? 0 : ref.WireNumber;
        return false;
    }
    obj.Wire = Items_[static_cast<size_t>(ref.WireNumber) - 1];
    obj.Position = ref.Position;
    obj.SegNo = ref.SegNo;
    if (text.find(',') != std::string_view::npos) ReadValues(obj, text);
    return true;
}

TWObject* TWireList::NewObjectFromText(uint8_t kind, std::string_view text, int32_t* missingWire) {
    if (text.empty() || text[0] != 'w') return nullptr;
    auto obj = std::make_unique<TWObject>();
    obj->Kind = kind == KindSource ? KindSource : KindLoad;
    obj->OwnerList = this;
    if (!ReadObjectText(*obj, text, missingWire)) return nullptr;
    if (text.find(',') == std::string_view::npos) ReadValues(*obj, text);
    auto& list = obj->Kind == KindSource ? Sources : Loads;
    list.push_back(std::move(obj));
    return list.back().get();
}

void TWireList::DestroyObject(TWObject* obj) {
    if (!obj) return;
    auto& list = obj->Kind == KindSource ? Sources : Loads;
    std::erase_if(list, [obj](const auto& o) { return o.get() == obj; });
}

TWObject* TWireList::SourceOf(const TWire* w) const {
    for (const auto& s : Sources)
        if (s->Wire == w) return s.get();
    return nullptr;
}

bool TWireList::HasLoad(const TWire* w) const {
    return std::any_of(Loads.begin(), Loads.end(), [w](const auto& l) { return l->Wire == w; });
}

// ---- selection ------------------------------------------------------------------------

void TWireList::SelectWire(TWire* w, bool exclusive) {
    if (!w || w->OwnerList() != this || w->OwnerTag_ != 0) return;
    if (w->Selected_ && !exclusive) return;
    if (exclusive) ClearSelection();
    w->Selected_ = true;
    Selection.Rev_.push_back(w);
}

void TWireList::DeselectWire(TWire* w) {
    if (!w || !w->Selected_) return;
    w->Selected_ = false;
    auto& v = Selection.Rev_;
    v.erase(std::find(v.begin(), v.end(), w));
}

void TWireList::ClearSelection() {
    for (TWire* w : Selection.Rev_) w->Selected_ = false;
    Selection.Rev_.clear();
}

void TWireList::SelectByLength(double x) {
    ClearSelection();
    const double target = Round4(x);
    for (size_t i = 0; i < OwnCount_; ++i)
        if (Round4(Items_[i]->WireLength()) == target) SelectWire(Items_[i], false);
}

void TWireList::SelectByRadius(double x) {
    ClearSelection();
    for (size_t i = 0; i < OwnCount_; ++i)
        if (Items_[i]->Radius == x) SelectWire(Items_[i], false);
}

void TWireList::SelectNextWire() {
    if (OwnCount_ == 0) return;
    const TWire* cur = Selection.Current();
    const size_t next = cur ? (cur->Index_ + 1) % OwnCount_ : 0;
    SelectWire(Items_[next], true);
}

// ---- settings and lifecycle -----------------------------------------------------------

void TWireList::SetFrequency(double f) {
    if (f > 0.1 && f < 10000) {
        Frequency = f;
        Wavelength = SpeedOfLight / f;
    }
}

void TWireList::ClearElements() {
    for (TWire* w : Items_) {
        w->ElementRef = 0;
        w->StartJunctionRef = 0;
        w->EndJunctionRef = 0;
    }
    Elements.clear();
    Junctions.clear();
    ElementIds_.clear();
}

void TWireList::Clear(bool keepComment) {
    Loads.clear();
    Sources.clear();
    TaperLines.clear();
    ClearSelection();
    Modified = false;
    ClearElements();
    FreeAllWires();
    LinkedList.clear();
    if (!keepComment) Comment.clear();
}

void TWireList::ResetToNewModel() {
    Clear(false);
    ClearHistory();
    ModelName = "Новая антенна";
    SegmentationLine = "800,\t80,\t2.0,\t1";
    FileName.clear();
    StdZR = 50.0;
    FBAzimuth = 120;
    FBElevation = 60;
    Encoding = TTextEncoding::Cp1251;
    EncodingBom = false;
}

} // namespace velomast
