// The generators of the wire popup menu (cage and coil around a wire, colinear array,
// grid fill and box on a rectangle) and the non-round conductor calculator of the Tools
// menu and of the wire table's diameter button. Each generator ends with one undo step and
// the general refresh; a cancelled dialog changes nothing.
#include "tfm_velomast.h"

#include "model/generators.h"
#include "ui/tfm_cilinder.h"
#include "ui/tfm_coli.h"
#include "ui/tfm_grid.h"
#include "ui/tfm_house.h"
#include "ui/tfm_shape.h"
#include "view/view_camera.h"

#include <QAction>

namespace velomast {

void TfmVelomast::ConnectGenerators() {
    auto hook = [this](const char* name, auto handler) {
        QAction* a = Action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
    };
    hook("NpMakeFatWire", [this] { NpMakeFatWireClick(); });
    hook("NMakeCoil", [this] { NMakeCoilClick(); });
    hook("NpColinear", [this] { NpColinearClick(); });
    hook("NpCreateBox", [this] { NpCreateBoxClick(); });
    hook("NpFillGrid", [this] { NpFillGridClick(); });
    hook("NShapeCalc", [this] { NShapeCalcClick(); });
}

bool TfmVelomast::SelectionIsQuadrilateral() {
    if (FindQuadrilateral(*Model_)) return true;
    ShowMessage("Выделенные провода не образуют замкнутый четырёхугольник", IUserDialogs::Icon::Warning);
    return false;
}

bool TfmVelomast::CommitGenerated(int made, bool autoScale) {
    if (made <= 0) {
        ShowMessage("Новые провода не созданы: все они совпали бы с имеющимися проводами или имели бы нулевую длину");
        return false;
    }
    CommitWireCommand(autoScale);
    return true;
}

void TfmVelomast::NpMakeFatWireClick() {
    TWireList& m = *Model_;
    TWire* base = m.Selection.Current();
    if (!base) return;
    TfmCilinder dialog(this);
    dialog.Prepare(TfmCilinder::TMode::Cage, base->Number(), base->WireLength());
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    CommitGenerated(MakeFatWire(m, *base, dialog.CageParams()), m.AutoScale);
}

void TfmVelomast::NMakeCoilClick() {
    TWireList& m = *Model_;
    TWire* base = m.Selection.Current();
    if (!base) return;
    TfmCilinder dialog(this);
    dialog.Prepare(TfmCilinder::TMode::Coil, base->Number(), base->WireLength());
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    CommitGenerated(MakeCoil(m, *base, dialog.CoilParams()), m.AutoScale);
}

void TfmVelomast::NpColinearClick() {
    TWireList& m = *Model_;
    TWire* w = OnlySelectedWire();
    if (!w) return;
    TfmColi dialog(this);
    dialog.Prepare(w->WireLength(), m.Wavelength);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    const int made = MakeColinear(m, *w, dialog.Count(), dialog.Gap(), dialog.Overlap());
    if (made <= 0) {
        CommitGenerated(made, false);
        return;
    }
    // The antenna grows well beyond the view: always refit, and centre on it.
    m.StoreUndoStep(true);
    CenterOnModel(m);
    UpdateForm();
}

void TfmVelomast::NpFillGridClick() {
    TWireList& m = *Model_;
    if (m.Selection.Count() != 4 || !SelectionIsQuadrilateral()) return;
    TfmGrid dialog(this);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    // The frame gives way to the grid even where grid wires are already there.
    if (FillGrid(m, dialog.CellsH(), dialog.CellsV(), dialog.WireRadius())) CommitWireCommand(false);
}

void TfmVelomast::NpCreateBoxClick() {
    TWireList& m = *Model_;
    if (m.Selection.Count() != 4 || !SelectionIsQuadrilateral()) return;
    TfmHouse dialog(this);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return;
    const std::optional<int> made = MakeBox(m, dialog.Storeys(), dialog.StoreyHeight(), dialog.Downwards());
    if (made) CommitGenerated(*made, m.AutoScale);
}

void TfmVelomast::NShapeCalcClick() {
    TfmShape dialog(this);
    dialog.SetCalculatorOnly();
    Dialogs_->Exec(dialog);
}

std::optional<double> TfmVelomast::RunShapeCalculator() {
    TfmShape dialog(this);
    if (Dialogs_->Exec(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Diameter();
}

} // namespace velomast
