// The view's paint widget, shared by the four view pages. It shows the last model image
// and lets the mouse controller draw its rubber lines and read-outs over it, so a gesture
// repaints only the overlay while the model is unchanged.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace velomast {

// Receives the view's mouse events (the gesture state machine).
class IViewMouse {
public:
    virtual ~IViewMouse() = default;
    virtual void Press(QMouseEvent* e) = 0;
    virtual void Move(QMouseEvent* e) = 0;
    virtual void Release(QMouseEvent* e) = 0;
    // Draws the gesture's overlay on top of the model image.
    virtual void PaintOverlay(QPainter& p) = 0;
};

class TPaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TPaintBox(QWidget* parent = nullptr);

    // The model image shown (owned by the window).
    void SetImage(const QImage* image) { Image_ = image; }
    void SetMouse(IViewMouse* mouse) { Mouse_ = mouse; }

    // Called when the widget needs a fresh model image of its current size.
    std::function<void()> OnNeedImage;
    std::function<void()> OnResized;
    std::function<void(int)> OnWheel;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    const QImage* Image_ = nullptr;
    IViewMouse* Mouse_ = nullptr;
};

} // namespace velomast
