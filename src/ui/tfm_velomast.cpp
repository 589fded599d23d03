#include "tfm_velomast.h"

#include "settings/qt_translation.h"
#include "ui/language_texts.h"
#include "settings/settings_file.h"
#include "ui/analysis_state.h"
#include "ui/mouse_controller.h"
#include "ui/paint_box.h"
#include "ui/string_grid.h"
#include "ui/params_page.h"
#include "ui/tool_icons.h"
#include "scene/scene.h"
#include "view/view_camera.h"
#include "view/view_painter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace velomast {

namespace {
const char* const ScaleItems[] = {" 1%",  " 2%",  " 4%",   " 5%",   " 8%",   " 10%",   " 15%",
                                  " 20%", " 30%", " 40%",  " 50%",  " 75%",  " 100%",  " 200%",
                                  " 400%", " 500%", " 1000%", " 2000%", " 5000%"};
const int StatusWidths[5] = {200, 130, 125, 150, 50};
const char* const StatusSamples[5] = {" Длина 12345  dX 12.34  dY 12.34", "Выделено: 2000 из 2000",
                                      "X=-123.456 m Y=-123.456 m", "H=12.5 м. Hmax=123.4 м.", "12345678"};
} // namespace

TfmVelomast::TfmVelomast(const TMainWindowOptions& options, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmVelomast"));
    AppTitle_ = QStringLiteral("Веломаст");
    setWindowTitle(AppTitle_);
    // Qt's own buttons and file dialogs speak the interface's language too.
    UseQtTranslation(QStringLiteral("ru"));
    const QString mark = QLocale().decimalPoint();
    DecimalMark_ = (!mark.isEmpty() && mark[0].unicode() < 128) ? static_cast<char>(mark[0].unicode()) : ',';

    if (options.Dialogs) {
        Dialogs_ = options.Dialogs;
    } else {
        OwnDialogs_ = std::make_unique<TQtUserDialogs>(this);
        Dialogs_ = OwnDialogs_.get();
    }

    Analysis_ = std::make_unique<TAnalysisState>();
    BuildMenus();
    BuildToolBar();
    BuildPages();
    BuildStatusBar();
    resize(1180, 780);

    // 1. The model, sized to the paint area.
    Model_ = std::make_unique<TWireList>(TRectI{0, 0, PaintBox1_->width(), PaintBox1_->height()});
    PaintBox1_->SetImage(&ViewBitmap_);
    // 2-6. Settings.
    IniFile_ = std::make_unique<TSettingsFile>(options.SettingsPath.isEmpty() ? TSettingsFile::DefaultPath()
                                                                              : options.SettingsPath);
    ReadStartupSettings();
    // 7. The wire clipboard.
    WireClipboard_ = std::make_unique<TWireList>(TRectI{0, 0, PaintBox1_->width(), PaintBox1_->height()});
    // 8. Polygon tool and scene functions.
    PolygonSides_ = 4;
    UseScene(false);
    // 9. The scene; its main antenna is the model.
    Scene_ = std::make_unique<TScene>(*Model_);
    // 10. Recent files.
    RecentFiles_ = IniFile_->ReadRecentFiles();
    RebuildRecentMenu();
    // 11. First page, first side page, 100 %.
    pcMain_->setCurrentIndex(0);
    pcMainChange(0);
    pcRight_->setCurrentIndex(0);
    cbScale_->setCurrentIndex(12);
    cbScaleSelect();
    // 12. The last file.
    if (IniFile_->ReadBool("Main", "OpenLastFile", false) && !RecentFiles_.isEmpty())
        OpenModel(RecentFiles_.front().trimmed());
    // 13. Language.
    if (IniFile_->ReadString("Main", "Language", "ru") == QLatin1String("en")) NLangEnClick();
    // 14. A file named on the command line.
    ApplyStartupArguments(options.Arguments);

    ConnectWireCommands();
    ConnectGenerators();
    ConnectReport();
    SetUpMouseEditing();
    SetUpTablesAndSelection();
    SetUpScene();
    SetUpAnalysis();
    ConnectSettings();
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    // Commands added after the start-up language switch speak the chosen language too.
    if (Action("NLangEn")->isChecked()) ApplyLanguage(this, false);
    Built_ = true;
    UpdateForm();
}

