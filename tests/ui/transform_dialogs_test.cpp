#include "window_fixture.h"

#include "ui/tfm_move.h"
#include "ui/tfm_rotate.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace velomast;
using velomast::testing::WindowTest;

namespace {

template <class T> T* Child(QWidget& d, const char* name) {
    T* c = d.findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

using TransformCommands = WindowTest;

} // namespace

TEST(TransformDialogs, MoveTitlesRangesAndTheOkButton) {
    TfmMove d;
    d.Prepare(TfmMove::TVariant::Move, 1, 3);
    EXPECT_EQ(d.windowTitle(), "Перемещение провода");
    EXPECT_EQ(Child<QLabel>(d, "laTitle")->text(), " Переместить выбранный провод #3: ");
    d.Prepare(TfmMove::TVariant::Move, 5, 3);
    EXPECT_EQ(d.windowTitle(), "Перемещение группы проводов");
    EXPECT_EQ(Child<QLabel>(d, "laTitle")->text(), " Переместить выбранные 5 проводов: ");
    EXPECT_TRUE(Child<QCheckBox>(d, "chKeepConnection")->isChecked());

    auto* ok = Child<QPushButton>(d, "btOK");
    EXPECT_EQ(ok->text(), "Переместить");
    EXPECT_EQ(Child<QPushButton>(d, "btCancel")->text(), "Отмена");
    EXPECT_FALSE(ok->isEnabled());
    for (const char* name : {"fseX", "fseY", "fseZ"}) {
        auto* f = Child<QDoubleSpinBox>(d, name);
        EXPECT_EQ(f->minimum(), -100);
        EXPECT_EQ(f->maximum(), 100);
        f->setValue(0.25);
        EXPECT_TRUE(ok->isEnabled()) << name;
        EXPECT_EQ(f->text(), "0" + QLocale().decimalPoint() + "25");
        f->setValue(0);
        EXPECT_FALSE(ok->isEnabled()) << name;
        EXPECT_EQ(f->text(), "0" + QLocale().decimalPoint() + "0");
    }
    auto* x = Child<QDoubleSpinBox>(d, "fseX");
    x->setValue(-100); // a range limit is no ground: allowed in free space and over ground
    EXPECT_TRUE(ok->isEnabled());
    d.SetGroundLimit(1, 0);
    EXPECT_TRUE(ok->isEnabled());
}

TEST(TransformDialogs, MoveGroundLimitTurnsTheFieldRed) {
    TfmMove d;
    d.Prepare(TfmMove::TVariant::Move, 1, 1);
    d.SetGroundLimit(1, 2);
    auto* z = Child<QDoubleSpinBox>(d, "fseZ");
    auto* ok = Child<QPushButton>(d, "btOK");
    EXPECT_DOUBLE_EQ(z->minimum(), -3);
    const QColor normal = z->palette().color(QPalette::Text);
    z->setValue(-5); // taken back to the limit
    EXPECT_DOUBLE_EQ(z->value(), -3);
    EXPECT_EQ(z->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_FALSE(ok->isEnabled());
    Child<QDoubleSpinBox>(d, "fseX")->setValue(1); // another field does not lift the limit
    EXPECT_FALSE(ok->isEnabled());
    z->setValue(-2.9);
    EXPECT_EQ(z->palette().color(QPalette::Text), normal);
    EXPECT_TRUE(ok->isEnabled());

    // Typed text: either decimal mark; below the limit it comes back to it when done.
    z->selectAll();
    QTest::keyClicks(z, "-7.5");
    z->interpretText();
    EXPECT_DOUBLE_EQ(z->value(), -3);
    z->selectAll();
    QTest::keyClicks(z, "-1,5");
    EXPECT_DOUBLE_EQ(z->value(), -1.5);

    // Limits that are no multiple of 0.1 stay above the ground; wires under it stay put.
    TfmMove e;
    e.SetGroundLimit(1.05, 2);
    EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(e, "fseZ")->minimum(), -3);
    TfmMove under;
    under.SetGroundLimit(-0.5, 0);
    EXPECT_DOUBLE_EQ(Child<QDoubleSpinBox>(under, "fseZ")->minimum(), 0);
    Child<QDoubleSpinBox>(under, "fseX")->setValue(2);
    EXPECT_TRUE(Child<QPushButton>(under, "btOK")->isEnabled());
}

TEST(TransformDialogs, EnterMovesTheFocusAndPressesAFocusedButton) {
    TfmMove d;
    d.Prepare(TfmMove::TVariant::Move, 1, 1);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    auto* x = Child<QDoubleSpinBox>(d, "fseX");
    x->setFocus();
    x->setValue(1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto* y = Child<QDoubleSpinBox>(d, "fseY");
    EXPECT_EQ(QApplication::focusWidget(), y);
    EXPECT_TRUE(d.isVisible());
    QTest::keyClicks(y, "3"); // the text arriving by keyboard is selected: typing replaces it
    y->interpretText();
    EXPECT_EQ(y->value(), 3);
    auto* ok = Child<QPushButton>(d, "btOK");
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(TransformDialogs, RotateControlsPresetAxisAndIncreasingStep) {
    TfmRotate d;
    EXPECT_EQ(d.windowTitle(), "Вращение");
    auto* angle = Child<QDoubleSpinBox>(d, "fseAngle");
    EXPECT_EQ(angle->value(), 90);
    EXPECT_EQ(angle->minimum(), -180);
    EXPECT_EQ(angle->maximum(), 180);
    const QString stepText = Child<QCheckBox>(d, "chIncreaseStep")->text();
    EXPECT_EQ(stepText, "c нарастающим шагом");
    EXPECT_EQ(stepText.at(0).unicode(), u'c'); // a Latin letter
    EXPECT_EQ(Child<QPushButton>(d, "btOK")->text(), "Повернуть");

    // The axis follows the view: top view Z, right view Y, front view and 3-D X.
    for (auto [view, axis] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{3, 0}, std::pair{0, 0}}) {
        TfmRotate r;
        r.Prepare(2, 1, static_cast<uint8_t>(view));
        EXPECT_EQ(r.Axis(), axis) << view;
    }

    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    struct Preset {
        const char* Button;
        const char* Caption;
        double Value;
    };
    for (const Preset& p : {Preset{"sb90cw", "+90°", 90}, Preset{"sb45cw", "+45°", 45}, Preset{"sb30cw", "+30°", 30},
                            Preset{"sb90ccw", "-90°", -90}, Preset{"sb45ccw", "-45°", -45},
                            Preset{"sb30ccw", "-30°", -30}}) {
        auto* b = Child<QToolButton>(d, p.Button);
        EXPECT_EQ(b->text(), QString::fromUtf8(p.Caption));
        b->click();
        EXPECT_EQ(d.Angle(), p.Value) << p.Button;
        EXPECT_EQ(QApplication::focusWidget(), Child<QPushButton>(d, "btOK"));
    }
    EXPECT_EQ(d.result(), 0); // the buttons only preset the angle

    // One wire: no group centre and no increasing step.
    d.Prepare(1, 4, 0);
    EXPECT_EQ(d.windowTitle(), "Вращение провода");
    EXPECT_EQ(Child<QLabel>(d, "laTitle")->text(), " Повернуть выбранный провод #4: ");
    EXPECT_FALSE(Child<QRadioButton>(d, "rgCenter2")->isEnabled());
    auto* step = Child<QCheckBox>(d, "chIncreaseStep");
    d.SetCenterMode(1);
    EXPECT_FALSE(step->isEnabled());
    // Several wires: the step needs the wires' own centres and is cleared when disabled.
    d.Prepare(3, 4, 0);
    EXPECT_EQ(Child<QLabel>(d, "laTitle")->text(), " Повернуть выбранные 3 проводов: ");
    EXPECT_TRUE(step->isEnabled());
    step->setChecked(true);
    EXPECT_TRUE(d.IncreaseStep());
    Child<QRadioButton>(d, "rgCenter2")->click();
    EXPECT_FALSE(step->isEnabled());
    EXPECT_FALSE(step->isChecked());
    Child<QRadioButton>(d, "rgCenter1")->click();
    EXPECT_FALSE(d.IncreaseStep());
}

TEST_F(TransformCommands, MoveThroughTheDialogWithAndWithoutConnections) {
    for (bool keep : {true, false}) {
        Build({{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 1, 0}}});
        Select({1});
        QString title;
        Dialogs.Forms.push_back([&](QDialog& d) {
            title = d.findChild<QLabel*>("laTitle")->text();
            d.findChild<QCheckBox*>("chKeepConnection")->setChecked(keep);
            d.findChild<QDoubleSpinBox*>("fseZ")->setValue(0.25);
            d.findChild<QPushButton*>("btOK")->click();
            return d.result();
        });
        Trigger("NMove");
        EXPECT_EQ(title, " Переместить выбранный провод #1: ");
        EXPECT_TRUE(Ends(M()[0], {0, 0, 0.25}, {1, 0, 0.25}));
        EXPECT_TRUE(Ends(M()[1], keep ? Vec3{1, 0, 0.25} : Vec3{1, 0, 0}, {1, 1, 0}));
        EXPECT_EQ(M().HistoryCount(), 2);
    }
    Trigger("NMove"); // cancelled
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_TRUE(Ends(M()[0], {0, 0, 0.25}, {1, 0, 0.25}));
}

TEST_F(TransformCommands, RotateThroughTheDialog) {
    Build({{{1, 0, 0}, {2, 0, 0}}});
    Select({1});
    W->MainPages()->setCurrentIndex(1); // top view: about Z
    int axis = -1;
    Dialogs.Forms.push_back([&](QDialog& d) {
        axis = static_cast<TfmRotate&>(d).Axis();
        d.findChild<QPushButton*>("btOK")->click();
        return d.result();
    });
    Trigger("NRotate");
    EXPECT_EQ(axis, 2);
    EXPECT_TRUE(Ends(M()[0], {0, -1, 0}, {0, -2, 0}));
    EXPECT_EQ(M().HistoryCount(), 2);

    // Three wires about their own centres with an increasing step of 10 degrees.
    Build({{{0, 0, 0}, {1, 0, 0}}, {{0, 2, 0}, {1, 2, 0}}, {{0, 4, 0}, {1, 4, 0}}});
    Select({3, 2, 1});
    Dialogs.Forms.push_back([](QDialog& d) {
        d.findChild<QDoubleSpinBox*>("fseAngle")->setValue(10);
        d.findChild<QRadioButton*>("rgCenter1")->click();
        d.findChild<QCheckBox*>("chIncreaseStep")->setChecked(true);
        d.findChild<QPushButton*>("btOK")->click();
        return d.result();
    });
    Trigger("NRotate");
    EXPECT_NEAR(M()[0]->Azimuth(), -10, 0.01); // the last selected
    EXPECT_NEAR(M()[1]->Azimuth(), -20, 0.01);
    EXPECT_NEAR(M()[2]->Azimuth(), -30, 0.01); // the current wire
    EXPECT_EQ(M().HistoryCount(), 2);
    Trigger("NRotate"); // cancelled
    EXPECT_EQ(M().HistoryCount(), 2);
}
