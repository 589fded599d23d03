#include "wire_commands.h"

#include "text_parse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <unordered_map>

namespace velomast {

bool Divide(TWireList& m, TWire& w, int n) {
    if (n < 2) return false;
    // Each cut is measured from the original start, so the last piece ends exactly where
    // the wire ended and stays joined to whatever was joined there.
    const Vec3 start = w.P1();
    const Vec3 d = VecSub(w.P2(), start);
    auto cut = [&](int k) {
        const Vec3 p = k == n ? w.P2() : VecAdd(start, VecScale(d, static_cast<double>(k) / n));
        return Vec3{Round4(p.X), Round4(p.Y), Round4(p.Z)};
    };
    std::vector<Vec3> cuts;
    for (int k = 0; k <= n; ++k) {
        cuts.push_back(cut(k));
        // A piece shorter than 0.1 mm would vanish in the rounding, and the pieces after it
        // would be laid over the wire, which then could not be shortened to its first piece.
        if (k > 0 && VecEqual(cuts[static_cast<size_t>(k)], cuts[static_cast<size_t>(k) - 1])) return false;
    }
    if (!w.SetEnds(cuts[0], cuts[1], false, false, true)) return false;
    for (int k = 1; k < n; ++k) m.NewWire(cuts[static_cast<size_t>(k)], cuts[static_cast<size_t>(k) + 1], -2);
    return true;
}

void MakeIsolator(TWire& w) {
    if (w.IsIsolator()) return; // keeps the radius saved when it became one
    w.SetSavedRadius(w.Radius);
    w.Radius = 0;
}

void RestoreConductor(TWireList& m, TWire& w) {
    if (!w.IsIsolator()) return; // a conductor's or combined wire's radius is the user's own
    w.Radius = w.SavedRadius() > 0 ? w.SavedRadius() : m.DefaultRadius;
}

void CenterOnAxis(TWire& w) {
    const Vec3& a = w.P1();
    const Vec3& b = w.P2();
    Vec3 o{};
    if (!SameSign(b.Z, a.Z))
        o.Z = -(a.Z + b.Z) / 2;
    else if (SameSign(b.Y, a.Y))
        o.X = -(a.X + b.X) / 2;
    else
        o.Y = -(a.Y + b.Y) / 2;
    w.SetEnds(VecAdd(a, o), VecAdd(b, o), false, false, true);
}

TWire* ProlongToGround(TWireList& m, TWire& w) {
    if (m.GroundType <= 0) return nullptr;
    if (w.P1().Z == w.P2().Z) return nullptr; // a horizontal wire never reaches the ground
    // A lower end already at 0.1 m above the ground or below it would send the isolator up
    // along the wire itself.
    if (Round4(std::min(w.P1().Z, w.P2().Z) + m.BaseHeight) <= 0.1) return nullptr;
    if (w.P1().Z < w.P2().Z) w.Invert();
    const Vec3 p1 = w.P1();
    const Vec3 p2 = w.P2();
    const double t = (p2.Z + m.BaseHeight - 0.1) / (p1.Z - p2.Z);
    const Vec3 q = VecAdd(p2, VecScale(VecSub(p2, p1), t));
    TWire* iso = m.NewWire(p2, q, 0);
    if (iso) iso->Segments = -1;
    return iso;
}

void LinkToNearest(TWire& w) {
    bool startMoved = false;
    Vec3 startPoint;
    if (!w.StartJunctionRef) {
        Vec3 found;
        if (w.NearestEnd(w.P1(), &found)) {
            startMoved = w.SetEnds(found, w.P2(), false, false, true);
            startPoint = found;
        }
    }
    if (!w.EndJunctionRef) {
        Vec3 found;
        if (w.NearestEnd(w.P2(), &found) && !(startMoved && VecEqual(found, startPoint)))
            w.SetEnds(w.P1(), found, false, false, true);
    }
}

void MergeSelected(TWireList& m) {
    TWire* c = m.Selection.Current();
    if (!c) return;
    const std::vector<TWire*> selected = m.Selection.ToVector();
    std::vector<bool> absorbed(selected.size(), false);
    for (bool progress = true; progress;) {
        progress = false;
        for (size_t i = 0; i < selected.size(); ++i) {
            TWire* w = selected[i];
            if (w == c || absorbed[i]) continue;
            const Vec3 cs = c->P1(), ce = c->P2(), ws = w->P1(), we = w->P2();
            Vec3 a, b;
            if (VecEqual(ce, ws)) {
                a = cs, b = we;
            } else if (VecEqual(ce, we)) {
                a = cs, b = ws;
            } else if (VecEqual(cs, we)) {
                a = ws, b = ce;
            } else if (VecEqual(cs, ws)) {
                a = ce, b = we;
            } else {
                continue;
            }
            absorbed[i] = true;
            w->Radius = -10; // marks the absorbed wire; it is destroyed below
            c->SetEnds(a, b, false, false, true);
            progress = true;
            break;
        }
    }
    std::vector<TWire*> doomed;
    for (TWire* w : selected)
        if (w != c) doomed.push_back(w);
    m.DestroyWires(doomed);
}

void CountObjectsOnSelection(const TWireList& m, int* sources, int* loads) {
    int s = 0, l = 0;
    for (const auto& o : m.Sources) s += o->Wire && o->Wire->IsSelected();
    for (const auto& o : m.Loads) l += o->Wire && o->Wire->IsSelected();
    if (sources) *sources = s;
    if (loads) *loads = l;
}

void DeleteSelected(TWireList& m) { m.DestroyWires(m.Selection.ToVector()); }

void SetWireSource(TWireList& m, TWire& w, int position) {
    TWObject* src = m.SourceOf(&w);
    if (position < 1 || position > 3) {
        m.DestroyObject(src);
        return;
    }
    const char letter = position == 1 ? 'b' : position == 2 ? 'c' : 'e';
    std::string ref(1, 'w');
    ref += std::to_string(w.Number());
    ref += letter;
    if (src)
        m.ReadObjectText(*src, ref); // the position only: voltage and phase stay
    else
        m.NewObjectFromText(KindSource, ref + ",0,1");
}

namespace {

// The first combined-wire line whose identifier equals the radius exactly.
const std::string* TaperLineFor(const std::vector<std::string>& lines, double radius) {
    for (const std::string& line : lines)
        if (ParseWordReal(line, 1) == radius) return &line;
    return nullptr;
}

// A new piece from `from`, running away from `away`, of the given length; towards `end`
// instead when it is the section that runs to the end of the wire.
TWire* AddPiece(TWireList& m, TWire& base, const Vec3& from, const Vec3& away, double length, bool toEnd,
                const Vec3& end, double radius, int32_t segments) {
    Vec3 to;
    if (toEnd) {
        to = end;
    } else {
        const Vec3 dir = VecNormalize(VecSub(from, away));
        to = VecAdd(from, VecScale(dir, length));
    }
    TWire* piece = m.NewWire(from, to, radius, base.OwnerTag());
    if (piece) piece->Segments = segments;
    return piece;
}

void UncomboWire(TWireList& m, TWire& w, const std::vector<std::string>& taperLines) {
    const std::string* line = TaperLineFor(taperLines, w.Radius);
    if (!line) return;
    const std::vector<std::string> fields = SplitFields(*line);
    const int32_t mode = fields.size() >= 2 ? StrToIntDef(fields[1], -1) : -1;
    if (mode < 0) return;
    const bool symmetric = mode == 0 || mode == 2;
    const Vec3 s0 = w.P1();
    const Vec3 e0 = w.P2();

    const double l1 = ParseWordReal(*line, 3);
    const double r1 = ParseWordReal(*line, 4);
    if (l1 != NoValue && r1 != NoValue) {
        w.SetLength(symmetric ? 2 : 0, true, l1);
        w.Radius = r1;
    }
    Vec3 a = w.P1();
    Vec3 b = w.P2();
    const int32_t segments = mode > 1 ? 0 : -1;
    double lastRadius = r1;
    for (int i = 5; i < 50 && lastRadius != NoValue; i += 2) {
        const double lk = ParseWordReal(*line, i);
        const double rk = ParseWordReal(*line, i + 1);
        lastRadius = rk;
        if (lk == NoValue || rk == NoValue) break;
        const bool toEnd = lk > 99990;
        // Symmetric sets grow on both sides of the centre piece, the others from the start
        // onwards; a piece begins at the stored end of the one before, so they stay joined.
        if (symmetric)
            if (TWire* p = AddPiece(m, w, a, b, lk, toEnd, s0, rk, segments)) a = p->P2();
        if (TWire* p = AddPiece(m, w, b, a, lk, toEnd, e0, rk, segments)) b = p->P2();
        if (toEnd) break;
    }
}

} // namespace

void Uncombo(TWireList& m, bool selectedOnly, int32_t ownerTag, const std::vector<std::string>* taperLines) {
    std::vector<TWire*> targets;
    for (TWire* w : m)
        if (w->OwnerTag() == ownerTag && w->Radius < 0 && (!selectedOnly || w->IsSelected())) targets.push_back(w);
    if (targets.empty()) return;
    // A copy: decomposing must not depend on lines that change meanwhile.
    const std::vector<std::string> lines = taperLines ? *taperLines : m.TaperLines;
    const bool keep = m.KeepConnections;
    if (ownerTag != 0) m.KeepConnections = false;
    for (TWire* w : targets) UncomboWire(m, *w, lines);
    m.KeepConnections = keep;
}

void RedirectWires(TWireList& m, bool selectedOnly) {
    std::vector<TWire*> own(m.Items().begin(), m.Items().begin() + static_cast<std::ptrdiff_t>(m.OwnCount()));
    for (TWire* w : own) {
        if (selectedOnly && !w->IsSelected()) continue;
        const Vec3& a = w->P1();
        const Vec3& b = w->P2();
        // Each test on its own turns the wire: a start farther out in X, or else in Y, or
        // else, for a vertical wire, higher up.
        const bool invert = std::fabs(a.X) > std::fabs(b.X) || std::fabs(a.Y) > std::fabs(b.Y) ||
                            (a.X == b.X && a.Y == b.Y && a.Z > b.Z);
        if (invert) w->Invert();
    }
}

bool RenumberLess(const TWireList& m, const TWire& a, const TWire& b) {
    const bool sa = m.SourceOf(&a) != nullptr, sb = m.SourceOf(&b) != nullptr;
    if (sa != sb) return sa;
    const bool la = m.HasLoad(&a), lb = m.HasLoad(&b);
    if (la != lb) return la;
    const bool ia = a.IsIsolator(), ib = b.IsIsolator();
    if (ia != ib) return !ia;
    const int64_t za = RoundHalfEven((a.P1().Z + a.P2().Z) / 2 * 1000);
    const int64_t zb = RoundHalfEven((b.P1().Z + b.P2().Z) / 2 * 1000);
    if (za != zb) return za < zb;
    const int64_t xa = RoundHalfEven((a.P1().X + a.P2().X) / 2 * 1000);
    const int64_t xb = RoundHalfEven((b.P1().X + b.P2().X) / 2 * 1000);
    return xa < xb;
}

void RenumberWires(TWireList& m) {
    std::vector<TWire*> own(m.Items().begin(), m.Items().begin() + static_cast<std::ptrdiff_t>(m.OwnCount()));
    std::stable_sort(own.begin(), own.end(), [&m](const TWire* a, const TWire* b) { return RenumberLess(m, *a, *b); });
    m.ReorderOwnWires(own);
}

namespace {

bool SameEnds(const TWire& w, const Vec3& a, const Vec3& b) {
    return (VecEqual(w.P1(), a) && VecEqual(w.P2(), b)) || (VecEqual(w.P1(), b) && VecEqual(w.P2(), a));
}

// The unordered pair of two points, for finding equal new ends.
std::array<double, 6> PairKey(const Vec3& a, const Vec3& b) {
    std::array<double, 6> x{a.X, a.Y, a.Z, b.X, b.Y, b.Z};
    std::array<double, 6> y{b.X, b.Y, b.Z, a.X, a.Y, a.Z};
    return std::min(x, y);
}

// Gives the wires their new ends, rounded, as one change. One by one, a wire would be
// refused the place another wire of the set is about to leave, so a square turned by 90
// degrees about its centre would not turn at all. A wire keeps its ends when its new ends
// coincide or are not finite, when an earlier wire of the set takes the same new ends, or
// when they equal (in either order) the ends of a wire that stays where it is.
void SetEndsTogether(TWireList& m, const std::vector<TWire*>& wires, const std::vector<std::pair<Vec3, Vec3>>& ends) {
    const size_t n = wires.size();
    std::vector<Vec3> a(n), b(n);
    std::vector<bool> moves(n, false);
    std::unordered_map<const TWire*, size_t> at;
    std::set<std::array<double, 6>> taken;
    for (size_t i = 0; i < n; ++i) {
        at[wires[i]] = i;
        a[i] = {Round4(ends[i].first.X), Round4(ends[i].first.Y), Round4(ends[i].first.Z)};
        b[i] = {Round4(ends[i].second.X), Round4(ends[i].second.Y), Round4(ends[i].second.Z)};
        const bool finite = std::isfinite(a[i].X + a[i].Y + a[i].Z + b[i].X + b[i].Y + b[i].Z);
        moves[i] = finite && !VecEqual(a[i], b[i]) && taken.insert(PairKey(a[i], b[i])).second;
    }
    // A refused wire stays in its place, which may be where another one wanted to go.
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < n; ++i) {
            if (!moves[i]) continue;
            for (TWire* other : m.WiresAt(a[i])) {
                if (other == wires[i] || !SameEnds(*other, a[i], b[i])) continue;
                const auto it = at.find(other);
                if (it == at.end() || !moves[it->second]) {
                    moves[i] = false;
                    changed = true;
                    break;
                }
            }
        }
    }
    for (size_t i = 0; i < n; ++i)
        if (moves[i]) wires[i]->AssignEnds(a[i], b[i], false);
}

} // namespace

