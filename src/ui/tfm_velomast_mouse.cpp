// Mouse editing in the view: the gesture controller of the paint box, the polygon tool's
// number of sides, the centre buttons and the field popup menu.
#include "tfm_velomast.h"

#include "ui/mouse_controller.h"
#include "ui/paint_box.h"
#include "view/view_camera.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

namespace velomast {

void TfmVelomast::SetUpMouseEditing() {
    MouseController_ = std::make_unique<TMouseController>(*this, pmWire_, pmField_);
    PaintBox1_->SetMouse(MouseController_.get());

    connect(Button("sbCenterZero"), &QToolButton::clicked, this, &TfmVelomast::sbCenterZeroClick);
    connect(Button("sbCenterOnAntenna"), &QToolButton::clicked, this, &TfmVelomast::sbCenterOnAntennaClick);
    connect(Button("sbCenterOnSelected"), &QToolButton::clicked, this, &TfmVelomast::sbCenterOnSelectedClick);

    QAction* centreHere = Action("NpCenterHere");
    centreHere->setEnabled(true);
    connect(centreHere, &QAction::triggered, this, [this] { MouseController_->NpCenterHereClick(); });
    QAction* zeroHere = Action("NZeroHere");
    zeroHere->setEnabled(true);
    connect(zeroHere, &QAction::triggered, this, [this] { MouseController_->NZeroHereClick(); });
}

void TfmVelomast::AskPolygonSides() {
    const std::optional<QString> answer =
        Dialogs().Input(Button("sbPolygon")->toolTip(), QStringLiteral("Введите число сторон:"),
                        QString::number(PolygonSides_));
    if (answer) {
        bool ok = false;
        const int sides = answer->trimmed().toInt(&ok);
        if (ok) PolygonSides_ = sides;
    }
    PolygonSides_ = std::clamp(PolygonSides_, 3, 100);
}

// The centre buttons use the box of the last fit.
void TfmVelomast::sbCenterZeroClick() {
    CenterOnOrigin(*Model_);
    PaintView();
}

void TfmVelomast::sbCenterOnAntennaClick() {
    CenterOnModel(*Model_);
    PaintView();
}

void TfmVelomast::sbCenterOnSelectedClick() {
    CenterOnSelected(*Model_);
    PaintView();
}

} // namespace velomast
