// Mouse gestures in the view, driven through the paint box with mouse events; each test
// checks the model, the view and the history afterwards.
#include "scripted_dialogs.h"
#include "window_fixture.h"

#include "model/vec3.h"
#include "ui/mouse_controller.h"
#include "ui/paint_box.h"
#include "ui/tfm_velomast.h"
#include "view/view_camera.h"
#include "view/view_painter.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace velomast;
using velomast::testing::TScriptedDialogs;

namespace {

constexpr double PixelsPerMetre = 100;

class MouseEditing : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
        Box = W->PaintBox();
        ShowPage(1);
    }
    void TearDown() override {
        // Leave no button held for the next test.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
            if (Held & b) QTest::mouseRelease(Box, b, {}, QPoint(5, 5));
    }

    TMouseController& Mouse() { return W->Mouse(); }

    // A view page at 100 pixels per metre with a 0.1 m grid, centred on `centre`.
    void ShowPage(int page, Vec3 centre = {}, double pixelsPerMetre = PixelsPerMetre) {
        W->MainPages()->setCurrentIndex(page);
        QApplication::processEvents();
        M().SetViewScale(pixelsPerMetre / M().BaseFactor);
        M().GridStep = 1000;
        M().ViewCenter = centre;
        M().UpdateVisibleRange();
        W->PaintView();
    }
    QPoint Px(double x, double y, double z = 0) {
        const ScreenPoint s = ProjectPoint(M(), {x, y, z});
        return {s.X, s.Y};
    }
    void Press(QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Held |= b;
        QTest::mousePress(Box, b, mods, at);
    }
    void MoveTo(QPoint at) { QTest::mouseMove(Box, at); }
    void Release(QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Held &= ~b;
        QTest::mouseRelease(Box, b, mods, at);
    }
    // Press, two moves on the way, release.
    void Drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Press(from, b, mods);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to, b, mods);
    }
    void Click(QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Press(at, b, mods);
        Release(at, b, mods);
    }
    // A move with no button held.
    void Hover(QPoint at) {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(Box->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(Box, &e);
    }
    void Mode(const char* name) { W->Button(name)->click(); }

    // A switch of the side panel, made here when the panel does not have it.
    QAbstractButton* SidePanelButton(const char* name) {
        if (auto* b = W->findChild<QAbstractButton*>(name)) return b;
        auto* made = new QToolButton(W.get());
        made->setObjectName(name);
        made->setCheckable(true);
        return made;
    }
    void SetKeepConnections(bool on) {
        if (auto* box = W->findChild<QAbstractButton*>("chKeepConnection")) box->setChecked(on);
        M().KeepConnections = on;
    }
    // Wires from pairs of points, committed as a loaded model is: one step, unmodified.
    void MakeWires(std::initializer_list<std::pair<Vec3, Vec3>> ends) {
        Build(ends);
        W->UpdateForm();
    }

    // With the mirror switch and keep-connections on: a wire, its twin across the X axis,
    // the twin's neighbour, and a wire far from them.
    void MirroredPairWithANeighbour() {
        SidePanelButton("sbMirror")->setChecked(true);
        SetKeepConnections(true);
        MakeWires({{{1, 0.5, 0}, {2, 0.5, 0}}, {{1, -0.5, 0}, {2, -0.5, 0}}, {{2, -0.5, 0}, {3, -0.5, 0}},
                   {{-2, -2, 0}, {-1, -2, 0}}});
    }
    // The whole picture of the model as it is now, drawn afresh.
    QImage WholePicture() {
        QImage image;
        TPlatformLook look;
        look.DecimalMark = W->DecimalMark();
        velomast::PaintView(M(), image, nullptr, QRect(0, 0, Box->width(), Box->height()), false, look);
        return image;
    }

    TPaintBox* Box = nullptr;
    Qt::MouseButtons Held;
};

void ExpectPoint(const Vec3& p, Vec3 e, const char* what = "") {
    EXPECT_DOUBLE_EQ(p.X, e.X) << what;
    EXPECT_DOUBLE_EQ(p.Y, e.Y) << what;
    EXPECT_DOUBLE_EQ(p.Z, e.Z) << what;
}

