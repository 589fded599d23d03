// The side panel beside the view (wires, elements, scene), the parameters page and the
// side-panel part of the general refresh.
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "model/number_format.h"
#include "ui/params_page.h"
#include "ui/string_grid.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {

// A hold-point icon: a wire with a filled dot at the point that stays (0 start, 1 centre, 2 end).
QIcon HoldIcon(int at) {
    QPixmap pm(22, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(43, 58, 74), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 8), QPointF(19, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 60, 60));
    const double x = at == 0 ? 4 : at == 1 ? 11 : 18;
    p.drawEllipse(QPointF(x, 8), 3.2, 3.2);
    return QIcon(pm);
}

} // namespace

QToolButton* TfmVelomast::AddPanelButton(QWidget* parent, const QString& name, const QString& hint,
                                         const QString& caption) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    if (!caption.isEmpty()) b->setText(caption);
    Buttons_[name] = b;
    return b;
}

void TfmVelomast::BuildSidePanel(QTabWidget* panel) {
    auto* wires = new QWidget(panel);
    wires->setObjectName("tsWires");
    BuildWiresPage(wires);
    panel->addTab(wires, "Провода");

    auto* elements = new QWidget(panel);
    elements->setObjectName("tsElements");
    BuildElementsPage(elements);
    panel->addTab(elements, "Элементы");

    auto* scene = new QWidget(panel);
    scene->setObjectName("tsScene");
    BuildScenePage(scene);
    panel->addTab(scene, "Сцена");

    auto* check = new QWidget(panel);
    check->setObjectName("tsCheck");
    BuildCheckPage(check);
    panel->addTab(check, "Проверка");

    auto* analysis = new QWidget(panel);
    analysis->setObjectName("tsAnalysis");
    BuildAnalysisPage(analysis);
    panel->addTab(analysis, "Расчёт");
    panel->setMinimumWidth(250);
}

void TfmVelomast::BuildWiresPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    laWire_ = new QLabel("Провод:", page);
    laWire_->setObjectName("laWire");
    QFont bold = laWire_->font();
    bold.setBold(true);
    laWire_->setFont(bold);
    layout->addWidget(laWire_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    QToolButton* wl = AddPanelButton(page, "sbWL", "Размеры в длинах волны", QStringLiteral("λ"));
    QFont big = wl->font();
    big.setBold(true);
    wl->setFont(big);
    connect(wl, &QToolButton::clicked, this, &TfmVelomast::sbWLClick);
    buttons->addWidget(wl);
    buttons->addWidget(AddPanelButton(page, "sbMirror", "Изменять зеркально отражённый провод", "Зер."));
    buttons->addSpacing(10);
    auto* hold = new QButtonGroup(page);
    hold->setObjectName("FixGroup");
    hold->setExclusive(true);
    const char* const names[] = {"sbFixStart", "sbFixCenter", "sbFixEnd"};
    const char* const hints[] = {"Удерживать начало", "Удерживать центр", "Удерживать конец"};
    for (int i = 0; i < 3; ++i) {
        QToolButton* b = AddPanelButton(page, names[i], QString::fromUtf8(hints[i]), {});
        b->setIcon(HoldIcon(i));
        b->setIconSize(QSize(22, 16));
        hold->addButton(b);
        buttons->addWidget(b);
    }
    Button("sbFixCenter")->setChecked(true);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    dgWire_ = new TStringGrid(2, WireTableRows, page);
    dgWire_->setObjectName("dgWire");
    dgWire_->SetFixed(1, 1);
    dgWire_->SetEditable(true);
    dgWire_->SetColWidth(0, 96);
    dgWire_->horizontalHeader()->setStretchLastSection(true);
    dgWire_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dgWire_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dgWire_->setFixedHeight(WireTableRows * 20 + 2 * dgWire_->frameWidth() + 1);
    dgWire_->setContextMenuPolicy(Qt::CustomContextMenu);
    dgWire_->OnBeforePaint = [this] {
        if (Model_) UpdateSelectionSummary(*Model_, Summary_);
    };
    dgWire_->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rect, const TGridDrawState& s) {
        dgWireDrawCell(p, c, r, rect, s);
    };
    dgWire_->OnGetEditText = [this](int c, int r, QString& t) { dgWireGetEditText(c, r, t); };
    dgWire_->OnSetEditText = [this](int c, int r, const QString& t) { dgWireSetEditText(c, r, t); };
    dgWire_->OnKeyDown = [this](QKeyEvent* e) { return dgWireKeyDown(e->key(), e->modifiers()); };
    dgWire_->OnMouseDown = [this](QMouseEvent* e) {
        return e->button() == Qt::LeftButton && dgWireMouseDown(e->position().toPoint());
    };
    dgWire_->OnEnter = [this] { dgWireEnter(); };
    dgWire_->OnEditorClosed = [this] {
        // A value typed into an editor that closed without Enter or Tab is dropped.
        FEditText_.clear();
        FEditValue_ = NoValue;
    };
    connect(dgWire_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (Model_ && !Model_->Selection.Empty()) pmWire_->popup(dgWire_->viewport()->mapToGlobal(pos));
    });
    layout->addWidget(dgWire_);

    chKeepConnection_ = new QCheckBox("Не разрывать соединения", page);
    chKeepConnection_->setObjectName("chKeepConnection");
    connect(chKeepConnection_, &QCheckBox::clicked, this, &TfmVelomast::chKeepConnectionClick);
    layout->addWidget(chKeepConnection_);

    auto* sum = new QHBoxLayout;
    auto* sumCap = new QLabel("Общая длина:", page);
    sumCap->setObjectName("laSumLen");
    laSumLenValue_ = new QLabel(page);
    laSumLenValue_->setObjectName("laSumLenValue");
    sum->addWidget(sumCap);
    sum->addWidget(laSumLenValue_, 1);
    layout->addLayout(sum);
    layout->addStretch(1);
}

