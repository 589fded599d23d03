// Copy, cut and paste of wires through the wire clipboard (which outlives the model that
// was open when it was filled), the text copy on the system clipboard, and the move and
// rotate dialogs.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "files/maa_writer.h"
#include "model/wire_commands.h"
#include "ui/tfm_move.h"
#include "ui/tfm_rotate.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTabWidget>

namespace velomast {

void TfmVelomast::NEditCopyClick() {
    TWireList& m = *Model_;
    if (pcMain_->currentIndex() >= PageGeneral || m.Selection.Empty()) return;
    CopySelection(m, *WireClipboard_);
    // The wires as model-file lines, so that they can be pasted into a model file.
    QString text;
    for (const TWire* w : *WireClipboard_) text += QString::fromStdString(ModelWireLine(*w)) + "\r\n";
    QClipboard* board = QGuiApplication::clipboard();
    board->clear();
    board->setText(text);
    SetStatusText(0, LanguageText("TfmVelomast", "Text.Copied").arg(WireClipboard_->Count()));
}

void TfmVelomast::NEditCutClick() {
    if (pcMain_->currentIndex() >= PageGeneral || Model_->Selection.Empty()) return;
    NEditCopyClick();
    NpDeleteClick();
}

void TfmVelomast::PasteFromClipboard(const Vec3& offset) {
    PasteWires(*Model_, *WireClipboard_, offset);
    Model_->StoreUndoStep(true);
    SetStatusText(0, LanguageText("TfmVelomast", "Text.Pasted").arg(WireClipboard_->Count()));
    UpdateForm();
}

void TfmVelomast::NEditPasteClick() {
    TWireList& m = *Model_;
    if (pcMain_->currentIndex() >= PageGeneral || WireClipboard_->Count() == 0) return;
    if (VecIsZero(m.PasteShift) && PasteWouldDuplicate(m, *WireClipboard_)) {
        if (AskYesNo("Невозможно вставить из-за совпадения проводов.\r\n\r\nВыполнить вставку со смещением координат"))
            NPasteSpecialClick();
        return;
    }
    // After a paste with offset each further paste adds one more offset: a row of copies.
    // Wires may not be taken under the ground by it (those already there stay).
    if (m.GroundType > 0 && m.PasteOffset.Z < 0 &&
        LowestZ(WireClipboard_->Items()) + m.PasteShift.Z + m.PasteOffset.Z + m.BaseHeight < -1e-9) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.PasteBelowGround"));
        return;
    }
    PasteFromClipboard(m.PasteOffset);
}

void TfmVelomast::NPasteSpecialClick() {
    TWireList& m = *Model_;
    TWireList& clip = *WireClipboard_;
    if (pcMain_->currentIndex() >= PageGeneral || clip.Count() == 0) return;
    TfmMove dialog(this);
    // Clipboard wires have no number in the model; a single one is shown as the first of
    // the clipboard.
    dialog.Prepare(TfmMove::TVariant::Paste, static_cast<int>(clip.Count()), 1);
    // The copies land at the clipboard's place moved by every paste shift so far.
    if (m.GroundType > 0) dialog.SetGroundLimit(LowestZ(clip.Items()) + m.PasteShift.Z, m.BaseHeight);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    m.PasteOffset = dialog.Offset();
    PasteFromClipboard(m.PasteOffset);
}

void TfmVelomast::NMoveClick() {
    TWireList& m = *Model_;
    if (m.Selection.Empty()) return;
    TfmMove dialog(this);
    dialog.Prepare(TfmMove::TVariant::Move, static_cast<int>(m.Selection.Count()), m.Selection.Current()->Number());
    if (m.GroundType > 0) dialog.SetGroundLimit(LowestZ(m.Selection.ToVector()), m.BaseHeight);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    MoveSelected(m, dialog.Offset(), dialog.KeepConnection());
    CommitWireCommand(true);
}

void TfmVelomast::NRotateClick() {
    TWireList& m = *Model_;
    if (m.Selection.Empty()) return;
    TfmRotate dialog(this);
    dialog.Prepare(static_cast<int>(m.Selection.Count()), m.Selection.Current()->Number(), m.ViewKind);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    RotateSelected(m, dialog.Axis(), dialog.CenterMode(), dialog.Angle(), dialog.IncreaseStep());
    CommitWireCommand(true);
}

} // namespace velomast
