#include "view/view_camera.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace velomast;

namespace {

// The default paint area: 800 x 460, BaseFactor 12, 100 % = 120 pixels per metre.
struct Flat {
    uint8_t Kind;
    int H; // 0 X, 1 Y, 2 Z along the screen's horizontal axis
    int V;
};
constexpr Flat FlatViews[] = {{1, 0, 1}, {2, 0, 2}, {3, 1, 2}};

double Get(const Vec3& p, int axis) { return axis == 0 ? p.X : axis == 1 ? p.Y : p.Z; }

} // namespace

TEST(Projection, ViewCentreMapsToCentrePixelInEveryViewAndAngle) {
    TWireList m;
    m.ViewCenter = {3.21, -7.5, 12.25};
    m.SetViewScale(37.3);
    for (uint8_t kind = 0; kind <= 3; ++kind) {
        SetViewPage(m, kind);
        EXPECT_EQ(ProjectPoint(m, m.ViewCenter), m.CenterPixel) << int(kind);
    }
    for (double el : {0.0, 90.0, 110.0, 180.0, -725.0})
        for (double az : {-10.0, 0.0, 33.3, 400.0})
            EXPECT_EQ(ProjectPoint3D(m, m.ViewCenter, el, az), m.CenterPixel) << el << " " << az;
}

TEST(Projection, FlatRoundTripIsWithinHalfAPixelAndTakesTheDepthFromTheCentre) {
    TWireList m;
    m.ViewCenter = {1, 2, 3};
    const Vec3 points[] = {{1.2345, -3.3, 7.77}, {-40, 12.5, 0.01}, {1, 2, 3}, {0.0042, 0.0041, -0.0049}};
    for (const Flat& f : FlatViews) {
        SetViewPage(m, f.Kind);
        const double halfPixel = 0.5 / (m.ViewScale * m.BaseFactor);
        for (const Vec3& p : points) {
            const Vec3 back = UnprojectPixel(m, ProjectPoint(m, p));
            EXPECT_LE(std::fabs(Get(back, f.H) - Get(p, f.H)), halfPixel + 1e-12);
            EXPECT_LE(std::fabs(Get(back, f.V) - Get(p, f.V)), halfPixel + 1e-12);
            const int depth = 3 - f.H - f.V;
            EXPECT_EQ(Get(back, depth), Get(m.ViewCenter, depth));
        }
    }
}

TEST(Projection, FlatViewsRoundHalvesToEven) {
    TWireList m; // 120 pixels per metre, centre pixel (400, 230)
    SetViewPage(m, 1);
    // 2.5 / 120 m and 3.5 / 120 m are 2.5 and 3.5 pixels: 2 and 4.
    EXPECT_EQ(ProjectPoint(m, {2.5 / 120, 0, 0}).X, 402);
    EXPECT_EQ(ProjectPoint(m, {3.5 / 120, 0, 0}).X, 404);
    EXPECT_EQ(ProjectPoint(m, {0, 2.5 / 120, 0}).Y, 228);
}

TEST(Projection, TurnedViewWithTheInitialAngles) {
    TWireList m;
    // Az -10: X points slightly up-right; El 110 looks 20 degrees down, so Z shortens.
    EXPECT_EQ(ProjectPoint(m, {1, 0, 0}), (ScreenPoint{518, 237}));
    EXPECT_EQ(ProjectPoint(m, {0, 0, 1}), (ScreenPoint{400, 117}));
    EXPECT_EQ(ProjectPoint(m, {0, 1, 0}), (ScreenPoint{421, 190}));
}

TEST(Projection, TurnedViewMatchesTheFlatViewsAtTheirAngles) {
    TWireList m;
    m.ViewCenter = {0.5, -1, 2};
    const Vec3 points[] = {{1, 2, 3}, {-4.4, 0.3, 9}, {10, -10, -1}};
    for (const Vec3& p : points) {
        SetViewPage(m, 2);
        EXPECT_EQ(ProjectPoint3D(m, p, 90, 0), ProjectPoint(m, p)); // X right, Z up
        SetViewPage(m, 1);
        EXPECT_EQ(ProjectPoint3D(m, p, 180, 0), ProjectPoint(m, p)); // X right, Y up
    }
}

