// The interface language: the language file format, the shipped files, the two language
// commands through the menu, start-up in English, dialogs in English and the hidden export.
#include "window_fixture.h"

#include "settings/language_file.h"
#include "ui/language_export.h"
#include "ui/language_texts.h"
#include "ui/tfm_cilinder.h"
#include "ui/tfm_move.h"
#include "ui/tfm_sets.h"
#include "ui/tfm_velomast.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace velomast;

namespace {

const QString Shipped = QStringLiteral(VELOMAST_LANGUAGE_DIR);

QString Section(const TLanguageFile& f, const QString& section) {
    QString out;
    for (const auto& [k, v] : f.Entries(section)) out += k + '=' + v + '\n';
    return out;
}

bool HasCyrillic(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) return true;
    return false;
}

// The controls of a window that still show Russian text (captions, titles, tab texts, hints).
QStringList RussianTexts(QWidget* form) {
    QStringList out;
    auto check = [&](const QObject* o, const QString& what, const QString& text) {
        if (HasCyrillic(text)) out << (o->objectName().isEmpty() ? QString(o->metaObject()->className()) : o->objectName()) + '.' + what + '=' + text;
    };
    for (QLabel* l : form->findChildren<QLabel*>()) check(l, "text", l->text());
    for (QAbstractButton* b : form->findChildren<QAbstractButton*>()) check(b, "text", b->text());
    for (QGroupBox* g : form->findChildren<QGroupBox*>()) check(g, "title", g->title());
    for (QTabWidget* t : form->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i) check(t->widget(i), "tab", t->tabText(i));
    for (QWidget* w : form->findChildren<QWidget*>()) check(w, "hint", w->toolTip());
    for (QAction* a : form->findChildren<QAction*>())
        if (a->objectName() != "NLangRu") check(a, "text", a->text());
    return out;
}

TEST(LanguageFileFormat, RoundTripKeepsValuesExactly) {
    TLanguageFile f;
    f.Write("TfmVelomast", "NFile", "&Файл");
    f.Write("TfmVelomast", "tsGeneral", " Параметры ");
    f.Write("TfmVelomast", "NpDivide5", " 5 частей... ");
    f.Write("TfmVelomast", "Empty", "");
    f.Write("TfmVelomast", "sbCenterZero.Hint", "X=0, Y=0, Z=H");
    f.Write("TfmSets", "btOK", "OK");
    f.Write("tfmvelomast", "NFILE", "&File"); // same section and key: replaced in place

    QTemporaryDir dir;
    const QString path = dir.filePath("x.lng");
    ASSERT_TRUE(f.Save(path));
    TLanguageFile g;
    ASSERT_TRUE(g.Load(path));
    EXPECT_EQ(g.Sections(), QStringList({"TfmVelomast", "TfmSets"}));
    EXPECT_EQ(Section(g, "TfmVelomast"), "NFile=&File\ntsGeneral= Параметры \nNpDivide5= 5 частей... \nEmpty=\n"
                                         "sbCenterZero.Hint=X=0, Y=0, Z=H\n");
    EXPECT_TRUE(g.HasKey("TfmVelomast", "Empty"));
    EXPECT_FALSE(g.HasKey("TfmVelomast", "Missing"));
    EXPECT_EQ(g.Read("TFMSETS", "btok"), "OK");
    EXPECT_EQ(g.Read("TfmSets", "Missing", "fallback"), "fallback");
    EXPECT_FALSE(g.Load(dir.filePath("none.lng")));
    EXPECT_TRUE(g.Sections().isEmpty());
}

TEST(LanguageFileFormat, ReadsUtf8WithBomWindows1251AndCrLf) {
    // "&Файл" and "Ёлка ё №" in Windows-1251, with Windows line ends and a comment.
    TLanguageFile f;
    f.Parse(TLanguageFile::Decode("; comment\r\n[TfmVelomast]\r\nNFile=&\xD4\xE0\xE9\xEB\r\n"
                                  "Other=\xA8\xEB\xEA\xE0 \xB8 \xB9\r\n"));
    EXPECT_EQ(f.Read("TfmVelomast", "NFile"), QStringLiteral("&Файл"));
    EXPECT_EQ(f.Read("TfmVelomast", "Other"), QStringLiteral("Ёлка ё №"));

    f.Parse(TLanguageFile::Decode("\xEF\xBB\xBF[TfmSets]\nbtCancel=\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0\n"));
    EXPECT_EQ(f.Sections(), QStringList({"TfmSets"}));
    EXPECT_EQ(f.Read("TfmSets", "btCancel"), QStringLiteral("Отмена"));
}

