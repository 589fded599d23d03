// A small writer of compact JSON text: values, arrays and objects in order, with the
// commas placed for the caller. Reals keep every digit needed to read them back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velomast::cli {

class TJsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next value inside an object.
    void Key(std::string_view key);

    void String(std::string_view s);
    void Real(double x); // null when not finite
    void Int(int64_t v);
    void Bool(bool b);
    void Null();

    const std::string& Text() const { return Out_; }

private:
    void Separate();
    std::string Out_;
    std::vector<bool> First_; // per open container: no value written yet
    bool AfterKey_ = false;
};

} // namespace velomast::cli
