#include "TestPools.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>

#include "ChartPaths.h"

namespace TestPools {

std::unique_ptr<TFFDataModule> CreatePool(const QString& directory) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(directory);
  pool->CreatePool(false);
  return pool;
}

std::unique_ptr<TFFDataModule> OpenPool(const QString& directory) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(directory);
  pool->OpenPool();
  return pool;
}

std::unique_ptr<TFFDataModule> OpenReadOnly(const QString& directory) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(directory);
  pool->OpenPool(TFFDataModule::TOpenMode::ReadOnly);
  return pool;
}

TTeamSeedObject* AddTeam(TTeamsFile& teams, const QString& name, int region, int seed,
                         int roundReached, bool eliminated) {
  auto team = std::make_unique<TTeamSeedObject>();
  team->SetTeamName(name);
  team->SetRegion(region);
  team->SetSeed(seed);
  team->SetRoundReached(roundReached);
  team->SetEliminated(eliminated);
  TTeamSeedObject* added = team.get();
  teams.Add(std::move(team));
  teams.SetModified(true);
  return added;
}

void AddFullField(TTeamsFile& teams) {
  for (int region = 1; region <= 4; ++region) {
    for (int seed = 1; seed <= 16; ++seed) {
      AddTeam(teams, QStringLiteral("R%1S%2").arg(region).arg(seed), region, seed, 1);
    }
  }
}

QString SaveFullPool(const QString& directory, bool locked) {
  QDir().mkpath(directory);
  auto pool = CreatePool(directory);
  pool->SystemFile().SetFinalized(locked);
  AddFullField(pool->TeamsFile());
  if (!pool->SavePool())
    qFatal("the pool in %s could not be saved", qPrintable(directory));
  pool->ClosePool();
  return directory;
}

TPlayerPicksListObject* AddPlayer(TFFDataModule& pool, const QString& name, int tieBreaker) {
  auto player = TPlayerPicksListObject::CreateFromTeams(pool.TeamsFile());
  player->SetPlayerName(name);
  player->SetTieBreakerPoints(tieBreaker);
  TPlayerPicksListObject* added = player.get();
  pool.PlayerPicksFile().Add(std::move(player));
  pool.PlayerPicksFile().SetModified(true);
  return added;
}

TPlayerPicksListObject* AddPicks(TFFDataModule& pool, const QString& name, int tieBreaker,
                                 const QList<QPair<QString, int>>& picks) {
  TPlayerPicksListObject* player = AddPlayer(pool, name, tieBreaker);
  for (const auto& [team, round] : picks) {
    for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
      if (player->Pick(i)->TeamName() == team)
        player->Pick(i)->SetRoundReached(round);
    }
  }
  return player;
}

QString LineTeam(int j) {
  return QStringLiteral("R%1S%2")
      .arg(j / ChartPaths::kSeedsPerRegion + 1)
      .arg(ChartPaths::kSeedOrder[static_cast<size_t>(j % ChartPaths::kSeedsPerRegion)]);
}

void PlayUpperLinesUpTo(TFFDataModule& pool, int upTo) {
  for (int j = 0; j < 64; ++j) {
    // Line j wins as long as it is the upper line of its game: once for every factor 2 of j.
    int won = 1;
    for (int line = j; won < 7 && line % 2 == 0; line /= 2)
      ++won;
    TTeamSeedObject* team = pool.TeamsFile().FindTeam(LineTeam(j));
    team->SetRoundReached(std::min(won, upTo));
    team->SetEliminated(won < upTo);
  }
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    QTest::qFail("cannot read test file", __FILE__, __LINE__);
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    QTest::qFail("cannot write test file", __FILE__, __LINE__);
  }
}

}  // namespace TestPools