TfmVelomast::~TfmVelomast() {
    qApp->removeEventFilter(this);
    StopAnalysisRun();
    // Losing focus while the window is taken down must not run the scale box's handler.
    cbScale_->blockSignals(true);
    cbScale_->lineEdit()->blockSignals(true);
    // An open cell editor closes while the window is taken down: nothing to forget then.
    dgWire_->OnEditorClosed = nullptr;
    IniFile_->WriteRecentFiles(RecentFiles_, MaxRecentFiles);
    PaintBox1_->SetMouse(nullptr);
}

QAction* TfmVelomast::Action(const QString& name) const {
    const auto it = Actions_.find(name);
    return it == Actions_.end() ? nullptr : it->second;
}

QToolButton* TfmVelomast::Button(const QString& name) const {
    const auto it = Buttons_.find(name);
    return it == Buttons_.end() ? nullptr : it->second;
}

// ---- construction ---------------------------------------------------------------------

QAction* TfmVelomast::AddAction(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut,
                                bool enabled) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) a->setShortcut(QKeySequence(shortcut));
    a->setEnabled(enabled);
    menu->addAction(a);
    Actions_[name] = a;
    return a;
}

QMenu* TfmVelomast::AddMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    Actions_[name] = m->menuAction();
    return m;
}

