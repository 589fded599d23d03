#include "table_window_fixture.h"

#include "ui/params_page.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

using namespace velomast;
using velomast::testing::TableWindowTest;

namespace {

const char* const ModelText = "Two wires\r\n*\r\n7.1\r\n***Wires***\r\n2\r\n"
                              "0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.001,\t-1\r\n"
                              "0.0,\t-2.5,\t11.0,\t0.0,\t2.5,\t11.0,\t0.001,\t-1\r\n"
                              "***Source***\r\n1,\t0\r\nw1c,\t0.0,\t1.0\r\n***Load***\r\n1,\t1\r\n"
                              "w2c,\t1,\t50.0,\t12.5,\t0,\t0,\t0\r\n"
                              "***Segmentation***\r\n400,\t40,\t2.0,\t1\r\n***G/H/M/R/AzEl/X***\r\n"
                              "2,\t12.5,\t3,\t75.0,\t150,\t30,\t5.25\r\n"
                              "### Comment ###\r\nfirst line\r\nsecond line\r\n";

class ParamsPage : public TableWindowTest {
protected:
    TfmVelomast& Open() {
        const QString path = Dir.filePath("m.maa");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ModelText);
        f.close();
        TfmVelomast& w = Window();
        EXPECT_TRUE(w.OpenModel(path));
        w.MainPages()->setCurrentIndex(TfmVelomast::PageGeneral);
        return w;
    }
    TParamsPage* Page() { return W->ParamsPage(); }
    template <class T> T* Find(const char* name) {
        T* t = W->findChild<T*>(name);
        EXPECT_NE(t, nullptr) << name;
        return t;
    }
    QString Text(const char* name) {
        if (auto* c = W->findChild<QComboBox*>(name)) return c->currentText();
        if (auto* e = W->findChild<QLineEdit*>(name)) return e->text();
        return Find<QLabel>(name)->text();
    }
    void TypeText(const char* name, const QString& text) {
        QLineEdit* e = W->findChild<QLineEdit*>(name);
        if (!e) e = Find<QComboBox>(name)->lineEdit();
        e->selectAll();
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Delete);
        else
            QTest::keyClicks(e, text);
    }
    // Replaces the whole text at once, as a paste does.
    void PasteText(const char* name, const QString& text) {
        QLineEdit* e = Find<QComboBox>(name)->lineEdit();
        e->selectAll();
        e->insert(text);
    }
    TStringGrid* Sources() { return Page()->SourcesGrid(); }
    TStringGrid* Loads() { return Page()->LoadsGrid(); }
    void TypeCell(TStringGrid* g, int col, int row, const QString& text) {
        TypeInto(g, col, row, text, Qt::Key_unknown);
    }
};

} // namespace

TEST_F(ParamsPage, IsFilledFromTheModel) {
    Open();
    EXPECT_EQ(Text("edName"), " Two wires");
    EXPECT_EQ(Text("cbFreq"), N("7.100"));
    EXPECT_EQ(Text("laWaveLength"), N("42.224 m"));
    EXPECT_EQ(Find<QComboBox>("cbGround")->currentIndex(), 2);
    EXPECT_TRUE(Find<QDoubleSpinBox>("rseHeight")->isEnabled());
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>("rseHeight")->value(), 12.5);
    EXPECT_EQ(Find<QComboBox>("cbMaterial")->currentIndex(), 3);
    EXPECT_EQ(Find<QPlainTextEdit>("meComment")->toPlainText(), "\nfirst line\nsecond line");
    EXPECT_EQ(Text("cbDM1"), "400");
    EXPECT_EQ(Text("cbSC"), "2.0");
    EXPECT_EQ(Text("cbEC"), "1");
    EXPECT_EQ(Text("cbZ_R"), " 75");
    EXPECT_EQ(Text("cbZ_jX"), N(" 5.3"));
    EXPECT_EQ(Text("cbFB_Azim"), " 150");
    EXPECT_EQ(Text("laSources"), "Источники: (1)");
    EXPECT_EQ(Text("laLoads"), "Нагрузки: (1)");
    EXPECT_EQ(Sources()->RowCount(), 3);
    EXPECT_EQ(Page()->SourcesCellText(1, 1), "w1c");
    EXPECT_EQ(Page()->SourcesCellText(3, 1), "0°");
    EXPECT_EQ(Page()->SourcesCellText(0, 2), "Новый");
    EXPECT_EQ(Page()->LoadsCellText(2, 1), "R+jX");
    EXPECT_EQ(Page()->LoadsCellText(4, 1), N("12.5"));
    EXPECT_EQ(Page()->LoadsCellText(5, 1), ""); // 0 is blank
    EXPECT_EQ(Page()->LoadsCellText(0, 2), "Новая");
    EXPECT_FALSE(M().Modified);
}

