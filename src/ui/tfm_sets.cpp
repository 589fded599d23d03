#include "tfm_sets.h"
#include "ui/language_texts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velomast {

namespace {
QCheckBox* Tick(QWidget* parent, QVBoxLayout* layout, const char* name, const char* caption) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
    c->setObjectName(name);
    layout->addWidget(c);
    return c;
}

QLineEdit* PathGroup(QWidget* page, QVBoxLayout* layout, const char* group, const char* groupCaption,
                     const char* label, const char* labelCaption, const char* edit) {
    auto* box = new QGroupBox(QString::fromUtf8(groupCaption), page);
    box->setObjectName(group);
    auto* inner = new QVBoxLayout(box);
    auto* l = new QLabel(QString::fromUtf8(labelCaption), box);
    l->setObjectName(label);
    auto* e = new QLineEdit(box);
    e->setObjectName(edit);
    l->setBuddy(e);
    inner->addWidget(l);
    inner->addWidget(e);
    layout->addWidget(box);
    return e;
}
} // namespace

TfmSets::TfmSets(QWidget* parent) : QDialog(parent) {
    setObjectName("TfmSets");
    setWindowTitle("Настройки");
    auto* layout = new QVBoxLayout(this);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1);

    auto* tsMain = new QWidget(PageControl1);
    tsMain->setObjectName("tsMain");
    auto* main = new QVBoxLayout(tsMain);
    chTabOnTop = Tick(tsMain, main, "chTabOnTop", "Закладки блокнота сверху");
    chPanelOnRight = Tick(tsMain, main, "chPanelOnRight", "Панель детализации справа ");
    chOpenLastFile = Tick(tsMain, main, "chOpenLastFile", "Открывать последний файл при старте");
    chScene = Tick(tsMain, main, "chScene", "Использовать функции сцены для нескольких антенн");
    chUsePrint = Tick(tsMain, main, "chUsePrint", "Использовать функции печати");
    // Printing is always available; the tick is kept for the layout users know.
    chUsePrint->setChecked(true);
    chBackupFiles = Tick(tsMain, main, "chBackupFiles", "Сохранять резервную копию файла при открытии");
    chWriteLogFile = Tick(tsMain, main, "chWriteLogFile", "Записывать основные изменения в файл .log");
    chRxAntEn = Tick(tsMain, main, "chRxAntEn", "Изменение масштаба скроллингом мыши");
    chRxAntEn->setVisible(false);
    main->addSpacing(6);
    auto* iniRow = new QHBoxLayout;
    btIni = new QPushButton("Открыть файл настроек...", tsMain);
    btIni->setObjectName("btIni");
    btIni->setAutoDefault(false);
    iniRow->addWidget(btIni);
    iniRow->addStretch(1);
    main->addLayout(iniRow);
    main->addStretch(1);
    PageControl1->addTab(tsMain, " Основные ");

    auto* tsView = new QWidget(PageControl1);
    tsView->setObjectName("tsView");
    auto* view = new QVBoxLayout(tsView);
    auto* sizes = new QGroupBox(" Размеры проводов  ", tsView);
    sizes->setObjectName("gbWireSizes");
    view->addWidget(sizes);
    view->addStretch(1);
    PageControl1->addTab(tsView, " Вид  ");
    PageControl1->setTabVisible(1, false);

    auto* tsNEC = new QWidget(PageControl1);
    tsNEC->setObjectName("tsNEC");
    auto* nec = new QVBoxLayout(tsNEC);
    edMmanaFileName = PathGroup(tsNEC, nec, "gbMmana", " MMANAGAL ", "laMmanaFileName",
                                "Исполняемый файл программы MMANA-GAL:", "edMmanaFileName");
    edNEC2FileName = PathGroup(tsNEC, nec, "gbNEC2", "NEC-2 for MMANA", "laNEC2FileName",
                               "Исполняемый файл программы:", "edNEC2FileName");
    nec->addStretch(1);
    PageControl1->addTab(tsNEC, "MMANA-GAL ");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    btCancel = new QPushButton("Отмена", this);
    btCancel->setObjectName("btCancel");
    btApply = new QPushButton("Применить", this);
    btApply->setObjectName("btApply");
    btApply->setEnabled(false);
    for (QPushButton* b : {btOK, btCancel, btApply}) buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btIni, &QPushButton::clicked, this, [this] {
        if (OnOpenSettingsFile) OnOpenSettingsFile();
    });

    // A fixed border: the dialog keeps the size its contents need.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(420);
    ApplyLanguage(this);
}

void TfmSets::showEvent(QShowEvent* event) {
    PageControl1->setCurrentIndex(0);
    QDialog::showEvent(event);
}

} // namespace velomast
