// The model side of the wire commands: divide, isolators, centre on an axis, prolong to
// the ground, link to the nearest wire, merge, sources, combined-wire decomposition,
// renumbering, direction ordering, move, rotate, copy and paste. None of them stores an
// undo step or talks to the user; the window does both.
#pragma once

#include "model/wire_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velomast {

// Cuts the wire into n equal pieces (n >= 2): the wire keeps the first piece with its
// radius, segmentation, sources and loads; the others are appended with the default
// radius and automatic segmentation. Returns false, changing nothing, when a piece would
// be shorter than 0.1 mm or the first piece would duplicate another wire.
bool Divide(TWireList& m, TWire& w, int n);

// Radius 0, the old radius kept in SavedRadius; an isolator stays as it is.
void MakeIsolator(TWire& w);
// An isolator gets back SavedRadius when it is > 0, otherwise the list's DefaultRadius;
// other wires stay as they are.
void RestoreConductor(TWireList& m, TWire& w);

// Shifts the wire so that its middle lies on a coordinate plane: z = 0 when the wire
// crosses it, else x = 0 when both ends lie on one side of y = 0, else y = 0.
void CenterOnAxis(TWire& w);

// Over real or perfect ground: extends the wire from its lower end by an isolator down to
// 0.1 m above the ground. Returns the new wire, or nullptr when nothing was added (free
// space, a horizontal wire, a lower end not above that height, a duplicate).
TWire* ProlongToGround(TWireList& m, TWire& w);

// Moves each free end of the wire (an end without a connection point at the last element
// rebuild) onto the nearest end of another own wire that shares no end with it.
void LinkToNearest(TWire& w);

// Merges the selected wires into the current wire (the span between the far ends of
// touching wires); every other selected wire is destroyed with its sources and loads.
void MergeSelected(TWireList& m);

// Number of sources and loads sitting on selected wires.
void CountObjectsOnSelection(const TWireList& m, int* sources, int* loads);
// Destroys the selected wires with their sources and loads.
void DeleteSelected(TWireList& m);

// Source command on one wire: position 1 (begin), 2 (centre) or 3 (end) adds a source
// (voltage 1, phase 0) or moves the wire's source there, keeping voltage and phase;
// position 0 deletes the wire's source.
void SetWireSource(TWireList& m, TWire& w, int position);

// Decomposes combined wires (negative radius) of the given owner into plain wires after
// their line in TaperLines (or in `taperLines` when given: a scene antenna's wires follow
// the lines of their own file); only selected ones when selectedOnly. Wires of another
// owner never make own wires follow them, whatever KeepConnections says.
void Uncombo(TWireList& m, bool selectedOnly, int32_t ownerTag, const std::vector<std::string>* taperLines = nullptr);

// Inverts wires so that they run away from the origin: when |X1| > |X2|, or else when
// |Y1| > |Y2|, or else (vertical wires) when Z1 > Z2.
void RedirectWires(TWireList& m, bool selectedOnly);

// Whether own wire a sorts before b when renumbering: sources first, then loads, then
// conductors before isolators, then by the midpoint's height and then its X, both
// rounded to millimetres. A strict weak ordering.
bool RenumberLess(const TWireList& m, const TWire& a, const TWire& b);
// Sorts the own wires by RenumberLess, keeping the order of equal wires; wires of the
// scene keep their places after them.
void RenumberWires(TWireList& m);

// Moves the selected wires by v; with keep, the ends of unselected own wires touching
// them follow (wires of the scene stay where the scene put them).
void MoveSelected(TWireList& m, const Vec3& v, bool keep);
// Moves the given wires by v as one change, rounded, without the keep-connections rule;
// a wire whose new place is taken by a wire that stays keeps its ends.
void MoveWires(TWireList& m, const std::vector<TWire*>& wires, const Vec3& v);
// The lowest Z of all ends of the given wires, starting from 1000.
double LowestZ(const std::vector<TWire*>& wires, double start = 1000);

// Rotates the selected wires about axis 0 (X), 1 (Y) or 2 (Z) by `angle` degrees, as the
// rotate dialog gives it: centreMode 0 the origin, 1 each wire's midpoint, 2 the centre
// of the group's box. The Y axis turns the other way round. With increasingStep the k-th
// wire, walked from the last selected to the current one, turns by k x angle.
void RotateSelected(TWireList& m, int axis, int centreMode, double angle, bool increasingStep);

// Copies the selected wires (ends, radius, segmentation) into the clipboard list, in
// selection order, and resets the paste offsets.
void CopySelection(TWireList& m, TWireList& clipboard);
// Whether an unshifted paste would duplicate a wire of the model.
bool PasteWouldDuplicate(const TWireList& m, const TWireList& clipboard);
// Adds `offset` to PasteShift and creates the clipboard wires shifted by PasteShift;
// duplicates are skipped. Returns the number of wires created.
int PasteWires(TWireList& m, const TWireList& clipboard, const Vec3& offset);

} // namespace velomast
