#include "view/view_picking.h"

#include "view/view_camera.h"

#include <algorithm>
#include <cmath>

namespace velomast {

namespace {

int64_t AbsDiff(int32_t a, int32_t b) {
    const int64_t d = static_cast<int64_t>(a) - b;
    return d < 0 ? -d : d;
}

void Grab(TWireList& m, TWire* w, uint8_t end) {
    w->DragEnd = end;
    w->SetDragOrigin(end == 1 ? w->P1() : w->P2());
    m.DragList.push_back(w);
}

} // namespace

bool IsEndHit(ScreenPoint end, ScreenPoint cursor) {
    return AbsDiff(end.X, cursor.X) < 3 && AbsDiff(end.Y, cursor.Y) < 3;
}

void ClearDragList(TWireList& m) {
    for (TWire* w : m.DragList) w->DragEnd = 0;
    m.DragList.clear();
    m.ForgetDragOrigins();
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

bool THoverIndex::TKey::operator==(const TKey& o) const {
    return Rect.Left == o.Rect.Left && Rect.Top == o.Rect.Top && Rect.Right == o.Rect.Right &&
           Rect.Bottom == o.Rect.Bottom && Scale == o.Scale && Factor == o.Factor && Elevation == o.Elevation &&
           Azimuth == o.Azimuth && VecEqual(Centre, o.Centre) && CentrePixel == o.CentrePixel && Kind == o.Kind &&
           Count == o.Count && OwnCount == o.OwnCount;
}

THoverIndex::TKey THoverIndex::KeyOf(const TWireList& m) {
    return {m.ViewRect, m.ViewScale,    m.BaseFactor, m.ViewElevation, m.ViewAzimuth,
            m.ViewCenter, m.CenterPixel, m.ViewKind,   m.Count(),       m.OwnCount()};
}

void THoverIndex::Build(const TWireList& m) {
    Key_ = KeyOf(m);
    Valid_ = true;
    const TRectI& r = m.ViewRect;
    const int64_t width = std::max<int64_t>(0, int64_t{r.Right} - r.Left);
    const int64_t height = std::max<int64_t>(0, int64_t{r.Bottom} - r.Top);
    Cols_ = static_cast<int32_t>(std::min<int64_t>((width + CellSize - 1) / CellSize, 4096));
    Rows_ = static_cast<int32_t>(std::min<int64_t>((height + CellSize - 1) / CellSize, 4096));
    const size_t cells = static_cast<size_t>(Cols_) * static_cast<size_t>(Rows_);
    Start_.assign(cells + 1, 0);
    Wires_.clear();
    if (cells == 0) return;

    // A hit needs the cursor within 3 pixels of the line or within 2 of an end: every
    // pixel of the zone lies within Reach of the segment along each axis.
    constexpr double Reach = WireHitRadius + 1;
    const TViewProjection proj(m);
    const double left = r.Left, top = r.Top;
    // Visits the cells that the zone of the segment a-b can reach.
    auto visit = [&](ScreenPoint a, ScreenPoint b, auto&& onCell) {
        const double ax = a.X - left, ay = a.Y - top, bx = b.X - left, by = b.Y - top;
        const double ylo = std::min(ay, by) - Reach, yhi = std::max(ay, by) + Reach;
        const double xlo = std::min(ax, bx) - Reach, xhi = std::max(ax, bx) + Reach;
        if (yhi < 0 || xhi < 0 || ylo >= double{CellSize} * Rows_ || xlo >= double{CellSize} * Cols_) return;
        const int32_t r0 = static_cast<int32_t>(std::max(0.0, std::floor(ylo / CellSize)));
        const int32_t r1 = static_cast<int32_t>(std::min<double>(Rows_ - 1, std::floor(yhi / CellSize)));
        const double dy = by - ay;
        for (int32_t row = r0; row <= r1; ++row) {
            // The part of the segment within the row's band widened by Reach.
            const double bandLo = double{CellSize} * row - Reach, bandHi = double{CellSize} * (row + 1) + Reach;
            double x0 = std::min(ax, bx), x1 = std::max(ax, bx);
            if (dy != 0) {
                double t0 = (bandLo - ay) / dy, t1 = (bandHi - ay) / dy;
                if (t0 > t1) std::swap(t0, t1);
                t0 = std::max(t0, 0.0);
                t1 = std::min(t1, 1.0);
                if (t0 > t1) continue;
                const double xa = ax + (bx - ax) * t0, xb = ax + (bx - ax) * t1;
                x0 = std::min(xa, xb);
                x1 = std::max(xa, xb);
            }
            x0 -= Reach;
            x1 += Reach;
            if (x1 < 0 || x0 >= double{CellSize} * Cols_) continue;
            const int32_t c0 = static_cast<int32_t>(std::max(0.0, std::floor(x0 / CellSize)));
            const int32_t c1 = static_cast<int32_t>(std::min<double>(Cols_ - 1, std::floor(x1 / CellSize)));
            for (int32_t col = c0; col <= c1; ++col) onCell(static_cast<size_t>(row) * Cols_ + col);
        }
    };
    std::vector<std::pair<ScreenPoint, ScreenPoint>> ends(m.OwnCount());
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        const TWire* w = m[i];
        if (!w->Visible) continue;
        ends[i] = {proj.Project(w->P1()), proj.Project(w->P2())};
        visit(ends[i].first, ends[i].second, [&](size_t cell) { ++Start_[cell + 1]; });
    }
    for (size_t c = 0; c < cells; ++c) Start_[c + 1] += Start_[c];
    Wires_.resize(Start_[cells]);
    std::vector<uint32_t> fill(Start_.begin(), Start_.end() - 1);
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        if (!m[i]->Visible) continue;
        visit(ends[i].first, ends[i].second,
              [&](size_t cell) { Wires_[fill[cell]++] = static_cast<uint32_t>(i); });
    }
}

TWire* THoverIndex::Find(const TWireList& m, ScreenPoint cursor) {
    const TRectI& r = m.ViewRect;
    if (!Valid_ || !(Key_ == KeyOf(m))) Build(m);
    const int64_t x = int64_t{cursor.X} - r.Left, y = int64_t{cursor.Y} - r.Top;
    if (x < 0 || y < 0 || x >= int64_t{Cols_} * CellSize || y >= int64_t{Rows_} * CellSize ||
        m.OwnCount() > UINT32_MAX)
        return FindWireUnderCursor(m, cursor);
    const size_t cell = static_cast<size_t>(y / CellSize) * Cols_ + static_cast<size_t>(x / CellSize);
    const TViewProjection proj(m);
    for (uint32_t k = Start_[cell]; k < Start_[cell + 1]; ++k) {
        const size_t i = Wires_[k];
        if (i >= m.OwnCount()) break;
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
