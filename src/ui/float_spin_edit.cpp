#include "float_spin_edit.h"

#include "model/text_parse.h"
#include "model/vec3.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace velomast {

namespace {
double Parse(const QString& text) { return ParseRealAnyMark(text.trimmed().toStdString()); }
} // namespace

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : QDoubleSpinBox(parent) {
    setDecimals(MaxDecimals);
    setSingleStep(0.1);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setAlignment(Qt::AlignRight);
}

QString TFloatSpinEdit::textFromValue(double value) const {
    if (value == 0) value = 0; // no "-0.0"
    QString text = QString::number(value, 'f', decimals());
    while (text.endsWith('0') && text.indexOf('.') < text.size() - 2) text.chop(1);
    const QString mark = locale().decimalPoint();
    if (mark != QLatin1String(".")) text.replace('.', mark);
    return text;
}

double TFloatSpinEdit::valueFromText(const QString& text) const {
    const double v = Parse(text);
    return v == NoValue ? value() : v;
}

QValidator::State TFloatSpinEdit::validate(QString& input, int&) const {
    const QRegularExpression shape(QStringLiteral("^\\s*[+-]?\\d*([.,]\\d{0,%1})?\\s*$").arg(decimals()));
    if (!shape.match(input).hasMatch()) return QValidator::Invalid;
    const double v = Parse(input);
    if (v == NoValue) return QValidator::Intermediate; // "", "-", ","
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TFloatSpinEdit::fixup(QString& input) const {
    const double v = Parse(input);
    if (v != NoValue) input = textFromValue(std::clamp(v, minimum(), maximum()));
}

void TFloatSpinEdit::focusInEvent(QFocusEvent* event) {
    QDoubleSpinBox::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason) selectAll();
}

void TFloatSpinEdit::SetWarning(bool on) {
    Warning_ = on;
    QPalette p = palette();
    const QPalette normal = QPalette();
    p.setColor(QPalette::Text, on ? QColor(255, 0, 0) : normal.color(QPalette::Text));
    setPalette(p);
    lineEdit()->setPalette(p);
}

} // namespace velomast
