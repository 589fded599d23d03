#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <cstring>

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
