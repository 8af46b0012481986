#pragma once

// The style sheet of the standings pages, inside each page so that it asks for nothing else: it
// reads on a phone as on a desk, and prints.
namespace StandingsStyle {
extern const char kCss[];
}
