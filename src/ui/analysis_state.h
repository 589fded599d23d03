// The window's state of the check, the nec2c run and the external analysers.
#pragma once

#include "ui/analysis_adapter.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <set>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTextBrowser;
class QTimer;

namespace velomast {

struct TAnalysisState {
    // Where the helper programs are looked for; empty means the PATH.
    QStringList ToolPath;

    // "Проверка": the findings the list shows, in its order.
    std::vector<TUiFinding> Findings;
    QListWidget* CheckList = nullptr;
    QLabel* CheckSummary = nullptr;

    // "Расчёт": the run in the background.
    QTextBrowser* ResultView = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    std::unique_ptr<QProcess> Run;
    std::unique_ptr<QTemporaryDir> RunDir;
    QElapsedTimer RunClock;
    // Ticks once a second while nec2c runs: the status bar shows the time spent so far.
    QTimer* RunTicker = nullptr;
    int RunSegments = 0;
    // What the model was when the run started; a different one cancels it.
    QString RunModelKey;
    // Milliseconds from the start of the last run until its result was shown; -1 for none.
    qint64 LastRunMs = -1;

    // The external analyser and xnec2c, started detached; tracked by their process ids.
    qint64 AnalyserPid = 0;
    qint64 XnecPid = 0;
    // The deck xnec2c reads; every save rewrites it while that xnec2c runs.
    QString XnecDeck;
    // Decks written by this window, which it may write over without asking.
    std::set<QString> OwnDecks;
};

} // namespace velomast
