#include "window_fixture.h"

#include "ui/paint_box.h"

#include <QKeySequence>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <iterator>

using namespace velomast;
using velomast::testing::WindowTest;

namespace {
using WireCommandsWindow = WindowTest;
} // namespace

TEST_F(WireCommandsWindow, EachCommandStoresOneUndoStep) {
    struct Case {
        const char* Item;
        std::function<void(TWireList&)> Prepare;
        std::function<bool(TWireList&)> Done;
    };
    const std::vector<Case> cases = {
        {"NpInvert", {}, [](TWireList& m) { return Ends(m[0], {1, 0, 0}, {0, 0, 0}); }},
        {"NpMakeIsolator", {}, [](TWireList& m) { return m[0]->Radius == 0; }},
        {"NRestoreWire", [](TWireList& m) { m[0]->Radius = 0; }, [](TWireList& m) { return m[0]->Radius == 0.0008; }},
        {"NCenterOnAxis", {}, [](TWireList& m) { return Ends(m[0], {-0.5, 0, 0}, {0.5, 0, 0}); }},
        {"NProlongToGround",
         [](TWireList& m) {
             m.GroundType = 2;
             m[0]->SetEnds({5, 5, 1}, {5, 5, 3}, false, false, true);
         },
         [](TWireList& m) { return m.OwnCount() == 4 && m[3]->IsIsolator(); }},
        {"NLinkToNearest", [](TWireList& m) { m.NewWire({0, 0, 0}, {0, -1, 0}, -2); }, // the start is joined
         [](TWireList& m) { return Ends(m[0], {0, 0, 0}, {2, 0, 0.5}); }},
        {"NpDivide3", {}, [](TWireList& m) { return m.OwnCount() == 5; }},
        {"NpSourceOnCenter", {}, [](TWireList& m) { return m.Sources.size() == 1 && m.Sources[0]->WireRef() == "w1c"; }},
        {"NpSourceDel", [](TWireList& m) { m.NewObjectFromText(KindSource, "w1c,0,1"); },
         [](TWireList& m) { return m.Sources.empty(); }},
        {"NpDelete", {}, [](TWireList& m) { return m.OwnCount() == 2; }},
    };
    for (const Case& c : cases) {
        Build({{{0, 0, 0}, {1, 0, 0}}, {{2, 0, 0.5}, {3, 0, 0.5}}, {{9, 9, 9}, {9, 9, 8}}});
        if (c.Prepare) c.Prepare(M());
        Select({1});
        const int steps = M().HistoryCount();
        Trigger(c.Item);
        EXPECT_TRUE(c.Done(M())) << c.Item;
        EXPECT_EQ(M().HistoryCount(), steps + 1) << c.Item;
        EXPECT_TRUE(M().Modified) << c.Item;
        M().GroundType = 0;
    }
    EXPECT_EQ(Dialogs.Calls.size(), 0u); // none of them asked anything

    // Merging the two joined wires of an L.
    Build({{{0, 0, 0}, {1, 0, 0}}, {{1, 0, 0}, {1, 1, 0}}});
    Select({1, 2});
    Trigger("NpMerge");
    ASSERT_EQ(M().OwnCount(), 1u);
    EXPECT_TRUE(Ends(M()[0], {0, 0, 0}, {1, 1, 0}));
    EXPECT_EQ(M().HistoryCount(), 2);
}

