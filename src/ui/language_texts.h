// The interface language: captions and hints of a window's components read from the
// language file (ApplyLanguage) or written into it (ExportLanguage), keyed by objectName in
// the section named after the window's class; and the texts that code composes at run time
// (table headers, status-bar texts, labels rewritten by handlers), looked up by key.
#pragma once

#include <QString>

class QWidget;

namespace velomast {

class TLanguageFile;

// The window's section: its class name without namespace ("TfmVelomast", "TfmSets").
QString LanguageSection(const QWidget* form);

// Reads LanguageFile into the form. A missing file changes nothing. With `caption` the key
// "Caption" sets the window title (the main window composes its title itself).
void ApplyLanguage(QWidget* form, bool caption = true);
// Writes the form's captions and hints into LanguageFile (other sections and keys are kept),
// together with the run-time texts of its section. False with `error` when it cannot be
// written. The form's own caption is not written.
bool ExportLanguage(QWidget* form, QString* error = nullptr);
// The same texts into an open file (the generator of the shipped files adds the captions).
void ExportLanguageInto(QWidget* form, TLanguageFile& file);

// The hidden export: a double click on `label` sets LanguageFile to ru.lng in the folder
// beside the executable and exports `form` into it; a failure is shown in a message box.
void InstallLanguageExport(QWidget* label, QWidget* form);

// A text composed at run time: the value from the language file last read into a window,
// or the built-in Russian text of the key (see the table in language_texts.cpp).
QString LanguageText(const char* section, const char* key);
// Forgets the texts read, back to the built-in ones (for a window that starts afresh).
void ResetLanguageTexts();

} // namespace velomast
