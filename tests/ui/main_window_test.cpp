#include "scripted_dialogs.h"

#include "settings/settings_file.h"
#include "ui/paint_box.h"
#include "ui/tfm_velomast.h"
#include "view/view_camera.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace velomast;
using velomast::testing::TScriptedDialogs;

namespace {

const char* const DipoleText = "Test dipole\r\n*\r\n14.06\r\n***Wires***\r\n1\r\n"
                               "0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1\r\n"
                               "***Source***\r\n1,\t0\r\nw1c,\t0.0,\t1.0\r\n***Load***\r\n0,\t0\r\n"
                               "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n***G/H/M/R/AzEl/X***\r\n"
                               "0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n";

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    TfmVelomast& Window(const QStringList& args = {}) {
        TMainWindowOptions o;
        o.SettingsPath = Ini();
        o.Dialogs = &Dialogs;
        o.Arguments = args;
        W = std::make_unique<TfmVelomast>(o);
        W->resize(1000, 700);
        return *W;
    }
    QString Ini() const { return Dir.filePath("velomast.ini"); }
    QString WriteModelFile(const QString& name, const char* text = DipoleText) {
        const QString path = Dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    void Trigger(const char* name) {
        QAction* a = W->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    QComboBox* ScaleBox() { return W->findChild<QComboBox*>("cbScale"); }
    void TypeScale(const QString& text) {
        ScaleBox()->setEditText(text);
        W->cbScaleEnter();
    }

    QTemporaryDir Dir;
    TScriptedDialogs Dialogs;
    std::unique_ptr<TfmVelomast> W;
};

} // namespace

TEST_F(MainWindow, StartsWithDefaultsWithoutASettingsFile) {
    TfmVelomast& w = Window();
    w.show();
    TWireList& m = w.Model();
    EXPECT_FALSE(m.ShowGrid);
    EXPECT_TRUE(m.ShowDirection);
    EXPECT_EQ(m.DimFontSize, 10);
    EXPECT_EQ(m.GridMode, 2);
    EXPECT_DOUBLE_EQ(m.ViewScale, 10);
    EXPECT_EQ(ScaleBox()->currentText(), " 100%");
    EXPECT_EQ(w.windowTitle(), "Веломаст");
    EXPECT_EQ(w.MainPages()->tabPosition(), QTabWidget::North);
    auto* host = w.findChild<QSplitter*>("ViewHost");
    EXPECT_EQ(host->widget(1)->objectName(), "pcRight"); // the side panel on the right
    EXPECT_TRUE(w.Button("sbEditMode")->isChecked());
    EXPECT_FALSE(w.Action("NScene")->isVisible());
    EXPECT_FALSE(w.Action("NViewGrid")->isChecked());
    EXPECT_TRUE(w.Action("NViewDirection")->isChecked());
    EXPECT_TRUE(w.Action("NLangRu")->isChecked());
    EXPECT_EQ(w.StatusText(1), "Всего проводов: 0");
    EXPECT_EQ(w.StatusText(3), "Свободное простр.");
    EXPECT_TRUE(m.FileName.empty());
    // Every named component carries its name.
    for (const char* name : {"paTop", "pcMain", "pcRight", "PaintBox1", "StatusBar1", "ts3DView", "tsViewXY", "tsViewXZ",
                             "tsViewYZ", "tsGeneral", "tsWires", "tsElements", "tsScene", "cbScale"})
        EXPECT_NE(w.findChild<QObject*>(name), nullptr) << name;
}

TEST_F(MainWindow, CaptionsFollowOpenNewAndSaveAs) {
    const QString file = WriteModelFile("dipole.maa");
    TfmVelomast& w = Window({file});
    EXPECT_EQ(w.windowTitle(), "Веломаст v.0.9 beta [" + file + "]");
    EXPECT_EQ(w.Model().OwnCount(), 1u);

    const QString other = Dir.filePath("copy.maa");
    Dialogs.SaveNames.push_back(other);
    Trigger("NFileSaveAs");
    EXPECT_EQ(w.windowTitle(), "Веломаст [" + other + "]");
    EXPECT_TRUE(QFile::exists(other));

    Trigger("NNewAntenna");
    EXPECT_EQ(w.windowTitle(), "Веломаст [Новая антенна]");
    EXPECT_EQ(w.MainPages()->currentIndex(), TfmVelomast::PageGeneral);
    EXPECT_EQ(w.Model().OwnCount(), 0u);
    auto* name = w.findChild<QLineEdit*>("edName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Новая антенна"); // ready to be typed over
    EXPECT_EQ(name->selectedText(), "Новая антенна");
}

TEST_F(MainWindow, RecentFilesKeepSevenMostRecentFirst) {
    TfmVelomast& w = Window();
    QStringList files;
    for (int i = 0; i < 8; ++i) files << WriteModelFile(QStringLiteral("m%1.maa").arg(i));
    Dialogs.OpenNames = {files[0], files[0]};
    Trigger("NFileOpen");
    Trigger("NFileOpen");
    EXPECT_EQ(w.RecentFiles(), QStringList{files[0]});
    for (int i = 1; i < 8; ++i) {
        Dialogs.OpenNames.push_back(files[i]);
        Trigger("NFileOpen");
    }
    ASSERT_EQ(w.RecentFiles().size(), 7);
    EXPECT_EQ(w.RecentFiles().front(), files[7]);
    EXPECT_FALSE(w.RecentFiles().contains(files[0]));
    auto* mru = w.findChild<QMenu*>("NFileOpenMRU");
    EXPECT_EQ(mru->actions().size(), 7);

    W.reset(); // written back at exit
    TSettingsFile ini(Ini());
    const QStringList stored = ini.ReadRecentFiles();
    EXPECT_EQ(stored.size(), 7);
    EXPECT_EQ(stored.front(), files[7]);

    // A recent file that has gone is reported and stays listed.
    QFile::remove(files[7]);
    TfmVelomast& again = Window();
    again.RecentFileClick(files[7]);
    ASSERT_NE(Dialogs.Last("message"), nullptr);
    EXPECT_EQ(Dialogs.Last("message")->Text, "Файл " + files[7] + " не найден.");
    EXPECT_EQ(again.RecentFiles().size(), 7);
}

TEST_F(MainWindow, SaveNeedsWiresAndTheSaveQuestionHasThreeAnswers) {
    const QString file = WriteModelFile("d.maa");
    TfmVelomast& w = Window({file});
    TWireList& m = w.Model();

    // Without wires, even with a file name, nothing is written.
    const QString empty = Dir.filePath("empty.maa");
    m.Clear(false);
    m.FileName = empty.toStdString();
    Trigger("NFileSave");
    EXPECT_FALSE(QFile::exists(empty));

    ASSERT_TRUE(w.OpenModel(file));
    m[0]->SetEnds({0, -3, 10}, {0, 3, 10}, false, false, true);
    m.StoreUndoStep(false);
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Cancel};
    EXPECT_FALSE(w.close());
    Dialogs.SaveAnswers = {IUserDialogs::Answer::No};
    EXPECT_TRUE(w.QuerySave());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(DipoleText)); // untouched
    f.close();
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Yes};
    EXPECT_TRUE(w.QuerySave());
    EXPECT_FALSE(m.Modified);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("0.0,\t-3.0,\t10.0"));
}

