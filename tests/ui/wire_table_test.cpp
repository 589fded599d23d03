#include "table_window_fixture.h"

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QCheckBox>

#include "ui/paint_box.h"

#include <cmath>

using namespace velomast;
using velomast::testing::TableWindowTest;

namespace {

class WireTable : public TableWindowTest {
protected:
    QString Cell(int row) { return W->WireCellText(1, row); }
    bool Down(const char* name) { return W->Button(name)->isChecked(); }
    void Press(const char* name) { W->Button(name)->click(); }
};

} // namespace

TEST_F(WireTable, OneWireShowsItsValuesInTheirFormats) {
    Window();
    Wires({{0, -2.5, 10, 0, 2.5, 10}});
    M()[0]->Radius = -0.002;
    W->UpdateForm();
    EXPECT_EQ(W->WireCellText(0, 0), "Параметр");
    EXPECT_EQ(Cell(0), "Значение");
    EXPECT_EQ(W->WireCellText(0, TfmVelomast::RowLength), "Длина, м.");
    EXPECT_EQ(Cell(TfmVelomast::RowLength), "    5");
    EXPECT_EQ(Cell(TfmVelomast::RowY1), N("-2.5"));
    EXPECT_EQ(Cell(TfmVelomast::RowZ2), "10");
    EXPECT_EQ(Cell(TfmVelomast::RowDiameter), "-2 (комби)");
    EXPECT_EQ(Cell(TfmVelomast::RowAzimuth), N("90.00°"));
    EXPECT_EQ(Cell(TfmVelomast::RowZenith), N("90.00°"));
    EXPECT_EQ(Cell(TfmVelomast::RowSegments), "Авто");
    EXPECT_EQ(W->findChild<QLabel*>("laWire")->text(), "Провод #1");
    EXPECT_EQ(W->findChild<QLabel*>("laSumLenValue")->text(), N("5.000 м."));

    // The editor starts from the current wire.
    QString text;
    W->dgWireGetEditText(1, TfmVelomast::RowY1, text);
    EXPECT_EQ(text, N("       -2.5"));
    W->dgWireGetEditText(1, TfmVelomast::RowAzimuth, text);
    EXPECT_EQ(text, N("       90.00"));
}

TEST_F(WireTable, SeveralWiresShowCommonValuesAndLeaveMixedOnesBlank) {
    Window();
    Wires({{0, 0, 10, 0, 2, 10}, {0, 0, 10, 3, 0, 10}});
    Select({1, 2});
    for (int row : {TfmVelomast::RowX1, TfmVelomast::RowY1, TfmVelomast::RowZ1, TfmVelomast::RowZ2})
        EXPECT_NE(Cell(row), "NAN") << row;
    for (int row : {TfmVelomast::RowX2, TfmVelomast::RowY2, TfmVelomast::RowLength, TfmVelomast::RowAzimuth})
        EXPECT_EQ(Cell(row), "NAN") << row;
    EXPECT_EQ(W->findChild<QLabel*>("laWire")->text(), "Всего выбрано: 2");
    EXPECT_EQ(W->findChild<QLabel*>("laSumLenValue")->text(), N("5.000 м."));
    EXPECT_EQ(W->StatusText(1), "Выделено: 2 из 2");

    // A mixed value is painted blank on the header colour, a common one on the base colour.
    TStringGrid* g = W->WireGrid();
    const QImage img = g->grab().toImage();
    auto pixel = [&](int row) {
        const QRect r = g->visualRect(g->model()->index(row, 1)).translated(g->viewport()->pos());
        return img.pixelColor(r.left() + 3, r.center().y());
    };
    EXPECT_EQ(pixel(TfmVelomast::RowX2), g->FixedColor());
    EXPECT_NE(pixel(TfmVelomast::RowZ2), g->FixedColor());

    // Typing a common value fills the blank row: one step per wire.
    const int before = Steps();
    Type(TfmVelomast::RowY2, "2");
    EXPECT_EQ(Steps(), before + 2);
    EXPECT_EQ(M()[0]->P2().Y, 2);
    EXPECT_EQ(M()[1]->P2().Y, 2);
    EXPECT_EQ(Cell(TfmVelomast::RowY2), "2");
}

