#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>

using namespace velomast;

namespace {
void MakeModel(TWireList& m) {
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    m.NewWire({1, 0, 0}, {1, 1, 0}, 0.002);
    m.NewWire({1, 1, 0}, {0, 1, 0}, 0);
    m.NewObjectFromText(KindSource, "w1c,0,1");
    m.NewObjectFromText(KindLoad, "w2b,1,50,0");
    m.NewObjectFromText(KindLoad, "w3e2,0,1,2,3,4");
}
} // namespace

TEST(History, SnapshotLayoutAndSize) {
    TWireList m;
    MakeModel(m);
    m.StoreUndoStep(false);
    EXPECT_EQ(m.History.Size(), 10u + 3 * 64 + 3 * 74);
    EXPECT_EQ(m.HistoryPos, 1);
    EXPECT_TRUE(m.Modified);
    const auto& b = m.History.Bytes();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 3); // N, little-endian
    double x2 = 0;
    std::memcpy(&x2, &b[5 + 24], 8);
    EXPECT_EQ(x2, 1.0);
    EXPECT_EQ(b[5 + 3 * 64], 2);
    const size_t obj = 5 + 3 * 64 + 5 + 74; // second object record: the first load
    EXPECT_EQ(b[obj], 1);                   // kind
    EXPECT_EQ(b[obj + 1], 2);               // wire position
    EXPECT_EQ(b[obj + 5], PosBegin);
}

TEST(History, UndoRedoWalkTheSnapshots) {
    TWireList m;
    MakeModel(m);
    m.StoreUndoStep(true); // as after reading a file
    m[0]->SetEnds({0, 0, 0}, {2, 0, 0}, false, false, true);
    m.StoreUndoStep(false);
    EXPECT_TRUE(m.Undo());
    EXPECT_TRUE(VecEqual(m[0]->P2(), {1, 0, 0}));
    EXPECT_FALSE(m.Undo()); // the loaded state is the oldest
    EXPECT_TRUE(m.Redo());
    EXPECT_TRUE(VecEqual(m[0]->P2(), {2, 0, 0}));
    EXPECT_FALSE(m.Redo());
    ASSERT_EQ(m.Sources.size(), 1u);
    EXPECT_EQ(m.Sources[0]->Wire, m[0]);
    ASSERT_EQ(m.Loads.size(), 2u);
    EXPECT_EQ(m.Loads[1]->WireRef(), "w3e2");
    EXPECT_EQ(m.Loads[1]->Values[4], 4);
    EXPECT_EQ(m[1]->Radius, 0.002);
    EXPECT_FALSE(m.Elements.empty()); // rebuilt
}

TEST(History, NewStepAfterUndoKeepsTheUndoneStates) {
    TWireList m;
    TWire* w = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    m.StoreUndoStep(false); // A
    w->SetEnds({0, 0, 0}, {2, 0, 0}, false, false, true);
    m.StoreUndoStep(false); // B
    m.Undo();               // back to A
    m[0]->SetEnds({0, 0, 0}, {3, 0, 0}, false, false, true);
    m.StoreUndoStep(false); // C
    EXPECT_FALSE(m.Redo());
    m.Undo();
    EXPECT_TRUE(VecEqual(m[0]->P2(), {2, 0, 0})); // the snapshot stored before C: B
    m.Undo();
    EXPECT_TRUE(VecEqual(m[0]->P2(), {1, 0, 0})); // A
    EXPECT_EQ(m.HistoryCount(), 3);
}

TEST(History, RestoreKeepsSettingsAndSceneAndEmptiesTheSelection) {
    TWireList m;
    MakeModel(m);
    TWire* scene = m.NewWire({9, 9, 9}, {9, 9, 10}, -2, 2);
    m.StoreUndoStep(false);
    m.Comment = "c";
    m.Frequency = 7;
    m.SelectWire(m[1], true);
    m.NewWire({5, 5, 5}, {6, 6, 6}, -2);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m.Comment, "c");
    EXPECT_EQ(m.Frequency, 7);
    EXPECT_TRUE(m.Selection.Empty());
    EXPECT_EQ(m.OwnCount(), 3u);
    EXPECT_EQ(m.Count(), 4u);
    EXPECT_EQ(m[3], scene); // scene wires stay, behind the own wires
    EXPECT_EQ(scene->Element(), nullptr);
}

