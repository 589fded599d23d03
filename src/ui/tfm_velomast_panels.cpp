// The side panel beside the view (wires, elements, scene) and the parameters page.
#include "tfm_velomast.h"

#include "model/number_format.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velomast {

void TfmVelomast::BuildSidePanel(QTabWidget* panel) {
    auto* wires = new QWidget(panel);
    wires->setObjectName("tsWires");
    auto* wl = new QVBoxLayout(wires);
    laWire_ = new QLabel("Провод:", wires);
    laWire_->setObjectName("laWire");
    wl->addWidget(laWire_);
    wl->addStretch(1);
    panel->addTab(wires, "Провода");

    auto* elements = new QWidget(panel);
    elements->setObjectName("tsElements");
    auto* el = new QVBoxLayout(elements);
    auto* cap = new QLabel("Радиус поворота:", elements);
    cap->setObjectName("laRadiusMaxCap");
    laRadiusMax_ = new QLabel(elements);
    laRadiusMax_->setObjectName("laRadiusMax");
    laRadiusMax_->setToolTip("Минимальный радиус поворота");
    el->addWidget(cap);
    el->addWidget(laRadiusMax_);
    el->addStretch(1);
    panel->addTab(elements, "Элементы");

    auto* scene = new QWidget(panel);
    scene->setObjectName("tsScene");
    panel->addTab(scene, "Сцена");
    panel->setMinimumWidth(230);
}

void TfmVelomast::BuildParamsPage(QWidget* page) {
    auto* hint = new QLabel(page);
    hint->setObjectName("laParamsPlaceholder");
    page->layout()->addWidget(hint);
}

void TfmVelomast::FillParamsPage() {}

void TfmVelomast::RefreshSidePanel() {
    TWireList& m = *Model_;
    if (m.Selection.Count() <= 1) {
        const TWire* cur = m.Selection.Current();
        laWire_->setText(QStringLiteral("Провод #%1").arg(cur ? cur->Number() : 0));
    } else {
        laWire_->setText(QStringLiteral("Всего выбрано: %1").arg(m.Selection.Count()));
    }
    laWire_->setEnabled(m.OwnCount() > 0);
    laRadiusMax_->setText(QString::fromStdString(FloatToStrFixed(m.TurningRadius(), 5, 2, DecimalMark_)) + " м.");
}

bool TfmVelomast::StartTableEditing() { return false; }

} // namespace velomast