TEST_F(WireTable, EachRowCommitsByItsRule) {
    struct Case {
        const char* Name;
        int Row;
        const char* Typed;
        bool Shift;
        Vec3 P1, P2;
        double Radius;
        int Segments;
        int StepsAdded;
    };
    const Case cases[] = {
        {"X2", TfmVelomast::RowX2, "4", false, {0, 0, 0}, {4, 0, 0}, 0.0008, -1, 1},
        {"comma accepted", TfmVelomast::RowY1, "1,5", false, {0, 1.5, 0}, {2, 0, 0}, 0.0008, -1, 1},
        {"rounded to 0.1 mm", TfmVelomast::RowZ2, "0.00004", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 1},
        {"Shift on Z1", TfmVelomast::RowZ1, "5", true, {0, 0, 5}, {2, 0, 5}, 0.0008, -1, 1},
        {"Shift to zero length", TfmVelomast::RowX2, "1", true, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 1},
        {"zero length refused", TfmVelomast::RowX2, "0", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 1},
        {"length", TfmVelomast::RowLength, "3", false, {-0.5, 0, 0}, {2.5, 0, 0}, 0.0008, -1, 1},
        {"same length", TfmVelomast::RowLength, "2", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"length <= 0", TfmVelomast::RowLength, "-1", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"diameter", TfmVelomast::RowDiameter, "3", false, {0, 0, 0}, {2, 0, 0}, 0.0015, -1, 1},
        {"isolator", TfmVelomast::RowDiameter, "0", false, {0, 0, 0}, {2, 0, 0}, 0, -1, 1},
        {"combined", TfmVelomast::RowDiameter, "-2", false, {0, 0, 0}, {2, 0, 0}, -0.002, -1, 1},
        {"diameter 1000", TfmVelomast::RowDiameter, "1000", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"diameter -100", TfmVelomast::RowDiameter, "-100", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"azimuth", TfmVelomast::RowAzimuth, "90", false, {0, 0, 0}, {0, 2, 0}, 0.0008, -1, 1},
        {"zenith", TfmVelomast::RowZenith, "0", false, {0, 0, 0}, {0, 0, 2}, 0.0008, -1, 1},
        {"segments", TfmVelomast::RowSegments, "11", false, {0, 0, 0}, {2, 0, 0}, 0.0008, 11, 1},
        {"segments auto", TfmVelomast::RowSegments, "-1", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"segments real", TfmVelomast::RowSegments, "2.5", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
        {"letters", TfmVelomast::RowX1, "abc", false, {0, 0, 0}, {2, 0, 0}, 0.0008, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Window();
        Wires({{0, 0, 0, 2, 0, 0}});
        const int before = Steps();
        Type(c.Row, c.Typed, c.Shift ? Qt::ShiftModifier : Qt::NoModifier);
        const TWire* w = M()[0];
        EXPECT_NEAR(w->P1().X, c.P1.X, 1e-12);
        EXPECT_NEAR(w->P1().Y, c.P1.Y, 1e-12);
        EXPECT_NEAR(w->P1().Z, c.P1.Z, 1e-12);
        EXPECT_NEAR(w->P2().X, c.P2.X, 1e-12);
        EXPECT_NEAR(w->P2().Y, c.P2.Y, 1e-12);
        EXPECT_NEAR(w->P2().Z, c.P2.Z, 1e-12);
        EXPECT_DOUBLE_EQ(w->Radius, c.Radius);
        EXPECT_EQ(w->Segments, c.Segments);
        EXPECT_EQ(Steps(), before + c.StepsAdded);
        EXPECT_EQ(W->EditValue(), NoValue); // nothing pending after Enter
    }
}

TEST_F(WireTable, AnEditOfVeryManyWiresIsOneStep) {
    Window();
    for (int i = 0; i < 1001; ++i) M().NewWire({double(i), 0, 0}, {double(i), 1, 0}, -2);
    M().StoreUndoStep(false);
    Trigger("NSelectAll");
    ASSERT_GT(M().Selection.Count() * M().OwnCount(), TfmVelomast::MaxSnapshotRecordsPerEdit);
    const int before = Steps();
    Type(TfmVelomast::RowZ2, "2");
    EXPECT_EQ(Steps(), before + 1);
    EXPECT_EQ(M()[1000]->P2().Z, 2);
    Trigger("NUndo");
    EXPECT_EQ(M()[1000]->P2().Z, 0);
    EXPECT_EQ(M()[0]->P2().Z, 0);
}

TEST_F(WireTable, TextsAfterDiameterAndSegmentationEdits) {
    Window();
    Wires({{0, 0, 0, 2, 0, 0}});
    Type(TfmVelomast::RowDiameter, "0");
    EXPECT_EQ(Cell(TfmVelomast::RowDiameter), "изолятор");
    Type(TfmVelomast::RowDiameter, N("1.6"));
    EXPECT_EQ(Cell(TfmVelomast::RowDiameter), N("1.6"));
    QString text;
    W->dgWireGetEditText(1, TfmVelomast::RowDiameter, text);
    EXPECT_EQ(text.trimmed(), N("1.6")); // the editor starts from the exact diameter
    M()[0]->Segments = 9;
    Type(TfmVelomast::RowSegments, "-1");
    EXPECT_EQ(Cell(TfmVelomast::RowSegments), "Авто");
}

TEST_F(WireTable, TheLengthKeepsTheChosenPoint) {
    struct Case {
        const char* Button;
        Vec3 P1, P2;
    };
    for (const Case& c : {Case{"sbFixStart", {0, 0, 0}, {3, 0, 0}}, Case{"sbFixEnd", {-1, 0, 0}, {2, 0, 0}},
                          Case{"sbFixCenter", {-0.5, 0, 0}, {2.5, 0, 0}}}) {
        SCOPED_TRACE(c.Button);
        Window();
        EXPECT_TRUE(Down("sbFixCenter"));
        Wires({{0, 0, 0, 2, 0, 0}});
        Press(c.Button);
        EXPECT_TRUE(Down(c.Button));
        Type(TfmVelomast::RowLength, "3");
        EXPECT_TRUE(VecEqual(M()[0]->P1(), c.P1));
        EXPECT_TRUE(VecEqual(M()[0]->P2(), c.P2));
    }
    EXPECT_FALSE(Down("sbFixStart")); // one of three
}

TEST_F(WireTable, WavelengthMode) {
    Window();
    M().SetFrequency(TWireList::SpeedOfLight / 20); // λ = 20 m
    Wires({{0, 0, 0, 2, 0, 0}});
    Press("sbWL");
    EXPECT_EQ(W->WireCellText(0, TfmVelomast::RowLength), "Длина, wl");
    EXPECT_EQ(Cell(TfmVelomast::RowX2), N("0.1"));
    Press("sbFixStart");
    Type(TfmVelomast::RowLength, N("0.5"));
    EXPECT_NEAR(M()[0]->WireLength(), 10, 1e-12);
    EXPECT_EQ(Cell(TfmVelomast::RowLength), N("   0.5"));
    // Coordinates in wavelengths too, rounded to 0.1 mm in metres.
    Type(TfmVelomast::RowZ2, N("0.123456"));
    EXPECT_EQ(M()[0]->P2().Z, 2.4691);
    EXPECT_EQ(Cell(TfmVelomast::RowZ2), N("0.1235"));
}

TEST_F(WireTable, MirrorAndKeepConnections) {
    Window();
    W->MainPages()->setCurrentIndex(1); // top view: the twin mirrors Y
    Wires({{1, 1, 0, 2, 1, 0}, {1, -1, 0, 2, -1, 0}, {2, 1, 0, 2, 3, 0}});
    Select({1});
    Press("sbMirror");
    Type(TfmVelomast::RowX2, "3");
    EXPECT_TRUE(VecEqual(M()[1]->P2(), {3, -1, 0}));
    EXPECT_TRUE(VecEqual(M()[2]->P1(), {2, 1, 0})); // not kept
    Press("sbMirror");

    W->findChild<QCheckBox*>("chKeepConnection")->click();
    EXPECT_TRUE(M().KeepConnections);
    Select({3});
    Type(TfmVelomast::RowY2, "4"); // nothing touches its end
    Type(TfmVelomast::RowX1, "3"); // its start moves onto wire 1's end
    Select({1});
    Type(TfmVelomast::RowY2, "2"); // wire 3's start follows
    EXPECT_TRUE(VecEqual(M()[2]->P1(), {3, 2, 0}));
}

TEST_F(WireTable, EnterMovesOnAndWrapsAndNeverAppliesAStaleValue) {
    Window();
    Wires({{0, 0, 0, 2, 0, 0}});
    TStringGrid* g = W->WireGrid();
    Type(TfmVelomast::RowZ1, "1");
    EXPECT_EQ(g->Row(), TfmVelomast::RowX2);
    EXPECT_TRUE(g->Editing());
    const int before = Steps();
    // A bare Enter moves on without applying the last value.
    QTest::keyClick(g->Editor(), Qt::Key_Return);
    EXPECT_EQ(g->Row(), TfmVelomast::RowY2);
    QTest::keyClick(g->Editor(), Qt::Key_Tab);
    EXPECT_EQ(g->Row(), TfmVelomast::RowZ2);
    EXPECT_EQ(Steps(), before);
    EXPECT_EQ(M()[0]->P2().X, 2);
    // Text that is not a number stays to be put right.
    TypeInto(g, 1, TfmVelomast::RowX2, "x1");
    EXPECT_EQ(g->Row(), TfmVelomast::RowX2);
    EXPECT_TRUE(g->Editing());
    // The last row wraps to the first.
    Type(TfmVelomast::RowSegments, "5");
    EXPECT_EQ(g->Row(), TfmVelomast::RowLength);
}

TEST_F(WireTable, EnterFromAViewTabStartsEditingAtRowTwo) {
    TfmVelomast& w = Window();
    Wires({{0, 0, 0, 2, 0, 0}});
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.MainPages()->setCurrentIndex(1);
    w.findChild<QTabWidget*>("pcRight")->setCurrentIndex(1);
    w.Button("sbRuler")->click(); // entering the table chooses the edit mode again
    w.PaintBox()->setFocus();
    QTest::keyClick(w.PaintBox(), Qt::Key_Return);
    TStringGrid* g = w.WireGrid();
    EXPECT_EQ(w.findChild<QTabWidget*>("pcRight")->currentIndex(), 0);
    EXPECT_EQ(g->Row(), TfmVelomast::RowX1);
    EXPECT_TRUE(g->Editing());
    EXPECT_TRUE(w.Button("sbEditMode")->isChecked());
    // Keys typed there are the table's: Space does not switch the current wire.
    QTest::keyClicks(g->Editor(), " 7");
    QTest::keyClick(g->Editor(), Qt::Key_Return);
    EXPECT_EQ(M()[0]->P1().X, 7);
}

TEST_F(WireTable, GreyedLabelsFollowTheView) {
    Window();
    Wires({{0, 0, 0, 2, 0, 0}});
    TStringGrid* g = W->WireGrid();
    auto grey = [&](int row) {
        const QImage img = g->grab().toImage();
        const QRect r = g->visualRect(g->model()->index(row, 0)).translated(g->viewport()->pos());
        for (int x = r.left(); x < r.left() + 30; ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                if (img.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0)) return true;
        return false;
    };
    EXPECT_FALSE(grey(TfmVelomast::RowZ1));
    W->MainPages()->setCurrentIndex(1);
    EXPECT_TRUE(grey(TfmVelomast::RowZ1));
    EXPECT_FALSE(grey(TfmVelomast::RowX1));
    W->MainPages()->setCurrentIndex(3);
    EXPECT_TRUE(grey(TfmVelomast::RowX2));
}

TEST_F(WireTable, AnEmptyModelDisablesTheTable) {
    TfmVelomast& w = Window();
    EXPECT_FALSE(w.WireGrid()->isEnabled());
    EXPECT_FALSE(w.findChild<QLabel*>("laWire")->isEnabled());
    EXPECT_EQ(w.findChild<QLabel*>("laWire")->text(), "Провод #0");
    EXPECT_EQ(w.StatusText(1), "Всего проводов: 0");
    EXPECT_EQ(w.WireCellText(1, TfmVelomast::RowLength), "");
    Wires({{0, 0, 0, 2, 0, 0}});
    EXPECT_TRUE(w.WireGrid()->isEnabled());
}

TEST_F(WireTable, TheDiameterButtonWaitsForTheCalculator) {
    Window();
    Wires({{0, 0, 0, 2, 0, 0}});
    TStringGrid* g = W->WireGrid();
    const QRect r = g->visualRect(g->model()->index(TfmVelomast::RowDiameter, 1));
    const int before = Steps();
    EXPECT_TRUE(W->dgWireMouseDown({g->viewport()->width() - 5, r.center().y()}));
    EXPECT_FALSE(W->dgWireMouseDown({r.left() + 5, r.center().y()}));
    EXPECT_EQ(Steps(), before); // the calculator was cancelled: nothing changes
    EXPECT_DOUBLE_EQ(M()[0]->Radius, 0.0008);
}

TEST_F(WireTable, PopupEnablingFollowsTheSelection) {
    TfmVelomast& w = Window();
    Wires({{0, 0, 10, 0, 0, 5}, {0, 0, 5, 1, 0, 0}, {1, 0, 0, 2, 0, 0}, {2, 0, 0, 3, 0, 0}});
    M().NewObjectFromText(KindSource, "w1c,0,1");
    M().GroundType = 2;
    Select({1});
    w.Button("sbRuler")->click();
    w.pmWirePopup();
    EXPECT_TRUE(w.Button("sbEditMode")->isChecked());
    EXPECT_FALSE(w.Action("NpMerge")->isEnabled());
    EXPECT_TRUE(w.Action("NpSourceDel")->isEnabled());
    EXPECT_EQ(w.Action("NpSource")->text(), "Перенести источник");
    EXPECT_TRUE(w.Action("NProlongToGround")->isVisible());

    M()[1]->Radius = 0;
    Select({2}); // zenith about 169°
    w.pmWirePopup();
    EXPECT_EQ(w.Action("NpSource")->text(), "Добавить источник");
    EXPECT_FALSE(w.Action("NpSource")->isEnabled());
    EXPECT_FALSE(w.Action("NpMakeIsolator")->isEnabled());
    EXPECT_FALSE(w.Action("NpSourceDel")->isEnabled());
    EXPECT_TRUE(w.Action("NProlongToGround")->isVisible());

    Select({3}); // horizontal
    w.pmWirePopup();
    EXPECT_FALSE(w.Action("NProlongToGround")->isVisible());

    Select({2});
    w.pmWirePopup();
    Select({1, 2, 3, 4});
    w.pmWirePopup();
    EXPECT_TRUE(w.Action("NpMerge")->isEnabled());
    EXPECT_TRUE(w.Action("NpCreateRectBased")->isEnabled());
    EXPECT_FALSE(w.Action("NProlongToGround")->isVisible());
    EXPECT_FALSE(w.Action("NpSource")->isEnabled()); // kept from before

    M().GroundType = 0;
    Select({1});
    w.pmWirePopup();
    EXPECT_FALSE(w.Action("NProlongToGround")->isVisible());
    EXPECT_FALSE(w.Action("NpCreateRectBased")->isEnabled());
}

TEST_F(WireTable, StatusPanelsAndTheTurningRadius) {
    TfmVelomast& w = Window();
    Wires({{0, 0, 2, 3, 4, 2}});
    EXPECT_EQ(w.StatusText(3), "Свободное простр.");
    M().GroundType = 1;
    M().BaseHeight = 10;
    w.UpdateForm();
    EXPECT_EQ(w.StatusText(3), "H=10 м. Hmax=12 м.");
    EXPECT_EQ(w.findChild<QLabel*>("laRadiusMax")->text(), N("2.50 м."));
    // Follows an edit even when nothing recomputes the model's box (free space, no refit).
    M().GroundType = 0;
    Type(TfmVelomast::RowY2, "0");
    EXPECT_EQ(w.findChild<QLabel*>("laRadiusMax")->text(), N("1.50 м."));
}