void ExpectWire(const TWire* w, Vec3 a, Vec3 b) {
    ASSERT_NE(w, nullptr);
    ExpectPoint(w->P1(), a, "start");
    ExpectPoint(w->P2(), b, "end");
}

} // namespace

TEST_F(MouseEditing, NewWireSnapsToTheGridAndRecordsOneStep) {
    Mode("sbInsertMode");
    EXPECT_EQ(Box->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(W->StatusText(0), " Создать провод");

    Drag(Px(0.52, 0.31), Px(1.49, -0.26));
    ASSERT_EQ(M().OwnCount(), 1u);
    ExpectWire(M()[0], {0.5, 0.3, 0}, {1.5, -0.3, 0});
    EXPECT_DOUBLE_EQ(M()[0]->Radius, M().DefaultRadius);
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_TRUE(M().Modified);
    EXPECT_EQ(M().Selection.Count(), 1u);
    EXPECT_EQ(M().Selection.Current(), M()[0]);
    EXPECT_EQ(Mouse().MouseMode(), TMouseController::mmIdle);

    // A click without movement and the same wire drawn backwards make nothing, record nothing.
    Click(Px(2, 2));
    Drag(Px(1.5, -0.3), Px(0.5, 0.3));
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M().HistoryCount(), 1);

    // Esc drops the wire being drawn: the release makes nothing and the tool stays;
    // a second Esc, with no gesture under way, chooses the edit mode.
    Press(Px(0, 0));
    MoveTo(Px(0, 1));
    QTest::keyClick(Box, Qt::Key_Escape);
    EXPECT_TRUE(W->Button("sbInsertMode")->isChecked());
    EXPECT_EQ(Mouse().MouseMode(), TMouseController::mmIdle);
    EXPECT_EQ(Mouse().CreateKind(), 0);
    Release(Px(0, 1));
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M().HistoryCount(), 1);
    QTest::keyClick(Box, Qt::Key_Escape);
    EXPECT_TRUE(W->Button("sbEditMode")->isChecked());
}

