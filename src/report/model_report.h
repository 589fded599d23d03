// The model's report: where the template is found, the values of the model's variables,
// and the view picture painted into the objects whose first memo line is "Memo". Shared
// by the window and velomast-cli report.
#pragma once

#include "model/wire_list.h"
#include "report/report.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velomast {

inline constexpr const char* ReportTemplateName = "test.frf";

// Where the template is looked for: beside the program, then in the data folder of an
// installed program (../share/velomast beside its bin folder).
QStringList ReportTemplateCandidates(const QString& programFolder);
// The first candidate that exists; when none does, the first one (named in the message).
QString FindReportTemplate(const QString& programFolder);

// What the window shows of the model beside the model's own fields.
struct TModelReportTexts {
    QString Ground;   // the ground box's text
    QString Material; // the material box's text
    char DecimalMark = '.';
};

// The texts of the ground and material boxes for the model's codes, as the parameters
// page shows them (for a report made without the window).
TModelReportTexts ModelReportTexts(const TWireList& m, char decimalMark);

// The value of one of the model's variables: "Filename" (the full path; empty for a new
// model), "Title", "Freq", "Height", "Ground" (trimmed), "Material" (as the box shows it);
// nothing for any other name.
std::optional<QString> ModelReportValue(const TWireList& m, const TModelReportTexts& texts, const QString& name);

// Whether an object is the view's picture: it has a memo and its first line is "Memo".
bool IsViewPictureObject(const TReportObject& o);

// Draws `picture` into `target` as large as it fits, its aspect kept, centred.
void DrawReportPicture(QPainter& p, const QRect& target, const QImage& picture);

// Gives a report the model's variables and the view picture. `picture` is asked once, when
// the first picture object is painted; the model must outlive the report's use.
void ConnectModelReport(TReport& report, const TWireList& m, const TModelReportTexts& texts,
                        std::function<QImage()> picture);

// Writes the prepared report as a PDF file through a temporary file, so that a failure
// leaves an old file whole; an existing file the user may not write is left alone. The
// message of a failure, empty on success.
QString WriteReportPdf(const TReport& report, const QString& fileName, const QString& title);

// Whether two names reach one existing file (also through a link or another path), so
// that a report is never written over the model or the template it was made from.
bool IsSameFile(const QString& a, const QString& b);

} // namespace velomast
