#include "selection_summary.h"

#include "wire_list.h"

namespace velomast {

void UpdateSelectionSummary(const TWireList& m, TSelectionSummary& s) {
    const TWire* first = m.Selection.Current();
    if (!first) return;
    s.X1 = first->P1().X;
    s.Y1 = first->P1().Y;
    s.Z1 = first->P1().Z;
    s.X2 = first->P2().X;
    s.Y2 = first->P2().Y;
    s.Z2 = first->P2().Z;
    s.Radius = first->Radius;
    s.Segments = first->Segments;
    s.Length = first->WireLength();
    s.Azimuth = first->Azimuth();
    s.Zenith = first->Zenith();
    auto mix = [](double& common, double value) {
        if (common != value) common = NoValue;
    };
    for (const TWire* w : m.Selection) {
        if (w == first) continue;
        mix(s.X1, w->P1().X);
        mix(s.Y1, w->P1().Y);
        mix(s.Z1, w->P1().Z);
        mix(s.X2, w->P2().X);
        mix(s.Y2, w->P2().Y);
        mix(s.Z2, w->P2().Z);
        mix(s.Radius, w->Radius);
        mix(s.Length, w->WireLength());
        mix(s.Azimuth, w->Azimuth());
        mix(s.Zenith, w->Zenith());
        if (s.Segments != w->Segments) s.Segments = NoValueInt;
    }
}

} // namespace velomast
