#include "params_page.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "model/parameter_texts.h"
#include "model/text_parse.h"
#include "model/wire_list.h"
#include "ui/string_grid.h"
#include "ui/tfm_velomast.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace velomast {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const char* const FreqItems[] = {"1,825",   "1,840",   "1,910",   "3,530",   "3,570",   "3,650",   "3,750",   "7,020",
                                 "7,040",   "7,150",   "10,120",  "14,030",  "14,074",  "14,150",  "18,080",  "18,120",
                                 "21,050",  "21,200",  "24,900",  "24,940",  "28,050",  "28,200",  "29,500",  "144,100",
                                 "145,500", "431,000", "432,000", "433,000", "1294,000", "1295,000"};
const char* const ZRItems[] = {" 12,5", " 37", " 50", " 75", " 100", " 150", " 200", " 300", " 500", " 600", " 1000"};
const char* const SourceHeaders[] = {"dgSources.Col0", "dgSources.Col1", "dgSources.Col2", "dgSources.Col3"};
const char* const LoadHeaders[] = {"dgLoads.Col0", "dgLoads.Col1", "dgLoads.Col2", "dgLoads.Col3",
                                   "dgLoads.Col4", "dgLoads.Col5", "dgLoads.Col6", "dgLoads.Col7"};

QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& hint, bool editable) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setToolTip(hint);
    c->setEditable(editable);
    if (editable) c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

QLineEdit* MakeField(QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setMaximumWidth(90);
    return e;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFont Monospace(const QFont& base) {
    QFont f(base);
    f.setFamily("Courier New");
    f.setStyleHint(QFont::Monospace);
    return f;
}

// A memo's text with the model's CR LF line breaks.
std::string WithCrLf(const QString& text) {
    QString t = text;
    t.replace('\n', "\r\n");
    return t.toStdString();
}

} // namespace

