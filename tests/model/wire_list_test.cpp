#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace velomast;

TEST(WireList, CreationRefusesDuplicatesAndUsesTheDefaultRadius) {
    TWireList m;
    m.DefaultRadius = 0.002;
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Radius, 0.002);
    EXPECT_EQ(a->Segments, -1);
    EXPECT_EQ(m.NewWire({1, 0, 0}, {0, 0, 0}, 0.5), nullptr);
    EXPECT_EQ(m.NewWire({0.00002, 0, 0}, {1, 0, 0}, 0.5), nullptr);
    EXPECT_EQ(m.NewWire({3, 3, 3}, {3, 3, 3}, 0.5), nullptr);
    TWire* iso = m.NewWire({0, 1, 0}, {1, 1, 0}, 0);
    EXPECT_EQ(iso->Radius, 0);
    TWire* combi = m.NewWire({0, 2, 0}, {1, 2, 0}, -1);
    EXPECT_EQ(combi->Radius, -1);
    EXPECT_EQ(m.Count(), 3u);

    TWire* six = m.NewWire(0, 0, 5, 0, 0, 6.00004);
    EXPECT_TRUE(VecEqual(six->P2(), {0, 0, 6}));
    TWire* copy = m.NewWireCopy({{7, 0, 0}, {8, 0, 0}, 0.01, 11});
    EXPECT_EQ(copy->Segments, 11);
    EXPECT_EQ(copy->Number(), 5);
}

TEST(WireList, DestroyingAWireTakesItsSourcesAndLoads) {
    TWireList m;
    for (int i = 0; i < 4; ++i) m.NewWire({double(i), 0, 0}, {double(i), 1, 0}, -2);
    ASSERT_NE(m.NewObjectFromText(KindSource, "w2c, 0, 1"), nullptr);
    ASSERT_NE(m.NewObjectFromText(KindSource, "w4b, 0, 1"), nullptr); // the last wire is valid
    ASSERT_NE(m.NewObjectFromText(KindLoad, "w2e, 1, 50, 0"), nullptr);
    m.SelectWire(m[1], true);
    m.DragList.push_back(m[1]);
    m.RebuildElements();
    m.DestroyWire(m[1]);
    ASSERT_EQ(m.Count(), 3u);
    ASSERT_EQ(m.Sources.size(), 1u);
    EXPECT_TRUE(m.Loads.empty());
    EXPECT_TRUE(m.Selection.Empty());
    EXPECT_TRUE(m.DragList.empty());
    EXPECT_EQ(m.Sources[0]->WireRef(), "w3b"); // followed its wire's new number
    // The elements still stand (they are rebuilt later) but hold only the wires left.
    size_t inElements = 0;
    for (const auto& e : m.Elements)
        for (const TWire* w : e->ElementWires) {
            ASSERT_LT(m.IndexOf(w), m.Count());
            EXPECT_EQ(m[m.IndexOf(w)], w);
            ++inElements;
        }
    EXPECT_EQ(inElements, 3u);
    EXPECT_EQ(m.FindWireByEnds({1, 0, 0}, {1, 1, 0}), nullptr);
}

TEST(WireList, ObjectsFromTextCheckTheWireNumber) {
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    int32_t missing = -1;
    EXPECT_EQ(m.NewObjectFromText(KindSource, "w2c, 0, 1", &missing), nullptr);
    EXPECT_EQ(missing, 2);
    EXPECT_EQ(m.NewObjectFromText(KindSource, "w1x, 0, 1", &missing), nullptr);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(m.NewObjectFromText(KindSource, " w1c, 0, 1"), nullptr); // must begin with "w"
    TWObject* load = m.NewObjectFromText(KindLoad, "w1b, 0, 2.52, 0.0, 200.0");
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->Values[0], 0);
    EXPECT_EQ(load->Values[3], 200.0);
    EXPECT_EQ(load->Values[4], NoValue);
    EXPECT_EQ(load->Values[6], 0);
    TWObject* src = m.NewObjectFromText(KindSource, "w1c-1,\t45.0,\t2.0");
    EXPECT_EQ(src->Values[0], 2.0);
    EXPECT_EQ(src->Values[1], 45.0);
    EXPECT_EQ(src->WireRef(), "w1c-1");
    EXPECT_FALSE(m.ReadObjectText(*src, "w7e", &missing));
    EXPECT_EQ(src->WireRef(), "w1c-1");
    EXPECT_TRUE(m.ReadObjectText(*src, "w1e"));
    EXPECT_EQ(src->WireRef(), "w1e");
    EXPECT_EQ(src->Values[0], 2.0); // position only: values stay
}

