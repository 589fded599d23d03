// Whole-file reading and safe replacement of files, with error texts for the user.
#pragma once

#include "text_codec.h"

#include <cstdint>
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

// Larger files are refused by every reader: no model comes near it, and a device or a
// runaway file must not fill the memory.
inline constexpr uint64_t MaxReadFileBytes = uint64_t{512} << 20;

enum class TFileReadStatus { Ok, Missing, Failed };

struct TFileBytes {
    TFileReadStatus Status = TFileReadStatus::Ok;
    std::string Bytes;
    std::string Message; // "Файл ... не найден." or why the file could not be read
};

// A file's bytes in memory of their own, for reading a large file once: the memory is not
// cleared before the bytes go in, and a large buffer is mapped on its own, so that the
// reader can give back the pages it has read while the model grows.
class TFileBuffer {
public:
    TFileBuffer() = default;
    TFileBuffer(TFileBuffer&& other) noexcept;
    TFileBuffer& operator=(TFileBuffer&& other) noexcept;
    TFileBuffer(const TFileBuffer&) = delete;
    TFileBuffer& operator=(const TFileBuffer&) = delete;
    ~TFileBuffer() { Release(); }

    std::string_view View() const { return {Data_, Size_}; }
    size_t Size() const { return Size_; }
    // Gives the memory back at once.
    void Release();
    // Gives back the whole pages that lie before `p` (a reader done with them); the bytes
    // there must not be read again. Memory from malloc stays as it is.
    void ReleaseBefore(const char* p);

    // Room for `capacity` bytes, keeping all the old room held (Size need not be set
    // yet); false when there is no memory for it.
    bool Reserve(size_t capacity);
    char* Data() { return Data_; }
    size_t Capacity() const { return Capacity_; }
    void SetSize(size_t size) { Size_ = size; }

private:
    char* Data_ = nullptr;
    size_t Size_ = 0;
    size_t Capacity_ = 0;
    size_t Mapped_ = 0; // the length of the mapping, 0 for memory from malloc
    size_t Dropped_ = 0; // bytes at the start already given back by ReleaseBefore
};

struct TFileContent {
    TFileReadStatus Status = TFileReadStatus::Ok;
    TFileBuffer Bytes;
    std::string Message;
};

// Reads the whole file. A file that does not exist gives Missing; one that exists but
// cannot be read (a folder, no permission, an I/O error), is no regular file (a pipe, a
// device: never waited on) or is larger than MaxReadFileBytes gives Failed.
TFileBytes ReadFileBytes(const std::string& fileName);
// The same into a TFileBuffer (the model reader's way: one large file read once).
TFileContent ReadFileContent(const std::string& fileName);

// A text file's lines (decoded to UTF-8) and its encoding.
struct TTextFile {
    TFileReadStatus Status = TFileReadStatus::Ok;
    std::string Message;
    std::vector<std::string> Lines;
    TTextEncoding Encoding = TTextEncoding::Cp1251;
    bool Bom = false;
};
// Bytes that are no text in Windows-1251 or UTF-8 (NotTextReason) give Failed.
TTextFile ReadTextFileLines(const std::string& fileName);

// Writes `bytes` to a new file beside `fileName` and renames it over the target, so a
// failed write leaves an existing file whole. A symbolic link is followed and its target
// replaced. An existing target must be a regular file the user may write, or it is
// refused with the system's reason and left as it was; the new file takes its mode, and
// its owner and group where the process may set them. A file with several hard links,
// or a writable file in a folder that takes no new file, is written over in place.
TFileResult WriteFileReplacing(const std::string& fileName, std::string_view bytes);

bool FileExists(const std::string& fileName);
// The name with its extension replaced (or added when it has none): "a/b.maa" -> "a/b.log".
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// Whether the name ends in the given extension, compared case-sensitively.
bool HasExtension(std::string_view fileName, std::string_view ext);
// The reason of a failed system call, in the interface language.
std::string SystemErrorText(int err);

} // namespace velomast
