// The wire commands of the wire popup menu and of the "Провода" and "Инструменты" menus:
// delete, swap ends, isolators, centre on an axis, prolong to the ground, link to the
// nearest wire, divide, merge, sources, combined-wire decomposition, renumbering and
// direction ordering. Each ends with one undo step and the general refresh.
#include "tfm_velomast.h"

#include "model/text_parse.h"
#include "model/wire_commands.h"
#include "ui/params_page.h"

#include <QAction>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {
constexpr int MinPieces = 2;
constexpr int MaxPieces = 200;
constexpr int AskPieces = 7;
} // namespace

void TfmVelomast::ConnectWireCommands() {
    auto hook = [this](const char* name, auto handler) {
        QAction* a = Action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    // Del is the window's own key (it runs this item); the menu only shows it.
    hook("NpDelete", [this] { NpDeleteClick(); })->setShortcut(QKeySequence(Qt::Key_Delete));
    QAction* invert = hook("NpInvert", [this] { NpInvertClick(); });
    invert->setShortcut(QKeySequence("Alt+R"));
    addAction(invert); // the popup's shortcut works in the whole window
    hook("NpMakeIsolator", [this] { NpMakeIsolatorClick(); });
    hook("NRestoreWire", [this] { NRestoreWireClick(); });
    hook("NCenterOnAxis", [this] { NCenterOnAxisClick(); });
    hook("NProlongToGround", [this] { NProlongToGroundClick(); });
    hook("NLinkToNearest", [this] { NLinkToNearestClick(); });
    for (const char* name : {"NpDivide2", "NpDivide3", "NpDivide4", "NpDivide5", "NpDivide6", "NpDivide7more"}) {
        QAction* a = Action(name);
        hook(name, [this, a] { NpDivide2Click(a->data().toInt()); });
    }
    hook("NpMerge", [this] { NpMergeClick(); });
    for (const char* name : {"NpSourceOnBegin", "NpSourceOnCenter", "NpSourceOnEnd", "NpSourceDel"}) {
        QAction* a = Action(name);
        hook(name, [this, a] { NpSourceOnBeginClick(a->data().toInt()); });
    }
    hook("NUncomboSelected", [this] { NUncomboSelectedClick(true); });
    hook("NUncomboAll", [this] { NUncomboSelectedClick(false); });
    hook("NRenumber", [this] { NRenumberClick(); });
    for (const char* name : {"NRedirectSelected", "NRedirectAll"}) {
        QAction* a = Action(name);
        hook(name, [this, a] { NRedirectSelectedClick(a->data().toInt()); });
    }
    hook("NEditCut", [this] { NEditCutClick(); });
    hook("NEditCopy", [this] { NEditCopyClick(); });
    hook("NEditPaste", [this] { NEditPasteClick(); });
    hook("NPasteSpecial", [this] { NPasteSpecialClick(); });
    hook("NMove", [this] { NMoveClick(); });
    hook("NRotate", [this] { NRotateClick(); });
}

TWire* TfmVelomast::OnlySelectedWire() const {
    return Model_->Selection.Count() == 1 ? Model_->Selection.Current() : nullptr;
}

void TfmVelomast::CommitWireCommand(bool autoScale) {
    Model_->StoreUndoStep(autoScale);
    UpdateForm();
}

void TfmVelomast::NpDeleteClick() {
    TWireList& m = *Model_;
    // Del typed into the parameter fields must not delete wires.
    if (m.Selection.Empty() || pcMain_->currentIndex() >= PageGeneral) return;
    int sources = 0, loads = 0;
    CountObjectsOnSelection(m, &sources, &loads);
    if (sources + loads > 0 &&
        !AskYesNo(QStringLiteral("Будет удалено\r\nпроводов %1, источников: %2, нагрузок: %3. Продолжить")
                      .arg(m.Selection.Count())
                      .arg(sources)
                      .arg(loads)))
        return;
    DeleteSelected(m);
    CommitWireCommand(false);
}

void TfmVelomast::NpInvertClick() {
    TWireList& m = *Model_;
    if (m.Selection.Empty()) return;
    for (TWire* w : m.Selection) w->Invert();
    CommitWireCommand(false);
}

void TfmVelomast::NpMakeIsolatorClick() {
    TWireList& m = *Model_;
    if (m.Selection.Empty()) return;
    for (TWire* w : m.Selection) MakeIsolator(*w);
    CommitWireCommand(false);
}

void TfmVelomast::NRestoreWireClick() {
    TWireList& m = *Model_;
    if (m.Selection.Empty()) return;
    for (TWire* w : m.Selection) RestoreConductor(m, *w);
    CommitWireCommand(false);
}

void TfmVelomast::NCenterOnAxisClick() {
    TWire* w = Model_->Selection.Current();
    if (!w) return;
    CenterOnAxis(*w);
    CommitWireCommand(false);
}

void TfmVelomast::NProlongToGroundClick() {
    TWireList& m = *Model_;
    TWire* w = m.Selection.Current();
    // The item is offered for wires that are far from horizontal only: a nearly level
    // wire would reach the ground kilometres away.
    if (!w || m.GroundType <= 0 || std::fabs(w->Zenith() - 90) <= 10) return;
    ProlongToGround(m, *w);
    CommitWireCommand(false);
}

void TfmVelomast::NLinkToNearestClick() {
    TWire* w = OnlySelectedWire();
    if (!w) return;
    // Free ends are those without a connection point in the present geometry.
    Model_->RebuildElements();
    LinkToNearest(*w);
    CommitWireCommand(false);
}

void TfmVelomast::NpDivide2Click(int tag) {
    TWire* w = OnlySelectedWire();
    if (!w || tag < MinPieces) return;
    int n = tag;
    if (tag >= AskPieces) {
        const std::optional<QString> answer = Dialogs_->Input(windowTitle(), "Количество частей:", QString::number(AskPieces));
        if (!answer) return;
        n = std::clamp(StrToIntDef(answer->trimmed().toStdString(), AskPieces), MinPieces, MaxPieces);
    }
    if (!Divide(*Model_, *w, n)) return; // pieces too short: the wire stays whole
    CommitWireCommand(false);
}

void TfmVelomast::NpMergeClick() {
    if (Model_->Selection.Empty()) return;
    MergeSelected(*Model_);
    CommitWireCommand(false);
}

void TfmVelomast::NpSourceOnBeginClick(int tag) {
    TWire* w = OnlySelectedWire();
    // An isolator takes no source; one it already has can still be deleted.
    if (!w || (tag != 0 && w->IsIsolator())) return;
    SetWireSource(*Model_, *w, tag);
    CommitWireCommand(false);
}

void TfmVelomast::NUncomboSelectedClick(bool selectedOnly) {
    TWireList& m = *Model_;
    if (!AskYesNo("При разбивке комб. провода на отдельные данные расчёта могут отличаться. Продолжить")) return;
    if (!selectedOnly && !AskYesNo(Action("NUncomboAll")->toolTip())) return;
    Uncombo(m, selectedOnly, 0);
    // The lines go before the step is stored, so that undo brings them back and redo
    // takes them away again.
    if (!selectedOnly) m.TaperLines.clear();
    m.StoreUndoStep(false);
    Params_->ShowTaperLines();
    UpdateForm();
}

void TfmVelomast::NRenumberClick() {
    TWireList& m = *Model_;
    if (m.OwnCount() <= 1 || !AskYesNo(Action("NRenumber")->toolTip())) return;
    RenumberWires(m);
    CommitWireCommand(false);
}

void TfmVelomast::NRedirectSelectedClick(int tag) {
    const QAction* item = Action(tag == 1 ? "NRedirectSelected" : "NRedirectAll");
    if (!AskYesNo(Action("NRedirection")->text() + item->text())) return;
    RedirectWires(*Model_, tag == 1);
    CommitWireCommand(false);
}

} // namespace velomast
