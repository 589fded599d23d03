// The settings dialog and its file, the text editor commands and the linked model files,
// driven through the window's keys and the dialogs' own buttons.
#include "scripted_dialogs.h"
#include "window_fixture.h"

#include "files/maa_reader.h"
#include "settings/settings_file.h"
#include "ui/tfm_linked.h"
#include "ui/tfm_sets.h"
#include "ui/tfm_velomast.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

const char* const Band = "Band\r\n*\r\n7.1\r\n*** Wires ***\r\n1\r\n0,\t0,\t0,\t0,\t0,\t1,\t0.001,\t-1\r\n"
                         "*** Source ***\r\n1,\t1\r\nw1c,\t0.0,\t1.0\r\n*** Load ***\r\n0,\t1\r\n"
                         "*** Segmentation ***\r\n800,\t80,\t2.0,\t2\r\n*** G/H/M/R/AzEl/X ***\r\n"
                         "0,\t10.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n";

class SettingsWindow : public velomast::testing::WindowTest {
protected:
    void Show() {
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(W->windowHandle(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    QString Ini(const QString& key) { return QSettings(Dir.filePath("velomast.ini"), QSettings::IniFormat).value(key).toString(); }
    bool SidePanelRight() { return W->findChild<QSplitter*>("ViewHost")->indexOf(W->findChild<QWidget*>("pcRight")) == 1; }
    QString ReadText(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    // The model file with wires, and a band file beside it.
    void SavedModelWithBand() {
        WriteFile("band.maa", Band);
        Build({{{0, 0, 0}, {0, 0, 5}}, {{0, 0, 5}, {1, 0, 5}}});
        ASSERT_TRUE(W->SaveModelAs(Dir.filePath("main.maa")));
    }
};

TEST_F(SettingsWindow, WithoutAFileTheDialogShowsTwoTicksThatCancelThenSwitchOn) {
    Show();
    EXPECT_FALSE(M().WriteLog);
    EXPECT_FALSE(W->BackupOnOpen());
    EXPECT_EQ(W->Nec2Path(), "C:\\Program Files\\_MAA_NEC\\MAA_NEC_18.exe");
    bool shown = false;
    Dialogs.Forms.push_back([&](QDialog& d) {
        auto& s = dynamic_cast<TfmSets&>(d);
        shown = true;
        EXPECT_TRUE(s.chOpenLastFile->isChecked());
        EXPECT_TRUE(s.chWriteLogFile->isChecked());
        EXPECT_FALSE(s.chBackupFiles->isChecked());
        EXPECT_FALSE(s.chScene->isChecked());
        EXPECT_TRUE(s.chPanelOnRight->isChecked());
        EXPECT_TRUE(s.chTabOnTop->isChecked());
        EXPECT_FALSE(s.btApply->isEnabled());
        EXPECT_FALSE(s.PageControl1->isTabVisible(1));
        EXPECT_EQ(s.edNEC2FileName->text(), W->Nec2Path());
        // A path typed in is only shown, never taken over.
        s.edNEC2FileName->setText("/usr/bin/elsewhere");
        s.show();
        EXPECT_EQ(s.PageControl1->currentIndex(), 0);
        QTest::keyClick(&s, Qt::Key_Escape);
        return s.result();
    });
    Key(Qt::Key_F2);
    ASSERT_TRUE(shown);
    EXPECT_EQ(Ini("Main/OpenLastFile"), "1");
    EXPECT_EQ(Ini("Main/WriteLogFile"), "1");
    EXPECT_EQ(Ini("Main/BackupFiles"), "0");
    EXPECT_EQ(Ini("Main/UseScene"), "0");
    EXPECT_EQ(Ini("View/TabOnTop"), "1");
    EXPECT_EQ(Ini("View/PanelOnRight"), "1");
    EXPECT_FALSE(QSettings(Dir.filePath("velomast.ini"), QSettings::IniFormat).contains("ExTools/NEC4MMANA"));
    EXPECT_TRUE(M().WriteLog);
    EXPECT_EQ(W->Nec2Path(), "C:\\Program Files\\_MAA_NEC\\MAA_NEC_18.exe");
}

TEST_F(SettingsWindow, TicksMoveThePanelAndTabsAtOnceAndSurviveARestart) {
    Show();
    Dialogs.Forms.push_back([](QDialog& d) {
        auto& s = dynamic_cast<TfmSets&>(d);
        s.show();
        for (QCheckBox* c : {s.chPanelOnRight, s.chTabOnTop, s.chScene, s.chBackupFiles, s.chWriteLogFile, s.chOpenLastFile})
            QTest::mouseClick(c, Qt::LeftButton);
        QTest::mouseClick(s.btOK, Qt::LeftButton);
        return s.result();
    });
    Key(Qt::Key_F2);
    EXPECT_FALSE(SidePanelRight());
    EXPECT_EQ(W->MainPages()->tabPosition(), QTabWidget::South);
    EXPECT_TRUE(W->SceneFunctionsOn());
    EXPECT_TRUE(W->BackupOnOpen());
    EXPECT_FALSE(M().WriteLog);
    EXPECT_EQ(Ini("Main/UseScene"), "1");
    EXPECT_EQ(Ini("Main/OpenLastFile"), "0");

    // A new run: the panel and tabs as stored, the scene functions off again (never read).
    MakeWindow();
    Show();
    EXPECT_FALSE(SidePanelRight());
    EXPECT_EQ(W->MainPages()->tabPosition(), QTabWidget::South);
    EXPECT_FALSE(W->SceneFunctionsOn());
    EXPECT_TRUE(W->BackupOnOpen());
    bool seen = false;
    Dialogs.Forms.push_back([&](QDialog& d) {
        auto& s = dynamic_cast<TfmSets&>(d);
        seen = true;
        EXPECT_FALSE(s.chPanelOnRight->isChecked());
        EXPECT_FALSE(s.chTabOnTop->isChecked());
        EXPECT_FALSE(s.chOpenLastFile->isChecked());
        EXPECT_FALSE(s.chWriteLogFile->isChecked());
        EXPECT_TRUE(s.chBackupFiles->isChecked());
        s.chPanelOnRight->setChecked(true);
        s.chTabOnTop->setChecked(true);
        return int(QDialog::Rejected);
    });
    Key(Qt::Key_F2);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(SidePanelRight());
    EXPECT_EQ(W->MainPages()->tabPosition(), QTabWidget::North);
}

TEST_F(SettingsWindow, ViewKeysRoundTripThroughTheirCommands) {
    for (const char* name : {"NViewDirection", "NViewPenWidth", "NViewDimensions", "NViewLoads", "NViewGrid"}) Trigger(name);
    Trigger("NViewDimensionsSelected");
    Trigger("NViewGridTypePoints");
    for (int i = 0; i < 8; ++i) Trigger("NViewDimSizeInc");
    EXPECT_EQ(Ini("View/ViewDimFontSize"), "14");
    EXPECT_EQ(Ini("View/NViewDirection"), "0");
    EXPECT_EQ(Ini("View/GridMode"), "1");
    MakeWindow();
    EXPECT_FALSE(M().ShowDirection);
    EXPECT_TRUE(M().ThickLines && M().ShowDimensions && M().ShowLoadValues && M().ShowGrid && M().DimensionsSelectedOnly);
    EXPECT_EQ(M().GridMode, 1);
    EXPECT_EQ(M().DimFontSize, 14);
    EXPECT_TRUE(W->Action("NViewGridTypePoints")->isChecked());
    for (int i = 0; i < 9; ++i) Trigger("NViewDimSizeDec");
    EXPECT_EQ(M().DimFontSize, 8);
    EXPECT_EQ(Ini("View/ViewDimFontSize"), "8");
}

TEST_F(SettingsWindow, TextEditorCommandsNeedTheirFiles) {
    Show();
    EXPECT_FALSE(W->Action("NFileOpenNotepad")->isEnabled());
    Dialogs.Forms.push_back([](QDialog& d) {
        d.show();
        QTest::mouseClick(dynamic_cast<TfmSets&>(d).btIni, Qt::LeftButton);
        return int(QDialog::Accepted);
    });
    Key(Qt::Key_F2);
    ASSERT_EQ(Dialogs.Count("editor"), 1);
    EXPECT_EQ(Dialogs.Last("editor")->Text, Dir.filePath("velomast.ini"));
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath("velomast.ini")));

    SavedModelWithBand();
    ASSERT_TRUE(W->Action("NFileOpenNotepad")->isEnabled());
    Trigger("NFileOpenNotepad");
    EXPECT_EQ(Dialogs.Last("editor")->Text, Dir.filePath("main.maa"));

    // The readme is copied beside the program in the build tree (the tests run beside
    // theirs, so it is looked up only when present).
    QAction* readme = W->Action("NHelpReadme");
    ASSERT_TRUE(readme->isEnabled());
    readme->trigger();
    if (TfmVelomast::ReadmeFile().isEmpty()) {
        EXPECT_FALSE(readme->isEnabled());
    } else {
        EXPECT_EQ(Dialogs.Last("editor")->Text, TfmVelomast::ReadmeFile());
    }
}

TEST_F(SettingsWindow, LinkedFilesFollowSaveAndSaveAsButNotTheSceneExport) {
    EXPECT_FALSE(W->Action("NOpenLinkedFiles")->isEnabled());
    EXPECT_FALSE(W->Action("NLinkedFiles")->isEnabled());
    SavedModelWithBand();
    ASSERT_TRUE(QDir(Dir.path()).mkdir("other"));
    const QString other = WriteFile("other/band.maa", Band);
    // Through the dialog: Ins adds the model itself (left out), the band beside it (bare)
    // and a same-named band elsewhere (kept with its path); Del removes nothing unselected.
    Dialogs.OpenNameLists.push_back({Dir.filePath("main.maa"), Dir.filePath("band.maa"), other});
    Dialogs.OpenNameLists.push_back({Dir.filePath("band.maa")});
    Dialogs.Forms.push_back([&](QDialog& d) {
        auto& l = dynamic_cast<TfmLinked&>(d);
        l.show();
        l.lbFiles->setFocus();
        QTest::keyClick(l.lbFiles, Qt::Key_Insert);
        QTest::keyClick(l.lbFiles, Qt::Key_Insert);
        EXPECT_EQ(l.Files(), QStringList({"band.maa", QFileInfo(other).absoluteFilePath()}));
        l.lbFiles->setCurrentRow(1);
        QTest::keyClick(l.lbFiles, Qt::Key_Delete);
        EXPECT_EQ(l.Files(), QStringList({"band.maa"}));
        return int(QDialog::Rejected);
    });
    Trigger("NOpenLinkedFiles");
    ASSERT_EQ(M().LinkedList, std::vector<std::string>({"band.maa"}));
    EXPECT_EQ(Dialogs.Last("openmany")->Text, Dir.path());

    Trigger("NFileSave");
    EXPECT_TRUE(ReadText(Dir.filePath("band.maa")).contains("*** Wires ***\r\n2\r\n"));
    EXPECT_TRUE(ReadText(Dir.filePath("band.maa")).contains("w1c"));
    // Without the tick the list stays out of the model file.
    EXPECT_FALSE(ReadText(Dir.filePath("main.maa")).contains("LinkedFiles"));

    // Save as: a bare name is taken beside the new file.
    ASSERT_TRUE(QDir(Dir.path()).mkdir("copy"));
    WriteFile("copy/band.maa", Band);
    WriteFile("band.maa", Band);
    ASSERT_NE(M().NewWire({5, 0, 0}, {5, 0, 1}, -2), nullptr);
    Dialogs.SaveNames.push_back(Dir.filePath("copy/main.maa"));
    Trigger("NFileSaveAs");
    EXPECT_TRUE(ReadText(Dir.filePath("copy/band.maa")).contains("*** Wires ***\r\n3\r\n"));
    EXPECT_EQ(ReadText(Dir.filePath("band.maa")), QString::fromLatin1(Band));

    // The scene export leaves them alone.
    WriteFile("copy/band.maa", Band);
    W->UseScene(true);
    Dialogs.SaveNames.push_back(Dir.filePath("scene.maa"));
    Trigger("NSaveSceneMaa");
    EXPECT_EQ(ReadText(Dir.filePath("copy/band.maa")), QString::fromLatin1(Band));
}

TEST_F(SettingsWindow, TheStoreTickWritesTheListAndAnUnwritableFileIsNamedAfterTheSave) {
    SavedModelWithBand();
    M().LinkedList = {"band.maa", "missing.maa"};
    QAction* store = W->Action("NLinkedFiles");
    ASSERT_TRUE(store->isEnabled());
    EXPECT_FALSE(store->isChecked());
    Trigger("NLinkedFiles");
    EXPECT_TRUE(M().StoreLinkedList);
    EXPECT_TRUE(M().Modified);
    Trigger("NFileSave");
    EXPECT_TRUE(ReadText(Dir.filePath("main.maa")).contains("***LinkedFiles***\r\nband.maa\r\nmissing.maa"));

    // Read again, the list keeps being stored.
    ASSERT_TRUE(W->OpenModel(Dir.filePath("main.maa")));
    EXPECT_EQ(M().LinkedList.size(), 2u);
    EXPECT_TRUE(W->Action("NLinkedFiles")->isChecked());

    // A linked "file" that is a folder cannot take the wires: the model is saved, the
    // status bar names it, no message box stops the user.
    ASSERT_TRUE(QDir(Dir.path()).mkdir("folder.maa"));
    M().LinkedList = {"folder.maa"};
    M().Modified = true;
    const int messages = Dialogs.Count("message");
    Trigger("NFileSave");
    EXPECT_FALSE(M().Modified);
    EXPECT_EQ(Dialogs.Count("message"), messages);
    EXPECT_TRUE(W->StatusText(0).contains("folder.maa")) << W->StatusText(0).toStdString();
}

} // namespace
