#include "tfm_cilinder.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "ui/float_spin_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velomast {

TfmCilinder::TfmCilinder(QWidget* parent) : TGeneratorDialog(parent) {
    setObjectName("fmCilinder");
    setWindowTitle("Создать утолщение");
    laTitle_->hide();

    auto* main = new QVBoxLayout(this);
    pcMain_ = new QTabWidget(this);
    pcMain_->setObjectName("pcMain");
    tsMain_ = new QWidget(pcMain_);
    tsMain_->setObjectName("tsMain");
    tsAdditional_ = new QWidget(pcMain_);
    tsAdditional_->setObjectName("tsAdditional");
    tsSpir_ = new QWidget(pcMain_);
    tsSpir_->setObjectName("tsSpir");
    BuildMainPage(tsMain_);
    BuildAdditionalPage(tsAdditional_);
    BuildCoilPage(tsSpir_);
    pcMain_->addTab(tsMain_, " Основные параметры ");
    pcMain_->addTab(tsAdditional_, " Дополнительно ");
    pcMain_->addTab(tsSpir_, "Основные");
    main->addWidget(pcMain_);

    // The estimates serve both modes, below the pages.
    auto* estimates = new QGridLayout;
    estimates->addWidget(MakeLabel("laWireCountCaption", "Количество новых проводов:"), 0, 0);
    laWireCount_ = MakeLabel("laWireCount", "0");
    estimates->addWidget(laWireCount_, 0, 1);
    estimates->addWidget(MakeLabel("laTotalLengthCaption", "Общий расход провода:"), 1, 0);
    laTotalLength_ = MakeLabel("laTotalLength", {});
    estimates->addWidget(laTotalLength_, 1, 1);
    estimates->setColumnStretch(1, 1);
    main->addLayout(estimates);
    main->addLayout(MakeButtonRow("Создать"));
    main->setSizeConstraint(QLayout::SetFixedSize);

    for (QSpinBox* f : {rseNCount_, rseHoopCount_, rseHoopShift_, rseWCount_})
        connect(f, &QSpinBox::valueChanged, this, [this] { UpdateEstimates(); });
    connect(rseDiameter_, &QDoubleSpinBox::valueChanged, this, [this] { UpdateEstimates(); });
    connect(chHoopIsolated_, &QCheckBox::toggled, this, [this] { UpdateEstimates(); });
    for (QComboBox* c : {cbTopSide_, cbBottomSide_})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { UpdateEstimates(); });
    ApplyLanguage(this);
}

void TfmCilinder::BuildMainPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    gbStart_ = new QGroupBox(" В виде призмы или цилиндра ", page);
    gbStart_->setObjectName("gbStart");
    auto* g = new QGridLayout(gbStart_);
    laBase_ = MakeLabel("laBase", "На основе провода №");
    laLength_ = MakeLabel("laLength", {});
    g->addWidget(laBase_, 0, 0);
    g->addWidget(laLength_, 0, 1);
    rseNCount_ = MakeIntField("rseNCount", 3, 36, 6);
    rseDiameter_ = MakeRealField("rseDiameter", 0.01, 50, 3, 0.1, 0.5);
    rseWireRadius_ = MakeRealField("rseWireRadius", 0.1, 10, 2, 0.1, 1.6);
    g->addWidget(MakeLabel("laNCount", "Количество граней:"), 1, 0);
    g->addWidget(rseNCount_, 1, 1);
    g->addWidget(MakeLabel("laDiameter", "Диаметр цилиндра, м.:"), 2, 0);
    g->addWidget(rseDiameter_, 2, 1);
    g->addWidget(MakeLabel("laWireRadius", "Диаметр провода, мм:"), 3, 0);
    g->addWidget(rseWireRadius_, 3, 1);
    g->setColumnStretch(0, 1);
    layout->addWidget(gbStart_);

    auto* hoops = new QGridLayout;
    rseHoopCount_ = MakeIntField("rseHoopCount", 1, 20, 2);
    rseHoopShift_ = MakeIntField("rseHoopShift", 0, 100, 20);
    hoops->addWidget(MakeLabel("laHoopCount", "Количество перемычек:"), 0, 0);
    hoops->addWidget(rseHoopCount_, 0, 1);
    // A double click on this label exports the dialog's texts into the language file.
    QLabel* label11 = MakeLabel("Label11", "Отступ от концов в % от исх. длины:");
    // A double click writes this dialog's texts into the language file ru.lng.
    InstallLanguageExport(label11, this);
    hoops->addWidget(label11, 1, 0);
    hoops->addWidget(rseHoopShift_, 1, 1);
    chHoopIsolated_ = new QCheckBox("Использовать диэлектрик", page);
    chHoopIsolated_->setObjectName("chHoopIsolated");
    hoops->addWidget(chHoopIsolated_, 2, 0, 1, 2);
    hoops->setColumnStretch(0, 1);
    hoops->setContentsMargins(10, 0, 10, 0);
    layout->addLayout(hoops);
    layout->addStretch(1);
}