TEST(WireList, OwnWiresStayInFrontOfSceneWires) {
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    TWire* land = m.NewWire({0, 0, 0}, {0, 0, 1}, -2, -1);
    TWire* later = m.NewWire({5, 0, 0}, {6, 0, 0}, -2);
    EXPECT_EQ(later->Number(), 2);
    EXPECT_EQ(land->Number(), 3);
    EXPECT_EQ(m.OwnCount(), 2u);
    EXPECT_EQ(m.CountByTag(-1), 1u);
    m.SelectWire(land, false); // scene wires are never selected
    EXPECT_TRUE(m.Selection.Empty());
    m.RemoveWiresByTag(-1);
    EXPECT_EQ(m.Count(), 2u);
}

TEST(WireList, BoundingBoxCountsOwnWiresOnly) {
    TWireList m;
    m.NewWire({-50, -50, -50}, {-40, -40, -40}, -2, 1);
    m.NewWire({10, 20, 30}, {12, 21, 35}, -2);
    m.NewWire({11, 25, 31}, {12, 22, 32}, 0);
    m.ComputeBox();
    EXPECT_TRUE(VecEqual(m.BoxMin, {10, 20, 30}));
    EXPECT_TRUE(VecEqual(m.BoxMax, {12, 25, 35}));
    m.BoxSkipIsolators = true;
    m.ComputeBox();
    EXPECT_TRUE(VecEqual(m.BoxMax, {12, 21, 35}));
    TWireList empty;
    empty.ComputeBox();
    EXPECT_TRUE(VecIsZero(empty.BoxMax) && VecIsZero(empty.BoxMin));
}

TEST(WireList, FrequencyAcceptsOnlyTheOpenRange) {
    TWireList m;
    for (double bad : {0.1, 10000.0, 0.0, -5.0, NoValue}) {
        m.SetFrequency(bad);
        EXPECT_EQ(m.Frequency, 14.06);
    }
    m.SetFrequency(0.1001);
    EXPECT_EQ(m.Frequency, 0.1001);
    m.SetFrequency(7.1);
    EXPECT_NEAR(m.Wavelength, 42.2243, 1e-4);
}

TEST(WireList, SelectionOrderAndQueries) {
    TWireList m;
    TWire* w1 = m.NewWire({0, 0, 0}, {2.00004, 0, 0}, -2);
    TWire* w2 = m.NewWire({0, 1, 0}, {2.00001, 1, 0}, 0.001);
    TWire* w3 = m.NewWire({0, 2, 0}, {2.0002, 2, 0}, 0);
    m.SelectWire(w1, false);
    m.SelectWire(w2, false);
    EXPECT_EQ(m.Selection.Current(), w2);
    EXPECT_EQ(m.Selection[1], w1);
    m.SelectWire(w1, false); // already selected: order unchanged
    EXPECT_EQ(m.Selection.Current(), w2);
    m.SelectWire(w3, true);
    EXPECT_EQ(m.Selection.Count(), 1u);
    EXPECT_FALSE(w1->IsSelected());

    m.SelectByLength(2.00002);
    EXPECT_EQ(m.Selection.ToVector(), (std::vector<TWire*>{w2, w1}));
    m.SelectByRadius(0);
    EXPECT_EQ(m.Selection.ToVector(), (std::vector<TWire*>{w3}));
    m.SelectNextWire();
    EXPECT_EQ(m.Selection.ToVector(), (std::vector<TWire*>{w1})); // wraps
    m.ClearSelection();
    m.SelectNextWire();
    EXPECT_EQ(m.Selection.Current(), w1);
    m.DeselectWire(w1);
    EXPECT_TRUE(m.Selection.Empty());
}

TEST(WireList, ClearAndNewModel) {
    TWireList m;
    m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    m.NewObjectFromText(KindSource, "w1c,0,1");
    m.Comment = "\r\nhello";
    m.TaperLines = {"-0.001, 0, 2.0, 0.002"};
    m.LinkedList = {"a.maa"};
    m.Frequency = 7;
    m.GroundType = 2;
    m.StdZR = 75;
    m.Modified = true;
    m.StoreUndoStep(false);
    m.Clear(true);
    EXPECT_EQ(m.Count(), 0u);
    EXPECT_TRUE(m.Sources.empty() && m.TaperLines.empty() && m.LinkedList.empty());
    EXPECT_EQ(m.Comment, "\r\nhello");
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(m.HistoryCount(), 1);

    m.ResetToNewModel();
    EXPECT_EQ(m.ModelName, "Новая антенна");
    EXPECT_EQ(m.SegmentationLine, "800,\t80,\t2.0,\t1");
    EXPECT_TRUE(m.Comment.empty());
    EXPECT_EQ(m.HistoryCount(), 0);
    EXPECT_EQ(m.StdZR, 50);
    EXPECT_EQ(m.Frequency, 7); // kept
    EXPECT_EQ(m.GroundType, 2);
}