TParamsPage::TParamsPage(TfmVelomast& owner, QWidget* parent) : QWidget(parent), Owner_(owner) {
    setObjectName("paParams");
    const char mark = owner.DecimalMark();
    auto withMark = [mark](const char* item) {
        QString s = QString::fromUtf8(item);
        return s.replace(',', QChar(mark));
    };
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 6, 6, 6);

    // Name, frequency, ground, height, material.
    auto* top = new QGridLayout;
    top->setHorizontalSpacing(8);
    top->addWidget(MakeLabel(this, "laName", "Название:"), 0, 0);
    edName_ = new QLineEdit(this);
    edName_->setObjectName("edName");
    edName_->setMaxLength(240);
    QFont bold = edName_->font();
    bold.setBold(true);
    edName_->setFont(bold);
    top->addWidget(edName_, 0, 1, 1, 4);
    connect(edName_, &QLineEdit::textEdited, this, [this] { edNameChange(); });

    top->addWidget(MakeLabel(this, "laFreq", "Частота, МГц:"), 1, 0);
    cbFreq_ = MakeCombo(this, "cbFreq", "Центральная частота, МГц", true);
    for (const char* item : FreqItems) cbFreq_->addItem(withMark(item));
    cbFreq_->setMaxVisibleItems(31);
    cbFreq_->setEditText(withMark("14,060"));
    top->addWidget(cbFreq_, 1, 1);
    top->addWidget(MakeLabel(this, "laWaveLengthCap", "Длина волны:"), 1, 2);
    laWaveLength_ = MakeLabel(this, "laWaveLength", "20m");
    top->addWidget(laWaveLength_, 1, 3);

    top->addWidget(MakeLabel(this, "laGround", "Тип земли:"), 2, 0);
    cbGround_ = MakeCombo(this, "cbGround", "Тип земли", false);
    for (const char* item : GroundItems) cbGround_->addItem(QString::fromUtf8(item));
    top->addWidget(cbGround_, 2, 1);
    laHeight_ = MakeLabel(this, "laHeight", "Высота основания:");
    top->addWidget(laHeight_, 2, 2);
    rseHeight_ = new QDoubleSpinBox(this);
    rseHeight_->setObjectName("rseHeight");
    rseHeight_->setDecimals(1);
    rseHeight_->setRange(-100000, 100000);
    rseHeight_->setSingleStep(1);
    rseHeight_->setMaximumWidth(110);
    top->addWidget(rseHeight_, 2, 3);

    top->addWidget(MakeLabel(this, "laMaterial", "Материал:"), 3, 0);
    cbMaterial_ = MakeCombo(this, "cbMaterial", "Материал проводников", false);
    for (const char* item : MaterialItems) cbMaterial_->addItem(QString::fromUtf8(item));
    top->addWidget(cbMaterial_, 3, 1);
    for (QWidget* w : {static_cast<QWidget*>(cbFreq_), static_cast<QWidget*>(cbGround_), static_cast<QWidget*>(cbMaterial_)})
        w->setFixedWidth(240);
    edName_->setMinimumWidth(480);
    top->setColumnMinimumWidth(2, 20);
    top->setColumnStretch(4, 1);
    page->addLayout(top);

    // The frequency is taken when its editing ends or an item is chosen, exactly as typed:
    // no completion to list items, and no value passed through on the way (20000 is not
    // 2000 first).
    cbFreq_->setCompleter(nullptr);
    connect(cbFreq_->lineEdit(), &QLineEdit::editingFinished, this, [this] { ApplyFrequency(false); });
    connect(cbFreq_, qOverload<int>(&QComboBox::activated), this, [this] { ApplyFrequency(true); });
    connect(cbGround_, qOverload<int>(&QComboBox::activated), this, [this] { cbGroundClick(); });
    connect(cbGround_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cbGroundChange(); });
    connect(cbMaterial_, qOverload<int>(&QComboBox::activated), this, [this] { cbMaterialClick(); });
    connect(cbMaterial_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cbGroundChange(); });
    connect(rseHeight_, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this] { rseHeightChange(); });
    connect(rseHeight_, &QDoubleSpinBox::editingFinished, this, [this] { Owner_.UpdateForm(); });

    // Sources and loads.
    auto* grids = new QHBoxLayout;
    auto* sources = new QVBoxLayout;
    laSources_ = MakeLabel(this, "laSources", "Источники:");
    sources->addWidget(laSources_);
    dgSources_ = new TStringGrid(4, 2, this);
    dgSources_->setObjectName("dgSources");
    dgSources_->SetEditable(true);
    const int sourceWidths[] = {46, 70, 72, 72};
    for (int i = 0; i < 4; ++i) dgSources_->SetColWidth(i, sourceWidths[i]);
    dgSources_->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rect, const TGridDrawState& s) {
        dgSourcesDrawCell(p, c, r, rect, s);
    };
    dgSources_->OnSelectCell = [this](int c, int r) { dgSourcesSelectCell(c, r); };
    dgSources_->OnGetEditText = [this](int c, int r, QString& t) { dgSourcesGetEditText(c, r, t); };
    dgSources_->OnSetEditText = [this](int c, int r, const QString& t) { dgSourcesSetEditText(c, r, t); };
    dgSources_->OnKeyDown = [this](QKeyEvent* e) { return dgSourcesKeyDown(e); };
    sources->addWidget(dgSources_);
    grids->addLayout(sources, 5);

    auto* loads = new QVBoxLayout;
    laLoads_ = MakeLabel(this, "laLoads", "Нагрузки:");
    loads->addWidget(laLoads_);
    dgLoads_ = new TStringGrid(8, 2, this);
    dgLoads_->setObjectName("dgLoads");
    dgLoads_->SetEditable(true);
    const int loadWidths[] = {46, 62, 46, 64, 64, 56, 60, 50};
    for (int i = 0; i < 8; ++i) dgLoads_->SetColWidth(i, loadWidths[i]);
    dgLoads_->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rect, const TGridDrawState& s) {
        dgLoadsDrawCell(p, c, r, rect, s);
    };
    dgLoads_->OnSelectCell = [this](int c, int r) { dgLoadsSelectCell(c, r); };
    dgLoads_->OnGetEditText = [this](int c, int r, QString& t) { dgLoadsGetEditText(c, r, t); };
    dgLoads_->OnSetEditText = [this](int c, int r, const QString& t) { dgLoadsSetEditText(c, r, t); };
    dgLoads_->OnKeyDown = [this](QKeyEvent* e) { return dgLoadsKeyDown(e); };
    loads->addWidget(dgLoads_);
    grids->addLayout(loads, 8);
    page->addLayout(grids, 1);

    // Comment, settings, combined wires.
    pcBottom_ = new QTabWidget(this);
    pcBottom_->setObjectName("pcBottom");
    meComment_ = new QPlainTextEdit(pcBottom_);
    meComment_->setObjectName("meComment");
    meComment_->setFont(Monospace(font()));
    connect(meComment_, &QPlainTextEdit::textChanged, this, [this] { meCommentChange(); });
    pcBottom_->addTab(meComment_, "Комментарий");

    auto* settings = new QWidget(pcBottom_);
    settings->setObjectName("tsSettings");
    auto* row = new QHBoxLayout(settings);
    auto* zBox = new QGroupBox(" Стандартное Z, (КСВ=1) ", settings);
    zBox->setObjectName("gbZ");
    auto* zForm = new QFormLayout(zBox);
    cbZ_R_ = MakeCombo(zBox, "cbZ_R", "Активное сопротивление", true);
    for (const char* item : ZRItems) cbZ_R_->addItem(withMark(item));
    cbZ_R_->setEditText(" 50");
    cbZ_jX_ = MakeField(zBox, "cbZ_jX", withMark(" 0,0"));
    zForm->addRow(MakeLabel(zBox, "laZ_R", "R, Ом:"), cbZ_R_);
    zForm->addRow(MakeLabel(zBox, "laZ_jX", "jX, Ом:"), cbZ_jX_);
    row->addWidget(zBox, 0, Qt::AlignTop);
    auto* fbBox = new QGroupBox(" Направление тыла для F/B ", settings);
    fbBox->setObjectName("gbFB");
    auto* fbForm = new QFormLayout(fbBox);
    cbFB_Azim_ = MakeField(fbBox, "cbFB_Azim", " 120");
    cbFB_Elev_ = MakeField(fbBox, "cbFB_Elev", " 60");
    fbForm->addRow(MakeLabel(fbBox, "laFB_Azim", "Азимут:"), cbFB_Azim_);
    fbForm->addRow(MakeLabel(fbBox, "laFB_Elev", "Элевация:"), cbFB_Elev_);
    row->addWidget(fbBox, 0, Qt::AlignTop);
    auto* segBox = new QGroupBox(" Сегментация ", settings);
    segBox->setObjectName("gbSegmentation");
    auto* segForm = new QGridLayout(segBox);
    cbDM1_ = MakeCombo(segBox, "cbDM1", "Минимальная длина сегмента", true);
    cbDM1_->addItems({"100", "200", "400", "600", "800", "1500", "3000"});
    cbDM1_->setEditText("800");
    cbDM2_ = MakeCombo(segBox, "cbDM2", "Длина среднего сегмента", true);
    cbDM2_->addItems({"10", "20", "30", "40", "60", "80", "120", "200", "300", "400", "600"});
    cbDM2_->setEditText("80");
    cbSC_ = MakeCombo(segBox, "cbSC", QString(), true);
    cbSC_->addItems({"1.01", "1.1", "1.3", "1.6", "2.0", "2.5", "3.0"});
    cbSC_->setEditText("2.0");
    cbEC_ = MakeCombo(segBox, "cbEC", "Число сегментов минимальной длины в конце провода", true);
    cbEC_->addItems({"1", "2", "3", "4", "8", "16"});
    cbEC_->setEditText("2");
    segForm->addWidget(new QLabel("DM1:", segBox), 0, 0);
    segForm->addWidget(cbDM1_, 0, 1);
    segForm->addWidget(new QLabel("DM2:", segBox), 0, 2);
    segForm->addWidget(cbDM2_, 0, 3);
    segForm->addWidget(new QLabel("SC:", segBox), 1, 0);
    segForm->addWidget(cbSC_, 1, 1);
    segForm->addWidget(new QLabel("EC:", segBox), 1, 2);
    segForm->addWidget(cbEC_, 1, 3);
    row->addWidget(segBox, 0, Qt::AlignTop);
    row->addStretch(1);
    pcBottom_->addTab(settings, "Установки");

    meTaperWireSet_ = new QPlainTextEdit(pcBottom_);
    meTaperWireSet_->setObjectName("meTaperWireSet");
    meTaperWireSet_->setFont(Monospace(font()));
    meTaperWireSet_->setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(meTaperWireSet_, &QPlainTextEdit::textChanged, this, [this] { meTaperWireSetChange(); });
    meTaperWireSet_->installEventFilter(this);
    pcBottom_->addTab(meTaperWireSet_, " Комб. провод ");
    pcBottom_->setMinimumHeight(150);
    page->addWidget(pcBottom_);

    connect(cbZ_R_->lineEdit(), &QLineEdit::textEdited, this, [this] { cbZ_RChange(cbZ_R_); });
    connect(cbZ_R_, qOverload<int>(&QComboBox::activated), this, [this] { cbZ_RChange(cbZ_R_); });
    for (QLineEdit* e : {cbZ_jX_, cbFB_Azim_, cbFB_Elev_})
        connect(e, &QLineEdit::textEdited, this, [this, e] { cbZ_RChange(e); });
    for (QComboBox* c : {cbDM1_, cbDM2_, cbSC_, cbEC_}) {
        connect(c->lineEdit(), &QLineEdit::textEdited, this, [this, c] { cbFreqChange(c); });
        connect(c, qOverload<int>(&QComboBox::activated), this, [this] { cbDM1Click(); });
    }
    cbGroundChange();
}

