// Whole-file reading and safe replacement of files, with error texts for the user.
#pragma once

#include "text_codec.h"

#include <string>
#include <string_view>
#include <vector>

namespace velomast {

// The outcome of a file operation; Message is the text to show when it failed.
struct TFileResult {
    bool Ok = true;
    std::string Message;
    static TFileResult Failure(std::string message) { return {false, std::move(message)}; }
};

enum class TFileReadStatus { Ok, Missing, Failed };

struct TFileBytes {
    TFileReadStatus Status = TFileReadStatus::Ok;
    std::string Bytes;
    std::string Message; // "Файл ... не найден." or why the file could not be read
};

// Reads the whole file. A file that does not exist gives Missing; one that exists but
// cannot be read (a folder, no permission, an I/O error) gives Failed.
TFileBytes ReadFileBytes(const std::string& fileName);

// A text file's lines (decoded to UTF-8) and its encoding.
struct TTextFile {
    TFileReadStatus Status = TFileReadStatus::Ok;
    std::string Message;
    std::vector<std::string> Lines;
    TTextEncoding Encoding = TTextEncoding::Cp1251;
    bool Bom = false;
};
TTextFile ReadTextFileLines(const std::string& fileName);

// Writes `bytes` to a new file beside `fileName` and renames it over the target, so a
// failed write leaves an existing file whole. The permissions of a replaced file are kept;
// a symbolic link is followed and its target replaced.
TFileResult WriteFileReplacing(const std::string& fileName, std::string_view bytes);

bool FileExists(const std::string& fileName);
// The name with its extension replaced (or added when it has none): "a/b.maa" -> "a/b.log".
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// Whether the name ends in the given extension, compared case-sensitively.
bool HasExtension(std::string_view fileName, std::string_view ext);
// The reason of a failed system call, in the interface language.
std::string SystemErrorText(int err);

} // namespace velomast
