// The model being edited: its wires, sources and loads, settings, selection, elements,
// undo history and view state. A wire's number is its list position + 1.
//
// The list owns its wires, sources, loads, elements and connection points. Wires of the
// edited antenna (OwnerTag 0) always come before the wires of scene antennas and the
// landscape, so that an own wire's number is the number written to the model file.
#pragma once

#include "element.h"
#include "text_encoding.h"
#include "undo_history.h"
#include "vec3.h"
#include "wire.h"
#include "wire_pool.h"
#include "wobject.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace velomast {

struct TRectI {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

// Model extent covered by the paint area, in 0.1 mm along the flat view's screen axes.
struct TVisibleRange {
    int32_t HorzMin = 0;
    int32_t VertMin = 0;
    int32_t HorzMax = 0;
    int32_t VertMax = 0;
};

// A list of wires with a bounding box.
class TCustomWireList {
public:
    size_t Count() const { return Items_.size(); }
    TWire* operator[](size_t i) const { return Items_[i]; }
    const std::vector<TWire*>& Items() const { return Items_; }
    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }

    Vec3 BoxMax;
    Vec3 BoxMin;
    bool BoxSkipIsolators = false;
    // The box takes in the wires of the scene too (a picture of the whole scene).
    bool BoxIncludesScene = false;

    // Box of the own wires (isolators left out with BoxSkipIsolators); the origin when
    // no wire counts.
    void ComputeBox();

protected:
    std::vector<TWire*> Items_;
};

// The ordered selection: entry 0 is the current wire. Changed only through TWireList.
class TWireSelection {
public:
    size_t Count() const { return Rev_.size(); }
    bool Empty() const { return Rev_.empty(); }
    TWire* Current() const { return Rev_.empty() ? nullptr : Rev_.back(); }
    TWire* operator[](size_t i) const { return Rev_[Rev_.size() - 1 - i]; }
    // Iterates in selection order, current wire first.
    auto begin() const { return Rev_.rbegin(); }
    auto end() const { return Rev_.rend(); }
    std::vector<TWire*> ToVector() const { return {Rev_.rbegin(), Rev_.rend()}; }

private:
    friend class TWireList;
    std::vector<TWire*> Rev_; // stored back to front, so adding a current wire is cheap
};

class TWireList : public TCustomWireList {
public:
    static constexpr double SpeedOfLight = 299.792458;
    static constexpr double InitialDefaultRadius = 0.0008;

    TWireList();
    explicit TWireList(const TRectI& paintRect);
    ~TWireList();
    TWireList(const TWireList&) = delete;
    TWireList& operator=(const TWireList&) = delete;

    // ---- wires ------------------------------------------------------------------------
    // An empty wire (both ends at the origin), appended.
    TWire* NewWire(int32_t ownerTag = 0);
    // A wire with the given ends stored as they are, without rounding or refusal (a file's
    // or a snapshot's wire); radius DefaultRadius, appended.
    TWire* NewWireAssigned(const Vec3& p1, const Vec3& p2, int32_t ownerTag = 0);
    // Makes room for n more wires (a file about to be read), so the list and its end
    // index grow once.
    void ReserveWires(size_t n);
    // A wire from six coordinates, its ends set with rounding (the set may be refused,
    // leaving the ends at the origin).
    TWire* NewWire(double x1, double y1, double z1, double x2, double y2, double z2);
    // A wire between two points, rounded; nullptr (nothing added) when the list already
    // holds a wire with these ends or the ends coincide. A radius below -1 means
    // DefaultRadius.
    TWire* NewWire(const Vec3& p1, const Vec3& p2, double radius, int32_t ownerTag = 0);
    // A copy of a wire record: ends, radius and segmentation; nullptr as above.
    TWire* NewWireCopy(const TWireRecord& record, int32_t ownerTag = 0);
    // Destroying a wire frees its sources and loads and removes it from the selection,
    // the drag list and its element.
    void DestroyWire(TWire* w);
    void DestroyWires(const std::vector<TWire*>& wires);
    // Frees every wire with the given owner tag.
    void RemoveWiresByTag(int32_t tag);
    // Gives every wire of one foreign tag another foreign tag.
    void RetagForeign(int32_t from, int32_t to);

    size_t IndexOf(const TWire* w) const { return w->Index_; }
    // Number of own wires; they occupy positions 0 .. OwnCount() - 1.
    size_t OwnCount() const { return OwnCount_; }
    size_t CountByTag(int32_t tag) const;
    // The first wire other than `ignore` whose ends equal s and e in either order.
    TWire* FindWireByEnds(const Vec3& s, const Vec3& e, const TWire* ignore = nullptr) const;
    // Wires with an end exactly at p, in list order.
    std::vector<TWire*> WiresAt(const Vec3& p) const;
    // Gives back the memory of the table that finds wires by their ends (a model just
    // read: a million wires spare 16 MB until the first edit, and a reading tool all the
    // time). The next lookup, new wire or move makes it again, in one pass over the wires.
    void ReleaseEndTable() { Ends_.ReleaseTable(); }
    // Puts the own wires into the given order (a permutation of them).
    void ReorderOwnWires(const std::vector<TWire*>& order);