TEST_F(MainWindow, SaveQuestionOnANewModelAsksForAName) {
    TfmVelomast& w = Window();
    Trigger("NNewAntenna");
    w.Model().NewWire({0, 0, 0}, {0, 0, 5}, -2);
    w.Model().StoreUndoStep(false);
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Yes};
    EXPECT_FALSE(w.QuerySave()); // the name dialog was cancelled: keep the model
    EXPECT_TRUE(w.Model().Modified);
    const QString name = Dir.filePath("new.maa");
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Yes};
    Dialogs.SaveNames = {name};
    EXPECT_TRUE(w.QuerySave());
    EXPECT_TRUE(QFile::exists(name));
}

TEST_F(MainWindow, AFailedSaveKeepsTheModelModified) {
    const QString file = WriteModelFile("d.maa");
    TfmVelomast& w = Window({file});
    w.Model().StoreUndoStep(false);
    w.Model().FileName = "/nonexistent-folder/x/d.maa";
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Yes};
    EXPECT_FALSE(w.QuerySave());
    EXPECT_TRUE(w.Model().Modified);
    EXPECT_EQ(Dialogs.Count("message"), 1);
}

TEST_F(MainWindow, GaaFilesAreRefused) {
    const QString file = WriteModelFile("d.maa");
    const QString gaa = WriteModelFile("g.GAA");
    TfmVelomast& w = Window({file});
    EXPECT_TRUE(w.OpenModel(gaa));
    ASSERT_NE(Dialogs.Last("message"), nullptr);
    EXPECT_EQ(Dialogs.Last("message")->Text, "Формат файла не поддерживается");
    EXPECT_EQ(w.Model().FileName, file.toStdString());
    EXPECT_FALSE(w.OpenModel(Dir.filePath("missing.maa")));
}

