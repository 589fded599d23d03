#include "language_texts.h"

#include "settings/language_file.h"
#include "ui/string_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

#include <cstring>
#include <functional>

namespace velomast {

namespace {

struct TRunTimeText {
    const char* Section;
    const char* Key;
    const char* Russian;
};

// Texts that code puts together while the window runs. The keys share the sections of the
// windows that show them; "%1", "%2" stand for the numbers and names filled in.
const TRunTimeText RunTimeTexts[] = {
    {"TfmVelomast", "dgWire.Row0", "Параметр"},
    {"TfmVelomast", "dgWire.Row1", "Длина, "},
    {"TfmVelomast", "dgWire.Row8", "Диаметр, мм"},
    {"TfmVelomast", "dgWire.Row9", "Азимут"},
    {"TfmVelomast", "dgWire.Row10", "Зенитн. угол"},
    {"TfmVelomast", "dgWire.Row11", "Сегментация"},
    {"TfmVelomast", "dgWire.Col1", "Значение"},
    {"TfmVelomast", "Text.Metres", "м."},
    {"TfmVelomast", "Text.Isolator", "изолятор"},
    {"TfmVelomast", "Text.Combined", " (комби)"},
    {"TfmVelomast", "Text.Auto", "Авто"},
    {"TfmVelomast", "dgElements.Col0", "№"},
    {"TfmVelomast", "dgElements.Col1", "Кол."},
    {"TfmVelomast", "dgElements.Col2", "Длина"},
    {"TfmVelomast", "dgSources.Col0", "№"},
    {"TfmVelomast", "dgSources.Col1", "Провод"},
    {"TfmVelomast", "dgSources.Col2", "Напр., В"},
    {"TfmVelomast", "dgSources.Col3", "Фаза, гр."},
    {"TfmVelomast", "dgSources.New", "Новый"},
    {"TfmVelomast", "dgLoads.New", "Новая"},
    {"TfmVelomast", "dgLoads.Col0", "№"},
    {"TfmVelomast", "dgLoads.Col1", "Провод"},
    {"TfmVelomast", "dgLoads.Col2", "Тип"},
    {"TfmVelomast", "dgLoads.Col3", "L/R/A0"},
    {"TfmVelomast", "dgLoads.Col4", "C/jX/B0"},
    {"TfmVelomast", "dgLoads.Col5", "Q/A1"},
    {"TfmVelomast", "dgLoads.Col6", "F/B1"},
    {"TfmVelomast", "dgLoads.Col7", "A2"},
    {"TfmVelomast", "Text.WireNumber", "Провод #%1"},
    {"TfmVelomast", "Text.SelectedTotal", "Всего выбрано: %1"},
    {"TfmVelomast", "Text.WiresTotal", "Всего проводов: %1"},
    {"TfmVelomast", "Text.SelectedOf", "Выделено: %1 из %2"},
    {"TfmVelomast", "Text.Height", "H=%1 м. Hmax=%2 м."},
    {"TfmVelomast", "Text.FreeSpace", "Свободное простр."},
    {"TfmVelomast", "Text.Copied", " Скопировано в буфер: %1"},
    {"TfmVelomast", "Text.Pasted", " Вставка из буфера: %1"},
    {"TfmVelomast", "Text.PasteBelowGround", " Вставка невозможна: провода оказались бы ниже уровня земли"},
    {"TfmVelomast", "Text.LinkedNotUpdated", " Связанный файл не обновлён: "},
    {"TfmVelomast", "Text.AddSource", "Добавить источник"},
    {"TfmVelomast", "Text.MoveSource", "Перенести источник"},
    {"TfmVelomast", "Text.SceneSaved", " Сцена сохранена: "},
    {"TfmVelomast", "Text.AndMore", " (и ещё %1)"},
    {"TfmVelomast", "Text.SceneWritten", " Сцена записана: %1 проводов"},
    {"TfmVelomast", "Text.NoWires", " В модели нет проводов"},
    {"TfmVelomast", "Text.ReportEmptyTemplate", " Отчёт не подготовлен: в шаблоне %1 нет ни одного объекта"},
    {"TfmVelomast", "Text.PreviewCaption", "Предварительный просмотр"},
    {"TfmVelomast", "Text.PrintCaption", "Печать"},
    {"TfmVelomast", "Text.ReportPrinted", " Отчёт отправлен на печать"},
    {"TfmVelomast", "Text.ReportSaved", " Отчёт сохранён в файл %1"},
    {"TfmVelomast", "Text.CheckNone", "Замечаний нет"},
    {"TfmVelomast", "Text.CheckCounts", "Ошибок: %1, предупреждений: %2"},
    {"TfmVelomast", "Text.CheckStatusNone", " Проверка: замечаний нет"},
    {"TfmVelomast", "Text.CheckStatusCounts", " Проверка: ошибок %1, предупреждений %2"},
    {"TfmVelomast", "Text.DeckWritten", " Записан файл %1"},
    {"TfmVelomast", "Text.AnalysisRunning", " Расчёт nec2c: сегментов %1, прошло %2 с..."},
    {"TfmVelomast", "Text.AnalysisRunningPage", "<p>Идёт расчёт: сегментов %1...</p>"},
    {"TfmVelomast", "Text.AnalysisSlow",
     "<p>Время расчёта растёт как куб числа сегментов: такая модель может считаться несколько минут. "
     "Прервать расчёт можно кнопкой «Отмена» в строке состояния.</p>"},
    {"TfmVelomast", "Text.AnalysisCancelled", " Расчёт отменён"},
    {"TfmVelomast", "Text.AnalysisModelChanged", " Расчёт прерван: модель изменилась"},
    {"TfmVelomast", "Text.Nec2cNotStarted", "Не удалось запустить nec2c."},
    {"TfmVelomast", "Text.Nec2cExit", "nec2c завершилась с кодом %1."},
    {"TfmVelomast", "Text.AnalysisDone", " Расчёт выполнен за %1 с"},
    {"TfmVelomast", "Text.AnalysisFailed", " Расчёт не выполнен"},
    {"TfmVelomast", "Text.AnalysisError", "<p><b>Ошибка расчёта</b></p><pre>%1</pre>"},
    {"TfmVelomast", "Text.AnalysisFrequency", "<p><b>Частота %1 МГц</b></p>"},
    {"TfmVelomast", "Text.AnalysisTableHead", "<tr><th>Провод</th><th>R, Ом</th><th>jX, Ом</th><th>КСВ (%1)</th></tr>"},
    {"TfmVelomast", "Text.AnalysisNoSources", "<p>В модели нет источников</p>"},
    {"TfmVelomast", "Text.AnalysisGain", "Усиление %1 dBi<br>Угол места %2°, азимут %3°<br>"},
    {"TfmVelomast", "Text.AnalysisFB", "F/B %1 дБ (азимут %2°, угол места %3°)<br>"},
    {"TfmVelomast", "Text.AnalysisSegments", "Сегментов: %1</p>"},
    {"TfmVelomast", "Text.AnalyserRunning", " NEC-2 for MMANA уже запущена"},
    {"TfmVelomast", "Text.ProgramStarted", " Запущена программа %1"},
    {"TfmVelomast", "Text.Xnec2cRunning", " xnec2c уже запущена"},
    {"TfmVelomast", "Text.RulerLength", " Длина "},
    {"TfmMove", "Text.MoveCaption1", "Перемещение провода"},
    {"TfmMove", "Text.MoveCaptionN", "Перемещение группы проводов"},
    {"TfmMove", "Text.MoveTitle1", " Переместить выбранный провод #%1: "},
    {"TfmMove", "Text.MoveTitleN", " Переместить выбранные %1 проводов: "},
    {"TfmMove", "Text.PasteCaption1", "Вставка провода"},
    {"TfmMove", "Text.PasteCaptionN", "Вставка группы проводов"},
    {"TfmMove", "Text.PasteTitle1", " Вставить выбранный провод #%1: "},
    {"TfmMove", "Text.PasteTitleN", " Вставить выбранные %1 проводов: "},
    {"TfmRotate", "Text.RotateCaption1", "Вращение провода"},
    {"TfmRotate", "Text.RotateCaptionN", "Вращение группы проводов"},
    {"TfmRotate", "Text.RotateTitle1", " Повернуть выбранный провод #%1: "},
    {"TfmRotate", "Text.RotateTitleN", " Повернуть выбранные %1 проводов: "},
    {"TfmCilinder", "Text.BaseWire", "На основе провода №%1 длиной"},
    {"TfmCilinder", "Text.Metres", " м."},
    {"TfmCilinder", "Text.CoilTitle", " В виде цилиндрической винтовой линии "},
    {"TfmShape", "Text.Close", "Закрыть"},
    {"TfmAbout", "Text.Version", "Версия %1"},
};

// The texts of the language file last read into a window.
TLanguageFile& LoadedTexts() {
    static TLanguageFile file;
    return file;
}

bool HasLetters(const QString& s) {
    for (const QChar c : s)
        if (c.isLetter()) return true;
    return false;
}

// A tool tip Qt derives from the text is no hint of its own.
QString OwnToolTip(const QAction* a) {
    QString stripped = a->text();
    stripped.remove(QLatin1Char('&'));
    stripped = stripped.trimmed();
    if (stripped.endsWith(QStringLiteral("..."))) stripped.chop(3);
    const QString tip = a->toolTip();
    return tip.trimmed() == stripped.trimmed() || tip.trimmed() == a->text().trimmed() ? QString() : tip;
}

// The tab widget showing `page` as one of its tabs, or null.
QTabWidget* TabHost(QWidget* page, int* index) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (!stack) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    if (!tabs) return nullptr;
    *index = tabs->indexOf(page);
    return *index >= 0 ? tabs : nullptr;
}

// Every object of the form after the form itself, depth first in creation order.
void Walk(QObject* o, const std::function<void(QObject*)>& visit) {
    for (QObject* child : o->children()) {
        visit(child);
        Walk(child, visit);
    }
}

// The caption and hint a component shows; false when it has no caption property.
struct TTexts {
    bool HasCaption = false;
    QString Caption;
    QString Hint;
};

TTexts TextsOf(QObject* o) {
    TTexts t;
    if (auto* a = qobject_cast<QAction*>(o)) {
        t.HasCaption = true;
        t.Caption = a->isSeparator() ? QStringLiteral("-") : a->text();
        t.Hint = a->statusTip().isEmpty() ? OwnToolTip(a) : a->statusTip();
        return t;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return t;
    t.Hint = w->toolTip();
    if (auto* m = qobject_cast<QMenu*>(w)) {
        t.HasCaption = true;
        t.Caption = m->title();
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        t.HasCaption = true;
        t.Caption = l->text();
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        // A button showing an action takes its texts from the action.
        if (auto* tb = qobject_cast<QToolButton*>(w); tb && tb->defaultAction()) return {};
        t.HasCaption = true;
        t.Caption = b->text();
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        t.HasCaption = true;
        t.Caption = g->title();
    } else {
        int index = -1;
        if (QTabWidget* tabs = TabHost(w, &index)) {
            t.HasCaption = true;
            t.Caption = tabs->tabText(index);
            if (t.Hint.isEmpty()) t.Hint = tabs->tabToolTip(index);
        }
    }
    return t;
}

void SetCaption(QObject* o, const QString& text) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (!a->isSeparator()) a->setText(text);
    } else if (auto* m = qobject_cast<QMenu*>(o)) {
        m->setTitle(text);
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(text);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        int index = -1;
        if (QTabWidget* tabs = TabHost(w, &index)) tabs->setTabText(index, text);
    }
}

