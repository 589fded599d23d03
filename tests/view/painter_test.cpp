#include "view/view_camera.h"
#include "view/view_painter.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace velomast;

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Red(255, 0, 0);
const QColor Magenta(255, 0, 255);
const QColor Green(0, 128, 0);
const QColor Navy(0, 0, 128);
const QColor Blue(0, 0, 255);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);
const QColor Yellow(255, 255, 0);
const QColor Shadow(160, 160, 160);

QImage Paint(const TWireList& m, bool printing = false, const TPlatformLook& look = {}) {
    QImage image;
    PaintView(m, image, nullptr, QRect(0, 0, m.ViewRect.Width(), m.ViewRect.Height()), printing, look);
    return image;
}

QColor At(const QImage& im, ScreenPoint p) { return im.pixelColor(p.X, p.Y); }

int Count(const QImage& im, QRect box, const std::function<bool(QColor)>& pred) {
    box = box.intersected(im.rect());
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) n += pred(im.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// Anti-aliased text in a grey or red shade: neither the background nor a wire's black.
bool Greyish(QColor c) {
    return std::abs(c.red() - c.green()) < 10 && std::abs(c.green() - c.blue()) < 10 && c.red() > 40 &&
           c.red() < 235;
}
bool Reddish(QColor c) { return c.red() > 150 && c.green() < 200 && c.green() == c.blue() && c != White; }
bool NotWhite(QColor c) { return c != White; }

QRect Around(ScreenPoint p, int r) { return QRect(p.X - r, p.Y - r, 2 * r + 1, 2 * r + 1); }

// A flat top view at 100 % (120 pixels per metre, the origin at (400, 230)), no grid.
void TopView(TWireList& m) {
    SetViewPage(m, 1);
    m.ShowGrid = false;
}

} // namespace

TEST(Painting, WireColoursFollowSelectionKindAndOwner) {
    struct Case {
        const char* Name;
        double Radius;
        int32_t Tag;
        bool Select, Tubes;
        QColor Expected;
    } cases[] = {
        {"plain", 0.001, 0, false, false, Black},        {"selected", 0.001, 0, true, false, Red},
        {"isolator", 0, 0, false, false, Shadow},        {"selected isolator", 0, 0, true, false, Magenta},
        {"landscape", 0, -1, false, false, Green},       {"landscape tube", 0.01, -1, false, true, Green},
        {"scene antenna", 0.001, 1, false, false, Black}, {"tube", 0.0021, 0, false, true, Navy},
        {"thin with tubes on", 0.002, 0, false, true, Black}, {"selected tube", 0.01, 0, true, true, Red},
    };
    for (const Case& c : cases) {
        TWireList m;
        TopView(m);
        TWire* w = m.NewWire({0.5, 0.5, 0}, {1.5, 0.5, 0}, c.Radius, c.Tag);
        if (c.Select) m.SelectWire(w, true);
        m.ShowTubes = c.Tubes;
        EXPECT_EQ(At(Paint(m), {520, 170}), c.Expected) << c.Name;
    }
    // The platform's colours come from the caller.
    TWireList m;
    TopView(m);
    m.NewWire({0.5, 0.5, 0}, {1.5, 0.5, 0}, 0.001);
    m.NewWire({0.5, 1, 0}, {1.5, 1, 0}, 0);
    TPlatformLook look;
    look.WindowText = QColor(10, 20, 30);
    look.ButtonShadow = QColor(100, 110, 120);
    const QImage im = Paint(m, false, look);
    EXPECT_EQ(At(im, {520, 170}), look.WindowText);
    EXPECT_EQ(At(im, {520, 110}), look.ButtonShadow);
}

