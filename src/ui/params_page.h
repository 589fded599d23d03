// The parameters page " Параметры ": the model's name, design frequency, ground, base
// height and material, the sources and loads grids, and below them the comment, the
// settings (standard Z, F/B direction, segmentation) and the combined-wire lines.
// Settings change the model at once, without an undo step; load edits store undo steps.
#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QTabWidget;

namespace velomast {

class TfmVelomast;
class TStringGrid;
class TWireList;
struct TGridDrawState;

class TParamsPage : public QWidget {
    Q_OBJECT

public:
    TParamsPage(TfmVelomast& owner, QWidget* parent);

    // Fills every control from the model after it was read or created.
    void FillParamsPage();
    // The "Установки" controls from the model.
    void ShowAntennaSettings();
    // Row counts and counters of the sources and loads grids.
    void RefreshParamsPage();
    // The combined-wire memo from the model (after an undo step brought other lines).
    void ShowTaperLines();
    // Stores an undo step when the combined-wire lines were edited since the last one.
    void FlushTaperEdit();

    TStringGrid* SourcesGrid() const { return dgSources_; }
    TStringGrid* LoadsGrid() const { return dgLoads_; }

    // ---- handlers -----------------------------------------------------------------------
    void edNameChange();
    void meCommentChange();
    // Frequency, or one of the four segmentation boxes.
    void cbFreqChange(QObject* sender);
    // Takes the frequency box's text when its editing ends (Enter, Tab, focus leaving, an
    // item chosen, or a save while it is being typed).
    void ApplyFrequency(bool chosen = false);
    void cbDM1Click();
    void cbGroundClick();
    void cbGroundChange();
    void cbMaterialClick();
    void rseHeightChange();
    // One of the four settings fields changed.
    void cbZ_RChange(QObject* sender);
    void meTaperWireSetChange();
    // The texts the grids show.
    QString SourcesCellText(int col, int row) const;
    QString LoadsCellText(int col, int row) const;
    void dgSourcesDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState& state);
    void dgSourcesSelectCell(int col, int row);
    void dgSourcesGetEditText(int col, int row, QString& text);
    void dgSourcesSetEditText(int col, int row, const QString& text);
    void dgLoadsDrawCell(QPainter& p, int col, int row, const QRect& rect, const TGridDrawState& state);
    void dgLoadsSelectCell(int col, int row);
    void dgLoadsGetEditText(int col, int row, QString& text);
    void dgLoadsSetEditText(int col, int row, const QString& text);
    // Del on a load row removes the load; true when the key was used.
    bool dgLoadsKeyDown(QKeyEvent* e);
    // Del on a source row removes the source, the same way.
    bool dgSourcesKeyDown(QKeyEvent* e);

private:
    TWireList& Model() const;
    QString Number(double x) const;
    // "w2c": a reference that ends in a position letter and can be read.
    static bool IsCompleteRef(const QString& trimmed);
    // Reports a missing wire once per typed reference.
    void ReportMissingWire(const QString& ref, int wire);
    void StoreSegmentationLine();
    void SetCount(QLabel* label, int n);
    bool eventFilter(QObject* watched, QEvent* event) override;

    TfmVelomast& Owner_;
    bool Filling_ = false;
    bool TaperEdited_ = false;
    QString ReportedRef_;

    QLineEdit* edName_ = nullptr;
    QComboBox* cbFreq_ = nullptr;
    QLabel* laWaveLength_ = nullptr;
    QComboBox* cbGround_ = nullptr;
    QLabel* laHeight_ = nullptr;
    QDoubleSpinBox* rseHeight_ = nullptr;
    QComboBox* cbMaterial_ = nullptr;
    QLabel* laSources_ = nullptr;
    QLabel* laLoads_ = nullptr;
    TStringGrid* dgSources_ = nullptr;
    TStringGrid* dgLoads_ = nullptr;
    QTabWidget* pcBottom_ = nullptr;
    QPlainTextEdit* meComment_ = nullptr;
    QPlainTextEdit* meTaperWireSet_ = nullptr;
    QComboBox* cbZ_R_ = nullptr;
    QLineEdit* cbZ_jX_ = nullptr;
    QLineEdit* cbFB_Azim_ = nullptr;
    QLineEdit* cbFB_Elev_ = nullptr;
    QComboBox* cbDM1_ = nullptr;
    QComboBox* cbDM2_ = nullptr;
    QComboBox* cbSC_ = nullptr;
    QComboBox* cbEC_ = nullptr;
};

} // namespace velomast
