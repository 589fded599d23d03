// The texts of the ground and material choices of the parameters page, in the order of
// the model's GroundType and Material codes. The report shows them as well, also where
// there is no window (velomast-cli report).
#pragma once

#include <array>
#include <cstdint>

namespace velomast {

inline constexpr std::array<const char*, 3> GroundItems = {" свободное пространство", " идеальная земля",
                                                           " реальная земля"};
inline constexpr std::array<const char*, 9> MaterialItems = {
    " без потерь",         " медь",    " медная трубка",          " алюминий",
    " алюминиевая трубка", " железо",  " железная трубка",        " пользовательский пруток",
    " пользовательская трубка"};

// The item of a code; empty for a code the list does not have (the box then shows nothing).
inline const char* GroundItemText(int32_t code) {
    return code >= 0 && code < static_cast<int32_t>(GroundItems.size()) ? GroundItems[code] : "";
}
inline const char* MaterialItemText(int32_t code) {
    return code >= 0 && code < static_cast<int32_t>(MaterialItems.size()) ? MaterialItems[code] : "";
}

} // namespace velomast
