// Keys reach the window's commands only when the user typed them at the window: never while
// a menu, a popup or a modal dialog has the keyboard, and never a text field's own keys.
#include "scripted_dialogs.h"
#include "window_fixture.h"

#include "ui/paint_box.h"
#include "ui/string_grid.h"
#include "ui/tfm_velomast.h"
#include "view/view_camera.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace velomast;

namespace {

class WindowKeys : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
        Build({{{0, -1, 0}, {0, 1, 0}}, {{1, -1, 0}, {1, 1, 0}}});
        W->MainPages()->setCurrentIndex(1);
        QApplication::processEvents();
        W->UpdateForm();
    }
    // A key as the platform delivers it: to the window, routed by Qt to whatever has the
    // keyboard (an open menu, the focused widget).
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(W->windowHandle(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    QPoint WirePixel(int n) {
        const TWire* w = M()[static_cast<size_t>(n) - 1];
        const ScreenPoint p = ProjectPoint(M(), VecScale(VecAdd(w->P1(), w->P2()), 0.5));
        return {p.X, p.Y};
    }
};

TEST_F(WindowKeys, EnterInAnOpenPopupRunsTheItemAndNothingElse) {
    TPaintBox* box = W->PaintBox();
    box->setFocus();
    QTest::mouseClick(box, Qt::RightButton, {}, WirePixel(1));
    QApplication::processEvents();
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(menu->activeAction(), W->Action("NpInvert"));
    Key(Qt::Key_Return);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(W->WireGrid()->Editing());
    EXPECT_TRUE(VecEqual(M()[0]->P1(), {0, 1, 0})); // inverted
}

TEST_F(WindowKeys, EnterInAMenuOfTheMenuBarRunsTheItem) {
    QMenuBar* bar = W->menuBar();
    bar->setActiveAction(W->Action("NFile"));
    QApplication::processEvents();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    Key(Qt::Key_Down); // "Новая антенна"
    Key(Qt::Key_Down); // "Открыть..."
    Key(Qt::Key_Return);
    EXPECT_EQ(Dialogs.Count("open"), 1);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(W->WireGrid()->Editing());
}

TEST_F(WindowKeys, DelInATextFieldDeletesACharacterNotAWire) {
    QLineEdit* scale = W->findChild<QComboBox*>("cbScale")->lineEdit();
    scale->setFocus();
    scale->setText("100%");
    scale->setCursorPosition(0);
    Key(Qt::Key_Delete);
    EXPECT_EQ(scale->text(), "00%");
    EXPECT_EQ(M().OwnCount(), 2u);
    // In the view Del still deletes the current wire.
    W->PaintBox()->setFocus();
    Key(Qt::Key_Delete);
    EXPECT_EQ(M().OwnCount(), 1u);
}

TEST_F(WindowKeys, ATableValueLivesOnlyWhileItsEditorIsOpen) {
    TStringGrid* g = W->WireGrid();
    const double z = M()[0]->P1().Z;
    struct Case {
        const char* what;
        std::function<void()> leave;
    };
    const Case cases[] = {
        {"Esc", [&] { QTest::keyClick(g->Editor(), Qt::Key_Escape); }},
        {"arrow", [&] { QTest::keyClick(g->Editor(), Qt::Key_Up); }},
        {"click elsewhere", [&] { W->PaintBox()->setFocus(); }},
        {"wavelength button", [&] { W->Button("sbWL")->click(); W->Button("sbWL")->click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g->setFocus();
        g->SetCurrent(1, TfmVelomast::RowZ1);
        g->ShowEditor();
        ASSERT_TRUE(g->Editing());
        g->Editor()->selectAll();
        QTest::keyClicks(g->Editor(), "5");
        c.leave();
        EXPECT_FALSE(g->Editing());
        g->setFocus();
        g->SetCurrent(1, TfmVelomast::RowZ1);
        QTest::keyClick(g, Qt::Key_Return);
        g->HideEditor();
        EXPECT_EQ(M()[0]->P1().Z, z);
        EXPECT_EQ(M()[1]->P1().Z, z);
    }
}

TEST_F(WindowKeys, EscDropsADragAndTheDrawingOfAWire) {
    TPaintBox* box = W->PaintBox();
    box->setFocus();
    W->Action("NAutoScale")->setChecked(false);
    const int steps = M().HistoryCount();
    const Vec3 start = M()[0]->P2();
    const ScreenPoint p = ProjectPoint(M(), start);
    // Keep connections: the moved end drags nothing else here, but the wires come back
    // exactly, however far the drag went.
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(p.X, p.Y));
    for (int dx = 5; dx <= 60; dx += 5) QTest::mouseMove(box, QPoint(p.X + dx, p.Y - dx));
    ASSERT_FALSE(VecEqual(M()[0]->P2(), start));
    Key(Qt::Key_Escape);
    EXPECT_TRUE(VecEqual(M()[0]->P2(), start));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(p.X + 60, p.Y - 60));
    EXPECT_TRUE(VecEqual(M()[0]->P2(), start));
    EXPECT_EQ(M().HistoryCount(), steps);
    EXPECT_TRUE(W->Button("sbEditMode")->isChecked());

    // A frame being drawn: nothing is made; the tool stays until a second Esc.
    W->Button("sbRectMode")->click();
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(box, QPoint(150, 150));
    Key(Qt::Key_Escape);
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().HistoryCount(), steps);
    EXPECT_TRUE(W->Button("sbRectMode")->isChecked());
    Key(Qt::Key_Escape);
    EXPECT_TRUE(W->Button("sbEditMode")->isChecked());
}

} // namespace