// In every flat view the frame lies in the plane of the view, at the centre's depth taken
// to the grid, four wires chained A -> (B.h, A.v) -> B -> (A.h, B.v) -> A.
TEST_F(MouseEditing, FrameMakesFourChainedWiresInThePlaneOfTheView) {
    struct Case {
        int page;
        Vec3 centre;
        Vec3 a, c2, b, c4;
    };
    const Case cases[] = {
        {1, {0, 0, 0.23}, {-1, 1, 0.2}, {1, 1, 0.2}, {1, -0.5, 0.2}, {-1, -0.5, 0.2}},
        {2, {0, 0.23, 0}, {-1, 0.2, 1}, {1, 0.2, 1}, {1, 0.2, -0.5}, {-1, 0.2, -0.5}},
        {3, {0.23, 0, 0}, {0.2, -1, 1}, {0.2, 1, 1}, {0.2, 1, -0.5}, {0.2, -1, -0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        MakeWires({});
        ShowPage(c.page, c.centre);
        Mode("sbRectMode");
        const QPoint from = Px(c.a.X, c.a.Y, c.a.Z) + QPoint(2, -1);
        const QPoint to = Px(c.b.X, c.b.Y, c.b.Z) + QPoint(-3, 2);
        Click(to); // without movement: nothing
        EXPECT_EQ(M().OwnCount(), 0u);
        EXPECT_EQ(M().HistoryCount(), 1); // the empty model

        Drag(from, to);
        ASSERT_EQ(M().OwnCount(), 4u);
        ExpectWire(M()[0], c.a, c.c2);
        ExpectWire(M()[1], c.c2, c.b);
        ExpectWire(M()[2], c.b, c.c4);
        ExpectWire(M()[3], c.c4, c.a);
        EXPECT_EQ(M().HistoryCount(), 2);
        // The last wire is the current one; the first was selected first.
        EXPECT_EQ(M().Selection.ToVector(), (std::vector<TWire*>{M()[3], M()[2], M()[1], M()[0]}));
    }
}

TEST_F(MouseEditing, PolygonSidesAreAskedAndKeptBetweenThreeAndHundred) {
    const std::pair<std::optional<QString>, int> answers[] = {
        {"6", 6}, {"abc", 6}, {" 8 ", 8}, {"2", 3}, {"500", 100}, {std::nullopt, 100}, {"-4", 3},
    };
    int previous = W->PolygonSides();
    EXPECT_EQ(previous, 4);
    for (const auto& [answer, sides] : answers) {
        Dialogs.InputAnswers = {answer};
        Mode("sbPolygon");
        const auto* call = Dialogs.Last("input");
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(call->Caption, "Создать правильный многоугольник");
        EXPECT_EQ(call->Text, "Введите число сторон:|" + QString::number(previous));
        EXPECT_EQ(W->PolygonSides(), sides) << answer.value_or("(cancelled)").toStdString();
        previous = sides;
    }
    EXPECT_EQ(W->StatusText(0), " Создать правильный многоугольник");
}

TEST_F(MouseEditing, PolygonStandsOnTheCursorAndNeedsARadius) {
    Dialogs.InputAnswers = {"4"};
    Mode("sbPolygon");
    // Released where it was pressed: no outline, nothing made.
    Press(Px(0, 0));
    MoveTo(Px(0.5, 0));
    MoveTo(Px(0, 0));
    Release(Px(0, 0));
    EXPECT_EQ(M().OwnCount(), 0u);
    EXPECT_EQ(M().HistoryCount(), 0);

    Press(Px(0, 0));
    MoveTo(Px(0.6, 0.1));
    EXPECT_EQ(Mouse().PolygonVertices().size(), 5u);
    MoveTo(Px(1, 0));
    Release(Px(1, 0));
    // A square on a corner, the first vertex at the cursor.
    ASSERT_EQ(M().OwnCount(), 4u);
    ExpectWire(M()[0], {1, 0, 0}, {0, -1, 0});
    ExpectWire(M()[1], {0, -1, 0}, {-1, 0, 0});
    ExpectWire(M()[2], {-1, 0, 0}, {0, 1, 0});
    ExpectWire(M()[3], {0, 1, 0}, {1, 0, 0});
    EXPECT_EQ(M().Selection.Current(), M()[3]);
    EXPECT_EQ(M().Selection.Count(), 4u);
    EXPECT_EQ(M().HistoryCount(), 1);
}

// A joint is dragged as one point whatever the keep-connections switch says; the switch
// decides whether the neighbours of the mirrored twin follow it.
TEST_F(MouseEditing, DraggedEndsSnapToTheGridKeepTheirDepthAndMoveJoints) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        MakeWires({{{0, 0, 2.37}, {1, 0, 2.37}}, {{1, 0, 2.37}, {1, 1, 0}}, {{3, 0, 0}, {3, 1, 0}}});
        SetKeepConnections(keep);
        Press(Px(1, 0));
        EXPECT_EQ(M().DragList.size(), 2u);
        MoveTo(Px(1.3, 0.2));
        // While dragging, the end follows the cursor at its own height.
        ExpectPoint(M()[0]->P2(), {1.3, 0.2, 2.37});
        MoveTo(Px(1.52, 0.48));
        Release(Px(1.52, 0.48));
        ExpectWire(M()[0], {0, 0, 2.37}, {1.5, 0.5, 2.37});
        ExpectWire(M()[1], {1.5, 0.5, 2.37}, {1, 1, 0});
        ExpectWire(M()[2], {3, 0, 0}, {3, 1, 0});
        EXPECT_TRUE(M().DragList.empty());
        EXPECT_EQ(M()[0]->DragEnd, 0);
        EXPECT_EQ(M().HistoryCount(), 2);
        EXPECT_TRUE(M().Modified);
    }

    // With the mirror switch the twin moves too; keep-connections takes its neighbour along.
    SidePanelButton("sbMirror")->setChecked(true);
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        MakeWires({{{1, 0.5, 0}, {2, 0.5, 0}}, {{1, -0.5, 0}, {2, -0.5, 0}}, {{2, -0.5, 0}, {3, -0.5, 0}}});
        SetKeepConnections(keep);
        Drag(Px(2, 0.5), Px(2, 1));
        ExpectWire(M()[0], {1, 0.5, 0}, {2, 1, 0});
        ExpectWire(M()[1], {1, -0.5, 0}, {2, -1, 0});
        ExpectWire(M()[2], keep ? Vec3{2, -1, 0} : Vec3{2, -0.5, 0}, {3, -0.5, 0});
    }
    SidePanelButton("sbMirror")->setChecked(false);
}