TWireList& TParamsPage::Model() const { return Owner_.Model(); }

QString TParamsPage::Number(double x) const {
    return x == NoValue ? QString() : Q(FloatToStrGeneral(x, 15, Owner_.DecimalMark()));
}

// ---- filling ------------------------------------------------------------------------------

void TParamsPage::FillParamsPage() {
    TWireList& m = Model();
    const bool was = Filling_;
    Filling_ = true;
    edName_->setText(" " + Q(m.ModelName));
    meComment_->setPlainText(Q(m.Comment).replace("\r\n", "\n"));
    ShowTaperLines();
    cbFreq_->setEditText(Q(FloatToStrFixed(m.Frequency, 6, 3, Owner_.DecimalMark())));
    cbFreqChange(cbFreq_);
    cbGround_->setCurrentIndex(m.GroundType);
    cbGroundChange();
    cbMaterial_->setCurrentIndex(m.Material);
    rseHeight_->setValue(m.BaseHeight);
    ShowAntennaSettings();
    Filling_ = was;
    RefreshParamsPage();
}

void TParamsPage::ShowTaperLines() {
    const bool was = Filling_;
    Filling_ = true;
    QStringList taper;
    for (const std::string& line : Model().TaperLines) taper << Q(line);
    if (meTaperWireSet_->toPlainText() != taper.join('\n')) meTaperWireSet_->setPlainText(taper.join('\n'));
    TaperEdited_ = false;
    Filling_ = was;
}

