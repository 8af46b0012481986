#pragma once

#include <QHash>
#include <QString>
#include <array>

#include "PlayerPicksFile.h"
#include "TeamsFile.h"

// The teams by trimmed name, made once per scoring pass so that scoring a large pool stays
// linear.
// It finds exactly what TTeamsFile::FindTeam finds: the first team whose trimmed name equals
// the trimmed pick name, case included.
class TTeamIndex {
 public:
  explicit TTeamIndex(const TTeamsFile& teams) {
    FByName.reserve(teams.Count());
    for (const auto& team : teams.List()) {
      const QString name = TrimTeamName(team->TeamName());
      if (!FByName.contains(name))
        FByName.insert(name, team.get());
    }
  }

  // The team of a player's pick entry `entry`. Loading a pool shares one copy of each team
  // name among all the entries that hold it, and entry i of every player usually names the
  // same team, so the answer for entry i is kept with the text it was found for: the same
  // text again (still held by the pool, so unchanged) needs no search.
  const TTeamSeedObject* Find(int entry, const QString& name) {
    TRecent& recent = FRecent[static_cast<size_t>(entry)];
    if (recent.Text != name.constData() || recent.Size != name.size()) {
      recent = {name.constData(), name.size(), FByName.value(TrimTeamName(name), nullptr)};
    }
    return recent.Team;
  }

 private:
  struct TRecent {
    const QChar* Text = nullptr;
    qsizetype Size = -1;
    const TTeamSeedObject* Team = nullptr;
  };

  QHash<QString, const TTeamSeedObject*> FByName;
  std::array<TRecent, TPlayerPicksListObject::kPickCount> FRecent;
};
