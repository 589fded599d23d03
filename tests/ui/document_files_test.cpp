// What the window shows of files it must not read as models, and the change log it writes.
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>

#include <sys/stat.h>

using namespace velomast;
using velomast::testing::WindowTest;

namespace {

const char* const DipoleText = "Test dipole\r\n*\r\n14.06\r\n***Wires***\r\n1\r\n"
                               "0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1\r\n"
                               "***Source***\r\n1,\t0\r\nw1c,\t0.0,\t1.0\r\n***Load***\r\n0,\t0\r\n"
                               "***Segmentation***\r\n800,\t80,\t2.0,\t1\r\n***G/H/M/R/AzEl/X***\r\n"
                               "0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0\r\n";

class DocumentFiles : public WindowTest {
protected:
    void Open(const QString& name) {
        Dialogs.OpenNames = {name};
        Trigger("NFileOpen");
    }
    QString LastMessage() const {
        const auto* m = Dialogs.Last("message");
        return m ? m->Text : QString();
    }
};

} // namespace

TEST_F(DocumentFiles, FilesThatAreNoModelTextAreRefusedAndTheModelStays) {
    {
        QSettings ini(Dir.filePath("velomast.ini"), QSettings::IniFormat);
        ini.setValue("Main/BackupFiles", 1);
    }
    MakeWindow();
    const QString dipole = WriteFile("d.maa", DipoleText);
    Open(dipole);
    ASSERT_EQ(M().OwnCount(), 1u);

    // The same model saved as UTF-16 by a text editor.
    QByteArray utf16("\xFF\xFE", 2);
    for (const char* c = DipoleText; *c; ++c) utf16 += QByteArray(1, *c) + QByteArray(1, '\0');
    const QString wide = Dir.filePath("wide.maa");
    QFile f(wide);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(utf16);
    f.close();
    Open(wide);
    EXPECT_TRUE(LastMessage().startsWith("Файл не похож на файл модели")) << LastMessage().toStdString();
    EXPECT_EQ(M().OwnCount(), 1u);
    EXPECT_EQ(M().FileName, dipole.toStdString());
    EXPECT_FALSE(QFile::exists(Dir.filePath("wide.~maa")));

    // A pipe is refused at once, not waited on.
    const QString pipe = Dir.filePath("pipe.maa");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    Open(pipe);
    EXPECT_TRUE(LastMessage().contains("это не обычный файл")) << LastMessage().toStdString();
    EXPECT_EQ(M().FileName, dipole.toStdString());

    // A short text holds no model: it is shown as an empty model that is not tied to the
    // file, so drawing a wire and saving asks for a name instead of overwriting the note.
    const char* note = "shopping list\r\nmilk\r\n";
    const QString text = WriteFile("note.maa", note);
    Open(text);
    EXPECT_EQ(M().OwnCount(), 0u);
    EXPECT_TRUE(M().FileName.empty());
    M().NewWire({0, 0, 0}, {0, 0, 1}, -2);
    M().StoreUndoStep(false);
    Trigger("NFileSave");
    EXPECT_EQ(Dialogs.Count("save"), 1);
    QFile kept(text);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(note));
}

TEST_F(DocumentFiles, ChangeLogTimesCarryNoTimeZone) {
    {
        QSettings ini(Dir.filePath("velomast.ini"), QSettings::IniFormat);
        ini.setValue("Main/WriteLogFile", 1);
    }
    const QLocale before;
    // Russian writes the zone after the time; Basque in brackets; Belarusian after a comma.
    const struct {
        QLocale Locale;
        const char* Stamp;
    } cases[] = {{QLocale(QLocale::Russian, QLocale::Russia), "^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: "},
                 {QLocale(QLocale::Basque, QLocale::Spain), "^\\S+ \\d\\d:\\d\\d:\\d\\d: "},
                 {QLocale(QLocale::Belarusian, QLocale::Belarus), "^\\S+ \\d\\d:\\d\\d:\\d\\d: "}};
    for (const auto& c : cases) {
        QLocale::setDefault(c.Locale);
        MakeWindow();
        const QString name = WriteFile("log.maa", DipoleText);
        QFile::remove(Dir.filePath("log.log"));
        Open(name);
        M().SetFrequency(7.1);
        Trigger("NFileSave");
        QFile log(Dir.filePath("log.log"));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << c.Locale.name().toStdString();
        const QString line = QString::fromLocal8Bit(log.readAll());
        EXPECT_TRUE(QRegularExpression(c.Stamp).match(line).hasMatch()) << line.toStdString();
    }
    QLocale::setDefault(before);
}
