// The document: new, open, reopen, recent files, save, save as, save as image, the save
// question and handing the file to other programs.
#include "tfm_velomast.h"

#include "settings/language_file.h"
#include "ui/language_texts.h"

#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "files/side_files.h"
#include "settings/qt_translation.h"
#include "settings/settings_file.h"
#include "ui/about_dialog.h"
#include "ui/params_page.h"
#include "view/view_camera.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>

namespace velomast {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
const char* const ModelFilter = "Модели антенн MMANA (*.maa)";
const char* const SaveFilter = "Файлы антенн maa (*.maa);;Файлы ландшафта (*.lnd)";

// The locale's long time format without its time zone ("t", with the brackets, comma and
// blanks that set it off): the change log's lines carry the local time only.
QString WithoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u't') {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == u't') ++i;
        const QChar open = out.isEmpty() ? QChar() : out.back();
        if ((open == u'(' || open == u'[') && i + 1 < format.size() && format[i + 1] == (open == u'(' ? u')' : u']')) {
            out.chop(1);
            ++i;
        }
        while (!out.isEmpty() && out.back().isSpace()) out.chop(1);
        if (!out.isEmpty() && out.back() == u',') out.chop(1);
    }
    return out.trimmed();
}
} // namespace

bool TfmVelomast::AskYesNo(const QString& text) { return Dialogs_->YesNo(AppTitle_, text + "?"); }

void TfmVelomast::ShowMessage(const QString& text, IUserDialogs::Icon icon) { Dialogs_->Message(AppTitle_, text, icon); }

bool TfmVelomast::QuerySave() {
    if (!Model_->Modified) return true;
    switch (Dialogs_->YesNoCancel("Сохранение", "Сохранить сделанные изменения?")) {
    case IUserDialogs::Answer::Yes:
        // A model that never had a file asks for a name; cancelling keeps it open.
        if (Model_->FileName.empty()) {
            NFileSaveAsClick();
            return !Model_->Modified;
        }
        return WriteModelTo(Q(Model_->FileName));
    case IUserDialogs::Answer::No:
        return true;
    default:
        return false;
    }
}

bool TfmVelomast::WriteModelTo(const QString& fileName) {
    // A frequency still being typed is part of what the user saves.
    Params_->ApplyFrequency();
    TLogLocale log;
    log.DecimalMark = DecimalMark_;
    log.Timestamp = [] {
        const QLocale locale;
        const QDateTime now = QDateTime::currentDateTime();
        return S(locale.toString(now.date(), QLocale::ShortFormat) + ' ' +
                 locale.toString(now.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat))));
    };
    const TWriteResult r = WriteModel(*Model_, S(fileName), false, log);
    if (!r.Ok) {
        ShowMessage(Q(r.Message), IUserDialogs::Icon::Error);
        return false;
    }
    if (!r.Warnings.empty()) {
        QStringList lines;
        for (const std::string& w : r.Warnings) lines << Q(w);
        ShowMessage(lines.join('\n'), IUserDialogs::Icon::Warning);
    }
    ModelSaved();
    // The model is saved; a linked file that could not take its wires is named where the
    // user looks after a save, without stopping the work.
    if (!r.LinkedFailures.empty()) {
        QStringList lines;
        for (const std::string& w : r.LinkedFailures) lines << Q(w);
        SetStatusText(0, LanguageText("TfmVelomast", "Text.LinkedNotUpdated") + lines.join(QStringLiteral("; ")));
    }
    UpdateFileNameItems();
    return true;
}

bool TfmVelomast::SaveModelAs(const QString& fileName) { return WriteModelTo(fileName); }

void TfmVelomast::SetCaptionOpened() {
    setWindowTitle(AppTitle_ + " v.0.9 beta [" + Q(Model_->FileName) + "]");
}

