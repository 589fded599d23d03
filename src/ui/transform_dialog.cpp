#include "transform_dialog.h"
#include "ui/language_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace velomast {

TTransformDialog::TTransformDialog(QWidget* parent) : QDialog(parent) {
    laTitle_ = new QLabel(this);
    laTitle_->setObjectName("laTitle");
}

void TTransformDialog::SetTitles(const char* section, const char* kind, int count, int wireNumber) {
    const bool one = count == 1;
    const QByteArray caption = QByteArray("Text.") + kind + (one ? "Caption1" : "CaptionN");
    const QByteArray title = QByteArray("Text.") + kind + (one ? "Title1" : "TitleN");
    setWindowTitle(LanguageText(section, caption.constData()));
    laTitle_->setText(LanguageText(section, title.constData()).arg(one ? wireNumber : count));
}

void TTransformDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else
            focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QHBoxLayout* TTransformDialog::MakeButtonRow(const QString& okCaption) {
    btOK_ = new QPushButton(okCaption, this);
    btOK_->setObjectName("btOK");
    btCancel_ = new QPushButton("Отмена", this);
    btCancel_->setObjectName("btCancel");
    for (QPushButton* b : {btOK_, btCancel_}) b->setAutoDefault(false);
    connect(btOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btOK_);
    buttons->addWidget(btCancel_);
    return buttons;
}

} // namespace velomast