void MoveSelected(TWireList& m, const Vec3& v, bool keep) {
    const std::vector<TWire*> sel = m.Selection.ToVector();
    if (keep) {
        for (TWire* s : sel) {
            const Vec3 a = s->P1();
            const Vec3 b = s->P2();
            std::vector<TWire*> touching = m.WiresAt(a);
            std::vector<TWire*> atB = m.WiresAt(b);
            touching.insert(touching.end(), atB.begin(), atB.end());
            std::sort(touching.begin(), touching.end(),
                      [&m](const TWire* x, const TWire* y) { return m.IndexOf(x) < m.IndexOf(y); });
            touching.erase(std::unique(touching.begin(), touching.end()), touching.end());
            for (TWire* w : touching) {
                if (w->IsSelected() || !w->IsOwn()) continue;
                if (VecEqual(w->P1(), a) || VecEqual(w->P1(), b)) w->SetEnds(VecAdd(w->P1(), v), w->P2(), false, false, true);
                if (VecEqual(w->P2(), a) || VecEqual(w->P2(), b)) w->SetEnds(w->P1(), VecAdd(w->P2(), v), false, false, true);
            }
        }
    }
    std::vector<std::pair<Vec3, Vec3>> ends;
    for (const TWire* s : sel) ends.emplace_back(VecAdd(s->P1(), v), VecAdd(s->P2(), v));
    SetEndsTogether(m, sel, ends);
}