void TfmVelomast::BuildMenus() {
    // File.
    QMenu* file = AddMenu(nullptr, "NFile", "&Файл");
    connect(AddAction(file, "NNewAntenna", "Новая антенна", "Ctrl+N"), &QAction::triggered, this,
            &TfmVelomast::NNewAntennaClick);
    connect(AddAction(file, "NFileOpen", "Открыть...", "Ctrl+O"), &QAction::triggered, this,
            &TfmVelomast::NFileOpenClick);
    RecentMenu_ = AddMenu(file, "NFileOpenMRU", QStringLiteral("Открыть известный") + QString(9, ' '));
    connect(AddAction(file, "NReopen", "Открыть заново (обновить)", "F5"), &QAction::triggered, this,
            &TfmVelomast::NReopenClick);
    file->addSeparator();
    connect(AddAction(file, "NFileSave", "Сохранить", "Ctrl+S"), &QAction::triggered, this,
            &TfmVelomast::NFileSaveClick);
    connect(AddAction(file, "NFileSaveAs", "Сохранить как...", "Ctrl+Shift+S"), &QAction::triggered, this,
            &TfmVelomast::NFileSaveAsClick);
    connect(AddAction(file, "NFileSaveAsBitmap", "Сохранить как изображение..."), &QAction::triggered, this,
            &TfmVelomast::NFileSaveAsBitmapClick);
    file->addSeparator();
    connect(AddAction(file, "NFileMMANA", "Открыть в MMANA...", "F6"), &QAction::triggered, this,
            &TfmVelomast::NFileMMANAClick);
    AddAction(file, "NFileNEC4MMANA", "Открыть в NEC-2 for MMANA...", "Ctrl+F6", false);
    AddAction(file, "NFileOpenNotepad", "Открыть в Блокноте...", {}, false);
    file->addSeparator();
    AddAction(file, "NPreview", "Предварительный просмотр...", {}, false);
    AddAction(file, "NPrint", "Печать...", "Ctrl+P", false);
    file->addSeparator();
    AddAction(file, "NSettings", "Настройки...", "F2", false);
    file->addSeparator();
    connect(AddAction(file, "NExit", "Выход", "Alt+X"), &QAction::triggered, this, &QWidget::close);

    // Scene (hidden while the scene functions are off).
    QMenu* scene = AddMenu(nullptr, "NScene", "Сцена");
    AddAction(scene, "NOpenLandscape", "Выбрать ландшафт...", {}, false);
    AddAction(scene, "NDeleteLandscape", "Удалить ландшафт", {}, false);
    scene->addSeparator();
    AddAction(scene, "NAdd", "Добавить антенну...", {}, false);
    AddAction(scene, "NSceneEmpty", "Очистить сцену", {}, false);
    scene->addSeparator();
    AddAction(scene, "NLoadScene", "Открыть файл сцены...", {}, false);
    AddAction(scene, "NSaveScene", "Сохранить", {}, false);
    AddAction(scene, "NSaveSceneAs", "Сохранить как...", {}, false);
    AddAction(scene, "NSaveSceneMaa", "Сохранить сцену в файл maa...", {}, false);

    // Edit.
    QMenu* edit = AddMenu(nullptr, "NEdit", "&Правка");
    connect(AddAction(edit, "NUndo", "Шаг назад", "Ctrl+Z"), &QAction::triggered, this, [this] { NUndoClick(true); });
    connect(AddAction(edit, "NRedo", "Шаг вперёд", "Ctrl+Y"), &QAction::triggered, this, [this] { NUndoClick(false); });
    edit->addSeparator();
    AddAction(edit, "NEditCut", "Вырезать", "Ctrl+X", false);
    AddAction(edit, "NEditCopy", "Копировать", "Ctrl+C", false);
    AddAction(edit, "NEditPaste", "Вставить", "Ctrl+V", false);
    AddAction(edit, "NPasteSpecial", "Вставить со смещением...", "Ctrl+Shift+V", false);
    edit->addSeparator();
    AddAction(edit, "NMove", "Переместить вдоль оси...", "Ctrl+M", false);
    AddAction(edit, "NRotate", "Повернуть вокруг оси...", "Ctrl+R", false);
    edit->addSeparator();
    connect(AddAction(edit, "NRuler", "Линейка", "Ctrl+0"), &QAction::triggered, this, [this] { PressButton("sbRuler"); });

    // Wires.
    QMenu* wires = AddMenu(nullptr, "NWires", "Провода");
    AddAction(wires, "NSelectAll", "Выделить все", "Ctrl+A", false);
    AddAction(wires, "NSelectionInvert", "Инвертировать выделение", {}, false);
    AddAction(wires, "NSelectElement", "Выделить текущий элемент", "Ctrl+E", false);
    AddAction(wires, "NSelectionIsol", "Найти все изоляторы", "Ctrl+I", false);
    AddAction(wires, "NSelectByLength", "Выделить равной длины", {}, false);
    AddAction(wires, "NSelectByRadius", "Выделить равного диаметра", {}, false);
    wires->addSeparator();
    AddAction(wires, "NHide", "Скрыть выделенные", "Alt+F12", false);
    AddAction(wires, "NWiresShowOnlySelected", "Скрыть все кроме выделенных", {}, false);
    AddAction(wires, "NShowAll", "Показать все", "F12", false);
    wires->addSeparator();
    QMenu* uncombo = AddMenu(wires, "NWireUnCombo", "Декомпозиция комбинированных проводов");
    AddAction(uncombo, "NUncomboSelected", "только выделенных", {}, false);
    AddAction(uncombo, "NUncomboAll", "всей антенны", {}, false)->setToolTip("Удалить все установки комбинированых проводов");

    // Scale.
    QMenu* scale = AddMenu(nullptr, "NScale", "Масштаб");
    connect(AddAction(scale, "NZoomPlus", "Увеличить масштаб", "Alt+Up"), &QAction::triggered, this,
            &TfmVelomast::NZoomPlusClick);
    connect(AddAction(scale, "NZoomOut", "Уменьшить масштаб", "Alt+Down"), &QAction::triggered, this,
            &TfmVelomast::NZoomOutClick);
    connect(AddAction(scale, "NScaleCurrent", "По размерам антенны", "Home"), &QAction::triggered, this,
            &TfmVelomast::NScaleCurrentClick);
    connect(AddAction(scale, "NScaleBySelected", "Выделить область просмотра"), &QAction::triggered, this,
            &TfmVelomast::NScaleBySelectedClick);
    AddAction(scale, "NScaleByElement", "По выбранному элементу", {}, false);
    scale->addSeparator();
    QAction* ignore = AddAction(scale, "NScaleIgnoreIsolators", "Игнорировать размер изоляторов");
    ignore->setCheckable(true);
    connect(ignore, &QAction::triggered, this, &TfmVelomast::NScaleIgnoreIsolatorsClick);
    QAction* autoScale = AddAction(scale, "NAutoScale", "Автомасштабирование");
    autoScale->setCheckable(true);
    connect(autoScale, &QAction::triggered, this, &TfmVelomast::NAutoScaleClick);

    // View.
    QMenu* view = AddMenu(nullptr, "NView", " &Вид ");
    auto toggle = [&](const QString& name, const QString& caption, bool TWireList::*flag, bool store) {
        QAction* a = AddAction(view, name, caption);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a, flag, store] { ViewToggle(a, (*Model_).*flag, store); });
        return a;
    };
    toggle("NViewDirection", "Направление проводов", &TWireList::ShowDirection, true);
    toggle("NViewPenWidth", "Утолщение линий", &TWireList::ThickLines, true);
    toggle("NShowTubes", "Выделение труб", &TWireList::ShowTubes, false);
    view->addSeparator();
    toggle("NViewGrid", "Сетка", &TWireList::ShowGrid, true);
    QMenu* gridType = AddMenu(view, "NViewGridType", "Вид сетки");
    QAction* points = AddAction(gridType, "NViewGridTypePoints", "Точечная");
    QAction* lines = AddAction(gridType, "NViewGridTypeLines", "Линейная");
    for (auto [a, mode] : {std::pair{points, 1}, std::pair{lines, 2}}) {
        a->setCheckable(true);
        a->setData(mode);
        connect(a, &QAction::triggered, this, [this, mode = mode] { ViewGridTypeClick(mode); });
    }
    view->addSeparator();
    toggle("NViewDimensions", "Размеры проводов", &TWireList::ShowDimensions, true);
    toggle("NViewDimensionsSelected", "Размеры только для выделенных", &TWireList::DimensionsSelectedOnly, true);
    QMenu* dimSize = AddMenu(view, "NViewDimSize", "Шрифт размеров");
    QAction* inc = AddAction(dimSize, "NViewDimSizeInc", "Увеличить", "Alt+PgUp");
    QAction* dec = AddAction(dimSize, "NViewDimSizeDec", "Уменьшить", "Alt+PgDown");
    inc->setData(1);
    dec->setData(-1);
    connect(inc, &QAction::triggered, this, [this] { ViewDimSizeClick(1); });
    connect(dec, &QAction::triggered, this, [this] { ViewDimSizeClick(-1); });
    QMenu* units = AddMenu(view, "NViewUnits", "Единицы измерения");
    AddAction(units, "NViewUnitsMetres", "метры", {}, false);
    AddAction(units, "NViewUnitsMillimetres", "миллиметры", {}, false);
    view->addSeparator();
    toggle("NViewLoads", "Отображать значение нагрузки", &TWireList::ShowLoadValues, true);

    // Tools.
    QMenu* tools = AddMenu(nullptr, "NTools", "Инструменты");
    AddAction(tools, "NRenumber", "Перенумерация проводов", {}, false)->setToolTip("Выполнить перенумерацию всех проводов");
    QMenu* redirect = AddMenu(tools, "NRedirection", "Упорядочить направление ");
    AddAction(redirect, "NRedirectSelected", "выделенных проводов", {}, false)->setData(1);
    AddAction(redirect, "NRedirectAll", "всех проводов", {}, false)->setData(0);
    tools->addSeparator();
    AddAction(tools, "NShapeCalc", "Калькулятор для некруглых проводников...", {}, false);
    tools->addSeparator();
    AddAction(tools, "NLinkedFiles", "Синхронизация связанных файлов", {}, false)->setCheckable(true);
    AddAction(tools, "NOpenLinkedFiles", "Список связанных файлов...", {}, false);

    // Help.
    QMenu* help = AddMenu(nullptr, "NHelp", "&Помощь");
    connect(AddAction(help, "NHelpAbout", "О программе..."), &QAction::triggered, this, &TfmVelomast::NHelpAboutClick);
    AddAction(help, "NHelpReadme", "readme.txt...", {}, false);
    QMenu* language = AddMenu(help, "NLanguage", "Change language");
    QAction* en = AddAction(language, "NLangEn", " English (test only)");
    QAction* ru = AddAction(language, "NLangRu", " Русский");
    en->setCheckable(true);
    ru->setCheckable(true);
    ru->setChecked(true);
    connect(en, &QAction::triggered, this, &TfmVelomast::NLangEnClick);
    connect(ru, &QAction::triggered, this, &TfmVelomast::NLangRuClick);

    // The view's popup menus.
    pmWire_ = new QMenu(this);
    pmWire_->setObjectName("pmWire");
    AddAction(pmWire_, "NpDelete", "Удалить", {}, false);
    AddAction(pmWire_, "NpInvert", "Поменять начало и конец", {}, false);
    AddAction(pmWire_, "NpMakeIsolator", "Сделать изолятором", {}, false);
    AddAction(pmWire_, "NRestoreWire", "Восстановить как проводник", {}, false);
    AddAction(pmWire_, "NCenterOnAxis", "Установить середину провода на ось", {}, false);
    AddAction(pmWire_, "NProlongToGround", "Продлить изолятором до земли", {}, false);
    AddAction(pmWire_, "NLinkToNearest", "Соединить с ближайшим проводом", {}, false);
    pmWire_->addSeparator();
    QMenu* divide = AddMenu(pmWire_, "NpDivide", "Разделить провод на");
    const char* const divideNames[] = {"NpDivide2", "NpDivide3", "NpDivide4", "NpDivide5", "NpDivide6", "NpDivide7more"};
    const char* const divideCaptions[] = {" 2 части", " 3 части", " 4 части", " 5 частей... ", " 6 частей...",
                                          " 7 и более частей..."};
    for (int i = 0; i < 6; ++i) AddAction(divide, divideNames[i], divideCaptions[i], {}, false)->setData(i + 2);
    AddAction(pmWire_, "NpMerge", "Объединить в один провод", {}, false);
    pmWire_->addSeparator();
    QMenu* source = AddMenu(pmWire_, "NpSource", "Добавить источник");
    AddAction(source, "NpSourceOnBegin", "В начало провода", {}, false)->setData(1);
    AddAction(source, "NpSourceOnCenter", "В середину провода", {}, false)->setData(2);
    AddAction(source, "NpSourceOnEnd", "В конец провода", {}, false)->setData(3);
    AddAction(pmWire_, "NpSourceDel", "Удалить источник", {}, false)->setData(0);
    pmWire_->addSeparator();
    QMenu* create = AddMenu(pmWire_, "NpCreate", "Создать на основе провода");
    AddAction(create, "NpMakeFatWire", "Утолщение в виде цилиндра или призмы...", {}, false);
    AddAction(create, "NMakeCoil", "Спираль (катушку)...", {}, false);
    AddAction(create, "NpColinear", "Коллинеарную антенну...", {}, false);
    QMenu* rect = AddMenu(pmWire_, "NpCreateRectBased", "Создать на основе прямоугольника");
    AddAction(rect, "NpCreateBox", "Параллелепипед...", {}, false);
    AddAction(rect, "NpFillGrid", "Заполнение прямоугольной сеткой...", {}, false);
    pmWire_->addSeparator();
    AddAction(pmWire_, "NpHide", "Скрыть выбранные провода", {}, false);

    pmField_ = new QMenu(this);
    pmField_->setObjectName("pmField");
    AddAction(pmField_, "NpCenterHere", "Установить здесь центр просмотра", {}, false);
    AddAction(pmField_, "NZeroHere", "Перенести сюда начало координат", {}, false);
    AddAction(pmField_, "NpBase", "Установить здесь место основной антенны", {}, false);
}

