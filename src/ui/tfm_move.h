// "Перемещение": asks for the offset by which the selected wires move, and in its paste
// variant ("Вставка") the offset of a paste from the wire clipboard.
#pragma once

#include "model/vec3.h"
#include "ui/transform_dialog.h"

class QCheckBox;
class QPushButton;

namespace velomast {

class TFloatSpinEdit;

class TfmMove : public TTransformDialog {
    Q_OBJECT

public:
    enum class TVariant { Move, Paste };

    explicit TfmMove(QWidget* parent = nullptr);

    // Titles for `count` wires (wireNumber is shown when there is one); the paste variant
    // hides the keep-connections box.
    void Prepare(TVariant variant, int count, int wireNumber);
    // Over real or perfect ground: the lowest Z offset is the one that brings the lowest
    // end (lowestZ, model height) down to the ground at -baseHeight.
    void SetGroundLimit(double lowestZ, double baseHeight);

    Vec3 Offset() const;
    bool KeepConnection() const;

private:
    void OffsetChanged();

    TFloatSpinEdit* fseX_ = nullptr;
    TFloatSpinEdit* fseY_ = nullptr;
    TFloatSpinEdit* fseZ_ = nullptr;
    QCheckBox* chKeepConnection_ = nullptr;
    bool GroundLimit_ = false;
};

} // namespace velomast