TEST(Painting, LineWidthsPerViewAndOptions) {
    struct Case {
        uint8_t Kind;
        bool Thick, Tubes;
        int Width;
    } cases[] = {{0, false, false, 1}, {0, true, false, 2}, {2, false, false, 2}, {3, true, false, 2},
                 {2, false, true, 4},  {0, false, true, 3}};
    for (const Case& c : cases) {
        TWireList m;
        SetViewPage(m, c.Kind);
        m.ShowGrid = false;
        m.ViewElevation = 90; // the turned view then shows X right and Z up, as X-Z does
        m.ViewAzimuth = 0;
        m.ViewCenter = {0, 0, 0.5};
        m.ThickLines = c.Thick;
        m.ShowTubes = c.Tubes;
        m.NewWire({-1.5, -1.5, 1}, {-0.5, -0.5, 1}, 0.005);
        const QImage im = Paint(m);
        const ScreenPoint mid = ProjectPoint(m, {-1, -1, 1});
        EXPECT_EQ(Count(im, QRect(mid.X, mid.Y - 6, 1, 13), NotWhite), c.Width) << int(c.Kind) << c.Thick << c.Tubes;
    }
}

TEST(Painting, DirectionJunctionAndLoadMarks) {
    TWireList m;
    TopView(m);
    TWire* a = m.NewWire({-1, 1, 0}, {0, 1, 0}, 0.001);
    m.NewWire({0, 1, 0}, {1, 1, 0}, 0.001);
    m.NewWire({-1, -1, 0}, {1, -1, 0}, 0.001, 2); // a scene antenna's wire: no direction mark
    m.NewObjectFromText(KindLoad, "w1c, 0, 1.5, 0, 0, 0, 0");
    m.RebuildElements();
    const ScreenPoint dir = ProjectPoint(m, VecLerp(a->P1(), a->P2(), 0.95));
    const ScreenPoint foreignDir = ProjectPoint(m, {0.9, -1, 0});
    const ScreenPoint joint = ProjectPoint(m, {0, 1, 0});
    const ScreenPoint load = ProjectPoint(m, {-0.5, 1, 0});

    m.ShowDirection = false;
    QImage im = Paint(m);
    EXPECT_EQ(At(im, {dir.X, dir.Y - 2}), White);
    // The junction: wire 2's start cross (blue) under wire 1's end cross (navy).
    EXPECT_EQ(At(im, {joint.X + 3, joint.Y - 3}), Navy);
    EXPECT_EQ(At(im, {joint.X - 3, joint.Y + 3}), Navy);
    EXPECT_EQ(At(im, {load.X + 4, load.Y - 4}), Red);
    EXPECT_EQ(Count(im, QRect(load.X + 5, load.Y, 60, 16), Reddish), 0);

    m.ShowDirection = true;
    m.ShowLoadValues = true;
    im = Paint(m);
    EXPECT_EQ(At(im, {dir.X, dir.Y - 2}), Black);
    EXPECT_EQ(At(im, {dir.X, dir.Y}), White); // the inside takes the window colour
    EXPECT_EQ(At(im, {foreignDir.X, foreignDir.Y - 2}), White);
    EXPECT_GT(Count(im, QRect(load.X + 5, load.Y, 60, 16), Reddish), 10); // "1.5uH"

    // Elements of 20 wires and more get no junction crosses.
    TWireList chain;
    TopView(chain);
    for (int i = 0; i < 20; ++i) chain.NewWire({i * 0.1, 0.5, 0}, {(i + 1) * 0.1, 0.5, 0}, 0.001);
    chain.RebuildElements();
    const ScreenPoint j = ProjectPoint(chain, {0.1, 0.5, 0});
    EXPECT_EQ(Count(Paint(chain), Around(j, 4), [](QColor c) { return c == Navy || c == Blue; }), 0);
}

