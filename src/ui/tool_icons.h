// Tool-bar icons, drawn at start-up in one consistent line style.
#pragma once

#include <QIcon>
#include <QString>

namespace velomast {

// The icon for a tool button, by the button's name ("sbNew", "sbSave", ...). An unknown
// name gives an empty icon.
QIcon ToolIcon(const QString& buttonName);

} // namespace velomast
