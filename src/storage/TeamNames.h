#pragma once

#include <QString>

// Every team name the program has come across, each kept once for the life of the program.
// A pool names at most 64 teams, but every player carries an entry for each of them: entries
// refer to the one copy here instead of holding 64 strings per player, which keeps a large
// pool small in memory and quick to load and free.
namespace TTeamNames {
// The kept copy of `name`; the reference stays valid until the program ends.
const QString* Intern(const QString& name);
const QString* Empty();
}  // namespace TTeamNames