TEST(Projection, TurnedViewUnprojectsIntoTheScreenPlane) {
    TWireList m;
    m.ViewCenter = {2, 3, 4};
    m.ViewElevation = 133;
    m.ViewAzimuth = 57;
    const ScreenPoint pixels[] = {{0, 0}, {400, 230}, {799, 459}, {123, 456}};
    for (const ScreenPoint px : pixels) EXPECT_EQ(ProjectPoint(m, UnprojectPixel(m, px)), px);
}

TEST(Projection, AbsurdInputsSaturateInsteadOfOverflowing) {
    TWireList m;
    m.SetViewScale(10000);
    const double far = 1e300;
    struct Case {
        Vec3 P;
        bool Left, Up;
    } cases[] = {{{NoValue, NoValue, NoValue}, true, false},
                 {{far, far, far}, false, true},
                 {{-far, 0, -far}, true, false}};
    for (uint8_t kind = 0; kind <= 2; ++kind) {
        SetViewPage(m, kind);
        for (const Case& c : cases) {
            const ScreenPoint s = ProjectPoint(m, c.P);
            if (kind == 0) continue; // turned: only that nothing overflows
            EXPECT_EQ(s.X < -1000000000, c.Left) << int(kind);
            EXPECT_EQ(s.Y < -1000000000, c.Up) << int(kind);
        }
        (void)ProjectPoint(m, {std::nan(""), 0, 0});
    }
    // A scale fitted to a NoValue end is tiny but finite; the far end lands far away.
    TWireList f;
    f.NewWire({NoValue, 0, 0}, {0, 0, 0}, -2);
    SetViewPage(f, 1);
    f.FitScale();
    EXPECT_GT(ProjectPoint(f, {1e14, 0, 0}).X, 1000000);
}

TEST(Camera, ResizeDerivesBaseFactorAndKeepsItForAnEmptyArea) {
    struct {
        TRectI R;
        double Factor;
        ScreenPoint Centre;
    } cases[] = {{{0, 0, 800, 460}, 12, {400, 230}},
                 {{0, 0, 1600, 460}, 12, {800, 230}},
                 {{0, 0, 1600, 920}, 24, {800, 460}},
                 {{0, 0, 400, 920}, 6, {200, 460}},
                 {{0, 0, 0, 0}, 6, {0, 0}}}; // minimised: the last factor stays
    TWireList m;
    for (const auto& c : cases) {
        ResizeView(m, c.R);
        EXPECT_DOUBLE_EQ(m.BaseFactor, c.Factor);
        EXPECT_EQ(m.CenterPixel, c.Centre);
    }
    EXPECT_TRUE(std::isfinite(m.PixelsToMetres(100)));
}

TEST(Camera, FitAndCentreOnASingleWire) {
    TWireList m;
    m.NewWire({0, 0, 0}, {10, 0, 0}, -2);
    SetViewPage(m, 1);
    FitAndCenter(m);
    EXPECT_DOUBLE_EQ(m.ViewScale, 3.6);
    EXPECT_EQ(m.GridStep, 2000); // 10000 / 3.6 = 2778: the step before 5000
    EXPECT_TRUE(VecEqual(m.ViewCenter, {5, 0, 0}));
    // The wire fills 0.54 of the 800 pixels, centred.
    EXPECT_EQ(ProjectPoint(m, {0, 0, 0}).X, 400 - 216);
    EXPECT_EQ(ProjectPoint(m, {10, 0, 0}).X, 400 + 216);
}

