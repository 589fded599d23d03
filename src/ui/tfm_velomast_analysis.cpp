// The check of the model and its analysis by nec2c: the side pages "Проверка" and "Расчёт",
// the deck export and the run in the background, which the user may cancel and which a
// change of the model cancels.
#include "tfm_velomast.h"

#include "ui/analysis_state.h"
#include "ui/language_texts.h"
#include "ui/params_page.h"
#include "view/view_camera.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace velomast {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Num(double v, int decimals, char mark) {
    QString s = QString::number(v, 'f', decimals);
    if (mark != '.') s.replace('.', QChar(mark));
    return s;
}

const QString NecFilter = QStringLiteral("Файлы NEC-2 (*.nec);;Все файлы (*)");

} // namespace

// ---- construction ---------------------------------------------------------------------

void TfmVelomast::BuildCheckPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* run = new QPushButton(QStringLiteral("Проверить"), page);
    run->setObjectName("btCheck");
    run->setToolTip(QStringLiteral("Проверить геометрию модели"));
    connect(run, &QPushButton::clicked, this, &TfmVelomast::NCheckModelClick);
    layout->addWidget(run);
    Analysis_->CheckSummary = new QLabel(page);
    Analysis_->CheckSummary->setObjectName("laCheck");
    Analysis_->CheckSummary->setWordWrap(true);
    layout->addWidget(Analysis_->CheckSummary);
    auto* list = new QListWidget(page);
    list->setObjectName("lbCheck");
    list->setWordWrap(true);
    list->setToolTip(QStringLiteral("Щелчок выделяет провода, двойной щелчок показывает их в центре"));
    connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) { lbCheckClick(list->row(item)); });
    connect(list, &QListWidget::itemActivated, this,
            [this, list](QListWidgetItem* item) { lbCheckClick(list->row(item)); });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, list](QListWidgetItem* item) { lbCheckDblClick(list->row(item)); });
    layout->addWidget(list, 1);
    Analysis_->CheckList = list;
}

void TfmVelomast::BuildAnalysisPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* run = new QPushButton(QStringLiteral("Рассчитать"), page);
    run->setObjectName("btAnalyse");
    run->setToolTip(QStringLiteral("Расчёт модели программой nec2c (F9)"));
    connect(run, &QPushButton::clicked, this, &TfmVelomast::NAnalyseClick);
    layout->addWidget(run);
    Analysis_->ResultView = new QTextBrowser(page);
    Analysis_->ResultView->setObjectName("reAnalysis");
    layout->addWidget(Analysis_->ResultView, 1);
}