TEST(Painting, EverySourceIsARedCircleFilledYellow) {
    TWireList m;
    TopView(m);
    m.NewWire({-1, 1, 0}, {1, 1, 0}, 0.001);
    m.NewWire({-1, -1, 0}, {1, -1, 0}, 0.001);
    TWire* hidden = m.NewWire({-1, -0.5, 0}, {1, -0.5, 0}, 0.001);
    hidden->Visible = false;
    m.NewObjectFromText(KindSource, "w1c, 0.0, 1.0");
    m.NewObjectFromText(KindSource, "w2e, 0.0, 1.0");
    m.NewObjectFromText(KindSource, "w3b, 0.0, 1.0");
    const QImage im = Paint(m);
    for (const ScreenPoint p : {ProjectPoint(m, {0, 1, 0}), ProjectPoint(m, {1, -1, 0})}) {
        EXPECT_EQ(At(im, p), Yellow);
        EXPECT_EQ(At(im, {p.X, p.Y - 4}), Red);
        EXPECT_EQ(At(im, {p.X - 4, p.Y}), Red);
        EXPECT_EQ(At(im, {p.X + 6, p.Y - 6}), White);
    }
    EXPECT_EQ(Count(im, Around(ProjectPoint(m, {-1, -0.5, 0}), 5), NotWhite), 0);
}

TEST(Painting, GridLinesAndDots) {
    TWireList m; // 100 %: steps of 0.1 m = 12 pixels, green every 0.5 m = 60 pixels
    SetViewPage(m, 1);
    m.ShowGrid = true;
    m.GridMode = 2;
    QImage im = Paint(m);
    const QColor light(244, 243, 245);
    EXPECT_EQ(At(im, {460, 100}), Green); // x = 0.5 m
    EXPECT_EQ(At(im, {472, 100}), light); // x = 0.6 m
    EXPECT_EQ(At(im, {706, 170}), Green); // y = 0.5 m
    EXPECT_EQ(At(im, {706, 182}), light);
    EXPECT_EQ(At(im, {706, 100}), White);
    EXPECT_EQ(At(im, {400, 100}), Blue); // the Y axis over the grid

    m.GridMode = 1;
    im = Paint(m);
    EXPECT_EQ(At(im, {411, 217}), Grey); // the dot of (0.1, 0.1): two pixels above it
    EXPECT_EQ(At(im, {412, 217}), Grey);
    EXPECT_EQ(At(im, {412, 218}), White);
    EXPECT_EQ(At(im, {460, 100}), White);

    // Switched off, or printed: no grid, no frame, no centre cross.
    m.ViewCenter = {1, 1, 0};
    m.UpdateVisibleRange();
    for (bool printing : {false, true}) {
        m.ShowGrid = printing;
        im = Paint(m, printing);
        EXPECT_EQ(At(im, {291, 337}), White); // where the dot of (0.1, 0.1) would be
        EXPECT_EQ(At(im, {0, 0}), printing ? White : Shadow);
        EXPECT_EQ(At(im, {404, 230}), printing ? White : Silver);
    }
}

TEST(Painting, ScaleBarIsTenGridStepsWithItsLabel) {
    TWireList m;
    TopView(m);
    for (bool printing : {false, true}) {
        const QImage im = Paint(m, printing);
        EXPECT_EQ(At(im, {20, 20}), Grey);
        EXPECT_EQ(At(im, {80, 20}), Grey);
        EXPECT_EQ(At(im, {140, 20}), Grey); // 1.00 m = 120 pixels
        EXPECT_EQ(At(im, {140, 16}), Grey);
        EXPECT_EQ(At(im, {146, 20}), White);
        EXPECT_GT(Count(im, QRect(40, 3, 60, 10), NotWhite), 20); // "1.00 m."
    }
}

TEST(Painting, TurnedViewAxesAndAngleReadout) {
    TWireList m;
    m.AxisWires[0].SetEnds({}, {2, 0, 0}, false, false, true);
    QImage im = Paint(m);
    const ScreenPoint half = ProjectPoint(m, {1, 0, 0});
    EXPECT_GT(Count(im, Around(half, 3), [](QColor c) { return c == Magenta; }), 0);
    EXPECT_GT(Count(im, QRect(600, 440, 200, 20), Greyish), 20);
    im = Paint(m, true);
    EXPECT_EQ(Count(im, Around(half, 3), NotWhite), 0);
    EXPECT_EQ(Count(im, QRect(600, 440, 200, 20), NotWhite), 0);
}

