#include "table_window_fixture.h"

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

using namespace velomast;
using velomast::testing::TableWindowTest;

namespace {

class Selection : public TableWindowTest {
protected:
    // Wire numbers of the selection, current wire first.
    std::vector<int> Selected() {
        std::vector<int> n;
        for (const TWire* w : M().Selection) n.push_back(w->Number());
        return n;
    }
    std::vector<int> Shown() {
        std::vector<int> n;
        for (const TWire* w : M())
            if (w->Visible) n.push_back(w->Number());
        return n;
    }
    // Two elements: an L of wires 1 and 2 in the plane z = 0, a vertical wire 3 apart,
    // and wire 4 in z = 0 away from both.
    void TwoElements() {
        Wires({{0, 0, 0, 2, 0, 0}, {2, 0, 0, 2, 2, 0}, {5, 5, 0, 5, 5, 3}, {7, 0, 0, 7, 1, 0}});
    }
};

} // namespace

TEST_F(Selection, SelectAllAndInvertKeepTheirOrder) {
    TfmVelomast& w = Window();
    Wires({{0, 0, 0, 1, 0, 0}, {1, 0, 0, 2, 0, 0}, {2, 0, 0, 3, 0, 0}});
    EXPECT_EQ(QKeySequence("Ctrl+A"), w.Action("NSelectAll")->shortcut());
    Trigger("NSelectAll");
    EXPECT_EQ(Selected(), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(w.findChild<QLabel*>("laWire")->text(), "Всего выбрано: 3");

    Select({1});
    Trigger("NSelectionInvert");
    EXPECT_EQ(Selected(), (std::vector<int>{3, 2}));
    // Inverting everything leaves nothing selected, so the refresh makes wire 1 current.
    Trigger("NSelectAll");
    Trigger("NSelectionInvert");
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(M().HistoryCount(), 1); // selection stores no undo step
}

TEST_F(Selection, SearchesByValue) {
    TfmVelomast& w = Window();
    Wires({{0, 0, 0, 2, 0, 0}, {0, 1, 0, 2.0002, 1, 0}, {0, 2, 0, 0, 2, 2}, {0, 3, 0, 1, 3, 0}});
    M()[3]->Radius = 0.002;
    M()[1]->Radius = 0;
    w.UpdateForm();

    Trigger("NSelectionIsol");
    EXPECT_EQ(Selected(), (std::vector<int>{2}));

    Select({1});
    Trigger("NSelectByLength");
    EXPECT_EQ(Selected(), (std::vector<int>{3, 1}));

    Select({1});
    Trigger("NSelectByRadius");
    EXPECT_EQ(Selected(), (std::vector<int>{3, 1}));

    // Nothing found: the selection stays empty and the window says so.
    M()[1]->Radius = 0.0008;
    Trigger("NSelectionIsol");
    EXPECT_TRUE(M().Selection.Empty());
    EXPECT_EQ(w.StatusText(1), "Всего проводов: 4");
    EXPECT_EQ(w.findChild<QLabel*>("laWire")->text(), "Провод #0");
    // Searches that need a current wire do nothing without one.
    Trigger("NSelectByLength");
    EXPECT_TRUE(M().Selection.Empty());
}

TEST_F(Selection, TheCurrentElementAndTheElementGrid) {
    TfmVelomast& w = Window();
    TwoElements();
    EXPECT_EQ(w.ElementsGrid()->RowCount(), 4);
    EXPECT_EQ(w.ElementCellText(0, 0), "№");
    EXPECT_EQ(w.ElementCellText(1, 0), "Кол.");
    EXPECT_EQ(w.ElementCellText(2, 0), "Длина");
    EXPECT_EQ(w.ElementCellText(1, 1), "2");
    EXPECT_EQ(w.ElementCellText(2, 1), "     4");
    EXPECT_EQ(w.ElementCellText(1, 2), "V1");
    EXPECT_EQ(w.ElementCellText(1, 3), "H1");

    Select({2});
    Trigger("NSelectElement");
    EXPECT_EQ(Selected(), (std::vector<int>{2, 1}));

    // A click on a row of the grid selects that element.
    TStringGrid* g = w.ElementsGrid();
    w.findChild<QTabWidget*>("pcRight")->setCurrentIndex(1);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(2, 1)).center());
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    // A click on the row that already is current selects it again.
    Select({1});
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(2, 1)).center());
    EXPECT_EQ(Selected(), (std::vector<int>{3}));

    // An empty model keeps one empty row.
    M().Clear(false);
    w.UpdateForm();
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(w.ElementCellText(0, 1), "");
}

TEST_F(Selection, HidingAndShowingAll) {
    TfmVelomast& w = Window();
    TwoElements();
    Select({1, 2, 3});
    Trigger("NHide");
    EXPECT_EQ(M().HiddenCount, 3);
    EXPECT_EQ(Shown(), (std::vector<int>{4}));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 2, 1}));

    Select({4});
    w.Action("NpHide")->trigger();
    EXPECT_EQ(M().HiddenCount, 4);
    EXPECT_TRUE(Shown().empty());

    Select({2});
    Trigger("NWiresShowOnlySelected");
    EXPECT_EQ(Shown(), (std::vector<int>{2}));
    EXPECT_EQ(M().HiddenCount, 8);

    w.Button("sbFilterElement")->click();
    Trigger("NShowAll");
    EXPECT_EQ(M().HiddenCount, 0);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(w.Button("sbFilterElement")->isChecked());
    EXPECT_EQ(M().FilterMode, 0);
}

TEST_F(Selection, FilterButtons) {
    TfmVelomast& w = Window();
    TwoElements();
    QToolButton* element = w.Button("sbFilterElement");
    QToolButton* surface = w.Button("sbFilterSurface");

    Select({1});
    element->click();
    EXPECT_EQ(M().FilterMode, 2);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2}));

    // The other button takes over; at most one is down.
    surface->click();
    EXPECT_FALSE(element->isChecked());
    EXPECT_EQ(M().FilterMode, 1);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4})); // every wire in the plane z = 0

    // Both may be up: no filter.
    surface->click();
    EXPECT_FALSE(surface->isChecked());
    EXPECT_EQ(M().FilterMode, 0);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4}));

    // With the element filter on, a row of the grid shows its element.
    element->click();
    w.dgElementsSelectCell(0, 2);
    EXPECT_EQ(M().FilterElement, 1);
    EXPECT_EQ(Shown(), (std::vector<int>{3}));
    EXPECT_EQ(Selected(), (std::vector<int>{3}));

    // An isolator has no element: the shown wires stay as they were.
    M()[3]->Radius = 0;
    M().RebuildElements();
    Select({4});
    surface->click();
    EXPECT_EQ(Shown(), (std::vector<int>{3}));
}