    // ---- sources and loads --------------------------------------------------------------
    std::vector<std::unique_ptr<TWObject>> Sources;
    std::vector<std::unique_ptr<TWObject>> Loads;

    // Creates a source (kind 0) or load from a line of the file's notation
    // ("w3c, 0.0, 1.0"); only when the text begins with "w". When the wire number is not
    // 1 .. OwnCount(), nothing is created and *missingWire gets the number.
    TWObject* NewObjectFromText(uint8_t kind, std::string_view text, int32_t* missingWire = nullptr);
    // Re-reads an object's wire and position (and values, for a full line) from text.
    // Returns false and leaves the object unchanged when the wire does not exist.
    bool ReadObjectText(TWObject& obj, std::string_view text, int32_t* missingWire = nullptr);
    void DestroyObject(TWObject* obj);
    // The first source sitting on w, or nullptr.
    TWObject* SourceOf(const TWire* w) const;
    bool HasLoad(const TWire* w) const;

    // ---- selection ----------------------------------------------------------------------
    TWireSelection Selection;
    // Adds an own wire: exclusive empties the selection first, otherwise the wire becomes
    // entry 0. Wires of other owners and wires already selected are left alone.
    void SelectWire(TWire* w, bool exclusive);
    void DeselectWire(TWire* w);
    void ClearSelection();
    bool IsSelected(const TWire* w) const { return w && w->Selected_; }
    // Selects the wires whose Round4 length equals Round4(x); each match goes to the front.
    void SelectByLength(double x);
    // Selects the wires whose radius equals x exactly (0 finds the isolators).
    void SelectByRadius(double x);
    // The own wire after the current one (wrapping) becomes the only selected wire.
    void SelectNextWire();

    // ---- model settings -----------------------------------------------------------------
    std::string FileName;
    std::string ModelName;
    std::string Comment; // line breaks are CR LF
    // The lines of the file last written (a read keeps none: the text would double the
    // model's memory) and the number of lines of the file last read or written.
    std::vector<std::string> FileLines;
    size_t FileLineCount = 0;
    std::vector<std::string> LinkedList;
    bool StoreLinkedList = false;
    std::vector<std::string> TaperLines;
    std::string SegmentationLine;
    int32_t GroundType = 0;
    double BaseHeight = 0;
    int32_t Material = 0;
    double StdZR = 50.0;
    double StdZjX = 0.0;
    int32_t FBAzimuth = 120;
    int32_t FBElevation = 60;
    double Frequency = 14.06;
    double Wavelength = SpeedOfLight / 14.06;
    double DefaultRadius = InitialDefaultRadius;
    double LoadedFrequency = 0;
    double LoadedHeight = 0;
    int32_t LoadedGround = 0;
    double LoadedStdZR = 0;
    bool Modified = false;
    bool WriteLog = false;
    // Encoding of the model's file, used when it is written back; new models get
    // Windows-1251. EncodingBom: the UTF-8 file began with a byte order mark.
    TTextEncoding Encoding = TTextEncoding::Cp1251;
    bool EncodingBom = false;
    int32_t HiddenCount = 0;

    // Accepts 0.1 < f < 10000 MHz and derives the wavelength; other values are ignored.
    void SetFrequency(double f);
    // Frees wires (scene wires too), sources, loads, elements, combined-wire lines, linked
    // files and the selection; the comment too unless keepComment.
    void Clear(bool keepComment);
    // "Новая антенна": clears everything and the history and sets the new-model defaults;
    // frequency, ground, height, material and jX stay.
    void ResetToNewModel();

    // ---- elements and filters -----------------------------------------------------------
    std::vector<std::unique_ptr<TElement>> Elements;
    // The connection points, side by side in blocks; a point keeps its address while the
    // elements stand.
    std::deque<TCPoint> Junctions;
    bool KeepConnections = false;
    uint8_t FilterMode = 0; // 0 none, 1 plane, 2 element
    int32_t FilterElement = 0;

    void RebuildElements();
    void ApplyFilter();
    // Half the X-Y diagonal of the last computed bounding box.
    double TurningRadius() const;

    // ---- undo history -------------------------------------------------------------------
    TUndoHistory History;
    int32_t HistoryPos = 0;
    int32_t HistoryCount() const { return History.Count(); }
    // Oldest steps the bounded history has dropped; the window reports and resets it.
    size_t DroppedUndoSteps = 0;

