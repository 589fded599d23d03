// Reading the output file of nec2c. Plain C++.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velomast {

class TWireList;

struct TNecSourceResult {
    int Wire = 0;    // the NEC tag (the model's wire number)
    int Segment = 0; // the segment the source sits on
    double R = 0;
    double X = 0;
    double Swr = 0; // against StdZR + j StdZjX
};

struct TNecResult {
    bool Ok = false;
    // nec2c's own error text (or what is missing in the output) when not Ok.
    std::string Error;
    double Frequency = 0; // MHz, of the first frequency in the output
    std::vector<TNecSourceResult> Sources;
    double MaxGainDbi = 0;
    double MaxGainElevation = 0; // degrees above the horizon
    double MaxGainAzimuth = 0;   // degrees
    bool HasFrontBack = false;
    double FrontBackDb = 0;
    int Segments = 0;
};

// SWR of the impedance r + jx against the standard impedance zr + jzx.
double SwrOf(double r, double x, double zr, double zx);

// Parses nec2c's output (the first frequency). The model gives the standard impedance for
// the SWR and the F/B direction (FBAzimuth, FBElevation: the back lobe is searched within
// those angles around the direction opposite the maximum).
TNecResult ReadNecOutput(std::string_view text, const TWireList& model);

// The result as Russian text lines, as the tool and the window show them.
std::vector<std::string> FormatNecResult(const TNecResult& r);

} // namespace velomast