void TfmVelomast::BuildElementsPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    dgElements_ = new TStringGrid(3, 2, page);
    dgElements_->setObjectName("dgElements");
    dgElements_->setToolTip("Состав элементов");
    dgElements_->SetFixed(0, 1);
    dgElements_->SetRowSelect(true);
    dgElements_->SetColWidth(0, 34);
    dgElements_->SetColWidth(1, 44);
    dgElements_->SetColWidth(2, 89);
    dgElements_->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& rect, const TGridDrawState& s) {
        dgElementsDrawCell(p, c, r, rect, s);
    };
    dgElements_->OnSelectCell = [this](int c, int r) { dgElementsSelectCell(c, r); };
    layout->addWidget(dgElements_, 1);

    auto* radius = new QHBoxLayout;
    auto* cap = new QLabel("Радиус поворота:", page);
    cap->setObjectName("laRadiusMaxCap");
    laRadiusMax_ = new QLabel(page);
    laRadiusMax_->setObjectName("laRadiusMax");
    laRadiusMax_->setToolTip("Минимальный радиус поворота");
    radius->addWidget(cap);
    radius->addWidget(laRadiusMax_, 1);
    layout->addLayout(radius);
}

void TfmVelomast::BuildParamsPage(QWidget* page) {
    Params_ = new TParamsPage(*this, page);
    page->layout()->addWidget(Params_);
}

void TfmVelomast::FillParamsPage() {
    if (Model_) Params_->FillParamsPage();
}

namespace {
// Half the X-Y diagonal of the box of the own wires as they are now (isolators left out
// when the box leaves them out).
double CurrentTurningRadius(const TWireList& m) {
    bool any = false;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        const TWire* w = m[i];
        if (m.BoxSkipIsolators && w->IsIsolator()) continue;
        for (const Vec3& p : {w->P1(), w->P2()}) {
            if (!any) {
                minX = maxX = p.X;
                minY = maxY = p.Y;
                any = true;
            }
            minX = std::min(minX, p.X);
            maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y);
            maxY = std::max(maxY, p.Y);
        }
    }
    return std::hypot(maxX - minX, maxY - minY) / 2;
}
} // namespace

void TfmVelomast::RefreshSidePanel() {
    TWireList& m = *Model_;
    UpdateSelectionSummary(m, Summary_);
    dgWire_->viewport()->update();
    if (m.Selection.Count() <= 1) {
        const TWire* cur = m.Selection.Current();
        laWire_->setText(LanguageText("TfmVelomast", "Text.WireNumber").arg(cur ? cur->Number() : 0));
    } else {
        laWire_->setText(LanguageText("TfmVelomast", "Text.SelectedTotal").arg(m.Selection.Count()));
    }
    const bool any = m.OwnCount() > 0;
    dgWire_->setEnabled(any);
    laWire_->setEnabled(any);

    double sum = 0;
    for (const TWire* w : m.Selection) sum += w->WireLength();
    laSumLenValue_->setText(QString::fromStdString(FloatToStrFixed(sum, 6, 3, DecimalMark_)) + " " + LanguageText("TfmVelomast", "Text.Metres"));
    laRadiusMax_->setText(QString::fromStdString(FloatToStrFixed(CurrentTurningRadius(m), 5, 2, DecimalMark_)) +
                          " " + LanguageText("TfmVelomast", "Text.Metres"));

    dgElements_->SetRowCount(static_cast<int>(std::max<size_t>(m.Elements.size(), 1)) + 1);
    dgElements_->viewport()->update();
    if (pcMain_->currentIndex() == PageGeneral) Params_->RefreshParamsPage();
}

bool TfmVelomast::StartTableEditing() {
    if (!IsViewPage() || Model_->Selection.Empty()) return false;
    if (!dgWire_->hasFocus() && !dgWire_->Editing()) {
        pcRight_->setCurrentIndex(0);
        dgWire_->setFocus();
        SetWireTableRow(RowLength, true);
    }
    const int next = dgWire_->Row() >= RowSegments || dgWire_->Row() < RowLength ? RowLength : dgWire_->Row() + 1;
    SetWireTableRow(next, true);
    return true;
}

} // namespace velomast
