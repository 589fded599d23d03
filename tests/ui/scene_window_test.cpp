#include "window_fixture.h"

#include "files/maa_reader.h"
#include "scene/scene.h"
#include "ui/mouse_controller.h"
#include "ui/paint_box.h"
#include "view/view_camera.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

// A model file of n vertical wires 1 m apart along X, starting at x.
QByteArray Row(int n, double x, double z = 0) {
    QByteArray t = "row\r\n*\r\n14.0\r\n***Wires***\r\n" + QByteArray::number(n) + "\r\n";
    for (int i = 0; i < n; ++i) {
        const QByteArray a = QByteArray::number(x + i);
        t += a + ",0," + QByteArray::number(z) + "," + a + ",0," + QByteArray::number(z + 1) + ",0.001,-1\r\n";
    }
    return t + "***Source***\r\n0,\t0\r\n***Load***\r\n0,\t0\r\n***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n"
               "***G/H/M/R/AzEl/X***\r\n0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n";
}

class SceneWindow : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        Open({"--scene"});
        // The edited antenna: three own wires.
        Build({{{0, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 0, 2}}, {{0, 0, 2}, {0, 0, 3}}});
        W->UpdateForm();
    }
    void Open(const QStringList& args) {
        TMainWindowOptions o;
        o.SettingsPath = Dir.filePath("velomast.ini");
        o.Dialogs = &Dialogs;
        o.Arguments = args;
        W.reset();
        W = std::make_unique<TfmVelomast>(o);
        W->resize(1000, 700);
    }
    void Show() {
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
    }
    QString File(const QString& name, const QByteArray& text) {
        const QString path = Dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    QString ReadText(const QString& name) {
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    }
    void Choose(const char* item, const QString& file) {
        Dialogs.OpenNames.push_back(file);
        Trigger(item);
    }
    TScene& Scene() { return W->Scene(); }
    QListWidget* List() { return W->findChild<QListWidget*>("chlScene"); }
    QLineEdit* Edit(const char* name) { return W->findChild<QLineEdit*>(name); }
    // Types into a box as the user does: focus, everything selected, the new text.
    void Type(QWidget* box, const QString& text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    double LowestX(int32_t tag) {
        double x = 1e300;
        for (TWire* w : M())
            if (w->OwnerTag() == tag) x = std::min({x, w->P1().X, w->P2().X});
        return x;
    }
    bool BaseOffered() {
        auto* field = W->findChild<QMenu*>("pmField");
        emit field->aboutToShow();
        return W->Action("NpBase")->isEnabled();
    }
};

} // namespace

TEST_F(SceneWindow, TheSceneFunctionsAreHiddenUnlessSwitchedOn) {
    Open({});
    auto* side = W->findChild<QTabWidget*>("pcRight");
    EXPECT_FALSE(W->Action("NScene")->isVisible());
    EXPECT_FALSE(side->isTabVisible(2));
    for (const char* name : {"NOpenLandscape", "NAdd", "NLoadScene", "NSaveSceneMaa"})
        EXPECT_FALSE(W->Action(name)->isEnabled()) << name;
    W->MainPages()->setCurrentIndex(1);
    EXPECT_FALSE(BaseOffered());

    const QString model = File("m.maa", Row(2, 0));
    Open({"--scene", model}); // the flag does not stop the file from opening
    side = W->findChild<QTabWidget*>("pcRight");
    EXPECT_EQ(M().OwnCount(), 2u);
    EXPECT_TRUE(W->Action("NScene")->isVisible());
    EXPECT_TRUE(side->isTabVisible(2));
    EXPECT_TRUE(W->Action("NSaveSceneMaa")->isEnabled());
    W->MainPages()->setCurrentIndex(2);
    EXPECT_TRUE(BaseOffered());
    W->MainPages()->setCurrentIndex(0);
    EXPECT_FALSE(BaseOffered()); // flat views only
}

TEST_F(SceneWindow, ASecondLandscapeReplacesTheFirstAndDeletingItLeavesAnEmptyFirstLine) {
    Show();
    File("one.lnd", Row(4, 10));
    const QString two = File("two.lnd", Row(2, 20));
    Choose("NOpenLandscape", Dir.filePath("one.lnd"));
    EXPECT_EQ(M().CountByTag(-1), 4u);
    // A click on the landscape box chooses the landscape too.
    Dialogs.OpenNames.push_back(two);
    QTest::mouseClick(Edit("edLandscape"), Qt::LeftButton);
    EXPECT_EQ(M().CountByTag(-1), 2u);
    EXPECT_EQ(Edit("edLandscape")->text(), "two.lnd");
    EXPECT_EQ(Edit("edLandscape")->toolTip(), two);

    Trigger("NDeleteLandscape");
    EXPECT_EQ(M().CountByTag(-1), 0u);
    EXPECT_EQ(Edit("edLandscape")->text(), "");
    Dialogs.SaveNames.push_back(Dir.filePath("s.scn"));
    Trigger("NSaveScene"); // no name yet: asks for one
    EXPECT_TRUE(ReadText(Dir.filePath("s.scn")).startsWith("\r\n"));
}

