// The generators that build new wires from selected ones: a cage (prism or cylinder) or a
// coil around a base wire, a grid filling a rectangle of four wires, a colinear array
// continuing a wire, and a storeyed box standing on a rectangle. None of them stores an
// undo step or talks to the user; the window does both. Every new wire goes through the
// list's wire creators, so its ends are rounded to 0.1 mm and a wire that would duplicate
// an existing one (or have no length) is not added.
#pragma once

#include "model/wire_list.h"

#include <array>
#include <optional>

namespace velomast {

// How a cage's face wires are joined to an end point of the base wire.
enum TEndConnection { EndNone = 0, EndIsolator = 1, EndConductor = 2 };

struct TCageParams {
    double Radius = 0.25;       // of the cage, metres
    int Faces = 6;              // face wires around the base
    double StartAngle = 0;      // degrees, turns the first face about the base
    int Hoops = 2;              // polygonal rings tying the faces together
    double Shift = 0.2;         // end shift as a fraction of the base length
    double WireRadius = 0.0008; // of the new wires, metres
    bool HoopsIsolated = false; // the hoops are isolators (radius 0)
    int TopKind = EndConductor;    // joining the faces to the base's start
    int BottomKind = EndConductor; // joining the faces to the base's end
    bool CentreIsolator = true; // the base wire becomes an isolator
};

struct TCoilParams {
    double Radius = 0.25;       // of the coil, metres
    int ChordsPerTurn = 6;
    int Turns = 10;
    double WireRadius = 0.0008; // of the new wires, metres
    bool CentreIsolator = true;
};

// What a generator dialog shows before anything is built.
struct TGeneratorEstimate {
    int Count = 0;           // new wires
    double TotalLength = 0;  // metres of wire
    double Inductance = 0;   // microhenry (coil only)
};

// The number of wires MakeFatWire adds (none refused as duplicates) and the wire used:
// faces with their end connections (slanted to the base's ends) for a base of length L.
TGeneratorEstimate EstimateCage(double baseLength, const TCageParams& p);
// Count N x W + 2, wire D + pi D W, inductance of a solenoid of W turns on the base length.
TGeneratorEstimate EstimateCoil(double baseLength, const TCoilParams& p);

// Builds the cage around `base`: for each face its first segment, its top connection, its
// further segments and its bottom connection, then the hoops ring by ring. Each face is
// shaped (placed, then shortened) before it is added, so a face that would duplicate a
// wire is left out as a whole; the hoops still join where it would lie. Returns
// the number of wires added; with none added (a base without length) the base is left
// as it was, otherwise it becomes an isolator when asked.
int MakeFatWire(TWireList& m, TWire& base, const TCageParams& p);

// Winds a helix of N x W chords from the base's start to its end, with a radial lead at
// each end. Returns the number of wires added (the base changes only when some were).
int MakeCoil(TWireList& m, TWire& base, const TCoilParams& p);

// The four selected wires as a closed quadrilateral A-B-C-D that begins with the current
// wire A-B; nothing when they do not form one.
struct TQuadrilateral {
    Vec3 A, B, C, D;
    // The wires in their new selection order: A-B, B-C (inverted first when it ended at B),
    // then the other two in their selection order.
    std::array<TWire*, 4> Wires{};
    bool InvertSecond = false;
};
std::optional<TQuadrilateral> FindQuadrilateral(const TWireList& m);

// Wires of an nH x nV grid: (nH + 1) nV + (nV + 1) nH.
int GridWireCount(int nH, int nV);

// Replaces the four selected wires (with their sources and loads) by an nH x nV grid over
// the parallelogram A, B, A + (B - A) + (D - A), D, rows along A-B first. The selection is
// empty afterwards. Nothing when the selection is no quadrilateral (the model unchanged);
// otherwise the number of wires added.
std::optional<int> FillGrid(TWireList& m, int nH, int nV, double radius);

// Adds n elements that continue w along its line, each as long as w, overlapping the
// previous by overlap x its length and shifted sideways by `gap` metres on every other
// element. Returns the number of elements added.
int MakeColinear(TWireList& m, const TWire& w, int n, double gap, double overlap);
// Length of the whole colinear antenna along its line.
double ColinearLength(double length, int n, double overlap);

// Stacks `storeys` storeys of `height` metres on the selected rectangle (downwards with
// `down`): four verticals, then the four sides one storey up, each storey in turn, with the
// model's DefaultRadius. The rectangle's wires stay, the B-C wire turned to run from B, and
// the selection takes the corners' order. Nothing when the selection is no quadrilateral;
// otherwise the number of wires added (with none added the model is left as it was).
std::optional<int> MakeBox(TWireList& m, int storeys, double height, bool down);

} // namespace velomast
