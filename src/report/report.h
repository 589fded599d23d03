// The report engine: loads a template, prepares its pages (filling in the [Name] fields
// with the values the program gives, or the engine's own), and paints the prepared pages
// on a printer, a PDF document or an image, asking the program to paint its picture
// objects. Preview and print dialogs are the window's; this part needs only Qt Gui.
#pragma once

#include "report/report_template.h"

#include <QByteArray>
#include <QImage>
#include <QPageLayout>

#include <functional>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRect;

namespace velomast {

class TReport {
public:
    // The value of a field [Name] while preparing; nothing leaves the name to the engine,
    // which knows "Date" (today, the locale's short form) and "Page" (the page number) and
    // keeps any other field as written.
    std::function<std::optional<QString>(const QString& name)> OnGetValue;
    // Paints a picture object into `rect` (device pixels; the painter clips to it).
    std::function<void(QPainter& painter, const QRect& rect, const TReportObject& object)> OnUserPaint;

    // Loads a template afresh, dropping what was prepared. False when the file is missing
    // or is no template; LoadResult() says which and names the skipped lines.
    bool LoadFromFile(const QString& fileName);
    // Loads from text, as LoadFromFile does from a file.
    bool LoadFromText(const QString& text);
    const TTemplateReadResult& LoadResult() const { return LoadResult_; }
    const TReportTemplate& Template() const { return Template_; }

    // Fills in the fields of every page. False when nothing is loaded or the template has
    // no object to show.
    bool PrepareReport();
    bool Prepared() const { return !Pages_.empty(); }
    int PageCount() const { return static_cast<int>(Pages_.size()); }
    // The objects of a prepared page, their memo lines filled in.
    const std::vector<TReportObject>& Page(int index) const { return Pages_.at(index); }

    QPageLayout PageLayout() const { return Template_.PageLayout(); }
    // Gives the device the template's paper, orientation and margins.
    void ApplyPageLayout(QPagedPaintDevice& device) const;

    // Paints a prepared page; the painter's origin is the top-left corner of the area
    // inside the margins, and `dpiX`, `dpiY` are the device's units per inch.
    void PaintPage(QPainter& painter, int index, double dpiX, double dpiY) const;
    // Paints every prepared page on a printer or PDF writer, one sheet each. False when
    // painting cannot begin or end (no printer, a write error).
    bool Print(QPagedPaintDevice& device) const;
    // The prepared report as a PDF document; empty when it could not be made.
    QByteArray PdfDocument(const QString& title) const;
    // A prepared page as a white sheet at `dpi`, margins included.
    QImage PageImage(int index, int dpi) const;

private:
    QString FillFields(const QString& line, int page) const;

    TReportTemplate Template_;
    TTemplateReadResult LoadResult_;
    bool Loaded_ = false;
    std::vector<std::vector<TReportObject>> Pages_;
};

} // namespace velomast
