#include "analysis/geometry_check.h"

#include "files/maa_reader.h"
#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

using namespace velomast;

namespace {

// A model at 14 MHz (lambda about 21.4 m) with 80 segments per wavelength.
void Init(TWireList& m) {
    m.SetFrequency(14.0);
    m.SegmentationLine = "800,\t80,\t2.0,\t1";
}

TWire* Add(TWireList& m, Vec3 a, Vec3 b, double r = 0.001) {
    TWire* w = m.NewWire(a, b, r);
    EXPECT_NE(w, nullptr);
    return w;
}

std::vector<const TCheckFinding*> Of(const std::vector<TCheckFinding>& f, const std::string& rule) {
    std::vector<const TCheckFinding*> out;
    for (const auto& x : f)
        if (x.Rule == rule) out.push_back(&x);
    return out;
}

} // namespace

TEST(GeometryCheck, ExamplesAreClean) {
    for (const char* name : {"dipole.maa", "vertical.maa", "beam3.maa"}) {
        TWireList m;
        ASSERT_TRUE(ReadModel(m, std::string(VELOMAST_SOURCE_DIR) + "/examples/" + name).Ok()) << name;
        const auto f = CheckGeometry(m);
        EXPECT_TRUE(f.empty()) << name << ": " << (f.empty() ? "" : f[0].Text);
    }
}

TEST(GeometryCheck, WireRules) {
    TWireList m;
    Init(m);
    Add(m, {0, 0, 10}, {0, 5, 10});
    TWire* z = m.NewWireAssigned({1, 1, 10}, {1, 1, 10}); // zero length, as a file may hold
    z->Radius = 0.001;
    TWire* d = m.NewWireAssigned({0, 5, 10}, {0, 0, 10}); // the first wire reversed
    d->Radius = 0.001;
    const auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "zero-length").size(), 1u);
    EXPECT_EQ(Of(f, "zero-length")[0]->Wires, std::vector<int>{2});
    ASSERT_EQ(Of(f, "duplicate").size(), 1u);
    EXPECT_EQ(Of(f, "duplicate")[0]->Wires, (std::vector<int>{1, 3}));
    EXPECT_EQ(Of(f, "duplicate")[0]->Severity, TCheckSeverity::Error);
}

TEST(GeometryCheck, EndsThatNearlyMeetAndWiresThatCross) {
    TWireList m;
    Init(m);
    Add(m, {0, 0, 10}, {0, 5, 10});
    Add(m, {0, 5.0004, 10}, {0, 9, 10});  // 0.4 mm gap: will not join
    Add(m, {-2, 2, 10}, {2, 2, 10});       // crosses wire 1 in its middle
    Add(m, {5, 0, 10}, {5, 5, 10});        // joined to nothing, far away
    Add(m, {5, 5, 10}, {8, 5, 10});        // joined at an end: fine
    const auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "near-ends").size(), 1u);
    EXPECT_EQ(Of(f, "near-ends")[0]->Wires, (std::vector<int>{1, 2}));
    EXPECT_NE(Of(f, "near-ends")[0]->Text.find("0.40 мм"), std::string::npos) << Of(f, "near-ends")[0]->Text;
    ASSERT_EQ(Of(f, "crossing").size(), 1u);
    EXPECT_EQ(Of(f, "crossing")[0]->Wires, (std::vector<int>{1, 3}));
}

TEST(GeometryCheck, CrossingFoundAmongManyWiresAndWithALongWire) {
    TWireList m;
    Init(m);
    // A grid of short parallel wires, none touching, and one long wire across them all.
    for (int i = 0; i < 200; ++i) Add(m, {i * 0.5, 0, 10}, {i * 0.5, 1, 10});
    Add(m, {-1, 0.5, 10}, {101, 0.5, 10.0});
    Add(m, {50.25, 3, 0.5}, {50.25, 3, 30}); // vertical, touching nothing
    const auto f = CheckGeometry(m);
    EXPECT_EQ(Of(f, "crossing").size(), 200u);
    for (const auto* x : Of(f, "crossing")) EXPECT_EQ(x->Wires[1], 201);
}

