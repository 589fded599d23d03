#include "wire.h"

#include "text_parse.h"
#include "wire_list.h"

#include <algorithm>
#include <cmath>

namespace velomast {

TWireRecord ParseWireLine(std::string_view line) {
    TWireRecord r;
    r.P1 = {ParseWordReal(line, 1), ParseWordReal(line, 2), ParseWordReal(line, 3)};
    r.P2 = {ParseWordReal(line, 4), ParseWordReal(line, 5), ParseWordReal(line, 6)};
    r.Radius = ParseWordReal(line, 7);
    const std::vector<std::string> fields = SplitFields(line);
    r.Segments = fields.size() >= 8 ? StrToIntDef(fields[7], -2) : -2;
    return r;
}

int32_t TWire::Number() const {
    return Id_ != wire_places::NoPlace ? static_cast<int32_t>(Index_) + 1 : 0;
}

namespace {
bool Finite(const Vec3& v) { return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z); }
Vec3 Rounded(const Vec3& v) { return {Round4(v.X), Round4(v.Y), Round4(v.Z)}; }
// The mirror image of a point in a flat view: across Y = 0 in the X-Y and Y-Z views,
// across X = 0 in the X-Z view.
Vec3 MirrorInView(Vec3 p, uint8_t viewKind) {
    if (viewKind == 2)
        p.X = -p.X;
    else
        p.Y = -p.Y;
    return p;
}
} // namespace

double TWire::WireLength() const { return VecDistance(P1_, P2_); }

double TWire::Azimuth() const {
    if (P1_.X == P2_.X && P1_.Y == P2_.Y) return 0;
    double a = std::atan2(P1_.Y - P2_.Y, P1_.X - P2_.X) / DegToRad - 180.0;
    if (a > 180)
        a -= 360;
    else if (a <= -180)
        a += 360;
    return a;
}

double TWire::Zenith() const {
    const double length = WireLength();
    if (length < 1e-10) return 0;
    double d = (P2_.Z - P1_.Z) / length;
    if (d > 1) d = 1;
    if (d < -1) d = -1;
    return std::acos(d) / DegToRad;
}

TElement* TWire::Element() const {
    const TWireList* list = ElementRef ? OwnerList() : nullptr;
    return list ? list->Elements[ElementRef - 1].get() : nullptr;
}

TCPoint* TWire::StartJunction() const {
    TWireList* list = StartJunctionRef ? OwnerList() : nullptr;
    return list ? &list->Junctions[StartJunctionRef - 1] : nullptr;
}

TCPoint* TWire::EndJunction() const {
    TWireList* list = EndJunctionRef ? OwnerList() : nullptr;
    return list ? &list->Junctions[EndJunctionRef - 1] : nullptr;
}

Vec3 TWire::DragOrigin() const {
    const TWireList* list = OwnerList();
    return list ? list->DragOriginOf(this) : Vec3{};
}

void TWire::SetDragOrigin(const Vec3& p) {
    if (TWireList* list = OwnerList()) list->SetDragOriginOf(this, p);
}

double TWire::SavedRadius() const {
    const TWireList* list = OwnerList();
    return list ? list->SavedRadiusOf(this) : 0;
}

void TWire::SetSavedRadius(double r) {
    if (TWireList* list = OwnerList()) list->SetSavedRadiusOf(this, r);
}

void TWire::StoreEnds(const Vec3& s, const Vec3& e) {
    TWireList* const list = OwnerList();
    if (list) {
        list->NoteEndsChanging(this);
        list->IndexRemove(this);
    }
    P1_ = s;
    P2_ = e;
    if (list) list->IndexInsert(this);
}

void TWire::AssignEnds(const Vec3& s, const Vec3& e, bool round) {
    StoreEnds(round ? Rounded(s) : s, round ? Rounded(e) : e);
}

