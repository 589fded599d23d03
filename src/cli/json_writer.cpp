#include "json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velomast::cli {

void TJsonWriter::Separate() {
    if (AfterKey_) {
        AfterKey_ = false;
        return;
    }
    if (!First_.empty()) {
        if (!First_.back()) Out_ += ',';
        First_.back() = false;
    }
}

void TJsonWriter::BeginObject() {
    Separate();
    Out_ += '{';
    First_.push_back(true);
}

void TJsonWriter::EndObject() {
    Out_ += '}';
    First_.pop_back();
}

void TJsonWriter::BeginArray() {
    Separate();
    Out_ += '[';
    First_.push_back(true);
}

void TJsonWriter::EndArray() {
    Out_ += ']';
    First_.pop_back();
}

void TJsonWriter::Key(std::string_view key) {
    String(key);
    Out_ += ':';
    AfterKey_ = true;
}

void TJsonWriter::String(std::string_view s) {
    Separate();
    Out_ += '"';
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': Out_ += "\\\""; break;
        case '\\': Out_ += "\\\\"; break;
        case '\n': Out_ += "\\n"; break;
        case '\r': Out_ += "\\r"; break;
        case '\t': Out_ += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                Out_ += buf;
            } else {
                Out_ += c;
            }
        }
    }
    Out_ += '"';
}

void TJsonWriter::Real(double x) {
    if (!std::isfinite(x)) {
        Null();
        return;
    }
    Separate();
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, x);
    Out_.append(buf, res.ptr);
}

void TJsonWriter::Int(int64_t v) {
    Separate();
    Out_ += std::to_string(v);
}

void TJsonWriter::Bool(bool b) {
    Separate();
    Out_ += b ? "true" : "false";
}

void TJsonWriter::Null() {
    Separate();
    Out_ += "null";
}

} // namespace velomast::cli
