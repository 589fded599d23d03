// Where the program finds the files it ships (language files, the report template,
// readme.txt, examples): beside the executable in the build tree, or in the data folder of
// an installation, ../share/velomast relative to the executable, wherever the prefix lies.
#pragma once

#include <QString>

namespace velomast {

// The program's data folders, first match first: the executable's folder, then
// <executable's folder>/../share/velomast.
QStringList DataFolders();
// The existing file or folder `relative` in the first data folder that has it, or an empty
// string.
QString DataFilePath(const QString& relative);
// True when the executable runs from an installation (a share/velomast folder beside its
// bin folder): then nothing is ever written beside it.
bool RunsInstalled();

} // namespace velomast
