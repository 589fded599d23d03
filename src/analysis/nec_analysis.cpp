#include "nec_analysis.h"

namespace velomast {

TNecResult AnalyseModel(const TWireList&, const TNecDeckOptions&) { return {}; }

} // namespace velomast