class LanguageWindow : public velomast::testing::WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(LangDir.isValid());
        for (const char* name : {"en.lng", "ru.lng"})
            ASSERT_TRUE(QFile::copy(QDir(Shipped).filePath(name), LangDir.filePath(name))) << name;
        SetLanguageFolderOverride(LangDir.path());
        WindowTest::SetUp();
    }
    void TearDown() override {
        W.reset();
        SetLanguageFolderOverride({});
        LanguageFile() = QStringLiteral("ru.lng");
        ResetLanguageTexts();
    }
    QString Text(const char* action) { return W->Action(action)->text(); }
    QString Ini(const QString& key) { return QSettings(Dir.filePath("velomast.ini"), QSettings::IniFormat).value(key).toString(); }
    QString SideTab(const char* page) {
        auto* tabs = W->findChild<QTabWidget*>("pcRight");
        return tabs->tabText(tabs->indexOf(W->findChild<QWidget*>(page)));
    }
    QTemporaryDir LangDir;
};

TEST_F(LanguageWindow, StartsInEnglishWhenTheSettingSaysSo) {
    WriteFile("velomast.ini", "[Main]\nLanguage=en\n");
    MakeWindow();
    EXPECT_EQ(W->AppTitle(), "Velomast");
    EXPECT_TRUE(W->Action("NLangEn")->isChecked());
    EXPECT_FALSE(W->Action("NLangRu")->isChecked());
    EXPECT_EQ(Text("NFile"), "&File");
    EXPECT_EQ(W->findChild<QMenu*>("NFile")->title(), "&File");
    EXPECT_EQ(Text("NFileOpen"), "Open...");
    // Items added after the start-up switch, pages, hints and run-time texts too.
    EXPECT_EQ(Text("NCheckModel"), "Check model...");
    EXPECT_EQ(SideTab("tsWires"), "Wires");
    EXPECT_EQ(W->Button("sbNew")->toolTip(), "New antenna");
    EXPECT_EQ(W->Action("NUncomboAll")->toolTip(), "Remove all combined (tapered) wire settings");
    EXPECT_TRUE(W->Action("NUncomboAll")->statusTip().isEmpty());
    EXPECT_EQ(W->StatusText(1), "Wires in all: 0");
    EXPECT_EQ(W->StatusText(3), "Free space");
    EXPECT_EQ(W->findChild<QLabel*>("laWire")->text(), "Wire #0");
}

TEST_F(LanguageWindow, MenuCommandsSwitchThereAndBack) {
    EXPECT_EQ(Text("NFile"), "&Файл");
    EXPECT_TRUE(W->Action("NLangRu")->isChecked());

    Trigger("NLangEn");
    EXPECT_EQ(Text("NFile"), "&File");
    EXPECT_EQ(Text("NSettings"), "Settings...");
    EXPECT_EQ(SideTab("tsCheck"), "Check");
    EXPECT_EQ(W->AppTitle(), "Velomast");
    EXPECT_TRUE(W->Action("NLangEn")->isChecked());
    EXPECT_FALSE(W->Action("NLangRu")->isChecked());
    EXPECT_EQ(Ini("Main/Language"), "en");
    EXPECT_EQ(LanguageFile(), QDir(LangDir.path()).filePath("en.lng"));

    Trigger("NLangRu");
    EXPECT_EQ(Text("NFile"), "&Файл");
    EXPECT_EQ(SideTab("tsCheck"), "Проверка");
    EXPECT_EQ(W->StatusText(1), "Всего проводов: 0");
    EXPECT_EQ(W->AppTitle(), QStringLiteral("Веломаст"));
    EXPECT_TRUE(W->Action("NLangRu")->isChecked());
    EXPECT_EQ(Ini("Main/Language"), "ru");

    Trigger("NLangEn");
    EXPECT_EQ(Text("NFile"), "&File");
    EXPECT_EQ(W->StatusText(1), "Wires in all: 0");
}

TEST_F(LanguageWindow, WithoutRussianFileEnglishStays) {
    ASSERT_TRUE(QFile::remove(LangDir.filePath("ru.lng")));
    Trigger("NLangEn");
    Trigger("NLangRu");
    // The title, the check marks and the setting change; the texts do not.
    EXPECT_EQ(Text("NFile"), "&File");
    EXPECT_EQ(W->StatusText(1), "Wires in all: 0");
    EXPECT_EQ(W->AppTitle(), QStringLiteral("Веломаст"));
    EXPECT_TRUE(W->Action("NLangRu")->isChecked());
    EXPECT_FALSE(W->Action("NLangEn")->isChecked());
    EXPECT_EQ(Ini("Main/Language"), "ru");
}

