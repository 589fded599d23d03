#include "table_window_fixture.h"
#include "window_fixture.h"

#include "model/conductor_shape.h"
#include "ui/tfm_cilinder.h"
#include "ui/tfm_coli.h"
#include "ui/tfm_grid.h"
#include "ui/tfm_house.h"
#include "ui/tfm_shape.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <functional>

using namespace velomast;
using velomast::testing::TableWindowTest;
using velomast::testing::WindowTest;

namespace {

template <class T> T* Child(QWidget& d, const char* name) {
    T* c = d.findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}
QString Text(QWidget& d, const char* name) { return Child<QLabel>(d, name)->text(); }
bool Red(QWidget& d, const char* name) {
    return Child<QLabel>(d, name)->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}
QString Mark(QString s) { return s.replace('.', QLocale().decimalPoint()); }

// A form that sets spin boxes by name before it closes with `result`.
std::function<int(QDialog&)> Fill(std::vector<std::pair<const char*, double>> values, int result = QDialog::Accepted,
                                  std::function<void(QDialog&)> more = {}) {
    return [values, result, more](QDialog& d) {
        for (auto [name, v] : values) {
            if (auto* i = d.findChild<QSpinBox*>(name))
                i->setValue(static_cast<int>(v));
            else if (auto* f = d.findChild<QDoubleSpinBox*>(name))
                f->setValue(v);
            else
                ADD_FAILURE() << name;
        }
        if (more) more(d);
        return result;
    };
}

void ShowActive(QDialog& d) {
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    QApplication::setActiveWindow(&d);
}

using Generators = WindowTest;

} // namespace

TEST(GeneratorDialogs, CilinderModesAndLiveEstimates) {
    TfmCilinder d;
    d.Prepare(TfmCilinder::TMode::Cage, 3, 10);
    EXPECT_EQ(d.windowTitle(), "Создать утолщение");
    EXPECT_EQ(Text(d, "laBase"), "На основе провода №3 длиной");
    EXPECT_EQ(Text(d, "laLength"), Mark("10.00 м."));
    EXPECT_EQ(Text(d, "Label11"), "Отступ от концов в % от исх. длины:");
    auto* pages = Child<QTabWidget>(d, "pcMain");
    auto* spir = Child<QWidget>(d, "tsSpir");
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(spir)));
    // N 6, H 2, 20 %, both ends conductors: 6 faces, 12 hoops, 12 end connections.
    EXPECT_EQ(Text(d, "laWireCount"), "30");
    EXPECT_EQ(Text(d, "laTotalLength"), Mark("60.4 м."));
    Child<QComboBox>(d, "cbBottomSide")->setCurrentIndex(EndNone);
    EXPECT_EQ(Text(d, "laWireCount"), "24");
    Child<QSpinBox>(d, "rseHoopCount")->setValue(1); // the faces converge: no end connections
    EXPECT_EQ(Text(d, "laWireCount"), "12");
    for (const char* name : {"cbTopSide", "cbBottomSide", "laTopSide", "laBottomSide"})
        EXPECT_FALSE(Child<QWidget>(d, name)->isEnabled()) << name;
    Child<QSpinBox>(d, "rseHoopCount")->setValue(20);
    EXPECT_TRUE(Child<QWidget>(d, "cbTopSide")->isEnabled());
    EXPECT_FALSE(Red(d, "laWireCount"));
    Child<QSpinBox>(d, "rseNCount")->setValue(36);
    EXPECT_EQ(Text(d, "laWireCount"), QString::number(36 * 19 + 36 * 20 + 36));
    EXPECT_TRUE(Red(d, "laWireCount"));

    TfmCilinder c;
    c.Prepare(TfmCilinder::TMode::Coil, 1, 1);
    auto* cp = Child<QTabWidget>(c, "pcMain");
    EXPECT_FALSE(cp->isTabVisible(cp->indexOf(Child<QWidget>(c, "tsMain"))));
    EXPECT_FALSE(cp->isTabVisible(cp->indexOf(Child<QWidget>(c, "tsAdditional"))));
    EXPECT_EQ(cp->currentWidget(), Child<QWidget>(c, "tsSpir"));
    auto* start = Child<QGroupBox>(c, "gbStart");
    EXPECT_EQ(start->title(), " В виде цилиндрической винтовой линии ");
    EXPECT_EQ(start->parentWidget(), Child<QWidget>(c, "tsSpir"));
    EXPECT_EQ(Child<QWidget>(c, "chZeroBase")->parentWidget(), Child<QWidget>(c, "tsSpir"));
    EXPECT_EQ(Text(c, "laWireCount"), "62");
    EXPECT_EQ(Text(c, "laTotalLength"), Mark(" 16.21 м."));
    EXPECT_EQ(Text(c, "laInd"), Mark(" 20.08"));
    Child<QSpinBox>(c, "rseWCount")->setValue(100);
    Child<QSpinBox>(c, "rseNCount")->setValue(36);
    EXPECT_EQ(Text(c, "laWireCount"), "3602");
    EXPECT_TRUE(Red(c, "laWireCount"));
}