void TfmVelomast::SetUpAnalysis() {
    QMenu* tools = Action("NTools")->menu();
    tools->addSeparator();
    auto add = [&](QMenu* menu, QAction* before, const char* name, const QString& caption, const QString& key,
                   void (TfmVelomast::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(name);
        if (!key.isEmpty()) a->setShortcut(QKeySequence(key));
        menu->insertAction(before, a);
        Actions_[name] = a;
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    add(tools, nullptr, "NCheckModel", QStringLiteral("Проверка модели..."), {}, &TfmVelomast::NCheckModelClick);
    add(tools, nullptr, "NAnalyse", QStringLiteral("Расчёт (nec2c)"), QStringLiteral("F9"), &TfmVelomast::NAnalyseClick);
    // The deck is a file the model is written to: in the File menu, after the analyser.
    QMenu* file = Action("NFile")->menu();
    const QList<QAction*> items = file->actions();
    const qsizetype at = items.indexOf(Action("NFileOpenNotepad"));
    add(file, at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr, "NExportNec",
        QStringLiteral("Экспорт в NEC-2 (.nec)..."), {}, &TfmVelomast::NExportNecClick);

    QAction* nec = Action("NFileNEC4MMANA");
    nec->setEnabled(true);
    connect(nec, &QAction::triggered, this, &TfmVelomast::NFileNEC4MMANAClick);

    // The run's progress and its Cancel, shown in the status bar while nec2c works.
    Analysis_->Progress = new QProgressBar(statusBar());
    Analysis_->Progress->setObjectName("pbAnalysis");
    Analysis_->Progress->setRange(0, 0);
    Analysis_->Progress->setMaximumWidth(140);
    Analysis_->Progress->setFormat(QStringLiteral("nec2c"));
    Analysis_->CancelButton = new QPushButton(QStringLiteral("Отмена"), statusBar());
    Analysis_->CancelButton->setObjectName("btAnalysisCancel");
    Analysis_->CancelButton->setToolTip(QStringLiteral("Прервать расчёт"));
    connect(Analysis_->CancelButton, &QPushButton::clicked, this,
            [this] { CancelAnalysis(LanguageText("TfmVelomast", "Text.AnalysisCancelled")); });
    statusBar()->addPermanentWidget(Analysis_->Progress);
    statusBar()->addPermanentWidget(Analysis_->CancelButton);
    Analysis_->Progress->hide();
    Analysis_->CancelButton->hide();
    Analysis_->RunTicker = new QTimer(this);
    Analysis_->RunTicker->setInterval(1000);
    connect(Analysis_->RunTicker, &QTimer::timeout, this, &TfmVelomast::ShowAnalysisRunTime);
}

void TfmVelomast::ShowAnalysisRunTime() {
    const TAnalysisState& a = *Analysis_;
    if (!a.Run) return;
    SetStatusText(0, LanguageText("TfmVelomast", "Text.AnalysisRunning")
                         .arg(a.RunSegments)
                         .arg(a.RunClock.elapsed() / 1000));
}

QListWidget* TfmVelomast::CheckList() const { return Analysis_->CheckList; }
QTextBrowser* TfmVelomast::AnalysisView() const { return Analysis_->ResultView; }
qint64 TfmVelomast::LastAnalysisMs() const { return Analysis_->LastRunMs; }

// ---- the check ------------------------------------------------------------------------

void TfmVelomast::NCheckModelClick() {
    TAnalysisState& a = *Analysis_;
    a.Findings = CheckModel(*Model_);
    a.CheckList->clear();
    int errors = 0;
    for (const TUiFinding& f : a.Findings) {
        errors += f.Error;
        QStringList numbers;
        for (int n : f.Wires) numbers << QString::number(n);
        const QString wires = numbers.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(numbers.join(", "));
        auto* item = new QListWidgetItem(
            style()->standardIcon(f.Error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning),
            f.Text + wires, a.CheckList);
        item->setToolTip(f.Text);
    }
    const int warnings = static_cast<int>(a.Findings.size()) - errors;
    a.CheckSummary->setText(a.Findings.empty()
                                ? LanguageText("TfmVelomast", "Text.CheckNone")
                                : LanguageText("TfmVelomast", "Text.CheckCounts").arg(errors).arg(warnings));
    pcRight_->setCurrentIndex(CheckPage);
    SetStatusText(0, a.Findings.empty() ? LanguageText("TfmVelomast", "Text.CheckStatusNone")
                                        : LanguageText("TfmVelomast", "Text.CheckStatusCounts").arg(errors).arg(warnings));
}

bool TfmVelomast::SelectFindingWires(int row) {
    const TAnalysisState& a = *Analysis_;
    if (row < 0 || row >= static_cast<int>(a.Findings.size())) return false;
    TWireList& m = *Model_;
    std::vector<TWire*> wires;
    for (int n : a.Findings[row].Wires)
        if (n >= 1 && static_cast<size_t>(n) <= m.OwnCount()) wires.push_back(m[n - 1]);
    // The model may have changed since the check: numbers past its wires are skipped.
    if (wires.empty()) return false;
    m.ClearSelection();
    for (auto it = wires.rbegin(); it != wires.rend(); ++it) m.SelectWire(*it, false);
    return true;
}

void TfmVelomast::lbCheckClick(int row) {
    if (!SelectFindingWires(row)) return;
    if (!IsViewPage()) pcMain_->setCurrentIndex(0);
    UpdateForm();
}

void TfmVelomast::lbCheckDblClick(int row) {
    if (!SelectFindingWires(row)) return;
    if (!IsViewPage()) pcMain_->setCurrentIndex(0);
    CenterOnSelected(*Model_);
    UpdateForm();
}

// ---- the deck -------------------------------------------------------------------------

void TfmVelomast::NExportNecClick() {
    if (Model_->OwnCount() == 0) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.NoWires"));
        return;
    }
    const QString model = Q(Model_->FileName);
    const QString proposed =
        model.isEmpty() ? QStringLiteral("antenna.nec")
                        : QFileInfo(model).absoluteDir().filePath(QFileInfo(model).completeBaseName() + ".nec");
    const QString name = Dialogs_->SaveFileName(QStringLiteral("Экспорт в NEC-2"), NecFilter, proposed, "nec");
    if (name.isEmpty()) return;
    // The deck is another file: never the model itself.
    if (!model.isEmpty() && QFileInfo(name).absoluteFilePath() == QFileInfo(model).absoluteFilePath()) {
        ShowMessage(QStringLiteral("Файл NEC-2 не может быть записан поверх файла модели."), IUserDialogs::Icon::Error);
        return;
    }
    QString error;
    if (!WriteModelDeck(*Model_, name, AnalysisGround(), &error)) {
        ShowMessage(error, IUserDialogs::Icon::Error);
        return;
    }
    SetStatusText(0, LanguageText("TfmVelomast", "Text.DeckWritten").arg(QFileInfo(name).fileName()));
}

// ---- the run --------------------------------------------------------------------------

bool TfmVelomast::AnalysisRunning() const { return Analysis_->Run != nullptr; }

QString TfmVelomast::AnalysisModelKey() const {
    const TWireList& m = *Model_;
    // Every edit appends a history step or moves in it; the rest are the model-wide
    // values that the parameters page sets without one.
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(m.HistoryCount())
        .arg(m.HistoryPos)
        .arg(m.History.Size())
        .arg(m.OwnCount())
        .arg(m.Frequency, 0, 'g', 17)
        .arg(m.GroundType)
        .arg(m.BaseHeight, 0, 'g', 17)
        .arg(Q(m.FileName))
        .arg(QStringLiteral("%1/%2/%3/%4/%5").arg(m.StdZR).arg(m.StdZjX).arg(m.FBAzimuth).arg(m.FBElevation).arg(m.Material));
}

void TfmVelomast::ShowAnalysisText(const QString& html) {
    Analysis_->ResultView->setHtml(html);
    pcRight_->setCurrentIndex(AnalysisPage);
}

void TfmVelomast::NAnalyseClick() {
    TAnalysisState& a = *Analysis_;
    if (a.Run) return; // one run at a time; Cancel stops it
    if (Model_->OwnCount() == 0) {
        SetStatusText(0, LanguageText("TfmVelomast", "Text.NoWires"));
        return;
    }
    const QString nec2c = FindTool(QStringLiteral("nec2c"));
    if (nec2c.isEmpty()) {
        ShowMessage(QStringLiteral("Программа nec2c не найдена. Установите её командой:\nsudo apt install nec2c"),
                    IUserDialogs::Icon::Warning);
        return;
    }
    Params_->ApplyFrequency();
    a.RunDir = std::make_unique<QTemporaryDir>();
    if (!a.RunDir->isValid()) {
        ShowMessage(QStringLiteral("Не удалось создать временную папку для расчёта."), IUserDialogs::Icon::Error);
        a.RunDir.reset();
        return;
    }
    const QString deck = a.RunDir->filePath("model.nec");
    QString error;
    if (!WriteModelDeck(*Model_, deck, AnalysisGround(), &error, &a.RunSegments)) {
        a.RunDir.reset();
        ShowMessage(error, IUserDialogs::Icon::Error);
        return;
    }
    a.RunClock.start();
    a.RunModelKey = AnalysisModelKey();
    a.Run = std::make_unique<QProcess>();
    a.Run->setWorkingDirectory(a.RunDir->path());
    a.Run->setProcessChannelMode(QProcess::MergedChannels);
    QProcess* p = a.Run.get();
    connect(p, &QProcess::finished, this, [this, p](int code, QProcess::ExitStatus status) {
        if (Analysis_->Run.get() == p) AnalysisFinished(code, status == QProcess::NormalExit);
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && Analysis_->Run.get() == p) AnalysisFinished(-1, false);
    });
    a.Progress->show();
    a.CancelButton->show();
    ShowAnalysisRunTime();
    a.RunTicker->start();
    // The solve grows with the cube of the segment count: say so before a long wait.
    QString page = LanguageText("TfmVelomast", "Text.AnalysisRunningPage").arg(a.RunSegments);
    if (a.RunSegments > SlowAnalysisSegments) page += LanguageText("TfmVelomast", "Text.AnalysisSlow");
    ShowAnalysisText(page);
    // Bare names in the run's own folder: nec2c refuses names longer than about 75 characters.
    p->start(nec2c, {QStringLiteral("-i"), QStringLiteral("model.nec"), QStringLiteral("-o"), QStringLiteral("model.out")});
}