TEST(History, AModelWithoutWiresIsAStepAndRestoreNeedsHistory) {
    TWireList m;
    EXPECT_FALSE(m.RestoreUndoStep(1));
    TWire* w = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    m.NewObjectFromText(KindSource, "w1c,0,1");
    m.StoreUndoStep(false);
    // Deleting the last wire stores the empty model (N = 0, M = 0), so undo brings it back.
    m.DestroyWire(w);
    m.StoreUndoStep(false);
    EXPECT_EQ(m.HistoryCount(), 2);
    EXPECT_EQ(m.History.Size(), 2 * 10u + 64 + 74);
    ASSERT_TRUE(m.Undo());
    ASSERT_EQ(m.OwnCount(), 1u);
    EXPECT_EQ(m.Sources.size(), 1u);
    ASSERT_TRUE(m.Redo());
    EXPECT_EQ(m.OwnCount(), 0u);
    EXPECT_TRUE(m.Sources.empty());
    EXPECT_FALSE(m.RestoreUndoStep(3));
    EXPECT_FALSE(m.RestoreUndoStep(0));
    m.ClearHistory();
    EXPECT_EQ(m.HistoryPos, 0);
    EXPECT_EQ(m.History.Size(), 0u);
}

TEST(History, CombinedWireLinesComeBackWithTheirStep) {
    TWireList m;
    TWire* w = m.NewWire({0, 0, 0}, {0, 0, 10}, -2);
    w->Radius = -1;
    m.TaperLines = {"-1, 0, 1, 2, 0.01, 99999, 0.005"};
    m.StoreUndoStep(false);
    // The decomposition drops the lines and stores its step.
    w->Radius = 0.005;
    m.TaperLines.clear();
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m[0]->Radius, -1);
    ASSERT_EQ(m.TaperLines.size(), 1u);
    EXPECT_EQ(m.TaperLines[0], "-1, 0, 1, 2, 0.01, 99999, 0.005");
    ASSERT_TRUE(m.Redo());
    EXPECT_TRUE(m.TaperLines.empty());
    // The lines sit beside the snapshots: the stream keeps its layout and size.
    EXPECT_EQ(m.History.Size(), 2 * (10u + 64));
}

TEST(History, RestoreBringsBackWiresExactlyAsStored) {
    // A file may bring a wire that repeats an earlier one; the snapshot keeps it so that
    // the source on the wire after it keeps its wire.
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    TWire* dup = m.NewWire(0);
    dup->AssignEnds({0, 0, 0}, {1, 0, 0}, true);
    m.NewWire({0, 1, 0}, {1, 1, 0}, -3); // radius below -1: the default
    m.NewObjectFromText(KindSource, "w3c,0,1");
    m.StoreUndoStep(false);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    ASSERT_EQ(m.OwnCount(), 3u);
    EXPECT_EQ(m.Sources[0]->Wire, m[2]);
    EXPECT_EQ(m[2]->Radius, m.DefaultRadius);
}

TEST(History, ManyStepsStayDirectlyReachable) {
    TWireList m;
    TWire* w = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    for (int i = 2; i <= 200; ++i) {
        w = m[0];
        w->SetEnds({0, 0, 0}, {double(i), 0, 0}, false, false, true);
        m.StoreUndoStep(false);
    }
    ASSERT_TRUE(m.RestoreUndoStep(57));
    EXPECT_EQ(m[0]->P2().X, 58);
}