TEST_F(ParamsPage, FrequencyAndGround) {
    TfmVelomast& w = Open();
    // The frequency applies when its editing ends, exactly as typed: no list item is
    // completed from it and no value is taken on the way.
    QLineEdit* freq = Find<QComboBox>("cbFreq")->lineEdit();
    freq->setFocus();
    TypeText("cbFreq", "14,2");
    EXPECT_DOUBLE_EQ(M().Frequency, 7.1);
    QTest::keyClick(freq, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(M().Frequency, 14.2);
    freq->setFocus();
    TypeText("cbFreq", "7.1");
    QTest::keyClick(freq, Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(M().Frequency, 7.1);
    EXPECT_NEAR(M().Wavelength, 42.2243, 1e-4);
    EXPECT_EQ(Text("laWaveLength"), N("42.224 m"));
    for (const char* bad : {"0,05", "20000", "abc", "0.1"}) {
        freq->setFocus();
        TypeText("cbFreq", bad);
        QTest::keyClick(freq, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(M().Frequency, 7.1) << bad;
        EXPECT_EQ(Text("laWaveLength"), N("42.224 m"));
        EXPECT_EQ(Text("cbFreq"), N("7.100")) << bad;
    }
    // Leaving the box unchanged keeps the exact value, not its shown rounding.
    M().SetFrequency(7.0625);
    Page()->FillParamsPage();
    freq->setFocus();
    QTest::keyClick(freq, Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(M().Frequency, 7.0625);

    QComboBox* ground = Find<QComboBox>("cbGround");
    ground->setCurrentIndex(0);
    emit ground->activated(0);
    EXPECT_EQ(M().GroundType, 0);
    EXPECT_FALSE(Find<QDoubleSpinBox>("rseHeight")->isEnabled());
    EXPECT_FALSE(Find<QLabel>("laHeight")->isEnabled());
    EXPECT_EQ(w.StatusText(3), "Свободное простр.");
    ground->setCurrentIndex(2);
    emit ground->activated(2);
    EXPECT_TRUE(Find<QDoubleSpinBox>("rseHeight")->isEnabled());
    Find<QDoubleSpinBox>("rseHeight")->setValue(3);
    EXPECT_EQ(M().BaseHeight, 3);
    EXPECT_EQ(w.StatusText(3), "H=3 м. Hmax=14 м.");

    QComboBox* material = Find<QComboBox>("cbMaterial");
    material->setCurrentIndex(5);
    emit material->activated(5);
    EXPECT_EQ(M().Material, 5);
    // Model-wide edits store no undo step but are not lost on closing.
    EXPECT_EQ(M().HistoryCount(), 1);
    EXPECT_TRUE(M().Modified);
}

TEST_F(ParamsPage, SettingsFieldsAndTheirDefaults) {
    Open();
    TypeText("cbZ_R", "");
    EXPECT_EQ(M().StdZR, 50);
    TypeText("cbZ_R", "12,5");
    EXPECT_EQ(M().StdZR, 12.5);
    TypeText("cbZ_jX", "x");
    EXPECT_EQ(M().StdZjX, 0);
    TypeText("cbZ_jX", "-3.5");
    EXPECT_EQ(M().StdZjX, -3.5);
    EXPECT_EQ(M().StdZR, 12.5); // the rounded R shown is not written back
    TypeText("cbFB_Azim", "1.5");
    EXPECT_EQ(M().FBAzimuth, 120);
    TypeText("cbFB_Elev", " 45 ");
    EXPECT_EQ(M().FBElevation, 45);
    TypeText("cbFB_Elev", "");
    EXPECT_EQ(M().FBElevation, 60);

    TypeText("cbSC", "2,5");
    EXPECT_EQ(M().SegmentationLine, "400,\t40,\t2.5,\t1");
    TypeText("cbDM1", "800");
    EXPECT_EQ(M().SegmentationLine, "800,\t40,\t2.5,\t1");

    TypeText("edName", "Renamed");
    EXPECT_EQ(M().ModelName, "Renamed");
    QPlainTextEdit* comment = Find<QPlainTextEdit>("meComment");
    comment->setPlainText("a\nb");
    EXPECT_EQ(M().Comment, "a\r\nb");
    QPlainTextEdit* taper = Find<QPlainTextEdit>("meTaperWireSet");
    taper->setPlainText("-0.001, 0, 2.0, 0.002\n-0.002, 1, 1.0, 0.001\n");
    ASSERT_EQ(M().TaperLines.size(), 2u);
    EXPECT_EQ(M().TaperLines[1], "-0.002, 1, 1.0, 0.001");
}

TEST_F(ParamsPage, SourcesAreTypedIntoTheNewRow) {
    Open();
    const int steps = M().HistoryCount();
    TypeCell(Sources(), 1, 2, "w2");
    EXPECT_EQ(M().Sources.size(), 1u);
    QTest::keyClicks(Sources()->Editor(), "c");
    ASSERT_EQ(M().Sources.size(), 2u);
    EXPECT_EQ(M().Sources[1]->Wire, M()[1]);
    EXPECT_EQ(Sources()->RowCount(), 4);
    EXPECT_EQ(Text("laSources"), "Источники: (2)");
    EXPECT_EQ(Page()->SourcesCellText(1, 2), "w2c");
    EXPECT_EQ(Page()->SourcesCellText(2, 2), "1");
    EXPECT_EQ(Page()->SourcesCellText(3, 2), "0°");

    // Voltage and phase; a text that is no number is kept as no value, shown blank.
    TypeCell(Sources(), 2, 2, "2,5");
    EXPECT_EQ(M().Sources[1]->Values[0], 2.5);
    TypeCell(Sources(), 3, 2, "-90");
    EXPECT_EQ(Page()->SourcesCellText(3, 2), "-90°");
    TypeCell(Sources(), 3, 2, "q");
    EXPECT_EQ(M().Sources[1]->Values[1], NoValue);
    EXPECT_EQ(Page()->SourcesCellText(3, 2), "");

    // Moving the source keeps voltage and phase.
    TypeCell(Sources(), 1, 2, "w1e");
    EXPECT_EQ(M().Sources[1]->Wire, M()[0]);
    EXPECT_EQ(M().Sources[1]->Position, PosEnd);
    EXPECT_EQ(M().Sources[1]->Values[0], 2.5);
    // Snapshots hold the sources: each change is a step of its own (w2c; 2, "2,", 2,5;
    // -, -9, -90; q; w1e).
    EXPECT_EQ(M().HistoryCount(), steps + 9);
    EXPECT_TRUE(M().Modified);

    // Selecting a source row makes its wire current.
    Sources()->setFocus();
    QTest::mouseClick(Sources()->viewport(), Qt::LeftButton, {},
                      Sources()->visualRect(Sources()->model()->index(1, 2)).center());
    EXPECT_EQ(M().Selection.Current(), M()[0]);
    EXPECT_EQ(M().Selection.Count(), 1u);
}

TEST_F(ParamsPage, AMissingWireIsReportedOnceAndChangesNothing) {
    Open();
    TypeCell(Sources(), 1, 2, "w9c");
    EXPECT_EQ(M().Sources.size(), 1u);
    ASSERT_EQ(Dialogs.Count("message"), 1);
    EXPECT_EQ(Dialogs.Last("message")->Text, "Провод 9 не найден");
    // Typing on and back to the same reference does not report again.
    QTest::keyClick(Sources()->Editor(), Qt::Key_Backspace);
    QTest::keyClicks(Sources()->Editor(), "c");
    EXPECT_EQ(Dialogs.Count("message"), 1);

    TypeCell(Sources(), 1, 1, "w7b");
    EXPECT_EQ(Dialogs.Count("message"), 2);
    EXPECT_EQ(M().Sources[0]->Wire, M()[0]); // the source keeps its wire
    EXPECT_EQ(M().Sources[0]->Position, PosCentre);

    const int steps = M().HistoryCount();
    TypeCell(Loads(), 1, 1, "w3c");
    EXPECT_EQ(Dialogs.Count("message"), 3);
    EXPECT_EQ(M().Loads[0]->Wire, M()[1]);
    EXPECT_EQ(M().HistoryCount(), steps);
}

TEST_F(ParamsPage, LoadsStoreStepsComputeTheLcResonanceAndAreDeleted) {
    TfmVelomast& w = Open();
    int steps = M().HistoryCount();
    TypeCell(Loads(), 1, 2, "w1b");
    ASSERT_EQ(M().Loads.size(), 2u);
    EXPECT_EQ(M().HistoryCount(), steps + 1);
    EXPECT_EQ(Page()->LoadsCellText(2, 2), "LC");
    EXPECT_EQ(Text("laLoads"), "Нагрузки: (2)");
    EXPECT_EQ(Loads()->RowCount(), 4);

    steps = M().HistoryCount();
    TypeCell(Loads(), 3, 2, "2");
    TypeCell(Loads(), 4, 2, "3");
    EXPECT_EQ(M().Loads[1]->Values[4], 64.975);
    EXPECT_EQ(Page()->LoadsCellText(6, 2), N("64.975"));
    EXPECT_EQ(M().HistoryCount(), steps + 2); // one step per keystroke

    // The resonance belongs to LC loads only: an S load keeps its B1.
    TypeCell(Loads(), 2, 2, "2");
    TypeCell(Loads(), 6, 2, "7");
    TypeCell(Loads(), 3, 2, "5");
    EXPECT_EQ(M().Loads[1]->Values[4], 7);

    // Del on a load row removes it; undo brings it back.
    Loads()->setFocus();
    Loads()->SetCurrent(1, 2);
    QTest::keyClick(Loads(), Qt::Key_Delete);
    EXPECT_EQ(M().Loads.size(), 1u);
    EXPECT_EQ(Loads()->RowCount(), 3);
    Loads()->SetCurrent(1, 2); // the new-entry row: nothing to delete
    QTest::keyClick(Loads(), Qt::Key_Delete);
    EXPECT_EQ(M().Loads.size(), 1u);
    Trigger("NUndo");
    ASSERT_EQ(M().Loads.size(), 2u);
    EXPECT_EQ(M().Loads[1]->Values[4], 7);
    EXPECT_EQ(Loads()->RowCount(), 4);
    EXPECT_EQ(w.WireGrid()->isEnabled(), true);
}

TEST_F(ParamsPage, ANewModelHasEmptyGrids) {
    TfmVelomast& w = Window();
    Trigger("NNewAntenna");
    EXPECT_EQ(w.MainPages()->currentIndex(), TfmVelomast::PageGeneral);
    EXPECT_EQ(Loads()->RowCount(), 2);
    EXPECT_EQ(Sources()->RowCount(), 2);
    EXPECT_EQ(Page()->LoadsCellText(0, 1), "Новая");
    EXPECT_EQ(Text("laLoads"), "Нагрузки: (0)");
    EXPECT_EQ(Text("cbDM1"), "800");
    EXPECT_EQ(Text("cbEC"), "1");
    // No wire: a typed reference finds nothing.
    TypeCell(Sources(), 1, 1, "w1c");
    EXPECT_EQ(M().Sources.size(), 0u);
    EXPECT_EQ(Dialogs.Last("message")->Text, "Провод 1 не найден");
}
