// The whole analysis without a window: deck, nec2c run in a temporary folder, output read.
#pragma once

#include "nec_deck.h"
#include "nec_output.h"

namespace velomast {

// Writes the deck into a fresh temporary folder, runs nec2c there and reads its output.
// The folder is removed afterwards. Error says why when the engine is missing or fails.
TNecResult AnalyseModel(const TWireList& model, const TNecDeckOptions& options = {});

} // namespace velomast