TEST_F(MainWindow, ScaleBoxParsingLimitsAndPreviousScale) {
    TfmVelomast& w = Window();
    TWireList& m = w.Model();
    TypeScale("250");
    EXPECT_DOUBLE_EQ(m.ViewScale, 25);
    EXPECT_EQ(ScaleBox()->currentText(), " 250%");
    TypeScale(" 300% ");
    EXPECT_DOUBLE_EQ(m.ViewScale, 30);
    TypeScale("abc");
    EXPECT_DOUBLE_EQ(m.ViewScale, 30);
    TypeScale("-5");
    EXPECT_DOUBLE_EQ(m.ViewScale, 30);

    ScaleBox()->setCurrentIndex(13); // " 200%"
    w.cbScaleSelect();
    EXPECT_DOUBLE_EQ(m.ViewScale, 20);
    Trigger("NScaleCurrent");
    w.sbScaleUndoClick();
    EXPECT_DOUBLE_EQ(m.ViewScale, 20); // chosen from the list: remembered as the new scale

    m.SetViewScale(10000);
    Trigger("NZoomPlus");
    EXPECT_DOUBLE_EQ(m.ViewScale, 10000);
    EXPECT_EQ(ScaleBox()->currentText(), " 100000%");
    m.SetViewScale(0.1);
    Trigger("NZoomOut");
    EXPECT_DOUBLE_EQ(m.ViewScale, 0.1);
    EXPECT_EQ(ScaleBox()->currentText(), " 1%");
    w.WheelZoom(120);
    EXPECT_NEAR(m.ViewScale, 0.1 * 1.024, 1e-12);
}

TEST_F(MainWindow, FitAndPreviousScale) {
    TfmVelomast& w = Window();
    TWireList& m = w.Model();
    m.NewWire({0, 0, 0}, {10, 0, 0}, -2);
    m.NewWire({0, 0, 0}, {0, 0, 0.1}, -2);
    m.StoreUndoStep(false);
    TypeScale("50");
    Trigger("NScaleCurrent");
    EXPECT_DOUBLE_EQ(m.ViewScale, 3.6);
    EXPECT_EQ(ScaleBox()->currentText(), " 36%");
    EXPECT_DOUBLE_EQ(m.ViewCenter.X, 5);
    w.sbScaleUndoClick();
    EXPECT_DOUBLE_EQ(m.ViewScale, 5);
    EXPECT_DOUBLE_EQ(m.ViewCenter.X, 0); // the fit remembered no centre: the last remembered one

    TWireList& v = w.Model();
    v.Clear(false);
    v.NewWire({0, 0, 0}, {0, 0, 10}, -2);
    Trigger("NScaleCurrent");
    EXPECT_NEAR(v.ViewScale, 2.097, 1e-12);
    EXPECT_EQ(ScaleBox()->currentText(), " 21%");
}

TEST_F(MainWindow, UndoAndRedoThroughTheMenuShowTheHistorySize) {
    const QString file = WriteModelFile("d.maa");
    TfmVelomast& w = Window({file});
    TWireList& m = w.Model();
    m[0]->SetEnds({0, -2.5, 10}, {0, 4, 10}, false, false, true);
    m.StoreUndoStep(false);
    const size_t size = m.History.Size();
    Trigger("NUndo");
    EXPECT_EQ(m[0]->P2().Y, 2.5);
    EXPECT_EQ(w.StatusText(4), QString::number(size));
    EXPECT_EQ(m.Selection.Current(), m[0]);
    Trigger("NUndo"); // the loaded state is the oldest
    EXPECT_EQ(m[0]->P2().Y, 2.5);
    w.Button("sbRedo")->click();
    EXPECT_EQ(m[0]->P2().Y, 4);
}

