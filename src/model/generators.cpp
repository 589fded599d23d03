#include "generators.h"

#include "wire_commands.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace velomast {

namespace {

constexpr double Pi = 3.14159265358979323846;
// 0.8138 x 0.4 pi: microhenry per (m^2 / m) of a short solenoid.
constexpr double CoilFactor = 1.0226512405965495;

Vec3 Rounded(const Vec3& v) { return {Round4(v.X), Round4(v.Y), Round4(v.Z)}; }

Vec3 Around(const Vec3& centre, const Vec3& u, const Vec3& v, double radius, double angle) {
    return VecAdd(centre, VecAdd(VecScale(u, radius * std::cos(angle)), VecScale(v, radius * std::sin(angle))));
}

} // namespace

// ---- estimates --------------------------------------------------------------------------

TGeneratorEstimate EstimateCage(double baseLength, const TCageParams& p) {
    TGeneratorEstimate e;
    const int n = p.Faces;
    const int h = p.Hoops;
    const double L = baseLength;
    const double R = p.Radius;
    double face;
    if (h == 1) {
        const double a = L * p.Shift;
        face = std::hypot(R, a) + std::hypot(R, L - a);
    } else {
        const double a = L * p.Shift / 2;
        face = 2 * std::hypot(R, a) + (L - 2 * a);
    }
    e.TotalLength = n * face;
    // What MakeFatWire adds: faces in H - 1 segments (one converging face with a single
    // hoop), N wires per hoop, N per end connection (none with a single hoop).
    if (h == 1) {
        e.Count = 2 * n;
    } else {
        e.Count = n * (h - 1) + n * h;
        if (p.TopKind != EndNone) e.Count += n;
        if (p.BottomKind != EndNone) e.Count += n;
    }
    return e;
}

TGeneratorEstimate EstimateCoil(double baseLength, const TCoilParams& p) {
    TGeneratorEstimate e;
    const double D = 2 * p.Radius;
    const double W = p.Turns;
    e.Count = p.ChordsPerTurn * p.Turns + 2;
    e.TotalLength = D + Pi * D * W;
    e.Inductance = baseLength > 0 ? CoilFactor * Pi * (D / 2) * (D / 2) * W * W / baseLength : 0;
    return e;
}

// ---- cage ---------------------------------------------------------------------------------

int MakeFatWire(TWireList& m, TWire& base, const TCageParams& p) {
    const double L = base.WireLength();
    const int n = p.Faces;
    const int h = p.Hoops;
    if (!(L > 0) || !(p.Radius > 0) || n < 1 || h < 1) return 0;
    const Vec3 S = base.P1();
    const Vec3 E = base.P2();
    const Vec3 D = VecSub(E, S);
    const Vec3 d = VecScale(D, 1 / L);
    const Vec3 ref = std::fabs(d.X) <= 0.99 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 u = VecNormalize(VecCross(d, ref));
    const Vec3 v = VecNormalize(VecCross(d, u));
    const double r = p.WireRadius;
    const double rj = p.HoopsIsolated ? 0 : r;
    const double keep = 1 - p.Shift;

    int made = 0;
    auto add = [&](const Vec3& a, const Vec3& b, double radius) {
        if (m.NewWire(a, b, radius)) ++made;
    };
    auto connection = [&](int kind, const Vec3& a, const Vec3& b) {
        if (kind == EndIsolator || kind == EndConductor) add(a, b, kind == EndIsolator ? 0 : r);
    };

    // Ring point j of face e lies at ring[e * h + j].
    std::vector<Vec3> ring(static_cast<size_t>(n) * static_cast<size_t>(h));
    for (int e = 0; e < n; ++e) {
        const double theta = (e * 360.0 / n + p.StartAngle) * DegToRad;
        const Vec3 P = Around(S, u, v, p.Radius, theta);
        const Vec3 Q = h == 1 ? E : VecAdd(P, D);
        Vec3* pts = &ring[static_cast<size_t>(e) * static_cast<size_t>(h)];

        // The face is placed and shortened on a scratch wire and enters the model only in
        // its final place: shortened in the model, a face that duplicates one of an earlier
        // cage would be refused the shortening and stay at full length.
        TWire face;
        face.SetEnds(P, Q, false, false, true);
        if (h == 1) {
            face.SetLength(1, true, keep * face.WireLength());
            add(face.P1(), face.P2(), r);
            pts[0] = face.P1();
            continue; // the faces converge on E: no end connections
        }
        face.SetLength(2, true, keep * face.WireLength());
        if (h > 2) face.SetLength(0, true, face.WireLength() / (h - 1));
        add(face.P1(), face.P2(), r);
        pts[0] = face.P1();
        pts[1] = face.P2();

        connection(p.TopKind, S, pts[0]);
        for (int k = 2; k < h; ++k) {
            const Vec3 T = pts[k - 1];
            const Vec3 next = Rounded(VecReflect(pts[k - 2], T));
            add(T, next, r);
            pts[k] = next;
        }
        connection(p.BottomKind, pts[h - 1], E);
    }
    for (int e = 0; e < n; ++e) {
        const int e1 = (e + 1) % n;
        for (int j = 0; j < h; ++j)
            add(ring[static_cast<size_t>(e1 * h + j)], ring[static_cast<size_t>(e * h + j)], rj);
    }
    if (made > 0 && p.CentreIsolator) MakeIsolator(base);
    return made;
}

