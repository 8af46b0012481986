#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "ChartPaths.h"
#include "Prizes.h"
#include "Scoring.h"

class TFFDataModule;

// Who can still win the pool: every player's chances over the games still to be played.
//
// The games left are the lines of the results chart that no team stands on yet; every outcome
// gives each of them a winner, and each player's final points in an outcome are what the
// standings would give once those results were entered. Up to kMaxExactGames games every
// outcome is visited; beyond that a fixed number of outcomes is drawn with a fixed seed.

// How the outcomes are weighed: `even`, every game a coin toss; `seed`, each game by the seeds
// of its two teams (see SeedWinChance); `ratings`, by the teams' ratings (see
// RatingWinChance).
enum class TOutlookModel { Even, Seed, Ratings };

// The chance that a team of seed `seed` beats one of seed `otherSeed`.
double SeedWinChance(int32_t seed, int32_t otherSeed);
// The chance that a team rated `rating` beats one rated `otherRating`, on the Elo scale when
// `scale` is 400: 1 / (1 + 10^((otherRating - rating) / scale)).
double RatingWinChance(double rating, double otherRating, double scale);

// Vector instructions: those every 64-bit PC processor has, AVX2, AVX-512.
enum class TOutlookVectors { Plain, Avx2, Avx512 };

struct TOutlookOptions {
  // More games than this are sampled: 2^31 outcomes are as many as a run visits one by one.
  static constexpr int kMaxExactGames = 31;
  static constexpr int64_t kSamples = 1000000;
  static constexpr uint64_t kRandomSeed = 0x436f757274736964ull;

  TOutlookModel Model = TOutlookModel::Even;
  // Under the ratings model, each team's rating, in the order of the pool's teams file, and
  // the difference of ratings at which the better team wins ten games to one.
  static constexpr double kRatingScale = 400;
  std::vector<double> Ratings;
  double RatingScale = kRatingScale;
  // Worker threads; 0 or less: one per core.
  int Threads = 0;
  int MaxExactGames = kMaxExactGames;
  // Above this many steps (outcomes times players and the span of their totals) best and
  // worst places are searched for player by player, rather than every player being ranked at
  // every outcome, and the last games are played by table.
  double RankBudget = 4e8;
  // Every outcome is visited only while the steps it takes stay below this; a very large
  // pool with many games left draws outcomes instead. Minutes of work at most.
  double ExactWork = 1e11;
  // Draws times players: a pool of more than SampleWork / Samples players draws fewer
  // outcomes, each of which ranks every player.
  double SampleWork = 4e9;
  // The widest vector instructions the last games may run on, of those the processor has.
  TOutlookVectors Vectors = TOutlookVectors::Avx512;
  int64_t Samples = kSamples;
  uint64_t RandomSeed = kRandomSeed;
  // When drawing for a pool with prizes, the rooting guide goes by them while its contenders
  // times the sides of its games stay within this many (each worker keeps two figures for
  // each); beyond, it goes by win chances.
  double RootingPrizeCells = 4e6;
};

// What the search needs of the pool, copied out of it so that the work can run on other
// threads while the pool stays with the window that shows it.
struct TOutlookInput {
  static constexpr int kSlots = ChartPaths::kSlotCount;

  struct TGame {
    int32_t Slot = 0;   // the chart line this game fills, 65..127
    int32_t Round = 0;  // its chart round
    std::array<int32_t, 2> Feeder{};
    // Both sides can bring a team. Otherwise the one team that can get here goes through
    // without a game, as the organiser would advance it on a chart with an empty line.
    bool Real = true;
  };

  // One pick entry of a player as scoring reads it: the team it names (its place in the teams
  // file, -1 for none) and the last chart round the player advances that team to.
  struct TPick {
    int8_t Team = -1;
    int8_t Last = 0;
  };
  static constexpr int kPicks = ChartPaths::kLines;
  static constexpr int kRounds = 8;  // chart rounds 0..7, as gains are indexed