bool TWire::SetEnds(const Vec3& s, const Vec3& e, bool keep, bool mirror, bool round) {
    // The refusals look at the ends as they would be stored: two ends that differ by less
    // than the rounding would otherwise slip through as a degenerate or duplicate wire.
    const Vec3 ns = round ? Rounded(s) : s;
    const Vec3 ne = round ? Rounded(e) : e;
    if (!Finite(ns) || !Finite(ne) || VecEqual(ns, ne)) return false;
    TWireList* const list = OwnerList();
    if (list && list->FindWireByEnds(ns, ne, this)) return false;

    const Vec3 s0 = P1_;
    const Vec3 e0 = P2_;
    TWire* twin = mirror ? FindMirrorTwin() : nullptr;

    StoreEnds(ns, ne);

    if (keep && list) {
        // Other own wires touching the old ends, in list order; each test acts at once on
        // the neighbour's present ends, and a moved neighbour drags nothing further.
        std::vector<TWire*> near = list->WiresAt(s0);
        if (!VecEqual(s0, e0)) {
            std::vector<TWire*> atEnd = list->WiresAt(e0);
            near.insert(near.end(), atEnd.begin(), atEnd.end());
            std::sort(near.begin(), near.end(),
                      [](const TWire* a, const TWire* b) { return a->Index_ < b->Index_; });
            near.erase(std::unique(near.begin(), near.end()), near.end());
        }
        for (TWire* w : near) {
            if (w == this || w->OwnerTag_ != 0) continue;
            if (VecEqual(w->P1_, s0)) w->SetEnds(P1_, w->P2_, false, false, true);
            if (VecEqual(w->P2_, s0)) w->SetEnds(w->P1_, P1_, false, false, true);
            if (VecEqual(w->P1_, e0)) w->SetEnds(P2_, w->P2_, false, false, true);
            if (VecEqual(w->P2_, e0)) w->SetEnds(w->P1_, P2_, false, false, true);
        }
    }

    if (twin && list)
        twin->SetEnds(MirrorInView(P1_, list->ViewKind), MirrorInView(P2_, list->ViewKind), keep, false, false);
    return true;
}

void TWire::SetLength(int fix, bool round, double length) {
    const double old = WireLength();
    if (!(length > 0) || !(old > 0)) return;
    const Vec3 d = VecSub(P2_, P1_);
    const Vec3 dn = VecScale(d, length / old);
    Vec3 ns;
    if (fix == 0)
        ns = P1_;
    else if (fix == 1)
        ns = VecAdd(P1_, VecSub(d, dn));
    else
        ns = VecAdd(P1_, VecScale(VecSub(d, dn), 0.5));
    const TWireList* list = OwnerList();
    const bool keep = list ? list->KeepConnections : false;
    SetEnds(ns, VecAdd(ns, dn), keep, false, round);
}

void TWire::SetAzimuth(double degrees) {
    if (P1_.X == P2_.X && P1_.Y == P2_.Y) return;
    const double h = std::sin(Zenith() * DegToRad) * WireLength();
    const double a = degrees * DegToRad;
    const Vec3 e{P1_.X + std::cos(a) * h, P1_.Y + std::sin(a) * h, P2_.Z};
    const TWireList* list = OwnerList();
    const bool keep = list ? list->KeepConnections : false;
    SetEnds(P1_, e, keep, false, true);
}

void TWire::SetZenith(double degrees) {
    const double a = Azimuth() * DegToRad;
    const double z = degrees * DegToRad;
    const double l = WireLength();
    const Vec3 e = VecAdd(P1_, {std::cos(a) * std::sin(z) * l, std::sin(a) * std::sin(z) * l, std::cos(z) * l});
    const TWireList* list = OwnerList();
    const bool keep = list ? list->KeepConnections : false;
    SetEnds(P1_, e, keep, false, true);
}

void TWire::Invert() {
    const Vec3 s = P2_;
    const Vec3 e = P1_;
    SetEnds(s, e, false, false, true);
}

bool TWire::NearestEnd(const Vec3& point, Vec3* found) const {
    const TWireList* list = OwnerList();
    if (!list) return false;
    double best = 1.7e308;
    bool hit = false;
    for (size_t i = 0; i < list->OwnCount(); ++i) {
        const TWire* w = (*list)[i];
        if (w == this || w->DragEnd != 0) continue;
        if (VecEqual(w->P1_, P1_) || VecEqual(w->P1_, P2_) || VecEqual(w->P2_, P1_) || VecEqual(w->P2_, P2_))
            continue;
        for (const Vec3* p : {&w->P1_, &w->P2_}) {
            const double d = VecDistance(point, *p);
            if (d < best) {
                best = d;
                hit = true;
                if (found) *found = *p;
            }
        }
    }
    return hit;
}

TWire* TWire::FindMirrorTwin() const {
    const TWireList* list = OwnerList();
    if (!list || list->ViewKind == 0) return nullptr;
    return list->FindWireByEnds(MirrorInView(P1_, list->ViewKind), MirrorInView(P2_, list->ViewKind), nullptr);
}

} // namespace velomast