TEST(Painting, GroundFillInSideViewsOverRealGround) {
    struct Case {
        uint8_t Kind;
        int32_t Ground;
        double Height;
        bool Printing, Filled;
    } cases[] = {{2, 1, 1, false, true},  {3, 2, 1, false, true}, {2, 0, 1, false, false},
                 {2, 1, 0, false, false}, {1, 1, 1, false, false}, {2, 1, 1, true, false}};
    for (const Case& c : cases) {
        TWireList m;
        SetViewPage(m, c.Kind);
        m.ShowGrid = false;
        m.GroundType = c.Ground;
        m.BaseHeight = c.Height;
        const QImage im = Paint(m);
        const QImage printed = c.Printing ? Paint(m, true) : im;
        // The ground line lies 120 pixels below the origin, at y 350.
        EXPECT_EQ(At(printed, {700, 400}), c.Filled ? Silver : White) << int(c.Kind) << c.Ground << c.Height;
        EXPECT_EQ(At(printed, {700, 300}), White);
    }
}

TEST(Painting, FilterCaption) {
    struct Case {
        uint8_t Mode;
        int32_t Hidden;
        bool Shown;
    } cases[] = {{0, 0, false}, {0, 3, true}, {1, 0, true}, {2, 0, true}};
    for (const Case& c : cases) {
        TWireList m;
        TopView(m);
        m.FilterMode = c.Mode;
        m.HiddenCount = c.Hidden;
        const QImage im = Paint(m);
        EXPECT_EQ(Count(im, QRect(500, 5, 290, 16), Reddish) > 10, c.Shown) << int(c.Mode) << c.Hidden;
    }
}

TEST(Painting, LengthLabels) {
    // Labels are grey text 4 pixels above a horizontal wire.
    auto labelPixels = [](const QImage& im, const TWireList& m, const TWire* w) {
        const ScreenPoint mid = ProjectPoint(m, VecLerp(w->P1(), w->P2(), 0.5));
        return Count(im, QRect(mid.X - 30, mid.Y - 20, 60, 17), Greyish);
    };
    {
        // Equal lengths: one label per element.
        TWireList m;
        TopView(m);
        m.ShowDimensions = true;
        TWire* a = m.NewWire({-2, 1, 0}, {-1, 1, 0}, 0.001);
        TWire* b = m.NewWire({-1, 1, 0}, {0, 1, 0}, 0.001);
        TWire* c = m.NewWire({1, -1, 0}, {2, -1, 0}, 0.001);
        TWire* d = m.NewWire({0.5, 0.5, 0}, {1.25, 0.5, 0}, 0.001);
        m.RebuildElements();
        QImage im = Paint(m);
        EXPECT_GT(labelPixels(im, m, a), 20);
        EXPECT_EQ(labelPixels(im, m, b), 0);
        EXPECT_GT(labelPixels(im, m, c), 20); // another element
        EXPECT_GT(labelPixels(im, m, d), 20); // another length

        m.DimensionsSelectedOnly = true;
        m.SelectWire(c, false);
        im = Paint(m);
        EXPECT_EQ(labelPixels(im, m, a), 0);
        EXPECT_GT(Count(im, QRect(ProjectPoint(m, {1.5, -1, 0}).X - 30, ProjectPoint(m, {1.5, -1, 0}).Y - 20, 60, 17),
                        Reddish),
                  20);

        m.ShowDimensions = false;
        m.DimensionsSelectedOnly = false;
        EXPECT_EQ(labelPixels(Paint(m), m, a), 0);
    }
    {
        // Wires without an element: labelled when longer than 50 squared pixels on the
        // screen and both ends inside the view.
        TWireList m;
        TopView(m);
        m.ShowDimensions = true;
        m.SetViewScale(10000 / 12.0); // 10 000 pixels per metre: 0.1 mm is a pixel
        TWire* five = m.NewWire({-0.01, 0, 0}, {-0.0095, 0.0005, 0}, 0.001);  // 5 x 5 pixels
        TWire* six = m.NewWire({0.01, 0, 0}, {0.0106, 0.0005, 0}, 0.001);     // 6 x 5
        TWire* out = m.NewWire({0.02, 0.01, 0}, {0.0401, 0.01, 0}, 0.001);    // ends at x 801
        const QImage im = Paint(m);
        auto around = [&](const TWire* w) {
            return Count(im, Around(ProjectPoint(m, VecLerp(w->P1(), w->P2(), 0.5)), 14), Greyish);
        };
        EXPECT_EQ(around(five), 0);
        EXPECT_GT(around(six), 10);
        EXPECT_EQ(labelPixels(im, m, out), 0);
    }
}

