#include "nec_output.h"

#include "model/wire_list.h"

namespace velomast {

double SwrOf(double, double, double, double) { return 0; }
TNecResult ReadNecOutput(std::string_view, const TWireList&) { return {}; }
std::vector<std::string> FormatNecResult(const TNecResult&) { return {}; }

} // namespace velomast
