// The main window: owns the model, the wire clipboard and the settings file; builds the
// menus, tool bar, pages and status bar; runs the document lifecycle and the zoom, undo
// and view commands. Every command that changes the model ends with StoreUndoStep and
// UpdateForm.
#pragma once

#include "model/selection_summary.h"
#include "model/wire_list.h"
#include "ui/user_dialogs.h"

#include <QImage>
#include <QMainWindow>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMouseEvent;
class QPoint;
class QPainter;
class QRect;
class QSlider;
class QSplitter;
class QTabWidget;
class QTextBrowser;
class QToolBar;
class QToolButton;
class QWidget;

namespace velomast {

struct TAnalysisState;
struct TUiAnalysis;
struct TUiGround;
class TDragPicture;
class TPaintBox;
class TParamsPage;
class TScene;
class TSettingsFile;
class TStringGrid;
struct TGridDrawState;

struct TMainWindowOptions {
    // The settings file; empty means TSettingsFile::DefaultPath().
    QString SettingsPath;
    // The dialog seam; null means the window's own Qt dialogs. Not owned.
    IUserDialogs* Dialogs = nullptr;
    // Command-line arguments after the program name.
    QStringList Arguments;
};

class TfmVelomast : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int MaxRecentFiles = 7;
    static constexpr int PageGeneral = 4;
    // Pages of the side panel.
    static constexpr int CheckPage = 3;
    static constexpr int AnalysisPage = 4;

    explicit TfmVelomast(const TMainWindowOptions& options = {}, QWidget* parent = nullptr);
    ~TfmVelomast() override;

    TWireList& Model() { return *Model_; }
    TWireList& WireClipboard() { return *WireClipboard_; }
    TSettingsFile& IniFile() { return *IniFile_; }
    IUserDialogs& Dialogs() { return *Dialogs_; }
    const QImage& ViewBitmap() const { return ViewBitmap_; }
    const QStringList& RecentFiles() const { return RecentFiles_; }
    // "Веломаст", or "Velomast" with the English interface.
    const QString& AppTitle() const { return AppTitle_; }

    // A named component: menu item, tool button or any widget of the window.
    QAction* Action(const QString& name) const;
    QToolButton* Button(const QString& name) const;
    TPaintBox* PaintBox() const { return PaintBox1_; }
    QTabWidget* MainPages() const { return pcMain_; }

    // ---- document -----------------------------------------------------------------------
    // Asks "Сохранить сделанные изменения?" when the model is modified; false means stop.
    bool QuerySave();
    // Opens a model file and refreshes the window; false only when the file does not exist.
    bool OpenModel(const QString& fileName);
    // Writes the model under a name (with linked files and log); reports a failure.
    bool SaveModelAs(const QString& fileName);
    // A Yes/No question titled with the application title; "?" is appended to the text.
    bool AskYesNo(const QString& text);
    void ShowMessage(const QString& text, IUserDialogs::Icon icon = IUserDialogs::Icon::Information);

    // ---- refresh ------------------------------------------------------------------------
    // The general refresh after every change: view, tables, labels, status bar.
    void UpdateForm();
    // Redraws the model image of the view and shows it.
    void PaintView();
    // A move of a drag: the wires at `moving` (list positions) are drawn over the kept
    // picture of the others; the whole picture when it cannot be split.
    void PaintDragView(const std::vector<size_t>& moving);
    void ApplyViewScale(bool remember, double value);
    void SetStatusText(int panel, const QString& text);
    QString StatusText(int panel) const;
    // The locale's decimal mark, for every number shown in the window.
    char DecimalMark() const { return DecimalMark_; }

