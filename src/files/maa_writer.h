// Writing the model as a model file (.maa), byte for byte in the layout the reader takes:
// CR LF line ends, fields joined by ",\t", reals in the file's shortest form.
#pragma once

#include "file_io.h"
#include "model/wire_list.h"
#include "side_files.h"

#include <string>
#include <vector>

namespace velomast {

struct TWriteResult {
    bool Ok = true;
    // Why the file could not be written; the model, FileName and Modified are then as before.
    std::string Message;
    // Side matters that did not stop the save: a linked file or the log that could not be
    // written, sources without a wire, text saved as UTF-8.
    std::vector<std::string> Warnings;
    // Linked files that could not be written (the model itself was saved).
    std::vector<std::string> LinkedFailures;
};

// The lines of the model file. Without the scene only the own wires are written.
// Sources and loads whose wire is not among the written wires are left out (and named in
// `warnings` when given).
std::vector<std::string> ModelFileLines(const TWireList& list, bool includeScene,
                                        std::vector<std::string>* warnings = nullptr);

// One wire line: X1, Y1, Z1, X2, Y2, Z2, R as file reals and Seg, joined by ",\t".
std::string ModelWireLine(const TWire& w);

// The file's bytes from its lines in the list's encoding, after a byte order mark when
// `bom` is set. A Windows-1251 model whose text
// holds a character Windows-1251 cannot hold is written as UTF-8 instead (*asUtf8 is set).
std::string EncodeModelText(const std::vector<std::string>& lines, TTextEncoding encoding, bool bom,
                            bool* asUtf8 = nullptr);

// Writes the model to `fileName` through a temporary file, so a failed write leaves an
// existing file whole.
//  includeScene = false (saving the model): own wires only; then FileName := fileName,
//    Modified := false, and every linked file receives the wires (unless syncLinkedFiles
//    is false, as for the command-line tool).
//  includeScene = true (the scene export): all wires; FileName, Modified and the linked
//    files stay untouched.
// In both cases FileLines then holds the written lines, and the change log is written
// when WriteLog is on.
TWriteResult WriteModel(TWireList& list, const std::string& fileName, bool includeScene,
                        const TLogLocale& log = {}, bool syncLinkedFiles = true);

} // namespace velomast
