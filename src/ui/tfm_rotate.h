// "Вращение": asks for the angle, the axis and the centre about which the selected wires
// turn.
#pragma once

#include "ui/transform_dialog.h"

#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace velomast {

class TFloatSpinEdit;

class TfmRotate : public TTransformDialog {
    Q_OBJECT

public:
    explicit TfmRotate(QWidget* parent = nullptr);

    // Titles for `count` wires (wireNumber is shown when there is one) and the axis that
    // suits the view: Z for the top view, Y for the right view, X otherwise.
    void Prepare(int count, int wireNumber, uint8_t viewKind);

    // 0 X, 1 Y, 2 Z.
    int Axis() const;
    // 0 the origin, 1 each wire's centre, 2 the centre of the group.
    int CenterMode() const;
    void SetCenterMode(int mode);
    double Angle() const;
    bool IncreaseStep() const;

private:
    void UpdateIncreaseStep();

    TFloatSpinEdit* fseAngle_ = nullptr;
    QRadioButton* rbAxis_[3] = {};
    QGroupBox* rgCenter_ = nullptr;
    QButtonGroup* Centers_ = nullptr;
    QCheckBox* chIncreaseStep_ = nullptr;
    int Count_ = 1;
};

} // namespace velomast