QToolButton* TfmVelomast::AddButton(const QString& name, const QString& hint, bool checkable) {
    auto* b = new QToolButton(paTop_);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    b->setIcon(ToolIcon(name));
    b->setIconSize(QSize(22, 22));
    b->setFocusPolicy(Qt::NoFocus);
    paTop_->addWidget(b);
    Buttons_[name] = b;
    return b;
}

void TfmVelomast::BuildToolBar() {
    paTop_ = new QToolBar(this);
    paTop_->setObjectName("paTop");
    paTop_->setMovable(false);
    paTop_->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, paTop_);

    connect(AddButton("sbNew", "Новая антенна"), &QToolButton::clicked, this, &TfmVelomast::NNewAntennaClick);
    connect(AddButton("sbFileOpen", "Открыть из файла"), &QToolButton::clicked, this, &TfmVelomast::NFileOpenClick);
    connect(AddButton("sbSave", "Сохранить в файл"), &QToolButton::clicked, this, &TfmVelomast::NFileSaveClick);
    paTop_->addSeparator();
    AddButton("sbPreview", "Предварительный просмотр")->setEnabled(false);
    AddButton("sbPrint", "Печать")->setEnabled(false);
    paTop_->addSeparator();
    connect(AddButton("sbUndo", "Шаг назад"), &QToolButton::clicked, this, [this] { NUndoClick(true); });
    connect(AddButton("sbRedo", "Шаг вперёд"), &QToolButton::clicked, this, [this] { NUndoClick(false); });
    paTop_->addSeparator();

    ModeGroup_ = new QButtonGroup(this);
    ModeGroup_->setExclusive(true);
    for (auto [name, hint] : {std::pair{"sbEditMode", "Редактировать провод"}, std::pair{"sbRuler", "Измерение расстояний"},
                              std::pair{"sbInsertMode", "Создать провод"},
                              std::pair{"sbRectMode", "Создать прямоугольную рамку"},
                              std::pair{"sbPolygon", "Создать правильный многоугольник"},
                              std::pair{"sbScaleSelect", "Выделить область просмотра"}}) {
        QToolButton* b = AddButton(name, hint, true);
        ModeGroup_->addButton(b);
        connect(b, &QToolButton::clicked, this, [this, b] { ModeClick(b); });
    }
    Button("sbEditMode")->setChecked(true);
    paTop_->addSeparator();

    connect(AddButton("sbScaleBySize", "Масштабировать по размерам антенны"), &QToolButton::clicked, this,
            &TfmVelomast::NScaleCurrentClick);
    connect(AddButton("sbScaleUndo", "Вернуть прежний масштаб"), &QToolButton::clicked, this,
            &TfmVelomast::sbScaleUndoClick);
    cbScale_ = new QComboBox(paTop_);
    cbScale_->setObjectName("cbScale");
    cbScale_->setToolTip("Масштаб");
    cbScale_->setEditable(true);
    cbScale_->setInsertPolicy(QComboBox::NoInsert);
    cbScale_->setMinimumContentsLength(8);
    cbScale_->setFocusPolicy(Qt::ClickFocus);
    for (const char* item : ScaleItems) cbScale_->addItem(QString::fromUtf8(item));
    connect(cbScale_, qOverload<int>(&QComboBox::activated), this, [this](int) { cbScaleSelect(); });
    connect(cbScale_->lineEdit(), &QLineEdit::returnPressed, this, &TfmVelomast::cbScaleEnter);
    paTop_->addWidget(cbScale_);
    paTop_->addSeparator();

    AddButton("sbCenterZero", "X=0, Y=0, Z=H");
    AddButton("sbCenterOnAntenna", "На центр антенны");
    AddButton("sbCenterOnSelected", "Центр на выделение");
    paTop_->addSeparator();
    AddButton("sbFilterElement", "Фильтр элемента", true);
    AddButton("sbFilterSurface", "Фильтр плоскости", true);
    paTop_->addSeparator();
    connect(AddButton("sbMmana", "Открыть в MMANA..."), &QToolButton::clicked, this, &TfmVelomast::NFileMMANAClick);
}

