#include "nec_run.h"

namespace velomast {

std::vector<std::string> NecArguments(const std::string& deckFile, const std::string& outFile) {
    return {"-i", deckFile, "-o", outFile};
}
std::string FindOnPath(const std::string&) { return {}; }
TNecRunResult RunNecEngine(const std::string&, const std::string&) { return {}; }

} // namespace velomast
