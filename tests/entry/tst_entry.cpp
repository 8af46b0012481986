// The player entry window through its handlers on a real window offscreen, the prompts
// answered by a script: players, picks by drag and drop with autofill, guesses, the audit,
// undo, quick entry, and a pool that changes behind the window.

#include <QAction>
#include <QCheckBox>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSettings>
#include <QUndoStack>
#include <map>
#include <set>

#include "EntryFixture.h"
#include "ShareCommands.h"
#include "SplashHelp02.h"
#include "StandingsByPoints.h"

namespace {

const QString kStopTitle = QStringLiteral("Courtsider 99");

// The rules every editing step keeps on the shown player's chart: a team on a line of round 2
// or later also stands on one of the two lines feeding it, every team on the chart stands on
// its own first-round line and only on lines of its own path, and each entry's round reached
// is the highest line it holds. Returns what is broken, or nothing.
QString BrokenRule(const TBracketList& chart, const TPlayerPicksListObject& player) {
  std::map<int, std::set<int>> feeders;
  for (int p = 0; p < chart.PathCount(); ++p) {
    const TWinnerPathItem* path = chart.Paths(p);
    for (int r = 2; r <= TWinnerPathItem::kRounds; ++r)
      feeders[path->Slot(r)].insert(path->Slot(r - 1));
  }
  std::map<const TChartEntry*, int> highest;
  for (int n = 1; n <= TBracketList::kSlotCount; ++n) {
    const TBracketItem* slot = chart.Slot(n);
    const TChartEntry* entry = slot->Team();
    if (!entry)
      continue;
    highest[entry] = std::max(highest[entry], static_cast<int>(slot->Round()));
    const TWinnerPathItem* path = chart.FindPath(*entry);
    if (!path || path->Slot(slot->Round()) != n)
      return QStringLiteral("slot %1 holds %2 off its path").arg(n).arg(entry->TeamName());
    if (chart.SlotOnPath(entry->Region(), entry->Seed(), 1)->Team() != entry)
      return QStringLiteral("%1 is not on its first-round line").arg(entry->TeamName());
    if (slot->Round() >= 2) {
      bool fed = false;
      for (int from : feeders[n])
        fed = fed || chart.Slot(from)->Team() == entry;
      if (!fed)
        return QStringLiteral("slot %1 is not fed by %2").arg(n).arg(entry->TeamName());
    }
  }
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    const TPlayerPickArrayObject* entry = player.Pick(i);
    const auto held = highest.find(entry);
    if (held != highest.end() && held->second != entry->RoundReached()) {
      return QStringLiteral("%1 reaches %2 but holds round %3")
          .arg(entry->TeamName())
          .arg(entry->RoundReached())
          .arg(held->second);
    }
  }
  return QString();
}

// Points now and still possible of the first player of a pool.
QPair<int, int> Score(const TFFDataModule& pool) {
  TStandingsByPoints standings;
  standings.Build(pool);
  const TStandingsItem& row = standings.StandingsItem(0);
  return {row.CurrentPoints(), row.PotentialPoints()};
}

}  // namespace

class TestEntry : public QObject {
  Q_OBJECT

 private slots:
  // --- Players ---------------------------------------------------------------------------------

  void aNewPlayerStandsOnTheFirstRound() {
    TEntryFixture f;
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Pat"));
    QVERIFY(player);
    QCOMPARE(f.Prompts.Shown().last().Title, kStopTitle);
    QCOMPARE(f.Prompts.Shown().last().Text, QStringLiteral("Enter new player name"));
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
    QCOMPARE(f.Form->cbxPlayerName->currentText(), QStringLiteral("Pat"));
    QCOMPARE(f.Occupied(), 64);
    QCOMPARE(f.NameIn(1), QStringLiteral("R1S1"));
    QVERIFY(f.Form->edtTotalPoints->isEnabled());
    QCOMPARE(f.Form->edtTotalPoints->displayText().trimmed(), QStringLiteral("0"));
    QVERIFY(f.Players().Modified());

    f.Form->actPlayerAuditExecute();
    const TFakePrompts::TShown audit = f.Prompts.Shown().last();
    QCOMPARE(audit.Text, QStringLiteral("Not all brackets have been completed"));
    QCOMPARE(audit.Title, kStopTitle);
    QCOMPARE(audit.IconKind, TPrompts::Icon::None);
  }

  void aNameMustBeGivenAndFitsTheFile() {
    TEntryFixture f;
    f.Add(QStringLiteral(" \t "));
    QCOMPARE(f.Prompts.Shown().last().Text, QStringLiteral("You must enter a player name"));
    QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    f.Prompts.QueueText(QString());  // Cancel
    f.Form->actPlayerAddExecute();
    QCOMPARE(f.Players().Count(), 0);

    // The field takes no more than the file keeps, so what is seen is what is saved.
    const QString longName = QStringLiteral("A Very Long Player Name For The Office Pool");
    QVERIFY(f.Add(longName));
    QCOMPARE(f.Prompts.LastMaxLength(), 35);
    QCOMPARE(f.Players().List()[0]->PlayerName(), longName.left(35));
    QCOMPARE(f.Form->cbxPlayerName->itemText(0), longName.left(35));
    // Blanks around a name are the organiser's.
    QCOMPARE(f.Add(QStringLiteral(" Lee "))->PlayerName(), QStringLiteral(" Lee "));
  }

