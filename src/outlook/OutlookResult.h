#pragma once

#include "Outlook.h"
#include "OutlookPlan.h"
#include "OutlookTally.h"

namespace OutlookSearch {

// The tournament over and the championship's total entered: of the players level on the most
// points, only those whose guess lies closest to it finish first, as in the standings.
template <typename TLane>
void BreakFinalTie(const TPlan<TLane>& plan, TTally& tally);

// The result of a run from its tallies, added up into `tally`: every player's figures, the
// champions each can win with and the rooting guide, in the result's order.
template <typename TLane>
void AssembleResult(const TPlan<TLane>& plan, TTally& tally, TOutlookResult& result);

}  // namespace OutlookSearch
