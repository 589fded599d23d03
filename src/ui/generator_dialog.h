// The common ground of the generator dialogs and the conductor calculator: the behaviour
// of the transform dialogs (Enter moves the focus on, Esc cancels, btOK and btCancel) and
// small builders for their labels and number fields.
#pragma once

#include "ui/transform_dialog.h"

class QLabel;
class QSpinBox;

namespace velomast {

class TFloatSpinEdit;

class TGeneratorDialog : public TTransformDialog {
    Q_OBJECT

public:
    // Wire counts above this are more than the analysers take; they are shown in red.
    static constexpr int MaxAnalysedWires = 512;

    explicit TGeneratorDialog(QWidget* parent = nullptr);

    // The locale's decimal mark, as the main window shows numbers.
    char DecimalMark() const { return DecimalMark_; }

protected:
    QLabel* MakeLabel(const char* name, const QString& text);
    QSpinBox* MakeIntField(const char* name, int min, int max, int value);
    TFloatSpinEdit* MakeRealField(const char* name, double min, double max, int decimals, double step, double value);
    // A wire count, red above MaxAnalysedWires, otherwise in the window-text colour.
    static void ShowWireCount(QLabel* label, int count);
    QString Number(double x, int precision, int digits) const;

private:
    char DecimalMark_ = '.';
};

} // namespace velomast
