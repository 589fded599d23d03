#include "tfm_move.h"
#include "ui/language_texts.h"

#include "ui/float_spin_edit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace velomast {

TfmMove::TfmMove(QWidget* parent) : TTransformDialog(parent) {
    setObjectName("fmMove");
    setWindowTitle("Перемещение");

    auto* grid = new QGridLayout(this);
    grid->addWidget(laTitle_, 0, 0, 1, 3);
    const char* const names[] = {"fseX", "fseY", "fseZ"};
    const char* const captions[] = {"По оси X (вперёд-назад) на:", "По оси Y (вправо-влево) на:",
                                    "По оси Z (вверх-вниз) на:"};
    TFloatSpinEdit** fields[] = {&fseX_, &fseY_, &fseZ_};
    for (int i = 0; i < 3; ++i) {
        auto* f = new TFloatSpinEdit(this);
        f->setObjectName(names[i]);
        f->setRange(-100, 100);
        f->setValue(0);
        f->setMinimumWidth(90);
        *fields[i] = f;
        auto* caption = new QLabel(QString::fromUtf8(captions[i]), this);
        caption->setObjectName(QStringLiteral("la%1").arg(QLatin1String(names[i] + 3)));
        auto* unit = new QLabel("метров", this);
        unit->setObjectName(QStringLiteral("la%1Unit").arg(QLatin1String(names[i] + 3)));
        grid->addWidget(caption, i + 1, 0);
        grid->addWidget(f, i + 1, 1);
        grid->addWidget(unit, i + 1, 2);
        connect(f, &QDoubleSpinBox::valueChanged, this, [this] { OffsetChanged(); });
    }
    chKeepConnection_ = new QCheckBox("Не разрывать соединения с другими проводами", this);
    chKeepConnection_->setObjectName("chKeepConnection");
    chKeepConnection_->setChecked(true);
    grid->addWidget(chKeepConnection_, 4, 0, 1, 3);

    QHBoxLayout* buttons = MakeButtonRow("Переместить");
    btOK_->setEnabled(false);
    grid->addLayout(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    ApplyLanguage(this);
}

void TfmMove::Prepare(TVariant variant, int count, int wireNumber) {
    if (variant == TVariant::Paste) {
        SetTitles("TfmMove", "Paste", count, wireNumber);
        chKeepConnection_->hide();
    } else {
        SetTitles("TfmMove", "Move", count, wireNumber);
        chKeepConnection_->show();
    }
}

void TfmMove::SetGroundLimit(double lowestZ, double baseHeight) {
    GroundLimit_ = true;
    // Up to the next shown tenth, so that the limit itself never lies below the ground;
    // wires already under the ground may stay where they are but go no lower.
    const double limit = std::ceil(-(lowestZ + baseHeight) * 10 - 1e-6) / 10;
    fseZ_->setMinimum(std::min(limit, 0.0));
    OffsetChanged();
}

Vec3 TfmMove::Offset() const { return {fseX_->value(), fseY_->value(), fseZ_->value()}; }

bool TfmMove::KeepConnection() const { return chKeepConnection_->isChecked(); }

void TfmMove::OffsetChanged() {
    bool enable = fseX_->value() != 0 || fseY_->value() != 0 || fseZ_->value() != 0;
    // Only Z has a ground limit: at it the lowest end would touch the ground. Staying at
    // the same height is always allowed, even for wires that already touch it.
    const double z = fseZ_->value();
    const bool atGround = GroundLimit_ && z != 0 && z <= fseZ_->minimum();
    fseZ_->SetWarning(atGround);
    if (atGround) enable = false;
    btOK_->setEnabled(enable);
}

} // namespace velomast