bool TfmVelomast::OpenModel(const QString& fileName) {
    // Anything that exists is tried: a pipe or a device is refused by the reader with a
    // message rather than ignored.
    if (!QFileInfo::exists(fileName) || QFileInfo(fileName).isDir()) return false;
    if (IsUnsupportedModelFile(S(fileName))) {
        ShowMessage(UnsupportedFormatMessage);
        UpdateForm();
        return true;
    }
    const TReadResult r = ReadModel(*Model_, S(fileName));
    if (r.Status == TReadStatus::CannotRead || r.Status == TReadStatus::NotAModel) {
        ShowMessage(Q(r.Message), IUserDialogs::Icon::Error);
        return true;
    }
    if (r.Status == TReadStatus::WireNotFound) {
        // What was read stays, detached from its file; the window shows it as a new model.
        ShowMessage(Q(r.Message), IUserDialogs::Icon::Error);
        setWindowTitle(AppTitle_ + " [" + Q(Model_->ModelName) + "]");
    } else if (r.NoModel) {
        // A file without a model (a note, a short text) is not the model's file: a save
        // asks for a name instead of writing over it.
        Model_->FileName.clear();
        setWindowTitle(AppTitle_ + " [" + Q(Model_->ModelName) + "]");
    } else {
        if (BackupOnOpen_) {
            const TFileResult b = WriteBackup(*Model_);
            if (!b.Ok) ShowMessage(Q(b.Message), IUserDialogs::Icon::Warning);
        }
        SetCaptionOpened();
    }
    if (!r.Warnings.empty()) {
        // What the reader put right, in one notice (long lists are cut).
        QStringList lines;
        for (size_t i = 0; i < r.Warnings.size() && i < 12; ++i) lines << Q(r.Warnings[i]);
        if (r.Warnings.size() > 12) lines << QStringLiteral("… и ещё %1").arg(r.Warnings.size() - 12);
        ShowMessage(lines.join('\n'), IUserDialogs::Icon::Warning);
    }
    // A file that lists linked files keeps its list when saved again.
    if (!Model_->LinkedList.empty()) Model_->StoreLinkedList = true;
    // The fitted model is also centred: a model far from the old centre would otherwise
    // open outside the view.
    CenterOnModel(*Model_);
    ResetStatusPanels();
    FillParamsPage();
    UpdateForm();
    ApplyViewScale(false, Model_->ViewScale);
    return true;
}

void TfmVelomast::ResetStatusPanels() {
    // What the last model's work left there (a paste count, a ruler length, the cursor
    // and the history size) says nothing about this one.
    SetStatusText(0, QString());
    SetStatusText(2, QString());
    SetStatusText(4, Model_->History.Empty() ? QString() : QString::number(Model_->History.Size()));
}

void TfmVelomast::UpdateFileNameItems() {
    // Disabled items ignore their shortcuts: whatever needs a file name follows it at once.
    const bool named = !Model_->FileName.empty();
    Action("NReopen")->setEnabled(named);
    Action("NFileOpenNotepad")->setEnabled(named);
    Action("NOpenLinkedFiles")->setEnabled(named);
    QAction* linked = Action("NLinkedFiles");
    linked->setEnabled(named);
    linked->setChecked(Model_->StoreLinkedList);
}

void TfmVelomast::AddRecentFile(const QString& fileName) {
    if (fileName.isEmpty()) return;
    const int at = RecentFiles_.indexOf(fileName);
    if (at >= 0) {
        // The menu keeps its order until the next start.
        RecentFiles_.move(at, 0);
        return;
    }
    RecentFiles_.prepend(fileName);
    QAction* item = new QAction(fileName.trimmed(), RecentMenu_);
    connect(item, &QAction::triggered, this, [this, name = fileName.trimmed()] { RecentFileClick(name); });
    const QList<QAction*> items = RecentMenu_->actions();
    RecentMenu_->insertAction(items.isEmpty() ? nullptr : items.front(), item);
    if (RecentFiles_.size() > MaxRecentFiles) {
        RecentFiles_.removeAt(MaxRecentFiles);
        const QList<QAction*> now = RecentMenu_->actions();
        if (now.size() > MaxRecentFiles) {
            QAction* eighth = now[MaxRecentFiles];
            RecentMenu_->removeAction(eighth);
            delete eighth;
        }
    }
}

void TfmVelomast::RebuildRecentMenu() {
    for (QAction* a : RecentMenu_->actions()) {
        RecentMenu_->removeAction(a);
        delete a;
    }
    for (const QString& f : RecentFiles_) {
        QAction* a = new QAction(f.trimmed(), RecentMenu_);
        connect(a, &QAction::triggered, this, [this, name = f.trimmed()] { RecentFileClick(name); });
        RecentMenu_->addAction(a);
    }
}

void TfmVelomast::RecentFileClick(const QString& fileName) {
    if (QFileInfo(fileName).isFile() && !QuerySave()) return;
    if (OpenModel(fileName)) {
        const int at = RecentFiles_.indexOf(fileName);
        if (at > 0) RecentFiles_.move(at, 0);
    } else {
        ShowMessage(QStringLiteral("Файл %1 не найден.").arg(fileName), IUserDialogs::Icon::Error);
    }
}

