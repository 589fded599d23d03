// The scene of antennas and landscape in the window: the menu "Сцена", the side page
// "Сцена" and the field popup's "Установить здесь место основной антенны".
#include "tfm_velomast.h"
#include "ui/language_texts.h"

#include "files/maa_writer.h"
#include "model/number_format.h"
#include "model/text_parse.h"
#include "scene/scene.h"
#include "ui/mouse_controller.h"
#include "view/view_camera.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace velomast {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

const char* const SceneFilter = "Файлы комплекса антенн (*.scn)";
const char* const LandscapeFilter = "Ландшафт (*.lnd)";
const char* const AntennaFilter = "Модели антенн MMANA (*.maa)";
const char* const ExportFilter = "Файлы антенн maa (*.maa);;Файлы ландшафта (*.lnd)";
constexpr int ScenePage = 2;

// The list of antennas: keys go to the window's handler first.
class TCheckListBox : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<bool(int)> OnKeyDown;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (OnKeyDown && OnKeyDown(e->key())) {
            e->accept();
            return;
        }
        QListWidget::keyPressEvent(e);
    }
};

// The landscape box: read-only, a click chooses the landscape.
class TClickEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLineEdit::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && OnClick) OnClick();
    }
};

double& Coord(Vec3& v, int k) { return k == 0 ? v.X : k == 1 ? v.Y : v.Z; }

// Writes the scene file; a refusal or failure is shown.
bool WriteScene(TfmVelomast& window, TScene& scene) {
    const TFileResult r = scene.SaveScene();
    if (!r.Ok) {
        window.ShowMessage(Q(r.Message), IUserDialogs::Icon::Error);
        return false;
    }
    window.SetStatusText(0, LanguageText("TfmVelomast", "Text.SceneSaved") + QFileInfo(Q(scene.SceneFileName)).fileName());
    return true;
}

} // namespace

// ---- the side page ----------------------------------------------------------------------

void TfmVelomast::BuildScenePage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* antennas = new QLabel("Антенны:", page);
    antennas->setObjectName("laScene");
    layout->addWidget(antennas);
    auto* list = new TCheckListBox(page);
    list->setObjectName("chlScene");
    list->setToolTip("Del удаляет выбранную антенну из сцены");
    list->OnKeyDown = [this](int key) { return chlSceneKeyDown(key); };
    connect(list, &QListWidget::currentRowChanged, this, [this](int) { chlSceneClick(); });
    chlScene_ = list;
    layout->addWidget(list, 1);

    auto* landscape = new QLabel("Ландшафт:", page);
    landscape->setObjectName("laLandscape");
    layout->addWidget(landscape);
    auto* edit = new TClickEdit(page);
    edit->setObjectName("edLandscape");
    edit->setReadOnly(true);
    edit->setMaxLength(40);
    edit->setCursor(Qt::PointingHandCursor);
    edit->OnClick = [this] {
        if (SceneFunctionsOn()) NOpenLandscapeClick();
    };
    edLandscape_ = edit;
    layout->addWidget(edit);

    auto* position = new QLabel("Позиция на сцене:", page);
    position->setObjectName("laAntPosition");
    layout->addWidget(position);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    const char* const names[] = {"edAntX", "edAntY", "edAntZ"};
    const char* const captions[] = {"dX:", "dY:", "dZ:"};
    for (int k = 0; k < 3; ++k) {
        auto* cap = new QLabel(captions[k], page);
        auto* e = new QLineEdit("0", page);
        e->setObjectName(names[k]);
        // Room for every value a scene file may hold, so that the box never shows a cut one.
        e->setMaxLength(16);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance("-00000,0000") + 12);
        cap->setBuddy(e);
        grid->addWidget(cap, k, 0);
        grid->addWidget(e, k, 1);
        auto* unit = new QLabel("м", page);
        unit->setObjectName(QStringLiteral("%1Unit").arg(QLatin1String(names[k])));
        grid->addWidget(unit, k, 2);
        connect(e, &QLineEdit::textChanged, this, [this, e] { edAntXChange(e); });
        edAnt_[k] = e;
        ShownAnt_[k] = "0";
    }
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto* turn = new QHBoxLayout;
    auto* turnCap = new QLabel("Поворот:", page);
    turnCap->setObjectName("laAzi");
    laAzi_ = new QLabel(QStringLiteral("0°"), page);
    laAzi_->setObjectName("laAziValue");
    turn->addWidget(turnCap);
    turn->addWidget(laAzi_, 1);
    layout->addLayout(turn);
    tbAzi_ = new QSlider(Qt::Horizontal, page);
    tbAzi_->setObjectName("tbAzi");
    tbAzi_->setToolTip("Поворот антенны вокруг вертикали, по часовой стрелке при взгляде сверху");
    tbAzi_->setRange(-180, 180);
    tbAzi_->setValue(0);
    tbAzi_->setTickInterval(10);
    tbAzi_->setTickPosition(QSlider::TicksBelow);
    tbAzi_->setPageStep(10);
    tbAzi_->setFocusPolicy(Qt::StrongFocus);
    connect(tbAzi_, &QSlider::valueChanged, this, [this](int v) {
        laAzi_->setText(QStringLiteral("%1°").arg(v));
        edAntXChange(tbAzi_);
    });
    layout->addWidget(tbAzi_);
    layout->addStretch(1);
}

