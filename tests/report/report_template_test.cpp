// Reading report templates: objects and page settings, lines that cannot be read skipped
// with a note naming them, and files that are no template at all.
#include "report/report_template.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velomast;

namespace {

using TKind = TReportObject::TKind;

TTemplateReadResult Parse(const QString& text, TReportTemplate& t) { return ParseReportTemplate(text, t); }

} // namespace

TEST(ReportTemplate, ReadsPageObjectsAndDefaults) {
    TReportTemplate t;
    const TTemplateReadResult r = Parse(
        "# a comment\r\n\r\n  velomast-report 1\r\n"
        "page A5 landscape\r\n"
        "margins 10 5,5 10 5\r\n"
        "font family=\"DejaVu Serif\" size=14 bold\r\n"
        "text 0 0 100 10 align=center valign=bottom | [Title]\\nвторая строка \\\\ конец\r\n"
        "font size=9\r\n"
        "text 1.5 12 50 6 italic underline frame=0.2 color=#0000ff align=right |  Частота: [Freq]  \r\n"
        "picture 0 20 120 80 frame=0.3 | Memo\r\n"
        "line 0 110 120 110 width=0.5 color=#ff0000\r\n",
        t);
    ASSERT_EQ(r.Status, TTemplateReadResult::TStatus::Ok) << r.Message.toStdString();
    EXPECT_TRUE(r.Notes.empty()) << TemplateNotesText(r.Notes).toStdString();
    EXPECT_EQ(t.PageSize.id(), QPageSize::A5);
    EXPECT_EQ(t.Orientation, QPageLayout::Landscape);
    EXPECT_EQ(t.Margins, QMarginsF(10, 5.5, 10, 5));
    ASSERT_EQ(t.Objects.size(), 4u);

    const TReportObject& title = t.Objects[0];
    EXPECT_EQ(title.Kind, TKind::Text);
    EXPECT_EQ(title.Rect, QRectF(0, 0, 100, 10));
    EXPECT_EQ(title.Memo, QStringList({"[Title]", "вторая строка \\ конец"}));
    EXPECT_EQ(title.Family, "DejaVu Serif");
    EXPECT_EQ(title.PointSize, 14);
    EXPECT_TRUE(title.Bold);
    EXPECT_EQ(title.Align, Qt::AlignHCenter | Qt::AlignBottom);
    EXPECT_EQ(title.SourceLine, 7);

    // A later "font" line sets all the defaults anew: the family stays only when named.
    const TReportObject& freq = t.Objects[1];
    EXPECT_EQ(freq.Family, "DejaVu Sans");
    EXPECT_EQ(freq.PointSize, 9);
    EXPECT_FALSE(freq.Bold);
    EXPECT_TRUE(freq.Italic && freq.Underline);
    EXPECT_EQ(freq.FrameWidth, 0.2);
    EXPECT_EQ(freq.Colour, QColor(0, 0, 255));
    EXPECT_EQ(freq.Align, Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(freq.Memo, QStringList({"Частота: [Freq]"}));

    EXPECT_EQ(t.Objects[2].Kind, TKind::Picture);
    EXPECT_EQ(t.Objects[2].Memo, QStringList({"Memo"}));
    EXPECT_EQ(t.Objects[3].Kind, TKind::Line);
    EXPECT_EQ(t.Objects[3].Line, QLineF(0, 110, 120, 110));
    EXPECT_EQ(t.Objects[3].FrameWidth, 0.5);
}

TEST(ReportTemplate, UnreadableLinesAreSkippedWithTheirNumbers) {
    TReportTemplate t;
    const TTemplateReadResult r = Parse("velomast-report 1\n"
                                        "text 0 0 10 10 | good\n"    // 2
                                        "texte 0 0 10 10 | x\n"      // 3 unknown word
                                        "text 0 0 10 | x\n"          // 4 three numbers
                                        "text 0 0 1O 10 | x\n"       // 5 not a number
                                        "text 0 0 10 10 x\n"         // 6 no bar
                                        "text 0 0 10 10 size=0 | x\n" // 7 bad size
                                        "text 0 0 0 10 | x\n"        // 8 no width
                                        "text 0 0 10 10 family=\"A | x\n" // 9 open quote
                                        "line 0 0 10 10 bold\n"      // 10 no such option for lines
                                        "page A9\n"                  // 11 unknown paper
                                        "margins 1 2 3\n"            // 12
                                        "text 0 0 1e9 10 | x\n"      // 13 out of range
                                        "picture 5 5 10 10 | Memo\n", // 14
                                        t);
    ASSERT_EQ(r.Status, TTemplateReadResult::TStatus::Ok);
    ASSERT_EQ(t.Objects.size(), 2u);
    EXPECT_EQ(t.Objects[1].Kind, TKind::Picture);
    std::vector<int> lines;
    for (const TTemplateNote& n : r.Notes) lines.push_back(n.Line);
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(t.PageSize.id(), QPageSize::A4); // the bad page line changed nothing
    EXPECT_EQ(TemplateNotesText(r.Notes),
              "Строка 3 шаблона отчёта пропущена: неизвестное слово «texte» (и ещё строк: 10)");
    EXPECT_EQ(TemplateNotesText({r.Notes[0]}), "Строка 3 шаблона отчёта пропущена: неизвестное слово «texte»");
}

TEST(ReportTemplate, TextWithoutTheSignatureIsNoTemplate) {
    TReportTemplate t;
    for (const char* text : {"", "# only comments\n\n", "text 0 0 10 10 | x\nvelomast-report 1\n", "velomast-report 2\n",
                             "velomast-report\n", "PK\x03\x04"}) {
        const TTemplateReadResult r = Parse(QString::fromUtf8(text), t);
        EXPECT_EQ(r.Status, TTemplateReadResult::TStatus::Unreadable) << text;
        EXPECT_FALSE(r.Message.isEmpty());
        EXPECT_TRUE(t.Objects.empty());
    }
    EXPECT_EQ(Parse(QString::fromUtf8("velomast-report 1\n\0text", 23), t).Status, TTemplateReadResult::TStatus::Unreadable);
}

TEST(ReportTemplate, OnlyARegularFileOfSaneSizeIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TReportTemplate t;
    const QString missing = dir.filePath("нет.frf");
    TTemplateReadResult r = ReadReportTemplate(missing, t);
    EXPECT_EQ(r.Status, TTemplateReadResult::TStatus::Missing);
    EXPECT_EQ(r.Message, "Шаблон отчёта не найден: " + missing);

    // A folder, a FIFO (which would block a reader) and a huge file are refused at once.
    const QString fifo = dir.filePath("fifo.frf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath("big.frf");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("velomast-report 1\n");
        ASSERT_TRUE(f.resize(MaxTemplateBytes + 1));
    }
    for (const QString& name : {dir.path(), fifo, big}) {
        r = ReadReportTemplate(name, t);
        EXPECT_EQ(r.Status, TTemplateReadResult::TStatus::Unreadable) << name.toStdString();
        EXPECT_TRUE(r.Message.startsWith("Шаблон отчёта не прочитан: " + name)) << r.Message.toStdString();
    }

    const QString good = dir.filePath("good.frf");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBFvelomast-report 1\r\ntext 0 0 10 10 | Привет\r\n");
    }
    r = ReadReportTemplate(good, t);
    ASSERT_EQ(r.Status, TTemplateReadResult::TStatus::Ok) << r.Message.toStdString();
    ASSERT_EQ(t.Objects.size(), 1u);
    EXPECT_EQ(t.Objects[0].Memo, QStringList({"Привет"}));
}

