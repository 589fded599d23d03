#include "tfm_coli.h"
#include "ui/language_texts.h"

#include "model/generators.h"
#include "model/vec3.h"
#include "ui/float_spin_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace velomast {

TfmColi::TfmColi(QWidget* parent) : TGeneratorDialog(parent) {
    setObjectName("fmColi");
    setWindowTitle("Создать коллинеарную антенну на основе провода");
    laTitle_->setText(" Добавить элементы: ");

    auto* grid = new QGridLayout(this);
    grid->addWidget(laTitle_, 0, 0, 1, 3);
    seWCount_ = MakeIntField("seWCount", 1, 30, 4);
    seRatio_ = MakeIntField("seRatio", 1, 40, 10);
    rseRatioLen_ = MakeRealField("rseRatioLen", 0.001, 100, 3, 0.001, 1);
    seShift_ = MakeRealField("seShift", 1, 5000, 1, 0.1, 10);
    grid->addWidget(MakeLabel("laWCount", "Число пассивных элементов:"), 1, 0);
    grid->addWidget(seWCount_, 1, 1);
    grid->addWidget(MakeLabel("laRatio", "Перекрытие по длине:"), 2, 0);
    grid->addWidget(seRatio_, 2, 1);
    grid->addWidget(MakeLabel("laRatioUnit", "%"), 2, 2);
    grid->addWidget(rseRatioLen_, 3, 1);
    grid->addWidget(MakeLabel("laRatioLenUnit", "м."), 3, 2);
    grid->addWidget(MakeLabel("laShift", "Зазор между элементами, мм:"), 4, 0);
    grid->addWidget(seShift_, 4, 1);
    grid->addWidget(MakeLabel("laFirstLengthCaption", "Длина первого элемента, м.:"), 5, 0);
    laFirstLength_ = MakeLabel("laFirstLength", {});
    laWL_ = MakeLabel("laWL", {});
    grid->addWidget(laFirstLength_, 5, 1);
    grid->addWidget(laWL_, 5, 2);
    grid->addWidget(MakeLabel("laSumLenCaption", "Длина всей антенны:"), 6, 0);
    laSumLen_ = MakeLabel("laSumLen", {});
    grid->addWidget(laSumLen_, 6, 1);
    for (QLabel* l : {laFirstLength_, laSumLen_}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addLayout(MakeButtonRow("Создать"), 7, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    for (QSpinBox* f : {seWCount_, seRatio_}) connect(f, &QSpinBox::valueChanged, this, [this] { seWCountChange(); });
    connect(rseRatioLen_, &QDoubleSpinBox::valueChanged, this, [this] { rseRatioLenChange(); });
    // Leaving the metres brings them to the whole percentage that is used.
    connect(rseRatioLen_, &QDoubleSpinBox::editingFinished, this, [this] {
        if (!rseRatioLen_->hasFocus()) seWCountChange();
    });
    ApplyLanguage(this);
}

void TfmColi::Prepare(double length, double wavelength) {
    Length_ = length;
    laFirstLength_->setText(Number(length, 7, 3));
    laWL_->setText(Number(wavelength > 0 ? length / wavelength : 0, 7, 3) + "wl");
    seWCountChange();
}

int TfmColi::Count() const { return seWCount_->value(); }
double TfmColi::Gap() const { return seShift_->value() / 1000; }
double TfmColi::Overlap() const { return seRatio_->value() / 100.0; }

void TfmColi::seWCountChange() {
    // While the metres are being typed they stay as typed.
    if (!FromMetres_) {
        const QSignalBlocker quiet(rseRatioLen_);
        rseRatioLen_->setValue(seRatio_->value() * Length_ / 100);
    }
    laSumLen_->setText(Number(ColinearLength(Length_, Count(), Overlap()), 7, 3));
}

void TfmColi::rseRatioLenChange() {
    if (!rseRatioLen_->hasFocus() || !(Length_ > 0)) return;
    FromMetres_ = true;
    seRatio_->setValue(static_cast<int>(RoundHalfEven(rseRatioLen_->value() * 100 / Length_)));
    FromMetres_ = false;
}

} // namespace velomast
