#pragma once

#include <QString>

// Names that come from the network, as the organiser's terminal and the window's log show
// them: in double quotes, with every character that could steer a terminal, break the line,
// hide or reorder text written as an escape, the way JSON writes it ("\u001b", "\n", "\"").
// Whatever a player sends, it stays one value on one line.
namespace OutsideText {
QString Quoted(const QString& text);
// A message of ours that may repeat what a player sent (a team's name as typed): the same
// escapes, but no quotes around it and its own quotes left as they are.
QString Plain(const QString& text);
}  // namespace OutsideText
