#include "tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>
#include <map>

namespace velomast {

namespace {

const QColor Ink(43, 58, 74);
const QColor Accent(30, 111, 217);
const QColor Warm(210, 60, 60);
const QColor Leaf(46, 139, 61);
const QColor Paper(255, 255, 255);
const QColor Shade(220, 228, 238);

using Painter = std::function<void(QPainter&)>;

QPen InkPen(const QColor& c = Ink, double w = 1.6) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Page(QPainter& p) {
    QPainterPath path;
    path.moveTo(5, 3);
    path.lineTo(14, 3);
    path.lineTo(19, 8);
    path.lineTo(19, 21);
    path.lineTo(5, 21);
    path.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(Paper);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({{14, 3}, {14, 8}, {19, 8}}));
}

void Magnifier(QPainter& p, QPointF c, double r) {
    p.setPen(InkPen(Ink, 1.8));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(c, r, r);
    const double k = r / std::sqrt(2.0);
    p.drawLine(QPointF(c.x() + k, c.y() + k), QPointF(c.x() + k + 5, c.y() + k + 5));
}

void Arrow(QPainter& p, bool back) {
    p.setPen(InkPen(Accent, 2.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    if (back) {
        path.moveTo(19, 17);
        path.cubicTo(19, 9, 13, 7, 6, 9);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({{9, 5}, {5, 9}, {9, 13}}));
    } else {
        path.moveTo(5, 17);
        path.cubicTo(5, 9, 11, 7, 18, 9);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({{15, 5}, {19, 9}, {15, 13}}));
    }
}

void Target(QPainter& p, const QColor& c) {
    p.setPen(InkPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
    p.drawLine(QPointF(12, 2), QPointF(12, 7));
    p.drawLine(QPointF(12, 17), QPointF(12, 22));
    p.drawLine(QPointF(2, 12), QPointF(7, 12));
    p.drawLine(QPointF(17, 12), QPointF(22, 12));
}

void Funnel(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(Shade);
    p.drawPolygon(QPolygonF({{3, 4}, {21, 4}, {14, 12}, {14, 19}, {10, 21}, {10, 12}}));
}

const std::map<QString, Painter>& Painters() {
    static const std::map<QString, Painter> painters = {
        {"sbNew",
         [](QPainter& p) {
             Page(p);
             p.setPen(InkPen(Leaf, 2.0));
             p.drawLine(QPointF(12, 11), QPointF(12, 18));
             p.drawLine(QPointF(8.5, 14.5), QPointF(15.5, 14.5));
         }},
        {"sbFileOpen",
         [](QPainter& p) {
             p.setPen(InkPen());
             p.setBrush(QColor(244, 206, 120));
             p.drawPolygon(QPolygonF({{2, 6}, {9, 6}, {11, 8}, {20, 8}, {20, 19}, {2, 19}}));
             p.setBrush(QColor(250, 224, 160));
             p.drawPolygon(QPolygonF({{2, 19}, {5, 11}, {23, 11}, {20, 19}}));
         }},
        {"sbSave",
         [](QPainter& p) {
             p.setPen(InkPen());
             p.setBrush(Accent.lighter(170));
             p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
             p.setBrush(Paper);
             p.drawRect(QRectF(7, 3.5, 10, 6));
             p.setBrush(Ink);
             p.drawRect(QRectF(7, 13, 10, 7.5));
         }},
        {"sbPreview",
         [](QPainter& p) {
             Page(p);
             Magnifier(p, {11, 13}, 4.5);
         }},
        {"sbPrint",
         [](QPainter& p) {
             p.setPen(InkPen());
             p.setBrush(Paper);
             p.drawRect(QRectF(7, 3, 10, 6));
             p.setBrush(Shade);
             p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
             p.setBrush(Paper);
             p.drawRect(QRectF(7, 14, 10, 7));
             p.setPen(InkPen(Leaf, 1.4));
             p.drawPoint(QPointF(18, 12));
         }},
        {"sbUndo", [](QPainter& p) { Arrow(p, true); }},
        {"sbRedo", [](QPainter& p) { Arrow(p, false); }},
        {"sbEditMode",
         [](QPainter& p) {
             p.setPen(InkPen());
             p.setBrush(Paper);
             p.drawPolygon(QPolygonF({{6, 3}, {6, 19}, {10, 15}, {13, 21}, {15.5, 20}, {12.5, 14}, {18, 14}}));
         }},
        {"sbRuler",
         [](QPainter& p) {
             p.save();
             p.translate(12, 12);
             p.rotate(-35);
             p.setPen(InkPen());
             p.setBrush(QColor(250, 230, 150));
             p.drawRect(QRectF(-10, -3.5, 20, 7));
             for (int i = -7; i <= 7; i += 3) p.drawLine(QPointF(i, -3.5), QPointF(i, i % 2 ? -0.5 : 0.5));
             p.restore();
         }},
        {"sbInsertMode",
         [](QPainter& p) {
             p.setPen(InkPen(Ink, 2.2));
             p.drawLine(QPointF(4, 19), QPointF(15, 8));
             p.setBrush(Accent);
             p.setPen(InkPen(Accent, 1.0));
             p.drawEllipse(QPointF(4, 19), 2, 2);
             p.drawEllipse(QPointF(15, 8), 2, 2);
             p.setPen(InkPen(Leaf, 2.0));
             p.drawLine(QPointF(19, 2), QPointF(19, 9));
             p.drawLine(QPointF(15.5, 5.5), QPointF(22.5, 5.5));
         }},
        {"sbRectMode",
         [](QPainter& p) {
             p.setPen(InkPen(Ink, 2.0));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(4, 6, 16, 12));
             p.setPen(InkPen(Accent, 1.0));
             p.setBrush(Accent);
             for (QPointF c : {QPointF(4, 6), QPointF(20, 6), QPointF(20, 18), QPointF(4, 18)}) p.drawEllipse(c, 1.8, 1.8);
         }},
        {"sbPolygon",
         [](QPainter& p) {
             QPolygonF hex;
             for (int i = 0; i < 6; ++i) {
                 const double a = M_PI / 3 * i + M_PI / 6;
                 hex << QPointF(12 + 8.5 * std::cos(a), 12 + 8.5 * std::sin(a));
             }
             p.setPen(InkPen(Ink, 2.0));
             p.setBrush(Qt::NoBrush);
             p.drawPolygon(hex);
             p.setPen(InkPen(Accent, 1.0));
             p.setBrush(Accent);
             for (const QPointF& c : hex) p.drawEllipse(c, 1.6, 1.6);
         }},
        {"sbScaleSelect",
         [](QPainter& p) {
             p.setPen(QPen(Accent, 1.4, Qt::DashLine));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(3, 3, 13, 11));
             Magnifier(p, {13, 13}, 4.5);
         }},
        {"sbScaleBySize",
         [](QPainter& p) {
             p.setPen(InkPen(Accent, 2.0));
             for (int sx : {-1, 1})
                 for (int sy : {-1, 1}) {
                     const QPointF c(12 + sx * 8, 12 + sy * 8);
                     p.drawLine(c, QPointF(c.x() - sx * 5, c.y()));
                     p.drawLine(c, QPointF(c.x(), c.y() - sy * 5));
                 }
             p.setPen(InkPen(Ink, 2.2));
             p.drawLine(QPointF(8, 16), QPointF(16, 8));
         }},
        {"sbScaleUndo",
         [](QPainter& p) {
             Magnifier(p, {10, 10}, 6);
             p.setPen(InkPen(Accent, 1.8));
             p.drawLine(QPointF(7, 10), QPointF(13, 10));
             p.drawPolyline(QPolygonF({{9.5, 7.5}, {7, 10}, {9.5, 12.5}}));
         }},
        {"sbCenterZero",
         [](QPainter& p) {
             p.setPen(InkPen(Accent, 1.8));
             p.drawLine(QPointF(12, 21), QPointF(12, 3));
             p.drawLine(QPointF(3, 12), QPointF(21, 12));
             p.drawPolyline(QPolygonF({{9.5, 5.5}, {12, 3}, {14.5, 5.5}}));
             p.drawPolyline(QPolygonF({{18.5, 9.5}, {21, 12}, {18.5, 14.5}}));
             p.setPen(InkPen(Warm, 1.0));
             p.setBrush(Warm);
             p.drawEllipse(QPointF(12, 12), 2.2, 2.2);
         }},
        {"sbCenterOnAntenna",
         [](QPainter& p) {
             Target(p, Ink);
             p.setPen(InkPen(Accent, 2.0));
             p.drawLine(QPointF(12, 8), QPointF(12, 16));
             p.drawLine(QPointF(9, 10), QPointF(15, 10));
         }},
        {"sbCenterOnSelected",
         [](QPainter& p) {
             Target(p, Ink);
             p.setPen(InkPen(Warm, 2.2));
             p.drawLine(QPointF(9, 15), QPointF(15, 9));
         }},
        {"sbFilterElement",
         [](QPainter& p) {
             Funnel(p);
             p.setPen(InkPen(Warm, 2.0));
             p.drawPolyline(QPolygonF({{16, 22}, {19, 16}, {22, 22}}));
         }},
        {"sbFilterSurface",
         [](QPainter& p) {
             Funnel(p);
             p.setPen(InkPen(Accent, 1.4));
             p.setBrush(Accent.lighter(160));
             p.drawPolygon(QPolygonF({{14, 21}, {17, 16}, {23, 16}, {20, 21}}));
         }},
        {"sbMmana",
         [](QPainter& p) {
             Page(p);
             p.setPen(InkPen(Accent, 2.0));
             p.drawLine(QPointF(9, 16), QPointF(16, 9));
             p.drawPolyline(QPolygonF({{11, 9}, {16, 9}, {16, 14}}));
         }},
    };
    return painters;
}

QPixmap Render(const Painter& paint, int scale) {
    QPixmap pm(24 * scale, 24 * scale);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    paint(p);
    p.end();
    pm.setDevicePixelRatio(scale);
    return pm;
}

} // namespace

QIcon ToolIcon(const QString& buttonName) {
    const auto& painters = Painters();
    const auto it = painters.find(buttonName);
    if (it == painters.end()) return {};
    QIcon icon;
    icon.addPixmap(Render(it->second, 1));
    icon.addPixmap(Render(it->second, 2));
    return icon;
}

} // namespace velomast
