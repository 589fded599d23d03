// The common ground of the move and rotate dialogs: Enter moves the focus to the next
// control instead of closing the dialog (a focused button is pressed), Esc cancels, and the
// caption and title line name what is transformed.
#pragma once

#include <QDialog>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace velomast {

class TTransformDialog : public QDialog {
    Q_OBJECT

public:
    explicit TTransformDialog(QWidget* parent = nullptr);

    // The caption and the title line for one wire (its number) or a group (their count), from
    // the run-time texts Text.<kind>Caption1/CaptionN and Text.<kind>Title1/TitleN of `section`.
    void SetTitles(const char* section, const char* kind, int count, int wireNumber);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The row of btOK (with the given caption) and btCancel "Отмена", right-aligned.
    QHBoxLayout* MakeButtonRow(const QString& okCaption);

    QLabel* laTitle_ = nullptr;
    QPushButton* btOK_ = nullptr;
    QPushButton* btCancel_ = nullptr;
};

} // namespace velomast
