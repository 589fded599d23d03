#include "tfm_shape.h"
#include "ui/language_texts.h"

#include "model/conductor_shape.h"
#include "model/vec3.h"
#include "ui/float_spin_edit.h"
#include "ui/string_grid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velomast {

namespace {
const QColor SelectedCell(255, 255, 213);
const QColor Dimension(192, 192, 192);
} // namespace

TfmShape::TfmShape(QWidget* parent) : TGeneratorDialog(parent) {
    setObjectName("fmShape");
    setWindowTitle("Калькулятор геометрических форм");
    laTitle_->hide();

    auto* main = new QVBoxLayout(this);
    dg1_ = new TStringGrid(3, 2, this);
    dg1_->setObjectName("dg1");
    dg1_->SetFixed(0, 0);
    for (int c = 0; c < 3; ++c) dg1_->SetColWidth(c, CellWidth);
    dg1_->SetRowHeight(CellHeight);
    dg1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dg1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * dg1_->frameWidth();
    dg1_->setFixedSize(3 * CellWidth + frame, 2 * CellHeight + frame);
    dg1_->OnDrawCell = [this](QPainter& p, int col, int row, const QRect& rect, const TGridDrawState&) {
        dg1DrawCell(p, col, row, rect);
    };
    dg1_->OnSelectCell = [this](int col, int row) { dg1Click(col, row); };
    main->addWidget(dg1_);

    auto* fields = new QGridLayout;
    seA_ = MakeRealField("seA", 0.1, 1000, 1, 1, 8);
    seB_ = MakeRealField("seB", 2, 1000, 1, 1, 4);
    seDiameter_ = MakeRealField("seDiameter", 0.1, 10000, 4, 0.1, 1.6);
    laSizeB_ = MakeLabel("laSizeB", "Размер b, мм:");
    fields->addWidget(MakeLabel("laSizeA", "Размер a, мм:"), 0, 0);
    fields->addWidget(seA_, 0, 1);
    fields->addWidget(laSizeB_, 1, 0);
    fields->addWidget(seB_, 1, 1);
    fields->addWidget(MakeLabel("laDiameter", "Эквивалентный диаметр, мм:"), 2, 0);
    fields->addWidget(seDiameter_, 2, 1);
    fields->setColumnStretch(0, 1);
    main->addLayout(fields);
    Buttons_ = MakeButtonRow("Применить");
    Buttons_->addStretch(0); // balances the leading stretch once the apply button is hidden
    main->addLayout(Buttons_);
    main->setSizeConstraint(QLayout::SetFixedSize);

    for (TFloatSpinEdit* f : {seA_, seB_}) connect(f, &QDoubleSpinBox::valueChanged, this, [this] { seAChange(); });

    // Opens on the rectangular bar.
    dg1_->SetCurrent(1, 0);
    dg1Click(1, 0);
    ApplyLanguage(this);
}

void TfmShape::SetCalculatorOnly() {
    btOK_->hide();
    btCancel_->setText(LanguageText("TfmShape", "Text.Close"));
    Buttons_->setStretch(Buttons_->count() - 1, 1);
}

double TfmShape::Diameter() const { return seDiameter_->value(); }

void TfmShape::dg1Click(int col, int row) {
    Kind_ = row * 3 + col;
    const bool usesB = ShapeUsesSizeB(Kind_);
    seB_->setEnabled(usesB);
    laSizeB_->setEnabled(usesB);
    // Disabled, b takes the form's colour; its value stays for the next two-size shape.
    QPalette p = seB_->palette();
    p.setColor(QPalette::Base, QPalette().color(usesB ? QPalette::Base : QPalette::Window));
    seB_->setPalette(p);
    seAChange();
}

void TfmShape::seAChange() {
    seDiameter_->setValue(EquivalentDiameter(Kind_, seA_->value(), seB_->value()));
    dg1_->viewport()->update();
}

void TfmShape::dg1DrawCell(QPainter& p, int col, int row, const QRect& rect) {
    const int kind = row * 3 + col;
    const bool selected = kind == Kind_;
    const QColor fill = selected ? SelectedCell : palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::WindowText);
    p.fillRect(rect, fill);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBackgroundMode(Qt::TransparentMode);
    QFont font = p.font();
    font.setPointSize(10);
    p.setFont(font);
    const QPen pen(ink, 2);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int cx = rect.center().x();
    const int cy = rect.center().y();
    auto text = [&](int x, int y, const char* s) {
        p.setPen(ink);
        p.drawText(QRect(x - 10, y - 9, 20, 18), Qt::AlignCenter, QString::fromLatin1(s));
        p.setPen(pen);
    };

    // Rectangle and ellipse follow a : b, but only in the selected cell.
    int r = 30;
    int e = kind <= ShapeEllipse ? 15 : 30;
    if (selected && (kind == ShapeRectangle || kind == ShapeEllipse)) {
        const double a = seA_->value();
        const double b = seB_->value();
        r = static_cast<int>(std::clamp<int64_t>(RoundHalfEven(30 * a / b), 3, 30));
        e = static_cast<int>(std::clamp<int64_t>(RoundHalfEven(30 * b / a), 4, 30));
    }
    switch (kind) {
    case ShapeStrip:
        p.setPen(QPen(Qt::red, 1));
        p.drawEllipse(QPoint(cx, cy), 15, 15);
        p.setPen(pen);
        p.setBrush(fill);
        p.drawRect(cx - 30, cy - 2, 60, 4);
        text(cx, cy - 25, "a");
        break;
    case ShapeRectangle:
        p.drawRect(cx - r, cy - e, 2 * r, 2 * e);
        text(cx, cy - e - 11, "a");
        text(cx - r - 12, cy, "b");
        break;
    case ShapeEllipse:
        p.drawEllipse(QPoint(cx, cy), r, e);
        p.setPen(QPen(Dimension, 1));
        p.drawLine(cx - r, cy - e - 4, cx + r, cy - e - 4);
        p.drawLine(cx - r - 4, cy + e, cx - r - 4 - e / 2, cy - e);
        p.setPen(pen);
        text(cx, cy - e - 14, "a");
        text(cx - r - 16, cy, "b");
        break;
    case ShapeSquare:
        p.setPen(QPen(Qt::red, 1));
        p.drawEllipse(QPoint(cx, cy), 35, 35);
        p.setPen(pen);
        p.drawRect(cx - 30, cy - 30, 60, 60);
        text(cx, cy - 42, "a");
        text(cx - 45, cy, "a");
        break;
    case ShapeAngle: {
        const int x = rect.left() + 30;
        const int bottom = rect.bottom() - 30;
        p.drawLine(x, rect.top() + 30, x, bottom);
        p.drawLine(x, bottom, rect.right() - 30, bottom);
        text((x + rect.right() - 30) / 2, bottom + 12, "a");
        text(x - 12, (rect.top() + 30 + bottom) / 2, "b");
        break;
    }
    case ShapeTee: {
        const int y = rect.bottom() - 30;
        p.drawLine(rect.left() + 30, y, rect.right() - 30, y);
        p.drawLine(cx, y, cx, rect.top() + 30);
        text(cx, y + 12, "a");
        text(cx + 12, (y + rect.top() + 30) / 2, "b");
        break;
    }
    default: break;
    }
}

} // namespace velomast
