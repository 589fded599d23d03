#include "ui/analysis_adapter.h"

#include "analysis/geometry_check.h"
#include "analysis/nec_deck.h"
#include "analysis/nec_output.h"

#include <QFile>

#include <algorithm>
#include <QSaveFile>

namespace velomast {

std::vector<TUiFinding> CheckModel(const TWireList& m) {
    std::vector<TUiFinding> out;
    for (const TCheckFinding& f : CheckGeometry(m))
        out.push_back({f.Severity == TCheckSeverity::Error, f.Wires, QString::fromStdString(f.Text)});
    // Errors first, each kind in the check's order.
    std::stable_sort(out.begin(), out.end(), [](const TUiFinding& a, const TUiFinding& b) { return a.Error > b.Error; });
    return out;
}

bool WriteModelDeck(const TWireList& m, const QString& fileName, const TUiGround& ground, QString* error,
                    int* segments) {
    TNecDeckOptions o;
    o.GroundEr = ground.Er;
    o.GroundSigma = ground.Sigma;
    const TNecDeck deck = WriteNecDeck(m, o);
    if (segments) *segments = deck.Segments;
    // Written whole or not at all: a failed write leaves the old deck in place.
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(deck.Text.data(), qint64(deck.Text.size())) != qint64(deck.Text.size()) ||
        !f.commit()) {
        if (error) *error = QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, f.errorString());
        return false;
    }
    return true;
}

TUiAnalysis ReadAnalysis(const TWireList& m, const QString& outputText) {
    const std::string text = outputText.toStdString();
    const TNecResult n = ReadNecOutput(text, m);
    TUiAnalysis r;
    r.Ok = n.Ok;
    r.Error = QString::fromStdString(n.Error);
    r.Frequency = n.Frequency;
    for (const TNecSourceResult& s : n.Sources) r.Sources.push_back({s.Wire, s.R, s.X, s.Swr});
    r.HasPattern = n.Ok;
    r.MaxGain = n.MaxGainDbi;
    r.MaxGainElevation = n.MaxGainElevation;
    r.MaxGainAzimuth = n.MaxGainAzimuth;
    r.HasFB = n.HasFrontBack;
    r.FB = n.FrontBackDb;
    r.Segments = n.Segments;
    return r;
}

} // namespace velomast
