#include "element.h"

#include "wire.h"

#include <algorithm>

namespace velomast {

void TElement::MeasureWires() {
    // Each wire's ends widen the box in the order the wires were reached, so a NaN end
    // gives the same box whichever way it is worked out.
    bool first = true;
    for (const TWire* w : ElementWires) {
        const Vec3& a = w->P1();
        const Vec3& b = w->P2();
        if (first) {
            ElementBoxMax = {std::max(a.X, b.X), std::max(a.Y, b.Y), std::max(a.Z, b.Z)};
            ElementBoxMin = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::min(a.Z, b.Z)};
            first = false;
        } else {
            for (const Vec3* p : {&a, &b}) {
                ElementBoxMax = {std::max(ElementBoxMax.X, p->X), std::max(ElementBoxMax.Y, p->Y),
                                 std::max(ElementBoxMax.Z, p->Z)};
                ElementBoxMin = {std::min(ElementBoxMin.X, p->X), std::min(ElementBoxMin.Y, p->Y),
                                 std::min(ElementBoxMin.Z, p->Z)};
            }
        }
    }
    const Vec3& mn = ElementBoxMin;
    const Vec3& mx = ElementBoxMax;
    if (first)
        ElementKind = ElementOther;
    else if (mn.Z == mx.Z && mn.X == mx.X)
        ElementKind = ElementAlongY;
    else if (mn.X == mx.X && mn.Y == mx.Y)
        ElementKind = ElementVertical;
    else
        ElementKind = ElementOther;
}

double ElementLength(const TElement& e) {
    double sum = 0;
    for (const TWire* w : e.ElementWires) sum += w->WireLength();
    return sum;
}

const char* ElementKindLetter(const TElement& e) {
    switch (e.ElementKind) {
    case ElementAlongY: return "H";
    case ElementVertical: return "V";
    default: return "";
    }
}

} // namespace velomast