  QStringList PlayerNames;
  QStringList TeamNames;       // every team of the teams file, in list order
  std::vector<int32_t> Seeds;  // per team
  // Per team: the chart round it has reached, as scoring reads it.
  std::vector<int32_t> Reached;
  // The team on each slot 1..127 (index 0 unused), -1 where none.
  std::array<int32_t, kSlots + 1> Occupant{};
  // The slots left to fill, in slot order, which is round order.
  std::vector<TGame> Games;
  // What a correct pick earns: the pool's rule and points per round.
  TScoring Scoring{ScoringRules::kDefault, {}};
  // Where what a game earns depends on its loser: how far each player's chart takes each
  // team, PickedTo[player * TeamCount() + team] (0 where the team is not on the chart); empty
  // under the other rules.
  std::vector<int8_t> PickedTo;
  // Per player: the points earned so far, before the standings' stop at the int32 range.
  std::vector<int64_t> Base;
  // Picks[player * kPicks + entry]: every player's pick entries, a few bytes each, so that a
  // pool of a million players takes little room; the gains below are worked out from them.
  std::vector<TPick> Picks;
  // Once the championship game's actual total is entered, per player how far the tie-breaker
  // guess lies from it; empty before. With no games left the standings rank equal points by
  // it, and so does the outlook.
  std::vector<int64_t> GuessDistance;
  // What the pool pays, by place; none set, no prizes are worked out.
  Prizes::TPrizes Prizes;

  int PlayerCount() const { return static_cast<int>(PlayerNames.size()); }
  int TeamCount() const { return static_cast<int>(TeamNames.size()); }
  int RealGames() const;
  // Which gain of a win whose loser is not known: the one without a loser, or the most or the
  // least the rule gives it whoever it beats (TScoring::MostWin, LeastWin).
  enum class TWinGain { Unopposed, Most, Least };
  // Every gain of one player: gains[team * kRounds + round], the points the player gets when
  // the team reaches chart round `round` (2..7) through a game still to come, its loser not
  // known. `gains` holds TeamCount() * kRounds values.
  void GainsOf(int player, int64_t* gains, TWinGain which = TWinGain::Unopposed) const;
  // One such gain, against `loser` (-1 for none, or one not known); GainsOf is the way to
  // many of one player.
  int64_t GainAt(int team, int round, int player, int32_t loser = -1) const;

  // What if team `team` wins its next game: the game is played, its points earned, and the
  // outlook then runs over the games still open. False, and nothing changed, with the reason
  // in `why`, when the team has no game left or its opponent is not known yet; `loser` is
  // the team it beats (-1 when the game has no second team).
  bool AssumeWin(int32_t team, int32_t* loser, QString* why);
  // The team of the teams file named `written`, matched as the pool matches names; -1 for none.
  int32_t TeamNamed(const QString& written) const;
  // The games still to be played whose two teams are known, in slot order.
  std::vector<TGame> KnownGames() const;
  // Keeps the chart and the games left only: what-ifs are tried on what is left, quickly and
  // in little room, whatever the number of players.
  void DropPlayers();

  // Scores the pool's players exactly as the standings do and takes the chart from the teams.
  static TOutlookInput FromPool(const TFFDataModule& pool);
};

// What if, the same for the tool, the window and the page: each of `winners`, in turn, wins
// its next game (a team named twice wins two). `assumed` gets each game as it reads, "UConn
// beat Alabama" (or "UConn goes through" where the game has no second team). False, with the
// reason in `why`, when a name is no team of the pool or a team has no game to win then;
// `input` is not to be used then.
constexpr int kMaxAssumed = 63;  // every game of the chart
bool AssumeWinners(TOutlookInput& input, const QStringList& winners, QStringList* assumed,
                   QString* why);

// Shared between the caller and the workers: how far the run has got, and the request to stop.
class TOutlookProgress {
 public:
  void Cancel() { FCancel.store(true, std::memory_order_relaxed); }
  bool Cancelled() const { return FCancel.load(std::memory_order_relaxed); }
  // 0..1.
  double Fraction() const {
    const int64_t total = FTotal.load(std::memory_order_relaxed);
    return total > 0 ? static_cast<double>(FDone.load(std::memory_order_relaxed)) /
                           static_cast<double>(total)
                     : 0.0;
  }

  void Start(int64_t total) {
    FDone.store(0, std::memory_order_relaxed);
    FTotal.store(total, std::memory_order_relaxed);
  }
  void Advance() { FDone.fetch_add(1, std::memory_order_relaxed); }

