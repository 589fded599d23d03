// External analysers: "Открыть в NEC-2 for MMANA..." and, where that Windows program cannot
// run, xnec2c on the model's deck. Both are started detached, so they outlive the editor,
// and are tracked by process id, so a second command does not start a second copy.
#include "tfm_velomast.h"

#include "settings/settings_file.h"
#include "ui/analysis_state.h"
#include "ui/language_texts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sys/types.h>

namespace velomast {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A detached program has left us as its parent, so it is never a zombie of ours: it
// exists exactly while it runs.
bool ProcessAlive(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0; }

bool IsWindowsProgram(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0;
}

} // namespace

void TfmVelomast::SetToolSearchPath(const QStringList& dirs) { Analysis_->ToolPath = dirs; }

QString TfmVelomast::FindTool(const QString& name) const {
    return Analysis_->ToolPath.isEmpty() ? QStandardPaths::findExecutable(name)
                                         : QStandardPaths::findExecutable(name, Analysis_->ToolPath);
}

bool TfmVelomast::AnalyserRunning() const { return ProcessAlive(Analysis_->AnalyserPid); }
bool TfmVelomast::XnecRunning() const { return ProcessAlive(Analysis_->XnecPid); }
QString TfmVelomast::XnecDeck() const { return Analysis_->XnecDeck; }

void TfmVelomast::NFileNEC4MMANAClick() {
    // 1. No program at the configured path: let the user pick it.
    if (!QFileInfo(Nec2Path_).isFile()) {
        const QString dir = QFileInfo(Nec2Path_).absolutePath();
        const QString name = Dialogs_->OpenFileName(QStringLiteral("NEC-2 for MMANA"),
                                                    QStringLiteral("Программы (*.exe *);;Программы Windows (*.exe)"),
                                                    QDir(dir).exists() ? dir : QDir::homePath());
        if (name.isEmpty()) return;
        Nec2Path_ = name;
        if (QFileInfo(name).isFile()) IniFile_->WriteString("ExTools", "NEC4MMANA", name);
    }
    const QFileInfo program(Nec2Path_);
    if (!program.isFile()) return;

    // 2. The copy we started still runs: nothing more to do.
    if (AnalyserRunning()) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.AnalyserRunning"));
        return;
    }

    QString executable = program.absoluteFilePath();
    QStringList arguments;
    if (IsWindowsProgram(executable)) {
        const QString wine = FindTool(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            OfferXnec2c(program.fileName());
            return;
        }
        arguments << executable;
        executable = wine;
    } else if (!program.isExecutable()) {
        ShowMessage(QStringLiteral("Файл %1 не является исполняемой программой.").arg(program.absoluteFilePath()),
                    IUserDialogs::Icon::Error);
        return;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(executable, arguments, program.absolutePath(), &pid)) {
        ShowMessage(QStringLiteral("Не удалось запустить %1.").arg(program.absoluteFilePath()), IUserDialogs::Icon::Error);
        return;
    }
    Analysis_->AnalyserPid = pid;
    SetStatusText(0, LanguageText("TfmVelomast", "Text.ProgramStarted").arg(program.fileName()));
}

void TfmVelomast::OfferXnec2c(const QString& programName) {
    const QString needsWine =
        QStringLiteral("Программа %1 написана для Windows; для её запуска нужен wine (sudo apt install wine).")
            .arg(programName);
    if (FindTool(QStringLiteral("xnec2c")).isEmpty()) {
        ShowMessage(needsWine + QStringLiteral("\nДля расчёта в Linux установите xnec2c (sudo apt install xnec2c) "
                                               "или воспользуйтесь командой \"Расчёт (nec2c)\"."),
                    IUserDialogs::Icon::Warning);
        return;
    }
    if (!AskYesNo(needsWine + QStringLiteral("\nОткрыть модель в xnec2c"))) return;
    StartXnec2c();
}

QString TfmVelomast::XnecDeckPath() const {
    const QString model = Q(Model_->FileName);
    if (!model.isEmpty()) {
        const QFileInfo info(model);
        return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".nec"));
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return QDir(cache.isEmpty() ? QDir::tempPath() : cache).filePath(QStringLiteral("unsaved.nec"));
}

bool TfmVelomast::WriteXnecDeck(const QString& deck) {
    QDir().mkpath(QFileInfo(deck).absolutePath());
    QString error;
    if (!WriteModelDeck(*Model_, deck, AnalysisGround(), &error)) {
        ShowMessage(error, IUserDialogs::Icon::Error);
        return false;
    }
    Analysis_->OwnDecks.insert(QFileInfo(deck).absoluteFilePath());
    return true;
}

bool TfmVelomast::StartXnec2c() {
    if (Model_->OwnCount() == 0) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.NoWires"));
        return false;
    }
    if (XnecRunning()) {
        // The running copy reads the deck it was given; it is brought up to date.
        WriteXnecDeck(Analysis_->XnecDeck);
        SetStatusText(0, LanguageText("TfmVelomast", "Text.Xnec2cRunning"));
        return true;
    }
    const QString deck = QFileInfo(XnecDeckPath()).absoluteFilePath();
    // A deck of the user's own beside the model is not written over unasked.
    if (QFileInfo::exists(deck) && !Analysis_->OwnDecks.count(deck) &&
        !AskYesNo(QStringLiteral("Файл %1 уже существует. Заменить его").arg(deck)))
        return false;
    if (!WriteXnecDeck(deck)) return false;
    qint64 pid = 0;
    const QString xnec = FindTool(QStringLiteral("xnec2c"));
    if (xnec.isEmpty() ||
        !QProcess::startDetached(xnec, {QStringLiteral("-i"), deck}, QFileInfo(deck).absolutePath(), &pid)) {
        ShowMessage(QStringLiteral("Не удалось запустить xnec2c."), IUserDialogs::Icon::Error);
        return false;
    }
    Analysis_->XnecPid = pid;
    Analysis_->XnecDeck = deck;
    SetStatusText(0, QStringLiteral(" xnec2c: %1").arg(QFileInfo(deck).fileName()));
    return true;
}

void TfmVelomast::ModelSaved() {
    if (!Analysis_->XnecDeck.isEmpty() && XnecRunning()) WriteXnecDeck(Analysis_->XnecDeck);
}

TUiGround TfmVelomast::AnalysisGround() const {
    TUiGround g;
    bool ok = false;
    const double er = IniFile_->ReadString("Analysis", "GroundEr", "13").toDouble(&ok);
    if (ok && er >= 1) g.Er = er;
    const double sigma = IniFile_->ReadString("Analysis", "GroundSigma", "0.005").toDouble(&ok);
    if (ok && sigma >= 0) g.Sigma = sigma;
    return g;
}

} // namespace velomast