  // A name the pool has already, a look-alike of one, or one its files cannot keep, is refused
  // in the picks import's words, naming the player the pool has, and nothing is added: each
  // name is one player's, and what is shown is what is saved. The name comes back selected,
  // to be mended or typed anew.
  void namesThePoolHasOrCannotStoreAreRefused() {
    TEntryFixture f;
    const TPlayerPicksListObject* sam = f.Add(QStringLiteral("Sam"));
    f.Drop(1, 65);
    const QString taken = QStringLiteral("The pool already has a player named \"Sam\"");
    const QList<QPair<QString, QString>> refused = {
        {QStringLiteral("Sam"), taken},
        {QStringLiteral("sam "), taken},
        {QStringLiteral("\u00a0S\u00adAM"), taken},
        {QStringLiteral("\u0141ukasz \u017b\u00f3\u0142w \u2603"),
         QStringLiteral("The player name \"\u0141ukasz \u017b\u00f3\u0142w \u2603\" holds "
                        "\"\u0141\", a character a pool cannot store")},
        {QStringLiteral("Tom\x1b[31m"), QStringLiteral("The player name holds the control "
                                                       "character U+001B, which a pool cannot "
                                                       "store")},
        {QStringLiteral("Bell\a"), QStringLiteral("The player name holds the control character "
                                                  "U+0007, which a pool cannot store")},
    };
    for (const auto& [name, why] : refused) {
      f.Prompts.Reset();
      f.Prompts.QueueText(name);
      f.Form->actPlayerAddExecute();
      const QList<TFakePrompts::TShown>& shown = f.Prompts.Shown();
      QCOMPARE(shown.size(), 3);
      QCOMPARE(shown[1].Text, why);
      QCOMPARE(shown[1].IconKind, TPrompts::Icon::Stop);
      QCOMPARE(shown[2].Text, TfrmPlayerEntryForm::kNamePrompt);
      QCOMPARE(shown[2].Selected, name);
    }
    QCOMPARE(f.Players().Count(), 1);
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
    QCOMPARE(f.Form->CurrentPlayer(), sam);
    QCOMPARE(sam->Pick(0)->RoundReached(), 2);
    // Mended in the dialog that came back, the name is taken as typed; "José" and "Muñoz" are
    // the code page's.
    f.Prompts.Reset();
    f.Prompts.QueueText(QStringLiteral("SAM"));
    f.Prompts.QueueText(QStringLiteral("Jos\u00e9 Mu\u00f1oz "));
    f.Form->actPlayerAddExecute();
    QCOMPARE(f.Prompts.Shown().size(), 3);
    QCOMPARE(f.Players().Count(), 2);
    QCOMPARE(f.Form->CurrentPlayer()->PlayerName(), QStringLiteral("Jos\u00e9 Mu\u00f1oz "));
    // No name at all ends Add, as it always has.
    f.Prompts.Reset();
    f.Prompts.QueueText(QStringLiteral("\u00a0\u00ad"));
    f.Form->actPlayerAddExecute();
    QCOMPARE(f.Prompts.Texts().last(), QStringLiteral("You must enter a player name"));
    QCOMPARE(f.Prompts.Shown().size(), 2);
  }

  // Delete asks about the player shown, by name and with the games picked, and deletes that
  // one; with none shown it is off.
  void deletingNamesThePlayerShown() {
    TEntryFixture f;
    f.Add(QStringLiteral("Ann"));
    const TPlayerPicksListObject* tom = f.Add(QStringLiteral("Tom Baker"));
    f.Drop(1, 127);
    f.Prompts.QueueAnswer(TPrompts::Answer::No);
    f.Form->actPlayerDeleteExecute();
    QCOMPARE(f.Prompts.Shown().last().Text, QStringLiteral("Delete Tom Baker and all 6 picks?"));
    QCOMPARE(f.Prompts.Shown().last().ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    QCOMPARE(f.Players().Count(), 2);
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actPlayerDeleteExecute();
    QCOMPARE(f.Players().Count(), 1);
    QVERIFY(f.Players().List()[0].get() != tom);
    QCOMPARE(f.Players().List()[0]->PlayerName(), QStringLiteral("Ann"));
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), -1);
    QVERIFY(!f.Form->CurrentPlayer());
    QCOMPARE(f.Occupied(), 0);
    QVERIFY(!f.Form->edtTotalPoints->isEnabled());
    QVERIFY(!f.Form->actPlayerDelete->isEnabled());
    const int asked = f.Prompts.Shown().size();
    f.Form->actPlayerDeleteExecute();
    QCOMPARE(f.Prompts.Shown().size(), asked);
    QCOMPARE(f.Players().Count(), 1);

