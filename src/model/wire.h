// One straight round conductor of a model, and the geometry operations through which
// every change of its ends passes (rounding to 0.1 mm, refusing degenerate or duplicate
// wires, keeping connections, moving the mirrored twin).
#pragma once

#include "end_index.h"
#include "vec3.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace velomast {

class TWireList;
class TElement;
struct TCPoint;

// Where a list's wires live (see TWirePool): blocks of places, each block headed by the
// list its wires belong to, so a wire finds its list from its own address and number
// instead of keeping a pointer. Block 0 holds places 0 .. 63 and block k >= 1 places
// 64 * 2^(k-1) up to twice that.
namespace wire_places {
constexpr uint32_t NoPlace = 0xFFFFFFFFu; // a wire no pool made
constexpr unsigned FirstShift = 6;
// Kept in front of each block; 16 bytes, so the wires after it stay aligned.
struct BlockHeader {
    TWireList* Owner;
    void* Spare;
};
static_assert(sizeof(BlockHeader) == 16);
// The number of the first place of the block that holds place `id`.
constexpr uint32_t BlockFirst(uint32_t id) {
    const auto b = static_cast<unsigned>(std::bit_width(id >> FirstShift));
    return b == 0 ? 0 : uint32_t{1} << (FirstShift + b - 1);
}
} // namespace wire_places

// The numbers of one wire line of a model file, or one wire of a snapshot.
struct TWireRecord {
    Vec3 P1;
    Vec3 P2;
    double Radius = 0.0008;
    int32_t Segments = -1;
};

// Reads "X1, Y1, Z1, X2, Y2, Z2, R, Seg": a missing or bad real becomes NoValue, a
// missing or bad segment count -2.
TWireRecord ParseWireLine(std::string_view line);

class TWire {
public:
    static constexpr double StandaloneRadius = 0.0008;

    // A wire that belongs to no list (the view's axis wires, scratch copies).
    TWire() = default;
    TWire(const TWire&) = delete;
    TWire& operator=(const TWire&) = delete;

    // Where the dragged end (DragEnd) was when grabbed. Only grabbed wires have one, so
    // the owning list keeps it; a wire without a list reports the origin.
    Vec3 DragOrigin() const;
    void SetDragOrigin(const Vec3& p);

    // 0 = isolator; negative = combined wire described by a line of TaperLines.
    double Radius = StandaloneRadius;
    // Radius kept while the wire is an isolator; 0 when none was kept. Kept by the owning
    // list (few wires have one); a wire without a list keeps none.
    double SavedRadius() const;
    void SetSavedRadius(double r);
    // -1 automatic; -2 when a file gave no usable value.
    int32_t Segments = -1;

    // Derived data of the last element rebuild; may be stale between a change and the next.
    // Stored as 32-bit references into the owning list: ElementRef is the element's Index
    // + 1, a junction reference the point's position in Junctions + 1; 0 means none.
    uint32_t ElementRef = 0;
    uint32_t StartJunctionRef = 0;
    uint32_t EndJunctionRef = 0;
    // The element and connection points referred to; nullptr for none and for a wire
    // without a list.
    TElement* Element() const;
    TCPoint* StartJunction() const;
    TCPoint* EndJunction() const;

    // The four small fields sit together, so that a wire takes no padding for them.
    bool Visible = true;
    // Which end the mouse drags (0 none, 1 start, 2 end).
    uint8_t DragEnd = 0;

    const Vec3& P1() const { return P1_; }
    const Vec3& P2() const { return P2_; }
    // Length, azimuth and zenith follow from the ends; they are worked out when asked
    // (always by the same formulas, so equal ends give equal values).
    double WireLength() const;
    // Direction of P2 - P1 from +X towards +Y, in (-180, 180]; 0 for a vertical wire.
    double Azimuth() const;
    // 0 points up, 90 horizontal, 180 down.
    double Zenith() const;
    // The list the wire belongs to, read from the head of its pool block; nullptr for a
    // wire no list made.
    TWireList* OwnerList() const {
        if (Id_ == wire_places::NoPlace) return nullptr;
        const char* first = reinterpret_cast<const char*>(this) -
                            size_t{Id_ - wire_places::BlockFirst(Id_)} * sizeof(TWire);
        wire_places::BlockHeader h;
        std::memcpy(&h, first - sizeof h, sizeof h);
        return h.Owner;
    }
    // 0 for the edited antenna, -1 landscape, k >= 1 the k-th scene antenna.
    int32_t OwnerTag() const { return OwnerTag_; }
    bool IsOwn() const { return OwnerTag_ == 0; }
    bool IsIsolator() const { return Radius == 0; }
    bool IsSelected() const { return Selected_; }
    // 1-based position in the owning list; 0 without a list.
    int32_t Number() const;

    // The central setter. Refuses silently (returns false) when the new ends coincide or,
    // for a wire in a list, equal the ends of another wire in either order. With `round`
    // the ends are rounded to 0.1 mm first; the refusal looks at the stored (rounded)
    // ends. With `keep` the other own wires touching the old ends follow, one level deep;
    // with `mirror` the mirrored twin of the current flat view moves too.
    bool SetEnds(const Vec3& s, const Vec3& e, bool keep, bool mirror, bool round);
    // Stores the ends without any refusal or connection rule (a file's or a snapshot's
    // coordinates, taken as they are).
    void AssignEnds(const Vec3& s, const Vec3& e, bool round);
    // Changes the length along the present direction; fix 0 keeps the start, 1 the end,
    // 2 the centre. Ignored for a length <= 0 or a wire without length.
    void SetLength(int fix, bool round, double length);
    // Turns the wire about its start in the X-Y plane; the height of the end stays.
    void SetAzimuth(double degrees);
    // Tilts the wire about its start, keeping its azimuth and length.
    void SetZenith(double degrees);
    // Swaps start and end.
    void Invert();
    // Nearest end of another own wire that is not dragged and shares no end with this one.
    bool NearestEnd(const Vec3& point, Vec3* found) const;
    // The wire that mirrors this one in the current flat view (maybe this wire itself).
    TWire* FindMirrorTwin() const;

private:
    friend class TWireList;
    friend class TEndIndex;
    friend class TWirePool;

    void StoreEnds(const Vec3& s, const Vec3& e);

    bool Selected_ = false;
    bool Doomed_ = false;
    int32_t OwnerTag_ = 0;
    Vec3 P1_;
    Vec3 P2_;
    // Position in the owning list; a list holds fewer than 2^32 wires.
    uint32_t Index_ = 0;
    // Number of the wire's place in its list's pool (the end index links by it, and the
    // place tells the list); NoPlace for a wire no pool made.
    uint32_t Id_ = wire_places::NoPlace;
    TEndLinks Links_;
};

// A million wires must fit in the memory the editor is allowed; keep the wire this small.
static_assert(sizeof(TWire) <= 104, "TWire grew");

} // namespace velomast