TEST(WireList, ReorderOwnWiresNeedsAPermutation) {
    TWireList m;
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, -2);
    TWire* b = m.NewWire({0, 1, 0}, {1, 1, 0}, -2);
    m.ReorderOwnWires({b});
    EXPECT_EQ(a->Number(), 1);
    m.ReorderOwnWires({b, a});
    EXPECT_EQ(a->Number(), 2);
    EXPECT_EQ(m.WiresAt({1, 0, 0}), (std::vector<TWire*>{a}));
}

TEST(WireList, EndIndexAgreesWithAFullSearchThroughEditsAndDeletions) {
    // Few distinct points, so many ends share a point and probe runs collide; random moves,
    // deletions and re-creations exercise every way the index changes. Now and then the
    // table is given back, so the next change or lookup makes it again from the chains.
    std::mt19937 rng(7);
    auto point = [&] {
        std::uniform_int_distribution<int> d(-2, 2);
        return Vec3{d(rng) * 0.5, d(rng) * 0.5, (d(rng) == 0 ? -0.0 : d(rng) * 0.5)};
    };
    TWireList m;
    for (int round = 0; round < 3000; ++round) {
        std::uniform_int_distribution<int> op(0, 9);
        const int o = op(rng);
        if (round % 37 == 0) m.ReleaseEndTable();
        if (o < 4 || m.Count() == 0) {
            m.NewWire(point(), point(), -2, round % 5 == 0 ? 1 : 0);
        } else if (o < 8) {
            TWire* w = m[std::uniform_int_distribution<size_t>(0, m.Count() - 1)(rng)];
            w->SetEnds(point(), point(), o == 7, false, true);
        } else {
            m.DestroyWire(m[std::uniform_int_distribution<size_t>(0, m.Count() - 1)(rng)]);
        }
        if (round % 50 != 0) continue;
        if (round % 100 == 0) m.ReleaseEndTable();
        const Vec3 p = point(), q = point();
        std::vector<TWire*> at;
        TWire* pair = nullptr;
        for (TWire* w : m) {
            if (VecEqual(w->P1(), p) || VecEqual(w->P2(), p)) at.push_back(w);
            const bool same = (VecEqual(w->P1(), p) && VecEqual(w->P2(), q)) || (VecEqual(w->P1(), q) && VecEqual(w->P2(), p));
            if (same && !pair) pair = w;
        }
        ASSERT_EQ(m.WiresAt(p), at) << round;
        ASSERT_EQ(m.FindWireByEnds(p, q), pair) << round;
    }
    m.Clear(false);
    EXPECT_TRUE(m.WiresAt({0, 0, 0}).empty());
}

TEST(WireList, WiresKeepTheirPlaceWhileOthersComeAndGo) {
    // Wires are stored side by side; a destroyed wire's place is reused and a new block
    // never moves the wires already made.
    TWireList m;
    m.ReserveWires(3);
    std::vector<TWire*> kept;
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 50; ++i) {
            const double x = round * 100 + i;
            TWire* w = m.NewWire({x, 0, 0}, {x, 1, 0}, 0.001);
            ASSERT_NE(w, nullptr);
            w->Segments = round * 100 + i;
            kept.push_back(w);
        }
        // Every third wire goes; the rest must be untouched by what comes after.
        std::vector<TWire*> gone;
        std::shuffle(kept.begin(), kept.end(), rng);
        for (size_t i = 0; i < kept.size() / 3; ++i) gone.push_back(kept[i]);
        kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(gone.size()));
        m.DestroyWires(gone);
    }
    ASSERT_EQ(m.Count(), kept.size());
    for (TWire* w : kept) {
        EXPECT_EQ(m[m.IndexOf(w)], w);
        EXPECT_EQ(w->P1().X, w->Segments);
        EXPECT_EQ(w->P2().Y, 1);
        EXPECT_EQ(m.FindWireByEnds(w->P1(), w->P2()), w);
    }
    // A cleared list starts afresh.
    m.Clear(false);
    EXPECT_EQ(m.Count(), 0u);
    TWire* w = m.NewWire({0, 0, 0}, {0, 0, 1}, 0.001);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(m.WiresAt({0, 0, 1}), std::vector<TWire*>{w});
}

