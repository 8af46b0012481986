#pragma once

#include <cstdint>

#include "Outlook.h"

// What a player's correct pick earns for a game still to come, as the outlook's search reads
// it. Under the pool's points per round, the gain of a pick depends on its team and the round
// it wins its way into alone; a rule with bonuses may make it depend on the game's loser too,
// and on whether the player picked that loser to reach the game. The search asks which it is:
// gains by team and round are kept as one row per team and round; gains that depend on the
// loser are kept per winner and loser of each game, bounded by team and round. Either way the
// end game's lanes are worked out once, before the search.
class TOutlookGain {
 public:
  explicit TOutlookGain(const TOutlookInput& input) : In(input) {}
  virtual ~TOutlookGain() = default;

  // Whether a gain depends on the team and the round it wins its way into alone.
  virtual bool ByTeamAndRound() const { return true; }
  // Every gain of one player by team and round: gains[team * kRounds + round], what the player
  // gets when the team wins its way into chart round `round` (2..7) through a game still to
  // come, TeamCount() * kRounds values. When the gain depends on more, the most such a win
  // can bring, whoever it beats.
  virtual void MostOf(int player, int64_t* gains) const { In.GainsOf(player, gains); }
  // The same, the least such a win can bring.
  virtual void LeastOf(int player, int64_t* gains) const { In.GainsOf(player, gains); }
  // What the player gets when `winner` beats `loser` (-1: no one, the line unopposed) in
  // `game`.
  virtual int64_t Gain(int player, const TOutlookInput::TGame& game, int32_t winner,
                       int32_t loser) const {
    (void)loser;
    return In.GainAt(winner, game.Round, player);
  }

 protected:
  const TOutlookInput& In;
};

// The gains of a rule that asks for the loser (TScoring::DependsOnLoser): a win earns between
// the least and the most the rule gives it whoever it beats (TScoring::LeastWin, MostWin).
class TLoserGain : public TOutlookGain {
 public:
  using TOutlookGain::TOutlookGain;
  bool ByTeamAndRound() const override { return false; }
  void MostOf(int player, int64_t* gains) const override;
  void LeastOf(int player, int64_t* gains) const override;
  int64_t Gain(int player, const TOutlookInput::TGame& game, int32_t winner,
               int32_t loser) const override {
    return In.GainAt(winner, game.Round, player, loser);
  }
};

// ComputeOutlook with the gains of `gain`, a rule over `input`.
TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookGain& gain,
                              const TOutlookOptions& options, TOutlookProgress* progress = nullptr);