void TParamsPage::FlushTaperEdit() {
    if (!TaperEdited_) return;
    TaperEdited_ = false;
    Model().StoreUndoStep(false);
}

bool TParamsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == meTaperWireSet_ && event->type() == QEvent::FocusOut) FlushTaperEdit();
    return QWidget::eventFilter(watched, event);
}

void TParamsPage::ShowAntennaSettings() {
    TWireList& m = Model();
    const bool was = Filling_;
    Filling_ = true;
    const QStringList words = Q(m.SegmentationLine).split(',');
    QComboBox* boxes[] = {cbDM1_, cbDM2_, cbSC_, cbEC_};
    for (int i = 0; i < 4; ++i) boxes[i]->setEditText(i < words.size() ? words[i].trimmed() : QString());
    cbZ_R_->setEditText(" " + QString::number(RoundHalfEven(m.StdZR)));
    cbZ_jX_->setText(" " + Q(FloatToStrFixed(m.StdZjX, 3, 1, Owner_.DecimalMark())));
    cbFB_Azim_->setText(" " + QString::number(m.FBAzimuth));
    cbFB_Elev_->setText(" " + QString::number(m.FBElevation));
    Filling_ = was;
}

void TParamsPage::SetCount(QLabel* label, int n) {
    QString text = label->text();
    const int colon = text.indexOf(':');
    if (colon >= 0) text.truncate(colon);
    label->setText(text + QStringLiteral(": (%1)").arg(n));
}