void SetHint(QObject* o, const QString& text) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setToolTip(text);
        if (!a->statusTip().isEmpty()) a->setStatusTip(text);
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        int index = -1;
        if (QTabWidget* tabs = TabHost(w, &index)) {
            if (!tabs->tabToolTip(index).isEmpty()) tabs->setTabToolTip(index, text);
            else w->setToolTip(text);
        } else {
            w->setToolTip(text);
        }
        if (!w->statusTip().isEmpty()) w->setStatusTip(text);
    }
}

// Labels that show values (numbers, the status panels) are filled in by code, not translated.
bool IsValueLabel(const QObject* o) {
    const auto* l = qobject_cast<const QLabel*>(o);
    if (!l) return false;
    if (o->objectName().startsWith(QStringLiteral("StatusBar"))) return true;
    QString text = l->text();
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    for (const QChar c : text)
        if (c.isDigit()) return true;
    return false;
}

// Combo boxes with words among their items (ground types, wire kinds) have one key an item.
bool WordItems(const QComboBox* c) {
    for (int i = 0; i < c->count(); ++i)
        if (HasLetters(c->itemText(i))) return true;
    return false;
}

class TExportOnDoubleClick : public QObject {
public:
    TExportOnDoubleClick(QWidget* form, QObject* parent) : QObject(parent), Form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonDblClick) return QObject::eventFilter(watched, event);
        const QString folder = LanguageExportFolder();
        LanguageFile() = QDir(folder).filePath(QStringLiteral("ru.lng"));
        QString error;
        if (!QDir().mkpath(folder))
            error = QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(folder));
        else
            ExportLanguage(Form_, &error);
        if (!error.isEmpty()) QMessageBox::warning(Form_, Form_->windowTitle(), error);
        return true;
    }

