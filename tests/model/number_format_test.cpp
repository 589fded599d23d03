#include "model/number_format.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(NumberFormat, FileReals) {
    struct Case { double in; const char* out; };
    for (const Case c : {Case{5, "5.0"}, {0, "0.0"}, {0.0008, "0.0008"}, {-12.5, "-12.5"}, {10, "10.0"},
                         {0.000005, "5E-6"}, {1e15, "1E15"}, {123456789012345.0, "123456789012345.0"},
                         {0.1 + 0.2, "0.3"}, {-0.0, "0.0"}, {1.0 / 3, "0.333333333333333"}, {0.00001, "0.00001"}})
        EXPECT_EQ(FormatFileReal(c.in), c.out) << c.in;
    EXPECT_EQ(FormatFileFrequency(14.06), "14.06");
    EXPECT_EQ(FormatFileFrequency(7), "7");
}

TEST(NumberFormat, FixedOneDecimal) {
    struct Case { double in; const char* out; };
    for (const Case c : {Case{10, "10.0"}, {50, "50.0"}, {10.26, "10.3"}, {0, "0.0"}, {-0.04, "0.0"},
                         {-2.25, "-2.3"}, {12345.6, "12346.0"}, {1234567, "1.2346E6"}})
        EXPECT_EQ(FormatFixed1(c.in), c.out) << c.in;
}

TEST(NumberFormat, GeneralAndFixedWithWidthAndMark) {
    EXPECT_EQ(FormatFloatG(2.0, 5, 5, ','), "    2");
    EXPECT_EQ(FormatFloatG(1.23456789, 5, 5, ','), "1,2346");
    EXPECT_EQ(FormatFloatG(12.345, 6, 3, '.'), "  12.3");
    EXPECT_EQ(FormatFloatG(123456, 6, 3, '.'), "1.23E5");
    EXPECT_EQ(FormatFloatG(0.000012345, 0, 3, '.'), "0.0000123");
    EXPECT_EQ(FormatFloatG(0.0000012345, 0, 3, '.'), "1.23E-6");
    EXPECT_EQ(FormatFloatG(0.0001, 0, 15, '.'), "0.0001");
    EXPECT_EQ(FloatToStrFixed(1, 5, 2, ','), "1,00");
    EXPECT_EQ(FloatToStrFixed(12.3456, 6, 3, '.'), "12.346");
    EXPECT_EQ(FloatToStrFixed(0.125, 5, 2, '.'), "0.13"); // halves away from zero
    EXPECT_EQ(FloatToStrFixed(-0.001, 5, 2, '.'), "0.00");
    EXPECT_EQ(FloatToStrFixed(99.999, 5, 2, '.'), "100.00");
    EXPECT_EQ(FormatFloatF(3.14159, 7, 4, '.'), " 3.1416");
    EXPECT_EQ(FloatToStrGeneral(-1e-20), "-1E-20");
}