TEST(GeneratorDialogs, EnterMovesTheFocusAndEscCancels) {
    TfmCilinder d;
    d.Prepare(TfmCilinder::TMode::Cage, 1, 10);
    ShowActive(d);
    auto* faces = Child<QSpinBox>(d, "rseNCount");
    faces->setFocus();
    faces->selectAll();
    QTest::keyClicks(faces, "8");
    QTest::keyClick(faces, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(faces->value(), 8);
    EXPECT_EQ(QApplication::focusWidget(), Child<QWidget>(d, "rseDiameter"));
    // Either decimal mark is taken.
    auto* diameter = Child<QDoubleSpinBox>(d, "rseDiameter");
    for (const char* typed : {"1.25", "0,75"}) {
        diameter->selectAll();
        QTest::keyClicks(diameter, typed);
        QTest::keyClick(diameter, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(d.CageParams().Radius, QString(typed).replace(',', '.').toDouble() / 2) << typed;
        diameter->setFocus();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.isVisible());
}

TEST(GeneratorDialogs, GridColiAndHouseReadOuts) {
    TfmGrid g;
    EXPECT_EQ(g.windowTitle(), "Заполнение сеткой");
    EXPECT_EQ(Text(g, "laTitle"), " Заполнить прямоугольник сеткой: ");
    EXPECT_EQ(Text(g, "laWireCount"), "40");
    EXPECT_FALSE(Red(g, "laWireCount"));
    Child<QSpinBox>(g, "seH")->setValue(17);
    Child<QSpinBox>(g, "seV")->setValue(17);
    EXPECT_EQ(Text(g, "laWireCount"), "612");
    EXPECT_TRUE(Red(g, "laWireCount"));

    TfmColi c;
    c.Prepare(10, 20);
    EXPECT_EQ(Text(c, "laFirstLength"), Mark("10.000"));
    EXPECT_EQ(Text(c, "laWL"), Mark("0.500wl"));
    EXPECT_EQ(Text(c, "laSumLen"), Mark("46.000"));
    EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(c, "rseRatioLen")->value(), 1);
    Child<QSpinBox>(c, "seWCount")->setValue(2);
    EXPECT_EQ(Text(c, "laSumLen"), Mark("28.000"));
    Child<QSpinBox>(c, "seRatio")->setValue(20);
    EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(c, "rseRatioLen")->value(), 2);
    // Metres typed into the overlap set the whole percentage; leaving the field shows the
    // metres of that percentage.
    ShowActive(c);
    auto* metres = Child<QDoubleSpinBox>(c, "rseRatioLen");
    metres->setFocus();
    metres->selectAll();
    QTest::keyClicks(metres, "2.5");
    EXPECT_EQ(Child<QSpinBox>(c, "seRatio")->value(), 25);
    EXPECT_EQ(metres->text(), Mark("2.5"));
    metres->selectAll();
    QTest::keyClicks(metres, "2,34");
    EXPECT_EQ(Child<QSpinBox>(c, "seRatio")->value(), 23);
    Child<QWidget>(c, "seShift")->setFocus();
    EXPECT_DOUBLE_EQ(metres->value(), 2.3);
    EXPECT_DOUBLE_EQ(c.Overlap(), 0.23);

    TfmHouse h;
    EXPECT_EQ(h.windowTitle(), "Параллилепипед");
    EXPECT_EQ(Text(h, "laWireCount"), "32");
    Child<QSpinBox>(h, "seCount")->setValue(7);
    EXPECT_EQ(Text(h, "laWireCount"), "56");
    EXPECT_FALSE(Child<QWidget>(h, "gbRoof")->isEnabled());
    EXPECT_TRUE(Child<QWidget>(h, "laTotalLength")->isHidden());
}