TEST(WireList, ReservedRoomOfOddSizesKeepsEveryWireFindable) {
    // A reservation takes only the room asked for, so the wires made past it, and past a
    // second reservation made halfway through, land in new blocks; every wire must still
    // be found by its ends and keep its place.
    TWireList m;
    std::vector<TWire*> made;
    int next = 0;
    auto add = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const double x = next++;
            TWire* w = m.NewWire({x, 0, 0}, {x, 0, 1}, 0.001);
            ASSERT_NE(w, nullptr);
            made.push_back(w);
        }
    };
    m.ReserveWires(100);
    add(70);
    m.ReserveWires(1000); // 30 places left, the rest in new blocks
    add(1100);
    m.DestroyWire(made[5]);
    made.erase(made.begin() + 5);
    m.ReserveWires(5);
    add(300);
    ASSERT_EQ(m.Count(), made.size());
    for (size_t i = 0; i < made.size(); ++i) {
        TWire* w = made[i];
        EXPECT_EQ(m[i], w);
        EXPECT_EQ(m.FindWireByEnds(w->P1(), w->P2()), w);
        EXPECT_EQ(m.WiresAt(w->P2()), std::vector<TWire*>{w});
    }
}

TEST(WireList, KeptRadiusAndDragOriginEndWithTheirWire) {
    // Both are kept beside the wires; a new wire in a destroyed wire's place, an undo
    // step or a cleared list must not find the old values.
    TWireList m;
    TWire* a = m.NewWire({0, 0, 0}, {1, 0, 0}, 0.002);
    TWire* b = m.NewWire({1, 0, 0}, {2, 0, 0}, 0.003);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a->SetSavedRadius(0.002);
    a->SetDragOrigin({1, 0, 0});
    b->SetSavedRadius(0.003);
    EXPECT_EQ(a->SavedRadius(), 0.002);
    EXPECT_TRUE(VecEqual(a->DragOrigin(), {1, 0, 0}));
    EXPECT_EQ(b->SavedRadius(), 0.003);

    m.DestroyWire(a);
    TWire* c = m.NewWire({5, 0, 0}, {6, 0, 0}, 0.001);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->SavedRadius(), 0);
    EXPECT_TRUE(VecEqual(c->DragOrigin(), {0, 0, 0}));
    EXPECT_EQ(b->SavedRadius(), 0.003);

    m.StoreUndoStep(false);
    b->SetSavedRadius(0.004);
    m.StoreUndoStep(false);
    ASSERT_TRUE(m.Undo());
    EXPECT_EQ(m[0]->SavedRadius(), 0);

    m[0]->SetSavedRadius(0.005);
    m.Clear(false);
    TWire* d = m.NewWire({0, 0, 0}, {0, 0, 1}, 0.001);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->SavedRadius(), 0);

    // A wire of no list keeps none.
    TWire loose;
    loose.SetSavedRadius(0.01);
    EXPECT_EQ(loose.SavedRadius(), 0);
}

TEST(WireList, EveryWireKnowsItsListAcrossThePoolBlocks) {
    // A wire finds its list from the head of the block it lives in; the blocks grow from
    // 64 places by doubling, so each block's first and last places are where a wrong
    // block start shows. Two lists side by side must not be told apart wrongly, and places
    // reused after a destroy belong to the list that reuses them.
    TWireList a;
    TWireList b;
    constexpr int n = 5000;
    for (int i = 0; i < n; ++i) {
        a.NewWire({double(i), 0, 0}, {double(i), 1, 0}, -2);
        b.NewWire({double(i), 0, 0}, {double(i), 2, 0}, -2);
    }
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(a[i]->OwnerList(), &a) << i;
        ASSERT_EQ(b[i]->OwnerList(), &b) << i;
        ASSERT_EQ(a[i]->Number(), i + 1);
    }
    b.DestroyWires({b[10], b[200], b[4095]});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.NewWire({-1.0 - i, 0, 0}, {-1.0 - i, 5, 0}, -2)->OwnerList(), &b);
    // The scene's wires are the list's too.
    TWire* foreign = a.NewWire(1);
    EXPECT_EQ(foreign->OwnerList(), &a);

    TWire loose;
    EXPECT_EQ(loose.OwnerList(), nullptr);
    EXPECT_EQ(loose.Number(), 0);
    EXPECT_EQ(loose.Element(), nullptr);
}