TEST_F(WireCommandsWindow, CommandsNeedingOneWireIgnoreOtherSelections) {
    for (const char* item : {"NLinkToNearest", "NpDivide2", "NpDivide7more", "NpSourceOnBegin", "NpSourceDel"}) {
        Build({{{0, 0, 0}, {1, 0, 0}}, {{2, 0, 0}, {3, 0, 0}}});
        Select({1, 2});
        Trigger(item);
        EXPECT_EQ(M().OwnCount(), 2u) << item;
        EXPECT_TRUE(M().Sources.empty()) << item;
        EXPECT_EQ(M().HistoryCount(), 1) << item;
    }
    // Items the popup offers only where they make sense do nothing elsewhere: a source on
    // an isolator, prolonging a nearly level wire.
    Build({{{0, 0, 0}, {1, 0, 0}}, {{0, 0, 5}, {10, 0, 4}}});
    M().GroundType = 2;
    M()[0]->Radius = 0;
    Select({1});
    Trigger("NpSourceOnCenter");
    EXPECT_TRUE(M().Sources.empty());
    Select({2});
    Trigger("NProlongToGround");
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().HistoryCount(), 1);
    M().GroundType = 0;

    // Nothing selected at all: nothing happens, nothing is stored.
    Build({{{0, 0, 0}, {1, 0, 0}}});
    M().ClearSelection();
    for (const char* item : {"NpDelete", "NpInvert", "NpMakeIsolator", "NRestoreWire", "NCenterOnAxis", "NpMerge",
                             "NEditCopy", "NEditCut", "NMove", "NRotate"})
        Trigger(item);
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_EQ(Dialogs.Calls.size(), 0u);
    EXPECT_EQ(W->WireClipboard().Count(), 0u);
}