void TfmVelomast::BuildPages() {
    pcMain_ = new QTabWidget(this);
    pcMain_->setObjectName("pcMain");
    pcMain_->setDocumentMode(true);
    const char* const names[] = {"ts3DView", "tsViewXY", "tsViewXZ", "tsViewYZ", "tsGeneral"};
    const char* const captions[] = {" Объёмный вид ", " Вид сверху (X-Y) ", " Вид справа (X-Z) ",
                                    " Вид спереди (Y-Z) ", " Параметры "};
    for (int i = 0; i < 5; ++i) {
        auto* page = new QWidget(pcMain_);
        page->setObjectName(names[i]);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(2, 2, 2, 2);
        pcMain_->addTab(page, QString::fromUtf8(captions[i]));
    }

    // The paint box and the side panel move together onto the active view page.
    ViewHost_ = new QSplitter(Qt::Horizontal);
    ViewHost_->setObjectName("ViewHost");
    ViewHost_->setChildrenCollapsible(false);
    PaintBox1_ = new TPaintBox(ViewHost_);
    pcRight_ = new QTabWidget(ViewHost_);
    pcRight_->setObjectName("pcRight");
    ViewHost_->addWidget(PaintBox1_);
    ViewHost_->addWidget(pcRight_);
    ViewHost_->setStretchFactor(0, 1);
    ViewHost_->setStretchFactor(1, 0);
    BuildSidePanel(pcRight_);
    pcMain_->widget(0)->layout()->addWidget(ViewHost_);
    BuildParamsPage(pcMain_->widget(PageGeneral));

    PaintBox1_->OnNeedImage = [this] { PaintView(); };
    PaintBox1_->OnResized = [this] { PaintBoxResized(); };
    PaintBox1_->OnWheel = [this](int delta) { WheelZoom(delta); };
    connect(pcMain_, &QTabWidget::currentChanged, this, &TfmVelomast::pcMainChange);
    setCentralWidget(pcMain_);
}