void TParamsPage::RefreshParamsPage() {
    TWireList& m = Model();
    dgLoads_->SetRowCount(static_cast<int>(m.Loads.size()) + 2);
    dgSources_->SetRowCount(static_cast<int>(m.Sources.size()) + 2);
    SetCount(laLoads_, static_cast<int>(m.Loads.size()));
    SetCount(laSources_, static_cast<int>(m.Sources.size()));
    dgLoads_->viewport()->update();
    dgSources_->viewport()->update();
}

// ---- model-wide settings --------------------------------------------------------------
// They change the model without an undo step; the modified flag is set so that closing
// the window asks to save them.

void TParamsPage::edNameChange() {
    if (Filling_) return;
    Model().ModelName = edName_->text().toStdString();
    Model().Modified = true;
}

void TParamsPage::meCommentChange() {
    if (Filling_) return;
    Model().Comment = WithCrLf(meComment_->toPlainText());
    Model().Modified = true;
}

void TParamsPage::meTaperWireSetChange() {
    if (Filling_) return;
    QString text = meTaperWireSet_->toPlainText();
    if (text.endsWith('\n')) text.chop(1);
    std::vector<std::string> lines;
    if (!text.isEmpty())
        for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
    Model().TaperLines = std::move(lines);
    Model().Modified = true;
    // The lines belong to the undo steps: the edit becomes one when the memo is left.
    TaperEdited_ = true;
}

void TParamsPage::cbFreqChange(QObject* sender) {
    TWireList& m = Model();
    if (!Filling_) {
        if (sender == cbFreq_) {
            const double f = ParseRealAnyMark(cbFreq_->currentText().trimmed().toStdString());
            if (f > 0.1 && f < 10000 && f != m.Frequency) {
                m.SetFrequency(f);
                m.Modified = true;
            }
        } else {
            StoreSegmentationLine();
        }
    }
    laWaveLength_->setText(Q(FloatToStrFixed(m.Wavelength, 6, 3, Owner_.DecimalMark())) + " m");
}

void TParamsPage::ApplyFrequency(bool chosen) {
    // The box shows the frequency rounded to 3 decimals: only a text the user typed is
    // taken, never the shown rounding of the exact value.
    if (Filling_ || (!chosen && !cbFreq_->lineEdit()->isModified())) return;
    cbFreq_->lineEdit()->setModified(false);
    TWireList& m = Model();
    const double f = ParseRealAnyMark(cbFreq_->currentText().trimmed().toStdString());
    if (f > 0.1 && f < 10000) {
        if (f != m.Frequency) {
            m.SetFrequency(f);
            m.Modified = true;
        }
    } else {
        // Out of range or not a number: the box shows again what applies.
        const bool was = Filling_;
        Filling_ = true;
        cbFreq_->setEditText(Q(FloatToStrFixed(m.Frequency, 6, 3, Owner_.DecimalMark())));
        Filling_ = was;
    }
    laWaveLength_->setText(Q(FloatToStrFixed(m.Wavelength, 6, 3, Owner_.DecimalMark())) + " m");
}

