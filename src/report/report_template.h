// A report template: one page of text objects, frame lines and objects painted by the
// program, read from a plain-text file of our own (UTF-8). The format is described in the
// comment block at the top of resources/test.frf; in short:
//
//   velomast-report 1                          first line that is not blank or a comment
//   page A4 portrait                           paper (A3 A4 A5 B5 Letter Legal, or WxH mm)
//   margins 15 15 15 15                        left top right bottom, mm
//   font family="DejaVu Sans" size=10          defaults of the objects below
//   text X Y W H [options] | TEXT              TEXT may hold [Variable] fields, "\n" breaks
//   picture X Y W H [options] | Memo           painted by the program
//   line X1 Y1 X2 Y2 [width=MM] [color=#RRGGBB]
//
// Positions are millimetres from the top-left corner of the area inside the margins.
#pragma once

#include <QColor>
#include <QLineF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace velomast {

struct TReportObject {
    enum class TKind { Text, Picture, Line };
    TKind Kind = TKind::Text;
    QRectF Rect; // mm; text and picture
    QLineF Line; // mm; a frame line
    // The memo: the text lines as written, fields not yet filled in.
    QStringList Memo;
    QString Family;
    double PointSize = 10;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignTop;
    double FrameWidth = 0; // mm; 0 no frame. For a line, its width.
    QColor Colour{0, 0, 0};
    int SourceLine = 0; // 1-based line of the template file
};

struct TReportTemplate {
    QPageSize PageSize{QPageSize::A4};
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QMarginsF Margins{15, 15, 15, 15}; // mm
    std::vector<TReportObject> Objects;

    QPageLayout PageLayout() const { return QPageLayout(PageSize, Orientation, Margins, QPageLayout::Millimeter); }
};

// A line of the template that was skipped, and why.
struct TTemplateNote {
    int Line = 0;
    QString Text;
};

struct TTemplateReadResult {
    enum class TStatus { Ok, Missing, Unreadable };
    TStatus Status = TStatus::Ok;
    QString Message; // why the file gave no template
    std::vector<TTemplateNote> Notes;
};

// "Строка 7 шаблона отчёта пропущена: ..." for one note; for several, the first and how
// many more.
QString TemplateNotesText(const std::vector<TTemplateNote>& notes);

// Templates larger than this are not templates.
inline constexpr qint64 MaxTemplateBytes = 1 << 20;

// Reads the template text. A text without the signature line is no template; any other
// line that cannot be read is skipped with a note.
TTemplateReadResult ParseReportTemplate(const QString& text, TReportTemplate& out);
// Reads a template file: only a regular file of a sane size is read.
TTemplateReadResult ReadReportTemplate(const QString& fileName, TReportTemplate& out);

} // namespace velomast