void TfmVelomast::StopAnalysisRun() {
    TAnalysisState& a = *Analysis_;
    a.Progress->hide();
    a.CancelButton->hide();
    a.RunTicker->stop();
    if (a.Run) {
        QProcess* p = a.Run.release();
        p->disconnect(this);
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(1000);
        }
        p->deleteLater();
    }
    a.RunDir.reset();
}

void TfmVelomast::CancelAnalysis(const QString& why) {
    if (!Analysis_->Run) return;
    StopAnalysisRun();
    SetStatusText(0, why);
    ShowAnalysisText(QStringLiteral("<p>%1</p>").arg(why.trimmed().toHtmlEscaped()));
}

void TfmVelomast::AnalysisModelChanged() {
    if (Analysis_ && Analysis_->Run && AnalysisModelKey() != Analysis_->RunModelKey)
        CancelAnalysis(LanguageText("TfmVelomast", "Text.AnalysisModelChanged"));
}

void TfmVelomast::AnalysisFinished(int exitCode, bool normalExit) {
    TAnalysisState& a = *Analysis_;
    const QString log = QString::fromLocal8Bit(a.Run->readAll()).trimmed();
    QString text;
    QFile out(a.RunDir->filePath("model.out"));
    if (out.open(QIODevice::ReadOnly)) text = QString::fromLocal8Bit(out.readAll());
    const bool started = a.Run->error() != QProcess::FailedToStart;
    StopAnalysisRun();

    TUiAnalysis r;
    if (!started) {
        r.Error = LanguageText("TfmVelomast", "Text.Nec2cNotStarted");
    } else if (!normalExit || exitCode != 0 || text.isEmpty()) {
        // nec2c's own words first: they name the card it refused.
        r.Error = log.isEmpty() ? LanguageText("TfmVelomast", "Text.Nec2cExit").arg(exitCode) : log;
        if (!text.isEmpty()) {
            const TUiAnalysis partial = ReadAnalysis(*Model_, text);
            if (!partial.Error.isEmpty()) r.Error += '\n' + partial.Error;
        }
    } else {
        r = ReadAnalysis(*Model_, text);
    }
    ShowAnalysisResult(r);
    a.LastRunMs = a.RunClock.elapsed();
    const QString seconds = Num(a.LastRunMs / 1000.0, 1, DecimalMark_);
    SetStatusText(0, r.Ok ? LanguageText("TfmVelomast", "Text.AnalysisDone").arg(seconds)
                          : LanguageText("TfmVelomast", "Text.AnalysisFailed"));
}