void TParamsPage::cbDM1Click() {
    if (!Filling_) StoreSegmentationLine();
}

void TParamsPage::StoreSegmentationLine() {
    // The line is comma-separated and read with "." as decimal mark: a typed "," must not
    // split a value in two.
    auto word = [](const QComboBox* c) { return c->currentText().replace(',', '.'); };
    const QString line = QStringLiteral("%1,\t%2,\t%3,\t%4").arg(word(cbDM1_), word(cbDM2_), word(cbSC_), word(cbEC_));
    TWireList& m = Model();
    if (m.SegmentationLine == line.toStdString()) return;
    m.SegmentationLine = line.toStdString();
    m.Modified = true;
}

void TParamsPage::cbGroundClick() {
    if (Filling_) return;
    Model().GroundType = cbGround_->currentIndex();
    Model().Modified = true;
    Owner_.UpdateForm();
}

void TParamsPage::cbGroundChange() {
    const bool ground = cbGround_->currentIndex() > 0;
    rseHeight_->setEnabled(ground);
    laHeight_->setEnabled(ground);
}

void TParamsPage::cbMaterialClick() {
    if (Filling_) return;
    Model().Material = cbMaterial_->currentIndex();
    Model().Modified = true;
}

void TParamsPage::rseHeightChange() {
    if (Filling_) return;
    Model().BaseHeight = rseHeight_->value();
    Model().Modified = true;
    Owner_.UpdateForm();
}

void TParamsPage::cbZ_RChange(QObject* sender) {
    if (Filling_) return;
    // Only the field that changed is read: the others show rounded values, which must not
    // be written back over the model's exact ones.
    TWireList& m = Model();
    auto text = [](QObject* o) {
        if (auto* c = qobject_cast<QComboBox*>(o)) return c->currentText().trimmed().toStdString();
        return static_cast<QLineEdit*>(o)->text().trimmed().toStdString();
    };
    if (sender == cbZ_R_) {
        const double v = ParseRealAnyMark(text(cbZ_R_));
        m.StdZR = v == NoValue ? 50 : v;
    } else if (sender == cbZ_jX_) {
        const double v = ParseRealAnyMark(text(cbZ_jX_));
        m.StdZjX = v == NoValue ? 0 : v;
    } else if (sender == cbFB_Azim_) {
        m.FBAzimuth = StrToIntDef(text(cbFB_Azim_), 120);
    } else if (sender == cbFB_Elev_) {
        m.FBElevation = StrToIntDef(text(cbFB_Elev_), 60);
    } else {
        return;
    }
    m.Modified = true;
}

// ---- sources and loads ----------------------------------------------------------------

bool TParamsPage::IsCompleteRef(const QString& trimmed) {
    if (trimmed.size() <= 2) return false;
    const QChar last = trimmed.back().toLower();
    // The Cyrillic look-alikes of "c" and "e" count as well: the reader takes them too.
    return last == 'b' || last == 'c' || last == 'e' || last == QChar(0x0441) || last == QChar(0x0435);
}

void TParamsPage::ReportMissingWire(const QString& ref, int wire) {
    if (ref == ReportedRef_) return;
    ReportedRef_ = ref;
    Owner_.ShowMessage(QStringLiteral("Провод %1 не найден").arg(wire), IUserDialogs::Icon::Error);
}

QString TParamsPage::SourcesCellText(int col, int row) const {
    const TWireList& m = Model();
    const int n = static_cast<int>(m.Sources.size());
    if (col < 0 || col > 3 || row < 0) return {};
    if (row == 0) return LanguageText("TfmVelomast", SourceHeaders[col]);
    if (row > n) return row == n + 1 && col == 0 ? LanguageText("TfmVelomast", "dgSources.New") : QString();
    const TWObject& s = *m.Sources[static_cast<size_t>(row) - 1];
    switch (col) {
    case 0: return QString::number(row);
    case 1: return Q(s.WireRef());
    case 2: return Number(s.Values[0]);
    default: return s.Values[1] == NoValue ? QString() : Number(s.Values[1]) + QStringLiteral("°");
    }
}