// ---- coil ---------------------------------------------------------------------------------

int MakeCoil(TWireList& m, TWire& base, const TCoilParams& p) {
    const double L = base.WireLength();
    const int n = p.ChordsPerTurn;
    if (!(L > 0) || !(p.Radius > 0) || n < 1 || p.Turns < 1) return 0;
    const Vec3 S = base.P1();
    const Vec3 E = base.P2();
    const Vec3 d = VecScale(VecSub(E, S), 1 / L);
    // Along Y the usual reference would be parallel to the wire.
    const bool alongY = std::fabs(d.X) < 0.1 && std::fabs(d.Y) > 0.9 && std::fabs(d.Z) < 0.1;
    const Vec3 ref = alongY ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    const Vec3 u = VecNormalize(VecCross(d, ref));
    const Vec3 v = VecNormalize(VecCross(d, u));
    const int k = n * p.Turns;
    const double r = p.WireRadius;

    int made = 0;
    auto add = [&](const Vec3& a, const Vec3& b) {
        if (m.NewWire(a, b, r)) ++made;
    };
    auto point = [&](int i) {
        if (i == 0) return VecAdd(S, VecScale(u, p.Radius));
        if (i == k) return VecAdd(E, VecScale(u, p.Radius));
        const Vec3 c = VecAdd(S, VecScale(d, i * L / k));
        return Around(c, u, v, p.Radius, i * 2 * Pi / n);
    };
    Vec3 prev = point(0);
    add(S, prev);
    for (int i = 1; i <= k; ++i) {
        const Vec3 next = point(i);
        add(prev, next);
        prev = next;
    }
    add(prev, E);
    if (made > 0 && p.CentreIsolator) MakeIsolator(base);
    return made;
}

// ---- quadrilateral, grid and box --------------------------------------------------------

std::optional<TQuadrilateral> FindQuadrilateral(const TWireList& m) {
    if (m.Selection.Count() != 4) return std::nullopt;
    const std::vector<TWire*> sel = m.Selection.ToVector();
    TQuadrilateral q;
    q.A = sel[0]->P1();
    q.B = sel[0]->P2();

    // The ends of each wire as they are after the wires ending at B are turned round.
    std::array<std::pair<Vec3, Vec3>, 4> ends;
    std::array<bool, 4> inverted{};
    std::vector<int> order{0, 1, 2, 3};
    bool haveC = false;
    for (int i = 1; i < 4; ++i) {
        Vec3 s = sel[static_cast<size_t>(i)]->P1();
        Vec3 e = sel[static_cast<size_t>(i)]->P2();
        if (VecEqual(e, q.B)) {
            std::swap(s, e);
            inverted[static_cast<size_t>(i)] = true;
        }
        ends[static_cast<size_t>(i)] = {s, e};
        if (VecEqual(s, q.B)) {
            q.C = e;
            haveC = true;
            order.erase(std::find(order.begin(), order.end(), i));
            order.insert(order.begin() + 1, i);
        }
    }
    if (!haveC) return std::nullopt;

    bool haveD = false;
    int dWire = 0;
    for (int slot = 2; slot < 4; ++slot) {
        const auto& [s, e] = ends[static_cast<size_t>(order[static_cast<size_t>(slot)])];
        if (VecEqual(s, q.C)) {
            q.D = e;
            haveD = true;
            dWire = slot;
        }
        if (VecEqual(e, q.C)) {
            q.D = s;
            haveD = true;
            dWire = slot;
        }
    }
    if (!haveD) return std::nullopt;
    // The remaining wire must close the outline from D back to A.
    const auto& [s4, e4] = ends[static_cast<size_t>(order[static_cast<size_t>(dWire == 2 ? 3 : 2)])];
    const bool closes = (VecEqual(s4, q.D) && VecEqual(e4, q.A)) || (VecEqual(s4, q.A) && VecEqual(e4, q.D));
    if (!closes) return std::nullopt;
    const Vec3 corners[4] = {q.A, q.B, q.C, q.D};
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            if (VecEqual(corners[i], corners[j])) return std::nullopt;

    for (size_t slot = 0; slot < 4; ++slot) q.Wires[slot] = sel[static_cast<size_t>(order[slot])];
    q.InvertSecond = inverted[static_cast<size_t>(order[1])];
    return q;
}