TEST(GeneratorDialogs, ShapeCalculatorPicturesAndDiameter) {
    TfmShape d;
    EXPECT_EQ(d.windowTitle(), "Калькулятор геометрических форм");
    EXPECT_EQ(d.Kind(), ShapeRectangle);
    EXPECT_EQ(Child<QDoubleSpinBox>(d, "seDiameter")->text(), Mark("6.7098"));
    auto* ok = Child<QPushButton>(d, "btOK");
    EXPECT_EQ(ok->text(), "Применить");
    ShowActive(d);
    TStringGrid* grid = d.Pictures();
    auto click = [&](int col, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, col)).center());
    };
    auto* b = Child<QDoubleSpinBox>(d, "seB");
    click(0, 1); // square bar: b is not used and keeps its value
    EXPECT_EQ(d.Kind(), ShapeSquare);
    EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(Child<QLabel>(d, "laSizeB")->isEnabled());
    EXPECT_NEAR(d.Diameter(), 9.44, 1e-9);
    click(1, 0);
    EXPECT_TRUE(b->isEnabled());
    auto* a = Child<QDoubleSpinBox>(d, "seA");
    a->setValue(40);
    b->setValue(10);
    EXPECT_NEAR(d.Diameter(), 26.35, 1e-9);

    // The selected cell is light yellow, the others plain.
    const QImage img = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    EXPECT_EQ(img.pixelColor(cell.left() + 3, cell.top() + 3), QColor(255, 255, 213));
    const QRect other = grid->visualRect(grid->model()->index(1, 2));
    EXPECT_NE(img.pixelColor(other.left() + 3, other.top() + 3), QColor(255, 255, 213));

    TfmShape calc;
    calc.SetCalculatorOnly();
    EXPECT_TRUE(Child<QPushButton>(calc, "btOK")->isHidden());
    EXPECT_EQ(Child<QPushButton>(calc, "btCancel")->text(), "Закрыть");
    ShowActive(calc);
    const QRect bt = Child<QPushButton>(calc, "btCancel")->geometry();
    EXPECT_NEAR(bt.center().x(), calc.width() / 2, 3);
}

TEST_F(Generators, MenuItemsAreOffered) {
    for (const char* name : {"NpMakeFatWire", "NMakeCoil", "NpColinear", "NpCreateBox", "NpFillGrid", "NShapeCalc"})
        EXPECT_TRUE(W->Action(name)->isEnabled()) << name;
}