TEST_F(WireCommandsWindow, DeleteAsksAboutSourcesAndLoadsOnly) {
    Build({{{0, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {1, 1, 0}}, {{0, 2, 0}, {1, 2, 0}}});
    M().NewObjectFromText(KindSource, "w1c,0,1");
    M().NewObjectFromText(KindLoad, "w1b,1,50,0");
    M().NewObjectFromText(KindLoad, "w2e,1,50,0");
    Select({1, 2});
    Dialogs.YesNoAnswers = {false};
    Trigger("NpDelete");
    ASSERT_EQ(Dialogs.Count("yesno"), 1);
    EXPECT_EQ(Dialogs.Last("yesno")->Caption, "Веломаст");
    EXPECT_EQ(Dialogs.Last("yesno")->Text, "Будет удалено\r\nпроводов 2, источников: 1, нагрузок: 2. Продолжить?");
    EXPECT_EQ(M().OwnCount(), 3u);
    EXPECT_EQ(M().HistoryCount(), 1);

    // Del on the parameters page belongs to the fields there.
    W->MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
    Trigger("NpDelete");
    EXPECT_EQ(Dialogs.Count("yesno"), 1);
    W->MainPages()->setCurrentIndex(0);

    Dialogs.YesNoAnswers = {true};
    Trigger("NpDelete");
    ASSERT_EQ(M().OwnCount(), 1u);
    EXPECT_TRUE(M().Sources.empty());
    EXPECT_TRUE(M().Loads.empty());
    EXPECT_EQ(M().Selection.Current(), M()[0]); // the first wire becomes current
    EXPECT_EQ(M().HistoryCount(), 2);

    Trigger("NpDelete"); // a plain wire goes without a question
    EXPECT_EQ(M().OwnCount(), 0u);
    EXPECT_EQ(Dialogs.Count("yesno"), 2);
}

TEST_F(WireCommandsWindow, DelKeyDeletesOnceAndAltRSwapsEnds) {
    Build({{{0, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {1, 1, 0}}, {{0, 2, 0}, {1, 2, 0}}});
    W->UpdateForm();
    W->show();
    W->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
    // The menu shows Del, but only the window's key handling runs the command.
    EXPECT_EQ(W->Action("NpDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_FALSE(W->actions().contains(W->Action("NpDelete")));
    EXPECT_TRUE(W->actions().contains(W->Action("NpInvert")));
    Select({2});
    W->PaintBox()->setFocus();
    QTest::keyClick(W->PaintBox(), Qt::Key_Delete);
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().HistoryCount(), 2);

    Select({1});
    QTest::keyClick(W->PaintBox(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(Ends(M()[0], {1, 0, 0}, {0, 0, 0}));
}

TEST_F(WireCommandsWindow, DivideIntoSevenOrMoreAsksForTheNumber) {
    struct Case {
        std::optional<QString> Answer;
        size_t Wires;
    };
    for (const Case& c : {Case{"500", 200}, Case{"x", 7}, Case{" 12 ", 12}, Case{"1", 2}, Case{"7.5", 7},
                          Case{std::nullopt, 1}}) {
        Build({{{0, 0, 0}, {0, 0, 20}}});
        Select({1});
        Dialogs.InputAnswers = {c.Answer};
        Trigger("NpDivide7more");
        EXPECT_EQ(M().OwnCount(), c.Wires) << c.Answer.value_or("(cancel)").toStdString();
        EXPECT_EQ(M().HistoryCount(), c.Wires > 1 ? 2 : 1);
    }
    ASSERT_NE(Dialogs.Last("input"), nullptr);
    EXPECT_EQ(Dialogs.Last("input")->Caption, W->windowTitle());
    EXPECT_EQ(Dialogs.Last("input")->Text, "Количество частей:|7");
    EXPECT_EQ(M().Selection.Current(), M()[0]);
}

TEST_F(WireCommandsWindow, DecompositionRenumberAndDirectionsAsk) {
    auto combined = [this] {
        Build({{{0, 0, 0}, {10, 0, 0}}});
        M()[0]->Radius = -0.001;
        M().TaperLines = {"-0.001, 0, 2.0, 0.002, 99999, 0.001"};
        Select({1});
    };
    // Selected only: one question.
    combined();
    Dialogs.YesNoAnswers = {true};
    Trigger("NUncomboSelected");
    EXPECT_EQ(M().OwnCount(), 3u);
    EXPECT_EQ(Dialogs.Last("yesno")->Text,
              "При разбивке комб. провода на отдельные данные расчёта могут отличаться. Продолжить?");
    EXPECT_EQ(M().TaperLines.size(), 1u);
    // The whole antenna: a second question; No there changes nothing.
    combined();
    Dialogs.YesNoAnswers = {true, false};
    Trigger("NUncomboAll");
    EXPECT_EQ(Dialogs.Last("yesno")->Text, "Удалить все установки комбинированых проводов?");
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M().HistoryCount(), 1);
    Dialogs.YesNoAnswers = {true, true};
    Trigger("NUncomboAll");
    EXPECT_EQ(M().OwnCount(), 3u);
    EXPECT_TRUE(M().TaperLines.empty());
    EXPECT_EQ(M().HistoryCount(), 2);

    // Renumbering asks with the item's hint, and only when there is something to sort.
    Build({{{0, 0, 5}, {1, 0, 5}}, {{0, 0, 1}, {1, 0, 1}}});
    Dialogs.Calls.clear();
    Dialogs.YesNoAnswers = {false, true};
    Trigger("NRenumber");
    EXPECT_EQ(M()[0]->P1().Z, 5);
    Trigger("NRenumber");
    EXPECT_EQ(M()[0]->P1().Z, 1);
    EXPECT_EQ(Dialogs.Last("yesno")->Text, "Выполнить перенумерацию всех проводов?");
    EXPECT_EQ(M().HistoryCount(), 2);
    Build({{{0, 0, 5}, {1, 0, 5}}});
    Trigger("NRenumber");
    EXPECT_EQ(Dialogs.Count("yesno"), 2);

    // Directions: the question joins the submenu's caption and the item's.
    Build({{{3, 0, 0}, {1, 0, 0}}, {{-3, 1, 0}, {-1, 1, 0}}});
    Select({2});
    Dialogs.YesNoAnswers = {true, true};
    Trigger("NRedirectSelected");
    EXPECT_EQ(Dialogs.Last("yesno")->Text, "Упорядочить направление выделенных проводов?");
    EXPECT_TRUE(Ends(M()[0], {3, 0, 0}, {1, 0, 0}));
    EXPECT_TRUE(Ends(M()[1], {-1, 1, 0}, {-3, 1, 0}));
    Trigger("NRedirectAll");
    EXPECT_EQ(Dialogs.Last("yesno")->Text, "Упорядочить направление всех проводов?");
    EXPECT_TRUE(Ends(M()[0], {1, 0, 0}, {3, 0, 0}));
    EXPECT_EQ(M().HistoryCount(), 3);
}