    // The commit of every edit: marks the model modified, rebuilds the elements, refits
    // the view when asked, and appends a snapshot of the own wires, sources and loads.
    void StoreUndoStep(bool autoScale);
    // Replaces own wires, sources and loads with snapshot n (1-based).
    bool RestoreUndoStep(int32_t n);
    void ClearHistory();
    // One step back or forward; false at either end. Rebuilds the elements.
    bool Undo();
    bool Redo();

    // ---- view state ---------------------------------------------------------------------
    uint8_t ViewKind = 0; // 0 3-D, 1 X-Y, 2 X-Z, 3 Y-Z
    bool Is3DView = true;
    double ViewElevation = 110;
    double ViewAzimuth = -10;
    double ViewScale = 10; // zoom percent / 10
    double RememberedScale = 10;
    Vec3 RememberedCentre;
    Vec3 ViewCenter;
    TRectI ViewRect;
    ScreenPoint CenterPixel;
    int32_t GridStep = 1000; // 0.1 mm units
    TVisibleRange VisibleRange;
    TWire AxisWires[3];
    // Pixels per metre at scale 1; set by the window from the paint area's size.
    double BaseFactor = 12;
    bool AutoScale = false;

    // Display options.
    bool ShowDirection = false;
    bool ThickLines = false;
    bool ShowTubes = false;
    bool ShowGrid = true;
    uint8_t GridMode = 2; // 1 dots, 2 lines
    bool ShowDimensions = false;
    bool DimensionsSelectedOnly = false;
    int32_t DimFontSize = 8;
    bool ShowLoadValues = false;

    double PixelsToMetres(int32_t n) const;
    int32_t MetresToPixels(double m) const;
    // Clamps to 0.1 .. 10000, derives GridStep and updates the visible range.
    void SetViewScale(double x);
    void SetViewRect(const TRectI& r);
    void UpdateVisibleRange();
    // Fits the scale to the bounding box (stored unclamped) and rebuilds the axis wires.
    void FitScale();

    // ---- mouse drag and paste -----------------------------------------------------------
    std::vector<TWire*> DragList;

    // While a watch runs, the first change of an own wire's ends records the wire with its
    // ends before that change, so a drag learns what it moved without a copy of the model.
    // Adding or destroying a wire breaks the watch: its record is then no guide to the list.
    struct TEndChange {
        TWire* Wire; // not to be followed once the watch is broken
        uint32_t Id;
        Vec3 P1, P2;
    };
    // Drag origins are of use only while a drag runs.
    void ForgetDragOrigins() { DragOrigins_.clear(); }
    void BeginEndWatch();
    void EndEndWatch();
    bool EndWatchIntact() const { return Watching_ && !WatchBroken_; }
    // In the order of the first changes.
    const std::vector<TEndChange>& EndChanges() const { return EndChanges_; }
    Vec3 PasteOffset;
    Vec3 PasteShift;

private:
    friend class TWire;

    TWire* Adopt(TWire* w, int32_t ownerTag);
    void IndexInsert(TWire* w) {
        ElementsStale_ = true;
        NeedEndTable();
        Ends_.Insert(w);
    }
    void IndexRemove(TWire* w) {
        ElementsStale_ = true;
        NeedEndTable();
        Ends_.Remove(w);
    }
    // The end index's table, made again if it was given back.
    void NeedEndTable() const {
        if (Ends_.TableReleased()) Ends_.RestoreTable(Items_);
    }
    // The few wires with a drag origin or a kept radius have it here rather than in every
    // wire.
    Vec3 DragOriginOf(const TWire* w) const;
    void SetDragOriginOf(const TWire* w, const Vec3& p);
    double SavedRadiusOf(const TWire* w) const;
    void SetSavedRadiusOf(const TWire* w, double r);
    void NoteEndsChanging(TWire* w) {
        if (Watching_) RecordEndChange(w);
    }
    void RecordEndChange(TWire* w);
    void Renumber(size_t from);
    void ClearElements();
    // The body of RebuildElements, which leaves the junction fields in use as scratch if it
    // does not finish.
    void CollectElements();
    void FreeAllWires();
    void DestroyDoomed();
    void InitView(const TRectI& paintRect);

    size_t OwnCount_ = 0;
    TWirePool Pool_{this};
    // Mutable: a lookup may have to make the released table again.
    mutable TEndIndex Ends_{Pool_};
    std::unordered_map<const TWire*, Vec3> DragOrigins_;
    std::unordered_map<const TWire*, double> SavedRadii_;
    bool Watching_ = false;
    bool WatchBroken_ = false;
    std::vector<TEndChange> EndChanges_;
    std::vector<uint64_t> EndChangeSeen_; // a bit per pool number
    // Some wire was added, removed or moved since the elements were last rebuilt.
    bool ElementsStale_ = true;
    // The wires of all elements, element after element (see TElementWires); sized once
    // per rebuild, so the elements' stretches stay where they are.
    std::vector<uint32_t> ElementIds_;
};

} // namespace velomast
