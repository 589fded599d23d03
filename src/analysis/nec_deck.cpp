#include "nec_deck.h"

#include "model/wire_list.h"

namespace velomast {

double SegmentsPerWavelength(const TWireList&) { return 80; }
int NecSegmentCount(const TWireList&, const TWire&, double) { return 1; }
int NecSegmentOf(int, int, int) { return 1; }
TNecDeck WriteNecDeck(const TWireList&, const TNecDeckOptions&) { return {}; }

} // namespace velomast