namespace {
// The model's state as a snapshot would store it, and its elements as wire numbers.
struct TState {
    std::vector<uint8_t> Snapshot;
    std::vector<std::vector<int32_t>> Elements;
    size_t Junctions = 0;
    friend bool operator==(const TState&, const TState&) = default;
};

TState StateOf(TWireList& m) {
    TState s;
    TUndoHistory h;
    TSnapshot snap;
    for (size_t i = 0; i < m.OwnCount(); ++i)
        snap.Wires.push_back({m[i]->P1(), m[i]->P2(), m[i]->Radius, m[i]->Segments});
    for (const auto* list : {&m.Sources, &m.Loads})
        for (const auto& o : *list)
            snap.Objects.push_back({o->Kind, o->Wire ? o->Wire->Number() : 0, o->Position, o->SegNo, o->Values});
    h.Append(snap, m.TaperLines);
    s.Snapshot = h.Bytes();
    for (const auto& e : m.Elements) {
        s.Elements.emplace_back();
        for (const TWire* w : e->ElementWires) s.Elements.back().push_back(w->Number());
    }
    s.Junctions = m.Junctions.size();
    return s;
}
} // namespace

TEST(History, StepsRestoredInPlaceEqualTheStatesCommitted) {
    // Every kind of change a step can bring: moved ends, wires added and deleted, an
    // isolator, a new order, a source moved, and a step that changes nothing.
    TWireList m;
    for (int i = 0; i < 6; ++i) m.NewWire({double(i), 0, 0}, {double(i + 1), 0, 0}, -2);
    m.NewObjectFromText(KindSource, "w2c,0,1");
    std::vector<TState> states;
    auto commit = [&] {
        m.StoreUndoStep(false);
        states.push_back(StateOf(m));
    };
    commit();
    m[3]->SetEnds({3, 0, 0}, {4, 1, 0}, true, false, true);
    commit();
    m.NewWire({9, 0, 0}, {9, 1, 0}, -2);
    m.NewWire({9, 1, 0}, {9, 2, 0}, 0.004);
    commit();
    m.DestroyWires({m[0], m[4]});
    commit();
    m[1]->Radius = 0;
    commit();
    m.ReorderOwnWires({m[5], m[4], m[3], m[2], m[1], m[0]});
    commit();
    ASSERT_TRUE(m.ReadObjectText(*m.Sources[0], "w4b"));
    commit();
    commit();
    for (int n = m.HistoryCount(); n >= 1; --n) {
        ASSERT_TRUE(m.RestoreUndoStep(n));
        m.RebuildElements();
        EXPECT_EQ(StateOf(m), states[static_cast<size_t>(n) - 1]) << "step " << n;
    }
    // and forward again through Redo, from the oldest
    m.HistoryPos = 1;
    for (int n = 2; n <= m.HistoryCount(); ++n) {
        ASSERT_TRUE(m.Redo());
        EXPECT_EQ(StateOf(m), states[static_cast<size_t>(n) - 1]) << "redo to step " << n;
    }
}

TEST(History, UndoKeepsUnchangedWiresAndTheirElements) {
    TWireList m;
    MakeModel(m);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.ReadObjectText(*m.Sources[0], "w2c")); // a step that moves no wire
    m.StoreUndoStep(false);
    TWire* first = m[0];
    const TElement* element = m.Elements[0].get();
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m[0], first);
    ASSERT_FALSE(m.Elements.empty());
    EXPECT_EQ(m.Elements[0].get(), element); // not rebuilt
    EXPECT_EQ(m.Sources[0]->Wire, m[0]);
    EXPECT_FALSE(m.Undo()); // nothing left to undo: nothing changes
    EXPECT_EQ(m.Elements[0].get(), element);
    EXPECT_EQ(m.Selection.Count(), 0u);
}

TEST(History, TheOldestStepsAreDroppedBeyondTheLimit) {
    TWireList m;
    MakeModel(m);
    const size_t step = 10u + 3 * 64 + 3 * 74;
    m.History.SetLimit(3 * step);
    for (int i = 1; i <= 6; ++i) {
        m[0]->SetEnds({0, 0, 0}, {double(i), 0, 0}, false, false, true);
        m.StoreUndoStep(false);
    }
    EXPECT_EQ(m.HistoryCount(), 3);
    EXPECT_EQ(m.HistoryPos, 3);
    EXPECT_EQ(m.DroppedUndoSteps, 3u);
    EXPECT_EQ(m.History.Size(), 3 * step);
    EXPECT_TRUE(m.Undo());
    EXPECT_EQ(m[0]->P2().X, 5);
    EXPECT_TRUE(m.Undo());
    EXPECT_EQ(m[0]->P2().X, 4);
    EXPECT_FALSE(m.Undo());
    // However small the limit, the last edit stays undoable.
    m.History.SetLimit(1);
    m.StoreUndoStep(false);
    EXPECT_EQ(m.HistoryCount(), 2);
    EXPECT_TRUE(m.Undo());
}

