// The check and the analysis in the window, the way the user meets them: the check's list
// selects and centres wires, F9 runs nec2c in the background until the result page shows,
// Cancel and a change of the model stop the run, and Ctrl+F6 picks the analyser, starts it
// once, or offers xnec2c where a Windows program cannot run.
#include "window_fixture.h"

#include "analysis/geometry_check.h"
#include "analysis/nec_run.h"
#include "settings/settings_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

class AnalysisWindow : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(Tools.isValid());
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
        // A half-wave dipole for 14 MHz, fed at its centre.
        Build({{{0, -5.3, 10}, {0, 5.3, 10}}});
        M().SetFrequency(14.0);
        ASSERT_NE(M().NewObjectFromText(0, "w1c, 0.0, 1.0"), nullptr);
        M().StoreUndoStep(false);
        M().Modified = false;
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(W->windowHandle(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    // A program in the tools folder: logs its arguments into `name`.log, then waits.
    QString FakeTool(const QString& name, int seconds = 5) {
        const QString path = Tools.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1.log'\nexec sleep %2\n").arg(path).arg(seconds).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return path;
    }
    QStringList ToolLog(const QString& name) {
        QFile f(Tools.filePath(name) + ".log");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    int SidePage() { return W->findChild<QTabWidget*>("pcRight")->currentIndex(); }
    QTemporaryDir Tools;
};

// ---- the check ------------------------------------------------------------------------

TEST_F(AnalysisWindow, CheckFillsItsPageAndTheListSelectsAndCentresWires) {
    if (CheckRuleIds().empty()) GTEST_SKIP() << "the geometry check has no rules in this build";
    // Wire 2 is a copy of wire 1 away from the dipole; wire 3 has no length.
    // (The list refuses both through its usual door; a file may still hold them.)
    Build({{{0, -5.3, 10}, {0, 5.3, 10}}, {{20, 0, 10}, {20, 4, 10}}});
    M().NewWireAssigned({20, 0, 10}, {20, 4, 10});
    M().NewWireAssigned({-20, 1, 3}, {-20, 1, 3});
    M().StoreUndoStep(false);
    W->UpdateForm();
    Trigger("NCheckModel");
    QListWidget* list = W->CheckList();
    ASSERT_GE(list->count(), 2);
    EXPECT_EQ(SidePage(), TfmVelomast::CheckPage);
    EXPECT_TRUE(W->findChild<QLabel*>("laCheck")->text().startsWith(QStringLiteral("Ошибок:")));

    // The duplicate names wires 2 and 3; a click on it selects exactly them.
    int row = -1;
    for (int i = 0; i < list->count() && row < 0; ++i)
        if (list->item(i)->text().contains("[2, 3]")) row = i;
    ASSERT_GE(row, 0) << "no finding on wires 2 and 3";
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(M().Selection.Count(), 2u);
    EXPECT_TRUE(M().IsSelected(M()[1]));
    EXPECT_TRUE(M().IsSelected(M()[2]));

    // A double click centres the view on them.
    const Vec3 before = M().ViewCenter;
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_FALSE(VecEqual(M().ViewCenter, before));
    EXPECT_NEAR(M().ViewCenter.X, 20, 0.5);

    // A finding whose wires are gone since the check leaves the selection alone.
    Build({{{0, -5.3, 10}, {0, 5.3, 10}}});
    Select({1});
    W->lbCheckClick(row);
    EXPECT_TRUE(M().IsSelected(M()[0]));
}

TEST_F(AnalysisWindow, CleanDipoleHasNoFindings) {
    Trigger("NCheckModel");
    EXPECT_EQ(W->CheckList()->count(), 0);
    EXPECT_EQ(W->findChild<QLabel*>("laCheck")->text(), QStringLiteral("Замечаний нет"));
}

// ---- the run of nec2c -----------------------------------------------------------------

TEST_F(AnalysisWindow, F9RunsNec2cUntilTheResultShows) {
    if (FindOnPath("nec2c").empty()) GTEST_SKIP() << "nec2c is not installed (sudo apt install nec2c)";
    Key(Qt::Key_F9);
    EXPECT_TRUE(W->AnalysisRunning() || W->LastAnalysisMs() >= 0);
    QTRY_VERIFY_WITH_TIMEOUT(!W->AnalysisRunning(), 30000);
    const QString html = W->AnalysisView()->toPlainText();
    EXPECT_EQ(SidePage(), TfmVelomast::AnalysisPage);
    EXPECT_TRUE(html.contains(QStringLiteral("Сегментов"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("dBi"))) << html.toStdString();
    EXPECT_TRUE(W->StatusText(0).contains(QStringLiteral("Расчёт выполнен"))) << W->StatusText(0).toStdString();
    EXPECT_GE(W->LastAnalysisMs(), 0);
}

TEST_F(AnalysisWindow, CancelAndAModelChangeStopTheRun) {
    FakeTool("nec2c", 20);
    W->SetToolSearchPath({Tools.path()});
    Key(Qt::Key_F9);
    ASSERT_TRUE(W->AnalysisRunning());
    auto* cancel = W->findChild<QPushButton*>("btAnalysisCancel");
    ASSERT_TRUE(cancel->isVisible());
    // The status bar counts the seconds of the run; a small model gets no warning of a long one.
    EXPECT_TRUE(W->StatusText(0).startsWith(QStringLiteral(" Расчёт nec2c: сегментов "))) << W->StatusText(0).toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(W->StatusText(0).contains(QStringLiteral("прошло 1 с")), 3000);
    EXPECT_FALSE(W->AnalysisView()->toPlainText().contains(QStringLiteral("куб")));
    // F9 again during the run starts no second one.
    Key(Qt::Key_F9);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(W->AnalysisRunning());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_EQ(W->StatusText(0), QStringLiteral(" Расчёт отменён"));

    // A selection is no change; an edit is.
    Key(Qt::Key_F9);
    ASSERT_TRUE(W->AnalysisRunning());
    Select({1});
    W->UpdateForm();
    EXPECT_TRUE(W->AnalysisRunning());
    Dialogs.YesNoAnswers.push_back(true);
    Trigger("NpDelete");
    EXPECT_FALSE(W->AnalysisRunning());
    EXPECT_TRUE(W->StatusText(0).contains(QStringLiteral("модель изменилась")));
    QTRY_COMPARE_WITH_TIMEOUT(ToolLog("nec2c").size(), 2, 3000);
}

TEST_F(AnalysisWindow, AModelOfThousandsOfSegmentsIsToldItWillTakeLong) {
    FakeTool("nec2c", 20);
    W->SetToolSearchPath({Tools.path()});
    // 600 m at 14 MHz: over two thousand segments of lambda/80.
    Build({{{0, -300, 10}, {0, 300, 10}}});
    ASSERT_NE(M().NewObjectFromText(0, "w1c, 0.0, 1.0"), nullptr);
    Key(Qt::Key_F9);
    ASSERT_TRUE(W->AnalysisRunning());
    const QString page = W->AnalysisView()->toPlainText();
    EXPECT_TRUE(page.contains(QStringLiteral("куб числа сегментов"))) << page.toStdString();
    QTest::mouseClick(W->findChild<QPushButton*>("btAnalysisCancel"), Qt::LeftButton);
    EXPECT_FALSE(W->AnalysisRunning());
}

TEST_F(AnalysisWindow, FailingEngineShowsItsOwnWordsAndMissingEngineSaysHowToInstall) {
    const QString path = Tools.filePath("nec2c");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho 'GEOMETRY DATA ERROR -- SEGMENT 3 CONNECTED TO ITSELF' >&2\nexit 1\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    W->SetToolSearchPath({Tools.path()});
    Key(Qt::Key_F9);
    QTRY_VERIFY_WITH_TIMEOUT(!W->AnalysisRunning(), 5000);
    EXPECT_TRUE(W->AnalysisView()->toPlainText().contains("CONNECTED TO ITSELF"));
    EXPECT_EQ(W->StatusText(0), QStringLiteral(" Расчёт не выполнен"));

    QTemporaryDir empty;
    W->SetToolSearchPath({empty.path()});
    Key(Qt::Key_F9);
    EXPECT_FALSE(W->AnalysisRunning());
    ASSERT_NE(Dialogs.Last("message"), nullptr);
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains("apt install nec2c"));
}

TEST_F(AnalysisWindow, ExportWritesTheDeckButNeverOverTheModel) {
    const QString model = Dir.filePath("dipole.maa");
    ASSERT_TRUE(W->SaveModelAs(model));
    M().FileName = model.toStdString();
    Dialogs.SaveNames.push_back(model);
    Trigger("NExportNec");
    ASSERT_NE(Dialogs.Last("message"), nullptr);
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains(QStringLiteral("поверх файла модели")));
    EXPECT_TRUE(Dialogs.Last("save")->Text.endsWith("dipole.nec"));
    Dialogs.SaveNames.push_back(Dir.filePath("out.nec"));
    Trigger("NExportNec");
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath("out.nec")));
}

