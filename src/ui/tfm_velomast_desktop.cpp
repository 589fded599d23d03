// The window on the desktop: model files dropped onto it from a file manager.
#include "tfm_velomast.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace velomast {

QString TfmVelomast::DroppedModelFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile() && info.suffix().compare(QLatin1String("maa"), Qt::CaseInsensitive) == 0)
            return info.absoluteFilePath();
    }
    return {};
}

void TfmVelomast::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedModelFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfmVelomast::dropEvent(QDropEvent* event) {
    const QString file = DroppedModelFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    // As "Открыть...": the changes of the open model are offered for saving first.
    if (!QuerySave()) return;
    if (OpenModel(file)) AddRecentFile(QString::fromStdString(Model_->FileName));
}

} // namespace velomast
