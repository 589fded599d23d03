// Undo and redo through the window's keys: every change of wires, sources, loads and
// combined-wire lines is a step, and a saved file holds what the model shows.
#include "table_window_fixture.h"

#include "files/maa_reader.h"
#include "ui/params_page.h"
#include "ui/paint_box.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace velomast;

namespace {

class UndoWindow : public velomast::testing::TableWindowTest {
protected:
    void SetUp() override {
        TableWindowTest::SetUp();
        Window();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
        M().FileName = Dir.filePath("m.maa").toStdString();
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(W->windowHandle(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    // Saves with Ctrl+S and reads the file back.
    std::unique_ptr<TWireList> SaveAndRead() {
        Key(Qt::Key_S, Qt::ControlModifier);
        auto back = std::make_unique<TWireList>();
        EXPECT_TRUE(ReadModel(*back, M().FileName).Ok());
        return back;
    }
    void ShowViewPage() {
        W->MainPages()->setCurrentIndex(1);
        QApplication::processEvents();
        W->PaintBox()->setFocus();
    }
};

TEST_F(UndoWindow, DeletingEveryWireIsUndone) {
    Wires({{0, -1, 0, 0, 1, 0}, {1, -1, 0, 1, 1, 0}});
    M().NewObjectFromText(KindSource, "w1c,0,1");
    M().StoreUndoStep(false);
    ShowViewPage();
    Key(Qt::Key_A, Qt::ControlModifier);
    Dialogs.YesNoAnswers = {true};
    Key(Qt::Key_Delete);
    ASSERT_EQ(M().OwnCount(), 0u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_EQ(M().Sources.size(), 1u);
    const auto back = SaveAndRead();
    EXPECT_EQ(back->OwnCount(), 2u);
    EXPECT_EQ(back->Sources.size(), 1u);
}

TEST_F(UndoWindow, SourceGridEditsSurviveUndoAndRedo) {
    Wires({{0, -1, 0, 0, 1, 0}, {1, -1, 0, 1, 1, 0}, {2, -1, 0, 2, 1, 0}});
    ShowViewPage();
    Type(TfmVelomast::RowDiameter, "3");
    W->MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
    TStringGrid* sources = W->ParamsPage()->SourcesGrid();
    TypeInto(sources, 1, 1, "w3c", Qt::Key_unknown);
    ASSERT_EQ(M().Sources.size(), 1u);
    sources->HideEditor();
    sources->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(M().Sources.empty());
    Key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(M().Sources.size(), 1u);
    const auto back = SaveAndRead();
    ASSERT_EQ(back->Sources.size(), 1u);
    EXPECT_EQ(back->Sources[0]->WireRef(), "w3c");
    EXPECT_EQ(back->Items()[0]->Radius, 0.0015); // the current wire's diameter

    // Del on a source row removes it, as a step of its own.
    sources->SetCurrent(1, 1);
    sources->setFocus();
    Key(Qt::Key_Delete);
    EXPECT_TRUE(M().Sources.empty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().Sources.size(), 1u);
}

TEST_F(UndoWindow, CombinedWiresKeepTheirDefinitionsThroughUndo) {
    Wires({{0, 0, 0, 10, 0, 0}});
    M()[0]->Radius = -0.001;
    M().TaperLines = {"-0.001, 0, 2.0, 0.002, 99999, 0.001"};
    M().ClearHistory();
    M().StoreUndoStep(false);
    W->ParamsPage()->FillParamsPage();
    ShowViewPage();
    Dialogs.YesNoAnswers = {true, true};
    Trigger("NUncomboAll");
    ASSERT_EQ(M().OwnCount(), 3u);
    ASSERT_TRUE(M().TaperLines.empty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M()[0]->Radius, -0.001);
    ASSERT_EQ(M().TaperLines.size(), 1u);
    EXPECT_EQ(W->findChild<QPlainTextEdit*>("meTaperWireSet")->toPlainText(), "-0.001, 0, 2.0, 0.002, 99999, 0.001");
    const auto back = SaveAndRead();
    EXPECT_EQ(back->TaperLines, M().TaperLines);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(M().TaperLines.empty());
    EXPECT_TRUE(W->findChild<QPlainTextEdit*>("meTaperWireSet")->toPlainText().isEmpty());
}

TEST_F(UndoWindow, AnEditOfTheCombinedWireLinesIsAStepWhenTheMemoIsLeft) {
    Wires({{0, 0, 0, 10, 0, 0}});
    W->MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
    auto* memo = W->findChild<QPlainTextEdit*>("meTaperWireSet");
    W->findChild<QTabWidget*>("pcBottom")->setCurrentWidget(memo);
    memo->setFocus();
    QTest::keyClicks(memo, "-0.001, 0, 2.0, 0.002, 99999, 0.001");
    const int steps = M().HistoryCount();
    W->ParamsPage()->SourcesGrid()->setFocus();
    EXPECT_EQ(M().HistoryCount(), steps + 1);
    // An undo of the step before it keeps nothing of the typed lines; redo brings them.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(M().TaperLines.empty());
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(M().TaperLines.size(), 1u);
}

} // namespace
