// The character encoding of a model's text file. Text inside the program is UTF-8; files
// are Windows-1251 (what the Windows analysers read) unless they came to us as UTF-8.
#pragma once

#include <cstdint>

namespace velomast {

enum class TTextEncoding : uint8_t { Cp1251, Utf8 };

} // namespace velomast
