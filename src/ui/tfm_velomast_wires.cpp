// The wire table dgWire: painting, the editor's texts, committing typed values to the
// selected wires, the diameter button, and the wire popup's enabling.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "model/text_parse.h"
#include "ui/string_grid.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <cmath>

namespace velomast {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const char* const RowLabels[] = {"Параметр", "Длина, ", "X1", "Y1", "Z1", "X2", "Y2", "Z2",
                                 "Диаметр, мм", "Азимут", "Зенитн. угол", "Сегментация"};
const char* const RowKeys[] = {"dgWire.Row0", "dgWire.Row1", "", "", "", "", "", "",
                               "dgWire.Row8", "dgWire.Row9", "dgWire.Row10", "dgWire.Row11"};

// The coordinate rows of the axis that a flat view does not show.
bool IsHiddenAxisRow(int viewKind, int row) {
    switch (viewKind) {
    case 1: return row == TfmVelomast::RowZ1 || row == TfmVelomast::RowZ2;
    case 2: return row == TfmVelomast::RowY1 || row == TfmVelomast::RowY2;
    case 3: return row == TfmVelomast::RowX1 || row == TfmVelomast::RowX2;
    default: return false;
    }
}

double Coordinate(const TWire& w, int row) {
    switch (row) {
    case TfmVelomast::RowX1: return w.P1().X;
    case TfmVelomast::RowY1: return w.P1().Y;
    case TfmVelomast::RowZ1: return w.P1().Z;
    case TfmVelomast::RowX2: return w.P2().X;
    case TfmVelomast::RowY2: return w.P2().Y;
    default: return w.P2().Z;
    }
}

double SummaryCoordinate(const TSelectionSummary& s, int row) {
    switch (row) {
    case TfmVelomast::RowX1: return s.X1;
    case TfmVelomast::RowY1: return s.Y1;
    case TfmVelomast::RowZ1: return s.Z1;
    case TfmVelomast::RowX2: return s.X2;
    case TfmVelomast::RowY2: return s.Y2;
    default: return s.Z2;
    }
}

// Sets the coordinate of `row` in the start (rows X1..Z1) or end (X2..Z2) point; with
// `both` the same coordinate of the other end as well.
void SetCoordinate(Vec3& start, Vec3& end, int row, double v, bool both) {
    const int axis = (row - TfmVelomast::RowX1) % 3;
    const bool atStart = row <= TfmVelomast::RowZ1;
    auto set = [axis, v](Vec3& p) { (axis == 0 ? p.X : axis == 1 ? p.Y : p.Z) = v; };
    set(atStart ? start : end);
    if (both) set(atStart ? end : start);
}

// The small button at the right end of the diameter cell: a rounded square with three dots.
void DrawCellButton(QPainter& p, const QRect& cell, const QPalette& pal) {
    const int h = cell.height();
    QRect r(cell.right() - h + 1, cell.top(), h, h);
    r.adjust(2, 3, -2, -3);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pal.color(QPalette::Dark));
    p.setBrush(pal.color(QPalette::Button));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::ButtonText));
    const double y = r.center().y() + 0.5;
    for (int i = -1; i <= 1; ++i) p.drawEllipse(QPointF(r.center().x() + 0.5 + i * 3.5, y), 1.0, 1.0);
    p.restore();
}

} // namespace

bool TfmVelomast::WavelengthMode() const { return Button("sbWL")->isChecked(); }
bool TfmVelomast::MirrorMode() const { return Button("sbMirror")->isChecked(); }
bool TfmVelomast::KeepConnectionMode() const { return chKeepConnection_->isChecked(); }

