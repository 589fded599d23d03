#include "window_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace velomast;
using velomast::testing::WindowTest;

namespace {

using Clipboard = WindowTest;

// A paste-with-offset form that enters the offset and confirms.
std::function<int(QDialog&)> OffsetForm(Vec3 v) {
    return [v](QDialog& d) {
        d.findChild<QDoubleSpinBox*>("fseX")->setValue(v.X);
        d.findChild<QDoubleSpinBox*>("fseY")->setValue(v.Y);
        d.findChild<QDoubleSpinBox*>("fseZ")->setValue(v.Z);
        d.findChild<QPushButton*>("btOK")->click();
        return d.result();
    };
}

} // namespace

TEST_F(Clipboard, CopyPutsModelLinesOnTheSystemClipboard) {
    Build({{{0, 0, 0}, {0, 0, 10}}, {{1.25, -2, 0}, {1.25, 2, 0}}});
    M()[1]->Radius = 0.002;
    M()[1]->Segments = 21;
    Select({2, 1});
    Trigger("NEditCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1.25,\t-2.0,\t0.0,\t1.25,\t2.0,\t0.0,\t0.002,\t21\r\n"
                                                    "0.0,\t0.0,\t0.0,\t0.0,\t0.0,\t10.0,\t0.0008,\t-1\r\n");
    EXPECT_EQ(W->StatusText(0), " Скопировано в буфер: 2");
    EXPECT_EQ(W->WireClipboard().Count(), 2u);
    EXPECT_EQ(M().HistoryCount(), 1); // copying changes nothing
    EXPECT_FALSE(M().Modified);
}

TEST_F(Clipboard, PasteOverTheOriginalsAsksForAnOffset) {
    Build({{{0, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {1, 1, 0}}});
    Select({1, 2});
    Trigger("NEditCopy");
    Dialogs.YesNoAnswers = {false};
    Trigger("NEditPaste");
    EXPECT_EQ(Dialogs.Last("yesno")->Text,
              "Невозможно вставить из-за совпадения проводов.\r\n\r\nВыполнить вставку со смещением координат?");
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().HistoryCount(), 1);

    // Yes leads to the paste with offset.
    Dialogs.YesNoAnswers = {true};
    Dialogs.Forms.push_back(OffsetForm({0, 0, 2}));
    Trigger("NEditPaste");
    EXPECT_EQ(M().OwnCount(), 4u);
    EXPECT_TRUE(M().FindWireByEnds({0, 1, 2}, {1, 1, 2}));
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_EQ(W->StatusText(0), " Вставка из буфера: 2");
}

