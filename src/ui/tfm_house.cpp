#include "tfm_house.h"
#include "ui/language_texts.h"

#include "ui/float_spin_edit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

namespace velomast {

TfmHouse::TfmHouse(QWidget* parent) : TGeneratorDialog(parent) {
    setObjectName("fmHouse");
    setWindowTitle("Параллилепипед");
    laTitle_->setText(" Создать параллилепипед на основе прямоугольника");

    auto* grid = new QGridLayout(this);
    grid->addWidget(laTitle_, 0, 0, 1, 2);
    seCount_ = MakeIntField("seCount", 2, 99, 4);
    seH_ = MakeRealField("seH", 0.1, 10, 2, 0.1, 2.7);
    // The new wires take the model's default radius; the field is shown for reference.
    TFloatSpinEdit* diameter = MakeRealField("seWireRadius", 0.1, 10, 2, 0.1, 1.6);
    grid->addWidget(MakeLabel("laCount", "Число этажей:"), 1, 0);
    grid->addWidget(seCount_, 1, 1);
    grid->addWidget(MakeLabel("laH", "Высота этажа, м:"), 2, 0);
    grid->addWidget(seH_, 2, 1);
    grid->addWidget(MakeLabel("laWireRadius", "Диаметр провода, мм:"), 3, 0);
    grid->addWidget(diameter, 3, 1);
    chDirection_ = new QCheckBox("В сторону уменьшения координат", this);
    chDirection_->setObjectName("chDirection");
    grid->addWidget(chDirection_, 4, 0, 1, 2);
    grid->addWidget(MakeLabel("laWireCountCaption", "Количество новых проводов:"), 5, 0);
    laWireCount_ = MakeLabel("laWireCount", {});
    grid->addWidget(laWireCount_, 5, 1);
    QLabel* total = MakeLabel("laTotalLengthCaption", "Общий расход провода:");
    QLabel* totalValue = MakeLabel("laTotalLength", {});
    total->hide();
    totalValue->hide();

    auto* roof = new QGroupBox(" Крыша ", this);
    roof->setObjectName("gbRoof");
    auto* r = new QGridLayout(roof);
    r->addWidget(MakeLabel("laRoofHeight", "Высота конька, м:"), 0, 0);
    r->addWidget(MakeRealField("seRoofHeight", 0.1, 10, 2, 0.1, 3), 0, 1);
    auto* roofGrid = new QCheckBox("Заполнить крышу сеткой", roof);
    roofGrid->setObjectName("chRoofGrid");
    r->addWidget(roofGrid, 1, 0, 1, 2);
    roof->setEnabled(false);
    grid->addWidget(roof, 6, 0, 1, 2);
    grid->addLayout(MakeButtonRow("Создать"), 7, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(seCount_, &QSpinBox::valueChanged, this, [this] { seCountChange(); });
    seCountChange();
    ApplyLanguage(this);
}

int TfmHouse::Storeys() const { return seCount_->value(); }
double TfmHouse::StoreyHeight() const { return seH_->value(); }
bool TfmHouse::Downwards() const { return chDirection_->isChecked(); }

void TfmHouse::seCountChange() { laWireCount_->setText(QString::number(8 * Storeys())); }

} // namespace velomast
