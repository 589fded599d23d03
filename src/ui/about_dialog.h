// "О программе...": the program's name, version and purpose.
#pragma once

#include <QDialog>

namespace velomast {

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
};

} // namespace velomast
