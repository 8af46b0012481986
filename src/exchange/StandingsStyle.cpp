#include "StandingsStyle.h"

const char StandingsStyle::kCss[] = R"css(
:root { color-scheme: light; --line: #c9d3df; --head: #1f3a5f; --soft: #eef3f8; }
* { box-sizing: border-box; }
body { margin: 0; font: 16px/1.45 "Segoe UI", Roboto, "Liberation Sans", Arial, sans-serif;
  color: #1b1f24; background: #fff; }
header { background: var(--head); color: #fff; padding: 1.2rem 1rem; }
header h1 { margin: 0; font-size: 1.7rem; overflow-wrap: anywhere; }
header p { margin: .3rem 0 0; opacity: .85; }
main { max-width: 1100px; margin: 0 auto; padding: 1rem; }
h2 { color: var(--head); border-bottom: 2px solid var(--head); padding-bottom: .2rem;
  margin-top: 2rem; }
.table { overflow-x: auto; -webkit-overflow-scrolling: touch; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: .35rem .5rem; border-bottom: 1px solid var(--line); text-align: right;
  white-space: nowrap; }
th { background: var(--soft); font-weight: 600; }
th.name, td.name { text-align: left; white-space: normal; overflow-wrap: anywhere; }
tbody tr:nth-child(even) { background: #f8fafc; }
td.total { font-weight: 700; }
.note { color: #4a5560; font-size: .9rem; }
.ci { display: block; color: #4a5560; font-size: .8em; }
figure { margin: 0; overflow-x: auto; -webkit-overflow-scrolling: touch; }
svg.chart, svg.race { display: block; width: 100%; height: auto; margin: 0 auto; }
svg.chart { border: 1px solid var(--line); }
svg.race { max-width: 760px; }
/* A share cell is underlined by a bar as long as the share. */
td.share { background: linear-gradient(90deg, #6f9bd1 var(--share), transparent var(--share))
  left bottom / 100% 4px no-repeat; }
.alone li { margin: .2rem 0; }
details.chart { margin-top: .5rem; }
details.chart summary { cursor: pointer; color: var(--head); }
/* A player's chart opened takes the whole width. */
.player:has(details.chart[open]) { grid-column: 1 / -1; }
.players { display: grid; grid-template-columns: repeat(auto-fill, minmax(320px, 1fr));
  gap: 1rem; }
.player { border: 1px solid var(--line); border-radius: 6px; padding: .5rem .8rem;
  break-inside: avoid; }
.player h3 { margin: .2rem 0 .4rem; font-size: 1.1rem; overflow-wrap: anywhere; }
.player table th { width: 3.5rem; vertical-align: top; }
.player table td { text-align: left; white-space: normal; }
.won { color: #176b2c; font-weight: 600; }
.lost { color: #9a2a2a; text-decoration: line-through; }
header a { color: #fff; }
td.name a, .player h3 a { color: var(--head); }
footer { text-align: center; color: #6b7580; font-size: .85rem; padding: 2rem 1rem; }
@media (max-width: 600px) {
  body { font-size: 15px; }
  header h1 { font-size: 1.35rem; }
  main { padding: .6rem; }
  .rd, .early { display: none; }
  /* The chart keeps a size its names can be read at, to be scrolled sideways; being drawn,
     not a picture of pixels, it stays sharp when zoomed. */
  svg.chart { width: 800px; max-width: none; }
  th, td { padding: .3rem .3rem; }
  table { font-size: 14px; }
  /* Headers may take two lines; a name breaks between its words, not inside them. */
  th { white-space: normal; }
  th.name, td.name { overflow-wrap: break-word; }
}
@media print {
  header { background: none; color: #000; padding: 0 0 .5rem; border-bottom: 2px solid #000; }
  main { max-width: none; padding: 0; }
  body { font-size: 10pt; }
  .table, figure { overflow: visible; }
  .rd, .early { display: table-cell; }
  details.chart { display: none; }
  tbody tr:nth-child(even) { background: none; }
  h2 { break-after: avoid; }
  figure, .player { break-inside: avoid; }
  .players { display: block; }
  .player { margin-bottom: .6rem; }
  footer { display: none; }
}
)css";
