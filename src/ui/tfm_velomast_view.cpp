// Zoom and scale, undo and redo, the View menu, and the general refresh.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "settings/settings_file.h"
#include "ui/mouse_controller.h"
#include "ui/params_page.h"
#include "ui/paint_box.h"
#include "view/view_camera.h"
#include "view/view_painter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

#include <cmath>

namespace velomast {

// ---- drawing --------------------------------------------------------------------------

void TfmVelomast::PaintView() {
    if (!Model_) return;
    if (DragPicture_) DragPicture_->Invalidate();
    // The picture is always white: its text and shadow colours are fixed dark ones, not
    // the desktop theme's (a dark theme's near-white text would vanish on it).
    TPlatformLook look;
    look.DecimalMark = DecimalMark_;
    velomast::PaintView(*Model_, ViewBitmap_, nullptr, QRect(0, 0, PaintBox1_->width(), PaintBox1_->height()), false,
                        look);
    if (MouseController_) MouseController_->ModelImageChanged();
    PaintBox1_->update();
}

void TfmVelomast::PaintDragView(const std::vector<size_t>& moving) {
    if (!Model_) return;
    if (!DragPicture_) DragPicture_ = std::make_unique<TDragPicture>();
    TPlatformLook look;
    look.DecimalMark = DecimalMark_;
    if (!DragPicture_->Paint(*Model_, ViewBitmap_, QRect(0, 0, PaintBox1_->width(), PaintBox1_->height()), moving,
                             look)) {
        PaintView();
        return;
    }
    // The hover test is not asked during a drag; its grid is stale from now on.
    if (MouseController_) MouseController_->ModelImageChanged();
    PaintBox1_->update();
}

// ---- zoom -----------------------------------------------------------------------------

void TfmVelomast::ApplyViewScale(bool remember, double value) {
    TWireList& m = *Model_;
    m.SetViewScale(value);
    cbScale_->setEditText(QStringLiteral(" %1%").arg(RoundHalfEven(m.ViewScale * 10)));
    PaintView();
    if (remember) m.RememberedScale = m.ViewScale;
}

namespace {
// The scale box's text as a percentage: trimmed, its first "%" removed; 0 when not a number.
int ParseScaleText(const QString& text) {
    QString t = text.trimmed();
    const int pct = t.indexOf('%');
    if (pct >= 0) t.remove(pct, 1);
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok ? n : 0;
}
} // namespace

void TfmVelomast::cbScaleSelect() {
    TWireList& m = *Model_;
    if (cbScale_->isVisible() && cbScale_->hasFocus()) {
        m.RememberedScale = m.ViewScale;
        m.RememberedCentre = m.ViewCenter;
    }
    const int n = ParseScaleText(cbScale_->currentText());
    if (n > 0) ApplyViewScale(true, n / 10.0);
}

void TfmVelomast::cbScaleEnter() {
    const int n = ParseScaleText(cbScale_->currentText());
    if (n <= 0) return;
    cbScale_->setEditText(QStringLiteral(" %1%").arg(n));
    cbScaleSelect();
    pcMain_->setFocus();
}

void TfmVelomast::NZoomPlusClick() {
    const double s = Model_->ViewScale;
    ApplyViewScale(false, s + s * 0.05);
    UpdateForm();
}

void TfmVelomast::NZoomOutClick() {
    const double s = Model_->ViewScale;
    ApplyViewScale(false, s - s * 0.05);
    UpdateForm();
}

void TfmVelomast::WheelZoom(int delta) {
    const double s = Model_->ViewScale;
    ApplyViewScale(false, s + delta * s / 5000.0);
    UpdateForm();
}

void TfmVelomast::sbScaleUndoClick() {
    Model_->ViewCenter = Model_->RememberedCentre;
    ApplyViewScale(false, Model_->RememberedScale);
}

void TfmVelomast::NScaleCurrentClick() {
    TWireList& m = *Model_;
    // "Вернуть прежний масштаб" goes back to this view: its scale and its centre.
    m.RememberedScale = m.ViewScale;
    m.RememberedCentre = m.ViewCenter;
    m.FitScale();
    ApplyViewScale(false, m.ViewScale);
    CenterOnModel(m);
    UpdateForm();
}

void TfmVelomast::NScaleBySelectedClick() {
    QToolButton* b = Button("sbScaleSelect");
    b->setChecked(true);
    if (pcMain_->currentIndex() == 0) pcMain_->setCurrentIndex(1);
    ModeClick(b);
}

void TfmVelomast::NScaleIgnoreIsolatorsClick() {
    QAction* a = Action("NScaleIgnoreIsolators");
    Model_->BoxSkipIsolators = a->isChecked();
    IniFile_->WriteBool("View", "NScaleIgnoreIsolators", a->isChecked());
    Model_->FitScale();
    PaintView();
}

void TfmVelomast::NAutoScaleClick() {
    QAction* a = Action("NAutoScale");
    Model_->AutoScale = a->isChecked();
    IniFile_->WriteBool("View", "NAutoScale", a->isChecked());
    Model_->FitScale();
    PaintView();
}

// ---- undo -----------------------------------------------------------------------------

void TfmVelomast::NUndoClick(bool undo) {
    // An edit of the combined-wire lines still being typed becomes a step of its own
    // first, so that undo does not silently throw it away.
    Params_->FlushTaperEdit();
    // With nothing to undo (or redo) nothing is restored, refreshed or repainted.
    const bool restored = undo ? Model_->Undo() : Model_->Redo();
    if (!restored) return;
    Params_->ShowTaperLines();
    SetStatusText(4, QString::number(Model_->History.Size()));
    UpdateForm();
}

// ---- the View menu --------------------------------------------------------------------

void TfmVelomast::ViewToggle(QAction* item, bool& flag, bool storeKey) {
    flag = item->isChecked();
    if (storeKey) IniFile_->WriteBool("View", item->objectName(), flag);
    if (item->objectName() == QLatin1String("NViewGrid")) Action("NViewGridType")->setEnabled(flag);
    PaintView();
}

void TfmVelomast::ViewGridTypeClick(int mode) {
    Model_->GridMode = static_cast<uint8_t>(mode);
    IniFile_->WriteInteger("View", "GridMode", mode);
    Action("NViewGridTypeLines")->setChecked(mode == 2);
    Action("NViewGridTypePoints")->setChecked(mode != 2);
    PaintView();
}

void TfmVelomast::ViewDimSizeClick(int delta) {
    Model_->DimFontSize = std::clamp(Model_->DimFontSize + delta, 8, 14);
    IniFile_->WriteInteger("View", "ViewDimFontSize", Model_->DimFontSize);
    PaintView();
}

// ---- the general refresh --------------------------------------------------------------

void TfmVelomast::UpdateForm() {
    if (!Model_) return;
    TWireList& m = *Model_;
    AnalysisModelChanged();
    UpdateFileNameItems();
    // A step may have refitted the view (automatic scaling, paste): the box shows the
    // scale in force, unless the user is typing into it.
    if (!cbScale_->hasFocus()) {
        const QString scale = QStringLiteral(" %1%").arg(RoundHalfEven(m.ViewScale * 10));
        if (cbScale_->currentText() != scale) cbScale_->setEditText(scale);
    }
    // The current wire is chosen before drawing, so the picture shows it.
    if (m.Selection.Empty() && m.OwnCount() > 0) m.SelectWire(m[0], true);
    PaintView();

    if (m.Selection.Empty())
        SetStatusText(1, LanguageText("TfmVelomast", "Text.WiresTotal").arg(m.OwnCount()));
    else
        SetStatusText(1, LanguageText("TfmVelomast", "Text.SelectedOf").arg(m.Selection.Count()).arg(m.OwnCount()));
    if (m.GroundType != 0) {
        m.ComputeBox();
        SetStatusText(3, LanguageText("TfmVelomast", "Text.Height")
                             .arg(QString::fromStdString(FloatToStrGeneral(m.BaseHeight, 15, DecimalMark_)),
                                  QString::fromStdString(FloatToStrGeneral(m.BaseHeight + m.BoxMax.Z, 15, DecimalMark_))));
    } else {
        SetStatusText(3, LanguageText("TfmVelomast", "Text.FreeSpace"));
    }
    if (m.DroppedUndoSteps > 0) {
        // The history is bounded; say so when its oldest steps go, once per commit.
        SetStatusText(0, QStringLiteral(" Самые старые шаги отмены удалены (%1): история ограничена %2 МБ")
                             .arg(m.DroppedUndoSteps)
                             .arg(m.History.Limit() >> 20));
        m.DroppedUndoSteps = 0;
    }
    RefreshSidePanel();
}

} // namespace velomast
