// "Параллилепипед": the storeys of the box that stands on a rectangle of four wires.
#pragma once

#include "ui/generator_dialog.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace velomast {

class TFloatSpinEdit;

class TfmHouse : public TGeneratorDialog {
    Q_OBJECT

public:
    explicit TfmHouse(QWidget* parent = nullptr);

    int Storeys() const;
    // Storey height in metres.
    double StoreyHeight() const;
    // Build towards decreasing Z.
    bool Downwards() const;

    // The count of new wires, 8 per storey.
    void seCountChange();

private:
    QSpinBox* seCount_ = nullptr;
    TFloatSpinEdit* seH_ = nullptr;
    QCheckBox* chDirection_ = nullptr;
    QLabel* laWireCount_ = nullptr;
};

} // namespace velomast
