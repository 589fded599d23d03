#include "tfm_rotate.h"
#include "ui/language_texts.h"

#include "ui/float_spin_edit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velomast {

TfmRotate::TfmRotate(QWidget* parent) : TTransformDialog(parent) {
    setObjectName("fmRotate");
    setWindowTitle("Вращение");

    auto* main = new QVBoxLayout(this);
    main->addWidget(laTitle_);

    // The angle with its preset buttons on the left, the axis on the right.
    auto* top = new QHBoxLayout;
    auto* angle = new QGridLayout;
    fseAngle_ = new TFloatSpinEdit(this);
    fseAngle_->setObjectName("fseAngle");
    fseAngle_->setRange(-180, 180);
    fseAngle_->setSingleStep(1);
    fseAngle_->setValue(90);
    fseAngle_->setMinimumWidth(80);
    auto* angleCaption = new QLabel("Угол поворота, градусов:", this);
    angleCaption->setObjectName("laAngle");
    angle->addWidget(angleCaption, 0, 0);
    angle->addWidget(fseAngle_, 0, 1, 1, 3);
    struct Preset {
        const char* Name;
        const char* Caption;
        double Value;
    };
    const Preset presets[2][3] = {{{"sb90cw", "+90°", 90}, {"sb45cw", "+45°", 45}, {"sb30cw", "+30°", 30}},
                                  {{"sb90ccw", "-90°", -90}, {"sb45ccw", "-45°", -45}, {"sb30ccw", "-30°", -30}}};
    const char* const rows[2] = {"По часовой стрелке:", "Против часовой стрелки:"};
    for (int r = 0; r < 2; ++r) {
        auto* rowCaption = new QLabel(QString::fromUtf8(rows[r]), this);
        rowCaption->setObjectName(r == 0 ? "laClockwise" : "laCounterClockwise");
        angle->addWidget(rowCaption, r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            const Preset& p = presets[r][c];
            auto* b = new QToolButton(this);
            b->setObjectName(p.Name);
            b->setText(QString::fromUtf8(p.Caption));
            b->setMinimumWidth(44);
            connect(b, &QToolButton::clicked, this, [this, v = p.Value] {
                // The button only presets the angle; OK does the turning.
                fseAngle_->setValue(v);
                btOK_->setFocus();
            });
            angle->addWidget(b, r + 1, c + 1);
        }
    }
    top->addLayout(angle);
    top->addSpacing(16);
    auto* axes = new QVBoxLayout;
    const char* const axisNames[] = {"rbX", "rbY", "rbZ"};
    const char* const axisCaptions[] = {"Вокруг оси X (\"крен\")", "Вокруг оси Y (\"тангаж\")",
                                        "Вокруг вертикальной оси Z "};
    auto* axisGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        rbAxis_[i] = new QRadioButton(QString::fromUtf8(axisCaptions[i]), this);
        rbAxis_[i]->setObjectName(axisNames[i]);
        axisGroup->addButton(rbAxis_[i], i);
        axes->addWidget(rbAxis_[i]);
    }
    rbAxis_[0]->setChecked(true);
    axes->addStretch(1);
    top->addLayout(axes);
    main->addLayout(top);

    rgCenter_ = new QGroupBox(" Центр вращения вокруг ", this);
    rgCenter_->setObjectName("rgCenter");
    auto* centers = new QVBoxLayout(rgCenter_);
    Centers_ = new QButtonGroup(this);
    const char* const centerCaptions[] = {"нулевой точки координат", "центра каждого из проводов",
                                          "общего центра всей группы"};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(QString::fromUtf8(centerCaptions[i]), rgCenter_);
        rb->setObjectName(QStringLiteral("rgCenter%1").arg(i));
        Centers_->addButton(rb, i);
        centers->addWidget(rb);
    }
    Centers_->button(0)->setChecked(true);
    connect(Centers_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) UpdateIncreaseStep();
    });
    main->addWidget(rgCenter_);

    // "c" is a Latin letter here, as in the form this dialog follows.
    chIncreaseStep_ = new QCheckBox(QStringLiteral("c нарастающим шагом"), this);
    chIncreaseStep_->setObjectName("chIncreaseStep");
    main->addWidget(chIncreaseStep_);

    QHBoxLayout* buttons = MakeButtonRow("Повернуть");
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    UpdateIncreaseStep();
    ApplyLanguage(this);
}

void TfmRotate::Prepare(int count, int wireNumber, uint8_t viewKind) {
    Count_ = count;
    SetTitles("TfmRotate", "Rotate", count, wireNumber);
    Centers_->button(2)->setEnabled(count != 1);
    const int axis = viewKind == 1 ? 2 : viewKind == 2 ? 1 : 0;
    rbAxis_[axis]->setChecked(true);
    UpdateIncreaseStep();
}

int TfmRotate::Axis() const {
    for (int i = 0; i < 3; ++i)
        if (rbAxis_[i]->isChecked()) return i;
    return 0;
}

int TfmRotate::CenterMode() const { return std::max(Centers_->checkedId(), 0); }

void TfmRotate::SetCenterMode(int mode) {
    if (QAbstractButton* b = Centers_->button(mode); b && b->isEnabled()) b->setChecked(true);
}

double TfmRotate::Angle() const { return fseAngle_->value(); }

bool TfmRotate::IncreaseStep() const { return chIncreaseStep_->isEnabled() && chIncreaseStep_->isChecked(); }

void TfmRotate::UpdateIncreaseStep() {
    const bool on = Count_ > 1 && CenterMode() == 1;
    chIncreaseStep_->setEnabled(on);
    if (!on) chIncreaseStep_->setChecked(false);
}

} // namespace velomast
