#pragma once

#include <QString>

// The names a pool keeps for its teams and players: a record field of kNameWidth characters in the
// Windows-1252 code page (TTeamsFile, TPlayerPicksFile). Every way a name comes in (the picks
// import, the entry page, Player > Add, the builder's Add) asks these checks, so that what is
// shown is what is saved, no name can put control characters into a terminal, a report or a
// page, and no player comes in twice under a look-alike name.
namespace PoolNames {

// The characters a team's or a player's name field holds.
constexpr int kNameWidth = 35;

// Why a pool cannot keep `name` as it stands, worded as a picks sheet's problem with `what`
// naming the name ("player name", "team name"): a control character, more characters than the
// field's `width`, or a character the code page has not. Empty when the pool can keep it.
QString Unstorable(const QString& name, const QString& what, int width);

// One name, one player: a name's blanks, invisible characters, letter case or the way its
// accents are encoded never make another player of the same person.
//
// The form a name that came from a sheet or a page is stored in: invisible characters (the
// soft hyphen, zero-width spaces and joiners, direction marks: Unicode's format characters)
// taken out, blanks and control characters cut from both ends, every inner run of blanks (a
// no-break space or a tab among them) made one space, in Unicode's composed form (NFC).
// Letter case is kept. What is left still has to pass Unstorable.
QString Normal(const QString& name);
// The form two players' names are compared in: Normal, case folded. Two names with the same
// key are the same player's.
QString Key(const QString& name);

// How a message quotes a name or a cell that came from outside: at most kQuotedLength
// characters, control characters shown by their code, so that nothing read in can flood a
// message or send a terminal codes of its own.
constexpr int kQuotedLength = 80;
QString Quoted(const QString& text);

}  // namespace PoolNames