void TParamsPage::dgSourcesDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState&) {
    TStringGrid::DrawCellText(p, rect, SourcesCellText(col, row), true);
}

void TParamsPage::dgSourcesSelectCell(int, int row) {
    TWireList& m = Model();
    if (row < 1 || row > static_cast<int>(m.Sources.size())) return;
    m.ClearSelection();
    if (TWire* w = m.Sources[static_cast<size_t>(row) - 1]->Wire) m.SelectWire(w, true);
    Owner_.UpdateForm();
}

void TParamsPage::dgSourcesGetEditText(int col, int row, QString& text) {
    ReportedRef_.clear();
    const TWireList& m = Model();
    if (row < 1 || row > static_cast<int>(m.Sources.size())) return;
    const TWObject& s = *m.Sources[static_cast<size_t>(row) - 1];
    if (col == 1) text = Q(s.WireRef());
    if (col == 2) text = Number(s.Values[0]);
    if (col == 3) text = Number(s.Values[1]);
}

void TParamsPage::dgSourcesSetEditText(int col, int row, const QString& text) {
    TWireList& m = Model();
    const int n = static_cast<int>(m.Sources.size());
    const QString ref = text.trimmed().toLower();
    if (row >= 1 && row <= n) {
        TWObject& s = *m.Sources[static_cast<size_t>(row) - 1];
        if (col == 1) {
            if (!IsCompleteRef(ref)) return;
            // Wire and position change; phase and voltage stay.
            const std::string line = ref.toStdString() + "," + FloatToStrGeneral(s.Values[1]) + "," +
                                     FloatToStrGeneral(s.Values[0]);
            int32_t missing = 0;
            if (!m.ReadObjectText(s, line, &missing)) {
                ReportMissingWire(ref, missing);
                return;
            }
        } else if (col == 2 || col == 3) {
            s.Values[col == 2 ? 0 : 1] = ParseRealAnyMark(text.toStdString());
        } else {
            return;
        }
        dgSources_->viewport()->update();
        // Undo steps hold the sources: a change that stored none would be reverted by
        // the next undo or redo.
        m.StoreUndoStep(false);
        Owner_.PaintView();
    } else if (row == n + 1 && col == 1 && IsCompleteRef(ref)) {
        int32_t missing = 0;
        if (!m.NewObjectFromText(KindSource, ref.toStdString() + ",0.0,1.0", &missing)) {
            ReportMissingWire(ref, missing);
            return;
        }
        RefreshParamsPage();
        m.StoreUndoStep(false);
        Owner_.PaintView();
    }
}

QString TParamsPage::LoadsCellText(int col, int row) const {
    const TWireList& m = Model();
    const int n = static_cast<int>(m.Loads.size());
    if (col < 0 || col > 7 || row < 0) return {};
    if (row == 0) return LanguageText("TfmVelomast", LoadHeaders[col]);
    if (row > n) return row == n + 1 && col == 0 ? LanguageText("TfmVelomast", "dgLoads.New") : QString();
    const TWObject& l = *m.Loads[static_cast<size_t>(row) - 1];
    if (col == 0) return QString::number(row);
    if (col == 1) return Q(l.WireRef());
    if (col == 2) {
        const double t = l.Values[0];
        return t == double(LoadLC) ? "LC" : t == double(LoadRjX) ? "R+jX" : t == double(LoadS) ? "S" : "";
    }
    const double v = l.Values[static_cast<size_t>(col) - 2];
    return v == 0 || v == NoValue ? QString() : Number(v);
}

