// Selection commands of the "Провода" menu and the wire popup, hiding and showing wires,
// the element and plane filters, and the element list.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "ui/string_grid.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace velomast {

void TfmVelomast::SetUpTablesAndSelection() {
    auto hook = [this](const char* name, void (TfmVelomast::*handler)()) {
        QAction* a = Action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
    };
    hook("NSelectAll", &TfmVelomast::NSelectAllClick);
    hook("NSelectionInvert", &TfmVelomast::NSelectionInvertClick);
    hook("NSelectElement", &TfmVelomast::NSelectElementClick);
    hook("NSelectionIsol", &TfmVelomast::NSelectionIsolClick);
    hook("NSelectByLength", &TfmVelomast::NSelectByLengthClick);
    hook("NSelectByRadius", &TfmVelomast::NSelectByRadiusClick);
    hook("NHide", &TfmVelomast::NpHideClick);
    hook("NpHide", &TfmVelomast::NpHideClick);
    hook("NWiresShowOnlySelected", &TfmVelomast::NWiresShowOnlySelectedClick);
    hook("NShowAll", &TfmVelomast::NShowAllClick);

    // The two filter buttons: at most one is down, both may be up.
    QToolButton* element = Button("sbFilterElement");
    QToolButton* surface = Button("sbFilterSurface");
    for (auto [b, other] : {std::pair{element, surface}, std::pair{surface, element}}) {
        connect(b, &QToolButton::clicked, this, [this, b = b, other = other](bool down) {
            if (down) other->setChecked(false);
            sbFilterElementClick(b);
        });
    }
    connect(pmWire_, &QMenu::aboutToShow, this, &TfmVelomast::pmWirePopup);
}

// ---- selection ------------------------------------------------------------------------

void TfmVelomast::NSelectAllClick() {
    TWireList& m = *Model_;
    m.ClearSelection();
    for (TWire* w : m) m.SelectWire(w, false);
    UpdateForm();
}

void TfmVelomast::NSelectionInvertClick() {
    TWireList& m = *Model_;
    for (TWire* w : m) {
        if (m.IsSelected(w))
            m.DeselectWire(w);
        else
            m.SelectWire(w, false);
    }
    UpdateForm();
}

void TfmVelomast::SelectElementWires(const TElement* e) {
    TWireList& m = *Model_;
    m.ClearSelection();
    for (TWire* w : m)
        if (w->Element() == e) m.SelectWire(w, false);
}

void TfmVelomast::NSelectElementClick() {
    const TWire* cur = Model_->Selection.Current();
    if (cur && cur->Element()) SelectElementWires(cur->Element());
    UpdateForm();
}

void TfmVelomast::FinishSelectionSearch() {
    TWireList& m = *Model_;
    if (!m.Selection.Empty()) {
        UpdateForm();
        return;
    }
    // Nothing found: the selection stays empty, but the picture and the table must not go
    // on showing the wires that were selected before.
    PaintView();
    SetStatusText(1, LanguageText("TfmVelomast", "Text.WiresTotal").arg(m.OwnCount()));
    RefreshSidePanel();
}

void TfmVelomast::NSelectionIsolClick() {
    Model_->SelectByRadius(0);
    FinishSelectionSearch();
}

void TfmVelomast::NSelectByLengthClick() {
    const TWire* cur = Model_->Selection.Current();
    if (!cur) return;
    Model_->SelectByLength(cur->WireLength());
    FinishSelectionSearch();
}

void TfmVelomast::NSelectByRadiusClick() {
    const TWire* cur = Model_->Selection.Current();
    if (!cur) return;
    Model_->SelectByRadius(cur->Radius);
    FinishSelectionSearch();
}

// ---- hiding and filters ---------------------------------------------------------------

void TfmVelomast::NpHideClick() {
    TWireList& m = *Model_;
    for (TWire* w : m.Selection) {
        w->Visible = false;
        ++m.HiddenCount;
    }
    UpdateForm();
}

void TfmVelomast::NWiresShowOnlySelectedClick() {
    TWireList& m = *Model_;
    for (TWire* w : m) {
        w->Visible = m.IsSelected(w);
        ++m.HiddenCount;
    }
    UpdateForm();
}

void TfmVelomast::NShowAllClick() {
    Button("sbFilterElement")->setChecked(false);
    Button("sbFilterSurface")->setChecked(false);
    sbFilterElementClick(Button("sbFilterElement"));
    TWireList& m = *Model_;
    for (TWire* w : m) w->Visible = true;
    m.HiddenCount = 0;
    UpdateForm();
}

void TfmVelomast::sbFilterElementClick(QToolButton*) {
    TWireList& m = *Model_;
    m.FilterMode = 0;
    const TWire* cur = m.Selection.Current();
    if (!cur || cur->IsIsolator()) {
        // An isolator has no element: the shown wires stay as they are.
        PaintView();
        return;
    }
    const bool element = Button("sbFilterElement")->isChecked();
    const bool surface = Button("sbFilterSurface")->isChecked();
    if (element) m.FilterMode = 2;
    if (surface) m.FilterMode = 1;
    if (element || surface) m.FilterElement = cur->Element() ? cur->Element()->Index : -1;
    m.ApplyFilter();
    UpdateForm();
}

// ---- the element list -----------------------------------------------------------------

void TfmVelomast::dgElementsSelectCell(int, int row) {
    TWireList& m = *Model_;
    if (row < 1) return;
    if (static_cast<size_t>(row) <= m.Elements.size()) {
        SelectElementWires(m.Elements[static_cast<size_t>(row) - 1].get());
        if (m.FilterMode == 2) {
            m.FilterElement = row - 1;
            m.ApplyFilter();
        }
    }
    UpdateForm();
}

QString TfmVelomast::ElementCellText(int col, int row) const {
    if (!Model_ || col < 0 || col > 2) return {};
    const TWireList& m = *Model_;
    if (row == 0) {
        const char* const headers[] = {"dgElements.Col0", "dgElements.Col1", "dgElements.Col2"};
        return LanguageText("TfmVelomast", headers[col]);
    }
    if (row < 0 || static_cast<size_t>(row) > m.Elements.size()) return {};
    const TElement& e = *m.Elements[static_cast<size_t>(row) - 1];
    if (col == 0) return QString::number(row);
    if (col == 1) return QString::fromUtf8(ElementKindLetter(e)) + QString::number(e.ElementWires.size());
    return QString::fromStdString(FormatFloatG(ElementLength(e), 6, 3, DecimalMark_));
}

void TfmVelomast::dgElementsDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState&) {
    TStringGrid::DrawCellText(p, rect, ElementCellText(col, row), true);
}

} // namespace velomast