TEST_F(MainWindow, ViewTogglesAreWrittenToTheSettingsFile) {
    TfmVelomast& w = Window();
    Trigger("NViewGrid");
    EXPECT_TRUE(w.Model().ShowGrid);
    EXPECT_TRUE(w.Action("NViewGridType")->isEnabled());
    Trigger("NViewGridTypePoints");
    EXPECT_EQ(w.Model().GridMode, 1);
    Trigger("NViewDirection");
    Trigger("NShowTubes");
    EXPECT_TRUE(w.Model().ShowTubes);
    for (int i = 0; i < 6; ++i) Trigger("NViewDimSizeInc");
    EXPECT_EQ(w.Model().DimFontSize, 14);
    Trigger("NAutoScale");
    EXPECT_TRUE(w.Model().AutoScale);

    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("View/NViewGrid").toString(), "1");
    EXPECT_EQ(ini.value("View/GridMode").toString(), "1");
    EXPECT_EQ(ini.value("View/NViewDirection").toString(), "0");
    EXPECT_EQ(ini.value("View/ViewDimFontSize").toString(), "14");
    EXPECT_EQ(ini.value("View/NAutoScale").toString(), "1");
    EXPECT_FALSE(ini.contains("View/NShowTubes"));

    // The next start reads them back (auto-scale is written but never read).
    W.reset();
    TfmVelomast& again = Window();
    EXPECT_TRUE(again.Model().ShowGrid);
    EXPECT_EQ(again.Model().GridMode, 1);
    EXPECT_FALSE(again.Model().ShowDirection);
    EXPECT_EQ(again.Model().DimFontSize, 14);
    EXPECT_FALSE(again.Model().AutoScale);
}

TEST_F(MainWindow, WindowKeys) {
    const QString file = WriteModelFile("two.maa", "Two\r\n*\r\n14.06\r\n***Wires***\r\n2\r\n"
                                                   "0.0,\t0.0,\t10.0,\t0.0,\t1.0,\t10.0,\t0.0008,\t-1\r\n"
                                                   "0.0,\t1.0,\t10.0,\t0.0,\t2.0,\t10.0,\t0.0008,\t-1\r\n"
                                                   "***Source***\r\n0,\t0\r\n***Load***\r\n0,\t0\r\n"
                                                   "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n"
                                                   "***G/H/M/R/AzEl/X***\r\n0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n");
    TfmVelomast& w = Window({file});
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    TWireList& m = w.Model();
    w.PaintBox()->setFocus();
    EXPECT_EQ(m.Selection.Current(), m[0]);
    QTest::keyClick(w.PaintBox(), Qt::Key_Space);
    EXPECT_EQ(m.Selection.Current(), m[1]);
    QTest::keyClick(w.PaintBox(), Qt::Key_Space);
    EXPECT_EQ(m.Selection.Current(), m[0]); // wraps

    QTest::keyClick(w.PaintBox(), Qt::Key_Insert);
    EXPECT_TRUE(w.Button("sbInsertMode")->isChecked());
    EXPECT_EQ(w.MainPages()->currentIndex(), 1); // drawing needs a flat view
    QTest::keyClick(w.PaintBox(), Qt::Key_Escape);
    EXPECT_TRUE(w.Button("sbEditMode")->isChecked());
}