void TfmVelomast::SetUpScene() {
    const std::pair<const char*, void (TfmVelomast::*)()> items[] = {
        {"NOpenLandscape", &TfmVelomast::NOpenLandscapeClick}, {"NDeleteLandscape", &TfmVelomast::NDeleteLandscapeClick},
        {"NAdd", &TfmVelomast::NAddClick},                     {"NSceneEmpty", &TfmVelomast::NSceneEmptyClick},
        {"NLoadScene", &TfmVelomast::NLoadSceneClick},         {"NSaveScene", &TfmVelomast::NSaveSceneClick},
        {"NSaveSceneAs", &TfmVelomast::NSaveSceneAsClick},     {"NSaveSceneMaa", &TfmVelomast::NSaveSceneMaaClick},
    };
    for (const auto& [name, handler] : items) connect(Action(name), &QAction::triggered, this, handler);

    QAction* base = Action("NpBase");
    connect(base, &QAction::triggered, this, &TfmVelomast::NpBaseClick);
    // Offered in the flat views while the scene functions are on.
    connect(pmField_, &QMenu::aboutToShow, this, [this, base] {
        base->setEnabled(SceneFunctionsOn() && IsViewPage() && Model_->ViewKind >= 1 && Model_->ViewKind <= 3);
    });
}

void TfmVelomast::ShowLandscapeName() {
    edLandscape_->setText(Q(TScene::NamePart(Scene_->LandscapePath)));
    edLandscape_->setToolTip(Q(Scene_->LandscapePath));
}

