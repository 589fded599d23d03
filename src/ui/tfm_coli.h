// "Создать коллинеарную антенну на основе провода": how many elements continue the wire,
// how far they overlap (a whole percentage of its length, or the same in metres) and the
// gap beside the line, with the lengths that come out.
#pragma once

#include "ui/generator_dialog.h"

class QLabel;
class QSpinBox;

namespace velomast {

class TFloatSpinEdit;

class TfmColi : public TGeneratorDialog {
    Q_OBJECT

public:
    explicit TfmColi(QWidget* parent = nullptr);

    // The selected wire's length and the model's wavelength, both in metres.
    void Prepare(double length, double wavelength);

    int Count() const;
    // The sideways gap in metres (the field holds millimetres).
    double Gap() const;
    // The overlap as a fraction of the length: always a whole percentage.
    double Overlap() const;

    // The overlap in metres and the whole length, after a change of count or percentage.
    void seWCountChange();
    // A typed overlap in metres sets the percentage.
    void rseRatioLenChange();

private:
    double Length_ = 0;
    bool FromMetres_ = false;
    QSpinBox* seWCount_ = nullptr;
    QSpinBox* seRatio_ = nullptr;
    TFloatSpinEdit* rseRatioLen_ = nullptr;
    TFloatSpinEdit* seShift_ = nullptr;
    QLabel* laFirstLength_ = nullptr;
    QLabel* laWL_ = nullptr;
    QLabel* laSumLen_ = nullptr;
};

} // namespace velomast
