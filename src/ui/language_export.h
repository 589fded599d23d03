// Every window of the program built once, for the language files: the texts of the main
// window and of each dialog as built (Russian), written into one language file.
#pragma once

#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace velomast {

class IUserDialogs;
class TLanguageFile;

// One of each dialog class, children of `parent`.
std::vector<std::unique_ptr<QWidget>> CreateAllDialogs(QWidget* parent, IUserDialogs& dialogs);

// The main window (with settings from a temporary file) and every dialog into `file`; the
// dialogs' window titles are written as their "Caption" keys. The run-time texts read before
// are forgotten (the built-in ones are exported).
void ExportAllForms(TLanguageFile& file);
// The same into a file on disk; false with `error` when it cannot be written.
bool ExportAllForms(const QString& fileName, QString* error = nullptr);

} // namespace velomast