TEST_F(MainWindow, SaveAsImage) {
    TfmVelomast& w = Window();
    w.Model().NewWire({0, 0, 0}, {0, 0, 5}, -2);
    w.UpdateForm();
    // Without a model file the user is asked where to save; a .png name saves PNG.
    const QString png = Dir.filePath("view.png");
    Dialogs.SaveNames = {png};
    Dialogs.YesNoAnswers = {true};
    Trigger("NFileSaveAsBitmap");
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(8).startsWith("\x89PNG"));
    ASSERT_NE(Dialogs.Last("yesno"), nullptr);
    EXPECT_TRUE(Dialogs.Last("yesno")->Text.startsWith("Рабочая область сохранена в файл " + png));
    EXPECT_EQ(Dialogs.Last("openwith")->Text, png);

    const QString file = WriteModelFile("d.maa");
    ASSERT_TRUE(w.OpenModel(file));
    Dialogs.YesNoAnswers = {false};
    Trigger("NFileSaveAsBitmap");
    QFile bmp(Dir.filePath("d.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bmp.read(2) == "BM");
}

TEST_F(MainWindow, ARecentFileAsksTheSaveQuestionFirst) {
    const QString a = WriteModelFile("a.maa");
    const QString b = WriteModelFile("b.maa");
    TfmVelomast& w = Window({a});
    w.Model()[0]->Radius = 0.002;
    w.Model().StoreUndoStep(false);
    auto* mru = w.findChild<QMenu*>("NFileOpenMRU");
    Dialogs.OpenNames = {b};
    Dialogs.SaveAnswers = {IUserDialogs::Answer::No};
    Trigger("NFileOpen");
    ASSERT_EQ(mru->actions().size(), 1);
    w.Model()[0]->Radius = 0.002;
    w.Model().StoreUndoStep(false);
    Dialogs.SaveAnswers = {IUserDialogs::Answer::Cancel};
    mru->actions().front()->trigger();
    EXPECT_EQ(Dialogs.Count("yesnocancel"), 2);
    EXPECT_EQ(w.Model().FileName, b.toStdString()); // cancelled: the edited model stays
    EXPECT_EQ(w.Model()[0]->Radius, 0.002);
}

TEST_F(MainWindow, ReopenFollowsTheFileNameAtOnce) {
    const QString file = WriteModelFile("d.maa");
    TfmVelomast& w = Window({file});
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(w.Action("NReopen")->isEnabled());
    Trigger("NNewAntenna");
    EXPECT_FALSE(w.Action("NReopen")->isEnabled());
    // Saved under a name, F5 works without the File menu being opened first.
    w.Model().NewWire({0, 0, 0}, {0, 0, 5}, -2);
    w.Model().StoreUndoStep(false);
    Dialogs.SaveNames = {Dir.filePath("new.maa")};
    Trigger("NFileSaveAs");
    EXPECT_TRUE(w.Action("NReopen")->isEnabled());
    w.Model()[0]->Radius = 0.002;
    w.PaintBox()->setFocus();
    QTest::keyClick(w.windowHandle(), Qt::Key_F5);
    EXPECT_EQ(w.Model()[0]->Radius, 0.0008); // read again
}

TEST_F(MainWindow, WiresStayDarkOnTheWhitePictureUnderADarkTheme) {
    TfmVelomast& w = Window();
    QPalette dark = w.palette();
    dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
    dark.setColor(QPalette::Dark, QColor(20, 20, 20));
    w.setPalette(dark);
    w.show();
    w.MainPages()->setCurrentIndex(1);
    TWireList& m = w.Model();
    m.NewWire({-1, 0, 0}, {1, 0, 0}, -2);
    m.NewWire({-1, 0.5, 0}, {1, 0.5, 0}, 0);
    m.StoreUndoStep(false);
    m.ClearSelection();
    m.ShowGrid = false;
    w.PaintView();
    const QImage& im = w.ViewBitmap();
    const ScreenPoint a = ProjectPoint(m, {0.5, 0, 0});
    const ScreenPoint b = ProjectPoint(m, {0.5, 0.5, 0});
    EXPECT_EQ(im.pixelColor(a.X, a.Y), QColor(0, 0, 0));
    EXPECT_EQ(im.pixelColor(b.X, b.Y), QColor(160, 160, 160)); // an isolator
}

TEST_F(MainWindow, ViewReadoutsFollowTheModel) {
    const QString file = WriteModelFile("d.maa");
    TfmVelomast& w = Window();
    w.show();
    w.SetStatusText(0, " Вставка из буфера: 3");
    w.SetStatusText(2, "X=1 m Y=2 m");
    w.SetStatusText(4, "12345");
    ASSERT_TRUE(w.OpenModel(file));
    EXPECT_EQ(w.StatusText(0), "");
    EXPECT_EQ(w.StatusText(2), "");
    EXPECT_EQ(w.StatusText(4), QString::number(w.Model().History.Size()));

    // Fit, then the previous scale: back to the same view of the model at 10 m.
    TWireList& m = w.Model();
    const Vec3 centre = m.ViewCenter;
    ASSERT_EQ(centre.Z, 10);
    Trigger("NScaleCurrent");
    w.sbScaleUndoClick();
    EXPECT_TRUE(VecEqual(m.ViewCenter, centre));

    // A paste refits the view: the scale box shows the new scale.
    m.SelectWire(m[0], true);
    Trigger("NEditCopy");
    Dialogs.Forms.push_back([](QDialog& d) {
        d.findChild<QDoubleSpinBox*>("fseZ")->setValue(400);
        d.findChild<QPushButton*>("btOK")->click();
        return d.result();
    });
    Trigger("NPasteSpecial");
    ASSERT_EQ(m.OwnCount(), 2u);
    EXPECT_EQ(ScaleBox()->currentText(), QStringLiteral(" %1%").arg(std::lround(m.ViewScale * 10)));
}

TEST_F(MainWindow, QtsOwnButtonsSpeakTheInterfaceLanguage) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ru.qm"))
        GTEST_SKIP() << "Qt's Russian translation is not installed (qt6-translations-l10n)";
    Window();
    auto yesText = [] {
        QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text().remove('&');
    };
    EXPECT_EQ(yesText(), "Да");
    W->NLangEnClick();
    EXPECT_EQ(yesText(), "Yes");
    W->NLangRuClick();
    EXPECT_EQ(yesText(), "Да");
}
