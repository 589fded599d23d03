// A real-number spin edit for the transform and generator dialogs: shows at least one
// decimal and up to decimals() (four, 0.1 mm in metres, unless set otherwise), takes "." and "," alike as the decimal mark, and brings a typed
// value outside its range back to the nearest limit when the editing ends.
#pragma once

#include <QDoubleSpinBox>

namespace velomast {

class TFloatSpinEdit : public QDoubleSpinBox {
    Q_OBJECT

public:
    static constexpr int MaxDecimals = 4;

    explicit TFloatSpinEdit(QWidget* parent = nullptr);

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

    // Red text (a value at a limit that must not be reached) or the normal window text.
    void SetWarning(bool on);
    bool Warning() const { return Warning_; }

protected:
    // Whatever brings the focus here but the mouse selects the text, so typing replaces it.
    void focusInEvent(QFocusEvent* event) override;

private:
    bool Warning_ = false;
};

} // namespace velomast
