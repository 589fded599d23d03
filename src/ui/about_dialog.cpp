#include "about_dialog.h"
#include "ui/language_texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velomast {

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("fmAbout");
    setWindowTitle("О программе");
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel("<h2>Веломаст</h2>", this);
    name->setObjectName("laName");
    auto* version = new QLabel(LanguageText("TfmAbout", "Text.Version").arg(QStringLiteral(VELOMAST_VERSION)), this);
    version->setObjectName("laVersion");
    auto* purpose = new QLabel("Редактор проволочных моделей радиолюбительских антенн в формате MMANA (.maa).", this);
    purpose->setObjectName("laPurpose");
    purpose->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    ApplyLanguage(this);
}

} // namespace velomast