TEST_F(Generators, CageAndCoilAreOneUndoStepEach) {
    Build({{{0, 0, 0}, {0, 0, 10}}});
    Select({1});
    Dialogs.Forms.push_back(Fill({}, QDialog::Rejected));
    Trigger("NpMakeFatWire");
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_EQ(Dialogs.Last("exec")->Text, "fmCilinder");

    Dialogs.Forms.push_back(Fill({{"rseNCount", 4}, {"rseDiameter", 1}, {"rseHoopCount", 3}}));
    Trigger("NpMakeFatWire");
    EXPECT_EQ(M().OwnCount(), 1u + 4 * 2 + 12 + 8);
    EXPECT_EQ(M()[0]->Radius, 0);
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_TRUE(M().Modified);
    EXPECT_EQ(M().Selection.Current(), M()[0]);
    Trigger("NUndo");
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M()[0]->Radius, 0.0008);

    Dialogs.Forms.push_back(Fill({{"rseWCount", 10}}, QDialog::Accepted, [](QDialog& d) {
        EXPECT_TRUE(Child<QTabWidget>(d, "pcMain")->currentWidget() == Child<QWidget>(d, "tsSpir"));
        Child<QCheckBox>(d, "chZeroBase")->setChecked(false);
    }));
    Trigger("NMakeCoil");
    EXPECT_EQ(M().OwnCount(), 63u);
    EXPECT_EQ(M()[0]->Radius, 0.0008);
    EXPECT_NEAR(M()[1]->WireLength(), 0.25, 1e-12);
    EXPECT_EQ(M().HistoryCount(), 3); // appended after the undone one

    // Built again on the same base, every wire would duplicate: a message, no step.
    Dialogs.Forms.push_back(Fill({}));
    Trigger("NMakeCoil");
    EXPECT_EQ(M().OwnCount(), 63u);
    EXPECT_EQ(M().HistoryCount(), 3);
    EXPECT_EQ(Dialogs.Count("message"), 1);
}

TEST_F(Generators, GridAndBoxOnARectangle) {
    const std::initializer_list<std::pair<Vec3, Vec3>> square = {
        {{0, 0, 0}, {1, 0, 0}}, {{1, 1, 0}, {1, 0, 0}}, {{1, 1, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 0}}};
    Build(square);
    M().NewObjectFromText(KindSource, "w2c,0,1");
    M().ClearHistory();
    M().StoreUndoStep(false);
    Select({1, 2, 3, 4});
    W->pmWirePopup();
    EXPECT_TRUE(W->Action("NpCreateRectBased")->isEnabled());
    Dialogs.Forms.push_back(Fill({{"seH", 2}, {"seV", 2}}));
    Trigger("NpFillGrid");
    EXPECT_EQ(Dialogs.Last("exec")->Caption, "Заполнение сеткой");
    ASSERT_EQ(M().OwnCount(), 12u);
    EXPECT_TRUE(M().Sources.empty());
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_EQ(M().Selection.Count(), 1u); // the refresh makes the first wire current
    EXPECT_EQ(M().Selection.Current(), M()[0]);
    EXPECT_TRUE(Ends(M()[0], {0, 0, 0}, {0.5, 0, 0}));
    Trigger("NUndo");
    EXPECT_EQ(M().OwnCount(), 4u);
    EXPECT_EQ(M().Sources.size(), 1u);

    Build(square);
    Select({1, 2, 3, 4});
    Dialogs.Forms.push_back(Fill({{"seCount", 2}, {"seH", 3}}));
    Trigger("NpCreateBox");
    EXPECT_EQ(Dialogs.Last("exec")->Caption, "Параллилепипед");
    EXPECT_EQ(M().OwnCount(), 4u + 16);
    EXPECT_TRUE(Ends(M()[1], {1, 0, 0}, {1, 1, 0}));
    EXPECT_TRUE(Ends(M()[19], {0, 1, 6}, {0, 0, 6}));
    EXPECT_EQ(M().HistoryCount(), 2);
    Dialogs.Forms.push_back(Fill({}, QDialog::Rejected));
    Trigger("NpCreateBox");
    EXPECT_EQ(M().OwnCount(), 20u);
    EXPECT_EQ(M().HistoryCount(), 2);
}

