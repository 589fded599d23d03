// What the window needs of the analysis layer, in the window's terms: the check's findings
// with wire numbers, writing a deck, and the figures read from nec2c's output. The one
// place where the window meets the analysis types.
#pragma once

#include <QString>

#include <vector>

namespace velomast {

class TWireList;

struct TUiFinding {
    bool Error = false;
    // Own wire numbers, 1-based.
    std::vector<int> Wires;
    QString Text;
};

// Ground of the deck for a model over real ground (settings Analysis/GroundEr, GroundSigma).
struct TUiGround {
    double Er = 13;
    double Sigma = 0.005;
};

struct TUiSourceResult {
    int Wire = 0;
    double R = 0;
    double X = 0;
    double Swr = 0;
};

struct TUiAnalysis {
    bool Ok = false;
    QString Error;
    double Frequency = 0;
    std::vector<TUiSourceResult> Sources;
    bool HasPattern = false;
    double MaxGain = 0;
    double MaxGainElevation = 0;
    double MaxGainAzimuth = 0;
    bool HasFB = false;
    double FB = 0;
    int Segments = 0;
};

std::vector<TUiFinding> CheckModel(const TWireList& m);
// Writes the model's deck; on failure false and the reason in *error.
// Writes the model's deck; `segments` (when given) receives its total segment count.
bool WriteModelDeck(const TWireList& m, const QString& fileName, const TUiGround& ground, QString* error,
                    int* segments = nullptr);
// Reads nec2c's output text at the model's design frequency.
TUiAnalysis ReadAnalysis(const TWireList& m, const QString& outputText);

} // namespace velomast
