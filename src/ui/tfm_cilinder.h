// "Создать утолщение": the parameters of a cage (prism or cylinder) around a base wire, or,
// in its coil mode, of a helix wound along it, with live estimates of what will be built.
#pragma once

#include "model/generators.h"
#include "ui/generator_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace velomast {

class TFloatSpinEdit;

class TfmCilinder : public TGeneratorDialog {
    Q_OBJECT

public:
    enum class TMode { Cage, Coil };

    explicit TfmCilinder(QWidget* parent = nullptr);

    // Shows the mode's pages and the base wire (its number and length), then the estimates.
    void Prepare(TMode mode, int wireNumber, double baseLength);
    TMode Mode() const { return Mode_; }

    TCageParams CageParams() const;
    TCoilParams CoilParams() const;

    // The live estimates of the mode shown.
    void UpdateEstimates();

private:
    void BuildMainPage(QWidget* page);
    void BuildAdditionalPage(QWidget* page);
    void BuildCoilPage(QWidget* page);

    TMode Mode_ = TMode::Cage;
    double BaseLength_ = 0;
    QTabWidget* pcMain_ = nullptr;
    QWidget* tsMain_ = nullptr;
    QWidget* tsAdditional_ = nullptr;
    QWidget* tsSpir_ = nullptr;
    QVBoxLayout* SpirLayout_ = nullptr;
    QGroupBox* gbStart_ = nullptr;
    QLabel* laBase_ = nullptr;
    QLabel* laLength_ = nullptr;
    QSpinBox* rseNCount_ = nullptr;
    TFloatSpinEdit* rseDiameter_ = nullptr;
    TFloatSpinEdit* rseWireRadius_ = nullptr;
    QSpinBox* rseHoopCount_ = nullptr;
    QSpinBox* rseHoopShift_ = nullptr;
    QCheckBox* chHoopIsolated_ = nullptr;
    QLabel* laTopSide_ = nullptr;
    QLabel* laBottomSide_ = nullptr;
    QComboBox* cbTopSide_ = nullptr;
    QComboBox* cbBottomSide_ = nullptr;
    TFloatSpinEdit* rseAngle_ = nullptr;
    QCheckBox* chZeroBase_ = nullptr;
    QSpinBox* rseWCount_ = nullptr;
    QLabel* laWireCount_ = nullptr;
    QLabel* laTotalLength_ = nullptr;
    QLabel* laInd_ = nullptr;
};

} // namespace velomast