TEST(Painting, TextAngleTruncatesToTenthsOfADegree) {
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter p(&image);
    TWireList m;
    TViewCanvas c(p, m, {}, image.rect(), false);
    const struct {
        double Degrees;
        int32_t Tenths;
    } cases[] = {{0, 0}, {45.99, 459}, {-12.37, -123}, {-90, -900}, {1e300, 3600}, {std::nan(""), 0}};
    for (const auto& k : cases) {
        SetTextAngle(c, k.Degrees);
        EXPECT_EQ(c.TextAngleTenths(), k.Tenths) << k.Degrees;
    }
}

// Marks wait for the end of the wire layer and go out in the order given, the later over
// the earlier, also past the few thousand a store block holds and in a picture too large
// to number its pixels in 32 bits.
TEST(Painting, BatchedMarksKeepTheirOrderAndPlace) {
    // The same marks batched compactly, kept whole (a picture too large to number its
    // pixels) and drawn into pictures of their own (far more marks than pixels) must give
    // the same image: rings under crosses, later marks over earlier ones.
    TWireList m;
    const int many = 40000;
    // With `late` the last 300 crosses come in colours of their own: more than a picture's
    // colour table holds, so the picture turns to whole colours with the rest drawn.
    bool late = false;
    auto crossColour = [&](int i) { return late && i >= many - 300 ? qRgb(many - i, 7, 200) : (i % 2 ? Blue : Navy).rgb(); };
    auto paint = [&](QRect area, int count, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        TViewCanvas c(p, m, {}, area, false, &image);
        for (int i = 0; i < count; ++i) {
            const QPoint at(5 + i % 110, 5 + (i / 110) % 70);
            c.JunctionCross(at, 3, crossColour(i));
            c.DirectionMark(at, Red.rgb());
        }
        c.JunctionCross({-2, 40}, 4, Green.rgb()); // centred outside, its arms still show
        c.JunctionCross({30, 30}, 4, Magenta.rgb());
        c.FlushWireLayer();
        p.end();
        return image.copy(0, 0, 120, 80);
    };
    const QImage own = paint(QRect(0, 0, 120, 80), many, {120, 80});
    const QImage batched = paint(QRect(0, 0, 120, 80), many, {1200, 800});
    const QImage huge = paint(QRect(0, 0, 70000, 70000), many, {1200, 800});
    const QImage hugeOwn = paint(QRect(0, 0, 70000, 70000), many, {120, 80});
    EXPECT_EQ(own, batched);
    EXPECT_EQ(huge, batched);
    EXPECT_EQ(hugeOwn, batched);
    EXPECT_EQ(batched.pixelColor(30, 30), Magenta);
    EXPECT_EQ(batched.pixelColor(0, 42), Green);
    const int last = many - 1;
    const QPoint lastAt(5 + last % 110, 5 + (last / 110) % 70);
    EXPECT_EQ(batched.pixelColor(lastAt + QPoint(3, 3)), last % 2 ? Blue : Navy);
    late = true;
    EXPECT_EQ(paint(QRect(0, 0, 120, 80), many, {120, 80}), paint(QRect(0, 0, 120, 80), many, {1200, 800}));
}