TEST_F(SceneWindow, AntennasAreAddedMovedByTypingTurnedAndRemovedWithDel) {
    Show();
    QDir(Dir.path()).mkdir("b");
    const QString a = File("a.maa", Row(2, 0));
    const QString c = File("c.maa", Row(3, 0));
    File("b/a.maa", Row(5, 0));
    Choose("NAdd", a);
    Choose("NAdd", Dir.filePath("b/a.maa")); // the same file name: ignored
    Choose("NAdd", c);
    ASSERT_EQ(List()->count(), 2);
    EXPECT_EQ(List()->item(1)->text(), "c.maa");
    EXPECT_EQ(List()->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(List()->currentRow(), 1);
    EXPECT_EQ(W->findChild<QTabWidget*>("pcRight")->currentIndex(), 2);
    // c lies on a: its wires repeat a's and are left out, which the status bar says.
    EXPECT_EQ(M().CountByTag(2), 1u);
    EXPECT_TRUE(W->StatusText(0).contains("c.maa"));

    List()->setCurrentRow(0);
    EXPECT_EQ(Edit("edAntX")->text(), "0");
    Type(Edit("edAntX"), "12,5");
    EXPECT_EQ(Scene().Antennas[0].Offset.X, 12.5);
    EXPECT_EQ(LowestX(1), 12.5);
    Type(Edit("edAntY"), "x"); // not a number: that component stays
    Type(Edit("edAntZ"), "1.5");
    EXPECT_TRUE(VecEqual(Scene().Antennas[0].Offset, {12.5, 0, 1.5}));
    auto* turn = W->findChild<QSlider*>("tbAzi");
    turn->setFocus();
    QTest::keyClick(turn, Qt::Key_PageUp);
    EXPECT_EQ(Scene().Antennas[0].Turn, 10);
    EXPECT_EQ(M().OwnCount(), 3u);

    // Del in the list removes the antenna, not the current wire.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    ASSERT_EQ(Scene().Antennas.size(), 1u);
    EXPECT_EQ(Scene().Antennas[0].Name, "c.maa");
    EXPECT_EQ(M().OwnCount(), 3u);
    EXPECT_EQ(M().CountByTag(1), 1u);
    EXPECT_EQ(M().CountByTag(2), 0u);
    EXPECT_EQ(List()->count(), 1);
}

TEST_F(SceneWindow, FractionalPlacesSurviveSaveClearAndLoadUnderADecimalComma) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Open({"--scene"});
    QLocale::setDefault(QLocale::c());
    Show();
    File("a.maa", Row(2, 0));
    const QString scene = File("in.scn", "\r\n\r\na.maa,0.25,-12.5,0.1,-30.5\r\n");
    Choose("NLoadScene", scene);
    ASSERT_EQ(Scene().Antennas.size(), 1u);
    EXPECT_EQ(Edit("edAntX")->text(), "0,25");
    EXPECT_EQ(Edit("edAntY")->text(), "-12,5");
    EXPECT_EQ(W->findChild<QSlider*>("tbAzi")->value(), -30);
    Type(Edit("edAntZ"), "2,75");
    EXPECT_TRUE(VecEqual(Scene().Antennas[0].Offset, {0.25, -12.5, 2.75}));
    EXPECT_EQ(Scene().Antennas[0].Turn, -30.5); // the track bar's whole degrees did not replace it

    Dialogs.SaveNames.push_back(Dir.filePath("out.scn"));
    Trigger("NSaveSceneAs");
    EXPECT_TRUE(ReadText(Dir.filePath("out.scn")).endsWith("a.maa,0.25,-12.5,2.75,-30.5\r\n"));
    const size_t wires = M().Count();
    Trigger("NSceneEmpty");
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Edit("edAntY")->text(), "0");
    EXPECT_EQ(M().Count(), M().OwnCount());
    Choose("NLoadScene", Dir.filePath("out.scn"));
    ASSERT_EQ(Scene().Antennas.size(), 1u);
    EXPECT_TRUE(VecEqual(Scene().Antennas[0].Offset, {0.25, -12.5, 2.75}));
    EXPECT_EQ(M().Count(), wires);
}