    // ---- handlers -----------------------------------------------------------------------
    void NNewAntennaClick();
    void NFileOpenClick();
    void NReopenClick();
    void NFileSaveClick();
    void NFileSaveAsClick();
    void NFileSaveAsBitmapClick();
    void NFileMMANAClick();
    void NHelpAboutClick();
    void RecentFileClick(const QString& fileName);
    // The model file among dropped data (a local .maa file), or an empty string.
    static QString DroppedModelFile(const QMimeData* data);
    // Undo when `undo`, otherwise redo.
    void NUndoClick(bool undo);
    void NZoomPlusClick();
    void NZoomOutClick();
    void NScaleCurrentClick();
    void NScaleBySelectedClick();
    void sbScaleUndoClick();
    void NScaleIgnoreIsolatorsClick();
    void NAutoScaleClick();
    void cbScaleSelect();
    void cbScaleEnter();
    void WheelZoom(int delta);
    void pcMainChange(int index);
    void PaintBoxResized();
    // A mode button of the tool bar was clicked (or pressed through a key).
    void ModeClick(QToolButton* button);
    void NLangEnClick();
    void NLangRuClick();

    // ---- settings, text editor, readme and linked files ------------------------------------
    // F2: the settings dialog; its ticks are applied however it closes.
    void NSettingsClick();
    void NFileOpenNotepadClick();
    void NHelpReadmeClick();
    void NOpenLinkedFilesClick();
    void NLinkedFilesClick();
    // Docks the side panel right or left of the view, at once.
    void SetPanelOnRight(bool right);
    bool PanelOnRight() const { return PanelOnRight_; }
    // Tabs of the main pages on top or at the bottom, at once.
    void SetTabsOnTop(bool top);
    bool BackupOnOpen() const { return BackupOnOpen_; }
    const QString& Nec2Path() const { return Nec2Path_; }
    const QString& MmanaPath() const { return MmanaPath_; }
    // The readme shipped beside the program (or in its data folder); empty when missing.
    static QString ReadmeFile();

    // ---- wire commands, clipboard, move and rotate ----------------------------------------
    void NpDeleteClick();
    void NpInvertClick();
    void NpMakeIsolatorClick();
    void NRestoreWireClick();
    void NCenterOnAxisClick();
    void NProlongToGroundClick();
    void NLinkToNearestClick();
    // Into `tag` pieces; 7 asks for the number.
    void NpDivide2Click(int tag);
    void NpMergeClick();
    // Tag 1 begin, 2 centre, 3 end: adds or moves the source; 0 deletes it.
    void NpSourceOnBeginClick(int tag);
    void NUncomboSelectedClick(bool selectedOnly);
    void NRenumberClick();
    // Tag 1 the selected wires, 0 all wires.
    void NRedirectSelectedClick(int tag);
    void NEditCopyClick();
    void NEditCutClick();
    void NEditPasteClick();
    void NPasteSpecialClick();
    void NMoveClick();
    void NRotateClick();

    // ---- generators and the conductor calculator ------------------------------------------
    void NpMakeFatWireClick();
    void NMakeCoilClick();
    void NpColinearClick();
    void NpFillGridClick();
    void NpCreateBoxClick();
    void NShapeCalcClick();

    // ---- the report -----------------------------------------------------------------------
    void NPreviewClick();
    void NPrintClick();
    void NSaveReportPdfClick();
    // The template used in place of the one found beside the program; empty for that one.
    void SetReportTemplate(const QString& fileName) { ReportTemplate_ = fileName; }
    // Loads the template afresh and prepares the model's report; when it cannot, the
    // status bar says why and nothing else happens.
    bool PrepareModelReport(class TReport& report);

    // ---- mouse editing in the view ------------------------------------------------------
    // The gesture state machine of the paint box.
    class TMouseController& Mouse() { return *MouseController_; }
    // Sides of the polygon tool, 3..100.
    int PolygonSides() const { return PolygonSides_; }
    void sbCenterZeroClick();
    void sbCenterOnAntennaClick();
    void sbCenterOnSelectedClick();

