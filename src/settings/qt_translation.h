// Qt's own texts (the buttons of message boxes, the file dialog) in the interface
// language, from the translations Qt ships (qtbase_ru.qm, Debian's qt6-translations-l10n).
#pragma once

#include <QString>

namespace velomast {

// Installs Qt's translation for the language ("ru"); any other language, or a translation
// that is not installed, leaves Qt's built-in English. True when a translation is in use.
bool UseQtTranslation(const QString& language);

} // namespace velomast
