#include "analysis/nec_deck.h"

#include "files/maa_reader.h"
#include "model/wire_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

#include <sstream>

using namespace velomast;

namespace {

std::vector<std::string> Cards(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<std::string> CardsOf(const std::string& text, const std::string& kind) {
    std::vector<std::string> out;
    for (const auto& c : Cards(text))
        if (c.rfind(kind, 0) == 0) out.push_back(c);
    return out;
}

std::string Example(TWireList& m, const char* name) {
    EXPECT_TRUE(ReadModel(m, std::string(VELOMAST_SOURCE_DIR) + "/examples/" + name).Ok());
    return WriteNecDeck(m).Text;
}

} // namespace

TEST(NecDeck, DipoleCardByCard) {
    TWireList m;
    // 10.2 m at 14.15 MHz: lambda/80 = 0.265 m gives 39 segments (odd, source at the centre),
    // raised by the 10 m base height over real ground; copper.
    EXPECT_EQ(Cards(Example(m, "dipole.maa")),
              (std::vector<std::string>{"CM Dipole 20 m", "CM ", "CM Half-wave dipole for 14.15 MHz, 10 m above real ground.",
                                        "CE", "GW 1 39 0 -5.1 10 0 5.1 10 0.0008", "GE 1", "GN 2 0 0 0 13 0.005",
                                        "EX 0 1 20 0 1 0", "LD 5 0 0 0 58000000", "FR 0 1 0 0 14.15 0",
                                        "RP 0 37 72 1000 0 0 5 5", "EN"}));
}

TEST(NecDeck, VerticalAndBeamCards) {
    TWireList v;
    const std::string vt = Example(v, "vertical.maa");
    EXPECT_EQ(CardsOf(vt, "GW"), (std::vector<std::string>{
                                     "GW 1 20 0 0 4 0 0 14.1 0.002", "GW 2 16 0 0 4 7.5 0 1 0.0008",
                                     "GW 3 16 0 0 4 0 7.5 1 0.0008", "GW 4 16 0 0 4 -7.5 0 1 0.0008",
                                     "GW 5 16 0 0 4 0 -7.5 1 0.0008"}));
    EXPECT_EQ(CardsOf(vt, "EX"), std::vector<std::string>{"EX 0 1 1 0 1 0"}); // at the start: the first segment
    TWireList b;
    const std::string bt = Example(b, "beam3.maa");
    EXPECT_EQ(CardsOf(bt, "GW").size(), 3u);
    EXPECT_EQ(CardsOf(bt, "EX"), std::vector<std::string>{"EX 0 2 20 0 1 0"});
    // The lone coil of the driven element, in henry, as a series load; aluminium.
    EXPECT_EQ(CardsOf(bt, "LD"), (std::vector<std::string>{"LD 0 2 20 20 0 1.8e-07 0", "LD 5 0 0 0 37000000"}));
    EXPECT_EQ(CardsOf(bt, "FR"), std::vector<std::string>{"FR 0 1 0 0 28.4 0"});
}

TEST(NecDeck, SegmentRule) {
    TWireList m;
    m.SetFrequency(299.792458 / 8); // lambda = 8 m, lambda/80 = 0.1 m
    m.SegmentationLine = "800,\t80,\t2.0,\t1";
    TWire* a = m.NewWire({0, 0, 0}, {0, 1, 0}, 0.001); // 10 segments
    TWire* b = m.NewWire({1, 0, 0}, {1, 1, 0}, 0.001); // 10, but a centre load makes it 11
    TWire* c = m.NewWire({2, 0, 0}, {2, 0.05, 0}, 0.001); // 1, a centre source makes it 3
    TWire* d = m.NewWire({3, 0, 0}, {3, 1, 0}, 0.001);
    d->Segments = 0;
    TWire* e = m.NewWire({4, 0, 0}, {4, 1, 0}, 0.001);
    e->Segments = 4;
    // 2 cm: three segments would be shorter than lambda/1000 = 8 mm, so one stays.
    TWire* f = m.NewWire({5, 0, 0}, {5, 0.02, 0}, 0.001);
    m.NewObjectFromText(KindLoad, "w2c,\t1,\t50,\t0,\t0,\t0,\t0");
    m.NewObjectFromText(KindSource, "w3c,\t0.0,\t1.0");
    m.NewObjectFromText(KindSource, "w6c,\t0.0,\t1.0");
    // Moved off the centre, the load needs the three segments however short they are.
    TWire* g = m.NewWire({6, 0, 0}, {6, 0.02, 0}, 0.001);
    m.NewObjectFromText(KindLoad, "w7c-1,\t1,\t50,\t0,\t0,\t0,\t0");
    EXPECT_EQ(NecSegmentCount(m, *a, a->WireLength()), 10);
    EXPECT_EQ(NecSegmentCount(m, *b, b->WireLength()), 11);
    EXPECT_EQ(NecSegmentCount(m, *c, c->WireLength()), 3);
    EXPECT_EQ(NecSegmentCount(m, *d, d->WireLength()), 1);
    EXPECT_EQ(NecSegmentCount(m, *e, e->WireLength()), 4);
    EXPECT_EQ(NecSegmentCount(m, *f, f->WireLength()), 1);
    EXPECT_EQ(NecSegmentCount(m, *g, g->WireLength()), 3);
    const TNecDeck deck = WriteNecDeck(m);
    EXPECT_EQ(deck.Segments, 10 + 11 + 3 + 1 + 4 + 1 + 3);
    EXPECT_EQ(CardsOf(deck.Text, "LD 4"), (std::vector<std::string>{"LD 4 2 6 6 50 0", "LD 4 7 1 1 50 0"}));
    EXPECT_EQ(CardsOf(deck.Text, "EX"), (std::vector<std::string>{"EX 0 3 2 0 1 0", "EX 0 6 1 0 1 0"}));
    // Free space: no ground card, GE 0.
    EXPECT_EQ(CardsOf(deck.Text, "GE"), std::vector<std::string>{"GE 0"});
    EXPECT_TRUE(CardsOf(deck.Text, "GN").empty());
}

// Long comment lines (Cyrillic ones are two bytes a letter) are cut into short CM cards
// at spaces, never inside a letter, and nothing of the text is lost.
TEST(NecDeck, LongCommentLinesAreCutIntoShortCards) {
    TWireList m;
    m.SetFrequency(14);
    m.NewWire({0, 0, 10}, {0, 10, 10}, 0.001);
    std::string line;
    for (int i = 0; i < 30; ++i) line += "Провод ";
    line += std::string(100, 'x'); // one word longer than a card
    m.ModelName = "Антенна";
    m.Comment = line + "\r\nкоротко";
    const std::vector<std::string> cm = CardsOf(WriteNecDeck(m).Text, "CM");
    ASSERT_GE(cm.size(), 6u);
    EXPECT_EQ(cm.front(), "CM Антенна");
    EXPECT_EQ(cm.back(), "CM коротко");
    std::string joined;
    for (size_t i = 1; i + 1 < cm.size(); ++i) {
        EXPECT_LE(cm[i].size(), 80u) << cm[i];
        const unsigned char last = cm[i].back();
        EXPECT_TRUE(last < 0x80 || (last & 0xC0) == 0x80) << "a letter cut in two: " << cm[i];
        const std::string part = cm[i].substr(3);
        joined += (joined.empty() || joined.back() == 'x' ? "" : " ") + part;
    }
    EXPECT_EQ(joined, line);
}

TEST(NecDeck, SourcesLoadsMaterialGroundAndSweep) {
    TWireList m;
    m.SetFrequency(10);
    m.GroundType = 1;
    m.BaseHeight = 5;
    m.Material = 7;
    m.NewWire({0, -5, 0}, {0, 5, 0}, 0.001);
    m.NewWire({0, 5, 0}, {0, 5.1, 0}, 0); // isolator: left out
    m.NewWire({1, -5, 0}, {1, 5, 0}, 0.001);
    m.NewObjectFromText(KindSource, "w1c,\t90.0,\t2.0");              // 2 V at 90 degrees
    m.NewObjectFromText(KindLoad, "w3b,\t0,\t10,\t100,\t200,\t0,\t0");  // trap: 10 uH, 100 pF, Q 200
    m.NewObjectFromText(KindLoad, "w3e,\t0,\t2,\t0,\t100,\t5,\t0");     // coil 2 uH, Q 100 at 5 MHz
    m.NewObjectFromText(KindLoad, "w1e,\t2,\t1,\t2,\t3,\t4,\t5");       // S: left out
    TNecDeckOptions o;
    o.Sweep = true;
    o.SweepFrom = 9;
    o.SweepTo = 11;
    o.SweepSteps = 5;
    const TNecDeck deck = WriteNecDeck(m, o);
    const auto gw = CardsOf(deck.Text, "GW");
    ASSERT_EQ(gw.size(), 2u);
    EXPECT_EQ(gw[0].substr(0, 5), "GW 1 ");
    EXPECT_EQ(gw[1].substr(0, 5), "GW 3 "); // the wire number stays the tag
    EXPECT_NE(gw[0].find(" 0 -5 5 0 5 5 "), std::string::npos) << gw[0]; // raised by 5 m
    EXPECT_EQ(CardsOf(deck.Text, "GN"), std::vector<std::string>{"GN 1"});
    const auto ex = CardsOf(deck.Text, "EX");
    ASSERT_EQ(ex.size(), 1u);
    double vr = 1, vi = 0;
    int tag = 0, seg = 0, flag = 0, kind = 0;
    std::sscanf(ex[0].c_str(), "EX %d %d %d %d %lf %lf", &kind, &tag, &seg, &flag, &vr, &vi);
    EXPECT_NEAR(vr, 0, 1e-9);
    EXPECT_NEAR(vi, 2, 1e-9);
    const auto ld = CardsOf(deck.Text, "LD");
    ASSERT_EQ(ld.size(), 2u);
    // Parallel trap with the coil's loss as its parallel equivalent Q * wL at 10 MHz.
    double r = 0, l = 0, c = 0;
    std::sscanf(ld[0].c_str(), "LD 1 3 1 1 %lf %lf %lf", &r, &l, &c);
    EXPECT_NEAR(r, 200 * 2 * M_PI * 10e6 * 10e-6, 1e-3);
    EXPECT_NEAR(l, 10e-6, 1e-15);
    EXPECT_NEAR(c, 100e-12, 1e-20);
    // Series coil with R = wL/Q at its own 5 MHz.
    std::sscanf(ld[1].c_str(), "LD 0 3 %*d %*d %lf %lf", &r, &l);
    EXPECT_NEAR(r, 2 * M_PI * 5e6 * 2e-6 / 100, 1e-9);
    EXPECT_EQ(CardsOf(deck.Text, "FR"), std::vector<std::string>{"FR 0 5 0 0 9 0.5"});
    // The S load, the isolator and the user-defined material are named in the notes.
    ASSERT_EQ(deck.Notes.size(), 3u);
    EXPECT_NE(deck.Notes[1].find("w1e"), std::string::npos);
}

TEST(NecDeck, CombinedWireIsSplitIntoSections) {
    TWireList m;
    m.SetFrequency(14);
    m.TaperLines = {"-1,\t1,\t1.0,\t0.01,\t2.0,\t0.005,\t99999,\t0.002"};
    m.NewWire({0, 0, 0}, {0, 0, 10}, 0.001);
    TWire* w = m.NewWire({1, 0, 0}, {1, 0, 10}, 0.001);
    w->Radius = -1;
    const TNecDeck deck = WriteNecDeck(m);
    ASSERT_GE(deck.Wires.size(), 3u);
    EXPECT_EQ(deck.Wires[0].Tag, 1);
    EXPECT_EQ(deck.Wires[1].Tag, 2);
    EXPECT_GT(deck.Wires[1].Radius, 0);
    for (size_t i = 2; i < deck.Wires.size(); ++i) EXPECT_EQ(deck.Wires[i].Tag, static_cast<int>(i + 1));
    // The sections together span the wire.
    double length = 0;
    for (size_t i = 1; i < deck.Wires.size(); ++i) length += std::fabs(deck.Wires[i].Z2 - deck.Wires[i].Z1);
    EXPECT_NEAR(length, 10, 1e-6);
}
