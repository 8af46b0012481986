#pragma once

#include <QString>

// The names a pool keeps for its teams and players: a record field of kNameWidth characters in the
// Windows-1252 code page (TTeamsFile, TPlayerPicksFile). Every way a name comes in (the picks
// import, Player > Add, the builder's Add) asks this one check, so that what is shown is what
// is saved, and no name can put control characters into a terminal, a report or a page.
namespace PoolNames {

// The characters a team's or a player's name field holds.
constexpr int kNameWidth = 35;

// Why a pool cannot keep `name` as it stands, worded as a picks sheet's problem with `what`
// naming the name ("player name", "team name"): a control character, more characters than the
// field's `width`, or a character the code page has not. Empty when the pool can keep it.
QString Unstorable(const QString& name, const QString& what, int width);

// How a message quotes a name or a cell that came from outside: at most kQuotedLength
// characters, control characters shown by their code, so that nothing read in can flood a
// message or send a terminal codes of its own.
constexpr int kQuotedLength = 80;
QString Quoted(const QString& text);

}  // namespace PoolNames