TEST_F(Generators, FourWiresThatAreNoQuadrilateralAreRefusedWithAMessage) {
    Build({{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 1, 0}}, {{1, 1, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 2, 0}}});
    Select({1, 2, 3, 4});
    for (const char* item : {"NpFillGrid", "NpCreateBox"}) {
        Trigger(item);
        EXPECT_EQ(Dialogs.Count("exec"), 0) << item;
        ASSERT_NE(Dialogs.Last("message"), nullptr);
        EXPECT_EQ(Dialogs.Last("message")->Text, "Выделенные провода не образуют замкнутый четырёхугольник");
    }
    EXPECT_EQ(Dialogs.Count("message"), 2);
    EXPECT_EQ(M().OwnCount(), 4u);
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_FALSE(M().Modified);
    Select({1, 2, 3}); // another count: nothing at all
    Trigger("NpFillGrid");
    EXPECT_EQ(Dialogs.Count("message"), 2);
}

TEST_F(Generators, ColinearContinuesTheOnlySelectedWire) {
    Build({{{0, 0, 0}, {0, 0, 10}}, {{5, 0, 0}, {5, 0, 1}}});
    M().SetFrequency(14.99);
    Select({1, 2});
    Trigger("NpColinear");
    EXPECT_EQ(Dialogs.Count("exec"), 0); // one wire only
    Select({1});
    QString first;
    Dialogs.Forms.push_back(Fill({{"seWCount", 2}}, QDialog::Accepted,
                                 [&](QDialog& d) { first = Text(d, "laSumLen"); }));
    Trigger("NpColinear");
    EXPECT_EQ(first, Mark("28.000"));
    ASSERT_EQ(M().OwnCount(), 4u);
    EXPECT_TRUE(Ends(M()[2], {-0.01, 0, 9}, {-0.01, 0, 19}));
    EXPECT_TRUE(Ends(M()[3], {0, 0, 18}, {0, 0, 28}));
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_NEAR(M().ViewCenter.Z, 14, 1e-9); // centred on the whole antenna
}

TEST_F(Generators, ShapeCalculatorFromToolsChangesNothing) {
    Build({{{0, 0, 0}, {1, 0, 0}}});
    Select({1});
    Dialogs.Forms.push_back([](QDialog& d) {
        EXPECT_TRUE(Child<QPushButton>(d, "btOK")->isHidden());
        Child<QDoubleSpinBox>(d, "seA")->setValue(20);
        return int(QDialog::Accepted);
    });
    Trigger("NShapeCalc");
    EXPECT_EQ(Dialogs.Last("exec")->Caption, "Калькулятор геометрических форм");
    EXPECT_EQ(M()[0]->Radius, 0.0008);
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_FALSE(M().Modified);
}

TEST_F(TableWindowTest, DiameterButtonAppliesTheCalculatedDiameter) {
    Window();
    Wires({{0, 0, 0, 1, 0, 0}, {0, 1, 0, 1, 1, 0}, {0, 2, 0, 1, 2, 0}});
    Select({1, 2});
    TStringGrid* g = W->WireGrid();
    const QRect cell = g->visualRect(g->model()->index(TfmVelomast::RowDiameter, 1));
    const QPoint button(g->viewport()->width() - 8, cell.center().y());
    const QPoint elsewhere(g->viewport()->width() - 40, cell.center().y());

    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, elsewhere);
    EXPECT_EQ(Dialogs.Count("exec"), 0);

    Dialogs.Forms.push_back(Fill({{"seA", 5}}, QDialog::Rejected));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, button);
    EXPECT_EQ(Dialogs.Count("exec"), 1);
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(M()[0]->Radius, 0.0008);

    Dialogs.Forms.push_back([](QDialog& d) {
        EXPECT_FALSE(Child<QPushButton>(d, "btOK")->isHidden());
        return int(QDialog::Accepted); // the bar 8 x 4 it opens with
    });
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, button);
    EXPECT_EQ(Steps(), 2);
    EXPECT_DOUBLE_EQ(M()[0]->Radius, 6.7098 / 2000);
    EXPECT_DOUBLE_EQ(M()[1]->Radius, 6.7098 / 2000);
    EXPECT_EQ(M()[2]->Radius, 0.0008);
    EXPECT_FALSE(g->Editing());
    Trigger("NUndo");
    EXPECT_EQ(M()[0]->Radius, 0.0008);
    EXPECT_EQ(M()[1]->Radius, 0.0008);
}
