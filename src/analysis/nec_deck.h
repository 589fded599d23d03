// The NEC-2 input deck of a model (the card format nec2c and xnec2c read). Plain C++.
#pragma once

#include <string>
#include <vector>

namespace velomast {

class TWireList;
class TWire;

struct TNecDeckOptions {
    // Real ground (GroundType 2): relative permittivity and conductivity, S/m.
    double GroundEr = 13;
    double GroundSigma = 0.005;
    // A frequency sweep in place of the design frequency: SweepSteps points from
    // SweepFrom to SweepTo MHz.
    bool Sweep = false;
    double SweepFrom = 0;
    double SweepTo = 0;
    int SweepSteps = 0;
};

// One GW card: a conductor with its tag (the wire number, or a number after the own wires
// for the sections of a combined wire) and its segment count.
struct TNecWire {
    int Tag = 0;
    int WireNumber = 0; // the model's wire the conductor comes from (1-based)
    double X1 = 0, Y1 = 0, Z1 = 0, X2 = 0, Y2 = 0, Z2 = 0;
    double Radius = 0;
    int Segments = 1;
};

struct TNecDeck {
    std::string Text;
    // What the deck leaves out or approximates, one Russian line each.
    std::vector<std::string> Notes;
    // The conductors as written (GW cards), in card order.
    std::vector<TNecWire> Wires;
    // Total segment count.
    int Segments = 0;
};

// The deck's segment count of an own wire: a positive Segments as it is; automatic (-1,
// -2) uniform segments no longer than lambda/DM2, at least 1, and an odd count of at least
// 3 when a source or load sits at the wire's centre; 0 one segment.
int NecSegmentCount(const TWireList& model, const TWire& wire, double length);

// DM2 of the segmentation line (segments per wavelength); 80 when absent or unusable.
double SegmentsPerWavelength(const TWireList& model);

// The segment (1-based) a source or load at the given position and offset sits on, for a
// wire of n segments: b the first, c the middle, e the last, moved by segNo; may lie
// outside 1..n.
int NecSegmentOf(int position, int segNo, int segments);

TNecDeck WriteNecDeck(const TWireList& model, const TNecDeckOptions& options = {});

} // namespace velomast
