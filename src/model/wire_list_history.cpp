// Committing edits as snapshots, and undo and redo.
#include "wire_list.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velomast {

void TWireList::StoreUndoStep(bool autoScale) {
    Modified = true;
    RebuildElements();
    if (autoScale) FitScale();
    // A model without wires is a state too: deleting every wire must be undoable.

    // Written straight into the history: no copy of the model's wires on the way.
    History.BeginAppend(OwnCount_, Sources.size() + Loads.size());
    for (size_t i = 0; i < OwnCount_; ++i) {
        const TWire* w = Items_[i];
        History.PutWire({w->P1_, w->P2_, w->Radius, w->Segments});
    }
    for (const auto* list : {&Sources, &Loads}) {
        for (const auto& o : *list) {
            TObjectRecord r;
            r.Kind = o->Kind;
            const bool inModel = o->Wire && o->Wire->OwnerList() == this && o->Wire->OwnerTag_ == 0;
            r.WirePosition = inModel ? static_cast<int32_t>(o->Wire->Index_) + 1 : 0;
            r.Position = o->Position;
            r.SegNo = o->SegNo;
            r.Values = o->Values;
            History.PutObject(r);
        }
    }
    DroppedUndoSteps += History.EndAppend(TaperLines);
    HistoryPos = History.Count();
}

namespace {
bool SameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof(Vec3)) == 0; }
// A coordinate too large to round (a file may bring one) stays as it is, as the reader
// keeps it, rather than coming back infinite.
double RoundedOrKept(double x) {
    const double y = Round4(x);
    return std::isfinite(y) ? y : x;
}
Vec3 Rounded(const Vec3& v) { return {RoundedOrKept(v.X), RoundedOrKept(v.Y), RoundedOrKept(v.Z)}; }
} // namespace

bool TWireList::RestoreUndoStep(int32_t n) {
    if (History.Empty()) return false;
    TSnapshotView s;
    if (!History.View(n, s)) return false;

    Sources.clear();
    Loads.clear();
    ClearSelection();
    std::erase_if(DragList, [](const TWire* w) { return w->OwnerTag_ == 0; });
    // Restored wires keep no radius from an isolator and are grabbed by no drag.
    std::erase_if(SavedRadii_, [](const auto& e) { return e.first->OwnerTag_ == 0; });
    std::erase_if(DragOrigins_, [](const auto& e) { return e.first->OwnerTag_ == 0; });

    // The snapshot is the model as it was: its wires come back exactly, including any
    // that a file brought in with coinciding or repeated ends, so that the positions the
    // sources and loads refer to stay right. Wires are restored in place; only those
    // that differ are touched, and the elements are rebuilt only when some wire did.
    bool changed = false;
    const size_t keep = std::min(OwnCount_, s.Wires);
    if (OwnCount_ > keep) {
        ClearElements();
        changed = true;
        std::vector<TWire*> extra(Items_.begin() + static_cast<std::ptrdiff_t>(keep),
                                  Items_.begin() + static_cast<std::ptrdiff_t>(OwnCount_));
        DestroyWires(extra);
    }
    for (size_t i = 0; i < s.Wires; ++i) {
        const TWireRecord r = s.Wire(i);
        const double radius = r.Radius < -1 ? DefaultRadius : r.Radius;
        TWire* w = i < keep ? Items_[i] : NewWire(0);
        const Vec3 p1 = Rounded(r.P1);
        const Vec3 p2 = Rounded(r.P2);
        if (i >= keep || !SameBits(w->P1_, p1) || !SameBits(w->P2_, p2) || w->Radius != radius) {
            if (!changed) ClearElements();
            changed = true;
            if (!SameBits(w->P1_, p1) || !SameBits(w->P2_, p2)) w->AssignEnds(p1, p2, false);
        }
        w->Radius = radius;
        w->Segments = r.Segments;
        w->Visible = true;
        w->DragEnd = 0;
    }
    ElementsStale_ = ElementsStale_ || changed;
    for (size_t k = 0; k < s.Objects; ++k) {
        const TObjectRecord r = s.Object(k);
        auto obj = std::make_unique<TWObject>();
        obj->Kind = r.Kind == 0 ? KindSource : KindLoad;
        obj->OwnerList = this;
        if (r.WirePosition >= 1 && static_cast<size_t>(r.WirePosition) <= OwnCount_)
            obj->Wire = Items_[static_cast<size_t>(r.WirePosition) - 1];
        obj->Position = r.Position;
        obj->SegNo = r.SegNo;
        obj->Values = r.Values;
        (obj->Kind == KindSource ? Sources : Loads).push_back(std::move(obj));
    }
    // The combined wires of the snapshot come back with their definitions.
    TaperLines = History.TaperLines(n);
    Modified = true;
    return true;
}

void TWireList::ClearHistory() {
    History.Clear();
    HistoryPos = 0;
}

bool TWireList::Undo() {
    bool restored = false;
    if (!History.Empty() && History.Count() > 0 && HistoryPos > 1) {
        --HistoryPos;
        restored = RestoreUndoStep(HistoryPos);
    }
    // Nothing to undo (or redo) costs nothing; a step that changed no wire keeps the
    // elements it has.
    if (restored && ElementsStale_) RebuildElements();
    return restored;
}

bool TWireList::Redo() {
    bool restored = false;
    if (!History.Empty() && History.Count() > 0 && HistoryPos < History.Count()) {
        ++HistoryPos;
        restored = RestoreUndoStep(HistoryPos);
    }
    // Nothing to undo (or redo) costs nothing; a step that changed no wire keeps the
    // elements it has.
    if (restored && ElementsStale_) RebuildElements();
    return restored;
}

} // namespace velomast