QString TfmVelomast::WireCellText(int col, int row) const {
    if (!Model_ || row < 0 || row >= WireTableRows || col < 0 || col > 1) return {};
    const TWireList& m = *Model_;
    const bool wl = WavelengthMode();
    if (col == 0) {
        // The coordinate names are the same in every language.
        QString label = row < 2 || row > 7 ? LanguageText("TfmVelomast", RowKeys[row]) : QString::fromUtf8(RowLabels[row]);
        if (row == RowLength) label += wl ? QStringLiteral("wl") : LanguageText("TfmVelomast", "Text.Metres");
        return label;
    }
    if (row == 0) return LanguageText("TfmVelomast", "dgWire.Col1");
    if (m.Selection.Empty()) return {};

    const TSelectionSummary& s = Summary_;
    const double lambda = m.Wavelength;
    const QString mixed = QStringLiteral("NAN");
    switch (row) {
    case RowLength:
        if (s.Length == NoValue) return mixed;
        return Q(wl ? FormatFloatG(s.Length / lambda, 6, 6, DecimalMark_) : FormatFloatG(s.Length, 5, 5, DecimalMark_));
    case RowDiameter:
        if (s.Radius == NoValue) return mixed;
        if (s.Radius == 0) return LanguageText("TfmVelomast", "Text.Isolator");
        if (s.Radius > 0) return Q(FloatToStrGeneral(s.Radius * 2000, 15, DecimalMark_));
        return Q(FloatToStrGeneral(s.Radius * 1000, 15, DecimalMark_)) + LanguageText("TfmVelomast", "Text.Combined");
    case RowAzimuth:
    case RowZenith: {
        const double a = row == RowAzimuth ? s.Azimuth : s.Zenith;
        if (a == NoValue) return mixed;
        return Q(FloatToStrFixed(a, 5, 2, DecimalMark_)) + QStringLiteral("°");
    }
    case RowSegments:
        if (s.Segments == NoValueInt) return mixed;
        return s.Segments == -1 ? LanguageText("TfmVelomast", "Text.Auto") : QString::number(s.Segments);
    default: {
        double v = SummaryCoordinate(s, row);
        if (v == NoValue) return mixed;
        if (wl) v = Round4(v / lambda);
        return Q(FloatToStrGeneral(v, 15, DecimalMark_));
    }
    }
}

void TfmVelomast::dgWireDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState&) {
    if (!Model_ || row < 0 || row >= WireTableRows) return;
    const QString text = WireCellText(col, row);
    if (col == 0) {
        if (!Model_->Is3DView && IsHiddenAxisRow(Model_->ViewKind, row)) p.setPen(QColor(0xC0, 0xC0, 0xC0));
        TStringGrid::DrawCellText(p, rect, text, false, 5);
        return;
    }
    // A value that differs between the selected wires is never drawn: its cell is blank
    // on the header colour.
    if (text == QLatin1String("NAN"))
        p.fillRect(rect, dgWire_->FixedColor());
    else
        TStringGrid::DrawCellText(p, rect, text, true);
    if (row == RowDiameter && !Model_->Selection.Empty()) DrawCellButton(p, rect, dgWire_->palette());
}

void TfmVelomast::dgWireGetEditText(int col, int row, QString& text) {
    // A new editor starts without a pending value: only what is typed into it is applied.
    FEditText_.clear();
    FEditValue_ = NoValue;
    const TWire* w = Model_ ? Model_->Selection.Current() : nullptr;
    if (!w || col != 1 || row < RowLength || row >= WireTableRows) return;
    const bool wl = WavelengthMode();
    const double lambda = Model_->Wavelength;
    if (row <= RowZ2) {
        const double v = row == RowLength ? w->WireLength() : Coordinate(*w, row);
        text = Q(wl ? FormatFloatG(v / lambda, 6, 6, DecimalMark_) : FormatFloatG(v, 11, 4, DecimalMark_));
    } else if (row == RowDiameter) {
        const double d = w->Radius >= 0 ? w->Radius * 2000 : w->Radius * 1000;
        text = Q(FormatFloatG(d, 11, 15, DecimalMark_));
    } else if (row == RowAzimuth || row == RowZenith) {
        const double a = row == RowAzimuth ? w->Azimuth() : w->Zenith();
        text = QString(7, ' ') + Q(FloatToStrFixed(a, 3, 2, DecimalMark_));
    } else {
        text = QString::number(w->Segments);
    }
}

void TfmVelomast::dgWireSetEditText(int, int, const QString& text) {
    FEditText_ = text;
    FEditValue_ = ParseRealAnyMark(text.toStdString());
}

void TfmVelomast::SetWireTableRow(int row, bool edit) {
    dgWire_->HideEditor();
    dgWire_->SetCurrent(1, row);
    if (edit) dgWire_->ShowEditor();
}

