#pragma once

#include <QByteArray>

// The pick-entry page: one HTML document with its style and script inside, which draws the
// bracket from the pool's data and sends the entry. It loads nothing else.
namespace EntryPage {
const QByteArray& Html();
// The Content-Security-Policy that lets the page run its own style and script, and nothing
// else: no other script, style, picture, frame, form target or address to talk to.
const QByteArray& SecurityPolicy();
}  // namespace EntryPage