private:
    QWidget* Form_;
};

} // namespace

void InstallLanguageExport(QWidget* label, QWidget* form) {
    label->installEventFilter(new TExportOnDoubleClick(form, label));
}

QString LanguageSection(const QWidget* form) {
    QString name = QString::fromLatin1(form->metaObject()->className());
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) name = name.mid(colon + 1);
    return name;
}

void ApplyLanguage(QWidget* form, bool caption) {
    TLanguageFile file;
    if (!QFileInfo(LanguageFile()).isFile() || !file.Load(LanguageFile())) return;
    LoadedTexts() = file;
    const QString section = LanguageSection(form);
    if (caption && file.HasKey(section, QStringLiteral("Caption")))
        form->setWindowTitle(file.Read(section, QStringLiteral("Caption")));
    Walk(form, [&](QObject* o) {
        const QString name = o->objectName();
        if (name.isEmpty()) return;
        if (file.HasKey(section, name)) SetCaption(o, file.Read(section, name));
        const QString hintKey = name + QStringLiteral(".Hint");
        if (file.HasKey(section, hintKey)) SetHint(o, file.Read(section, hintKey));
        if (auto* c = qobject_cast<QComboBox*>(o); c && WordItems(c)) {
            for (int i = 0; i < c->count(); ++i) {
                const QString key = name + QStringLiteral(".Item%1").arg(i);
                if (file.HasKey(section, key)) c->setItemText(i, file.Read(section, key));
            }
        }
    });
    // Tables and labels drawn from run-time texts show the new ones at once.
    Walk(form, [](QObject* o) {
        if (auto* g = qobject_cast<TStringGrid*>(o)) g->viewport()->update();
    });
}