 private:
  std::atomic<bool> FCancel{false};
  std::atomic<int64_t> FDone{0};
  std::atomic<int64_t> FTotal{0};
};

struct TOutlookChampion {
  QString Team;
  double Won = 0;  // outcomes with this champion in which the player finishes first
};

struct TOutlookPlayer {
  int Index = 0;  // in the player file
  QString Name;
  int32_t Current = 0;
  int32_t Max = 0;
  int BestPlace = 0;  // a place is 1 + the number of players with more points
  int WorstPlace = 0;
  double Won = 0;   // outcomes in which the player finishes first alone
  double Tied = 0;  // outcomes in which the player shares first place on points
  // Won plus the tied outcomes shared evenly among those tied, as a share of all outcomes.
  double WinChance = 0;
  // The 95% interval of WinChance when sampled; WinChance itself when exact.
  double ChanceLow = 0;
  double ChanceHigh = 0;
  // When the pool pays prizes: the prize the player can expect, in cents, over the outcomes
  // as the model weighs them, and the chance of finishing in a paid place (level with others
  // across one counts).
  double ExpectedPrize = 0;
  double PrizeChance = 0;
  // Their 95% intervals when sampled, as ChanceLow and ChanceHigh are WinChance's; the figures
  // themselves when exact.
  double PrizeLow = 0;
  double PrizeHigh = 0;
  double PrizeChanceLow = 0;
  double PrizeChanceHigh = 0;
  // Most winning outcomes first; only champions with which the player can finish first.
  std::vector<TOutlookChampion> Champions;
};

// One game of the next round still to be played, and every player's win chance either way.
struct TRootingGame {
  int32_t Slot = 0;
  int32_t Round = 0;
  std::array<QString, 2> Teams;
  // Per side, per player who can still win (TOutlookResult::RootingPlayers), in that order.
  std::array<std::vector<double>, 2> Chance;
  // When the guide goes by prizes, in the same order: the expected prize in cents if that
  // side wins, with its 95% interval when sampled (the prize itself when exact).
  std::array<std::vector<double>, 2> Prize, PrizeLow, PrizeHigh;
  // Per side, the draws in which it won when sampled; 0 when every outcome was visited.
  std::array<double, 2> Samples{};
};

// One outcome of the last few games: who wins each, and who finishes first.
struct TLastGamesOutcome {
  // The winner of each game left, in the order the games are played.
  QStringList Winners;
  // The players level at the top, in player-file order, and their points. The tie-breaker
  // is not known before the final's total, so they share first place.
  QStringList First;
  int64_t Points = 0;
  // The outcome's chance under the model.
  double Chance = 0;
  // When the pool pays prizes: every player finishing in a paid place, in finish order (those
  // level in player-file order), and the prize in cents, shared with those level.
  struct TPaid {
    QString Player;
    int64_t Cents = 0;
  };
  std::vector<TPaid> Paid;
};

struct TOutlookResult {
  // With this many games left or fewer, every outcome is listed in full (LastGames).
  static constexpr int kLastGames = 3;

  TOutlookModel Model = TOutlookModel::Even;
  bool Exact = true;
  bool Cancelled = false;
  // The pool pays prizes: ExpectedPrize and PrizeChance are worked out, and add up to Pot.
  bool PaysPrizes = false;
  int64_t Pot = 0;  // cents
  int GamesLeft = 0;
  // 2^GamesLeft.
  uint64_t Outcomes = 1;
  // Outcomes drawn; 0 when every outcome was visited.
  int64_t Samples = 0;
  // Best chance first, then highest possible points, then current points.
  std::vector<TOutlookPlayer> Players;
  std::vector<TRootingGame> Rooting;
  // The guide ranks the results by what they change in each player's expected prize, not in
  // the win chance (see TOutlookOptions::RootingPrizeCells).
  bool RootsByPrize = false;
  // The players who can still win, or with the guide by prizes still be paid, in player-file
  // order: the rooting games' figures are theirs. Everyone else has nothing to root for.
  std::vector<int> RootingPlayers;
  // With kLastGames games left or fewer (and some left), every outcome in the order of its
  // winners, the first game's outcomes outermost; empty otherwise.
  std::vector<TLastGamesOutcome> LastGames;

