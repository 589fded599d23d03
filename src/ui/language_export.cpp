#include "language_export.h"

#include "settings/language_file.h"
#include "ui/about_dialog.h"
#include "ui/language_texts.h"
#include "ui/tfm_cilinder.h"
#include "ui/tfm_coli.h"
#include "ui/tfm_grid.h"
#include "ui/tfm_house.h"
#include "ui/tfm_linked.h"
#include "ui/tfm_move.h"
#include "ui/tfm_rotate.h"
#include "ui/tfm_sets.h"
#include "ui/tfm_shape.h"
#include "ui/tfm_velomast.h"

#include <QTemporaryDir>

namespace velomast {

std::vector<std::unique_ptr<QWidget>> CreateAllDialogs(QWidget* parent, IUserDialogs& dialogs) {
    std::vector<std::unique_ptr<QWidget>> out;
    out.push_back(std::make_unique<TfmSets>(parent));
    out.push_back(std::make_unique<TfmLinked>(dialogs, QString(), parent));
    out.push_back(std::make_unique<TfmCilinder>(parent));
    out.push_back(std::make_unique<TfmGrid>(parent));
    out.push_back(std::make_unique<TfmColi>(parent));
    out.push_back(std::make_unique<TfmHouse>(parent));
    out.push_back(std::make_unique<TfmShape>(parent));
    out.push_back(std::make_unique<TfmMove>(parent));
    out.push_back(std::make_unique<TfmRotate>(parent));
    out.push_back(std::make_unique<TfmAbout>(parent));
    return out;
}

void ExportAllForms(TLanguageFile& file) {
    // The built-in texts: no language file is read into the windows meanwhile.
    const QString previous = LanguageFile();
    LanguageFile().clear();
    ResetLanguageTexts();
    QTemporaryDir dir;
    TMainWindowOptions options;
    options.SettingsPath = dir.filePath(QStringLiteral("velomast.ini"));
    TfmVelomast window(options);
    ExportLanguageInto(&window, file);
    for (const auto& dialog : CreateAllDialogs(&window, window.Dialogs())) {
        const QString section = LanguageSection(dialog.get());
        file.Write(section, QStringLiteral("Caption"), dialog->windowTitle());
        ExportLanguageInto(dialog.get(), file);
    }
    LanguageFile() = previous;
}

bool ExportAllForms(const QString& fileName, QString* error) {
    TLanguageFile file;
    ExportAllForms(file);
    return file.Save(fileName, error);
}

} // namespace velomast