bool TfmVelomast::dgWireKeyDown(int key, Qt::KeyboardModifiers shift) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Tab) return false;
    const int row = dgWire_->Row();
    if (row < RowLength || row >= WireTableRows) return false;
    const int next = row == RowSegments ? RowLength : row + 1;
    if (FEditValue_ == NoValue) {
        // Text that is not a number stays in the editor to be put right; with nothing
        // typed the key just moves on.
        if (!FEditText_.trimmed().isEmpty()) return true;
        SetWireTableRow(next, true);
        return true;
    }

    double v = FEditValue_;
    const std::string text = FEditText_.toStdString();
    dgWire_->HideEditor();
    FEditValue_ = NoValue;
    FEditText_.clear();

    TWireList& m = *Model_;
    if (row < RowDiameter && WavelengthMode()) v = Round4(v * m.Wavelength);
    const bool both = shift & Qt::ShiftModifier;
    const bool keep = KeepConnectionMode();
    const bool mirror = MirrorMode();
    const int fix = Button("sbFixStart")->isChecked() ? 0 : Button("sbFixEnd")->isChecked() ? 1 : 2;

    // One undo step per changed wire. Every step is a snapshot of the whole model, so an
    // edit of very many wires of a big model would fill the memory with snapshots (20 000
    // of 20 000 wires take 25 GB): past a budget the edit becomes one step.
    const std::vector<TWire*> wires = m.Selection.ToVector();
    const bool stepPerWire = wires.size() * m.OwnCount() <= MaxSnapshotRecordsPerEdit;
    bool pending = false;
    bool pendingScale = false;
    auto step = [&](bool autoScale) {
        if (stepPerWire) {
            m.StoreUndoStep(autoScale);
        } else {
            pending = true;
            pendingScale = pendingScale || autoScale;
        }
    };
    for (TWire* w : wires) {
        Vec3 start = w->P1();
        Vec3 end = w->P2();
        switch (row) {
        case RowLength:
            if (v > 0 && v != w->WireLength()) {
                w->SetLength(fix, true, v);
                step(m.AutoScale);
            }
            break;
        case RowDiameter:
            if (v > -100 && v < 1000) {
                w->Radius = v > 0 ? v / 2000 : v / 1000;
                step(false);
            }
            break;
        case RowAzimuth:
            if (v != w->Azimuth()) {
                w->SetAzimuth(v);
                step(m.AutoScale);
            }
            break;
        case RowZenith:
            if (v != w->Zenith()) {
                w->SetZenith(v);
                step(m.AutoScale);
            }
            break;
        case RowSegments: {
            const int32_t n = StrToIntDef(Trim(text), -1);
            if (n != w->Segments) {
                w->Segments = n;
                step(false);
            }
            break;
        }
        default:
            SetCoordinate(start, end, row, v, both);
            // A refused change (a duplicate or zero-length wire) leaves the wire as it was.
            w->SetEnds(start, end, keep, mirror, true);
            step(m.AutoScale);
            break;
        }
    }
    if (pending) m.StoreUndoStep(pendingScale);
    UpdateSelectionSummary(m, Summary_);
    m.RebuildElements();
    UpdateForm();
    SetWireTableRow(next, true);
    return true;
}

bool TfmVelomast::dgWireMouseDown(const QPoint& pos) {
    const QModelIndex hit = dgWire_->indexAt(pos);
    if (!hit.isValid() || hit.column() != 1 || hit.row() != RowDiameter) return false;
    if (pos.x() < dgWire_->viewport()->width() - 20) return false;
    const std::optional<double> d = RunShapeCalculator();
    if (d && Model_ && !Model_->Selection.Empty()) {
        TWireList& m = *Model_;
        for (TWire* w : m.Selection) w->Radius = *d / 2000;
        m.StoreUndoStep(false);
        dgWire_->HideEditor();
        UpdateForm();
    }
    return true;
}

void TfmVelomast::dgWireEnter() {
    if (!Button("sbEditMode")->isChecked()) PressButton("sbEditMode");
}

void TfmVelomast::sbWLClick() {
    dgWire_->HideEditor();
    dgWire_->viewport()->update();
}

void TfmVelomast::chKeepConnectionClick() {
    Model_->KeepConnections = chKeepConnection_->isChecked();
    Model_->RebuildElements();
    UpdateForm();
}

void TfmVelomast::pmWirePopup() {
    TWireList& m = *Model_;
    const size_t n = m.Selection.Count();
    Action("NpMerge")->setEnabled(n > 1);
    if (n == 1) {
        const TWire* w = m.Selection.Current();
        const bool hasSource = m.SourceOf(w) != nullptr;
        Action("NpSourceDel")->setEnabled(hasSource);
        Action("NpSource")->setText(LanguageText("TfmVelomast", hasSource ? "Text.MoveSource" : "Text.AddSource"));
        Action("NpSource")->setEnabled(!w->IsIsolator());
        Action("NpMakeIsolator")->setEnabled(!w->IsIsolator());
    }
    Action("NpCreateRectBased")->setEnabled(n == 4);
    PressButton("sbEditMode");
    const TWire* cur = m.Selection.Current();
    Action("NProlongToGround")
        ->setVisible(n == 1 && std::fabs(cur->Zenith() - 90) > 10 && m.GroundType != 0);
}

} // namespace velomast