TEST(Camera, Centring) {
    TWireList m;
    TWire* a = m.NewWire({0, 0, 10}, {4, 0, 10}, -2);
    m.NewWire({4, 0, 10}, {4, 6, 20}, -2);
    m.ComputeBox();
    m.BaseHeight = 3;

    CenterOnModel(m);
    EXPECT_TRUE(VecEqual(m.ViewCenter, {2, 3, 15}));

    struct {
        uint8_t Kind;
        int32_t Ground;
        double Z;
    } origin[] = {{1, 1, 0}, {2, 0, 0}, {2, 1, (20 + 10 + 3) / 2.0}, {3, 2, (20 + 10 + 3) / 2.0}};
    for (const auto& c : origin) {
        SetViewPage(m, c.Kind);
        m.GroundType = c.Ground;
        CenterOnOrigin(m);
        EXPECT_TRUE(VecEqual(m.ViewCenter, {0, 0, c.Z})) << int(c.Kind) << " " << c.Ground;
    }

    const Vec3 before = m.ViewCenter;
    CenterOnSelected(m); // nothing selected: nothing changes
    EXPECT_TRUE(VecEqual(m.ViewCenter, before));
    m.SelectWire(a, false);
    CenterOnSelected(m);
    EXPECT_TRUE(VecEqual(m.ViewCenter, {2, 0, 10}));
}

TEST(Camera, PanMovesTheCentreAlongTheScreenAxes) {
    TWireList m; // 120 pixels per metre
    struct {
        uint8_t Kind;
        Vec3 After;
    } cases[] = {{1, {0.1, -0.2, 0}}, {2, {0.1, 0, -0.2}}, {3, {0, 0.1, -0.2}}};
    for (const auto& c : cases) {
        m.ViewCenter = {};
        SetViewPage(m, c.Kind);
        PanByPixels(m, 12, -24);
        EXPECT_NEAR(m.ViewCenter.X, c.After.X, 1e-12);
        EXPECT_NEAR(m.ViewCenter.Y, c.After.Y, 1e-12);
        EXPECT_NEAR(m.ViewCenter.Z, c.After.Z, 1e-12);
    }
    // "Centre here": the clicked point becomes the centre.
    SetViewPage(m, 1);
    const ScreenPoint click{650, 100};
    const Vec3 target = UnprojectPixel(m, click);
    PanByPixels(m, click.X - m.CenterPixel.X, m.CenterPixel.Y - click.Y);
    EXPECT_NEAR(m.ViewCenter.X, target.X, 1e-12);
    EXPECT_NEAR(m.ViewCenter.Y, target.Y, 1e-12);
    // The turned view pans in the screen plane: the old centre moves against the pan.
    SetViewPage(m, 0);
    m.ViewAzimuth = 35;
    const Vec3 old = m.ViewCenter;
    PanByPixels(m, 30, -60);
    EXPECT_EQ(ProjectPoint(m, old), (ScreenPoint{m.CenterPixel.X - 30, m.CenterPixel.Y - 60}));
}

TEST(Camera, MouseRotationIsOneDegreePerPixelAndUnbounded) {
    TWireList m; // El 110, Az -10
    const TRotationAnchor a = BeginViewRotation(m, {100, 200});
    RotateView(m, a, {100, 200});
    EXPECT_EQ(m.ViewElevation, 110);
    EXPECT_EQ(m.ViewAzimuth, -10);
    RotateView(m, a, {110, 195}); // right and up
    EXPECT_EQ(m.ViewElevation, 105);
    EXPECT_EQ(m.ViewAzimuth, 0);
    RotateView(m, a, {600, 700});
    EXPECT_EQ(m.ViewElevation, 610);
    EXPECT_EQ(m.ViewAzimuth, 490);
    // Fractional angles are taken to whole degrees at the press.
    m.ViewAzimuth = 2.5;
    m.ViewElevation = 3.5;
    const TRotationAnchor b = BeginViewRotation(m, {0, 0});
    RotateView(m, b, {0, 0});
    EXPECT_EQ(m.ViewAzimuth, 2);
    EXPECT_EQ(m.ViewElevation, 4);
}
