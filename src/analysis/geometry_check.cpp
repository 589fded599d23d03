#include "geometry_check.h"

#include "nec_deck.h"

#include "model/wire_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace velomast {

namespace {

std::string Fmt(const char* f, double a, double b) {
    char buf[320];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

double Dist(const Vec3& a, const Vec3& b) { return std::sqrt((a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y) + (a.Z - b.Z) * (a.Z - b.Z)); }

struct TPointKey {
    double X, Y, Z;
    bool operator==(const TPointKey&) const = default;
};
struct TPointHash {
    size_t operator()(const TPointKey& k) const {
        const std::hash<double> h;
        return h(k.X) * 73856093u ^ h(k.Y) * 19349663u ^ h(k.Z) * 83492791u;
    }
};

struct TCellKey {
    int64_t X, Y, Z;
    bool operator==(const TCellKey&) const = default;
};
struct TCellHash {
    size_t operator()(const TCellKey& k) const {
        return static_cast<size_t>(k.X * 73856093LL ^ k.Y * 19349663LL ^ k.Z * 83492791LL);
    }
};

// Closest points of segments p1-q1 and p2-q2: parameters s, t in [0, 1] and the distance.
double SegmentDistance(const Vec3& p1, const Vec3& q1, const Vec3& p2, const Vec3& q2, double* s, double* t) {
    const Vec3 d1 = VecSub(q1, p1), d2 = VecSub(q2, p2), r = VecSub(p1, p2);
    auto dot = [](const Vec3& a, const Vec3& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; };
    const double a = dot(d1, d1), e = dot(d2, d2), f = dot(d2, r);
    double sc = 0, tc = 0;
    if (a <= 1e-18 && e <= 1e-18) {
    } else if (a <= 1e-18) {
        tc = std::clamp(f / e, 0.0, 1.0);
    } else {
        const double c = dot(d1, r);
        if (e <= 1e-18) {
            sc = std::clamp(-c / a, 0.0, 1.0);
        } else {
            const double b = dot(d1, d2), den = a * e - b * b;
            sc = den > 1e-18 * a * e ? std::clamp((b * f - c * e) / den, 0.0, 1.0) : 0.0;
            tc = (b * sc + f) / e;
            if (tc < 0) {
                tc = 0;
                sc = std::clamp(-c / a, 0.0, 1.0);
            } else if (tc > 1) {
                tc = 1;
                sc = std::clamp((b - c) / a, 0.0, 1.0);
            }
        }
    }
    *s = sc;
    *t = tc;
    return Dist(VecAdd(p1, VecScale(d1, sc)), VecAdd(p2, VecScale(d2, tc)));
}

class TChecker {
public:
    explicit TChecker(const TWireList& m) : M(m), N(m.OwnCount()), Lambda(m.Wavelength) {
        Seg.resize(N);
        SegLen.resize(N);
        for (size_t i = 0; i < N; ++i) {
            const TWire& w = *M[i];
            Seg[i] = NecSegmentCount(M, w, w.WireLength());
            SegLen[i] = w.WireLength() / Seg[i];
        }
    }

    std::vector<TCheckFinding> Run() {
        Wires();
        Ends();
        Crossings();
        Ground();
        Objects();
        std::stable_sort(Out.begin(), Out.end(), [](const TCheckFinding& a, const TCheckFinding& b) {
            const auto& ids = CheckRuleIds();
            return std::find(ids.begin(), ids.end(), a.Rule) < std::find(ids.begin(), ids.end(), b.Rule);
        });
        return std::move(Out);
    }

private:
    const TWireList& M;
    size_t N;
    double Lambda;
    std::vector<int> Seg;
    std::vector<double> SegLen;
    std::vector<TCheckFinding> Out;

    bool Conductor(size_t i) const { return M[i]->Radius > 0 && M[i]->WireLength() > 0; }

    void Add(TCheckSeverity s, const char* rule, std::vector<int> wires, std::string text) {
        Out.push_back({s, rule, std::move(wires), std::move(text)});
    }

    void Wires() {
        std::unordered_map<TPointKey, std::vector<size_t>, TPointHash> byMid;
        for (size_t i = 0; i < N; ++i) {
            const TWire& w = *M[i];
            const int no = static_cast<int>(i + 1);
            if (w.WireLength() == 0) {
                Add(TCheckSeverity::Error, "zero-length", {no}, "Провод " + std::to_string(no) + " нулевой длины");
                continue;
            }
            const Vec3 mid = VecScale(VecAdd(w.P1(), w.P2()), 0.5);
            byMid[{mid.X, mid.Y, mid.Z}].push_back(i);
            if (w.Radius <= 0) continue;
            const double a = w.Radius, dl = SegLen[i];
            if (dl > Lambda / 10)
                Add(TCheckSeverity::Warning, "segment-long", {no},
                    Fmt("Провод %%d: сегмент %.3f м длиннее λ/10 = %.3f м", dl, Lambda / 10));
            else if (dl < Lambda / 1000)
                Add(TCheckSeverity::Error, "segment-short", {no},
                    Fmt("Провод %%d: сегмент %.4f м короче λ/1000 = %.4f м", dl, Lambda / 1000));
            const double ratio = dl / a;
            if (ratio < 2)
                Add(TCheckSeverity::Error, "segment-radius", {no},
                    Fmt("Провод %%d: отношение длины сегмента к радиусу %.2f меньше %.0f", ratio, 2));
            else if (ratio < 8)
                Add(TCheckSeverity::Warning, "segment-radius", {no},
                    Fmt("Провод %%d: отношение длины сегмента к радиусу %.2f меньше %.0f", ratio, 8));
            const double thick = 2 * M_PI * a / Lambda;
            if (thick > 0.3)
                Add(TCheckSeverity::Warning, "thick-wire", {no},
                    Fmt("Провод %%d: толстый провод, 2πa/λ = %.3f больше %.1f", thick, 0.3));
        }
        // Put the wire number into the texts written with a %d placeholder.
        for (TCheckFinding& f : Out)
            if (f.Text.find("%d") != std::string::npos) {
                char buf[400];
                std::snprintf(buf, sizeof buf, f.Text.c_str(), f.Wires[0]);
                f.Text = buf;
            }
        for (auto& [mid, list] : byMid) {
            if (list.size() < 2) continue;
            for (size_t a = 0; a < list.size(); ++a)
                for (size_t b = a + 1; b < list.size(); ++b) {
                    const TWire &u = *M[list[a]], &v = *M[list[b]];
                    const bool same = (VecEqual(u.P1(), v.P1()) && VecEqual(u.P2(), v.P2())) ||
                                      (VecEqual(u.P1(), v.P2()) && VecEqual(u.P2(), v.P1()));
                    if (!same) continue;
                    const int na = static_cast<int>(list[a] + 1), nb = static_cast<int>(list[b] + 1);
                    Add(TCheckSeverity::Error, "duplicate", {na, nb},
                        "Провода " + std::to_string(na) + " и " + std::to_string(nb) + " совпадают");
                }
        }
    }

    // Junctions (ends exactly equal) and ends that nearly meet.
    void Ends() {
        std::unordered_map<TPointKey, std::vector<size_t>, TPointHash> at;
        at.reserve(2 * N);
        double limitMax = 0.001;
        for (size_t i = 0; i < N; ++i) {
            if (!Conductor(i)) continue;
            for (const Vec3* p : {&M[i]->P1(), &M[i]->P2()}) at[{p->X, p->Y, p->Z}].push_back(i);
            limitMax = std::max(limitMax, SegLen[i] / 1000);
        }
        for (auto& [p, list] : at) {
            if (list.size() < 2) continue;
            std::vector<int> nums;
            for (size_t i : list) nums.push_back(static_cast<int>(i + 1));
            if (list.size() > 30)
                Add(TCheckSeverity::Error, "junction-count", nums,
                    Fmt("В одной точке соединено %.0f проводов, больше %.0f", static_cast<double>(list.size()), 30));
            size_t rmin = list[0], rmax = list[0], smin = list[0], smax = list[0];
            for (size_t i : list) {
                if (M[i]->Radius < M[rmin]->Radius) rmin = i;
                if (M[i]->Radius > M[rmax]->Radius) rmax = i;
                if (SegLen[i] < SegLen[smin]) smin = i;
                if (SegLen[i] > SegLen[smax]) smax = i;
            }
            const double rr = M[rmax]->Radius / M[rmin]->Radius;
            if (rr > 5)
                Add(TCheckSeverity::Warning, "radius-ratio", {static_cast<int>(rmin + 1), static_cast<int>(rmax + 1)},
                    Fmt("Соединены провода с отношением радиусов %.1f, больше %.0f", rr, 5));
            const double sr = SegLen[smax] / SegLen[smin];
            if (sr > 5)
                Add(TCheckSeverity::Warning, "segment-ratio", {static_cast<int>(smin + 1), static_cast<int>(smax + 1)},
                    Fmt("В соединении отношение длин сегментов %.1f, больше %.0f", sr, 5));
        }
        // Ends within the limit of each other but not equal, found through a grid of cells
        // the size of the largest limit.
        const double cell = limitMax;
        std::unordered_map<TCellKey, std::vector<std::pair<size_t, Vec3>>, TCellHash> grid;
        auto key = [cell](const Vec3& p) {
            return TCellKey{static_cast<int64_t>(std::floor(p.X / cell)), static_cast<int64_t>(std::floor(p.Y / cell)),
                            static_cast<int64_t>(std::floor(p.Z / cell))};
        };
        for (size_t i = 0; i < N; ++i) {
            if (!Conductor(i)) continue;
            for (const Vec3* p : {&M[i]->P1(), &M[i]->P2()}) grid[key(*p)].push_back({i, *p});
        }
        std::map<std::pair<size_t, size_t>, double> pairs;
        for (auto& [k, list] : grid)
            for (const auto& [i, p] : list)
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dz = -1; dz <= 1; ++dz) {
                            auto it = grid.find({k.X + dx, k.Y + dy, k.Z + dz});
                            if (it == grid.end()) continue;
                            for (const auto& [j, q] : it->second) {
                                if (j <= i || VecEqual(p, q)) continue;
                                const double d = Dist(p, q);
                                const double limit = std::max(0.001, std::min(SegLen[i], SegLen[j]) / 1000);
                                if (d < limit && !pairs.count({i, j})) pairs[{i, j}] = d;
                            }
                        }
        for (const auto& [ij, d] : pairs) {
            const double limit = std::max(0.001, std::min(SegLen[ij.first], SegLen[ij.second]) / 1000);
            Add(TCheckSeverity::Error, "near-ends", {static_cast<int>(ij.first + 1), static_cast<int>(ij.second + 1)},
                Fmt("Концы проводов разошлись на %.2f мм (меньше %.2f мм) и не соединены", d * 1000, limit * 1000));
        }
    }

    // Wires that cross or touch away from their ends: a grid of cells about a typical
    // wire's size; a wire is entered in every cell its box covers.
    void Crossings() {
        std::vector<size_t> wires;
        std::vector<double> lengths;
        for (size_t i = 0; i < N; ++i)
            if (Conductor(i)) {
                wires.push_back(i);
                lengths.push_back(M[i]->WireLength());
            }
        if (wires.size() < 2) return;
        std::nth_element(lengths.begin(), lengths.begin() + lengths.size() / 2, lengths.end());
        double maxR = 0;
        for (size_t i : wires) maxR = std::max(maxR, M[i]->Radius);
        const double cell = std::max({lengths[lengths.size() / 2], 4 * maxR, 1e-3});
        std::unordered_map<TCellKey, std::vector<size_t>, TCellHash> grid;
        std::vector<size_t> big;
        constexpr int64_t MaxCells = 512;
        auto range = [&](size_t i, TCellKey* lo, TCellKey* hi) {
            const TWire& w = *M[i];
            const double r = w.Radius;
            auto c = [&](double v) { return static_cast<int64_t>(std::floor(v / cell)); };
            *lo = {c(std::min(w.P1().X, w.P2().X) - r), c(std::min(w.P1().Y, w.P2().Y) - r), c(std::min(w.P1().Z, w.P2().Z) - r)};
            *hi = {c(std::max(w.P1().X, w.P2().X) + r), c(std::max(w.P1().Y, w.P2().Y) + r), c(std::max(w.P1().Z, w.P2().Z) + r)};
            return (hi->X - lo->X + 1) * (hi->Y - lo->Y + 1) * (hi->Z - lo->Z + 1);
        };
        for (size_t i : wires) {
            TCellKey lo, hi;
            if (range(i, &lo, &hi) > MaxCells) {
                big.push_back(i);
                continue;
            }
            for (int64_t x = lo.X; x <= hi.X; ++x)
                for (int64_t y = lo.Y; y <= hi.Y; ++y)
                    for (int64_t z = lo.Z; z <= hi.Z; ++z) grid[{x, y, z}].push_back(i);
        }
        std::vector<size_t> stamp(N, SIZE_MAX);
        auto test = [&](size_t i, size_t j) {
            const TWire &u = *M[i], &v = *M[j];
            // Joined wires (a common end) meet by design.
            if (VecEqual(u.P1(), v.P1()) || VecEqual(u.P1(), v.P2()) || VecEqual(u.P2(), v.P1()) || VecEqual(u.P2(), v.P2()))
                return;
            double s = 0, t = 0;
            const double d = SegmentDistance(u.P1(), u.P2(), v.P1(), v.P2(), &s, &t);
            const double limit = std::max(u.Radius, v.Radius);
            if (d >= limit) return;
            // Two ends close together are the near-ends rule's case.
            const bool endU = s == 0 || s == 1, endV = t == 0 || t == 1;
            if (endU && endV) return;
            const int a = static_cast<int>(std::min(i, j) + 1), b = static_cast<int>(std::max(i, j) + 1);
            Add(TCheckSeverity::Error, "crossing", {a, b},
                "Провода " + std::to_string(a) + " и " + std::to_string(b) +
                    Fmt(" пересекаются или касаются не в концах: расстояние %.2f мм меньше радиуса %.2f мм", d * 1000,
                        limit * 1000));
        };
        for (size_t i : wires) {
            TCellKey lo, hi;
            if (range(i, &lo, &hi) > MaxCells) continue;
            for (int64_t x = lo.X; x <= hi.X; ++x)
                for (int64_t y = lo.Y; y <= hi.Y; ++y)
                    for (int64_t z = lo.Z; z <= hi.Z; ++z) {
                        auto it = grid.find({x, y, z});
                        if (it == grid.end()) continue;
                        for (size_t j : it->second) {
                            if (j <= i || stamp[j] == i) continue;
                            stamp[j] = i;
                            test(i, j);
                        }
                    }
        }
        // Wires too long for the grid are tested against every wire.
        std::vector<bool> isBig(N, false);
        for (size_t i : big) isBig[i] = true;
        for (size_t i : big)
            for (size_t j : wires)
                if (j != i && (!isBig[j] || j > i)) test(i, j);
    }

    void Ground() {
        if (M.GroundType != 1 && M.GroundType != 2) return;
        const double h = M.BaseHeight;
        for (size_t i = 0; i < N; ++i) {
            const TWire& w = *M[i];
            if (w.Radius == 0 || w.WireLength() == 0) continue;
            const int no = static_cast<int>(i + 1);
            const double z1 = w.P1().Z + h, z2 = w.P2().Z + h;
            // NEC joins an end exactly at z = 0 to the ground; below it, or a wire lying in
            // the ground, the analysis is wrong.
            if (z1 < 0 || z2 < 0 || (z1 == 0 && z2 == 0))
                Add(TCheckSeverity::Error, "below-ground", {no},
                    Fmt("Провод %.0f: конец на высоте %.3f м, на уровне земли или ниже", no, std::min(z1, z2)));
            else if (z1 == z2 && z1 < Lambda / 1000)
                Add(TCheckSeverity::Warning, "low-horizontal", {no},
                    Fmt("Провод %.0f: горизонтальный провод на высоте %.4f м", no, z1) +
                        Fmt(", ниже λ/1000 = %.4f м", Lambda / 1000, 0));
        }
    }

    void Objects() {
        for (const auto* list : {&M.Sources, &M.Loads})
            for (const auto& o : *list) {
                if (!o->Wire || !o->Wire->IsOwn()) continue;
                const size_t i = M.IndexOf(o->Wire);
                const int no = static_cast<int>(i + 1);
                const char* what = o->Kind == KindSource ? "Источник " : "Нагрузка ";
                if (o->Wire->Radius == 0) {
                    Add(TCheckSeverity::Error, "object-on-isolator", {no},
                        std::string(what) + o->WireRef() + " стоит на изоляторе");
                    continue;
                }
                if (o->Wire->Radius < 0) continue;
                const int seg = NecSegmentOf(o->Position, o->SegNo, Seg[i]);
                if (seg < 1 || seg > Seg[i])
                    Add(TCheckSeverity::Error, "object-segment", {no},
                        std::string(what) + o->WireRef() +
                            Fmt(": сегмента %.0f нет, у провода %.0f сегментов", seg, Seg[i]));
            }
    }
};

} // namespace

const std::vector<std::string>& CheckRuleIds() {
    static const std::vector<std::string> ids = {
        "zero-length",    "duplicate",     "near-ends",    "crossing",       "segment-long",       "segment-short",
        "segment-radius", "thick-wire",    "junction-count", "radius-ratio", "segment-ratio",      "below-ground",
        "low-horizontal", "object-on-isolator", "object-segment"};
    return ids;
}

std::vector<TCheckFinding> CheckGeometry(const TWireList& model) { return TChecker(model).Run(); }

int CountFindings(const std::vector<TCheckFinding>& findings, TCheckSeverity severity) {
    int n = 0;
    for (const TCheckFinding& f : findings) n += f.Severity == severity;
    return n;
}

} // namespace velomast
