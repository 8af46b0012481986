#pragma once

#include "Outlook.h"
#include "OutlookPlan.h"
#include "OutlookTally.h"

namespace OutlookSearch {

// The tournament over and the championship's total entered: every player's place is the one
// the standings give, the guess parting players level on points, and only those it puts first
// finish first.
template <typename TLane>
void BreakFinalTie(const TPlan<TLane>& plan, TTally& tally);

// The result of a run from its tallies, added up into `tally`: every player's figures, the
// champions each can win with and the rooting guide, in the result's order.
template <typename TLane>
void AssembleResult(const TPlan<TLane>& plan, TTally& tally, TOutlookResult& result);

}  // namespace OutlookSearch
