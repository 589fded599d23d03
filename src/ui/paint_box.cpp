#include "paint_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace velomast {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(200, 150);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    if ((!Image_ || Image_->size() != size()) && OnNeedImage) OnNeedImage();
    QPainter p(this);
    if (Image_ && !Image_->isNull())
        p.drawImage(0, 0, *Image_);
    else
        p.fillRect(rect(), Qt::white);
    if (Mouse_) Mouse_->PaintOverlay(p);
}

void TPaintBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (OnResized) OnResized();
}

void TPaintBox::mousePressEvent(QMouseEvent* e) {
    if (Mouse_) Mouse_->Press(e);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* e) {
    if (Mouse_) Mouse_->Move(e);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* e) {
    if (Mouse_) Mouse_->Release(e);
}

void TPaintBox::wheelEvent(QWheelEvent* e) {
    if (OnWheel) {
        OnWheel(e->angleDelta().y());
        e->accept();
    } else {
        QWidget::wheelEvent(e);
    }
}

} // namespace velomast
