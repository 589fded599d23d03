// The settings dialog, the commands that hand files to the text editor, and the linked
// model files.
#include "tfm_velomast.h"

#include "settings/data_files.h"
#include "settings/settings_file.h"
#include "ui/tfm_linked.h"
#include "ui/tfm_sets.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>

namespace velomast {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
} // namespace

void TfmVelomast::ConnectSettings() {
    const std::pair<const char*, void (TfmVelomast::*)()> commands[] = {
        {"NSettings", &TfmVelomast::NSettingsClick},
        {"NFileOpenNotepad", &TfmVelomast::NFileOpenNotepadClick},
        {"NHelpReadme", &TfmVelomast::NHelpReadmeClick},
        {"NOpenLinkedFiles", &TfmVelomast::NOpenLinkedFilesClick},
        {"NLinkedFiles", &TfmVelomast::NLinkedFilesClick},
    };
    for (const auto& [name, handler] : commands) connect(Action(name), &QAction::triggered, this, handler);
    Action("NSettings")->setEnabled(true);
    Action("NHelpReadme")->setEnabled(true);
    UpdateFileNameItems();
}

void TfmVelomast::SetPanelOnRight(bool right) {
    PanelOnRight_ = right;
    ViewHost_->insertWidget(right ? 1 : 0, pcRight_);
    ViewHost_->setStretchFactor(right ? 0 : 1, 1);
    ViewHost_->setStretchFactor(right ? 1 : 0, 0);
}

void TfmVelomast::SetTabsOnTop(bool top) { pcMain_->setTabPosition(top ? QTabWidget::North : QTabWidget::South); }

void TfmVelomast::NSettingsClick() {
    TfmSets d(this);
    d.chOpenLastFile->setChecked(IniFile_->ReadBool("Main", "OpenLastFile", true));
    d.chBackupFiles->setChecked(BackupOnOpen_);
    d.chWriteLogFile->setChecked(IniFile_->ReadBool("Main", "WriteLogFile", true));
    d.chScene->setChecked(SceneFunctionsOn());
    d.edNEC2FileName->setText(Nec2Path_);
    d.edMmanaFileName->setText(MmanaPath_);
    d.chPanelOnRight->setChecked(PanelOnRight_);
    d.chTabOnTop->setChecked(pcMain_->tabPosition() == QTabWidget::North);
    d.OnOpenSettingsFile = [this] {
        // An editor is given a file that exists, even before the first setting is written.
        const QString path = IniFile_->Path();
        if (!QFileInfo::exists(path)) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly)) {
                ShowMessage(QStringLiteral("Не удалось создать файл настроек %1.").arg(path), IUserDialogs::Icon::Error);
                return;
            }
        }
        if (!Dialogs_->OpenInTextEditor(path))
            ShowMessage(QStringLiteral("Не удалось открыть файл %1 в текстовом редакторе.").arg(path),
                        IUserDialogs::Icon::Error);
    };
    const bool ok = Dialogs_->Exec(d) == QDialog::Accepted;

    // Whatever button closed it, the ticks take effect and are stored; the path boxes only
    // show the paths.
    IniFile_->WriteBool("Main", "OpenLastFile", d.chOpenLastFile->isChecked());
    BackupOnOpen_ = d.chBackupFiles->isChecked();
    IniFile_->WriteBool("Main", "BackupFiles", BackupOnOpen_);
    Model_->WriteLog = d.chWriteLogFile->isChecked();
    IniFile_->WriteBool("Main", "WriteLogFile", Model_->WriteLog);
    IniFile_->WriteBool("Main", "UseScene", d.chScene->isChecked());
    UseScene(d.chScene->isChecked());
    SetPanelOnRight(d.chPanelOnRight->isChecked());
    SetTabsOnTop(d.chTabOnTop->isChecked());
    IniFile_->WriteBool("View", "TabOnTop", d.chTabOnTop->isChecked());
    IniFile_->WriteBool("View", "PanelOnRight", d.chPanelOnRight->isChecked());
    if (ok) UpdateForm();
}

void TfmVelomast::NFileOpenNotepadClick() {
    if (Model_->FileName.empty()) return;
    const QString name = Q(Model_->FileName);
    if (!QFileInfo(name).isFile()) {
        ShowMessage(QStringLiteral("Файл %1 не найден.").arg(name), IUserDialogs::Icon::Error);
        return;
    }
    if (!Dialogs_->OpenInTextEditor(name))
        ShowMessage(QStringLiteral("Не удалось открыть файл %1 в текстовом редакторе.").arg(name), IUserDialogs::Icon::Error);
}

QString TfmVelomast::ReadmeFile() { return DataFilePath(QStringLiteral("readme.txt")); }

void TfmVelomast::NHelpReadmeClick() {
    const QString name = ReadmeFile();
    if (name.isEmpty() || !QFileInfo(name).isFile()) {
        // Missing for the rest of the run.
        Action("NHelpReadme")->setEnabled(false);
        return;
    }
    if (!Dialogs_->OpenInTextEditor(name))
        ShowMessage(QStringLiteral("Не удалось открыть файл %1 в текстовом редакторе.").arg(name), IUserDialogs::Icon::Error);
}

void TfmVelomast::NOpenLinkedFilesClick() {
    if (Model_->FileName.empty()) return;
    TfmLinked d(*Dialogs_, Q(Model_->FileName), this);
    QStringList before;
    for (const std::string& f : Model_->LinkedList) before << Q(f);
    d.SetFiles(before);
    Dialogs_->Exec(d);
    const QStringList after = d.Files();
    Model_->LinkedList.clear();
    for (const QString& f : after) Model_->LinkedList.push_back(f.toStdString());
    // A list the model file keeps is part of the model: a change is a change to save.
    if (after != before && Model_->StoreLinkedList) Model_->Modified = true;
}

void TfmVelomast::NLinkedFilesClick() {
    QAction* a = Action("NLinkedFiles");
    Model_->StoreLinkedList = a->isChecked();
    if (!Model_->LinkedList.empty()) Model_->Modified = true;
}

} // namespace velomast