TEST_F(LanguageWindow, EmptyValueEmptiesAndUnknownKeysAreIgnored) {
    QFile f(LangDir.filePath("en.lng"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[TfmVelomast]\nNFile=\nNoSuchComponent=x\nsbNew.Hint= Brand new\n");
    f.close();
    Trigger("NLangEn");
    EXPECT_EQ(Text("NFile"), "");
    EXPECT_EQ(W->Button("sbNew")->toolTip(), " Brand new");
    EXPECT_EQ(Text("NFileOpen"), QStringLiteral("Открыть..."));
}

// Every caption and hint of every window, as built, must have its key in both shipped files;
// the English file must say each of them in English.
TEST_F(LanguageWindow, ShippedFilesCoverEveryWindow) {
    TLanguageFile built;
    ExportAllForms(built);
    for (const char* section : {"TfmVelomast", "TfmSets", "TfmLinked", "TfmCilinder", "TfmGrid", "TfmColi", "TfmHouse",
                                "TfmShape", "TfmMove", "TfmRotate", "TfmAbout"})
        EXPECT_FALSE(built.Entries(section).empty()) << section;
    for (const char* name : {"en.lng", "ru.lng"}) {
        TLanguageFile shipped;
        ASSERT_TRUE(shipped.Load(QDir(Shipped).filePath(name)));
        QStringList missing;
        for (const QString& section : built.Sections())
            for (const auto& entry : built.Entries(section))
                if (!shipped.HasKey(section, entry.first)) missing << section + '/' + entry.first;
        EXPECT_TRUE(missing.isEmpty()) << name << " lacks: " << missing.join(", ").toStdString();
    }
    TLanguageFile en;
    ASSERT_TRUE(en.Load(QDir(Shipped).filePath("en.lng")));
    QStringList russian;
    for (const QString& section : en.Sections())
        for (const auto& [key, value] : en.Entries(section))
            if (HasCyrillic(value) && key != "NLangRu") russian << section + '/' + key;
    EXPECT_TRUE(russian.isEmpty()) << "untranslated: " << russian.join(", ").toStdString();
}

TEST_F(LanguageWindow, DialogsCreatedAfterTheSwitchAreEnglish) {
    Trigger("NLangEn");
    QString title, scene, tab;
    Dialogs.Forms.push_back([&](QDialog& d) {
        title = d.windowTitle();
        scene = d.findChild<QCheckBox*>("chScene")->text();
        auto* page = d.findChild<QWidget*>("tsView");
        auto* tabs = d.findChild<QTabWidget*>();
        tab = tabs->tabText(tabs->indexOf(page));
        return int(QDialog::Rejected);
    });
    W->show();
    W->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(W.get()));
    QTest::keyClick(W->windowHandle(), Qt::Key_F2);
    EXPECT_EQ(title, "Settings");
    EXPECT_EQ(scene, "Use scene functions for several antennas");
    EXPECT_EQ(tab, " View  ");

    TfmCilinder cage(W.get());
    EXPECT_EQ(cage.windowTitle(), "Create thick conductor");
    // Texts that the dialogs compose once they know the wires.
    cage.Prepare(TfmCilinder::TMode::Coil, 3, 2.5);
    EXPECT_EQ(cage.findChild<QLabel*>("laBase")->text(), "Based on wire No. 3, length");
    EXPECT_EQ(cage.findChild<QGroupBox*>("gbStart")->title(), " As a cylindrical helix ");
    TfmMove move(W.get());
    move.Prepare(TfmMove::TVariant::Paste, 4, 1);
    EXPECT_EQ(move.windowTitle(), "Paste wire group");
    EXPECT_EQ(move.findChild<QLabel*>("laTitle")->text(), " Paste the 4 selected wires: ");
    EXPECT_EQ(cage.findChild<QLabel*>("Label11")->text(), "End offset, % of the original length:");
    for (const auto& dialog : CreateAllDialogs(W.get(), Dialogs)) {
        EXPECT_FALSE(HasCyrillic(dialog->windowTitle())) << dialog->windowTitle().toStdString();
        const QStringList russian = RussianTexts(dialog.get());
        EXPECT_TRUE(russian.isEmpty()) << LanguageSection(dialog.get()).toStdString() << ": "
                                       << russian.join(", ").toStdString();
    }
}

TEST_F(LanguageWindow, MainWindowShowsNoRussianInEnglish) {
    Trigger("NLangEn");
    const QStringList russian = RussianTexts(W.get());
    EXPECT_TRUE(russian.isEmpty()) << russian.join("\n").toStdString();
}

TEST_F(LanguageWindow, DoubleClickOnLabel11ExportsTheDialog) {
    QTemporaryDir out;
    SetLanguageFolderOverride(out.filePath("Language"));
    TfmCilinder dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseDClick(dialog.findChild<QLabel*>("Label11"), Qt::LeftButton);
    const QString file = out.filePath("Language/ru.lng");
    EXPECT_EQ(LanguageFile(), file);
    TLanguageFile written;
    ASSERT_TRUE(written.Load(file));
    EXPECT_EQ(written.Sections(), QStringList({"TfmCilinder"}));
    EXPECT_EQ(written.Read("TfmCilinder", "Label11"), QStringLiteral("Отступ от концов в % от исх. длины:"));
    EXPECT_EQ(written.Read("TfmCilinder", "tsMain"), QStringLiteral(" Основные параметры "));
    EXPECT_EQ(written.Read("TfmCilinder", "cbTopSide.Item1"), QStringLiteral("в виде изолятора"));
    // Neither the dialog's own caption nor the number labels are written.
    EXPECT_FALSE(written.HasKey("TfmCilinder", "Caption"));
    EXPECT_FALSE(written.HasKey("TfmCilinder", "laWireCount"));
}

} // namespace