TEST(ReportTemplate, TheShippedTemplateReadsWholeAndFitsItsPage) {
    TReportTemplate t;
    const TTemplateReadResult r = ReadReportTemplate(VELOMAST_REPORT_TEMPLATE, t);
    ASSERT_EQ(r.Status, TTemplateReadResult::TStatus::Ok) << r.Message.toStdString();
    EXPECT_TRUE(r.Notes.empty()) << TemplateNotesText(r.Notes).toStdString();

    QString texts;
    int pictures = 0;
    const QRectF area = t.PageLayout().paintRect(QPageLayout::Millimeter).translated(-t.Margins.left(), -t.Margins.top());
    for (const TReportObject& o : t.Objects) {
        if (o.Kind == TKind::Line) {
            EXPECT_TRUE(area.contains(o.Line.p1()) && area.contains(o.Line.p2())) << o.SourceLine;
            continue;
        }
        EXPECT_TRUE(area.contains(o.Rect)) << "line " << o.SourceLine;
        if (o.Kind == TKind::Picture) pictures += o.Memo.value(0) == "Memo";
        texts += o.Memo.join('\n');
    }
    EXPECT_EQ(pictures, 1);
    for (const char* field : {"[Filename]", "[Title]", "[Freq]", "[Height]", "[Ground]", "[Material]", "[Date]"})
        EXPECT_TRUE(texts.contains(field)) << field;
}