TEST(Painting, FontsCoverCyrillic) {
    // The normal font (captions such as "Скрытых проводов") and the label font both come
    // from families that carry Cyrillic glyphs, so no missing-glyph boxes are drawn.
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter p(&image);
    TWireList m;
    TViewCanvas c(p, m, {}, image.rect(), false);
    c.UseLabelFont();
    const QString label = QFontInfo(c.Font()).family();
    c.UseNormalFont();
    const QString normal = QFontInfo(c.Font()).family();
    for (const QString& family : {label, normal})
        EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic)) << family.toStdString();
    EXPECT_TRUE(label == "Arial" || label == "Liberation Sans" || label == "DejaVu Sans") << label.toStdString();
}

TEST(Painting, BitmapFollowsTheRectangleAndReachesTheTarget) {
    TWireList m;
    TopView(m);
    m.NewWire({0.5, 0.5, 0}, {1.5, 0.5, 0}, 0.001);
    QImage bitmap(10, 10, QImage::Format_RGB32);
    QImage screen(900, 500, QImage::Format_RGB32);
    screen.fill(Qt::cyan);
    {
        QPainter target(&screen);
        PaintView(m, bitmap, &target, QRect(50, 30, 800, 460), false);
    }
    EXPECT_EQ(bitmap.size(), QSize(800, 460));
    EXPECT_EQ(screen.pixelColor(50 + 520, 30 + 170), Black);
    EXPECT_EQ(screen.pixelColor(50 + 1, 30 + 1), White);
    EXPECT_EQ(screen.pixelColor(10, 10), QColor(Qt::cyan));

    PaintView(m, bitmap, nullptr, QRect(0, 0, 0, 460), false);
    EXPECT_TRUE(bitmap.isNull());
}

TEST(Painting, AbsurdModelsPaintQuicklyAndClipped) {
    // A NoValue end fitted without clamping: a tiny scale, a grid step of the old zoom and
    // a saturated visible range. The grid must not turn into billions of lines.
    TWireList m;
    SetViewPage(m, 1);
    m.ShowGrid = true;
    m.ShowDimensions = true;
    m.ShowDirection = true;
    m.NewWire({NoValue, 0, 0}, {0, 0, 0}, 0.001);
    m.NewWire({0, 0, 0}, {1e9, 1e9, 0}, 0.001);
    m.RebuildElements();
    m.FitScale();
    for (uint8_t mode : {1, 2}) {
        m.GridMode = mode;
        const auto start = std::chrono::steady_clock::now();
        const QImage im = Paint(m);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_FALSE(im.isNull());
    }
    // Far ends at a normal scale: the visible part of the line is still drawn.
    TWireList n;
    TopView(n);
    n.NewWire({-1e7, 0.5, 0}, {1e7, 0.5, 0}, 0.001);
    n.NewWire({NoValue, 1, 0}, {0, 1, 0}, 0.001);
    const QImage im = Paint(n);
    EXPECT_EQ(At(im, {700, 170}), Black);
    EXPECT_EQ(At(im, {300, 110}), Black);
}

TEST(Painting, AWireFarFromTheOriginPaintsWithoutOverflow) {
    // The origin, the axis letters and every mark sit a few pixels from points that
    // saturate: each of those small offsets must stay in range (UBSan checks it).
    for (uint8_t kind : {1, 2, 3, 0}) {
        SCOPED_TRACE(int{kind});
        TWireList m;
        SetViewPage(m, kind);
        m.ShowDirection = true;
        m.ShowDimensions = true;
        m.ShowGrid = true;
        m.GroundType = 2;
        TWire* w = m.NewWire({-1e9, 0, 0}, {-1e9, 0, 1}, 0.001);
        ASSERT_NE(w, nullptr);
        m.NewObjectFromText(KindSource, "w1c,0,1");
        m.NewObjectFromText(KindLoad, "w1b,0,1,2,0,0");
        m.ShowLoadValues = true;
        m.RebuildElements();
        m.SetViewScale(1000);
        m.ViewCenter = {1e9, 1e9, 1e9};
        m.UpdateVisibleRange();
        EXPECT_FALSE(Paint(m).isNull());
    }
}