    // ---- wire table, parameters page, selection commands and elements ------------------
    // Rows of the wire table dgWire (row 0 is the header row).
    enum TWireTableRow { RowLength = 1, RowX1, RowY1, RowZ1, RowX2, RowY2, RowZ2, RowDiameter, RowAzimuth, RowZenith,
                         RowSegments, WireTableRows };
    // A table edit stores one undo step per changed wire while the selected wires times
    // the model's wires stay within this many wire records; beyond, one step per edit.
    static constexpr size_t MaxSnapshotRecordsPerEdit = 1000000;
    TStringGrid* WireGrid() const { return dgWire_; }
    TStringGrid* ElementsGrid() const { return dgElements_; }
    TParamsPage* ParamsPage() const { return Params_; }
    // The pending edit of the wire table: the editor's last text and its number (NoValue
    // when there is none, also after every commit).
    const QString& EditText() const { return FEditText_; }
    double EditValue() const { return FEditValue_; }
    const TSelectionSummary& SelectionSummary() const { return Summary_; }
    // Switches read by the table and by mouse editing.
    bool WavelengthMode() const;
    bool MirrorMode() const;
    bool KeepConnectionMode() const;
    // The text a cell of the wire table shows; "NAN" for a value that differs between the
    // selected wires (drawn blank on the header colour).
    QString WireCellText(int col, int row) const;
    void dgWireDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState& state);
    void dgWireGetEditText(int col, int row, QString& text);
    void dgWireSetEditText(int col, int row, const QString& text);
    // Commits the pending value on Enter or Tab; true when the key was used.
    bool dgWireKeyDown(int key, Qt::KeyboardModifiers shift);
    // The small button of the diameter cell; true when the press hit it.
    bool dgWireMouseDown(const QPoint& pos);
    void dgWireEnter();
    void sbWLClick();
    void chKeepConnectionClick();
    // Enables the items of the wire popup before it opens.
    void pmWirePopup();
    // The non-round conductor calculator: a diameter in mm, or nothing when cancelled.
    std::optional<double> RunShapeCalculator();
    void NSelectAllClick();
    void NSelectionInvertClick();
    void NSelectElementClick();
    void NSelectionIsolClick();
    void NSelectByLengthClick();
    void NSelectByRadiusClick();
    void NpHideClick();
    void NWiresShowOnlySelectedClick();
    void NShowAllClick();
    // Shared by both filter buttons; `sender` is the button clicked (may be null).
    void sbFilterElementClick(QToolButton* sender = nullptr);
    void dgElementsSelectCell(int col, int row);
    QString ElementCellText(int col, int row) const;
    void dgElementsDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState& state);

    // ---- scene of antennas and landscape ------------------------------------------------
    TScene& Scene() { return *Scene_; }
    // Shows or hides the menu "Сцена" and the side page "Сцена" together (off at start).
    void UseScene(bool on);
    bool SceneFunctionsOn() const;
    // A scene file named on the command line: the scene functions on, the model the scene
    // file names opened, then the scene loaded beside it.
    void OpenSceneFile(const QString& fileName);
    void NOpenLandscapeClick();
    void NDeleteLandscapeClick();
    void NAddClick();
    void NSceneEmptyClick();
    void NLoadSceneClick();
    void NSaveSceneClick();
    void NSaveSceneAsClick();
    void NSaveSceneMaaClick();
    void chlSceneClick();
    // Delete removes the selected antenna; true when the key was used.
    bool chlSceneKeyDown(int key);
    // Shared by edAntX, edAntY, edAntZ and tbAzi; acts only for the control with the focus.
    void edAntXChange(QWidget* sender);
    void NpBaseClick();

    // ---- the check, the NEC-2 deck, nec2c and the external analysers ---------------------
    void NFileNEC4MMANAClick();
    void NCheckModelClick();
    void NExportNecClick();
    // F9: nec2c in the background; the result fills the side page "Расчёт".
    void NAnalyseClick();
    // Stops a run of nec2c; `why` goes to the status bar.
    void CancelAnalysis(const QString& why);
    bool AnalysisRunning() const;
    // Milliseconds from the start of the last finished run until its result was shown.
    qint64 LastAnalysisMs() const;
    // Where nec2c, xnec2c and wine are looked for; empty means the PATH.
    void SetToolSearchPath(const QStringList& dirs);
    bool AnalyserRunning() const;
    bool XnecRunning() const;
    // The deck the running xnec2c reads; every save rewrites it.
    QString XnecDeck() const;
    QListWidget* CheckList() const;
    QTextBrowser* AnalysisView() const;
    void lbCheckClick(int row);
    void lbCheckDblClick(int row);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A model file dropped from the file manager opens, after the save question.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void ConnectSettings();
    void BuildToolBar();
    void BuildPages();
    void BuildStatusBar();
    void BuildSidePanel(QTabWidget* panel);
    void BuildParamsPage(QWidget* page);
    QAction* AddAction(QMenu* menu, const QString& name, const QString& caption, const QString& shortcut = {},
                       bool enabled = true);
    QMenu* AddMenu(QMenu* parent, const QString& name, const QString& caption);
    QToolButton* AddButton(const QString& name, const QString& hint, bool checkable = false);

    void ReadStartupSettings();
    void ApplyStartupArguments(const QStringList& arguments);
    void AddRecentFile(const QString& fileName);
    void RebuildRecentMenu();
    // Enables the items that need a model file name; runs whenever the name may change.
    void UpdateFileNameItems();
    // Empties the status panels that describe the last model's work.
    void ResetStatusPanels();
    bool WriteModelTo(const QString& fileName);
    void SetCaptionOpened();
    void FillParamsPage();
    void RefreshSidePanel();
    bool HandlePreviewKey(QObject* watched, QKeyEvent* event);
    bool KeyboardTakenElsewhere() const;
    bool StartTableEditing();
    void ViewToggle(QAction* item, bool& flag, bool storeKey);
    void ViewGridTypeClick(int mode);
    void ViewDimSizeClick(int delta);
    void PressButton(const QString& name);
    bool IsViewPage() const;

    std::unique_ptr<TWireList> Model_;
    std::unique_ptr<TWireList> WireClipboard_;
    std::unique_ptr<TSettingsFile> IniFile_;
    std::unique_ptr<IUserDialogs> OwnDialogs_;
    IUserDialogs* Dialogs_ = nullptr;
    QImage ViewBitmap_;
    std::unique_ptr<TDragPicture> DragPicture_;
    QString AppTitle_;
    QStringList RecentFiles_;
    char DecimalMark_ = ',';

    // Settings read at start-up.
    bool BackupOnOpen_ = false;
    QString Nec2Path_;
    QString MmanaPath_;
    bool PanelOnRight_ = true;
    bool Shown_ = false;

    // Mouse state; the gestures themselves live in the mouse controller.
    int PolygonSides_ = 4;

    std::map<QString, QAction*> Actions_;
    std::map<QString, QToolButton*> Buttons_;
    QMenu* RecentMenu_ = nullptr;
    QMenu* pmWire_ = nullptr;
    QMenu* pmField_ = nullptr;
    QToolBar* paTop_ = nullptr;
    QButtonGroup* ModeGroup_ = nullptr;
    QComboBox* cbScale_ = nullptr;
    QTabWidget* pcMain_ = nullptr;
    QTabWidget* pcRight_ = nullptr;
    QSplitter* ViewHost_ = nullptr;
    TPaintBox* PaintBox1_ = nullptr;
    QLabel* StatusPanels_[5] = {};
    QLabel* laWire_ = nullptr;
    QLabel* laRadiusMax_ = nullptr;

    // ---- wire commands, clipboard, move and rotate ----------------------------------------
    void ConnectWireCommands();
    // The only selected wire; nullptr when none or several are selected.
    TWire* OnlySelectedWire() const;
    // The commit of a wire command: the undo step, then the refresh.
    void CommitWireCommand(bool autoScale);
    // Adds the clipboard wires shifted by `offset` and commits.
    void PasteFromClipboard(const Vec3& offset);

    // ---- generators and the conductor calculator ------------------------------------------
    void ConnectGenerators();
    // Whether the four selected wires form a closed quadrilateral; says so when not.
    bool SelectionIsQuadrilateral();
    // The commit of a generator that added `made` wires; with none, a message instead.
    bool CommitGenerated(int made, bool autoScale);

    // ---- the report -----------------------------------------------------------------------
    void ConnectReport();
    // The view picture of the report: the current view in its printing form at the paint
    // box's size.
    QImage ReportPicture() const;
    QString ReportTemplate_;

    // ---- mouse editing in the view ------------------------------------------------------
    void SetUpMouseEditing();
    // The polygon button's question for the number of sides.
    void AskPolygonSides();
    std::unique_ptr<TMouseController> MouseController_;

    // ---- wire table, parameters page, selection commands and elements ------------------
    void SetUpTablesAndSelection();
    void BuildWiresPage(QWidget* page);
    void BuildElementsPage(QWidget* page);
    QToolButton* AddPanelButton(QWidget* parent, const QString& name, const QString& hint, const QString& caption);
    // Runs a selection search: refresh when it found wires, otherwise only repaint.
    void FinishSelectionSearch();
    // Selects the wires of element index `e` (0-based), in model order.
    void SelectElementWires(const TElement* e);
    void SetWireTableRow(int row, bool edit);
    TStringGrid* dgWire_ = nullptr;
    TStringGrid* dgElements_ = nullptr;
    TParamsPage* Params_ = nullptr;
    QCheckBox* chKeepConnection_ = nullptr;
    QLabel* laSumLenValue_ = nullptr;
    QString FEditText_;
    double FEditValue_ = NoValue;
    TSelectionSummary Summary_;

    // ---- the check, the NEC-2 deck, nec2c and the external analysers ---------------------
    void BuildCheckPage(QWidget* page);
    void BuildAnalysisPage(QWidget* page);
    void SetUpAnalysis();
    QString FindTool(const QString& name) const;
    void OfferXnec2c(const QString& programName);
    QString XnecDeckPath() const;
    bool WriteXnecDeck(const QString& deck);
    bool StartXnec2c();
    // After every successful save of the model.
    void ModelSaved();
    TUiGround AnalysisGround() const;
    bool SelectFindingWires(int row);
    QString AnalysisModelKey() const;
    // Cancels the run when the model is no longer the one it started on.
    void AnalysisModelChanged();
    void StopAnalysisRun();
    // The status text of a running analysis: its segment count and the seconds spent.
    void ShowAnalysisRunTime();
    // Above this many segments the running page warns of a long solve.
    static constexpr int SlowAnalysisSegments = 2000;
    void AnalysisFinished(int exitCode, bool normalExit);
    void ShowAnalysisResult(const TUiAnalysis& r);
    void ShowAnalysisText(const QString& html);
    std::unique_ptr<TAnalysisState> Analysis_;

    // ---- scene of antennas and landscape ------------------------------------------------
    void BuildScenePage(QWidget* page);
    void SetUpScene();
    // The list, the landscape box and the position controls from the scene.
    void FillScenePage();
    void ShowLandscapeName();
    // Scale and centre so that the whole scene is in view (after a scene file is loaded).
    void FitWholeScene();
    // The scene's warnings of its last operation in the status bar.
    void ShowSceneWarnings();
    std::unique_ptr<TScene> Scene_;
    QListWidget* chlScene_ = nullptr;
    QLineEdit* edLandscape_ = nullptr;
    QLineEdit* edAnt_[3] = {};
    QSlider* tbAzi_ = nullptr;
    QLabel* laAzi_ = nullptr;
    // What chlSceneClick put into the position controls: a field the user has not changed
    // gives the antenna's exact value, not its text.
    QString ShownAnt_[3];
    int ShownAzi_ = 0;
    // The constructor has finished: the whole window exists.
    bool Built_ = false;
};

} // namespace velomast
