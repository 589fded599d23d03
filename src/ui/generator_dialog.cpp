#include "generator_dialog.h"

#include "model/number_format.h"
#include "ui/float_spin_edit.h"

#include <QLabel>
#include <QLocale>
#include <QSpinBox>

namespace velomast {

TGeneratorDialog::TGeneratorDialog(QWidget* parent) : TTransformDialog(parent) {
    const QString mark = QLocale().decimalPoint();
    DecimalMark_ = (!mark.isEmpty() && mark[0].unicode() < 128) ? static_cast<char>(mark[0].unicode()) : ',';
}

QLabel* TGeneratorDialog::MakeLabel(const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
}

QSpinBox* TGeneratorDialog::MakeIntField(const char* name, int min, int max, int value) {
    auto* f = new QSpinBox(this);
    f->setObjectName(name);
    f->setRange(min, max);
    f->setValue(value);
    f->setAlignment(Qt::AlignRight);
    f->setMinimumWidth(80);
    return f;
}

TFloatSpinEdit* TGeneratorDialog::MakeRealField(const char* name, double min, double max, int decimals, double step,
                                                double value) {
    auto* f = new TFloatSpinEdit(this);
    f->setObjectName(name);
    f->setDecimals(decimals);
    f->setRange(min, max);
    f->setSingleStep(step);
    f->setValue(value);
    f->setMinimumWidth(80);
    return f;
}

void TGeneratorDialog::ShowWireCount(QLabel* label, int count) {
    label->setText(QString::number(count));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, count > MaxAnalysedWires ? QColor(255, 0, 0) : QPalette().color(QPalette::WindowText));
    label->setPalette(p);
}

QString TGeneratorDialog::Number(double x, int precision, int digits) const {
    return QString::fromStdString(FloatToStrFixed(x, precision, digits, DecimalMark_));
}

} // namespace velomast