void TfmVelomast::FillScenePage() {
    {
        const QSignalBlocker block(chlScene_);
        chlScene_->clear();
        for (const TAntenna& a : Scene_->Antennas) {
            auto* item = new QListWidgetItem(Q(a.Name), chlScene_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            item->setToolTip(Q(a.Path));
        }
    }
    ShowLandscapeName();
    if (chlScene_->count() > 0) chlScene_->setCurrentRow(chlScene_->count() - 1);
    chlSceneClick();
}

void TfmVelomast::FitWholeScene() {
    TWireList& m = *Model_;
    if (m.Count() == m.OwnCount()) return;
    m.BoxIncludesScene = true;
    m.FitScale();
    CenterOnModel(m);
    m.BoxIncludesScene = false;
    m.ComputeBox(); // the centre buttons and the status bar go by the antenna's own box
    ApplyViewScale(false, m.ViewScale);
}

void TfmVelomast::ShowSceneWarnings() {
    QLabel* panel = StatusPanels_[0];
    const std::vector<std::string>& w = Scene_->Warnings;
    if (w.empty()) {
        panel->setToolTip({});
        return;
    }
    QStringList all;
    for (const std::string& line : w) all << Q(line);
    QString text = " " + all.front();
    if (all.size() > 1) text += LanguageText("TfmVelomast", "Text.AndMore").arg(all.size() - 1);
    SetStatusText(0, text);
    panel->setToolTip(all.join('\n'));
}

// ---- landscape ------------------------------------------------------------------------

void TfmVelomast::NOpenLandscapeClick() {
    const QString dir = Scene_->LandscapePath.empty() ? QString() : QFileInfo(Q(Scene_->LandscapePath)).absolutePath();
    const QString name = Dialogs_->OpenFileName("Выбрать ландшафт", LandscapeFilter, dir);
    if (name.isEmpty() || !Scene_->SetLandscape(S(name))) return;
    ShowLandscapeName();
    ShowSceneWarnings();
    UpdateForm();
}

void TfmVelomast::NDeleteLandscapeClick() {
    Scene_->DeleteLandscape();
    ShowLandscapeName();
    UpdateForm();
}

void TfmVelomast::NpBaseClick() {
    TWireList& m = *Model_;
    if (m.ViewKind < 1 || m.ViewKind > 3) return;
    // The clicked place of the landscape comes under the edited antenna's origin.
    Vec3 p = UnprojectPixel(m, Mouse().ReleasePoint());
    p.Z = 0;
    Scene_->ShiftLandscape(p);
    PaintView();
}

// ---- antennas ---------------------------------------------------------------------------

void TfmVelomast::NAddClick() {
    const QString dir = Model_->FileName.empty() ? QString() : QFileInfo(Q(Model_->FileName)).absolutePath();
    const QString name = Dialogs_->OpenFileName("Добавить антенну", AntennaFilter, dir);
    if (name.isEmpty()) return;
    const int index = Scene_->AddAntenna(S(name));
    if (index < 0) return; // a file of that name is listed already
    const TAntenna& a = Scene_->Antennas[static_cast<size_t>(index)];
    {
        const QSignalBlocker block(chlScene_);
        auto* item = new QListWidgetItem(Q(a.Name), chlScene_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setToolTip(Q(a.Path));
        chlScene_->setCurrentRow(index);
    }
    chlSceneClick();
    pcRight_->setCurrentIndex(ScenePage);
    ShowSceneWarnings();
    UpdateForm();
}

void TfmVelomast::chlSceneClick() {
    const int i = chlScene_->currentRow();
    const bool any = i >= 0 && static_cast<size_t>(i) < Scene_->Antennas.size();
    const TAntenna shown = any ? Scene_->Antennas[static_cast<size_t>(i)] : TAntenna{};
    for (int k = 0; k < 3; ++k) {
        Vec3 offset = shown.Offset;
        ShownAnt_[k] = Q(FloatToStrGeneral(Coord(offset, k), 15, DecimalMark_));
        const QSignalBlocker block(edAnt_[k]);
        edAnt_[k]->setText(ShownAnt_[k]);
    }
    const double turn = std::clamp(shown.Turn, -180.0, 180.0);
    ShownAzi_ = static_cast<int>(RoundHalfEven(turn));
    const QSignalBlocker block(tbAzi_);
    tbAzi_->setValue(ShownAzi_);
    laAzi_->setText(QStringLiteral("%1°").arg(ShownAzi_));
}

bool TfmVelomast::chlSceneKeyDown(int key) {
    if (key != Qt::Key_Delete) return false;
    const int i = chlScene_->currentRow();
    if (i < 0 || static_cast<size_t>(i) >= Scene_->Antennas.size()) return true;
    Scene_->RemoveAntenna(static_cast<size_t>(i));
    {
        const QSignalBlocker block(chlScene_);
        delete chlScene_->takeItem(i);
        if (chlScene_->count() > 0) chlScene_->setCurrentRow(std::min(i, chlScene_->count() - 1));
    }
    chlSceneClick();
    UpdateForm();
    return true;
}

void TfmVelomast::edAntXChange(QWidget* sender) {
    // Only what the user changes: values filled in by chlSceneClick do nothing.
    const bool byUser = sender && (sender->hasFocus() || (sender == tbAzi_ && tbAzi_->isSliderDown()));
    if (!byUser || !Scene_) return;
    const int i = chlScene_->currentRow();
    if (i < 0 || static_cast<size_t>(i) >= Scene_->Antennas.size()) return;
    const TAntenna& a = Scene_->Antennas[static_cast<size_t>(i)];
    Vec3 offset = a.Offset;
    for (int k = 0; k < 3; ++k) {
        const QString text = edAnt_[k]->text();
        // A box the user has not changed keeps the exact value it shows.
        if (text == ShownAnt_[k]) continue;
        const double v = ParseRealAnyMark(S(text.trimmed()));
        if (v != NoValue) Coord(offset, k) = v; // not a number: that component stays
    }
    const double turn = tbAzi_->value() == ShownAzi_ ? a.Turn : tbAzi_->value();
    Scene_->PlaceAntenna(static_cast<size_t>(i), offset, turn);
    ShowSceneWarnings();
    UpdateForm();
}

void TfmVelomast::NSceneEmptyClick() {
    Scene_->ClearScene();
    {
        const QSignalBlocker block(chlScene_);
        chlScene_->clear();
    }
    chlSceneClick(); // the boxes show 0
    ShowLandscapeName();
    UpdateForm();
}

// ---- scene files --------------------------------------------------------------------------

void TfmVelomast::OpenSceneFile(const QString& fileName) {
    UseScene(true);
    std::string model;
    std::string error;
    if (!TScene::ReadModelPath(S(fileName), &model, &error)) {
        ShowMessage(Q(error), IUserDialogs::Icon::Error);
        return;
    }
    // The placement depends on the model's base height: the model first.
    if (!model.empty() && !OpenModel(Q(model)))
        ShowMessage(QStringLiteral("Файл %1 не найден.").arg(Q(model)), IUserDialogs::Icon::Error);
    if (!Scene_->LoadScene(S(fileName), &error)) {
        ShowMessage(Q(error), IUserDialogs::Icon::Error);
        return;
    }
    FillScenePage();
    pcRight_->setCurrentIndex(ScenePage);
    FitWholeScene();
    ShowSceneWarnings();
    UpdateForm();
}

void TfmVelomast::NLoadSceneClick() {
    const std::string& last = Scene_->SceneFileName;
    const QString dir = last.empty() ? QString() : QFileInfo(Q(last)).absolutePath();
    const QString name = Dialogs_->OpenFileName("Открыть файл сцены", SceneFilter, dir);
    if (name.isEmpty()) return;
    std::string error;
    if (!Scene_->LoadScene(S(name), &error)) {
        ShowMessage(Q(error), IUserDialogs::Icon::Error);
        return;
    }
    FillScenePage();
    pcRight_->setCurrentIndex(ScenePage);
    FitWholeScene();
    ShowSceneWarnings();
    UpdateForm();
}

void TfmVelomast::NSaveSceneClick() {
    if (Scene_->SceneFileName.empty()) {
        NSaveSceneAsClick();
        return;
    }
    WriteScene(*this, *Scene_);
}

void TfmVelomast::NSaveSceneAsClick() {
    const QString name = Dialogs_->SaveFileName("Сохранить сцену как", SceneFilter, Q(Scene_->SceneFileName), "scn");
    if (name.isEmpty()) return;
    const std::string previous = Scene_->SceneFileName;
    Scene_->SceneFileName = S(name);
    // A scene that could not be written keeps the name it had.
    if (!WriteScene(*this, *Scene_)) Scene_->SceneFileName = previous;
}

void TfmVelomast::NSaveSceneMaaClick() {
    TWireList& m = *Model_;
    QString proposed = "sc_";
    if (!m.FileName.empty()) {
        const QFileInfo model(Q(m.FileName));
        proposed = QDir(model.absolutePath()).filePath("sc_" + model.fileName());
    }
    const QString name = Dialogs_->SaveFileName("Сохранить сцену в файл maa", ExportFilter, proposed, "maa");
    if (name.isEmpty()) return;
    TLogLocale log;
    log.DecimalMark = DecimalMark_;
    // All wires, own and foreign; the model's name, state and linked files stay.
    const TWriteResult r = WriteModel(m, S(name), true, log);
    if (!r.Ok) {
        ShowMessage(Q(r.Message), IUserDialogs::Icon::Error);
        return;
    }
    if (!r.Warnings.empty()) {
        QStringList lines;
        for (const std::string& w : r.Warnings) lines << Q(w);
        ShowMessage(lines.join('\n'), IUserDialogs::Icon::Warning);
    }
    SetStatusText(0, LanguageText("TfmVelomast", "Text.SceneWritten").arg(m.Count()));
}

} // namespace velomast