TEST_F(MouseEditing, AClickOnAnEndCompletesADrag) {
    MakeWires({{{0, 0, 2.37}, {1.03, 0.02, 2.37}}});
    Click(Px(1.03, 0.02));
    // To the grid point nearest its pixel, the height kept exactly.
    ExpectWire(M()[0], {0, 0, 2.37}, {1, 0, 2.37});
    EXPECT_EQ(M().HistoryCount(), 2);
}

// An end dropped closer than 10 pixels to another wire's end joins it exactly; at 10
// pixels the grid decides.
TEST_F(MouseEditing, DroppedEndJoinsAnotherEndCloserThanTenPixels) {
    const struct {
        QPoint offset;
        Vec3 end;
    } cases[] = {
        {{6, 7}, {2, 0, 0}},     {{0, 9}, {2, 0, 0}},     {{-7, -7}, {2, 0, 0}},
        {{6, 8}, {2.1, -0.1, 0}}, {{10, 0}, {2.1, 0, 0}}, {{0, -10}, {2, 0.1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1,%2").arg(c.offset.x()).arg(c.offset.y()).toStdString());
        MakeWires({{{0, 0, 0}, {1, 0, 0}}, {{2, 0, 0}, {2, 1, 0}}});
        Drag(Px(1, 0), Px(2, 0) + c.offset);
        ExpectWire(M()[0], {0, 0, 0}, c.end);
        ExpectWire(M()[1], {2, 0, 0}, {2, 1, 0});
    }
}

// Clicks toggle wires under the cursor (Shift keeps the rest); a rectangle catches only
// when drawn from upper-left. Selecting records nothing.
TEST_F(MouseEditing, ClicksAndRectanglesSelect) {
    MakeWires({{{0, 0, 0}, {1, 0, 0}}, {{0, 0.5, 0}, {1, 0.5, 0}}, {{0, 1, 0}, {1, 1, 0}}});
    TWireList& m = M();
    using Sel = std::vector<TWire*>;
    Click(Px(0.5, 0.5));
    EXPECT_EQ(m.Selection.ToVector(), Sel{m[1]});
    Click(Px(0.5, 1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(m.Selection.ToVector(), (Sel{m[2], m[1]}));
    Click(Px(0.5, 0.5), Qt::LeftButton, Qt::ShiftModifier); // a selected wire's body: removed
    EXPECT_EQ(m.Selection.ToVector(), Sel{m[2]});
    Click(Px(0.4, 0.5), Qt::LeftButton, Qt::ShiftModifier);
    Click(Px(3, 3)); // nothing hit: the current wire stays, alone
    EXPECT_EQ(m.Selection.ToVector(), Sel{m[1]});

    Drag(Px(-0.5, 1.2), Px(1.5, 0.2));
    EXPECT_EQ(m.Selection.ToVector(), (Sel{m[2], m[1]}));
    Drag(Px(1.5, 0.2), Px(-0.5, 1.2)); // from lower-right: nothing caught
    EXPECT_EQ(m.Selection.ToVector(), Sel{m[2]});
    Click(Px(0.5, 0));
    Drag(Px(-0.5, 1.2), Px(1.5, 0.2), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(m.Selection.ToVector(), (Sel{m[2], m[1], m[0]}));
    EXPECT_EQ(m.HistoryCount(), 1);
    EXPECT_FALSE(m.Modified);
}

TEST_F(MouseEditing, ZoomRectangleZoomsOnlyWhenDrawnRightAndDown) {
    TWireList& m = M();
    const int w = m.ViewRect.Width(), h = m.ViewRect.Height();
    W->NScaleBySelectedClick();
    const double scale = m.ViewScale;
    const QPoint c(m.CenterPixel.X, m.CenterPixel.Y);
    Drag(c, c + QPoint(200, 100));
    EXPECT_DOUBLE_EQ(m.RememberedScale, scale);
    ExpectPoint(m.RememberedCentre, {0, 0, 0});
    EXPECT_NEAR(m.ViewCenter.X, 1, 1e-9);
    EXPECT_NEAR(m.ViewCenter.Y, -0.5, 1e-9);
    EXPECT_NEAR(m.ViewScale, scale * std::min(w / 200.0, h / 100.0), 1e-9);
    EXPECT_TRUE(W->Button("sbEditMode")->isChecked());

    // Drawn leftwards and upwards it only moves the centre to its middle.
    ShowPage(1);
    W->NScaleBySelectedClick();
    Drag(c + QPoint(200, 100), c);
    EXPECT_DOUBLE_EQ(m.ViewScale, scale);
    EXPECT_NEAR(m.ViewCenter.X, 1, 1e-9);
    EXPECT_NEAR(m.ViewCenter.Y, -0.5, 1e-9);
    EXPECT_EQ(m.HistoryCount(), 0);
}

TEST_F(MouseEditing, RulerShowsMillimetresBelowTenMetres) {
    const QString mark(QChar(W->DecimalMark()));
    Mode("sbRuler");
    Press(Px(0, 0));
    MoveTo(Px(1, 1));
    EXPECT_EQ(W->StatusText(0), " Длина 1414  dX 1" + mark + "00  dY 1" + mark + "00");
    Release(Px(1, 1));
    EXPECT_EQ(W->StatusText(0), " Длина 1414  dX 1" + mark + "00  dY 1" + mark + "00"); // the read-out stays

    ShowPage(2, {}, 20);
    Mode("sbRuler");
    Press(Px(-6, 0, 0));
    MoveTo(Px(6.5, 0, -0.5));
    EXPECT_EQ(W->StatusText(0), " Длина 12" + mark + "5m  dX 12" + mark + "50  dZ 0" + mark + "50");
    Release(Px(6.5, 0, -0.5));
    EXPECT_EQ(M().HistoryCount(), 0);
}

TEST_F(MouseEditing, PanMiddleButtonAndTurnLeaveModelAndHistoryAlone) {
    MakeWires({{{0, 0, 0}, {1, 0, 0}}});
    Mode("sbInsertMode");
    Drag(Px(0, 0), Px(0.5, 0.2), Qt::RightButton);
    // The model follows the cursor; the right press chose the edit mode.
    EXPECT_NEAR(M().ViewCenter.X, -0.5, 1e-9);
    EXPECT_NEAR(M().ViewCenter.Y, -0.2, 1e-9);
    EXPECT_TRUE(W->Button("sbEditMode")->isChecked());
    EXPECT_EQ(Mouse().Popup(), nullptr); // a pan opens no menu
    EXPECT_FALSE(W->findChild<QMenu*>("pmField")->isVisible());
    Click(Px(2, -1), Qt::MiddleButton); // centres on the point pressed
    EXPECT_NEAR(M().ViewCenter.X, 2, 1e-9);
    EXPECT_NEAR(M().ViewCenter.Y, -1, 1e-9);

    W->MainPages()->setCurrentIndex(0);
    M().ViewAzimuth = -10;
    M().ViewElevation = 110;
    Drag(QPoint(40, 40), QPoint(70, 20));
    EXPECT_DOUBLE_EQ(M().ViewAzimuth, 20);
    EXPECT_DOUBLE_EQ(M().ViewElevation, 90);
    ExpectWire(M()[0], {0, 0, 0}, {1, 0, 0});
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_FALSE(M().Modified);
}

TEST_F(MouseEditing, RightClickOpensTheWireOrTheFieldMenu) {
    auto* pmWire = W->findChild<QMenu*>("pmWire");
    auto* pmField = W->findChild<QMenu*>("pmField");
    MakeWires({{{0, 0, 0}, {1, 0, 0}}});
    auto rightClick = [&](QPoint at) {
        Hover(at);
        Click(at, Qt::RightButton);
        QMenu* shown = pmWire->isVisible() ? pmWire : pmField->isVisible() ? pmField : nullptr;
        pmWire->hide();
        pmField->hide();
        return shown;
    };
    EXPECT_EQ(rightClick(Px(0.5, 0)), pmWire);
    EXPECT_EQ(rightClick(Px(0.5, 1)), pmField);
    EXPECT_FALSE(W->Action("NpBase")->isEnabled());

    // The field menu acts on the point clicked.
    rightClick(Px(1, 0.5));
    W->Action("NpCenterHere")->trigger();
    EXPECT_NEAR(M().ViewCenter.X, 1, 1e-9);
    EXPECT_NEAR(M().ViewCenter.Y, 0.5, 1e-9);
    ShowPage(1, {0, 0, 0.7});
    rightClick(Px(1, 0.5));
    W->Action("NZeroHere")->trigger();
    EXPECT_EQ(ProjectPoint(M(), {0, 0, 0}), Mouse().ReleasePoint());
    EXPECT_DOUBLE_EQ(M().ViewCenter.Z, 0);
    ExpectWire(M()[0], {0, 0, 0}, {1, 0, 0});

    // In the 3-D view: the wire menu while a wire is selected, else none.
    W->MainPages()->setCurrentIndex(0);
    EXPECT_EQ(rightClick(QPoint(30, 30)), pmWire);
    MakeWires({});
    EXPECT_EQ(rightClick(QPoint(30, 30)), nullptr);
}

TEST_F(MouseEditing, OverlayMovesKeepTheModelImage) {
    MakeWires({{{0, 0, 0}, {1, 0, 0}}});
    const QImage& image = W->ViewBitmap();
    Hover(Px(2, 2));
    qint64 key = image.cacheKey();
    Hover(Px(2.5, 2));
    EXPECT_EQ(image.cacheKey(), key);
    EXPECT_FALSE(W->StatusText(2).isEmpty());

    Press(Px(2, 2)); // the selection rectangle
    key = image.cacheKey();
    MoveTo(Px(3, 1));
    MoveTo(Px(3.5, 0.5));
    EXPECT_EQ(image.cacheKey(), key);
    Release(Px(3.5, 0.5));

    Press(Px(1, 0)); // an end: the model changes, so does its image
    key = image.cacheKey();
    MoveTo(Px(1.5, 0.5));
    EXPECT_NE(image.cacheKey(), key);
    Release(Px(1.5, 0.5));
}

TEST_F(MouseEditing, AutoScrollStepsWhileTheButtonIsHeldOutside) {
    TWireList& m = M();
    const QPoint start = Px(0.5, 0.5);
    Press(start); // a selection rectangle
    MoveTo(QPoint(-20, start.y()));
    // One step at once: the centre moves 10 pixels left, the rectangle keeps its start.
    EXPECT_TRUE(Mouse().AutoScrolling());
    EXPECT_NEAR(m.ViewCenter.X, -0.1, 1e-9);
    EXPECT_EQ(Mouse().PressPoint(), (ScreenPoint{start.x() + 10, start.y()}));
    EXPECT_EQ(Box->cursor().shape(), Qt::ForbiddenCursor);

    QElapsedTimer t;
    t.start();
    while (m.ViewCenter.X > -0.15 && t.elapsed() < 5000) QTest::qWait(20);
    // Whole steps of 10 pixels only, however slow the machine.
    EXPECT_LE(m.ViewCenter.X, -0.2 + 1e-9);
    EXPECT_NEAR(std::remainder(m.ViewCenter.X, 0.1), 0, 1e-9);

    MoveTo(start); // back inside: the scroll stops
    EXPECT_FALSE(Mouse().AutoScrolling());
    MoveTo(QPoint(start.x(), -5));
    EXPECT_NEAR(m.ViewCenter.Y, 0.1, 1e-9);
    Release(QPoint(start.x(), -5));
    EXPECT_FALSE(Mouse().AutoScrolling());
    EXPECT_EQ(m.HistoryCount(), 0);
}

TEST_F(MouseEditing, CentreButtons) {
    MakeWires({{{2, 2, 0}, {4, 2, 6}}, {{0, 0, 0}, {0, 0, 1}}});
    M().SelectWire(M()[1], true);
    W->Action("NScaleCurrent")->trigger(); // the fit computes the box
    M().ViewCenter = {9, 9, 9};
    W->Button("sbCenterZero")->click();
    ExpectPoint(M().ViewCenter, {0, 0, 0});
    W->Button("sbCenterOnAntenna")->click();
    ExpectPoint(M().ViewCenter, {2, 1, 3});
    W->Button("sbCenterOnSelected")->click();
    ExpectPoint(M().ViewCenter, {0, 0, 0.5});
}

// A drag redraws only the moving wires over a kept picture of the others. The mirrored
// twin and the neighbour that keep-connections takes along move as well, so they must
// leave no trace where they were; after the release the whole picture is drawn again.
TEST_F(MouseEditing, DragPictureShowsEveryMovingWireOnlyWhereItIs) {
    MirroredPairWithANeighbour();
    auto same = [](const QImage& a, const QImage& b, QPoint centre, int r) {
        for (int y = centre.y() - r; y <= centre.y() + r; ++y)
            for (int x = centre.x() - r; x <= centre.x() + r; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) return false;
        return true;
    };
    Press(Px(2, 0.5));
    MoveTo(Px(2, 0.8));
    MoveTo(Px(2, 1.2));
    QApplication::processEvents();
    const QImage during = W->ViewBitmap();
    const QImage expected = WholePicture();
    // The twin's and the neighbour's old middles, the dragged wire's old end, and a
    // wire that never moved.
    for (QPoint p : {Px(1.7, -0.5), Px(2.3, -0.5), Px(2, 0.5), Px(-1.5, -2), Px(1.5, 0.85), Px(2.5, -0.85)})
        EXPECT_TRUE(same(during, expected, p, 4)) << p.x() << "," << p.y();
    ExpectWire(M()[2], {2, -1.2, 0}, {3, -0.5, 0});
    Release(Px(2, 1.2));
    QApplication::processEvents();
    EXPECT_EQ(W->ViewBitmap(), WholePicture());
    SidePanelButton("sbMirror")->setChecked(false);
}

// A drag learns what it moved from the model's record of end changes: a wire moved and
// moved back stays in the drag picture, and Esc puts back every moved wire (the twin and
// the neighbour that followed too) without a step in the history.
TEST_F(MouseEditing, EscapeUndoesAWholeDragAndMovedBackWiresStayDrawn) {
    MirroredPairWithANeighbour();
    Press(Px(2, 0.5));
    MoveTo(Px(2, 0.9));
    MoveTo(Px(2, 0.5));
    QApplication::processEvents();
    const QImage during = W->ViewBitmap();
    const QImage expected = WholePicture();
    for (QPoint p : {Px(1.5, 0.5), Px(1.5, -0.5), Px(2.5, -0.5), Px(-1.5, -2)})
        for (int d = -2; d <= 2; ++d)
            EXPECT_EQ(during.pixel(p + QPoint(d, 0)), expected.pixel(p + QPoint(d, 0))) << p.x() << "," << p.y();
    MoveTo(Px(2, 1.3));
    ExpectWire(M()[2], {2, -1.3, 0}, {3, -0.5, 0});
    QTest::keyClick(Box, Qt::Key_Escape);
    ExpectWire(M()[0], {1, 0.5, 0}, {2, 0.5, 0});
    ExpectWire(M()[1], {1, -0.5, 0}, {2, -0.5, 0});
    ExpectWire(M()[2], {2, -0.5, 0}, {3, -0.5, 0});
    EXPECT_TRUE(M().DragList.empty());
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_FALSE(M().Modified);
    Release(Px(2, 1.3));
    EXPECT_EQ(M().HistoryCount(), 1);
    // Later changes outside a drag are no longer recorded.
    M()[3]->AssignEnds({-2, -3, 0}, {-1, -3, 0}, false);
    EXPECT_TRUE(M().EndChanges().empty());
    SidePanelButton("sbMirror")->setChecked(false);
}
