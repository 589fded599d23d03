#include "model/selection_summary.h"
#include "model/wire_list.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(SelectionSummary, CommonValuesStayAndMixedOnesBecomeNoValue) {
    TWireList m;
    TWire* a = m.NewWire({0, 0, 10}, {0, 5, 10}, 0.001);
    TWire* b = m.NewWire({0, 0, 10}, {3, 0, 10}, 0.001);
    b->Segments = 7;
    TSelectionSummary s;
    m.SelectWire(a, false);
    m.SelectWire(b, false); // b is current now
    UpdateSelectionSummary(m, s);
    EXPECT_EQ(s.X1, 0);
    EXPECT_EQ(s.Y1, 0);
    EXPECT_EQ(s.Z1, 10);
    EXPECT_EQ(s.X2, NoValue);
    EXPECT_EQ(s.Y2, NoValue);
    EXPECT_EQ(s.Z2, 10);
    EXPECT_EQ(s.Radius, 0.001);
    EXPECT_EQ(s.Segments, NoValueInt);
    EXPECT_EQ(s.Length, NoValue);
    EXPECT_EQ(s.Azimuth, NoValue);
    EXPECT_NEAR(s.Zenith, 90, 1e-9);

    // One wire: every value is its own.
    m.SelectWire(a, true);
    UpdateSelectionSummary(m, s);
    EXPECT_EQ(s.Y2, 5);
    EXPECT_EQ(s.Length, 5);
    EXPECT_EQ(s.Segments, -1);
    EXPECT_NEAR(s.Azimuth, 90, 1e-9);
}

TEST(SelectionSummary, StartsAreComparedWithStartsOnly) {
    // b is a reversed copy of a's direction: its start equals a's end, not a's start.
    TWireList m;
    TWire* a = m.NewWire({1, 2, 3}, {4, 5, 6}, -2);
    TWire* b = m.NewWire({4, 5, 6}, {7, 8, 9}, -2);
    m.SelectWire(a, false);
    m.SelectWire(b, false);
    TSelectionSummary s;
    UpdateSelectionSummary(m, s);
    EXPECT_EQ(s.X1, NoValue);
    EXPECT_EQ(s.X2, NoValue);
    EXPECT_EQ(s.Length, a->WireLength()); // equal lengths and directions
    EXPECT_EQ(s.Azimuth, a->Azimuth());
}

TEST(SelectionSummary, AnEmptySelectionLeavesTheSummaryAsItWas) {
    TWireList m;
    TWire* a = m.NewWire({0, 0, 0}, {2, 0, 0}, -2);
    m.SelectWire(a, true);
    TSelectionSummary s;
    UpdateSelectionSummary(m, s);
    m.ClearSelection();
    UpdateSelectionSummary(m, s);
    EXPECT_EQ(s.X2, 2);
    EXPECT_EQ(s.Length, 2);
}
