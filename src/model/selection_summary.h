// What the selected wires have in common: each value is the first selected wire's value
// when every selected wire has exactly the same one, otherwise NoValue (NoValueInt for
// the segmentation). The wire table shows common values and leaves mixed ones blank.
#pragma once

#include "model/vec3.h"

#include <cstdint>

namespace velomast {

class TWireList;

struct TSelectionSummary {
    double X1 = NoValue;
    double Y1 = NoValue;
    double Z1 = NoValue;
    double X2 = NoValue;
    double Y2 = NoValue;
    double Z2 = NoValue;
    double Radius = NoValue;
    int32_t Segments = NoValueInt;
    double Length = NoValue;
    double Azimuth = NoValue;
    double Zenith = NoValue;
};

// Recomputes the summary from the model's selection (exact comparison of doubles). With no
// wire selected the summary is left as it was.
void UpdateSelectionSummary(const TWireList& m, TSelectionSummary& s);

} // namespace velomast
