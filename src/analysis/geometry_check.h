// The geometry check: modelling slips that make a NEC-2 analysis fail or go wrong.
// Plain C++, no Qt.
#pragma once

#include <string>
#include <vector>

namespace velomast {

class TWireList;

// Error: the analyser fails or gives nonsense. Warning: the accuracy suffers.
enum class TCheckSeverity { Error, Warning };

struct TCheckFinding {
    TCheckSeverity Severity = TCheckSeverity::Error;
    // A stable identifier of the rule ("zero-length", "near-ends", ...).
    std::string Rule;
    // 1-based numbers of the wires concerned (own wires only).
    std::vector<int> Wires;
    // One line of Russian text with the measured value and the limit.
    std::string Text;
};

// The rule identifiers, in the order findings are reported.
const std::vector<std::string>& CheckRuleIds();

// Checks the own wires, sources and loads of the model. Segments are counted as the NEC-2
// deck counts them. Linear in the wire count, apart from the crossing test, which uses a
// spatial grid.
std::vector<TCheckFinding> CheckGeometry(const TWireList& model);

// Number of findings of the given severity.
int CountFindings(const std::vector<TCheckFinding>& findings, TCheckSeverity severity);

} // namespace velomast