TEST_F(SceneWindow, ABadAntennaLineIsNamedInTheStatusBar) {
    File("a.maa", Row(2, 0));
    Choose("NLoadScene", File("bad.scn", "\r\n\r\na.maa,1,2,3,4\r\na.maa,one,2,3\r\n"));
    ASSERT_EQ(Scene().Antennas.size(), 2u);
    EXPECT_TRUE(VecEqual(Scene().Antennas[1].Offset, {0, 2, 3}));
    EXPECT_TRUE(W->StatusText(0).contains("строка 4"));
    // A path the file cannot hold is refused, and nothing is written.
    QDir(Dir.path()).mkdir("x,y");
    Choose("NAdd", File("x,y/z.maa", Row(1, 40)));
    Dialogs.SaveNames.push_back(Dir.filePath("c.scn"));
    Trigger("NSaveSceneAs");
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains("запят"));
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath("c.scn")));
    EXPECT_EQ(Scene().SceneFileName, Dir.filePath("bad.scn").toStdString());
}

TEST_F(SceneWindow, TheBasePointMovesTheLandscapeUnderTheOriginInTheSideView) {
    Show();
    Choose("NOpenLandscape", File("hill.lnd", Row(2, 10, 5)));
    Choose("NAdd", File("a.maa", Row(1, -5)));
    W->MainPages()->setCurrentIndex(2); // X-Z
    QApplication::processEvents();
    M().ViewCenter = {0, 3, 0};
    M().UpdateVisibleRange();
    W->PaintView();
    const ScreenPoint s = ProjectPoint(M(), {10, 3, 4});
    const QPoint at(s.X, s.Y);
    QTest::mousePress(W->PaintBox(), Qt::RightButton, {}, at);
    QTest::mouseRelease(W->PaintBox(), Qt::RightButton, {}, at);
    auto* field = W->findChild<QMenu*>("pmField");
    ASSERT_TRUE(field->isVisible());
    field->hide();
    Trigger("NpBase");
    // P = (10, 3, 0): the view centre gives Y, Z is the ground.
    for (TWire* w : M())
        if (w->OwnerTag() == -1) {
            EXPECT_EQ(w->P1().Y, -3);
            EXPECT_EQ(w->P1().Z, 5);
        }
    EXPECT_EQ(LowestX(-1), 0);
    EXPECT_EQ(LowestX(1), -5); // antennas stay
}

TEST_F(SceneWindow, OpeningAnotherModelRemovesTheForeignWiresAndUndoLeavesThem) {
    Show();
    Choose("NAdd", File("a.maa", Row(2, 10)));
    Choose("NOpenLandscape", File("hill.lnd", Row(3, 20)));
    // An edit, then Ctrl+Z in the view: the scene's wires stay where they are.
    M()[0]->SetEnds({5, 5, 5}, {5, 5, 6}, false, false, true);
    M().StoreUndoStep(false);
    W->PaintBox()->setFocus();
    QTest::keyClick(W->PaintBox(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(VecEqual(M()[0]->P1(), {0, 0, 0}));
    EXPECT_EQ(M().CountByTag(1), 2u);
    EXPECT_EQ(M().CountByTag(-1), 3u);
    EXPECT_EQ(LowestX(1), 10);

    Dialogs.SaveAnswers.push_back(IUserDialogs::Answer::No);
    Choose("NFileOpen", File("other.maa", Row(1, 0)));
    EXPECT_EQ(M().Count(), 1u);
    EXPECT_EQ(List()->count(), 1);
    EXPECT_EQ(Edit("edLandscape")->text(), "hill.lnd");
    Dialogs.SaveAnswers.push_back(IUserDialogs::Answer::No);
    Trigger("NNewAntenna");
    EXPECT_EQ(M().Count(), 0u);
    EXPECT_EQ(Scene().Antennas.size(), 1u);
}

TEST_F(SceneWindow, TheExportHoldsEveryWireAndLeavesTheModelAlone) {
    const QString main = File("main.maa", Row(3, 0));
    ASSERT_TRUE(W->OpenModel(main));
    Choose("NOpenLandscape", File("hill.lnd", Row(10, 30)));
    Choose("NAdd", File("a.maa", Row(4, 10)));
    Choose("NAdd", File("b.maa", Row(4, 20)));
    M().Modified = true;
    Dialogs.SaveNames.push_back(Dir.filePath("export.maa"));
    Trigger("NSaveSceneMaa");
    EXPECT_EQ(Dialogs.Last("save")->Text, Dir.filePath("sc_main.maa"));
    EXPECT_EQ(M().FileName, main.toStdString());
    EXPECT_TRUE(M().Modified);
    TWireList back;
    ASSERT_TRUE(ReadModel(back, Dir.filePath("export.maa").toStdString()).Ok());
    EXPECT_EQ(back.OwnCount(), 21u);
}