void TParamsPage::dgLoadsDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState&) {
    TStringGrid::DrawCellText(p, rect, LoadsCellText(col, row), true);
}

void TParamsPage::dgLoadsSelectCell(int, int row) {
    TWireList& m = Model();
    if (row < 1 || row > static_cast<int>(m.Loads.size())) return;
    m.ClearSelection();
    if (TWire* w = m.Loads[static_cast<size_t>(row) - 1]->Wire) m.SelectWire(w, true);
    Owner_.UpdateForm();
}

void TParamsPage::dgLoadsGetEditText(int col, int row, QString& text) {
    ReportedRef_.clear();
    const TWireList& m = Model();
    if (row < 1 || row > static_cast<int>(m.Loads.size()) || col < 1) return;
    const TWObject& l = *m.Loads[static_cast<size_t>(row) - 1];
    text = col == 1 ? Q(l.WireRef()) : Number(l.Values[static_cast<size_t>(col) - 2]);
}

void TParamsPage::dgLoadsSetEditText(int col, int row, const QString& text) {
    TWireList& m = Model();
    const int n = static_cast<int>(m.Loads.size());
    const QString ref = text.trimmed().toLower();
    if (row >= 1 && row <= n) {
        TWObject& l = *m.Loads[static_cast<size_t>(row) - 1];
        if (col == 1) {
            if (!IsCompleteRef(ref)) return;
            // Only the wire and the position change.
            std::string line = ref.toStdString();
            for (size_t i = 0; i < 6; ++i) line += "," + FloatToStrGeneral(l.Values[i]);
            int32_t missing = 0;
            if (!m.ReadObjectText(l, line, &missing)) {
                ReportMissingWire(ref, missing);
                return;
            }
        } else if (col >= 2 && col <= 7) {
            l.Values[static_cast<size_t>(col) - 2] = ParseRealAnyMark(text.toStdString());
            // An LC load shows its resonance frequency (MHz, from µH and pF) in "F/B1".
            const double L = l.Values[1];
            const double C = l.Values[2];
            if (col >= 3 && l.Values[0] == double(LoadLC) && L > 0 && L != NoValue && C > 0 && C != NoValue)
                l.Values[4] = std::nearbyint(1000 / (2 * std::numbers::pi * std::sqrt(L * C)) * 1000) / 1000;
        } else {
            return;
        }
        dgLoads_->viewport()->update();
        m.StoreUndoStep(false);
        Owner_.PaintView();
    } else if (row == n + 1 && col == 1 && IsCompleteRef(ref)) {
        int32_t missing = 0;
        if (!m.NewObjectFromText(KindLoad, ref.toStdString() + ",0,0,0,0,0,0,0,0", &missing)) {
            ReportMissingWire(ref, missing);
            return;
        }
        RefreshParamsPage();
        m.StoreUndoStep(false);
        Owner_.PaintView();
    }
}

bool TParamsPage::dgSourcesKeyDown(QKeyEvent* e) {
    if (e->key() != Qt::Key_Delete || dgSources_->Col() != 1 || dgSources_->Editing()) return false;
    TWireList& m = Model();
    const int row = dgSources_->Row();
    if (row < 1 || row > static_cast<int>(m.Sources.size())) return false;
    m.DestroyObject(m.Sources[static_cast<size_t>(row) - 1].get());
    RefreshParamsPage();
    m.StoreUndoStep(false);
    Owner_.PaintView();
    return true;
}

bool TParamsPage::dgLoadsKeyDown(QKeyEvent* e) {
    if (e->key() != Qt::Key_Delete || dgLoads_->Col() != 1 || dgLoads_->Editing()) return false;
    TWireList& m = Model();
    const int row = dgLoads_->Row();
    if (row < 1 || row > static_cast<int>(m.Loads.size())) return false;
    m.DestroyObject(m.Loads[static_cast<size_t>(row) - 1].get());
    RefreshParamsPage();
    m.StoreUndoStep(false);
    Owner_.PaintView();
    return true;
}

} // namespace velomast