TEST(GeometryCheck, SegmentRules) {
    TWireList m;
    Init(m);
    TWire* lng = Add(m, {0, 0, 10}, {0, 10, 10});
    lng->Segments = 3;                            // 3.3 m segments > lambda/10
    TWire* sh = Add(m, {1, 0, 10}, {1, 0.01, 10}); // 1 cm, one segment < lambda/1000
    (void)sh;
    Add(m, {2, 0, 10}, {2, 0.1, 10}, 0.02);        // dl/a = 0.1/0.02 = 5: warning
    Add(m, {3, 0, 10}, {3, 0.1, 10}, 0.06);        // dl/a < 2: error
    Add(m, {4, 0, 10}, {4, 3, 10}, 1.2);           // 2 pi a / lambda = 0.35: thick
    const auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "segment-long").size(), 1u);
    EXPECT_EQ(Of(f, "segment-long")[0]->Wires, std::vector<int>{1});
    EXPECT_EQ(Of(f, "segment-long")[0]->Severity, TCheckSeverity::Warning);
    ASSERT_GE(Of(f, "segment-short").size(), 1u);
    EXPECT_EQ(Of(f, "segment-short")[0]->Wires, std::vector<int>{2});
    const auto sr = Of(f, "segment-radius");
    auto find = [&](int wire) {
        return std::find_if(sr.begin(), sr.end(), [&](const TCheckFinding* x) { return x->Wires[0] == wire; });
    };
    ASSERT_NE(find(3), sr.end());
    EXPECT_EQ((*find(3))->Severity, TCheckSeverity::Warning);
    ASSERT_NE(find(4), sr.end());
    EXPECT_EQ((*find(4))->Severity, TCheckSeverity::Error);
    ASSERT_EQ(Of(f, "thick-wire").size(), 1u);
    EXPECT_EQ(Of(f, "thick-wire")[0]->Wires, std::vector<int>{5});
}

TEST(GeometryCheck, JunctionRules) {
    TWireList m;
    Init(m);
    // 31 radials from one point.
    for (int i = 0; i < 31; ++i) {
        const double a = i * 2 * M_PI / 31;
        Add(m, {0, 0, 10}, {2 * std::cos(a), 2 * std::sin(a), 10});
    }
    // A thin wire on a thick one, and a short segment beside a long one.
    Add(m, {10, 0, 10}, {10, 2, 10}, 0.01);
    Add(m, {10, 2, 10}, {10, 4, 10}, 0.001);
    TWire* a = Add(m, {20, 0, 10}, {20, 2, 10});
    a->Segments = 1;
    TWire* b = Add(m, {20, 2, 10}, {20, 4, 10});
    b->Segments = 10;
    const auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "junction-count").size(), 1u);
    EXPECT_EQ(Of(f, "junction-count")[0]->Wires.size(), 31u);
    ASSERT_EQ(Of(f, "radius-ratio").size(), 1u);
    EXPECT_EQ(Of(f, "radius-ratio")[0]->Wires, (std::vector<int>{33, 32}));
    ASSERT_EQ(Of(f, "segment-ratio").size(), 1u);
    EXPECT_EQ(Of(f, "segment-ratio")[0]->Wires, (std::vector<int>{35, 34}));
}

TEST(GeometryCheck, GroundRules) {
    TWireList m;
    Init(m);
    m.GroundType = 2;
    m.BaseHeight = 1;
    Add(m, {0, 0, -1}, {0, 0, 5});      // ends exactly on the ground: joined to it, fine
    Add(m, {1, 0, -1.5}, {1, 0, 5});    // 0.5 m below the ground
    Add(m, {2, 0, -1}, {2, 3, -1});     // lies on the ground
    Add(m, {3, 0, -0.99}, {3, 3, -0.99}); // 1 cm up: lower than lambda/1000
    auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "below-ground").size(), 2u);
    EXPECT_EQ(Of(f, "below-ground")[0]->Wires, std::vector<int>{2});
    EXPECT_EQ(Of(f, "below-ground")[1]->Wires, std::vector<int>{3});
    ASSERT_EQ(Of(f, "low-horizontal").size(), 1u);
    EXPECT_EQ(Of(f, "low-horizontal")[0]->Wires, std::vector<int>{4});
    // In free space there is no ground to be under.
    m.GroundType = 0;
    f = CheckGeometry(m);
    EXPECT_TRUE(Of(f, "below-ground").empty());
    EXPECT_TRUE(Of(f, "low-horizontal").empty());
}

TEST(GeometryCheck, SourcesAndLoads) {
    TWireList m;
    Init(m);
    Add(m, {0, 0, 10}, {0, 5, 10});
    Add(m, {0, 5, 10}, {0, 5.1, 10}, 0); // an isolator
    Add(m, {1, 0, 10}, {1, 5, 10});
    ASSERT_NE(m.NewObjectFromText(KindSource, "w2c,\t0.0,\t1.0"), nullptr);
    ASSERT_NE(m.NewObjectFromText(KindSource, "w3b40,\t0.0,\t1.0"), nullptr); // wire 3 has 19 segments
    ASSERT_NE(m.NewObjectFromText(KindLoad, "w1c,\t1,\t50,\t0,\t0,\t0,\t0"), nullptr);
    const auto f = CheckGeometry(m);
    ASSERT_EQ(Of(f, "object-on-isolator").size(), 1u);
    EXPECT_EQ(Of(f, "object-on-isolator")[0]->Wires, std::vector<int>{2});
    ASSERT_EQ(Of(f, "object-segment").size(), 1u);
    EXPECT_EQ(Of(f, "object-segment")[0]->Wires, std::vector<int>{3});
    EXPECT_NE(Of(f, "object-segment")[0]->Text.find("41"), std::string::npos) << Of(f, "object-segment")[0]->Text;
}
