#include "view/view_picking.h"

#include "view/view_camera.h"

#include <algorithm>

namespace velomast {

namespace {

int64_t AbsDiff(int32_t a, int32_t b) {
    const int64_t d = static_cast<int64_t>(a) - b;
    return d < 0 ? -d : d;
}

void Grab(TWireList& m, TWire* w, uint8_t end) {
    w->DragEnd = end;
    w->DragOrigin = end == 1 ? w->P1() : w->P2();
    m.DragList.push_back(w);
}

} // namespace

bool IsEndHit(ScreenPoint end, ScreenPoint cursor) {
    return AbsDiff(end.X, cursor.X) < 3 && AbsDiff(end.Y, cursor.Y) < 3;
}

void ClearDragList(TWireList& m) {
    for (TWire* w : m.DragList) w->DragEnd = 0;
    m.DragList.clear();
}

bool PickWireAt(TWireList& m, ScreenPoint cursor) {
    ClearDragList(m);
    const bool flat = m.ViewKind != 0;
    const TViewProjection proj(m);
    TWire* grabbed = nullptr;
    uint8_t grabbedEnd = 0;
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        TWire* w = m[i];
        if (!w->Visible) continue;
        const ScreenPoint s = proj.Project(w->P1());
        const ScreenPoint e = proj.Project(w->P2());
        if (IsEndHit(s, cursor))
            grabbedEnd = 1;
        else if (IsEndHit(e, cursor))
            grabbedEnd = 2;
        if (grabbedEnd != 0) {
            grabbed = w;
            if (flat) Grab(m, w, grabbedEnd);
            m.SelectWire(w, false);
            break;
        }
        if (w->DragEnd == 0 && NearSegment(s, e, cursor, WireHitRadius)) {
            if (w->IsSelected())
                m.DeselectWire(w);
            else
                m.SelectWire(w, false);
        }
    }
    if (grabbed && flat) {
        // A junction is dragged as one point.
        const Vec3 point = grabbedEnd == 1 ? grabbed->P1() : grabbed->P2();
        for (TWire* w : m.WiresAt(point)) {
            if (w == grabbed || !w->IsOwn() || w->DragEnd != 0) continue;
            Grab(m, w, VecEqual(w->P1(), point) ? 1 : 2);
        }
    }
    return !m.DragList.empty();
}

TWire* FindWireUnderCursor(const TWireList& m, ScreenPoint cursor) {
    const TViewProjection proj(m);
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        TWire* w = m[i];
        if (!w->Visible) continue;
        const ScreenPoint s = proj.Project(w->P1());
        const ScreenPoint e = proj.Project(w->P2());
        if (IsEndHit(s, cursor) || IsEndHit(e, cursor) || NearSegment(s, e, cursor, WireHitRadius)) return w;
    }
    return nullptr;
}

bool FindSnapEnd(const TWireList& m, ScreenPoint cursor, Vec3& found) {
    auto onDraggedWire = [&m](const Vec3& p) {
        return std::any_of(m.DragList.begin(), m.DragList.end(),
                           [&p](const TWire* d) { return VecEqual(d->P1(), p) || VecEqual(d->P2(), p); });
    };
    auto near = [&cursor](ScreenPoint q) {
        const int64_t dx = AbsDiff(q.X, cursor.X), dy = AbsDiff(q.Y, cursor.Y);
        // Both below 10 first, so that the squares cannot overflow.
        return dx < SnapRadius && dy < SnapRadius && dx * dx + dy * dy < int64_t{SnapRadius} * SnapRadius;
    };
    const TViewProjection proj(m);
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        const TWire* w = m[i];
        if (w->DragEnd != 0 || std::find(m.DragList.begin(), m.DragList.end(), w) != m.DragList.end()) continue;
        for (const Vec3* p : {&w->P1(), &w->P2()}) {
            if (onDraggedWire(*p)) continue;
            if (near(proj.Project(*p))) {
                found = *p;
                return true;
            }
        }
    }
    return false;
}

bool SelectInArea(TWireList& m, ScreenPoint from, ScreenPoint to, bool add) {
    if (m.ViewKind == 0) return false; // a rectangle of the turned view has no model meaning
    const Vec3 m1 = UnprojectPixel(m, from);
    const Vec3 m2 = UnprojectPixel(m, to);
    const int h = m.ViewKind == 3 ? 1 : 0;
    const int v = m.ViewKind == 1 ? 1 : 2;
    auto coord = [](const Vec3& p, int axis) { return axis == 0 ? p.X : axis == 1 ? p.Y : p.Z; };
    auto inside = [&](const Vec3& p) {
        const double ph = coord(p, h), pv = coord(p, v);
        return ph > coord(m1, h) && ph < coord(m2, h) && pv > coord(m2, v) && pv < coord(m1, v);
    };
    bool any = false;
    for (TWire* w : m.Items()) {
        if (!w->Visible || !inside(w->P1()) || !inside(w->P2())) continue;
        if (!any && !add) m.ClearSelection();
        any = true;
        m.SelectWire(w, false);
    }
    return any;
}

} // namespace velomast