    f.Form->cbxPlayerName->setCurrentIndex(0);
    f.Form->cbxPlayerNameClick();
    QVERIFY(f.Form->actPlayerDelete->isEnabled());
    f.Form->actPlayerDeleteExecute();
    QCOMPARE(f.Prompts.Shown().last().Text,
             QStringLiteral("Delete Ann? No picks are entered yet."));
  }

  void clearBracketsStartsThePlayerAgain() {
    TEntryFixture f;
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Kim"));
    f.Drop(1, 127);
    f.TypeGuess(QStringLiteral("140"));
    f.Form->edtTotalPointsExit();
    f.Prompts.QueueAnswer(TPrompts::Answer::No);
    f.Form->actPlayerClearExecute();
    QCOMPARE(f.Prompts.Shown().last().Text,
             QStringLiteral("This will clear the bracket information. Do you wish to continue?"));
    QCOMPARE(player->Pick(0)->RoundReached(), 7);
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actPlayerClearExecute();
    QCOMPARE(player->Pick(0)->RoundReached(), 1);
    QCOMPARE(player->TieBreakerPoints(), 0);
    QCOMPARE(f.Occupied(), 64);
    QCOMPARE(f.Form->CurrentPlayer(), player);
    QCOMPARE(f.Form->edtTotalPoints->displayText().trimmed(), QStringLiteral("0"));
  }

  void aPlayerAddedBeforeAllTeamsKeepsEmptyEntries() {
    TEntryFixture f(60);
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Early"));
    QCOMPARE(f.Occupied(), 60);
    for (int i = 60; i < 64; ++i) {
      QCOMPARE(player->Pick(i)->TeamName(), QString());
      QCOMPARE(player->Pick(i)->RoundReached(), 0);
    }
    QVERIFY(!f.Slot(64)->Team());
    // The lines with no team take nothing and give nothing.
    f.Drop(64, 64);
    f.Drop(63, 64);
    QCOMPARE(f.Prompts.Texts().last(),
             QStringLiteral("Team has been dropped on an invalid chart path."));
    QVERIFY(!f.Slot(64)->Team());
  }

  // --- Picks by drag and drop ---------------------------------------------------------------

  void aDropOnTheChampionsLineFillsThePath() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    const TBracketList& chart = f.Chart();
    f.Drop(1, 127);
    for (int r = 1; r <= 7; ++r)
      QCOMPARE(f.NameIn(PathSlot(chart, 1, r)), QStringLiteral("R1S1"));
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 7);
    QCOMPARE(f.DragsStarted, QList<int>{1});

    // Another team of the same region to the top displaces the first from round 2 on.
    f.Drop(2, 127);
    QCOMPARE(f.Entry(QStringLiteral("R1S16"))->RoundReached(), 7);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 1);
    QCOMPARE(f.NameIn(PathSlot(chart, 1, 2)), QStringLiteral("R1S16"));

    // One of the other half takes only the lines of its own path: the first team keeps the
    // left side's final.
    f.Drop(1, 125);
    f.Drop(33, 127);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 6);
    QCOMPARE(f.Entry(QStringLiteral("R3S1"))->RoundReached(), 7);
    // It came back over the lines the second team held on its way: that one is out again.
    QCOMPARE(f.Entry(QStringLiteral("R1S16"))->RoundReached(), 1);
    QVERIFY(f.Players().Modified());
  }

  void aDropOnALineItHoldsTakesThePickBack() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    const TBracketList& chart = f.Chart();
    f.Drop(1, 127);
    f.Drop(127, PathSlot(chart, 1, 3));
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 3);
    for (int r = 4; r <= 7; ++r)
      QVERIFY(!chart.Slot(PathSlot(chart, 1, r))->Team());
    QCOMPARE(f.NameIn(PathSlot(chart, 1, 3)), QStringLiteral("R1S1"));
    f.Drop(PathSlot(chart, 1, 3), 1);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 1);
    QCOMPARE(f.Occupied(), 64);
  }

  void aDropOffThePathIsRefused() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    const TBracketList& chart = f.Chart();
    f.Drop(1, 127);
    const int done = f.Form->UndoStack()->count();
    QVERIFY(f.Pool.Save());
    // The other half, another branch of the same region, another team's first-round line.
    for (int target : {PathSlot(chart, 33, 2), PathSlot(chart, 3, 2), 2}) {
      f.Prompts.Reset();
      f.Drop(PathSlot(chart, 1, 3), target);
      QCOMPARE(f.Prompts.Texts(),
               QStringList{QStringLiteral("Team has been dropped on an invalid chart path.")});
      QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::Stop);
      QCOMPARE(f.Prompts.Shown().last().Title, kStopTitle);
    }
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 7);
    QCOMPARE(f.NameIn(2), QStringLiteral("R1S16"));
    QCOMPARE(f.Form->UndoStack()->count(), done);
    QVERIFY(!f.Pool.Modified());
  }

  void emptyDragsChangeNothing() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    QVERIFY(f.Pool.Save());
    const int done = f.Form->UndoStack()->count();
    // From an empty line: no drag starts, and a drop changes nothing.
    f.Drop(65, 97);
    QVERIFY(f.DragsStarted.isEmpty());
    // Released outside every line.
    f.DropAt(1, QPoint(2, 590));
    QCOMPARE(f.DragsStarted, QList<int>{1});
    // Only a plain left press drags.
    f.Form->imgBracketsMouseDown(Qt::RightButton, false, Inside(f.Slot(1)));
    f.Form->imgBracketsMouseDown(Qt::LeftButton, true, Inside(f.Slot(1)));
    QCOMPARE(f.DragsStarted.size(), 1);
    QVERIFY(!f.Form->imgBracketsDragOver(false));
    QVERIFY(f.Prompts.Shown().size() == 1);  // the name only
    QCOMPARE(f.Occupied(), 64);
    QVERIFY(!f.Pool.Modified());
    QCOMPARE(f.Form->UndoStack()->count(), done);
  }

  void aFullChartPassesTheAudit() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    // Every first-round winner is the upper line; each later game by a double-click.
    for (int n = 1; n <= 126; ++n) {
      if (f.Slot(n)->Team() && (n > 64 || n % 2 == 1))
        f.DoubleClick(n);
    }
    QCOMPARE(f.Occupied(), 127);
    f.Form->actPlayerAuditExecute();
    QCOMPARE(f.Prompts.Texts().last(), QStringLiteral("Audit check passed!"));
    QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::None);
    QCOMPARE(BrokenRule(f.Chart(), *f.Form->CurrentPlayer()), QString());
  }

  void aDoubleClickAdvancesOneLine() {
    TEntryFixture f;
    f.Add(QStringLiteral("Pat"));
    const TBracketList& chart = f.Chart();
    f.DoubleClick(1);
    QCOMPARE(f.NameIn(PathSlot(chart, 1, 2)), QStringLiteral("R1S1"));
    f.DoubleClick(PathSlot(chart, 1, 2));
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 3);
    // Onto a line another team holds: as a drop there, the other team loses it.
    f.DoubleClick(2);
    QCOMPARE(f.NameIn(PathSlot(chart, 1, 2)), QStringLiteral("R1S16"));
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 1);
    QVERIFY(!chart.Slot(PathSlot(chart, 1, 3))->Team());
    // The champion goes no further; an empty line does nothing.
    f.Drop(1, 127);
    const int done = f.Form->UndoStack()->count();
    f.DoubleClick(127);
    f.DoubleClick(PathSlot(chart, 33, 2));
    QCOMPARE(f.Form->UndoStack()->count(), done);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 7);
    // No drag starts on the second click of a double-click.
    QCOMPARE(f.DragsStarted.size(), 1);
  }

  // Once a game has its winner, a paper entry handed in before it may still be typed in: the
  // first change of an opening asks, No by default; a Yes holds until the window is put away.
  void afterAResultPicksAreEnteredOnlyWhenAsked() {
    TEntryFixture f;
    const TPlayerPicksListObject* early = f.Add(QStringLiteral("Early"));
    QVERIFY(f.Pool.AdvanceTeam(1));
    const QStringList asked{TOpenPool::kGamesPlayedQuestion};
    f.Prompts.Reset();
    f.Drop(1, 127);
    f.TypeGuess(QStringLiteral("140"));
    QVERIFY(!f.Form->edtTotalPointsExit());
    QCOMPARE(f.Prompts.Texts(), asked + asked);
    QCOMPARE(f.Prompts.Shown().first().Default, TPrompts::Answer::No);
    QCOMPARE(early->Pick(0)->RoundReached(), 1);
    QCOMPARE(early->TieBreakerPoints(), 0);
    QCOMPARE(f.Form->edtTotalPoints->text(), QStringLiteral("0"));
    f.Prompts.Reset();
    f.Form->actPlayerAddExecute();
    f.Form->actFileImportExecute();
    QCOMPARE(f.Prompts.Texts(), asked + asked);
    QCOMPARE(f.Players().Count(), 1);

    f.Prompts.Reset();
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Drop(1, 127);
    const TPlayerPicksListObject* paper = f.Add(QStringLiteral("Paper"));
    f.DoubleClick(2);
    QCOMPARE(f.Prompts.Texts(), asked + QStringList{TfrmPlayerEntryForm::kNamePrompt});
    QCOMPARE(early->Pick(0)->RoundReached(), 7);
    QVERIFY(paper);
    QCOMPARE(f.Entry(QStringLiteral("R1S16"))->RoundReached(), 2);

    // Put away and opened again, it asks again; so does an import from the main window.
    f.Form->show();
    f.Form->close();
    f.Prompts.Reset();
    f.Form->cbxPlayerName->setCurrentIndex(0);
    f.Form->cbxPlayerNameClick();
    f.Drop(1, 1);
    TShareCommands::ImportPlayers(f.Pool, nullptr);
    QCOMPARE(f.Prompts.Texts(), asked + asked);
    QCOMPARE(early->Pick(0)->RoundReached(), 7);
  }

  // --- The guess -------------------------------------------------------------------------------

  void theGuessIsStoredOnLeavingTheFieldAndAtADrop() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    const TPlayerPicksListObject* bob = f.Add(QStringLiteral("Bob"));
    f.TypeGuess(QStringLiteral("142"));
    QVERIFY(f.Form->edtTotalPointsExit());
    QCOMPARE(bob->TieBreakerPoints(), 142);

    // Typed, then another player chosen: the guess stays with the first.
    f.TypeGuess(QStringLiteral("99"));
    f.Form->cbxPlayerName->setCurrentIndex(0);
    f.Form->cbxPlayerNameClick();
    QCOMPARE(bob->TieBreakerPoints(), 99);
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Form->edtTotalPoints->displayText().trimmed(), QStringLiteral("0"));

    // Typed, then a drop: stored first, and the drop done.
    f.TypeGuess(QStringLiteral("77"));
    f.Drop(1, 65);
    QCOMPARE(ann->TieBreakerPoints(), 77);
    QCOMPARE(ann->Pick(0)->RoundReached(), 2);
  }

  void aGuessThatIsNoNumberStopsTheStep() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    f.Add(QStringLiteral("Bob"));
    f.Form->cbxPlayerName->setCurrentIndex(0);
    f.Form->cbxPlayerNameClick();
    f.TypeGuess(QStringLiteral("12"));
    f.Form->edtTotalPointsExit();
    // Blanks between digits pass the mask but are no number: the drop is abandoned.
    f.TypeGuess(QStringLiteral("4 2"));
    f.Drop(1, 65);
    QCOMPARE(f.Prompts.Texts().last(), QStringLiteral("'4 2' is not a valid integer value"));
    QCOMPARE(f.Prompts.Shown().last().Title, kApplicationTitle);
    QCOMPARE(ann->TieBreakerPoints(), 12);
    QCOMPARE(ann->Pick(0)->RoundReached(), 1);
    // Nor can another player be chosen, nor the window be closed, and lose it.
    f.Form->cbxPlayerName->setCurrentIndex(1);
    f.Form->cbxPlayerNameClick();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), 0);
    QVERIFY(!f.Form->FormClose());

    // Leaving the field without its first digit is refused by the mask.
    f.Prompts.Reset();
    f.TypeGuess(QStringLiteral(" 5"));
    QVERIFY(!f.Form->edtTotalPointsExit());
    QCOMPARE(
        f.Prompts.Texts(),
        QStringList{QStringLiteral("Invalid input value.  Use escape key to abandon changes")});
    QCOMPARE(ann->TieBreakerPoints(), 12);
  }

  // --- Players from and to a picks sheet -----------------------------------------------------

  void anImportKeepsTheGuessTypedAndListsTheNewPlayers() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    f.TypeGuess(QStringLiteral("77"));
    const QByteArray onDisk = TestPools::ReadBytes(QDir(f.PoolDir).filePath("PlayPick.dat"));
    f.Prompts.Reset();
    f.Prompts.QueueFileName(f.Sheet("in.csv", {{"Bob", "140", "R1S1"}, {"Cy", "", "", "R1S9"}}));
    f.Form->actFileImportExecute();
    QCOMPARE(ann->TieBreakerPoints(), 77);
    QCOMPARE(f.Prompts.Shown().size(), 2);
    QCOMPARE(f.Prompts.Shown().at(0).Title, TShareCommands::kImportTitle);
    const TFakePrompts::TShown& told = f.Prompts.Shown().at(1);
    QCOMPARE(told.Text,
             QStringLiteral("Imported 2 new players. Save the pool to keep the changes."));
    QCOMPARE(told.Asker, f.Form.get());
    // The list follows the document; the player shown stays shown.
    QCOMPARE(f.Form->cbxPlayerName->count(), 3);
    QCOMPARE(f.Form->cbxPlayerName->itemText(1), QStringLiteral("Bob"));
    QCOMPARE(f.Form->cbxPlayerName->itemText(2), QStringLiteral("Cy"));
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), 0);
    QCOMPARE(f.Form->edtTotalPoints->text(), QStringLiteral("77"));
    QCOMPARE(f.Players().Items(1)->Pick(0)->RoundReached(), 2);
    QCOMPARE(f.Players().Items(2)->Pick(8)->RoundReached(), 2);
    // In the open pool, not yet on disk.
    QVERIFY(f.Pool.Modified());
    QCOMPARE(TestPools::ReadBytes(QDir(f.PoolDir).filePath("PlayPick.dat")), onDisk);

    // The import is one step of this window's undo.
    f.Form->actEditUndoExecute();
    QCOMPARE(f.Players().Count(), 1);
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(ann->TieBreakerPoints(), 77);
    f.Form->actEditRedoExecute();
    QCOMPARE(f.Form->cbxPlayerName->count(), 3);
  }

  void aRefusedSheetLeavesThePoolAsItWas() {
    TEntryFixture f;
    f.Add(QStringLiteral("Ann"));
    f.Drop(1, 127);
    QVERIFY(f.Pool.Save());
    const QString file = QDir(f.PoolDir).filePath("PlayPick.dat");
    const QByteArray onDisk = TestPools::ReadBytes(file);
    const QByteArray inMemory = TPicksSheet(*f.Pool.DataModule()).Export();
    const int undoSteps = f.Form->UndoStack()->count();
    auto unchanged = [&] {
      QVERIFY(!f.Pool.Modified());
      QCOMPARE(TPicksSheet(*f.Pool.DataModule()).Export(), inMemory);
      QCOMPARE(TestPools::ReadBytes(file), onDisk);
      QCOMPARE(f.Form->cbxPlayerName->count(), 1);
      QCOMPARE(f.Form->UndoStack()->count(), undoSteps);
    };

    f.Prompts.Reset();
    f.Prompts.QueueFileName(f.Sheet("bad.csv", {{"Bob", "12"}, {"Cy", "abc", "R1S16", "R1S2"}}));
    f.Form->actFileImportExecute();
    const TFakePrompts::TShown& refusal = f.Prompts.Shown().last();
    QCOMPARE(refusal.IconKind, TPrompts::Icon::Stop);
    QCOMPARE(refusal.Asker, f.Form.get());
    QVERIFY(refusal.Text.startsWith(TShareCommands::kNothingImported));
    QVERIFY2(refusal.Text.contains(QStringLiteral("Row 3, column B")), qPrintable(refusal.Text));
    unchanged();

    // A player the pool has: replaced only on Yes, and the chart shown follows.
    const QString again = f.Sheet("again.csv", {{"Ann", "150", "R1S16"}});
    f.Prompts.Reset();
    f.Prompts.QueueFileName(again);
    f.Form->actFileImportExecute();
    QCOMPARE(f.Prompts.Shown().at(1).Text, TShareCommands::kReplaceQuestion.arg(1));
    // No is an answer, not a fault of the sheet.
    QCOMPARE(f.Prompts.Shown().last().Text, QStringLiteral("Import cancelled; nothing changed."));
    QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::Information);
    unchanged();
    f.Prompts.Reset();
    f.Prompts.QueueFileName(again);
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actFileImportExecute();
    QCOMPARE(f.Prompts.Texts().last(),
             QStringLiteral("Replaced the picks of 1 player. Save the pool to keep the changes."));
    QCOMPARE(f.Players().Count(), 1);
    QCOMPARE(f.Form->edtTotalPoints->text(), QStringLiteral("150"));
    QCOMPARE(f.NameIn(PathSlot(f.Chart(), 1, 2)), QStringLiteral("R1S16"));
    QCOMPARE(f.NameIn(127), QString());
  }

  void aGuessThatIsNoNumberStopsImportAndExport() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    f.TypeGuess(QStringLiteral("4 2"));
    const QString out = f.Dir.filePath("out.csv");
    for (const auto handler :
         {&TfrmPlayerEntryForm::actFileImportExecute, &TfrmPlayerEntryForm::actFileExportExecute}) {
      f.Prompts.Reset();
      f.Prompts.QueueFileName(f.Sheet("in.csv", {{"Bob"}}));
      (f.Form.get()->*handler)();
      // Refused before any file is asked for.
      QCOMPARE(f.Prompts.Texts(),
               QStringList{QStringLiteral("'4 2' is not a valid integer value")});
    }
    QCOMPARE(f.Players().Count(), 1);
    QCOMPARE(ann->TieBreakerPoints(), 0);
    QVERIFY(!QFile::exists(out));
  }

  void anExportWritesTheGuessTyped() {
    TEntryFixture f;
    f.Add(QStringLiteral("Ann"));
    f.Add(QStringLiteral("Bob"));
    f.TypeGuess(QStringLiteral("123"));
    const QString out = f.Dir.filePath("out.csv");
    f.Prompts.Reset();
    f.Prompts.QueueFileName(out);
    f.Form->actFileExportExecute();
    QCOMPARE(f.Prompts.Shown().at(0).Title, TShareCommands::kExportTitle);
    QCOMPARE(f.Prompts.Shown().at(0).Text, f.Dir.filePath("Test picks.csv"));
    const QByteArray sheet = TestPools::ReadBytes(out);
    QCOMPARE(sheet, TPicksSheet(*f.Pool.DataModule()).Export());
    QVERIFY(sheet.contains("\nBob,123,"));
    const TFakePrompts::TShown& told = f.Prompts.Shown().last();
    QCOMPARE(told.Text, TShareCommands::kExported.arg(2).arg(QDir::toNativeSeparators(out)));
    QCOMPARE(told.IconKind, TPrompts::Icon::Information);

    f.Prompts.Reset();
    f.Prompts.QueueFileName(f.Dir.filePath("no/such/folder/out.csv"));
    f.Form->actFileExportExecute();
    QCOMPARE(f.Prompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    QVERIFY(f.Prompts.Texts().last().startsWith(TShareCommands::kCannotWrite.arg(QString())));
  }

  // --- Activation and closing ----------------------------------------------------------------

  void comingBackShowsNoPlayerAndKeepsThePicks() {
    TEntryFixture f;
    f.Form->FormActivate();
    QCOMPARE(f.TipsShown, 1);
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Pat"));
    f.Drop(1, 127);
    f.TypeGuess(QStringLiteral("150"));
    f.Form->edtTotalPointsExit();

    // Coming back is no new opening: the tips came once.
    f.Form->FormActivate();
    QCOMPARE(f.TipsShown, 1);
    QVERIFY(!f.Form->CurrentPlayer());
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), -1);
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
    QCOMPARE(f.Occupied(), 0);
    QVERIFY(!f.Form->edtTotalPoints->isEnabled());
    QCOMPARE(f.Form->edtTotalPoints->text(), QStringLiteral("0"));
    QCOMPARE(player->Pick(0)->RoundReached(), 7);
    QCOMPARE(player->TieBreakerPoints(), 150);
    f.Form->actPlayerAuditExecute();
    QCOMPARE(f.Prompts.Texts().last(), QStringLiteral("Not all brackets have been completed"));

    // Opened again, the window shows them again; ticked, they stay away.
    f.Form->show();
    f.Form->close();
    f.Form->FormActivate();
    QCOMPARE(f.TipsShown, 2);
    f.Form->TipsDialog()->chkDontShow->setChecked(true);
    f.Form->show();
    f.Form->close();
    f.Form->FormActivate();
    QCOMPARE(f.TipsShown, 2);
  }

  void closingStoresTheGuessAndShowsNoPlayer() {
    TEntryFixture f;
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Pat"));
    f.TypeGuess(QStringLiteral("61"));
    QVERIFY(f.Form->FormClose());
    QCOMPARE(player->TieBreakerPoints(), 61);
    QVERIFY(!f.Form->CurrentPlayer());
    QVERIFY(!f.Pool.ShownPlayer());
    QCOMPARE(f.Occupied(), 0);
  }

  void theWindowKeepsItsPlaceAndHelp() {
    {
      TEntryFixture f;
      QCOMPARE(f.Form->size(), QSize(662, 478));
      QCOMPARE(f.Form->pos(), QPoint(82, 53));
      f.Form->resize(700, 500);
      f.Form->FormResize();
      QCOMPARE(f.Form->sbxBracket->height(), 500 - 130);
      f.Form->resize(900, 900);
      f.Form->FormResize();
      QCOMPARE(f.Form->sbxBracket->height(), 610);
      f.Form->actHelpExecute();
      QCOMPARE(f.Help.Contexts(), QList<int>{240});
      QCOMPARE(f.Form->windowTitle(), QStringLiteral("Player Entry "));
      f.Form.reset();
      TRegistry registry;
      QVERIFY(registry.OpenKey(TRegistry::kFormStateKey + QStringLiteral("\\PlayerEntry"), false));
      QCOMPARE(registry.ReadString(QStringLiteral("Width")), QStringLiteral("900"));
      QCOMPARE(registry.ReadString(QStringLiteral("Height")), QStringLiteral("900"));
    }
  }

  // --- Undo and quick entry ------------------------------------------------------------------

  void everyChangeToAPlayerIsUndone() {
    TEntryFixture f;
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Pat"));
    f.Drop(1, 127);
    f.TypeGuess(QStringLiteral("130"));
    f.Form->edtTotalPointsExit();
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actPlayerClearExecute();
    QCOMPARE(player->Pick(0)->RoundReached(), 1);

    f.Form->actEditUndoExecute();  // the clear
    QCOMPARE(player->Pick(0)->RoundReached(), 7);
    QCOMPARE(player->TieBreakerPoints(), 130);
    QCOMPARE(f.NameIn(127), QStringLiteral("R1S1"));
    QCOMPARE(f.Form->edtTotalPoints->displayText().trimmed(), QStringLiteral("130"));
    f.Form->actEditUndoExecute();  // the guess
    QCOMPARE(player->TieBreakerPoints(), 0);
    f.Form->actEditUndoExecute();  // the drop
    QCOMPARE(player->Pick(0)->RoundReached(), 1);
    QVERIFY(!f.Slot(127)->Team());
    f.Form->actEditRedoExecute();
    QCOMPARE(player->Pick(0)->RoundReached(), 7);
    QCOMPARE(f.NameIn(127), QStringLiteral("R1S1"));
    f.Form->actEditUndoExecute();
    f.Form->actEditUndoExecute();  // the new player
    QCOMPARE(f.Players().Count(), 0);
    QVERIFY(!f.Form->CurrentPlayer());
    QCOMPARE(f.Form->cbxPlayerName->count(), 0);
    QCOMPARE(f.Occupied(), 0);
    f.Form->actEditRedoExecute();
    QCOMPARE(f.Players().Count(), 1);
    QCOMPARE(f.Form->cbxPlayerName->count(), 1);
  }

  void aDeletedPlayerComesBackWhereItWas() {
    TEntryFixture f;
    f.Add(QStringLiteral("Ann"));
    f.Add(QStringLiteral("Bob"));
    f.Add(QStringLiteral("Cy"));
    f.Form->cbxPlayerName->setCurrentIndex(1);
    f.Form->cbxPlayerNameClick();
    f.Drop(1, 65);
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actPlayerDeleteExecute();
    QCOMPARE(f.Players().Count(), 2);
    f.Form->actEditUndoExecute();
    QCOMPARE(f.Players().Count(), 3);
    QCOMPARE(f.Players().List()[1]->PlayerName(), QStringLiteral("Bob"));
    QCOMPARE(f.Players().List()[1]->Pick(0)->RoundReached(), 2);
    QCOMPARE(f.Form->cbxPlayerName->itemText(1), QStringLiteral("Bob"));
  }

  // The history outlives a change of player and a return to the window: an undo shows the
  // player it changes, and undoes it there.
  void anUndoShowsThePlayerItChanges() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    const TPlayerPicksListObject* bob = f.Add(QStringLiteral("Bob"));
    f.Form->cbxPlayerName->setCurrentIndex(0);
    f.Form->cbxPlayerNameClick();
    f.Drop(1, 127);
    f.Form->cbxPlayerName->setCurrentIndex(1);
    f.Form->cbxPlayerNameClick();
    f.Form->FormActivate();
    QVERIFY(f.Form->actEditUndo->isEnabled());
    f.Form->actEditUndoExecute();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), 0);
    QCOMPARE(ann->Pick(0)->RoundReached(), 1);
    QVERIFY(!f.Slot(127)->Team());
    f.Form->cbxPlayerName->setCurrentIndex(1);
    f.Form->cbxPlayerNameClick();
    f.Form->actEditRedoExecute();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.NameIn(127), QStringLiteral("R1S1"));
    QCOMPARE(bob->Pick(0)->RoundReached(), 1);

    // A player deleted comes back shown.
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    f.Form->actPlayerDeleteExecute();
    QVERIFY(!f.Form->CurrentPlayer());
    f.Form->actEditUndoExecute();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Occupied(), 64 + 6);
  }

  void pageKeysMoveThroughThePlayers() {
    TEntryFixture f;
    const TPlayerPicksListObject* ann = f.Add(QStringLiteral("Ann"));
    const TPlayerPicksListObject* bob = f.Add(QStringLiteral("Bob"));
    f.Form->FormActivate();
    QCOMPARE(f.Form->actPlayerNext->shortcut(), QKeySequence(Qt::Key_PageDown));
    QCOMPARE(f.Form->actPlayerPrevious->shortcut(), QKeySequence(Qt::Key_PageUp));
    f.Form->actPlayerNextExecute();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    f.TypeGuess(QStringLiteral("88"));
    f.Form->actPlayerNextExecute();
    QCOMPARE(f.Form->CurrentPlayer(), bob);
    QCOMPARE(ann->TieBreakerPoints(), 88);
    QCOMPARE(f.Form->cbxPlayerName->currentIndex(), 1);
    f.Form->actPlayerNextExecute();
    QCOMPARE(f.Form->CurrentPlayer(), bob);
    f.Form->actPlayerPreviousExecute();
    QCOMPARE(f.Form->CurrentPlayer(), ann);
    QCOMPARE(f.Occupied(), 64);
    QVERIFY(
        f.Form->actEditRedo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    QVERIFY(f.Form->actEditUndo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
  }

  // --- A random walk keeps the rules ---------------------------------------------------------

  void randomEditsKeepTheChartWhole() {
    TEntryFixture f;
    QRandomGenerator random(20261208);
    // Results so far: some teams advanced on the results chart.
    for (int i = 0; i < 80; ++i) {
      const int slot = static_cast<int>(random.bounded(1, 127));
      if (f.Pool.ResultsBracket()->Slot(slot)->Team())
        f.Pool.AdvanceTeam(slot);
    }
    // An entry handed in before the first game.
    f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Walker"));
    const TBracketList& chart = f.Chart();
    for (int step = 0; step < 1500; ++step) {
      const int kind = static_cast<int>(random.bounded(10));
      if (kind < 5) {
        int from = static_cast<int>(random.bounded(1, 128));
        // Mostly along the dragged team's own path, sometimes anywhere.
        int to = static_cast<int>(random.bounded(1, 128));
        if (chart.Slot(from)->Team() && random.bounded(4) != 0) {
          const TWinnerPathItem* path = chart.FindPath(*chart.Slot(from)->Team());
          to = path->Slot(static_cast<int>(random.bounded(1, 8)));
        }
        f.Drop(from, to);
      } else if (kind < 8) {
        f.DoubleClick(static_cast<int>(random.bounded(1, 128)));
      } else if (kind < 9) {
        f.Form->actEditUndoExecute();
      } else {
        f.Form->actEditRedoExecute();
      }
      const QString broken = BrokenRule(chart, *player);
      if (!broken.isEmpty())
        QFAIL(qPrintable(QStringLiteral("step %1: %2").arg(step).arg(broken)));
    }
    QVERIFY(f.Occupied() > 64);

    // Saved and read back, the player scores as a chart rebuilt from the stored picks does.
    const QPair<int, int> before = Score(*f.Pool.DataModule());
    QVERIFY(f.Pool.Save());
    auto reopened = TestPools::OpenReadOnly(f.PoolDir);
    QCOMPARE(Score(*reopened), before);
    TPlayerPicksListObject& stored = *reopened->PlayerPicksFile().List()[0];
    std::array<int32_t, TPlayerPicksListObject::kPickCount> storedRounds{};
    for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
      storedRounds[static_cast<size_t>(i)] = stored.Pick(i)->RoundReached();
    TBracketList rebuilt;
    rebuilt.PlaceTeams(stored);
    for (int i = 0; i < rebuilt.Count(); ++i) {
      if (TChartEntry* entry = rebuilt.Items(i)->Team())
        entry->SetRoundReached(rebuilt.Items(i)->Round());
    }
    for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
      QCOMPARE(stored.Pick(i)->RoundReached(), storedRounds[static_cast<size_t>(i)]);
    QCOMPARE(Score(*reopened), before);
  }

  // --- The pool changing behind the window ---------------------------------------------------

  void unlockingOrReplacingThePoolResetsTheWindow() {
    for (const bool replace : {false, true}) {
      QTemporaryDir other;
      TEntryFixture f;
      f.Form->show();
      f.Add(QStringLiteral("Ann"));
      f.Drop(1, 127);
      QWidget* picture = f.Form->imgBrackets;
      const QPoint champion = Inside(f.Slot(127));
      QMouseEvent over(QEvent::MouseMove, champion, picture->mapToGlobal(champion), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &over);
      QVERIFY(f.Form->sbxBracket->HoverSlot());

      if (replace) {
        auto module = TestPools::CreatePool(other.path());
        TestPools::AddFullField(module->TeamsFile());
        module->SystemFile().SetFinalized(true);
        TestPools::AddPlayer(*module, QStringLiteral("Zed"));
        f.Pool.SetDataModule(std::move(module));
        QCOMPARE(f.Form->cbxPlayerName->count(), 1);
        QCOMPARE(f.Form->cbxPlayerName->itemText(0), QStringLiteral("Zed"));
      } else {
        f.Pool.Unlock();
        QVERIFY(!f.Form->isVisible());
        QCOMPARE(f.Form->cbxPlayerName->count(), 0);
      }
      QVERIFY(!f.Form->CurrentPlayer());
      // What is under the mouse is a line of the chart in place, and an empty one.
      const TBracketItem* hover = f.Form->sbxBracket->HoverSlot();
      QVERIFY(!hover || (f.Chart().IndexOf(hover) >= 0 && !hover->Team()));
      QCOMPARE(f.Occupied(), 0);
      QVERIFY(!f.Form->edtTotalPoints->isEnabled());

      // The mouse and every command after it: nothing of the old pool is touched.
      QApplication::sendEvent(picture, &over);
      const int players = f.Players().Count();
      f.Drop(1, 127);
      f.DoubleClick(1);
      f.Form->imgBracketsMouseMove(champion);
      f.Form->cbxPlayerNameClick();
      f.Form->edtTotalPointsExit();
      f.Form->actPlayerAuditExecute();
      f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
      f.Form->actPlayerClearExecute();
      f.Prompts.QueueAnswer(TPrompts::Answer::Yes);
      f.Form->actPlayerDeleteExecute();
      f.Form->actEditUndoExecute();
      f.Form->actEditRedoExecute();
      f.Form->actPlayerNextExecute();
      f.Form->actPlayerPreviousExecute();
      f.Form->actHelpExecute();
      f.Form->FormActivate();
      f.Form->FormClose();
      QCOMPARE(f.Players().Count(), players);
      // Unlocked, players cannot be added: they would never be saved.
      f.Prompts.QueueText(QStringLiteral("Late"));
      f.Form->actPlayerAddExecute();
      QCOMPARE(f.Players().Count(), replace ? players + 1 : 0);
      f.Form->actFileExitExecute();
    }
  }
};

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
