// libFuzzer target: any bytes as a model file. Reading must not crash or run away, and a
// file the reader accepted must come back from the writer and the reader unchanged on the
// second round (the first may normalize).
#include "files/maa_reader.h"
#include "files/maa_writer.h"
#include "model/wire_list.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace velomast;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TWireList first;
    if (!ReadModelBytes(first, bytes, "fuzz.maa").Ok()) return 0;
    // As velomast-cli normalize: the linked files stay named (otherwise the comment heading
    // they bring would go on the second round).
    first.StoreLinkedList = !first.LinkedList.empty();
    const std::string once = EncodeModelText(ModelFileLines(first, false), first.Encoding, first.EncodingBom);

    TWireList second;
    if (!ReadModelBytes(second, once, "fuzz.maa").Ok()) __builtin_trap();
    if (second.OwnCount() != first.OwnCount() || second.Sources.size() != first.Sources.size() ||
        second.Loads.size() != first.Loads.size())
        __builtin_trap();
    second.StoreLinkedList = !second.LinkedList.empty();
    const std::string twice = EncodeModelText(ModelFileLines(second, false), second.Encoding, second.EncodingBom);
    if (twice != once) __builtin_trap();
    return 0;
}
