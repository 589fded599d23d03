#include "tfm_grid.h"
#include "ui/language_texts.h"

#include "model/generators.h"
#include "ui/float_spin_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace velomast {

TfmGrid::TfmGrid(QWidget* parent) : TGeneratorDialog(parent) {
    setObjectName("fmGrid");
    setWindowTitle("Заполнение сеткой");
    laTitle_->setText(" Заполнить прямоугольник сеткой: ");

    auto* grid = new QGridLayout(this);
    grid->addWidget(laTitle_, 0, 0, 1, 2);
    seH_ = MakeIntField("seH", 2, 99, 4);
    seV_ = MakeIntField("seV", 2, 100, 4);
    seWireRadius_ = MakeRealField("seWireRadius", 0.1, 10, 2, 0.1, 1.6);
    grid->addWidget(MakeLabel("laH", "Число ячеек по горизонтали:"), 1, 0);
    grid->addWidget(seH_, 1, 1);
    grid->addWidget(MakeLabel("laV", "Число ячеек по вертикали:"), 2, 0);
    grid->addWidget(seV_, 2, 1);
    grid->addWidget(MakeLabel("laWireRadius", "Диаметр провода, мм:"), 3, 0);
    grid->addWidget(seWireRadius_, 3, 1);
    grid->addWidget(MakeLabel("laWireCountCaption", "Количество проводов:"), 4, 0);
    laWireCount_ = MakeLabel("laWireCount", {});
    grid->addWidget(laWireCount_, 4, 1);
    grid->addLayout(MakeButtonRow("Создать"), 5, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    for (QSpinBox* f : {seH_, seV_}) connect(f, &QSpinBox::valueChanged, this, [this] { seHChange(); });
    seHChange();
    ApplyLanguage(this);
}

int TfmGrid::CellsH() const { return seH_->value(); }
int TfmGrid::CellsV() const { return seV_->value(); }
double TfmGrid::WireRadius() const { return seWireRadius_->value() / 2000; }

void TfmGrid::seHChange() { ShowWireCount(laWireCount_, GridWireCount(CellsH(), CellsV())); }

} // namespace velomast
