#include "analysis/geometry_check.h"

#include "model/wire_list.h"

#include <gtest/gtest.h>

using namespace velomast;

TEST(GeometryCheck, EmptyModelHasNoFindings) {
    TWireList m;
    EXPECT_TRUE(CheckGeometry(m).empty());
}
