// "Калькулятор геометрических форм": the diameter of the round wire that stands for a
// strip, a bar, an elliptical conductor or an angle or T profile. Opened from the Tools
// menu it only calculates; opened from the wire table its "Применить" hands the diameter
// back.
#pragma once

#include "ui/generator_dialog.h"

class QHBoxLayout;
class QLabel;
class QPainter;
class QRect;

namespace velomast {

class TFloatSpinEdit;
class TStringGrid;

class TfmShape : public TGeneratorDialog {
    Q_OBJECT

public:
    static constexpr int CellWidth = 120;
    static constexpr int CellHeight = 100;

    explicit TfmShape(QWidget* parent = nullptr);

    // The calculator alone: no apply button; the cancel button, centred, reads "Закрыть".
    void SetCalculatorOnly();

    // The selected picture: row x 3 + column (0 strip ... 5 T profile).
    int Kind() const { return Kind_; }
    // The equivalent diameter in millimetres, as the field holds it.
    double Diameter() const;
    TStringGrid* Pictures() const { return dg1_; }

    void dg1Click(int col, int row);
    // A change of a or b: the diameter is computed anew.
    void seAChange();
    void dg1DrawCell(QPainter& p, int col, int row, const QRect& rect);

private:
    int Kind_ = 1;
    TStringGrid* dg1_ = nullptr;
    TFloatSpinEdit* seA_ = nullptr;
    TFloatSpinEdit* seB_ = nullptr;
    TFloatSpinEdit* seDiameter_ = nullptr;
    QLabel* laSizeB_ = nullptr;
    QHBoxLayout* Buttons_ = nullptr;
};

} // namespace velomast