  // The win chance of player `player` (player-file order) if side `side` of `game` wins;
  // nought for a player who cannot win.
  double RootingChance(const TRootingGame& game, int side, int player) const;
  // The same for the expected prize, in cents, when the guide goes by prizes.
  double RootingPrize(const TRootingGame& game, int side, int player) const;
  // Whether player `player` has a line in the guide.
  bool Roots(const TOutlookPlayer& player) const;
};

// Runs on `options.Threads` worker threads and returns when they are done or cancelled
// (Cancelled set, nothing else to be trusted).
TOutlookResult ComputeOutlook(const TOutlookInput& input, const TOutlookOptions& options,
                              TOutlookProgress* progress = nullptr);

const char* ModelName(TOutlookModel model);

struct TOutlookInput;
// The chance that team `team` beats team `other` (places in the teams file) under the model.
double TeamWinChance(const TOutlookInput& input, const TOutlookOptions& options, int32_t team,
                     int32_t other);

// Every outcome of the games left, each with its winners, the players first on points, who is
// paid what and its chance; for a handful of games, since the list doubles with each.
std::vector<TLastGamesOutcome> ListOutcomes(const TOutlookInput& input,
                                            const TOutlookOptions& options);

// The 95% interval of a share seen in `samples` draws (Wilson's score interval).
std::pair<double, double> ChanceInterval(double share, double samples);

// How the outlook reads, the same in the printed report, on the page and in the tool's text
// (OutlookText.cpp).

// How the outlook was worked out, in a line: games left, model, outcomes visited or drawn.
QString OutlookSummary(const TOutlookResult& result);
// A chance as a percentage with two decimals, "53.13%". A chance above nought too small to
// show is "<0.01%", one short of certain too close to show is ">99.99%": neither reads as
// the impossible or the sure thing it is not.
QString FormatChance(double chance);
// A 95% interval, its two ends joined by an en dash: "12.28%–12.41%".
QString FormatInterval(double low, double high);
// The same of an expected prize in cents: "40.10–50.35".
QString FormatPrizeInterval(double low, double high);
// The first `count` champions with which the player can still finish first, "A, B, C".
QString TopChampions(const TOutlookPlayer& player, int count);
// Whether the Won and Tied figures read as counts of outcomes: when every outcome was visited
// and counted one, and their number, thousands marked, takes at most `characters`. Otherwise
// they read as shares of the outcomes, as chances do.
bool CountsOutcomes(const TOutlookResult& result, int characters);
// A Won or Tied figure: a count with its thousands marked, or a share of the outcomes.
QString FormatOutcomes(const TOutlookResult& result, double count, bool counts);
// An expected prize, worked out in cents, to the cent: "12.50".
QString FormatPrize(double cents);
// The same as an amount of money, for a program to read: 12.5.
double PrizeMoney(double cents);
// Who wins what in one of the last games' outcomes: "Ann 150.00, Bo 75.00, Cy 25.00".
QString PaidText(const TLastGamesOutcome& outcome);
// "Prizes: a pot of 250.00, paid 60%, 30%, 10% by place".
QString PrizesLine(const TOutlookResult& result, const Prizes::TPrizes& prizes);

// A result of the next round that a player can root for: side `Side` of rooting game `Game`,
// and the player's win chance if it comes, or the expected prize in cents where the guide
// goes by prizes, with its 95% interval when sampled.
struct TRootFor {
  int Game = 0;
  int Side = 0;
  double Value = 0;
  double Low = 0;
  double High = 0;
};
// The results of the next round that raise the player's win chance (or expected prize) above
// what the other result of the same game leaves, the one that makes the most difference
// first. When sampled, only the differences the draws can tell apart: the two intervals do
// not overlap.
std::vector<TRootFor> RootingFor(const TOutlookResult& result, const TOutlookPlayer& player);
// "Stetson 13.29%", or "Stetson 45.20" by prizes, with the interval in brackets when sampled.
QString FormatRootFor(const TOutlookResult& result, const TRootFor& root);
// What the guide goes by, for a player's line: the win chance, or the expected prize.
QString FormatRootingFigure(const TOutlookResult& result, const TOutlookPlayer& player);
// The 95% interval of a mean of `samples` draws whose values add up to `sum` and their squares
// to `squares`, within 0 and `most` (the normal approximation).
std::pair<double, double> MeanInterval(double sum, double squares, double samples, double most);