namespace {
// The stream as it must come out, written byte by byte, independently of the history.
void PutLE(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutReal(std::vector<uint8_t>& out, double v) { PutLE(out, std::bit_cast<uint64_t>(v), 8); }
void PutInt(std::vector<uint8_t>& out, int32_t v) { PutLE(out, static_cast<uint32_t>(v), 4); }

void ReferenceStream(std::vector<uint8_t>& out, const TSnapshot& s) {
    out.push_back(1);
    PutInt(out, static_cast<int32_t>(s.Wires.size()));
    for (const TWireRecord& w : s.Wires) {
        for (double c : {w.P1.X, w.P1.Y, w.P1.Z, w.P2.X, w.P2.Y, w.P2.Z, w.Radius}) PutReal(out, c);
        PutInt(out, w.Segments);
        PutInt(out, 0);
    }
    out.push_back(2);
    PutInt(out, static_cast<int32_t>(s.Objects.size()));
    for (const TObjectRecord& o : s.Objects) {
        out.push_back(o.Kind);
        PutInt(out, o.WirePosition);
        out.push_back(o.Position);
        PutInt(out, o.SegNo);
        for (double v : o.Values) PutReal(out, v);
    }
}

uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }

bool SameRecord(const TWireRecord& a, const TWireRecord& b) {
    const double ca[] = {a.P1.X, a.P1.Y, a.P1.Z, a.P2.X, a.P2.Y, a.P2.Z, a.Radius};
    const double cb[] = {b.P1.X, b.P1.Y, b.P1.Z, b.P2.X, b.P2.Y, b.P2.Z, b.Radius};
    for (int i = 0; i < 7; ++i)
        if (Bits(ca[i]) != Bits(cb[i])) return false;
    return a.Segments == b.Segments;
}

bool SameObject(const TObjectRecord& a, const TObjectRecord& b) {
    if (a.Kind != b.Kind || a.WirePosition != b.WirePosition || a.Position != b.Position || a.SegNo != b.SegNo)
        return false;
    for (size_t i = 0; i < a.Values.size(); ++i)
        if (Bits(a.Values[i]) != Bits(b.Values[i])) return false;
    return true;
}

// A 1000-wire grid of 4-decimal coordinates, negative ones and zeros among them, one
// radius and segment count, and two objects.
TSnapshot Grid(size_t n = 1000) {
    TSnapshot s;
    for (size_t i = 0; i < n; ++i) {
        const double x = (static_cast<double>(i % 40) - 20) * 0.1234, y = static_cast<double>(i / 40) * 0.0007;
        s.Wires.push_back({{Round4(x), Round4(y), 0}, {Round4(x + 0.0001), Round4(-y), 12.3456}, 0.0008, -1});
    }
    s.Objects.push_back({0, 3, PosCentre, 1, {1, 0, 0, 0, 0, 0, 0, 0}});
    s.Objects.push_back({1, 7, PosBegin, 2, {50, 0.25, -0.0, std::nan(""), 0, 0, 0, 1e300}});
    return s;
}

struct THeldCase {
    const char* Name;
    void (*Change)(TSnapshot&);
    TWireForm Form;
};

const THeldCase HeldCases[] = {
    {"4-decimal grid", [](TSnapshot&) {}, WireFormCompact},
    {"-0.0 and the extreme 32-bit tenths",
     [](TSnapshot& s) {
         s.Wires[500].P1.Y = -0.0;
         s.Wires[501].P2.X = -214748.3647;
         s.Wires[502].P2.Z = 214748.3647;
     },
     WireFormCompact},
    {"NaN radius everywhere",
     [](TSnapshot& s) {
         for (auto& w : s.Wires) w.Radius = std::nan("");
     },
     WireFormCompact},
    {"wire 500 other radius", [](TSnapshot& s) { s.Wires[500].Radius = 0.002; }, WireFormTenths},
    {"wire 500 radius -0.0 among 0.0",
     [](TSnapshot& s) {
         for (auto& w : s.Wires) w.Radius = 0.0;
         s.Wires[500].Radius = -0.0;
     },
     WireFormTenths},
    {"last wire other segments", [](TSnapshot& s) { s.Wires.back().Segments = 7; }, WireFormTenths},
    {"wire 500 5-decimal", [](TSnapshot& s) { s.Wires[500].P2.Y = 0.12345; }, WireFormShared},
    {"wire 500 NaN", [](TSnapshot& s) { s.Wires[500].P1.Z = std::nan(""); }, WireFormShared},
    {"wire 500 beyond 32-bit tenths", [](TSnapshot& s) { s.Wires[500].P1.X = 214748.3648; }, WireFormShared},
    {"wire 500 at the tenths kept for -0.0", [](TSnapshot& s) { s.Wires[500].P2.X = -214748.3648; }, WireFormShared},
    {"first wire huge", [](TSnapshot& s) { s.Wires[0].P2.X = 1e300; }, WireFormShared},
    {"wire 500 5-decimal, wire 700 other radius",
     [](TSnapshot& s) {
         s.Wires[500].P2.X = 1e-5;
         s.Wires[700].Radius = 0.001;
     },
     WireFormFull},
    {"wire 500 other radius, wire 700 infinite",
     [](TSnapshot& s) {
         s.Wires[500].Radius = 0.001;
         s.Wires[700].P1.Y = -INFINITY;
     },
     WireFormFull},
    {"no wires", [](TSnapshot& s) { s.Wires.clear(); }, WireFormCompact},
};

TSnapshot CaseSnapshot(const THeldCase& c) {
    TSnapshot s = Grid();
    c.Change(s);
    return s;
}

void ExpectReadBack(const TUndoHistory& h, int32_t n, const TSnapshot& want, const char* name) {
    TSnapshot got;
    ASSERT_TRUE(h.Read(n, got)) << name;
    ASSERT_EQ(got.Wires.size(), want.Wires.size()) << name;
    for (size_t i = 0; i < want.Wires.size(); ++i) ASSERT_TRUE(SameRecord(got.Wires[i], want.Wires[i])) << name << ", wire " << i;
    ASSERT_EQ(got.Objects.size(), want.Objects.size()) << name;
    for (size_t i = 0; i < want.Objects.size(); ++i) EXPECT_TRUE(SameObject(got.Objects[i], want.Objects[i])) << name;
}
} // namespace