void TfmVelomast::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        // The given widths, widened where this platform's font needs more room for the
        // longest texts the panel shows.
        const int needed = label->fontMetrics().horizontalAdvance(QString::fromUtf8(StatusSamples[i])) + 12;
        label->setFixedWidth(std::max(StatusWidths[i], needed));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        if (i >= 1 && i <= 3) label->setAlignment(Qt::AlignCenter);
        bar->addWidget(label);
        StatusPanels_[i] = label;
    }
}

void TfmVelomast::SetStatusText(int panel, const QString& text) {
    if (panel < 0 || panel >= 5) return;
    StatusPanels_[panel]->setText(text);
    // A text wider than its panel is cut; the whole of it shows under the mouse.
    StatusPanels_[panel]->setToolTip(StatusPanels_[panel]->fontMetrics().horizontalAdvance(text) > StatusPanels_[panel]->width() - 8 ? text : QString());
}

QString TfmVelomast::StatusText(int panel) const {
    return (panel >= 0 && panel < 5) ? StatusPanels_[panel]->text() : QString();
}

// ---- start-up -------------------------------------------------------------------------

void TfmVelomast::ReadStartupSettings() {
    BackupOnOpen_ = IniFile_->ReadBool("Main", "BackupFiles", false);
    Model_->WriteLog = IniFile_->ReadBool("Main", "WriteLogFile", false);

    TWireList& m = *Model_;
    m.ShowDirection = IniFile_->ReadBool("View", "NViewDirection", true);
    m.ThickLines = IniFile_->ReadBool("View", "NViewPenWidth", false);
    m.ShowDimensions = IniFile_->ReadBool("View", "NViewDimensions", false);
    m.DimensionsSelectedOnly = IniFile_->ReadBool("View", "NViewDimensionsSelected", false);
    m.DimFontSize = std::clamp(IniFile_->ReadInteger("View", "ViewDimFontSize", 10), 8, 14);
    m.ShowLoadValues = IniFile_->ReadBool("View", "NViewLoads", false);
    m.ShowGrid = IniFile_->ReadBool("View", "NViewGrid", false);
    m.GridMode = IniFile_->ReadInteger("View", "GridMode", 2) == 1 ? 1 : 2;

    Nec2Path_ = IniFile_->ReadString("ExTools", "NEC4MMANA", "C:\\Program Files\\_MAA_NEC\\MAA_NEC_18.exe");
    MmanaPath_ = IniFile_->ReadString("ExTools", "MMANA", "C:\\Program Files\\MMANAGAL_Basic\\MMANA-GAL_Basic.exe");

    Action("NViewDirection")->setChecked(m.ShowDirection);
    Action("NViewPenWidth")->setChecked(m.ThickLines);
    Action("NViewDimensions")->setChecked(m.ShowDimensions);
    Action("NViewDimensionsSelected")->setChecked(m.DimensionsSelectedOnly);
    Action("NViewLoads")->setChecked(m.ShowLoadValues);
    SetPanelOnRight(IniFile_->ReadBool("View", "PanelOnRight", true));
    Action("NViewGrid")->setChecked(m.ShowGrid);
    Action("NViewGridType")->setEnabled(m.ShowGrid);
    Action("NViewGridTypeLines")->setChecked(m.GridMode == 2);
    Action("NViewGridTypePoints")->setChecked(m.GridMode != 2);
}

