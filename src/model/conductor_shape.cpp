#include "conductor_shape.h"

#include <cmath>
#include <utility>

namespace velomast {

bool ShapeUsesSizeB(int kind) {
    return kind == ShapeRectangle || kind == ShapeEllipse || kind == ShapeAngle || kind == ShapeTee;
}

double EquivalentDiameter(int kind, double a, double b) {
    // Worked in extended precision, as the published formulas were tabulated.
    long double x = a;
    long double y = b;
    switch (kind) {
    case ShapeStrip: return static_cast<double>(x / 2);
    case ShapeRectangle: {
        long double big = x;
        long double small = y;
        if (small > big) std::swap(big, small);
        if (!(big > 0)) return 0;
        const long double q = small / big;
        // Exactly 3 still takes the correction; only flatter bars go without it.
        const long double k = !(small > 0) || big / small > 3 ? 1.0L : 0.25L * q + 0.93L;
        return static_cast<double>(k * (big / 2) * (1 + q * (1.36L - 0.36L * q)));
    }
    case ShapeEllipse: return static_cast<double>((x + y) / 2);
    case ShapeSquare: return static_cast<double>(1.18L * x);
    case ShapeAngle: return static_cast<double>(0.4L * (x + y));
    case ShapeTee:
        if (!(x > 0) || !(y > 0)) return static_cast<double>(std::sqrt(x * x + y * y) / 2);
        return static_cast<double>(x / (2 * std::sqrt((y / x) * (y / x) + 1)) + y / (2 * std::sqrt((x / y) * (x / y) + 1)));
    default: return 0;
    }
}

} // namespace velomast