TEST(History, EachHeldFormGivesBackTheStreamBitForBit) {
    for (const THeldCase& c : HeldCases) {
        const TSnapshot s = CaseSnapshot(c);
        TUndoHistory h;
        h.Append(s);
        std::vector<uint8_t> want;
        ReferenceStream(want, s);
        EXPECT_EQ(h.Size(), want.size()) << c.Name;
        EXPECT_EQ(h.Bytes(), want) << c.Name;
        EXPECT_EQ(h.Form(1), c.Form) << c.Name;
        // What the form promises: nothing kept beyond the records.
        EXPECT_EQ(h.HeldBytes(), s.Objects.size() * 74 + s.Wires.size() * TUndoHistory::HeldWireSize(c.Form)) << c.Name;
        ExpectReadBack(h, 1, s, c.Name);
        TSnapshotView v;
        ASSERT_TRUE(h.View(1, v));
        if (!s.Wires.empty()) {
            EXPECT_TRUE(SameRecord(v.Wire(s.Wires.size() - 1), s.Wires.back())) << c.Name;
        }
    }
}

TEST(History, ReusedBuffersKeepEverySnapshotExact) {
    // Snapshots of changing forms while the oldest are dropped: the spare buffer and the
    // buffer sized for the previous form are reused, grown and re-encoded in place.
    TUndoHistory h;
    std::vector<uint8_t> one;
    ReferenceStream(one, Grid());
    h.SetLimit(3 * one.size());
    std::vector<TSnapshot> kept;
    const size_t order[] = {11, 11, 3, 0, 6, 0, 11, 3, 6, 12, 0, 5, 13, 1, 8, 9, 11, 0};
    for (size_t step = 0; step < std::size(order); ++step) {
        const THeldCase& c = HeldCases[order[step]];
        kept.push_back(CaseSnapshot(c));
        const size_t dropped = h.Append(kept.back());
        kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(dropped));
        ASSERT_EQ(static_cast<size_t>(h.Count()), kept.size()) << "step " << step;
        EXPECT_EQ(h.Form(h.Count()), c.Form) << c.Name;
        std::vector<uint8_t> want;
        for (const TSnapshot& s : kept) ReferenceStream(want, s);
        EXPECT_EQ(h.Size(), want.size());
        ASSERT_EQ(h.Bytes(), want) << "step " << step << ": " << c.Name;
        for (int32_t n = 1; n <= h.Count(); ++n) ExpectReadBack(h, n, kept[static_cast<size_t>(n) - 1], c.Name);
        // Held: no snapshot's buffer more than twice its records, and one spare.
        size_t bound = 2 * (64 * 1000 + 2 * 74);
        for (int32_t k = 1; k <= h.Count(); ++k)
            bound += 2 * (2 * 74 + kept[static_cast<size_t>(k) - 1].Wires.size() * TUndoHistory::HeldWireSize(h.Form(k)));
        EXPECT_LE(h.HeldBytes(), bound) << "step " << step;
    }
    // A snapshot narrower than the one before it holds no more than its own form.
    TUndoHistory fresh;
    fresh.Append(CaseSnapshot(HeldCases[11]));
    const size_t full = fresh.HeldBytes();
    fresh.Append(Grid());
    EXPECT_EQ(fresh.HeldBytes(), full + 2 * 74 + 1000 * 24);
}