void MoveWires(TWireList& m, const std::vector<TWire*>& wires, const Vec3& v) {
    std::vector<std::pair<Vec3, Vec3>> ends;
    ends.reserve(wires.size());
    for (const TWire* w : wires) ends.emplace_back(VecAdd(w->P1(), v), VecAdd(w->P2(), v));
    SetEndsTogether(m, wires, ends);
}

double LowestZ(const std::vector<TWire*>& wires, double start) {
    double z = start;
    for (const TWire* w : wires) z = std::min({z, w->P1().Z, w->P2().Z});
    return z;
}

void RotateSelected(TWireList& m, int axis, int centreMode, double angle, bool increasingStep) {
    const std::vector<TWire*> sel = m.Selection.ToVector();
    if (sel.empty()) return;
    Vec3 centre{};
    if (centreMode == 2) {
        Vec3 mn = sel[0]->P1(), mx = sel[0]->P1();
        for (const TWire* w : sel)
            for (const Vec3* p : {&w->P1(), &w->P2()}) {
                mn = {std::min(mn.X, p->X), std::min(mn.Y, p->Y), std::min(mn.Z, p->Z)};
                mx = {std::max(mx.X, p->X), std::max(mx.Y, p->Y), std::max(mx.Z, p->Z)};
            }
        centre = VecScale(VecAdd(mn, mx), 0.5);
    }
    const double step = axis == 1 ? -angle : angle;
    double current = step;
    // Walked from the last selected wire to the current one.
    std::vector<TWire*> walk(sel.rbegin(), sel.rend());
    std::vector<std::pair<Vec3, Vec3>> ends;
    for (TWire* w : walk) {
        Vec3 p = w->P1();
        Vec3 q = w->P2();
        RotatePair(p, q, axis, centre, centreMode, current);
        ends.emplace_back(p, q);
        if (increasingStep) current += step;
    }
    SetEndsTogether(m, walk, ends);
}

void CopySelection(TWireList& m, TWireList& clipboard) {
    clipboard.Clear(false);
    m.PasteShift = {};
    m.PasteOffset = {};
    for (const TWire* w : m.Selection)
        // The radius is taken as it is: any negative value names a combined wire.
        if (TWire* c = clipboard.NewWireCopy({w->P1(), w->P2(), w->Radius, w->Segments})) c->Radius = w->Radius;
}

bool PasteWouldDuplicate(const TWireList& m, const TWireList& clipboard) {
    for (const TWire* w : clipboard)
        if (m.FindWireByEnds(w->P1(), w->P2())) return true;
    return false;
}

int PasteWires(TWireList& m, const TWireList& clipboard, const Vec3& offset) {
    m.PasteShift = VecAdd(m.PasteShift, offset);
    int made = 0;
    for (const TWire* w : clipboard) {
        TWire* n = m.NewWire(VecAdd(w->P1(), m.PasteShift), VecAdd(w->P2(), m.PasteShift), w->Radius);
        if (n) {
            n->Radius = w->Radius;
            n->Segments = w->Segments;
            ++made;
        }
    }
    return made;
}

} // namespace velomast