void ExportLanguageInto(QWidget* form, TLanguageFile& file) {
    const QString section = LanguageSection(form);
    Walk(form, [&](QObject* o) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith(QStringLiteral("qt_"))) return;
        const TTexts t = TextsOf(o);
        if (t.HasCaption && !IsValueLabel(o) && !t.Caption.isEmpty() && t.Caption != QStringLiteral("-")) file.Write(section, name, t.Caption);
        if (!t.Hint.isEmpty()) file.Write(section, name + QStringLiteral(".Hint"), t.Hint);
        if (auto* c = qobject_cast<QComboBox*>(o); c && WordItems(c))
            for (int i = 0; i < c->count(); ++i) file.Write(section, name + QStringLiteral(".Item%1").arg(i), c->itemText(i));
    });
    const QByteArray latin = section.toLatin1();
    for (const TRunTimeText& t : RunTimeTexts)
        if (latin == t.Section) file.Write(section, QString::fromLatin1(t.Key), QString::fromUtf8(t.Russian));
}

bool ExportLanguage(QWidget* form, QString* error) {
    TLanguageFile file;
    if (QFileInfo(LanguageFile()).isFile() && !file.Load(LanguageFile())) {
        if (error) *error = QStringLiteral("Не удалось прочитать файл %1").arg(LanguageFile());
        return false;
    }
    ExportLanguageInto(form, file);
    QString why;
    if (!file.Save(LanguageFile(), &why)) {
        if (error) *error = QStringLiteral("Не удалось записать файл %1: %2").arg(LanguageFile(), why);
        return false;
    }
    return true;
}

QString LanguageText(const char* section, const char* key) {
    const QString s = QString::fromLatin1(section);
    const QString k = QString::fromLatin1(key);
    if (LoadedTexts().HasKey(s, k)) return LoadedTexts().Read(s, k);
    for (const TRunTimeText& t : RunTimeTexts)
        if (std::strcmp(t.Section, section) == 0 && std::strcmp(t.Key, key) == 0) return QString::fromUtf8(t.Russian);
    return k;
}

void ResetLanguageTexts() { LoadedTexts() = TLanguageFile(); }

} // namespace velomast