// ---- Ctrl+F6 --------------------------------------------------------------------------

TEST_F(AnalysisWindow, CtrlF6AsksForTheProgramThenStartsItOnce) {
    // The configured path does not exist: the file dialog; cancelled, nothing happens.
    Key(Qt::Key_F6, Qt::ControlModifier);
    ASSERT_EQ(Dialogs.Count("open"), 1);
    EXPECT_FALSE(W->IniFile().HasKey("ExTools", "NEC4MMANA"));

    const QString analyser = FakeTool("analyser");
    Dialogs.OpenNames.push_back(analyser);
    Key(Qt::Key_F6, Qt::ControlModifier);
    EXPECT_EQ(W->IniFile().ReadString("ExTools", "NEC4MMANA", {}), analyser);
    QTRY_COMPARE_WITH_TIMEOUT(ToolLog("analyser").size(), 1, 3000);
    EXPECT_TRUE(W->AnalyserRunning());
    // Still running: neither a dialog nor a second copy.
    Key(Qt::Key_F6, Qt::ControlModifier);
    QTest::qWait(300);
    EXPECT_EQ(ToolLog("analyser").size(), 1);
    EXPECT_EQ(Dialogs.Count("open"), 2);
}

TEST_F(AnalysisWindow, WindowsProgramWithoutWineOffersXnec2cWhichFollowsSaves) {
    // An .exe with no wine and no xnec2c: the message says what is needed.
    const QString exe = Tools.filePath("MAA_NEC_18.exe");
    QFile(exe).open(QIODevice::WriteOnly);
    W->SetToolSearchPath({Tools.path()});
    Dialogs.OpenNames.push_back(exe);
    Key(Qt::Key_F6, Qt::ControlModifier);
    ASSERT_NE(Dialogs.Last("message"), nullptr);
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains("wine"));
    EXPECT_TRUE(Dialogs.Last("message")->Text.contains("apt install xnec2c"));

    // With xnec2c: asked, and it gets the deck beside the model.
    FakeTool("xnec2c");
    const QString model = Dir.filePath("dipole.maa");
    ASSERT_TRUE(W->SaveModelAs(model));
    M().FileName = model.toStdString();
    Dialogs.YesNoAnswers.push_back(true);
    Key(Qt::Key_F6, Qt::ControlModifier);
    ASSERT_NE(Dialogs.Last("yesno"), nullptr);
    EXPECT_TRUE(Dialogs.Last("yesno")->Text.contains("xnec2c"));
    const QString deck = Dir.filePath("dipole.nec");
    EXPECT_EQ(W->XnecDeck(), deck);
    QTRY_COMPARE_WITH_TIMEOUT(ToolLog("xnec2c").size(), 1, 3000);
    EXPECT_EQ(ToolLog("xnec2c").front(), "-i " + deck);
    ASSERT_TRUE(QFileInfo::exists(deck));

    // While it runs, every save rewrites the deck.
    ASSERT_TRUE(QFile::remove(deck));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFileInfo::exists(deck));

}

} // namespace