void TfmVelomast::ShowAnalysisResult(const TUiAnalysis& r) {
    const char mark = DecimalMark_;
    QString html;
    if (!r.Ok) {
        html = LanguageText("TfmVelomast", "Text.AnalysisError").arg(r.Error.toHtmlEscaped());
        ShowAnalysisText(html);
        return;
    }
    const TWireList& m = *Model_;
    html += LanguageText("TfmVelomast", "Text.AnalysisFrequency").arg(Num(r.Frequency > 0 ? r.Frequency : m.Frequency, 3, mark));
    html += (QStringLiteral("<table cellspacing=0 cellpadding=2 border=1>") +
                 LanguageText("TfmVelomast", "Text.AnalysisTableHead"))
                .arg(m.StdZjX == 0 ? Num(m.StdZR, 1, mark)
                                   : Num(m.StdZR, 1, mark) + (m.StdZjX < 0 ? "-j" : "+j") + Num(std::abs(m.StdZjX), 1, mark));
    for (const TUiSourceResult& s : r.Sources) {
        html += QStringLiteral("<tr><td align=center>%1</td><td align=right>%2</td><td align=right>%3</td>"
                               "<td align=right>%4</td></tr>")
                    .arg(s.Wire)
                    .arg(Num(s.R, 2, mark), Num(s.X, 2, mark), s.Swr > 0 && s.Swr < 1e6 ? Num(s.Swr, 2, mark) : "∞");
    }
    html += QStringLiteral("</table>");
    if (r.Sources.empty()) html += LanguageText("TfmVelomast", "Text.AnalysisNoSources");
    html += QStringLiteral("<p>");
    if (r.HasPattern)
        html += LanguageText("TfmVelomast", "Text.AnalysisGain")
                    .arg(Num(r.MaxGain, 2, mark), Num(r.MaxGainElevation, 0, mark), Num(r.MaxGainAzimuth, 0, mark));
    if (r.HasFB)
        html += LanguageText("TfmVelomast", "Text.AnalysisFB")
                    .arg(Num(r.FB, 2, mark))
                    .arg(m.FBAzimuth)
                    .arg(m.FBElevation);
    html += LanguageText("TfmVelomast", "Text.AnalysisSegments").arg(r.Segments);
    if (!r.Error.isEmpty()) html += QStringLiteral("<p><i>%1</i></p>").arg(r.Error.toHtmlEscaped());
    ShowAnalysisText(html);
}

} // namespace velomast
