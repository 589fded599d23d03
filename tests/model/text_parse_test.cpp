#include "model/text_parse.h"
#include "model/wire.h"
#include "model/wobject.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(TextParse, FieldsAndWordReals) {
    EXPECT_EQ(SplitFields("1,,2"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(SplitFields(" a ,\tb , "), (std::vector<std::string>{"a", "b"}));
    struct Case { const char* line; int n; double v; };
    for (const Case c : {Case{"14.05", 1, 14.05}, {"1, 8.0e-04", 2, 8e-4}, {"1E-5", 1, 1e-5},
                         {"  0.000,  -0.0", 2, -0.0}, {"1, 2", 3, NoValue}, {"   ", 1, NoValue}, {"abc", 1, NoValue},
                         {"1.000.5", 1, NoValue}, {"inf", 1, NoValue}, {"nan", 1, NoValue}, {"1e", 1, NoValue},
                         {"14.100000", 1, 14.1}, {"+3", 1, 3}})
        EXPECT_EQ(ParseWordReal(c.line, c.n), c.v) << c.line;
    EXPECT_EQ(ParseReal("1,5", ','), 1.5);
    EXPECT_EQ(ParseReal("1.5", ','), NoValue);
    EXPECT_EQ(ParseRealAnyMark(" 7.1 "), 7.1);
    EXPECT_EQ(ParseRealAnyMark("14,05"), 14.05);
}

TEST(TextParse, IntegersWithDefault) {
    struct Case { const char* in; int32_t out; };
    for (const Case c : {Case{"12", 12}, {"  12", 12}, {"12 ", -5}, {"1.0", -5}, {"-3", -3}, {"+4", 4}, {"", -5},
                         {"x1", -5}, {"2147483647", 2147483647}, {"2147483648", -5}, {"-2147483648", -2147483647 - 1}})
        EXPECT_EQ(StrToIntDef(c.in, -5), c.out) << c.in;
}

TEST(TextParse, WireRefs) {
    struct Case { const char* in; int32_t wire; uint8_t pos; int32_t seg; };
    for (const Case c : {Case{"w12c", 12, PosCentre, 0}, {"w3b, 1e-6", 3, PosBegin, 0}, {"w4e2", 4, PosEnd, 2},
                         {"w10c-1", 10, PosCentre, -1}, {"w1c+1", 1, PosCentre, 1}, {"w2b9", 2, PosBegin, 9},
                         {"w10c ,0,1", 10, PosCentre, 0}, {"w1с, 0", 1, PosCentre, 0}, {"w5", 0, 0, 0},
                         {"wc5", 0, 0, 0}, {"w", 0, 0, 0}})
        {
            const TWireRef r = ParseWireRef(c.in);
            EXPECT_EQ(r.WireNumber, c.wire) << c.in;
            EXPECT_EQ(r.Position, c.pos) << c.in;
            EXPECT_EQ(r.SegNo, c.seg) << c.in;
        }
}

TEST(TextParse, WireLines) {
    const TWireRecord a = ParseWireLine("0,0,0,0,0,10,0.001,-1");
    const TWireRecord b = ParseWireLine("0.0,\t0.0, 0.0, 0.0, 0.0, 10.0, 1.0e-3, -1");
    EXPECT_TRUE(VecEqual(a.P2, b.P2));
    EXPECT_EQ(a.Radius, b.Radius);
    EXPECT_EQ(a.Segments, -1);
    const TWireRecord c = ParseWireLine("0,0,0,0,0,x,0.001");
    EXPECT_EQ(c.P2.Z, NoValue);
    EXPECT_EQ(c.Segments, -2);
}