TEST(History, UndoAndRedoRestoreEveryFormExactly) {
    TWireList m;
    auto wires = [&] {
        std::vector<TWireRecord> r;
        for (size_t i = 0; i < m.OwnCount(); ++i) r.push_back({m[i]->P1(), m[i]->P2(), m[i]->Radius, m[i]->Segments});
        return r;
    };
    std::vector<std::vector<TWireRecord>> states;
    auto commit = [&](TWireForm form) {
        m.StoreUndoStep(false);
        states.push_back(wires());
        EXPECT_EQ(m.History.Form(m.HistoryCount()), form) << "step " << m.HistoryCount();
    };
    for (int i = 0; i < 20; ++i) m.NewWire({0.1 * i, 0, 0}, {0.1 * i, 1, -0.00001 * i}, -2);
    ASSERT_EQ(Bits(m[1]->P2().Z), Bits(-0.0)); // rounded to -0.0
    commit(WireFormCompact);
    m[3]->Radius = 0.003;
    commit(WireFormTenths);
    ASSERT_TRUE(m[5]->SetEnds(m[5]->P1(), {300000, 1, 0}, false, false, true));
    commit(WireFormFull);
    m[3]->Radius = m[4]->Radius;
    commit(WireFormShared);
    auto expectState = [&](int n) {
        const auto now = wires();
        const auto& want = states[static_cast<size_t>(n) - 1];
        ASSERT_EQ(now.size(), want.size());
        for (size_t i = 0; i < now.size(); ++i) EXPECT_TRUE(SameRecord(now[i], want[i])) << "step " << n << ", wire " << i;
    };
    for (int n = 3; n >= 1; --n) {
        ASSERT_TRUE(m.Undo());
        expectState(n);
    }
    for (int n = 2; n <= 4; ++n) {
        ASSERT_TRUE(m.Redo());
        expectState(n);
    }
}

TEST(History, UndoKeepsACoordinateTooLargeToRound) {
    // A file may bring an end far beyond what 0.1 mm rounding can hold; undoing a later
    // edit must give it back as it was, not as infinity.
    TWireList m;
    m.NewWireAssigned({1e305, 0, 0}, {0, 0, 5}, 0);
    m.NewWire({0, 0, 0}, {0, 1, 0}, -2);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m[1]->SetEnds({0, 0, 0}, {0, 2, 0}, false, false, true));
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m[0]->P1().X, 1e305);
    EXPECT_EQ(m[1]->P2().Y, 1);
}