void TfmCilinder::BuildAdditionalPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* ends = new QGroupBox(" Торцевые соединения ", page);
    ends->setObjectName("gbEnds");
    auto* g = new QGridLayout(ends);
    laTopSide_ = MakeLabel("laTopSide", "С начальной точкой:");
    laBottomSide_ = MakeLabel("laBottomSide", "С конечной точкой:");
    cbTopSide_ = new QComboBox(ends);
    cbTopSide_->setObjectName("cbTopSide");
    cbTopSide_->addItems({"не соединять", "в виде изолятора", "в виде проводника"});
    cbTopSide_->setCurrentIndex(EndConductor);
    cbBottomSide_ = new QComboBox(ends);
    cbBottomSide_->setObjectName("cbBottomSide");
    for (int i = 0; i < cbTopSide_->count(); ++i) cbBottomSide_->addItem(cbTopSide_->itemText(i));
    cbBottomSide_->setCurrentIndex(EndConductor);
    g->addWidget(laTopSide_, 0, 0);
    g->addWidget(cbTopSide_, 0, 1);
    g->addWidget(laBottomSide_, 1, 0);
    g->addWidget(cbBottomSide_, 1, 1);
    layout->addWidget(ends);

    auto* rest = new QGridLayout;
    rseAngle_ = MakeRealField("rseAngle", 0, 60, 1, 1, 0);
    rest->addWidget(MakeLabel("laAngle", "Начальный угол смещения по оси, гр."), 0, 0);
    rest->addWidget(rseAngle_, 0, 1);
    rest->setColumnStretch(0, 1);
    rest->setContentsMargins(10, 0, 10, 0);
    layout->addLayout(rest);
    chZeroBase_ = new QCheckBox("Сделать центральный провод изолятором", page);
    chZeroBase_->setObjectName("chZeroBase");
    chZeroBase_->setChecked(true);
    layout->addWidget(chZeroBase_);
    layout->addStretch(1);
}

void TfmCilinder::BuildCoilPage(QWidget* page) {
    SpirLayout_ = new QVBoxLayout(page);
    auto* g = new QGridLayout;
    rseWCount_ = MakeIntField("rseWCount", 1, 100, 10);
    g->addWidget(MakeLabel("laWCount", "Число витков:"), 0, 0);
    g->addWidget(rseWCount_, 0, 1);
    g->addWidget(MakeLabel("laIndCaption", "Расчётная индуктивность, мкГн:"), 1, 0);
    laInd_ = MakeLabel("laInd", {});
    g->addWidget(laInd_, 1, 1);
    g->setColumnStretch(0, 1);
    g->setContentsMargins(10, 0, 10, 0);
    SpirLayout_->addLayout(g);
    SpirLayout_->addStretch(1);
}

void TfmCilinder::Prepare(TMode mode, int wireNumber, double baseLength) {
    Mode_ = mode;
    BaseLength_ = baseLength;
    laBase_->setText(LanguageText("TfmCilinder", "Text.BaseWire").arg(wireNumber));
    laLength_->setText(QString::fromStdString(FormatFloatF(baseLength, 0, 2, DecimalMark())) + LanguageText("TfmCilinder", "Text.Metres"));
    const bool coil = mode == TMode::Coil;
    if (coil && gbStart_->parentWidget() != tsSpir_) {
        gbStart_->setTitle(LanguageText("TfmCilinder", "Text.CoilTitle"));
        gbStart_->setParent(tsSpir_);
        SpirLayout_->insertWidget(0, gbStart_);
        chZeroBase_->setParent(tsSpir_);
        SpirLayout_->insertWidget(2, chZeroBase_);
        gbStart_->show();
        chZeroBase_->show();
    }
    pcMain_->setTabVisible(pcMain_->indexOf(tsMain_), !coil);
    pcMain_->setTabVisible(pcMain_->indexOf(tsAdditional_), !coil);
    pcMain_->setTabVisible(pcMain_->indexOf(tsSpir_), coil);
    pcMain_->setCurrentWidget(coil ? tsSpir_ : tsMain_);
    UpdateEstimates();
}

TCageParams TfmCilinder::CageParams() const {
    TCageParams p;
    p.Radius = rseDiameter_->value() / 2;
    p.Faces = rseNCount_->value();
    p.StartAngle = rseAngle_->value();
    p.Hoops = rseHoopCount_->value();
    p.Shift = rseHoopShift_->value() / 100.0;
    p.WireRadius = rseWireRadius_->value() / 2000;
    p.HoopsIsolated = chHoopIsolated_->isChecked();
    p.TopKind = cbTopSide_->currentIndex();
    p.BottomKind = cbBottomSide_->currentIndex();
    p.CentreIsolator = chZeroBase_->isChecked();
    return p;
}

TCoilParams TfmCilinder::CoilParams() const {
    TCoilParams p;
    p.Radius = rseDiameter_->value() / 2;
    p.ChordsPerTurn = rseNCount_->value();
    p.Turns = rseWCount_->value();
    p.WireRadius = rseWireRadius_->value() / 2000;
    p.CentreIsolator = chZeroBase_->isChecked();
    return p;
}

void TfmCilinder::UpdateEstimates() {
    if (Mode_ == TMode::Coil) {
        const TGeneratorEstimate e = EstimateCoil(BaseLength_, CoilParams());
        ShowWireCount(laWireCount_, e.Count);
        laTotalLength_->setText(QString::fromStdString(FormatFloatF(e.TotalLength, 6, 2, DecimalMark())) + LanguageText("TfmCilinder", "Text.Metres"));
        laInd_->setText(QString::fromStdString(FormatFloatF(e.Inductance, 6, 2, DecimalMark())));
        return;
    }
    const TCageParams p = CageParams();
    const TGeneratorEstimate e = EstimateCage(BaseLength_, p);
    ShowWireCount(laWireCount_, e.Count);
    laTotalLength_->setText(Number(e.TotalLength, 5, 1) + LanguageText("TfmCilinder", "Text.Metres"));
    // A single hoop makes the faces converge on the end: there is nothing to connect.
    const bool ends = p.Hoops > 1;
    for (QWidget* w : std::initializer_list<QWidget*>{laTopSide_, laBottomSide_, cbTopSide_, cbBottomSide_})
        w->setEnabled(ends);
}

} // namespace velomast
