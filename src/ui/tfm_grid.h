// "Заполнение сеткой": the cells of the grid that fills a rectangle of four wires, the
// diameter of its wires, and how many wires that makes.
#pragma once

#include "ui/generator_dialog.h"

class QLabel;
class QSpinBox;

namespace velomast {

class TFloatSpinEdit;

class TfmGrid : public TGeneratorDialog {
    Q_OBJECT

public:
    explicit TfmGrid(QWidget* parent = nullptr);

    int CellsH() const;
    int CellsV() const;
    // The wire radius in metres (the field holds a diameter in millimetres).
    double WireRadius() const;

    // The read-out of the wire count.
    void seHChange();

private:
    QSpinBox* seH_ = nullptr;
    QSpinBox* seV_ = nullptr;
    TFloatSpinEdit* seWireRadius_ = nullptr;
    QLabel* laWireCount_ = nullptr;
};

} // namespace velomast