void TfmVelomast::ApplyStartupArguments(const QStringList& arguments) {
    QStringList files = arguments;
    // "--scene" switches the scene functions on (until the settings dialog does).
    if (files.removeAll(QStringLiteral("--scene")) > 0) UseScene(true);
    if (files.isEmpty() || !QFileInfo(files.front()).isFile()) return;
    if (files.front().endsWith(QLatin1String(".scn"), Qt::CaseInsensitive))
        OpenSceneFile(files.front());
    else
        OpenModel(files.front());
}

void TfmVelomast::showEvent(QShowEvent* event) {
    if (!Shown_) {
        Shown_ = true;
        SetTabsOnTop(IniFile_->ReadBool("View", "TabOnTop", true));
        // The view has the keys at start, not the scale box (whose text field would take
        // Ctrl+C, Ctrl+V and Del).
        PaintBox1_->setFocus();
    }
    QMainWindow::showEvent(event);
}

void TfmVelomast::UseScene(bool on) {
    QAction* scene = Action("NScene");
    scene->setVisible(on);
    for (QAction* a : scene->menu()->actions()) a->setEnabled(on);
    if (!on && pcRight_->currentIndex() == 2) pcRight_->setCurrentIndex(0);
    pcRight_->setTabVisible(2, on);
}

bool TfmVelomast::SceneFunctionsOn() const { return Action("NScene")->isVisible(); }

// ---- pages and resizing ---------------------------------------------------------------

bool TfmVelomast::IsViewPage() const { return pcMain_->currentIndex() < PageGeneral; }