void TfmVelomast::NNewAntennaClick() {
    if (!QuerySave()) return;
    Model_->ResetToNewModel();
    setWindowTitle(AppTitle_ + " [" + Q(Model_->ModelName) + "]");
    UpdateFileNameItems();
    ResetStatusPanels();
    pcMain_->setCurrentIndex(PageGeneral);
    FillParamsPage();
    // The name is offered for typing over: without the leading blank, all of it selected.
    if (auto* name = findChild<QLineEdit*>("edName")) {
        name->setText(Q(Model_->ModelName));
        name->setFocus();
        name->selectAll();
    }
    UpdateForm();
}

void TfmVelomast::NFileOpenClick() {
    if (!QuerySave()) return;
    const QString dir = Model_->FileName.empty() ? QString() : QFileInfo(Q(Model_->FileName)).absolutePath();
    const QString name = Dialogs_->OpenFileName("Открыть", ModelFilter, dir);
    if (name.isEmpty()) return;
    OpenModel(name);
    AddRecentFile(Q(Model_->FileName));
}

void TfmVelomast::NReopenClick() {
    const QString name = Q(Model_->FileName);
    if (name.isEmpty() || !QFileInfo(name).isFile()) return;
    if (!QuerySave()) return;
    OpenModel(name);
}

void TfmVelomast::NFileSaveClick() {
    if (Model_->OwnCount() == 0) return;
    if (!Model_->FileName.empty())
        WriteModelTo(Q(Model_->FileName));
    else
        NFileSaveAsClick();
    UpdateForm();
}

void TfmVelomast::NFileSaveAsClick() {
    const QString proposed = Model_->FileName.empty() ? QString() : Q(Model_->FileName);
    const QString name = Dialogs_->SaveFileName("Сохранить как", SaveFilter, proposed, "maa");
    if (name.isEmpty()) return;
    if (WriteModelTo(name)) setWindowTitle(AppTitle_ + " [" + Q(Model_->FileName) + "]");
    UpdateForm();
}

void TfmVelomast::NFileSaveAsBitmapClick() {
    QString name;
    if (Model_->FileName.empty()) {
        // Without a model file there is no name to derive: ask where to save.
        name = Dialogs_->SaveFileName("Сохранить как изображение", "Изображение BMP (*.bmp);;Изображение PNG (*.png)",
                                      QString(), "bmp");
        if (name.isEmpty()) return;
    } else {
        const QFileInfo info(Q(Model_->FileName));
        name = QDir(info.absolutePath()).filePath(info.completeBaseName() + ".bmp");
    }
    const bool png = name.endsWith(".png", Qt::CaseInsensitive);
    if (!ViewBitmap_.save(name, png ? "PNG" : "BMP")) {
        ShowMessage(QStringLiteral("Не удалось записать файл %1.").arg(name), IUserDialogs::Icon::Error);
        return;
    }
    if (AskYesNo(QStringLiteral("Рабочая область сохранена в файл %1.").arg(name) + "\n\r" +
                 "Открыть его для просмотра сейчас"))
        Dialogs_->OpenWithAssociatedProgram(name);
}

void TfmVelomast::NFileMMANAClick() {
    const QString name = Q(Model_->FileName);
    if (!name.isEmpty() && QFileInfo(name).isFile()) Dialogs_->OpenWithAssociatedProgram(name);
}

void TfmVelomast::NHelpAboutClick() {
    TfmAbout about(this);
    Dialogs_->Exec(about);
}

void TfmVelomast::NLangEnClick() {
    AppTitle_ = "Velomast";
    UseQtTranslation(QStringLiteral("en"));
    Action("NLangRu")->setChecked(false);
    Action("NLangEn")->setChecked(true);
    LanguageFile() = QDir(LanguageFolder()).filePath(QStringLiteral("en.lng"));
    // The title is composed with the file name: it follows at the next open.
    ApplyLanguage(this, false);
    if (Built_) UpdateForm();
    IniFile_->WriteString("Main", "Language", "en");
}

void TfmVelomast::NLangRuClick() {
    AppTitle_ = QStringLiteral("Веломаст");
    UseQtTranslation(QStringLiteral("ru"));
    Action("NLangEn")->setChecked(false);
    Action("NLangRu")->setChecked(true);
    LanguageFile() = QDir(LanguageFolder()).filePath(QStringLiteral("ru.lng"));
    ApplyLanguage(this, false);
    if (Built_) UpdateForm();
    IniFile_->WriteString("Main", "Language", "ru");
}

} // namespace velomast
