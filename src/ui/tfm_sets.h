// The settings dialog: general switches, the side panel and tab positions, the paths of
// the two analysers (shown only). Whatever button closes it, the window applies the ticks.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velomast {

class TfmSets : public QDialog {
    Q_OBJECT

public:
    explicit TfmSets(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QCheckBox* chTabOnTop = nullptr;
    QCheckBox* chPanelOnRight = nullptr;
    QCheckBox* chOpenLastFile = nullptr;
    QCheckBox* chScene = nullptr;
    QCheckBox* chUsePrint = nullptr;
    QCheckBox* chBackupFiles = nullptr;
    QCheckBox* chWriteLogFile = nullptr;
    QCheckBox* chRxAntEn = nullptr;
    QPushButton* btIni = nullptr;
    QLineEdit* edMmanaFileName = nullptr;
    QLineEdit* edNEC2FileName = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;
    QPushButton* btApply = nullptr;

    // "Открыть файл настроек...".
    std::function<void()> OnOpenSettingsFile;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace velomast