int GridWireCount(int nH, int nV) { return (nH + 1) * nV + (nV + 1) * nH; }

std::optional<int> FillGrid(TWireList& m, int nH, int nV, double radius) {
    const std::optional<TQuadrilateral> q = FindQuadrilateral(m);
    if (!q || nH < 1 || nV < 1) return std::nullopt;
    const Vec3 u = VecSub(q->B, q->A);
    const Vec3 v = VecSub(q->D, q->A);
    const size_t row = static_cast<size_t>(nH) + 1;
    const size_t count = row * (static_cast<size_t>(nV) + 1);
    // Every point is computed once, so the wires meeting there share it exactly.
    std::vector<Vec3> pts;
    pts.reserve(count);
    for (int j = 0; j <= nV; ++j)
        for (int i = 0; i <= nH; ++i)
            pts.push_back(
                VecAdd(q->A, VecAdd(VecScale(u, static_cast<double>(i) / nH), VecScale(v, static_cast<double>(j) / nV))));

    m.DestroyWires({q->Wires.begin(), q->Wires.end()});
    m.ReserveWires(static_cast<size_t>(GridWireCount(nH, nV)));
    int made = 0;
    for (size_t k = 0; k + 1 < count; ++k) {
        if ((k + 1) % row != 0 && m.NewWire(pts[k], pts[k + 1], radius)) ++made;
        if (k + row < count && m.NewWire(pts[k], pts[k + row], radius)) ++made;
    }
    m.ClearSelection();
    return made;
}

std::optional<int> MakeBox(TWireList& m, int storeys, double height, bool down) {
    const std::optional<TQuadrilateral> q = FindQuadrilateral(m);
    if (!q) return std::nullopt;
    const std::vector<TWire*> oldSelection = m.Selection.ToVector();
    if (q->InvertSecond) q->Wires[1]->Invert();
    m.ClearSelection();
    for (auto it = q->Wires.rbegin(); it != q->Wires.rend(); ++it) m.SelectWire(*it, false);

    const double s = down ? -height : height;
    Vec3 c[4] = {q->A, q->B, q->C, q->D};
    int made = 0;
    auto add = [&](const Vec3& a, const Vec3& b) {
        if (m.NewWire(a, b, -2)) ++made;
    };
    for (int k = 0; k < storeys; ++k) {
        for (const Vec3& p : c) add(p, VecAdd(p, {0, 0, s}));
        for (Vec3& p : c) p.Z += s;
        for (int i = 0; i < 4; ++i) add(c[i], c[(i + 1) % 4]);
    }
    if (made == 0) {
        // Nothing built: the rectangle stays exactly as it was.
        if (q->InvertSecond) q->Wires[1]->Invert();
        m.ClearSelection();
        for (auto it = oldSelection.rbegin(); it != oldSelection.rend(); ++it) m.SelectWire(*it, false);
    }
    return made;
}

// ---- colinear -----------------------------------------------------------------------------

int MakeColinear(TWireList& m, const TWire& w, int n, double gap, double overlap) {
    if (!(w.WireLength() > 0)) return 0;
    const double R = w.Radius;
    Vec3 start = w.P1();
    Vec3 end = w.P2();
    double phi = Pi / 2;
    int made = 0;
    for (int k = 0; k < n; ++k) {
        const Vec3 d = VecNormalize(VecSub(end, start));
        const Vec3 e1 = std::fabs(d.X) <= 0.99 ? VecNormalize(VecCross(d, {1, 0, 0}))
                                                : VecNormalize(VecCross(d, {0, 1, 0}));
        const Vec3 e2 = VecNormalize(VecCross(d, e1));
        const Vec3 p = VecAdd(VecScale(e1, std::cos(phi) * R), VecScale(e2, gap * std::sin(phi)));
        const Vec3 S = VecAdd(start, p);
        const Vec3 E = VecAdd(end, p);
        const Vec3 o = VecScale(VecSub(E, S), overlap);
        // Laid beside the previous element pulled back by the overlap, then moved on by its
        // own length, so that it begins where the previous one ends, less the overlap.
        const Vec3 s0 = Rounded(VecSub(S, o));
        const Vec3 e0 = Rounded(VecSub(E, o));
        const Vec3 ns = e0;
        const Vec3 ne = Rounded(VecReflect(s0, e0));
        if (m.NewWire(ns, ne, R)) ++made;
        start = ns;
        end = ne;
        phi += Pi;
    }
    return made;
}

double ColinearLength(double length, int n, double overlap) { return length + n * (1 - overlap) * length; }

} // namespace velomast
