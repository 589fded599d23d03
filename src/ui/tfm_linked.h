// The list of linked model files: each receives the model's wires whenever the model is
// saved. Files are added through the multi-file dialog, as bare names when they lie in
// the model's folder (unless full paths are asked for), and never the model's own file.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

namespace velomast {

class IUserDialogs;

class TfmLinked : public QDialog {
    Q_OBJECT

public:
    TfmLinked(IUserDialogs& dialogs, const QString& modelFileName, QWidget* parent = nullptr);

    QStringList Files() const;
    void SetFiles(const QStringList& files);

    // The entries the chosen files give (the model's own file left out, no text twice).
    static QStringList AddedEntries(const QStringList& list, const QStringList& chosen, const QString& modelFileName,
                                    bool fullPaths);

    void sbAddFileClick();
    void sbDeleteClick();

    QListWidget* lbFiles = nullptr;
    QToolButton* sbAddFile = nullptr;
    QToolButton* sbDelete = nullptr;
    QCheckBox* chSavePath = nullptr;
    QLabel* StaticText1 = nullptr;
    QPushButton* btOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    IUserDialogs& Dialogs_;
    QString ModelFileName_;
};

} // namespace velomast
