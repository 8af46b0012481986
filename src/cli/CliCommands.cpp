#include "Cli.h"

// Each command lives in a file of its own; this table is the one place that lists them.
int CmdNew(const QStringList& arguments, TCliIO& io);
int CmdInfo(const QStringList& arguments, TCliIO& io);
int CmdScoring(const QStringList& arguments, TCliIO& io);
int CmdTeams(const QStringList& arguments, TCliIO& io);
int CmdPlayers(const QStringList& arguments, TCliIO& io);
int CmdStandings(const QStringList& arguments, TCliIO& io);
int CmdSelections(const QStringList& arguments, TCliIO& io);
int CmdChart(const QStringList& arguments, TCliIO& io);
int CmdReport(const QStringList& arguments, TCliIO& io);
int CmdTemplate(const QStringList& arguments, TCliIO& io);
int CmdExportPicks(const QStringList& arguments, TCliIO& io);
int CmdImportPicks(const QStringList& arguments, TCliIO& io);
int CmdPublish(const QStringList& arguments, TCliIO& io);
int CmdOutlook(const QStringList& arguments, TCliIO& io);
int CmdServe(const QStringList& arguments, TCliIO& io);
int CmdHistory(const QStringList& arguments, TCliIO& io);
int CmdPopularity(const QStringList& arguments, TCliIO& io);
int CmdField(const QStringList& arguments, TCliIO& io);
int CmdRename(const QStringList& arguments, TCliIO& io);
int CmdInvite(const QStringList& arguments, TCliIO& io);
int CmdPrizes(const QStringList& arguments, TCliIO& io);
int CmdLock(const QStringList& arguments, TCliIO& io);
int CmdResults(const QStringList& arguments, TCliIO& io);
int CmdResult(const QStringList& arguments, TCliIO& io);

const std::vector<TCliCommand>& CliCommands() {
  static const std::vector<TCliCommand> commands = {
      {"new", "new DIR", CmdNew},
      {"info", "info DIR", CmdInfo},
      {"scoring", "scoring DIR RULE", CmdScoring},
      {"teams", "teams DIR", CmdTeams},
      {"players", "players DIR [--missing]", CmdPlayers},
      {"standings", "standings DIR [--by points|potential] [--format text|csv|json]", CmdStandings},
      {"selections", "selections DIR [--format text|json]", CmdSelections},
      {"chart", "chart DIR --png FILE [--player NAME]", CmdChart},
      {"report", "report DIR \"REPORT\" (--rtf FILE | --pdf FILE)", CmdReport},
      {"template", "template DIR --csv FILE", CmdTemplate},
      {"export-picks", "export-picks DIR --csv FILE", CmdExportPicks},
      {"import-picks", "import-picks DIR FILE [--replace] [--after-results]", CmdImportPicks},
      {"publish", "publish DIR (--html FILE [--on-save] [--threads N] | --stop-on-save)",
       CmdPublish},
      {"outlook",
       "outlook DIR [--model even|seed|ratings] [--ratings FILE] [--scale S] [--assume TEAM,...] "
       "[--format text|csv|json] [--threads N]",
       CmdOutlook},
      {"serve", "serve DIR [--port N] [--bind ADDRESS] [--until \"YYYY-MM-DD HH:MM\"]", CmdServe},
      {"history", "history DIR [--format text|csv|json]", CmdHistory},
      {"popularity", "popularity DIR [--format text|csv|json]", CmdPopularity},
      {"field", "field DIR FILE", CmdField},
      {"lock", "lock DIR", CmdLock},
      {"rename", "rename DIR OLD NEW", CmdRename},
      {"results", "results DIR FILE", CmdResults},
      {"result", "result DIR TEAM [SCORE]", CmdResult},
      {"invite", "invite DIR FILE", CmdInvite},
      {"prizes", "prizes DIR [--fee N] [--split 60,30,10|none]", CmdPrizes},
  };
  return commands;
}
