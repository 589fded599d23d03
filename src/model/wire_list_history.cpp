// Committing edits as snapshots, and undo and redo.
#include "wire_list.h"

namespace velomast {

void TWireList::StoreUndoStep(bool autoScale) {
    Modified = true;
    RebuildElements();
    if (autoScale) FitScale();
    // A model without wires is a state too: deleting every wire must be undoable.

    TSnapshot s;
    s.Wires.reserve(OwnCount_);
    for (size_t i = 0; i < OwnCount_; ++i) {
        const TWire* w = Items_[i];
        s.Wires.push_back({w->P1_, w->P2_, w->Radius, w->Segments});
    }
    s.Objects.reserve(Sources.size() + Loads.size());
    for (const auto* list : {&Sources, &Loads}) {
        for (const auto& o : *list) {
            TObjectRecord r;
            r.Kind = o->Kind;
            const bool inModel = o->Wire && o->Wire->OwnerList_ == this && o->Wire->OwnerTag_ == 0;
            r.WirePosition = inModel ? static_cast<int32_t>(o->Wire->Index_) + 1 : 0;
            r.Position = o->Position;
            r.SegNo = o->SegNo;
            r.Values = o->Values;
            s.Objects.push_back(r);
        }
    }
    History.Append(s, TaperLines);
    HistoryPos = History.Count();
}

bool TWireList::RestoreUndoStep(int32_t n) {
    if (History.Empty()) return false;
    TSnapshot s;
    if (!History.Read(n, s)) return false;

    Sources.clear();
    Loads.clear();
    ClearSelection();
    ClearElements();
    std::vector<TWire*> own(Items_.begin(), Items_.begin() + static_cast<std::ptrdiff_t>(OwnCount_));
    DestroyWires(own);

    // The snapshot is the model as it was: its wires come back exactly, including any
    // that a file brought in with coinciding or repeated ends, so that the positions the
    // sources and loads refer to stay right.
    for (const TWireRecord& r : s.Wires) {
        TWire* w = NewWire(0);
        w->AssignEnds(r.P1, r.P2, true);
        w->Radius = r.Radius < -1 ? DefaultRadius : r.Radius;
        w->Segments = r.Segments;
    }
    for (const TObjectRecord& r : s.Objects) {
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
    RebuildElements();
    return restored;
}

bool TWireList::Redo() {
    bool restored = false;
    if (!History.Empty() && History.Count() > 0 && HistoryPos < History.Count()) {
        ++HistoryPos;
        restored = RestoreUndoStep(HistoryPos);
    }
    RebuildElements();
    return restored;
}

} // namespace velomast