void TfmVelomast::pcMainChange(int index) {
    if (!Model_) return;
    TWireList& m = *Model_;
    if (index == PageGeneral) {
        Params_->RefreshParamsPage();
    } else if (index >= 0) {
        QWidget* page = pcMain_->widget(index);
        if (ViewHost_->parentWidget() != page) page->layout()->addWidget(ViewHost_);
        ViewHost_->show();
        m.ViewKind = static_cast<uint8_t>(index);
    }
    m.Is3DView = index == 0;
    m.UpdateVisibleRange();
    PaintView();
    QApplication::processEvents();
    RefreshSidePanel();
}

void TfmVelomast::PaintBoxResized() {
    if (!Model_) return;
    ResizeView(*Model_, TRectI{0, 0, PaintBox1_->width(), PaintBox1_->height()});
    PaintView();
}

// ---- keys -----------------------------------------------------------------------------

bool TfmVelomast::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this && !KeyboardTakenElsewhere()) {
        QWidget* focus = QApplication::focusWidget();
        // Each key once: at the widget that has the focus (or the window when none has it).
        if (watched == focus || (!focus && watched == this))
            return HandlePreviewKey(watched, static_cast<QKeyEvent*>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {
bool IsTextEntry(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
            qobject_cast<const QPlainTextEdit*>(p) || qobject_cast<const QTextEdit*>(p))
            return true;
        if (const auto* c = qobject_cast<const QComboBox*>(p); c && c->isEditable()) return true;
        if (p->isWindow()) break;
    }
    return false;
}
} // namespace

bool TfmVelomast::KeyboardTakenElsewhere() const {
    // An open menu or popup, the menu bar in keyboard navigation, a modal dialog or a
    // widget that grabbed the keyboard: their keys are theirs alone.
    if (QApplication::activePopupWidget() || QWidget::keyboardGrabber()) return true;
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) return true;
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QMenuBar*>(focus) || qobject_cast<const QMenu*>(focus);
}

bool TfmVelomast::HandlePreviewKey(QObject* watched, QKeyEvent* event) {
    QWidget* w = qobject_cast<QWidget*>(watched);
    auto inside = [w](const char* name) {
        for (QWidget* p = w; p; p = p->parentWidget())
            if (p->objectName() == QLatin1String(name)) return true;
        return false;
    };
    // Keys typed into the wire table are the table's own.
    if (inside("dgWire")) return false;
    // Del on the scene page removes an antenna (or a character), never wires.
    if (event->key() == Qt::Key_Delete && inside("tsScene")) return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;

    switch (event->key()) {
    case Qt::Key_Escape:
        // During a gesture Esc drops it; otherwise it chooses the edit mode.
        if (MouseController_->CancelGesture()) return true;
        if (!Button("sbEditMode")->isChecked()) {
            PressButton("sbEditMode");
            MouseController_->Escape();
        }
        return false;
    case Qt::Key_Space:
        Model_->SelectNextWire();
        UpdateForm();
        return false;
    case Qt::Key_Insert:
        if (!Button("sbInsertMode")->isChecked()) PressButton("sbInsertMode");
        return false;
    case Qt::Key_Delete:
        // Del in a text field deletes a character, never a wire.
        if (IsTextEntry(w)) return false;
        if (QAction* del = Action("NpDelete"); del && del->isEnabled()) del->trigger();
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (inside("dgSources") || inside("dgLoads") || inside("meComment") || inside("meTaperWireSet")) return false;
        if (inside("cbScale")) return false; // the scale box applies its own text
        if (!IsViewPage()) {
            focusNextChild();
            return true;
        }
        StartTableEditing();
        return true;
    }
    default:
        return false;
    }
}

void TfmVelomast::PressButton(const QString& name) {
    QToolButton* b = Button(name);
    if (!b) return;
    b->setChecked(true);
    ModeClick(b);
}

void TfmVelomast::ModeClick(QToolButton* button) {
    const QString name = button->objectName();
    const bool drawing = name == "sbInsertMode" || name == "sbRectMode" || name == "sbRuler" || name == "sbPolygon";
    if (drawing) {
        PaintBox1_->setCursor(Qt::CrossCursor);
        if (pcMain_->currentIndex() == 0) pcMain_->setCurrentIndex(1);
    } else {
        PaintBox1_->setCursor(Qt::ArrowCursor);
    }
    SetStatusText(0, " " + button->toolTip());
    PaintView();
    if (name == QLatin1String("sbPolygon")) AskPolygonSides();
}

// ---- closing --------------------------------------------------------------------------

void TfmVelomast::closeEvent(QCloseEvent* event) {
    if (QuerySave())
        event->accept();
    else
        event->ignore();
}

} // namespace velomast
