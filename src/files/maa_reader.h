// Reading a model file (.maa) into the model being edited.
//
// The reader is tolerant: sections are counted by separator lines (a line beginning with
// "*") whatever their headings say, numbers may use "." or "," as decimal mark, and
// unreadable numbers become NoValue or a default. The one hard error is a source or load
// that names a wire the file does not have.
#pragma once

#include "model/wire_list.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velomast {

enum class TReadStatus {
    Read,         // the file was read (also one that holds no model: see NoModel)
    FileMissing,  // no such file; the model is unchanged
    CannotRead,   // the file exists but could not be read; the model is unchanged
    WireNotFound, // a source or load names a missing wire; the model holds what came before
    NotAModel,    // the bytes are no model file's text (UTF-16, UTF-32, binary); the model is unchanged
};

struct TReadResult {
    TReadStatus Status = TReadStatus::Read;
    // The text for the message box: "Провод 5 не найден", "Файл ... не найден.", why the
    // file could not be read or is no model file, or (with NoModel) why it holds no model.
    // Otherwise empty.
    std::string Message;
    // Things the reader put right or left out, one sentence each (for a notice or a log).
    std::vector<std::string> Warnings;
    // The file had more than 10 lines, so its sections were read.
    bool LongFile = false;
    // The file was read but holds no model: 10 lines or fewer, or no sections. Message
    // then says so (the same text is among the Warnings, for the editor's notice).
    bool NoModel = false;
    // The wire section is cut short: fewer wire lines than its count, or the file ends in it.
    bool Truncated = false;
    // The wire number of a "Провод %d не найден" stop.
    int32_t MissingWire = 0;

    bool Ok() const { return Status == TReadStatus::Read; }
};

// Clears `list` and fills it from the file. After a read: FileName and FileLineCount are
// set (FileLines stays empty: no copy of the file is kept),
// the history holds the loaded state as step 1, the elements are built, the view fitted,
// the first wire is current and Modified is false.
//
// When a source or load names a missing wire, reading stops there: the model keeps what
// was read before that line, its history starts afresh at that state, and FileName is
// emptied so that no save can overwrite the file with the partial model.
// Without `withHistory` the history stays empty (a tool that only looks at the model).
TReadResult ReadModel(TWireList& list, const std::string& fileName, bool withHistory = true);

// The same from bytes already read; `fileName` becomes the model's FileName.
TReadResult ReadModelBytes(TWireList& list, std::string_view bytes, const std::string& fileName);

// One wire line, "X1, Y1, Z1, X2, Y2, Z2, R, Seg": the same result as ParseWireLine,
// without the allocations (the reader's hot path).
TWireRecord ReadWireLine(std::string_view line);

// The wire count line: the whole line as an integer (blanks before the digits allowed,
// nothing after them; default 0). Older files put further numbers behind the count
// ("17, 4, 1, 0.68, 0.68, 0"): then the first field is the count and *moreFields is set.
int32_t ReadWireCount(std::string_view line, bool* moreFields = nullptr);

// A comment line the reader would take for the end of the comment: one that begins with
// "*" after any blanks, or holds "LinkedFiles". The writer puts a blank before such a
// line, and the reader takes that blank off again, so the comment comes back unchanged.
bool CommentLineNeedsBlank(std::string_view line);

// The beginning of the message for a file that holds no model.
inline constexpr const char* NotAModelMessage = "Файл не похож на файл модели";

// The combined-wire lines of a model file's lines, as ReadModel would keep them in
// TaperLines (the set after the settings line).
std::vector<std::string> ReadTaperLines(const std::vector<std::string>& lines);

// The open command refuses ".gaa" files (any letter case) with this message.
bool IsUnsupportedModelFile(const std::string& fileName);
inline constexpr const char* UnsupportedFormatMessage = "Формат файла не поддерживается";

} // namespace velomast
