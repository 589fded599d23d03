// The editor: one main window; a model file named on the command line is opened.
#include "ui/tfm_velomast.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("velomast");
    QApplication::setOrganizationName("velomast");
    velomast::TMainWindowOptions options;
    options.Arguments = QApplication::arguments().mid(1);
    velomast::TfmVelomast window(options);
    window.show();
    return QApplication::exec();
}