// Pixels where two pictures differ, and their bounding box.
QRect Difference(const QImage& a, const QImage& b, int* count = nullptr) {
    QRect box;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
                ++n;
            }
    if (count) *count = n;
    return box;
}

// While ends are dragged the picture is the kept still layer with the moving wires over
// it: no trace of a moving wire where it was, sources still on top, the still layer drawn
// again only when another wire starts moving, and the same picture as a whole one where
// no still wire lies over a moving one.
TEST(Painting, DragPictureDrawsOnlyTheMovingWiresOverTheStillLayer) {
    TWireList m;
    TopView(m);
    m.ShowGrid = true;
    m.GridMode = 1;
    TWire* a = m.NewWire({-1, 1, 0}, {0, 1, 0}, 0.001);
    TWire* b = m.NewWire({0, 1, 0}, {1, 1, 0}, 0.001);
    m.NewWire({-1, -1, 0}, {1, -1, 0}, 0.001);
    m.NewWire({-1.5, 0.5, 0}, {-1.5, -1.5, 0}, 0.001); // crosses the path of wire 1's start
    m.NewObjectFromText(KindSource, "w1c, 0.0, 1.0");
    m.NewObjectFromText(KindLoad, "w2c, 0, 1.5, 0, 0, 0, 0");
    m.RebuildElements();
    const QRect r(0, 0, m.ViewRect.Width(), m.ViewRect.Height());
    TDragPicture drag;
    QImage im;

    // Wire 1 lies over every other wire in the whole picture too.
    a->SetEnds({-1.5, 0, 0}, a->P2(), false, false, true);
    ASSERT_TRUE(drag.Paint(m, im, r, {0}));
    EXPECT_EQ(drag.Builds(), 1);
    int differing = -1;
    EXPECT_TRUE(Difference(im, Paint(m), &differing).isEmpty()) << differing;
    a->SetEnds({-1.5, 0.5, 0}, a->P2(), false, false, true);
    ASSERT_TRUE(drag.Paint(m, im, r, {0}));
    EXPECT_EQ(drag.Builds(), 1);
    EXPECT_TRUE(Difference(im, Paint(m)).isEmpty());

    // Wire 2 starts moving too: the still layer is drawn without it, and no trace of it
    // (line, direction mark, load cross) stays where it was.
    b->SetEnds({-1.5, 0.5, 0}, {1, 1.5, 0}, false, false, true);
    ASSERT_TRUE(drag.Paint(m, im, r, {0, 1}));
    EXPECT_EQ(drag.Builds(), 2);
    EXPECT_TRUE(Difference(im, Paint(m)).isEmpty());

    // The last wire, under the selected third one in the whole picture, crosses it: only
    // there do the pictures differ, the moving wire lying on top.
    m.SelectWire(m[2], true);
    drag.Invalidate();
    m[3]->SetEnds({0.5, 0.5, 0}, {0.5, -1.5, 0}, false, false, true);
    ASSERT_TRUE(drag.Paint(m, im, r, {0, 1, 3}));
    const QRect diff = Difference(im, Paint(m));
    EXPECT_FALSE(diff.isEmpty());
    EXPECT_TRUE(Around(ProjectPoint(m, {0.5, -1, 0}), 3).contains(diff)) << diff.x() << "," << diff.y();

    // Length labels are shared between wires: then the whole picture is the caller's job.
    m.ShowDimensions = true;
    QImage untouched(5, 5, QImage::Format_RGB32);
    EXPECT_FALSE(drag.Paint(m, untouched, r, {0}));
    EXPECT_EQ(untouched.size(), QSize(5, 5));
    // A move of a wire that is gone is refused as well.
    m.ShowDimensions = false;
    EXPECT_FALSE(drag.Paint(m, im, r, {7}));
}
