// Finding wires and wire ends under the cursor, with the pixel tolerances of the view:
// an end is hit inside a square 5 pixels wide, a wire within 3 pixels of its line, and a
// new end snaps to an existing one closer than 10 pixels. Plain C++, no Qt.
#pragma once

#include "model/vec3.h"
#include "model/wire_list.h"

#include <cstdint>
#include <vector>

namespace velomast {

inline constexpr int32_t WireHitRadius = 3;
inline constexpr int32_t SnapRadius = 10;

// |E.x - C.x| < 3 and |E.y - C.y| < 3.
bool IsEndHit(ScreenPoint end, ScreenPoint cursor);

// A press in edit mode. Empties the drag list, then visits the own visible wires in list
// order: a hit end selects its wire (at the front, unless already selected) and, in a flat
// view, grabs that end (the wire goes on DragList with DragEnd 1 or 2 and DragOrigin),
// ending the scan; a hit on a wire's line toggles its selection and the scan goes on. In
// a flat view every other own wire with an end exactly at the grabbed point is grabbed at
// that end too. True when the drag list is not empty.
bool PickWireAt(TWireList& m, ScreenPoint cursor);

// Ends a drag: every DragEnd back to 0 and the drag list emptied.
void ClearDragList(TWireList& m);

// The hover test of a flat view: the first own visible wire whose end or line is under
// the cursor; nullptr when none is.
TWire* FindWireUnderCursor(const TWireList& m, ScreenPoint cursor);

// The hover test answered from a grid of screen cells over the view rectangle, so that a
// move costs the same for ten wires or a million. Each cell lists, in list order, the own
// visible wires whose hit zone (end squares and line band) can reach into it; the first
// of them that the exact test accepts is FindWireUnderCursor's answer. Built on the first
// question after Invalidate (or after the view rectangle, scale, centre, page, angles or
// wire count changed); a cursor outside the rectangle is answered by the plain scan.
class THoverIndex {
public:
    static constexpr int32_t CellSize = 16;

    void Invalidate() { Valid_ = false; }
    TWire* Find(const TWireList& m, ScreenPoint cursor);
    bool Built() const { return Valid_; }

private:
    struct TKey {
        TRectI Rect;
        double Scale = 0, Factor = 0, Elevation = 0, Azimuth = 0;
        Vec3 Centre;
        ScreenPoint CentrePixel;
        uint8_t Kind = 0;
        size_t Count = 0, OwnCount = 0;
        bool operator==(const TKey&) const;
    };
    static TKey KeyOf(const TWireList& m);
    void Build(const TWireList& m);

    bool Valid_ = false;
    TKey Key_;
    int32_t Cols_ = 0, Rows_ = 0;
    std::vector<uint32_t> Start_; // Cols_ * Rows_ + 1 offsets into Wires_
    std::vector<uint32_t> Wires_; // wire positions, ascending within a cell
};

// The end a new or moved end snaps to: the first start, then end, in list order, of an own
// wire that is not being dragged, lying less than 10 pixels from the cursor; points that
// coincide with an end of a dragged wire are skipped. False when there is none.
bool FindSnapEnd(const TWireList& m, ScreenPoint cursor, Vec3& found);

// Rectangle selection in a flat view, `from` being the corner where the drag began and
// taken as the upper-left one: a visible wire is caught when both ends lie strictly inside.
// The first catch clears the selection unless `add`; each caught own wire goes to the
// front of the selection. True when any wire was caught.
bool SelectInArea(TWireList& m, ScreenPoint from, ScreenPoint to, bool add);

} // namespace velomast
