#include "geometry_check.h"

#include "model/wire_list.h"

namespace velomast {

const std::vector<std::string>& CheckRuleIds() {
    static const std::vector<std::string> ids;
    return ids;
}

std::vector<TCheckFinding> CheckGeometry(const TWireList&) { return {}; }

int CountFindings(const std::vector<TCheckFinding>& findings, TCheckSeverity severity) {
    int n = 0;
    for (const TCheckFinding& f : findings) n += f.Severity == severity;
    return n;
}

} // namespace velomast