TEST_F(Clipboard, CutPasteInPlaceThenRowsOfCopies) {
    Build({{{0, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {0, 1, 1}}, {{5, 5, 5}, {5, 5, 6}}});
    M().NewObjectFromText(KindSource, "w1c,0,1");
    Select({1, 2});
    Dialogs.YesNoAnswers = {true}; // the source goes with its wire
    Trigger("NEditCut");
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(W->WireClipboard().Count(), 2u);
    Trigger("NEditPaste");
    ASSERT_EQ(M().OwnCount(), 3u);
    EXPECT_TRUE(Ends(M()[1], {0, 0, 0}, {0, 0, 1})); // exactly where they were, in copy order
    EXPECT_TRUE(Ends(M()[2], {0, 1, 0}, {0, 1, 1}));
    EXPECT_TRUE(M().Sources.empty());
    EXPECT_EQ(W->StatusText(0), " Вставка из буфера: 2");
    EXPECT_EQ(M().HistoryCount(), 3);

    Dialogs.Forms.push_back(OffsetForm({1, 0, 0}));
    Trigger("NPasteSpecial");
    Trigger("NEditPaste");
    Trigger("NEditPaste");
    EXPECT_EQ(M().OwnCount(), 9u);
    for (double x : {1.0, 2.0, 3.0}) EXPECT_TRUE(M().FindWireByEnds({x, 1, 0}, {x, 1, 1})) << x;
    EXPECT_EQ(M().HistoryCount(), 6);

    // A cancelled paste with offset changes nothing; a new copy starts the row again.
    Trigger("NPasteSpecial");
    EXPECT_EQ(M().HistoryCount(), 6);
    Select({3});
    Trigger("NEditCopy");
    EXPECT_TRUE(VecIsZero(M().PasteShift));
    EXPECT_TRUE(VecIsZero(M().PasteOffset));
}

TEST_F(Clipboard, TheClipboardOutlivesTheModel) {
    Build({{{0, 0, 0}, {0, 0, 3}}});
    Select({1});
    Trigger("NEditCopy");
    const QString other = WriteFile("other.maa", "Other\r\n*\r\n14.06\r\n***Wires***\r\n1\r\n"
                                                 "5.0,\t0.0,\t0.0,\t5.0,\t0.0,\t1.0,\t0.0008,\t-1\r\n"
                                                 "***Source***\r\n0,\t0\r\n***Load***\r\n0,\t0\r\n"
                                                 "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n"
                                                 "***G/H/M/R/AzEl/X***\r\n0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n");
    ASSERT_TRUE(W->OpenModel(other));
    ASSERT_EQ(M().OwnCount(), 1u);
    Trigger("NEditPaste");
    ASSERT_EQ(M().OwnCount(), 2u);
    EXPECT_TRUE(Ends(M()[1], {0, 0, 0}, {0, 0, 3}));
    EXPECT_EQ(M().HistoryCount(), 2);
}

TEST_F(Clipboard, NothingHappensOnTheParametersPage) {
    Build({{{0, 0, 0}, {0, 0, 3}}});
    Select({1});
    W->MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
    for (const char* item : {"NEditCopy", "NEditCut"}) Trigger(item);
    EXPECT_EQ(W->WireClipboard().Count(), 0u);
    EXPECT_EQ(M().OwnCount(), 1u);
    W->MainPages()->setCurrentIndex(0);
    Trigger("NEditCut");
    W->MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
    for (const char* item : {"NEditPaste", "NPasteSpecial"}) Trigger(item);
    EXPECT_EQ(M().OwnCount(), 0u);
    EXPECT_EQ(Dialogs.Count("exec"), 0);
    // And with an empty clipboard there is nothing to paste anywhere.
    W->MainPages()->setCurrentIndex(0);
    W->WireClipboard().Clear(false);
    for (const char* item : {"NEditPaste", "NPasteSpecial"}) Trigger(item);
    EXPECT_EQ(Dialogs.Count("exec"), 0);
}

TEST_F(Clipboard, PasteDialogTitlesAndGroundLimit) {
    Build({{{0, 0, 2}, {0, 0, 5}}, {{1, 0, 3}, {1, 0, 5}}});
    M().GroundType = 2;
    M().BaseHeight = 10;
    Select({1});
    Trigger("NEditCopy");
    QString caption, title;
    bool keepShown = true;
    double zMin = 0;
    Dialogs.Forms.push_back([&](QDialog& d) {
        caption = d.windowTitle();
        title = d.findChild<QLabel*>("laTitle")->text();
        keepShown = !d.findChild<QCheckBox*>("chKeepConnection")->isHidden();
        zMin = d.findChild<QDoubleSpinBox*>("fseZ")->minimum();
        return int(QDialog::Rejected);
    });
    Trigger("NPasteSpecial");
    EXPECT_EQ(caption, "Вставка провода");
    EXPECT_EQ(title, " Вставить выбранный провод #1: "); // its place in the clipboard
    EXPECT_FALSE(keepShown);
    EXPECT_DOUBLE_EQ(zMin, -12);

    Select({1, 2});
    Trigger("NEditCopy");
    Dialogs.Forms.push_back([&](QDialog& d) {
        caption = d.windowTitle();
        title = d.findChild<QLabel*>("laTitle")->text();
        return int(QDialog::Rejected);
    });
    Trigger("NPasteSpecial");
    EXPECT_EQ(caption, "Вставка группы проводов");
    EXPECT_EQ(title, " Вставить выбранные 2 проводов: ");
    EXPECT_EQ(M().HistoryCount(), 1);
}

TEST_F(Clipboard, PastingNeverTakesWiresUnderTheGround) {
    Build({{{0, 0, 1}, {0, 0, 5}}});
    M().GroundType = 2;
    Select({1});
    Trigger("NEditCopy");
    Dialogs.Forms.push_back(OffsetForm({1, 0, -0.9}));
    Trigger("NPasteSpecial");
    ASSERT_EQ(M().OwnCount(), 2u);
    EXPECT_TRUE(Ends(M()[1], {1, 0, 0.1}, {1, 0, 4.1}));
    // A plain paste would add the offset once more, to Z -0.8: refused, with a word why.
    Trigger("NEditPaste");
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().HistoryCount(), 2);
    EXPECT_TRUE(W->StatusText(0).contains("ниже уровня земли"));
    // The offset dialog counts the shift of the pastes so far: -0.1 is the lowest Z left.
    Dialogs.Forms.push_back([](QDialog& d) {
        auto* z = d.findChild<QDoubleSpinBox*>("fseZ");
        EXPECT_DOUBLE_EQ(z->minimum(), -0.1);
        z->setValue(-0.9);
        EXPECT_DOUBLE_EQ(z->value(), -0.1);
        return int(QDialog::Rejected);
    });
    Trigger("NPasteSpecial");
    EXPECT_EQ(M().OwnCount(), 2u);
}
